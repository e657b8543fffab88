// An in-memory SQLite copy of console tables read from their Paradox files, and the runner of the
// console's SQL over it. The object list reads its tables into one of these once per opening, so a
// query per ticked object costs no file reading.
#pragma once

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace talvir {

class ConsoleDatabase {
public:
    ConsoleDatabase();
    ~ConsoleDatabase();
    ConsoleDatabase(const ConsoleDatabase &) = delete;
    ConsoleDatabase &operator=(const ConsoleDatabase &) = delete;

    // Reads the Paradox file at path (read-only) into the table named as the SQL names it
    // ("ObjList.db"), replacing an earlier copy. False with a message naming the file.
    bool load(const QString &table, const QString &path, QString &error);
    // True when the table was loaded; with a path, also that it came from that file and the
    // file has not changed since.
    bool isLoaded(const QString &table) const;
    bool isCurrent(const QString &table, const QString &path) const;
    // Indexes a column the queries join on; a table without that column is left as it is (the
    // query then names the missing column itself).
    void addIndex(const QString &table, const QString &column);
    // Drops every table.
    void clear();

    // Runs a query of the console's local SQL; every parameter it names must be in params
    // (without the colon). Rows in the order the SQL asks for: QString for text, int (qlonglong
    // when it does not fit) for integers, double for real numbers, a null QVariant for NULL.
    bool run(const QString &sql, const QHash<QString, QVariant> &params, QStringList &fieldNames,
             QList<QVariantList> &rows, QString &error);

private:
    struct Loaded {
        QString path;
        QDateTime modified;
        qint64 size = -1;
        QStringList columns;
    };
    bool openConnection(QString &error);

    QString connection_;
    QHash<QString, Loaded> loaded_; // by table name as written, lower case
};

} // namespace talvir
