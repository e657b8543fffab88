// The console's local SQL, made runnable by SQLite with as little rewriting as possible.
#pragma once

#include <QString>
#include <QStringList>

namespace talvir {

// substring(x from a for b) becomes substr(x, a, b), substring(x from a) becomes substr(x, a);
// nested calls too. Text inside quotes is left alone; so is everything else (SQLite knows
// TRUE/FALSE, quoted table names, "as" aliases and named parameters as they stand).
QString toSqliteSql(const QString &sql);

// The tables a query names: every double-quoted name that ends in ".db", first occurrence first,
// each once (letter case ignored).
QStringList tablesNamed(const QString &sql);

// The named parameters of a query (":PTN" gives "PTN"), outside quotes, each once.
QStringList parametersNamed(const QString &sql);

} // namespace talvir
