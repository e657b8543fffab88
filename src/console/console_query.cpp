#include "console_query.h"

#include "console_aliases.h"
#include "console_sql.h"
#include "paradox_table.h"

#include <QAtomicInt>
#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <limits>

namespace talvir {
namespace {

QAtomicInt connectionCounter;

QString quoted(const QString &identifier)
{
    return QLatin1Char('"') + QString(identifier).replace(QLatin1String("\""), QLatin1String("\"\"")) + QLatin1Char('"');
}

QString sqliteType(ParadoxType type)
{
    switch (type) {
    case ParadoxType::Alpha:
    case ParadoxType::Date:
        return QStringLiteral("TEXT");
    case ParadoxType::Number:
    case ParadoxType::Currency:
        return QStringLiteral("REAL");
    case ParadoxType::Short:
    case ParadoxType::Long:
    case ParadoxType::AutoInc:
    case ParadoxType::Logical:
        return QStringLiteral("INTEGER");
    }
    return QString(); // no affinity: undecoded types hold only NULL
}

QVariant toSqlite(const QVariant &v)
{
    if (v.isNull())
        return {};
    switch (v.typeId()) {
    case QMetaType::Bool:
        return v.toBool() ? 1 : 0;
    case QMetaType::QDate:
        return v.toDate().toString(Qt::ISODate);
    default:
        return v;
    }
}

QVariant fromSqlite(const QVariant &v)
{
    if (v.isNull())
        return {};
    if (v.typeId() == QMetaType::LongLong) {
        const qlonglong n = v.toLongLong();
        if (n >= std::numeric_limits<int>::min() && n <= std::numeric_limits<int>::max())
            return int(n);
    }
    return v;
}

QString sqlFailure(const QSqlError &e)
{
    const QString text = e.databaseText().isEmpty() ? e.text() : e.databaseText();
    return QStringLiteral("Ошибка запроса к базе пультового ПО: %1").arg(text);
}

} // namespace

ConsoleQuery::ConsoleQuery()
    : connection_(QStringLiteral("talvir_console_query_%1").arg(connectionCounter.fetchAndAddRelaxed(1)))
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection_);
    db.setDatabaseName(QStringLiteral(":memory:"));
}

ConsoleQuery::~ConsoleQuery()
{
    close();
    {
        QSqlDatabase db = QSqlDatabase::database(connection_, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(connection_);
}

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

void ConsoleQuery::close()
{
    fieldNames_.clear();
    rows_.clear();
    pos_ = 0;
    open_ = false;
}

void ConsoleQuery::dropTables()
{
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    if (db.isOpen()) {
        QSqlQuery q(db);
        for (auto it = loaded_.cbegin(); it != loaded_.cend(); ++it)
            q.exec(QStringLiteral("DROP TABLE IF EXISTS ") + quoted(it.key()));
    }
    loaded_.clear();
}

bool ConsoleQuery::loadTable(const QString &table, const QString &path, QString &error)
{
    const QFileInfo info(path);
    const QString key = table.toLower();
    const auto known = loaded_.constFind(key);
    if (known != loaded_.cend() && known->path == path && info.exists() && known->modified == info.lastModified()
        && known->size == info.size())
        return true;

    ParadoxTable px;
    if (!readParadoxTable(path, px, error))
        return false;

    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    QSqlQuery q(db);
    q.exec(QStringLiteral("DROP TABLE IF EXISTS ") + quoted(table));
    loaded_.remove(key);

    QStringList columns;
    QStringList placeholders;
    for (const ParadoxField &f : std::as_const(px.fields)) {
        columns.append((quoted(f.name) + QLatin1Char(' ') + sqliteType(f.type)).trimmed());
        placeholders.append(QStringLiteral("?"));
    }
    if (!q.exec(QStringLiteral("CREATE TABLE %1 (%2)").arg(quoted(table), columns.join(QLatin1String(", "))))) {
        error = sqlFailure(q.lastError());
        return false;
    }
    if (!db.transaction()) {
        error = sqlFailure(db.lastError());
        return false;
    }
    QSqlQuery insert(db);
    bool ok = insert.prepare(QStringLiteral("INSERT INTO %1 VALUES (%2)").arg(quoted(table), placeholders.join(QLatin1String(", "))));
    for (int r = 0; ok && r < px.rows.size(); ++r) {
        const QVariantList &row = px.rows.at(r);
        for (int i = 0; i < row.size(); ++i)
            insert.bindValue(i, toSqlite(row.at(i)));
        ok = insert.exec();
    }
    if (!ok) {
        error = sqlFailure(insert.lastError());
        insert.finish();
        db.rollback();
        q.exec(QStringLiteral("DROP TABLE IF EXISTS ") + quoted(table));
        return false;
    }
    insert.finish();
    if (!db.commit()) {
        error = sqlFailure(db.lastError());
        return false;
    }
    loaded_.insert(key, Loaded{path, info.lastModified(), info.size()});
    return true;
}

bool ConsoleQuery::open()
{
    close();
    error_.clear();

    QString folder = folder_;
    if (!alias_.isEmpty() && !resolveAlias(alias_, folder, error_))
        return false;
    if (folder.isEmpty()) {
        error_ = QStringLiteral("Не задана папка базы пультового ПО");
        return false;
    }

    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    if (!db.isValid()) {
        error_ = QStringLiteral("Нет драйвера SQLite (QSQLITE)");
        return false;
    }
    if (!db.isOpen() && !db.open()) {
        error_ = sqlFailure(db.lastError());
        return false;
    }

    const QStringList tables = tablesNamed(sql_);
    for (const QString &table : tables) {
        if (!loadTable(table, tablePath(folder, table), error_))
            return false;
    }

    const QStringList params = parametersNamed(sql_);
    for (const QString &name : params) {
        if (!params_.contains(name)) {
            error_ = QStringLiteral("Не задан параметр запроса :%1").arg(name);
            return false;
        }
    }

    QList<QVariantList> rows;
    QStringList names;
    {
        QSqlQuery q(db);
        q.setForwardOnly(true);
        if (!q.prepare(toSqliteSql(sql_))) {
            error_ = sqlFailure(q.lastError());
            return false;
        }
        for (const QString &name : params)
            q.bindValue(QLatin1Char(':') + name, toSqlite(params_.value(name)));
        if (!q.exec()) {
            error_ = sqlFailure(q.lastError());
            return false;
        }
        const QSqlRecord record = q.record();
        for (int i = 0; i < record.count(); ++i)
            names.append(record.fieldName(i));
        while (q.next()) {
            QVariantList row;
            row.reserve(names.size());
            for (int i = 0; i < names.size(); ++i)
                row.append(fromSqlite(q.value(i)));
            rows.append(row);
        }
        if (q.lastError().isValid()) {
            error_ = sqlFailure(q.lastError());
            return false;
        }
    }
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
