// kcftool console as the technician runs it while setting console mode up: on the demo console
// beside the tool, and on a console folder that lacks a table.
#include "support/child_process.h"

#include <QtTest>

namespace {

struct Run {
    int code = -1;
    QString out;
    QString err;
};

// Runs kcftool with the system-wide settings (where the console's alias file lives) moved to xdg.
Run kcftool(const QStringList &args, const QString &xdg)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_DIRS"), xdg);
    testsupport::setSanitizerExitCode(p, env);
    p.start(QStringLiteral(KCFTOOL_PATH), args);
    Run r;
    if (!p.waitForFinished(60000))
        return r;
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

QString demoFolder()
{
    return QFileInfo(QStringLiteral(KCFTOOL_PATH)).absolutePath() + QStringLiteral("/demo_console");
}

} // namespace

class TestKcftoolConsole : public QObject {
    Q_OBJECT
private slots:
    void demoConsoleWhenNoneIsInstalled();
    void folderWithoutOneTable();
    void tableAsCsv();
    void bcdWithItsDecimals();
};

void TestKcftoolConsole::demoConsoleWhenNoneIsInstalled()
{
    QTemporaryDir xdg;
    const Run r = kcftool({QStringLiteral("console"), QStringLiteral("--serial"), QStringLiteral("0012345")}, xdg.path());
    QVERIFY2(r.code == 0, qPrintable(r.err + r.out));
    QVERIFY2(r.out.contains(xdg.path() + QStringLiteral("/Talvir/console.ini  (not found)")), qPrintable(r.out));
    QVERIFY(r.out.contains(QStringLiteral("demo_console.ini  (in use)")));
    QVERIFY(r.out.contains(QStringLiteral("Alias TraficDB: ") + demoFolder()));
    QVERIFY(r.out.contains(QStringLiteral("Table CentralType.db (EditDB): ") + demoFolder() + QStringLiteral("/CentralType.db, 62 records")));
    QVERIFY(r.out.contains(QStringLiteral("fields: ObjRef Long, Account Alpha(10), TypeRef Long, DefCId Logical")));
    // Leading zeros dropped; the disabled object, object 0 and other transceivers' objects left out.
    QVERIFY(r.out.contains(QStringLiteral("(PTN '12345'): 29 objects")));
    QVERIFY(r.out.contains(QStringLiteral("  10001, Коттедж №10001  [4 GSM panels, 4 to import]")));
    QVERIFY(!r.out.contains(QStringLiteral("Снятый")));
    QVERIFY(!r.out.contains(QStringLiteral("другого трансивера")));
    QVERIFY(r.out.indexOf(QStringLiteral("\n  10, ")) < r.out.indexOf(QStringLiteral("\n  2, ")));
}

void TestKcftoolConsole::folderWithoutOneTable()
{
    QTemporaryDir root;
    const QString console = root.filePath(QStringLiteral("База пульта"));
    QVERIFY(QDir().mkpath(console));
    for (const char *t : {"ObjList.db", "CentralList.db", "CentralType.db"})
        QVERIFY(QFile::copy(demoFolder() + QLatin1Char('/') + QLatin1String(t), console + QLatin1Char('/') + QLatin1String(t)));
    const QString xdg = root.filePath(QStringLiteral("xdg"));
    QVERIFY(QDir().mkpath(xdg + QStringLiteral("/Talvir")));
    QFile ini(xdg + QStringLiteral("/Talvir/console.ini"));
    QVERIFY(ini.open(QIODevice::WriteOnly));
    ini.write("[Aliases]\nTraficDB=" + console.toUtf8() + "\nEditDB=" + console.toUtf8() + "\n");
    ini.close();

    const Run r = kcftool({QStringLiteral("console"), QStringLiteral("--serial"), QStringLiteral("12345")}, xdg);
    QCOMPARE(r.code, 1);
    QVERIFY2(r.out.contains(QStringLiteral("console.ini  (in use)")), qPrintable(r.out));
    QVERIFY(r.out.contains(QStringLiteral("Table TrnObj.db (TraficDB): cannot be read:")));
    QVERIFY(r.out.contains(QStringLiteral("Table ObjList.db (TraficDB): ") + console + QStringLiteral("/ObjList.db, 37 records")));
    QVERIFY(r.out.contains(QStringLiteral("Object query for factory number 12345 (PTN '12345') fails:")));
    // The technician is told what to fix and which alias file says where.
    QVERIFY2(r.err.contains(QStringLiteral("TrnObj.db")) && r.err.contains(ini.fileName()), qPrintable(r.err));
}

void TestKcftoolConsole::tableAsCsv()
{
    QTemporaryDir xdg;
    const Run r = kcftool({QStringLiteral("console"), QStringLiteral("--table"), demoFolder() + QStringLiteral("/ObjList.db")}, xdg.path());
    QCOMPARE(r.code, 0);
    const QStringList lines = r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 38);
    QCOMPARE(lines.at(0), QStringLiteral("Id,Name,Enabled,Address"));
    QVERIFY2(lines.contains(QStringLiteral("9,\"Банк, отделение №2\",true,\"г. Демо, ул. Тестовая, 9\"")), qPrintable(r.out));

    const Run missing = kcftool({QStringLiteral("console"), QStringLiteral("--table"), xdg.filePath(QStringLiteral("No.db"))}, xdg.path());
    QCOMPARE(missing.code, 1);
    QVERIFY(missing.err.contains(QStringLiteral("No.db")));
}

// A BCD field declares its decimal places in the header (2 here) and takes 17 bytes in every record.
void TestKcftoolConsole::bcdWithItsDecimals()
{
    QTemporaryDir xdg;
    const Run r = kcftool({QStringLiteral("console"), QStringLiteral("--table"), QStringLiteral(BCD_TABLE)}, xdg.path());
    QVERIFY2(r.code == 0, qPrintable(r.err));
    QCOMPARE(r.out, QStringLiteral("Id,Sum\n1,12.50\n2,-3.75\n3,\n4,1000000.01\n"));
}

QTEST_GUILESS_MAIN(TestKcftoolConsole)
#include "test_kcftool_console.moc"
