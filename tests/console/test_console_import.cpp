// The import's core over real Paradox tables: the object list of a factory number, the panels of
// an object, the row each panel becomes, and that the console's files are only read.
#include "console_tables.h"

#include "console/console_aliases.h"
#include "console/console_check.h"
#include "console/console_import.h"
#include "core/int_text.h"
#include "core/variant.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QTemporaryDir>
#include <QTest>

using namespace talvir;
using namespace dbtest;

Q_DECLARE_METATYPE(std::optional<PanelRecord>)

namespace {

QMap<QString, QByteArray> folderContents(const QString &root)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile f(path);
        files.insert(path, f.open(QIODevice::ReadOnly) ? QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256)
                                                       : QByteArray("dir"));
    }
    return files;
}

ConsolePanel panel(int objRef, const char *account, int typeRef, bool defCId = false)
{
    ConsolePanel p;
    p.objRef = objRef;
    p.account = QString::fromLatin1(account);
    p.typeRef = typeRef;
    p.defCId = defCId;
    p.phoneM = QStringLiteral("80501234567");
    p.wtGsm = 30;
    p.nameCentral = QStringLiteral("Тип");
    return p;
}

} // namespace

class TestConsoleImport : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanupTestCase() { noDemoConsole(); }
    void objectListOfAFactoryNumber();
    void objectLine_data();
    void objectLine();
    void panelBecomesARow_data();
    void panelBecomesARow();
    void panelsOfAnObject_data();
    void panelsOfAnObject();
    void tablesAreReadOncePerOpeningAndNeverWritten();
    void failuresNameWhatFailed_data();
    void failuresNameWhatFailed();
    void demoConsoleWhenNoneIsInstalled();

private:
    void writeConsole(const QString &root);
    QTemporaryDir dir_;
};

void TestConsoleImport::writeConsole(const QString &root)
{
    QVERIFY(QDir().mkpath(root + QStringLiteral("/Trafic")) && QDir().mkpath(root + QStringLiteral("/Edit")));
    DBTEST_WRITE(root + QStringLiteral("/Trafic/ObjList.db"), objListFields(), (QList<QVariantList>{
        {2, QStringLiteral("Магазин"), true}, {10, QStringLiteral("Склад №1"), true},
        {1, QStringLiteral("Аптека"), true}, {5, QStringLiteral("Снят"), false}, {0, QStringLiteral("Пульт"), true},
        {3, QStringLiteral("Чужой"), true}}));
    DBTEST_WRITE(root + QStringLiteral("/Trafic/TrnObj.db"), trnObjFields(), (QList<QVariantList>{
        {2, QStringLiteral("N123"), 1}, {10, QStringLiteral("N123"), 1}, {1, QStringLiteral("N123"), 1},
        {5, QStringLiteral("N123"), 1}, {0, QStringLiteral("N123"), 1}, {3, QStringLiteral("N00123"), 1}}));
    DBTEST_WRITE(root + QStringLiteral("/Edit/CentralList.db"), centralListFields(), (QList<QVariantList>{
        {2, QStringLiteral("0120"), 501, true, QStringLiteral("80501234567"), QVariant(), 30, true},
        {2, QStringLiteral("0121"), 531, false, QVariant(), QVariant(), 10, true},
        {2, QStringLiteral("0122"), 562, true, QVariant(), QStringLiteral("80670000000"), 15, true},
        {2, QStringLiteral("0123"), 24, false, QVariant(), QVariant(), 10, false},
        {2, QStringLiteral("0124"), 999, false, QVariant(), QVariant(), 10, true},
        {10, QStringLiteral("0100"), 500, false, QVariant(), QVariant(), 60, true}}));
    DBTEST_WRITE(root + QStringLiteral("/Edit/CentralType.db"), centralTypeFields(), (QList<QVariantList>{
        {24, QStringLiteral("Контакт")}, {500, QStringLiteral("Тип 500")}, {501, QStringLiteral("Тип 501")},
        {531, QStringLiteral("Тип 531")}, {562, QStringLiteral("Тип 562 с очень длинным именем")}}));
}

void TestConsoleImport::initTestCase()
{
    writeConsole(dir_.filePath(QStringLiteral("console")));
}

void TestConsoleImport::init()
{
    const QByteArray root = dir_.filePath(QStringLiteral("console")).toUtf8();
    QVERIFY(writeAliasFile(dir_.filePath(QStringLiteral("settings")),
                           "[Aliases]\nTraficDB=" + root + "/Trafic\nEditDB=" + root + "/Edit\n"));
}

// The window takes the factory number as an integer: 00123 asks for 123, not for 00123.
void TestConsoleImport::objectListOfAFactoryNumber()
{
    ConsoleImport import(Variant::mxr600r());
    QVERIFY2(import.openObjectList(*strToInt(QStringLiteral("00123"))), qPrintable(import.error()));
    QStringList lines;
    for (const ConsoleObject &o : import.objects())
        lines.append(o.line);
    // Text order of the numbers; disabled object 5, object 0 and the N00123 transceiver's object left out.
    QCOMPARE(lines, (QStringList{QStringLiteral("1, Аптека"), QStringLiteral("10, Склад №1"), QStringLiteral("2, Магазин")}));
    // Object 2's panels take its place in the list as RecNmb.
    QCOMPARE(import.objects().at(2).id, 2);
    QList<ConsolePanel> panels;
    QVERIFY2(import.panelsOf(2, panels), qPrintable(import.error()));
    QCOMPARE(panelRecordFrom(panels.first(), 2, Variant::mxr600r())->slot, std::optional<qint32>(2));
}

void TestConsoleImport::objectLine_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("line");
    QTest::newRow("plain") << 7 << QStringLiteral("Склад №1") << QStringLiteral("7, Склад №1");
    QTest::newRow("no name") << 7 << QString() << QStringLiteral("7, ");
    QTest::newRow("name cut to 100") << -12 << QString(120, QChar(0x0416)) << QStringLiteral("-12, ") + QString(100, QChar(0x0416));
}

void TestConsoleImport::objectLine()
{
    QFETCH(int, id);
    QFETCH(QString, name);
    QFETCH(QString, line);
    QCOMPARE(talvir::objectLine(id, name), line);
}

void TestConsoleImport::panelBecomesARow_data()
{
    QTest::addColumn<bool>("duziv");
    QTest::addColumn<ConsolePanel>("source");
    QTest::addColumn<std::optional<PanelRecord>>("row");

    const auto row = [](const char *obj, const char *account, int type, int prot, int aF) {
        PanelRecord r;
        r.slot = 2;
        r.obj = QString::fromLatin1(obj);
        r.account = QString::fromLatin1(account);
        r.typeId = qint16(type);
        r.phone1 = QStringLiteral("+380501234567");
        r.typeName = QStringLiteral("Тип");
        r.testWait = 30;
        r.protocolCode = qint16(prot);
        r.alarmFlag = qint16(aF);
        return std::optional<PanelRecord>(r);
    };
    QTest::newRow("object 7 padded") << false << panel(7, "0120", 24) << row("0007", "0120", 24, 4, 0);
    QTest::newRow("object 12345 cut") << false << panel(12345, "0120", 24) << row("1234", "0120", 24, 4, 0);
    QTest::newRow("DefCId: 0 becomes A") << false << panel(7, "0120", 24, true) << row("0007", "A12A", 24, 4, 0);
    QTest::newRow("duziv never converts") << true << panel(7, "0120", 24, true) << row("0007", "0120", 24, 4, 0);
    QTest::newRow("account cut before converting") << false << panel(7, "10203", 24, true) << row("0007", "1A2A", 24, 4, 0);
    QTest::newRow("501 is A_F 1") << false << panel(7, "0001", 501) << row("0007", "0001", 501, 0, 1);
    QTest::newRow("500 is A_F 0") << false << panel(7, "0001", 500) << row("0007", "0001", 500, 0, 0);
    QTest::newRow("531 has no code") << false << panel(7, "0001", 531) << std::optional<PanelRecord>();
    QTest::newRow("562 in 600r") << false << panel(7, "0001", 562) << row("0007", "0001", 562, 4, 1);
    QTest::newRow("562 not in duziv") << true << panel(7, "0001", 562) << std::optional<PanelRecord>();
    QTest::newRow("561 not in duziv") << true << panel(7, "0001", 561) << std::optional<PanelRecord>();

    ConsolePanel phones = panel(7, "0001", 24);
    phones.phoneM.clear();
    phones.phoneM1 = QStringLiteral("80671112233");
    phones.nameCentral = QStringLiteral("Имя типа длиннее двадцати знаков");
    std::optional<PanelRecord> phonesRow = row("0007", "0001", 24, 4, 0);
    phonesRow->phone1.clear();
    phonesRow->phone2 = QStringLiteral("+380671112233");
    phonesRow->typeName = QStringLiteral("Имя типа длиннее два");
    QTest::newRow("empty PhoneM, name cut to 20") << false << phones << phonesRow;
}

void TestConsoleImport::panelBecomesARow()
{
    QFETCH(bool, duziv);
    QFETCH(ConsolePanel, source);
    QFETCH(std::optional<PanelRecord>, row);
    const std::optional<PanelRecord> got = panelRecordFrom(source, 2, duziv ? Variant::mxrDuziv() : Variant::mxr600r());
    QCOMPARE(got.has_value(), row.has_value());
    if (row) {
        QCOMPARE(got->obj, row->obj);
        QCOMPARE(got->account, row->account);
        QCOMPARE(got->phone1, row->phone1);
        QCOMPARE(got->phone2, row->phone2);
        QCOMPARE(got->typeName, row->typeName);
        QCOMPARE(got->protocolCode, row->protocolCode);
        QCOMPARE(got->alarmFlag, row->alarmFlag);
        QVERIFY(*got == *row);
    }
}

void TestConsoleImport::panelsOfAnObject_data()
{
    QTest::addColumn<bool>("duziv");
    QTest::addColumn<QStringList>("accounts");
    // GSM false (0123) and a type missing from CentralType.db (0124) are not fetched at all.
    QTest::newRow("MXR_600r") << false << QStringList{QStringLiteral("0120"), QStringLiteral("0121"), QStringLiteral("0122")};
    QTest::newRow("MXR_duziv") << true << QStringList{QStringLiteral("0120"), QStringLiteral("0121"), QStringLiteral("0122")};
}

void TestConsoleImport::panelsOfAnObject()
{
    QFETCH(bool, duziv);
    QFETCH(QStringList, accounts);
    ConsoleImport import(duziv ? Variant::mxrDuziv() : Variant::mxr600r());
    QVERIFY2(import.openObjectList(123), qPrintable(import.error()));
    QList<ConsolePanel> panels;
    QVERIFY2(import.panelsOf(2, panels), qPrintable(import.error()));
    QStringList got;
    for (const ConsolePanel &p : panels)
        got.append(p.account);
    got.sort();
    QCOMPARE(got, accounts);
    for (const ConsolePanel &p : panels) {
        if (p.account != QStringLiteral("0120"))
            continue;
        QCOMPARE(p.defCId, !duziv);
        QCOMPARE(p.phoneM, QStringLiteral("80501234567"));
        QVERIFY(p.phoneM1.isEmpty());
        QCOMPARE(p.nameCentral, QStringLiteral("Тип 501"));
        QCOMPARE(p.wtGsm, 30);
    }
}

// A large console must not be read again for every ticked object, and the console's own files
// stay as they were: nothing written, no lock or temporary file beside them.
void TestConsoleImport::tablesAreReadOncePerOpeningAndNeverWritten()
{
    QTemporaryDir local;
    const QString root = local.filePath(QStringLiteral("console"));
    writeConsole(root);
    QVERIFY(writeAliasFile(local.filePath(QStringLiteral("settings")),
                           "[Aliases]\nTraficDB=" + root.toUtf8() + "/Trafic\nEditDB=" + root.toUtf8() + "/Edit\n"));
    const QMap<QString, QByteArray> before = folderContents(root);

    ConsoleImport import(Variant::mxr600r());
    QVERIFY2(import.openObjectList(123), qPrintable(import.error()));
    QList<ConsolePanel> panels;
    for (const ConsoleObject &o : import.objects())
        QVERIFY2(import.panelsOf(o.id, panels), qPrintable(import.error()));
    QCOMPARE(folderContents(root), before);

    // Later objects are answered from what was read: the files may even be gone.
    QVERIFY(QFile::rename(root + QStringLiteral("/Edit/CentralList.db"), root + QStringLiteral("/Edit/gone")));
    QVERIFY2(import.panelsOf(2, panels), qPrintable(import.error()));
    QCOMPARE(panels.size(), 3);
    // A new opening reads afresh and sees the table missing.
    QVERIFY2(import.openObjectList(123), qPrintable(import.error()));
    QVERIFY(!import.panelsOf(2, panels));
    QVERIFY2(import.error().contains(QStringLiteral("CentralList.db")), qPrintable(import.error()));
    QVERIFY(import.error().contains(QStringLiteral("EditDB")));
}

void TestConsoleImport::failuresNameWhatFailed_data()
{
    QTest::addColumn<QByteArray>("aliases"); // %1: the console's folder
    QTest::addColumn<QString>("remove");     // a table file to take away
    QTest::addColumn<QStringList>("named");
    QTest::newRow("no TraficDB") << QByteArray("[Aliases]\nEditDB=%1/Edit\n") << QString()
                                 << QStringList{QStringLiteral("\"TraficDB\""), QStringLiteral("console.ini")};
    QTest::newRow("TrnObj.db missing") << QByteArray("[Aliases]\nTraficDB=%1/Trafic\nEditDB=%1/Edit\n")
                                       << QStringLiteral("Trafic/TrnObj.db")
                                       << QStringList{QStringLiteral("TrnObj.db"), QStringLiteral("TraficDB"), QStringLiteral("console.ini")};
    QTest::newRow("CentralType.db missing") << QByteArray("[Aliases]\nTraficDB=%1/Trafic\nEditDB=%1/Edit\n")
                                            << QStringLiteral("Edit/CentralType.db")
                                            << QStringList{QStringLiteral("CentralType.db"), QStringLiteral("EditDB")};
}

// Both the importer's own error and the cause the failure box adds name what the technician must fix.
void TestConsoleImport::failuresNameWhatFailed()
{
    QFETCH(QByteArray, aliases);
    QFETCH(QString, remove);
    QFETCH(QStringList, named);
    QTemporaryDir local;
    const QString root = local.filePath(QStringLiteral("console"));
    writeConsole(root);
    if (!remove.isEmpty())
        QVERIFY(QFile::remove(root + QLatin1Char('/') + remove));
    const QString settings = local.filePath(QStringLiteral("settings"));
    QVERIFY(writeAliasFile(settings, aliases.replace("%1", root.toUtf8())));

    const QString cause = consoleFailureCause();
    QVERIFY2(cause.contains(QLatin1Char('\n')), qPrintable(cause));
    for (const QString &n : named)
        QVERIFY2(cause.contains(n), qPrintable(cause));

    ConsoleImport import(Variant::mxr600r());
    QList<ConsolePanel> panels;
    const bool ok = import.openObjectList(123) && import.panelsOf(2, panels);
    QVERIFY(!ok);
    QVERIFY2(import.error().contains(named.first()), qPrintable(import.error()));
}

// The demo beside the program is used only while no console's alias file is installed; its
// folders are relative to its own alias file.
void TestConsoleImport::demoConsoleWhenNoneIsInstalled()
{
    QTemporaryDir local;
    const QString program = local.filePath(QStringLiteral("program"));
    writeConsole(program + QStringLiteral("/demo"));
    QFile ini(program + QStringLiteral("/demo_console.ini"));
    QVERIFY(ini.open(QIODevice::WriteOnly));
    ini.write("[Aliases]\nTraficDB=demo/Trafic\nEditDB=demo/Edit\n");
    ini.close();
    const QString installed = local.filePath(QStringLiteral("settings"));
    QSettings::setPath(QSettings::IniFormat, QSettings::SystemScope, installed);
    useDemoConsole(program);

    QCOMPARE(aliasFileInUse(), program + QStringLiteral("/demo_console.ini"));
    QString folder;
    QString error;
    QVERIFY2(resolveAlias(QStringLiteral("EditDB"), folder, error), qPrintable(error));
    QCOMPARE(folder, program + QStringLiteral("/demo/Edit"));
    QVERIFY(consoleFailureCause().isEmpty());

    QVERIFY(writeAliasFile(installed, "[Aliases]\nEditDB=" + installed.toUtf8() + "\n"));
    QCOMPARE(aliasFileInUse(), installed + QStringLiteral("/Talvir/console.ini"));
    QVERIFY(resolveAlias(QStringLiteral("EditDB"), folder, error));
    QCOMPARE(folder, installed);

    noDemoConsole();
    QCOMPARE(aliasFilesLookedFor(), QStringList{installed + QStringLiteral("/Talvir/console.ini")});
}

QTEST_GUILESS_MAIN(TestConsoleImport)
#include "test_console_import.moc"
