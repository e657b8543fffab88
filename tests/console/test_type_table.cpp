// PanelTypeTable over "CentralType.db": opening in both modes, the walk, locating a type; and the default
// table the build puts beside the programs.
#include "console_tables.h"

#include "console/panel_type_table.h"
#include "support/child_process.h"
#include "tables/protocol_codes.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace talvir;
using namespace dbtest;

class TestTypeTable : public QObject {
    Q_OBJECT

private slots:
    void walkKeepsTableOrder();
    void locateFindsFirstOfDuplicates();
    void nullTypeCountsAsZero();
    void openStandaloneFromProgramFolder();
    void openConsoleThroughEditDB();
    void openFailures_data();
    void openFailures();
    void defaultTableListsEveryKnownType();
    void typeListRefusals_data();
    void typeListRefusals();
};

namespace {

const QList<QVariantList> kTypes{
    {501, QStringLiteral("Лунь-11 №1")},
    {24, QStringLiteral("Контакт GSM")},
    {501, QStringLiteral("Лунь-11 (второй)")},
    {400, QStringLiteral("  Радиоканал  ")},
};

} // namespace

void TestTypeTable::walkKeepsTableOrder()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("CentralType.db"));
    DBTEST_WRITE(path, centralTypeFields(), kTypes);
    PanelTypeTable t;
    QVERIFY2(t.openFile(path), qPrintable(t.lastError()));
    QVERIFY(t.isOpen());
    QCOMPARE(t.recordCount(), 4);
    QList<int> ids;
    QStringList names;
    for (t.first(); !t.eof(); t.next()) {
        ids.append(t.typeId());
        names.append(t.nameCentral());
    }
    QCOMPARE(ids, (QList<int>{501, 24, 501, 400}));
    QCOMPARE(names.at(0), QStringLiteral("Лунь-11 №1"));
    QCOMPARE(names.at(3), QStringLiteral("  Радиоканал  ")); // kept as stored; trimming is the caller's
    t.next();
    QVERIFY(t.eof());
    QCOMPARE(t.typeId(), 0);
    QVERIFY(t.nameCentral().isEmpty());
    t.setCurrent(-3);
    QCOMPARE(t.current(), 0);
    t.setCurrent(99);
    QVERIFY(t.eof());
    t.close();
    QVERIFY(!t.isOpen());
    QCOMPARE(t.recordCount(), 0);
    QVERIFY(t.eof());
}

void TestTypeTable::locateFindsFirstOfDuplicates()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("CentralType.db"));
    DBTEST_WRITE(path, centralTypeFields(), kTypes);
    PanelTypeTable t;
    QVERIFY2(t.openFile(path), qPrintable(t.lastError()));
    t.setCurrent(3);
    QVERIFY(t.locate(501));
    QCOMPARE(t.current(), 0);
    QCOMPARE(t.nameCentral(), QStringLiteral("Лунь-11 №1"));
    QVERIFY(t.locate(24));
    QCOMPARE(t.current(), 1);
    QVERIFY(!t.locate(531));
    QCOMPARE(t.current(), 1);
    const PanelType *found = t.find(501);
    QVERIFY(found);
    QCOMPARE(found->nameCentral, QStringLiteral("Лунь-11 №1"));
    QCOMPARE(t.current(), 1);
    QVERIFY(!t.find(531));
}

void TestTypeTable::nullTypeCountsAsZero()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("CentralType.db"));
    DBTEST_WRITE(path, centralTypeFields(), (QList<QVariantList>{{QVariant(), QStringLiteral("без номера")}, {5, QVariant()}}));
    PanelTypeTable t;
    QVERIFY2(t.openFile(path), qPrintable(t.lastError()));
    QCOMPARE(t.typeId(), 0);
    QVERIFY(t.locate(0));
    t.next();
    QCOMPARE(t.typeId(), 5);
    QCOMPARE(t.nameCentral(), QString());
}

void TestTypeTable::openStandaloneFromProgramFolder()
{
    QTemporaryDir dir;
    // Tables copied from Windows often carry upper-case names.
    DBTEST_WRITE(dir.filePath(QStringLiteral("CENTRALTYPE.DB")), centralTypeFields(), kTypes);
    PanelTypeTable t;
    QVERIFY2(t.openStandalone(dir.path()), qPrintable(t.lastError()));
    QCOMPARE(t.recordCount(), 4);
}

void TestTypeTable::openConsoleThroughEditDB()
{
    QTemporaryDir dir;
    const QString edit = dir.filePath(QStringLiteral("Edit"));
    QVERIFY(QDir().mkpath(edit));
    DBTEST_WRITE(edit + QStringLiteral("/CentralType.db"), centralTypeFields(), kTypes.mid(1, 1));
    QVERIFY(writeAliasFile(dir.path(), "[Aliases]\nTraficDB=" + dir.path().toUtf8() + "\nEditDB=" + edit.toUtf8() + "\n"));
    PanelTypeTable t;
    QVERIFY2(t.openConsole(), qPrintable(t.lastError()));
    QCOMPARE(t.recordCount(), 1);
    QCOMPARE(t.typeId(), 24);
}

void TestTypeTable::openFailures_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("expected");
    QTest::newRow("console, no alias file") << QStringLiteral("console-no-ini") << QStringLiteral("console.ini");
    QTest::newRow("console, no EditDB") << QStringLiteral("console-no-alias") << QStringLiteral("EditDB");
    QTest::newRow("console, no table") << QStringLiteral("console-no-table") << QStringLiteral("CentralType.db");
    QTest::newRow("standalone, no table") << QStringLiteral("standalone") << QStringLiteral("CentralType.db");
    QTest::newRow("garbage") << QStringLiteral("garbage") << QStringLiteral("CentralType.db");
    QTest::newRow("no TypeId field") << QStringLiteral("no-typeid") << QStringLiteral("TypeId");
    QTest::newRow("NameCentral not text") << QStringLiteral("name-number") << QStringLiteral("NameCentral");
}

void TestTypeTable::openFailures()
{
    QFETCH(QString, mode);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    const QString table = dir.filePath(QStringLiteral("CentralType.db"));
    QSettings::setPath(QSettings::IniFormat, QSettings::SystemScope, dir.path());
    if (mode == QLatin1String("console-no-alias"))
        QVERIFY(writeAliasFile(dir.path(), "[Aliases]\nTraficDB=" + dir.path().toUtf8() + "\n"));
    if (mode == QLatin1String("console-no-table"))
        QVERIFY(writeAliasFile(dir.path(), "[Aliases]\nEditDB=" + dir.path().toUtf8() + "\n"));
    if (mode == QLatin1String("garbage")) {
        QFile f(table);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(5000, 'x'));
    }
    if (mode == QLatin1String("no-typeid"))
        DBTEST_WRITE(table, (QList<ParadoxField>{longField("Id"), alpha("NameCentral", 40)}), (QList<QVariantList>{{1, QStringLiteral("a")}}));
    if (mode == QLatin1String("name-number"))
        DBTEST_WRITE(table, (QList<ParadoxField>{longField("TypeId"), longField("NameCentral")}), (QList<QVariantList>{{1, 2}}));

    // A table that was open stays closed after a failed open.
    const QString good = dir.filePath(QStringLiteral("good.db"));
    DBTEST_WRITE(good, centralTypeFields(), kTypes);
    PanelTypeTable t;
    QVERIFY(t.openFile(good));
    const bool ok = mode.startsWith(QLatin1String("console")) ? t.openConsole() : t.openStandalone(dir.path());
    QVERIFY(!ok);
    QVERIFY(!t.isOpen());
    QCOMPARE(t.recordCount(), 0);
    QVERIFY(t.eof());
    QVERIFY2(t.lastError().contains(expected), qPrintable(t.lastError()));
}

// The build turns data/central_types.txt into bin/CentralType.db.
void TestTypeTable::defaultTableListsEveryKnownType()
{
    PanelTypeTable t;
    QVERIFY2(t.openStandalone(QStringLiteral(TALVIR_BIN_DIR)), qPrintable(t.lastError()));
    for (const int id : listedTypeIds()) {
        const PanelType *type = t.find(id);
        QVERIFY2(type, qPrintable(QStringLiteral("TypeId %1 missing").arg(id)));
        QCOMPARE(type->nameCentral, QStringLiteral("ППК тип %1").arg(id));
    }

    QFile text(QStringLiteral(TALVIR_CENTRAL_TYPES_TXT));
    QVERIFY(text.open(QIODevice::ReadOnly | QIODevice::Text));
    QList<int> order;
    bool fieldLine = true;
    while (!text.atEnd()) {
        const QString line = QString::fromUtf8(text.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        if (!fieldLine)
            order.append(line.section(QLatin1Char('\t'), 0, 0).toInt());
        fieldLine = false;
    }
    QList<int> walked;
    for (t.first(); !t.eof(); t.next())
        walked.append(t.typeId());
    QCOMPARE(walked, order);
    QCOMPARE(t.recordCount(), int(listedTypeIds().size()));
}

// The type list's text as the build turns it into CentralType.db (its field line in front).
void TestTypeTable::typeListRefusals_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("ok");
    QTest::newRow("good") << QByteArray("# comment\n24\tКонтакт №1\r\n\n501\tЛунь\n") << true;
    QTest::newRow("TypeId twice") << QByteArray("24\tA\n24\tB\n") << false;
    QTest::newRow("no tab") << QByteArray("24 A\n") << false;
    QTest::newRow("not a number") << QByteArray("2x\tA\n") << false;
    QTest::newRow("empty name") << QByteArray("24\t  \n") << false;
    QTest::newRow("name too long") << QByteArray("24\t") + QByteArray(41, 'A') + "\n" << false;
    QTest::newRow("name twice") << QByteArray("24\tA\n25\tA\n") << false;
    QTest::newRow("no rows") << QByteArray("# nothing\n") << false;
}

void TestTypeTable::typeListRefusals()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, ok);
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("types.txt"));
    const QString target = dir.filePath(QStringLiteral("CentralType.db"));
    QFile f(source);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("TypeId:Long!\tNameCentral:Alpha40!\n" + text);
    f.close();
    QProcess p;
    testsupport::setSanitizerExitCode(p);
    p.start(QStringLiteral(TALVIR_MKPARADOX), {source, target});
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QCOMPARE(p.exitCode() == 0, ok);
    QCOMPARE(QFileInfo::exists(target), ok);
    if (!ok) {
        QVERIFY(!p.readAllStandardError().isEmpty());
        return;
    }
    PanelTypeTable t;
    QVERIFY2(t.openFile(target), qPrintable(t.lastError()));
    QCOMPARE(t.recordCount(), 2);
    QCOMPARE(t.nameCentral(), QStringLiteral("Контакт №1"));
}

QTEST_GUILESS_MAIN(TestTypeTable)
#include "test_type_table.moc"
