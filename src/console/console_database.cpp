#include "console_database.h"

#include "console_sql.h"
#include "paradox_table.h"

#include <QAtomicInt>
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
    case ParadoxType::Bcd:
        return QStringLiteral("NUMERIC");
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

ConsoleDatabase::ConsoleDatabase()
    : connection_(QStringLiteral("talvir_console_db_%1").arg(connectionCounter.fetchAndAddRelaxed(1)))
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection_);
    db.setDatabaseName(QStringLiteral(":memory:"));
}

ConsoleDatabase::~ConsoleDatabase()
{
    {
        QSqlDatabase db = QSqlDatabase::database(connection_, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(connection_);
}

bool ConsoleDatabase::openConnection(QString &error)
{
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    if (!db.isValid()) {
        error = QStringLiteral("Нет драйвера SQLite (QSQLITE)");
        return false;
    }
    if (!db.isOpen() && !db.open()) {
        error = sqlFailure(db.lastError());
        return false;
    }
    return true;
}

bool ConsoleDatabase::isLoaded(const QString &table) const
{
    return loaded_.contains(table.toLower());
}

bool ConsoleDatabase::isCurrent(const QString &table, const QString &path) const
{
    const auto known = loaded_.constFind(table.toLower());
    if (known == loaded_.cend() || known->path != path)
        return false;
    const QFileInfo info(path);
    return info.exists() && known->modified == info.lastModified() && known->size == info.size();
}

void ConsoleDatabase::clear()
{
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    if (db.isOpen()) {
        QSqlQuery q(db);
        for (auto it = loaded_.cbegin(); it != loaded_.cend(); ++it)
            q.exec(QStringLiteral("DROP TABLE IF EXISTS ") + quoted(it.key()));
    }
    loaded_.clear();
}

bool ConsoleDatabase::load(const QString &table, const QString &path, QString &error)
{
    error.clear();
    if (!openConnection(error))
        return false;
    const QFileInfo info(path);
    ParadoxTable px;
    if (!readParadoxTable(path, px, error))
        return false;

    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    const QString key = table.toLower();
    QSqlQuery q(db);
    q.exec(QStringLiteral("DROP TABLE IF EXISTS ") + quoted(table));
    loaded_.remove(key);

    QStringList columns;
    QStringList names;
    QStringList placeholders;
    for (const ParadoxField &f : std::as_const(px.fields)) {
        columns.append((quoted(f.name) + QLatin1Char(' ') + sqliteType(f.type)).trimmed());
        names.append(f.name);
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
    loaded_.insert(key, Loaded{path, info.lastModified(), info.size(), names});
    return true;
}

void ConsoleDatabase::addIndex(const QString &table, const QString &column)
{
    const auto known = loaded_.constFind(table.toLower());
    if (known == loaded_.cend() || !known->columns.contains(column, Qt::CaseInsensitive))
        return;
    QSqlQuery q(QSqlDatabase::database(connection_, false));
    const QString name = QStringLiteral("ix_%1_%2").arg(table.toLower(), column.toLower());
    q.exec(QStringLiteral("CREATE INDEX IF NOT EXISTS %1 ON %2 (%3)").arg(quoted(name), quoted(table), quoted(column)));
}

bool ConsoleDatabase::run(const QString &sql, const QHash<QString, QVariant> &params, QStringList &fieldNames,
                          QList<QVariantList> &rows, QString &error)
{
    fieldNames.clear();
    rows.clear();
    error.clear();
    if (!openConnection(error))
        return false;
    const QStringList named = parametersNamed(sql);
    for (const QString &name : named) {
        if (!params.contains(name)) {
            error = QStringLiteral("Не задан параметр запроса :%1").arg(name);
            return false;
        }
    }
    QSqlQuery q(QSqlDatabase::database(connection_, false));
    q.setForwardOnly(true);
    if (!q.prepare(toSqliteSql(sql))) {
        error = sqlFailure(q.lastError());
        return false;
    }
    for (const QString &name : named)
        q.bindValue(QLatin1Char(':') + name, toSqlite(params.value(name)));
    if (!q.exec()) {
        error = sqlFailure(q.lastError());
        return false;
    }
    const QSqlRecord record = q.record();
    for (int i = 0; i < record.count(); ++i)
        fieldNames.append(record.fieldName(i));
    while (q.next()) {
        QVariantList row;
        row.reserve(fieldNames.size());
        for (int i = 0; i < fieldNames.size(); ++i)
            row.append(fromSqlite(q.value(i)));
        rows.append(row);
    }
    if (q.lastError().isValid()) {
        error = sqlFailure(q.lastError());
        fieldNames.clear();
        rows.clear();
        return false;
    }
    return true;
}

} // namespace talvir
