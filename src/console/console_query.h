// A query of the console's local SQL (objectQuery, panelQuery) over its Paradox tables: the tables the query
// names are read (read-only) into an in-memory SQLite database and the text runs there with the
// least rewriting SQLite needs. Logical fields become the integers 1 and 0, so "=true" works.
#pragma once

#include "console_database.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>

namespace talvir {

class ConsoleQuery {
public:
    ConsoleQuery();
    ~ConsoleQuery();
    ConsoleQuery(const ConsoleQuery &) = delete;
    ConsoleQuery &operator=(const ConsoleQuery &) = delete;

    // Where the query's tables are: the folder of a console alias ("TraficDB", "EditDB"),
    // resolved at each open, or a folder given directly. Changing it closes the query.
    void setAlias(const QString &alias);
    void setFolder(const QString &folder);
    // The query text as the console writes it; changing it closes the query.
    void setSql(const QString &sql);
    // A named parameter, without its colon: setParam("PTN", "123"), setParam("POR", 7).
    void setParam(const QString &name, const QVariant &value);
    // Runs over a database shared with other queries (nullptr: the query's own). A table already
    // in a shared database is used as it is: its owner decides when tables are read again.
    void setDatabase(ConsoleDatabase *database);

    // Runs the query. False with lastError() when the alias, a table, a parameter or the SQL fails.
    // In the query's own database a table is read again only when its file changed since.
    bool open();
    // Releases the result (the tables read stay until they change or the query is destroyed).
    void close();
    bool isOpen() const { return open_; }
    QString lastError() const { return error_; }

    // The result, in the order the SQL asks for: QString for text, int (qlonglong when it does
    // not fit) for integers, double for real numbers, a null QVariant for NULL.
    const QStringList &fieldNames() const { return fieldNames_; }
    const QList<QVariantList> &rows() const { return rows_; }
    int recordCount() const { return int(rows_.size()); }

    // The walk over the result.
    void first() { pos_ = 0; }
    void next() { if (pos_ < rows_.size()) ++pos_; }
    bool eof() const { return pos_ >= rows_.size(); }
    // A field of the current row by its result name ("Id", "NameCentral"; letter case ignored)
    // or by its column; a null QVariant past the end or for an unknown name.
    QVariant value(const QString &field) const;
    QVariant value(int column) const;

private:
    ConsoleDatabase &database() { return shared_ ? *shared_ : *own_; }
    void dropTables();

    std::unique_ptr<ConsoleDatabase> own_;
    ConsoleDatabase *shared_ = nullptr;
    QString alias_;
    QString folder_;
    QString sql_;
    QHash<QString, QVariant> params_;
    QStringList fieldNames_;
    QList<QVariantList> rows_;
    int pos_ = 0;
    bool open_ = false;
    QString error_;
};

} // namespace talvir
