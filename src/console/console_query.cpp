#include "console_query.h"

#include "console_aliases.h"
#include "console_sql.h"

namespace talvir {

ConsoleQuery::ConsoleQuery()
    : own_(std::make_unique<ConsoleDatabase>())
{
}

ConsoleQuery::~ConsoleQuery() = default;

void ConsoleQuery::setAlias(const QString &alias)
{
    close();
    if (alias_ != alias || !folder_.isEmpty())
        dropTables();
    alias_ = alias;
    folder_.clear();
}

void ConsoleQuery::setFolder(const QString &folder)
{
    close();
    if (folder_ != folder || !alias_.isEmpty())
        dropTables();
    folder_ = folder;
    alias_.clear();
}

void ConsoleQuery::setSql(const QString &sql)
{
    close();
    sql_ = sql;
}

void ConsoleQuery::setParam(const QString &name, const QVariant &value)
{
    params_.insert(name.startsWith(QLatin1Char(':')) ? name.mid(1) : name, value);
}

void ConsoleQuery::setDatabase(ConsoleDatabase *database)
{
    close();
    shared_ = database;
}

void ConsoleQuery::close()
{
    fieldNames_.clear();
    rows_.clear();
    pos_ = 0;
    open_ = false;
}

void ConsoleQuery::dropTables()
{
    // Tables of a shared database belong to its owner.
    if (!shared_)
        own_->clear();
}

bool ConsoleQuery::open()
{
    close();
    error_.clear();

    ConsoleDatabase &db = database();
    const QStringList tables = tablesNamed(sql_);
    QString folder = folder_;
    bool folderKnown = false;
    for (const QString &table : tables) {
        if (shared_ && db.isLoaded(table))
            continue;
        // The alias is resolved only when a table has to be read.
        if (!folderKnown) {
            if (!alias_.isEmpty() && !resolveAlias(alias_, folder, error_))
                return false;
            if (folder.isEmpty()) {
                error_ = QStringLiteral("Не задана папка базы пультового ПО");
                return false;
            }
            folderKnown = true;
        }
        const QString path = tablePath(folder, table);
        if (!shared_ && db.isCurrent(table, path))
            continue;
        if (!db.load(table, path, error_))
            return false;
    }

    QList<QVariantList> rows;
    QStringList names;
    if (!db.run(sql_, params_, names, rows, error_))
        return false;
    fieldNames_ = names;
    rows_ = rows;
    pos_ = 0;
    open_ = true;
    return true;
}

QVariant ConsoleQuery::value(int column) const
{
    if (eof() || column < 0 || column >= rows_.at(pos_).size())
        return {};
    return rows_.at(pos_).at(column);
}

QVariant ConsoleQuery::value(const QString &field) const
{
    for (int i = 0; i < fieldNames_.size(); ++i) {
        if (fieldNames_.at(i).compare(field, Qt::CaseInsensitive) == 0)
            return value(i);
    }
    return {};
}

} // namespace talvir
