// Real Paradox tables with the console's table and field names, and its alias file, for tests.
#pragma once

#include "console/paradox_writer.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTest>

namespace dbtest {

using talvir::ParadoxField;
using talvir::ParadoxType;

inline ParadoxField alpha(const char *name, int width) { return {QString::fromLatin1(name), ParadoxType::Alpha, width}; }
inline ParadoxField longField(const char *name) { return {QString::fromLatin1(name), ParadoxType::Long, 4}; }
inline ParadoxField logical(const char *name) { return {QString::fromLatin1(name), ParadoxType::Logical, 1}; }

// Writes the table or fails the calling test.
#define DBTEST_WRITE(path, fields, rows)                                                                  \
    do {                                                                                                 \
        QString writeError_;                                                                             \
        QVERIFY2(talvir::writeParadoxTable((path), (fields), (rows), writeError_), qPrintable(writeError_)); \
    } while (0)

inline QList<ParadoxField> objListFields() { return {longField("Id"), alpha("Name", 100), logical("Enabled")}; }
inline QList<ParadoxField> trnObjFields() { return {longField("ObjRef"), alpha("TrName", 20), longField("IdType")}; }
inline QList<ParadoxField> centralListFields()
{
    return {longField("ObjRef"), alpha("Account", 10), longField("TypeRef"), logical("DefCId"),
            alpha("PhoneM", 20),  alpha("PhoneM1", 20), longField("WT_GSM"),  logical("GSM")};
}
inline QList<ParadoxField> centralTypeFields() { return {longField("TypeId"), alpha("NameCentral", 40)}; }

// Points the system-scope settings at dir and writes dir/Talvir/console.ini with these bytes.
inline bool writeAliasFile(const QString &dir, const QByteArray &content)
{
    QSettings::setPath(QSettings::IniFormat, QSettings::SystemScope, dir);
    if (!QDir(dir).mkpath(QStringLiteral("Talvir")))
        return false;
    QFile f(dir + QStringLiteral("/Talvir/console.ini"));
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(content) == content.size();
}

} // namespace dbtest
