// Paradox tables written by pxlib and read back by us: NULLs, Windows-1251 texts, logical values,
// read-only files, and files that are not tables at all.
#include "console_tables.h"

#include "core/cp1251.h"
#include "console/paradox_table.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <cstdio>

#ifdef __linux__
#include <sys/fsuid.h>
#include <unistd.h>
#endif

using namespace talvir;
using namespace dbtest;

namespace {

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Offset of the first record: the header's own size (bytes 2..3, little-endian) plus the
// six bytes that head every data block.
int firstRecordOffset(const QByteArray &file)
{
    return (uchar(file.at(2)) | (uchar(file.at(3)) << 8)) + 6;
}

} // namespace

class TestParadoxTable : public QObject {
    Q_OBJECT

private slots:
    void roundTripKeepsValuesAndNulls();
    void everyWindows1251CharacterSurvives();
    void nullIsStoredAsZeroBytes_data();
    void nullIsStoredAsZeroBytes();
    void valuesAreStoredAsParadoxKeepsThem_data();
    void valuesAreStoredAsParadoxKeepsThem();
    void writerRefusesWhatItCannotStore_data();
    void writerRefusesWhatItCannotStore();
    void readOnlyTableInReadOnlyFolder();
    void foreignFilesFailCleanly_data();
    void foreignFilesFailCleanly();
    void damagedTablesNeverCrash();
};

void TestParadoxTable::roundTripKeepsValuesAndNulls()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ObjList.db"));
    const QList<ParadoxField> fields{longField("Id"), alpha("Name", 60), logical("Enabled"),
                                     {QStringLiteral("Code"), ParadoxType::Short, 2},
                                     {QStringLiteral("Rate"), ParadoxType::Number, 8}};
    const QList<QVariantList> rows{
        {1, QStringLiteral("Склад №1"), true, 7, 1.5},
        {QVariant(), QStringLiteral("Магазин «Ёлка»"), false, -32767, -0.25},
        {-2147483647, QVariant(), QVariant(), QVariant(), QVariant()},
        {2147483647, QStringLiteral("x"), true, 0, 0.0},
    };
    DBTEST_WRITE(path, fields, rows);

    ParadoxTable table;
    QString error;
    QVERIFY2(readParadoxTable(path, table, error), qPrintable(error));
    QCOMPARE(table.fields.size(), 5);
    QCOMPARE(table.fields.at(1).name, QStringLiteral("Name"));
    QCOMPARE(table.fields.at(1).type, ParadoxType::Alpha);
    QCOMPARE(table.fields.at(1).size, 60);
    QCOMPARE(table.fieldIndex(QStringLiteral("ENABLED")), 2);
    QCOMPARE(table.rows.size(), rows.size());
    for (int r = 0; r < rows.size(); ++r) {
        for (int i = 0; i < fields.size(); ++i) {
            const QVariant got = table.rows.at(r).at(i);
            const QVariant want = rows.at(r).at(i);
            QVERIFY2(got.isNull() == want.isNull(), qPrintable(QStringLiteral("row %1 field %2").arg(r).arg(i)));
            if (!want.isNull())
                QCOMPARE(got, want);
        }
    }
    QCOMPARE(table.rows.at(0).at(2).typeId(), int(QMetaType::Bool));
    QCOMPARE(table.rows.at(0).at(0).typeId(), int(QMetaType::Int));
}

void TestParadoxTable::everyWindows1251CharacterSurvives()
{
    QString all;
    for (int b = 0x20; b <= 0xFF; ++b) {
        if (b == 0x7F || b == 0x98)
            continue;
        const char byte = char(b);
        all += fromCp1251(&byte, 1);
    }
    QVERIFY(all.contains(QStringLiteral("№")));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("t.db"));
    DBTEST_WRITE(path, (QList<ParadoxField>{alpha("Text", 255)}), (QList<QVariantList>{{all}}));
    ParadoxTable table;
    QString error;
    QVERIFY2(readParadoxTable(path, table, error), qPrintable(error));
    QCOMPARE(table.rows.at(0).at(0).toString(), all);
    // Stored as Windows-1251: "№" is the single byte 0xB9.
    QVERIFY(fileBytes(path).contains(QByteArray("\xB9", 1)));
}

void TestParadoxTable::nullIsStoredAsZeroBytes_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("size");
    QTest::newRow("Long") << int(ParadoxType::Long) << 4;
    QTest::newRow("Short") << int(ParadoxType::Short) << 2;
    QTest::newRow("Logical") << int(ParadoxType::Logical) << 1;
    QTest::newRow("Alpha") << int(ParadoxType::Alpha) << 12;
    QTest::newRow("Number") << int(ParadoxType::Number) << 8;
}

// pxlib's own reader turns a NULL Long into -2147483648 and a NULL Number into 0.
void TestParadoxTable::nullIsStoredAsZeroBytes()
{
    QFETCH(int, type);
    QFETCH(int, size);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("n.db"));
    const QList<ParadoxField> fields{{QStringLiteral("F"), ParadoxType(type), size}, alpha("Tail", 2)};
    DBTEST_WRITE(path, fields, (QList<QVariantList>{{QVariant(), QStringLiteral("ok")}}));

    const QByteArray file = fileBytes(path);
    const int at = firstRecordOffset(file);
    QCOMPARE(file.mid(at, size), QByteArray(size, '\0'));
    QCOMPARE(file.mid(at + size, 2), QByteArray("ok"));

    ParadoxTable table;
    QString error;
    QVERIFY2(readParadoxTable(path, table, error), qPrintable(error));
    QVERIFY(table.rows.at(0).at(0).isNull());
    QCOMPARE(table.rows.at(0).at(1).toString(), QStringLiteral("ok"));
}

void TestParadoxTable::valuesAreStoredAsParadoxKeepsThem_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("size");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("Long 0") << int(ParadoxType::Long) << 4 << QVariant(0) << QByteArray("\x80\x00\x00\x00", 4);
    QTest::newRow("Long 24") << int(ParadoxType::Long) << 4 << QVariant(24) << QByteArray("\x80\x00\x00\x18", 4);
    QTest::newRow("Long -1") << int(ParadoxType::Long) << 4 << QVariant(-1) << QByteArray("\x7F\xFF\xFF\xFF", 4);
    QTest::newRow("Long min+1") << int(ParadoxType::Long) << 4 << QVariant(-2147483647) << QByteArray("\x00\x00\x00\x01", 4);
    QTest::newRow("Short 501") << int(ParadoxType::Short) << 2 << QVariant(501) << QByteArray("\x81\xF5", 2);
    QTest::newRow("true") << int(ParadoxType::Logical) << 1 << QVariant(true) << QByteArray("\x81", 1);
    QTest::newRow("false") << int(ParadoxType::Logical) << 1 << QVariant(false) << QByteArray("\x80", 1);
    QTest::newRow("Number 1") << int(ParadoxType::Number) << 8 << QVariant(1.0) << QByteArray("\xBF\xF0\x00\x00\x00\x00\x00\x00", 8);
    QTest::newRow("Number -1") << int(ParadoxType::Number) << 8 << QVariant(-1.0) << QByteArray("\x40\x0F\xFF\xFF\xFF\xFF\xFF\xFF", 8);
    QTest::newRow("Alpha №") << int(ParadoxType::Alpha) << 4 << QVariant(QStringLiteral("№Я")) << QByteArray("\xB9\xDF\x00\x00", 4);
}

void TestParadoxTable::valuesAreStoredAsParadoxKeepsThem()
{
    QFETCH(int, type);
    QFETCH(int, size);
    QFETCH(QVariant, value);
    QFETCH(QByteArray, bytes);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("v.db"));
    DBTEST_WRITE(path, (QList<ParadoxField>{{QStringLiteral("F"), ParadoxType(type), size}}), (QList<QVariantList>{{value}}));
    const QByteArray file = fileBytes(path);
    QCOMPARE(file.mid(firstRecordOffset(file), size).toHex(' '), bytes.toHex(' '));
    ParadoxTable table;
    QString error;
    QVERIFY2(readParadoxTable(path, table, error), qPrintable(error));
    QCOMPARE(table.rows.at(0).at(0), value);
}

void TestParadoxTable::writerRefusesWhatItCannotStore_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("size");
    QTest::addColumn<QVariant>("value");
    QTest::newRow("Long min means NULL") << int(ParadoxType::Long) << 4 << QVariant(-2147483647 - 1);
    QTest::newRow("Long too big") << int(ParadoxType::Long) << 4 << QVariant(qlonglong(1) << 31);
    QTest::newRow("Short min means NULL") << int(ParadoxType::Short) << 2 << QVariant(-32768);
    QTest::newRow("Short too big") << int(ParadoxType::Short) << 2 << QVariant(40000);
    QTest::newRow("text in Long") << int(ParadoxType::Long) << 4 << QVariant(QStringLiteral("12a"));
    QTest::newRow("text in Logical") << int(ParadoxType::Logical) << 1 << QVariant(QStringLiteral("да"));
    QTest::newRow("text too long") << int(ParadoxType::Alpha) << 3 << QVariant(QStringLiteral("ABCD"));
    QTest::newRow("not in Windows-1251") << int(ParadoxType::Alpha) << 10 << QVariant(QStringLiteral("日本"));
    QTest::newRow("BCD places beyond the field's") << int(ParadoxType::Bcd) << 17 << QVariant(QStringLiteral("1.5"));
    QTest::newRow("BCD not a number") << int(ParadoxType::Bcd) << 17 << QVariant(QStringLiteral("1,5"));
}

void TestParadoxTable::writerRefusesWhatItCannotStore()
{
    QFETCH(int, type);
    QFETCH(int, size);
    QFETCH(QVariant, value);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bad.db"));
    const QList<ParadoxField> fields{{QStringLiteral("F"), ParadoxType(type), size}};
    // A good row first: nothing of it may be written either.
    const QVariant good = type == int(ParadoxType::Alpha) ? QVariant(QStringLiteral("A"))
                        : type == int(ParadoxType::Logical) ? QVariant(true) : QVariant(1);
    QString error;
    QVERIFY(!writeParadoxTable(path, fields, {{good}, {value}}, error));
    QVERIFY(error.contains(QStringLiteral("строка 2")));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList());

    // An existing table is left as it was.
    DBTEST_WRITE(path, fields, (QList<QVariantList>{{good}}));
    const QByteArray before = fileBytes(path);
    QVERIFY(!writeParadoxTable(path, fields, {{value}}, error));
    QCOMPARE(fileBytes(path), before);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("bad.db")});
}

void TestParadoxTable::readOnlyTableInReadOnlyFolder()
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("share"));
    QVERIFY(QDir().mkpath(folder));
    const QString path = folder + QStringLiteral("/CentralType.db");
    DBTEST_WRITE(path, centralTypeFields(), (QList<QVariantList>{{24, QStringLiteral("ППК №24")}}));
    const QDateTime modified = QFileInfo(path).lastModified();
    const QByteArray before = fileBytes(path);
    QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther));
    QVERIFY(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadGroup
                                              | QFileDevice::ExeGroup | QFileDevice::ReadOther | QFileDevice::ExeOther));
    QVERIFY(QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                                                  | QFileDevice::ExeGroup | QFileDevice::ExeOther));

#ifdef __linux__
    // Root ignores permissions; reading as "nobody" for file access makes them count again.
    const bool asRoot = geteuid() == 0;
    if (asRoot)
        setfsuid(65534);
    FILE *probe = std::fopen(QFile::encodeName(path).constData(), "r+b");
    const bool writable = probe != nullptr;
    if (probe)
        std::fclose(probe);
#endif
    ParadoxTable table;
    QString error;
    const bool ok = readParadoxTable(path, table, error);
#ifdef __linux__
    if (asRoot)
        setfsuid(0);
    QVERIFY2(!writable, "the folder is not read-only for the test");
#endif
    QVERIFY2(ok, qPrintable(error));
    QCOMPARE(table.rows.size(), 1);
    QCOMPARE(table.rows.at(0).at(1).toString(), QStringLiteral("ППК №24"));
    QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{QStringLiteral("CentralType.db")});
    QCOMPARE(fileBytes(path), before);
    QCOMPARE(QFileInfo(path).lastModified(), modified);
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

void TestParadoxTable::foreignFilesFailCleanly_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("cut"); // >= 0: take a real table and keep only this many bytes
    QTest::newRow("empty") << QByteArray() << -1;
    QTest::newRow("text") << QByteArray("Id;Name\n1;Склад\n") << -1;
    QByteArray noise(4096, '\0');
    QRandomGenerator rng(1251);
    for (char &c : noise)
        c = char(rng.bounded(256));
    QTest::newRow("noise") << noise << -1;
    QTest::newRow("header only") << QByteArray() << 2048;
    QTest::newRow("half a block") << QByteArray() << 3072;
    QTest::newRow("header cut") << QByteArray() << 100;
}

void TestParadoxTable::foreignFilesFailCleanly()
{
    QFETCH(QByteArray, content);
    QFETCH(int, cut);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ObjList.db"));
    if (cut >= 0) {
        QList<QVariantList> rows;
        for (int i = 1; i <= 100; ++i)
            rows.append({i, QStringLiteral("Объект %1").arg(i), true});
        DBTEST_WRITE(path, objListFields(), rows);
        content = fileBytes(path).left(cut);
    }
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(content);
    f.close();

    ParadoxTable table;
    table.rows.append(QVariantList{1});
    QString error;
    QVERIFY(!readParadoxTable(path, table, error));
    QVERIFY(error.contains(QStringLiteral("ObjList.db")));
    QVERIFY(table.rows.isEmpty() && table.fields.isEmpty());

    QVERIFY(!readParadoxTable(dir.filePath(QStringLiteral("missing.db")), table, error));
    QVERIFY(error.contains(QStringLiteral("не найден")));
    QVERIFY(!readParadoxTable(dir.path(), table, error));
}

// Bytes of a real table changed at random: every read either fails with a message or gives
// rows of the table's own shape; none may crash (run under valgrind or the sanitizers).
void TestParadoxTable::damagedTablesNeverCrash()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("CentralList.db"));
    QList<QVariantList> rows;
    for (int i = 1; i <= 120; ++i)
        rows.append({i, QStringLiteral("%1").arg(i, 4, 10, QLatin1Char('0')), 500 + i % 10, i % 2 == 0,
                     QStringLiteral("0501234567"), QVariant(), 30, true});
    DBTEST_WRITE(path, centralListFields(), rows);
    const QByteArray original = fileBytes(path);
    QRandomGenerator rng(600);
    int failures = 0;
    for (int round = 0; round < 400; ++round) {
        QByteArray damaged = original;
        const int changes = 1 + int(rng.bounded(4));
        for (int c = 0; c < changes; ++c) {
            // Mostly the header, where pxlib takes its sizes from.
            const int at = rng.bounded(4) == 0 ? int(rng.bounded(quint32(damaged.size()))) : int(rng.bounded(0x120));
            damaged[at] = char(rng.bounded(256));
        }
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(damaged);
        f.close();
        ParadoxTable table;
        QString error;
        if (readParadoxTable(path, table, error)) {
            for (const QVariantList &row : std::as_const(table.rows))
                QCOMPARE(row.size(), table.fields.size());
        } else {
            QVERIFY(!error.isEmpty());
            ++failures;
        }
    }
    QVERIFY(failures > 0);
}

QTEST_GUILESS_MAIN(TestParadoxTable)
#include "test_paradox_table.moc"
