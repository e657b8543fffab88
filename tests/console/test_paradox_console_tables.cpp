// Tables as the console's own database engine leaves them, which pxlib's writer never makes: a last
// data block cut short after its records, field types the import never reads, older header
// versions, the engine's encryption; and headers that must be refused before pxlib sees them.
#include "console_tables.h"

#include "console/paradox_table.h"

#include <QTemporaryDir>
#include <QTest>

using namespace talvir;
using namespace dbtest;

namespace {

constexpr int kDescriptors = 0x78; // field descriptors from version 4.0 on

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void putBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

int le16(const QByteArray &b, int at)
{
    return uchar(b.at(at)) | (uchar(b.at(at + 1)) << 8);
}

// The header of an older version, from one pxlib wrote (7.0): before 7.0 the table name takes 79
// bytes instead of 261, and before 4.0 the header has no extension (0x58..0x77) either.
QByteArray asVersion(const QByteArray &v7, int version)
{
    const int fields = le16(v7, 0x21);
    const int headerSize = le16(v7, 0x02);
    const int tableName = kDescriptors + 2 * fields + 4 + 4 * fields;
    QByteArray header = (version >= 0x05 ? v7.left(kDescriptors) : v7.left(0x58))
                      + v7.mid(kDescriptors, tableName - kDescriptors) + v7.mid(tableName, 79)
                      + v7.mid(tableName + 261, headerSize - tableName - 261);
    header[0x39] = char(version);
    if (version < 0x05)
        header.replace(0x25, 4, QByteArray(4, '\0')); // no key: before 4.0 zero, not 0xFF00FF00
    header.append(QByteArray(headerSize - header.size(), '\0'));
    return header + v7.mid(headerSize);
}

// Offset of the last data block and the end of its last record.
int lastBlockStart(const QByteArray &table)
{
    return le16(table, 0x02) + (le16(table, 0x0C) - 1) * uchar(table.at(0x05)) * 1024;
}

int lastRecordEnd(const QByteArray &table, int recordSize)
{
    const int start = lastBlockStart(table);
    return start + 6 + le16(table, start + 4) + recordSize;
}

const QList<ParadoxField> kFields{longField("Id"), alpha("Spare", 17), alpha("Name", 20), logical("Enabled")};

} // namespace

class TestParadoxConsoleTables : public QObject {
    Q_OBJECT

private slots:
    void readsWhatTheEngineWrites_data();
    void readsWhatTheEngineWrites();
    void refusesWithTableAndReason_data();
    void refusesWithTableAndReason();
};

void TestParadoxConsoleTables::readsWhatTheEngineWrites_data()
{
    QTest::addColumn<int>("spareType"); // the type byte the field "Spare" gets; 0: left Alpha
    QTest::addColumn<int>("version");   // the version byte; 0: as written (7)
    QTest::addColumn<bool>("shortLastBlock");
    QTest::addColumn<bool>("encrypted");
    QTest::newRow("short last block") << 0 << 0 << true << false;
    QTest::newRow("BCD beside Long") << 0x17 << 0 << false << false;
    QTest::newRow("BCD, short last block") << 0x17 << 0 << true << false;
    QTest::newRow("bytes") << 0x18 << 0 << false << false;
    QTest::newRow("version 4.0") << 0 << 0x05 << false << false;
    QTest::newRow("version 4.x") << 0 << 0x09 << false << false;
    QTest::newRow("version 5.0") << 0 << 0x0A << true << false;
    QTest::newRow("version 5.x") << 0x17 << 0x0B << false << false;
    QTest::newRow("version 3.5") << 0 << 0x04 << true << false;
    QTest::newRow("encrypted by the engine") << 0 << 0 << false << true;
}

void TestParadoxConsoleTables::readsWhatTheEngineWrites()
{
    QFETCH(int, spareType);
    QFETCH(int, version);
    QFETCH(bool, shortLastBlock);
    QFETCH(bool, encrypted);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ObjList.db"));
    QList<QVariantList> rows;
    for (int i = 1; i <= 100; ++i) // two blocks of 2 KB, the second not full
        rows.append({i, QVariant(), QStringLiteral("Объект №%1").arg(i), i % 2 == 0});
    ParadoxWriteOptions options;
    if (encrypted)
        options.password = "console";
    QString error;
    QVERIFY2(writeParadoxTable(path, kFields, rows, error, options), qPrintable(error));

    QByteArray bytes = fileBytes(path);
    if (spareType)
        bytes[kDescriptors + 2] = char(spareType);
    if (shortLastBlock)
        bytes.truncate(lastRecordEnd(bytes, 42));
    if (version)
        bytes = asVersion(bytes, version);
    putBytes(path, bytes);

    ParadoxTable table;
    QVERIFY2(readParadoxTable(path, table, error), qPrintable(error));
    QCOMPARE(table.rows.size(), rows.size());
    QCOMPARE(table.fields.at(1).name, QStringLiteral("Spare"));
    for (int i = 0; i < rows.size(); ++i) {
        QCOMPARE(table.rows.at(i).at(0), rows.at(i).at(0));
        QVERIFY(table.rows.at(i).at(1).isNull());
        QCOMPARE(table.rows.at(i).at(2), rows.at(i).at(2));
        QCOMPARE(table.rows.at(i).at(3), rows.at(i).at(3));
    }
}

void TestParadoxConsoleTables::refusesWithTableAndReason_data()
{
    QTest::addColumn<int>("at");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("cut"); // bytes taken off the end
    QTest::addColumn<QString>("reason");
    QTest::newRow("version byte 2") << 0x39 << QByteArray("\x02") << 0 << QStringLiteral("версия");
    QTest::newRow("version byte 0x0D") << 0x39 << QByteArray("\x0D") << 0 << QStringLiteral("версия");
    QTest::newRow("version byte 0xFF") << 0x39 << QByteArray("\xFF") << 0 << QStringLiteral("версия");
    QTest::newRow("block chain loops") << 0x800 + 2 * 2048 << QByteArray("\x01\x00", 2) << 0 << QStringLiteral("цепочка");
    QTest::newRow("last record cut") << 0 << QByteArray() << 1 << QStringLiteral("обрезана");
    QTest::newRow("unknown field type") << kDescriptors + 2 << QByteArray("\x30") << 0 << QStringLiteral("полей");
    QTest::newRow("block size 5 KB") << 0x05 << QByteArray("\x05") << 0 << QStringLiteral("заголовок");
}

// pxlib 0.6.8 reads uninitialised memory on an unknown version and, on the next table read by the
// same process, loops for ever: each refusal is followed by a good table that must still read.
void TestParadoxConsoleTables::refusesWithTableAndReason()
{
    QFETCH(int, at);
    QFETCH(QByteArray, bytes);
    QFETCH(int, cut);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString good = dir.filePath(QStringLiteral("CentralType.db"));
    QList<QVariantList> rows;
    for (int i = 1; i <= 100; ++i)
        rows.append({i, QVariant(), QStringLiteral("Тип %1").arg(i), true});
    DBTEST_WRITE(good, kFields, rows);
    QByteArray damaged = fileBytes(good);
    damaged.replace(at, bytes.size(), bytes);
    if (cut)
        damaged.truncate(lastRecordEnd(damaged, 42) - cut);
    const QString bad = dir.filePath(QStringLiteral("TrnObj.db"));
    putBytes(bad, damaged);

    ParadoxTable table;
    QString error;
    QVERIFY(!readParadoxTable(bad, table, error));
    QVERIFY2(error.contains(QStringLiteral("TrnObj.db")) && error.contains(reason), qPrintable(error));
    QVERIFY2(readParadoxTable(good, table, error), qPrintable(error));
    QCOMPARE(table.rows.size(), rows.size());
}

QTEST_GUILESS_MAIN(TestParadoxConsoleTables)
#include "test_paradox_console_tables.moc"
