// The console installation's alias file: where it is, how its [Aliases] lines are read.
#include "console_tables.h"

#include "core/cp1251.h"
#include "console/console_aliases.h"

#include <QTemporaryDir>
#include <QTest>

using namespace talvir;

class TestConsoleAliases : public QObject {
    Q_OBJECT

private slots:
    void fileIsTheSystemWideConsoleSettings();
    void resolves_data();
    void resolves();
    void failsWithAMessage_data();
    void failsWithAMessage();
    void missingFileFails();
    void tableNameIgnoresLetterCase();
};

void TestConsoleAliases::fileIsTheSystemWideConsoleSettings()
{
    QTemporaryDir dir;
    QSettings::setPath(QSettings::IniFormat, QSettings::SystemScope, dir.path());
    QCOMPARE(consoleAliasFile(), dir.path() + QStringLiteral("/Talvir/console.ini"));
}

void TestConsoleAliases::resolves_data()
{
    // %1 stands for the folder; the folder's own name is appended to the temporary directory.
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QString>("folderName");
    QTest::addColumn<QString>("alias");
    QTest::newRow("plain") << QByteArray("[Aliases]\nTraficDB=%1\nEditDB=%1x\n") << QStringLiteral("trafic")
                           << QStringLiteral("TraficDB");
    QTest::newRow("second line") << QByteArray("[Aliases]\nTraficDB=%1x\nEditDB=%1\n") << QStringLiteral("edit")
                                 << QStringLiteral("EditDB");
    QTest::newRow("letter case, blanks, CRLF") << QByteArray("[ALIASES]\r\n  editdb =  %1  \r\n")
                                               << QStringLiteral("edit") << QStringLiteral("EditDB");
    QTest::newRow("other section first") << QByteArray("[Other]\nEditDB=%1x\n[Aliases]\nEditDB=%1\n")
                                         << QStringLiteral("edit") << QStringLiteral("EditDB");
    QTest::newRow("quoted") << QByteArray("[Aliases]\nEditDB=\"%1\"\n") << QStringLiteral("with blank")
                            << QStringLiteral("EditDB");
    // QSettings would read the backslashes as escapes; a Windows path must come through verbatim.
    QTest::newRow("backslashes") << QByteArray("[Aliases]\nEditDB=%1\n") << QStringLiteral("Talvir\\Data\\Edit")
                                 << QStringLiteral("EditDB");
    QTest::newRow("Windows-1251") << QByteArray("[Aliases]\nEditDB=%1\n") << QStringLiteral("База №2")
                                  << QStringLiteral("EditDB");
}

void TestConsoleAliases::resolves()
{
    QFETCH(QByteArray, ini);
    QFETCH(QString, folderName);
    QFETCH(QString, alias);
    QTemporaryDir dir;
    const QString folder = dir.filePath(folderName);
    QVERIFY(QDir().mkpath(folder));
    // Cyrillic folders are written the way Windows tools write them: Windows-1251.
    const QByteArray encoded = folderName.startsWith(QStringLiteral("База")) ? toCp1251(folder) : folder.toUtf8();
    QVERIFY(dbtest::writeAliasFile(dir.path(), QByteArray(ini).replace("%1", encoded)));
    QString got;
    QString error;
    QVERIFY2(resolveAlias(alias, got, error), qPrintable(error));
    QCOMPARE(got, folder);
    QVERIFY(error.isEmpty());
}

void TestConsoleAliases::failsWithAMessage_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QString>("expected"); // part of the message
    QTest::newRow("alias missing") << QByteArray("[Aliases]\nTraficDB=%1\n") << QStringLiteral("\"EditDB\"");
    QTest::newRow("alias in another section") << QByteArray("[Paths]\nEditDB=%1\n") << QStringLiteral("\"EditDB\"");
    QTest::newRow("empty value") << QByteArray("[Aliases]\nEditDB=\n") << QStringLiteral("не указывает папку");
    QTest::newRow("folder missing") << QByteArray("[Aliases]\nEditDB=%1/gone\n") << QStringLiteral("gone");
    QTest::newRow("empty file") << QByteArray() << QStringLiteral("\"EditDB\"");
}

void TestConsoleAliases::failsWithAMessage()
{
    QFETCH(QByteArray, ini);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    QVERIFY(dbtest::writeAliasFile(dir.path(), QByteArray(ini).replace("%1", dir.path().toUtf8())));
    QString folder = QStringLiteral("stale");
    QString error;
    QVERIFY(!resolveAlias(QStringLiteral("EditDB"), folder, error));
    QVERIFY(folder.isEmpty());
    QVERIFY2(error.contains(expected), qPrintable(error));
}

void TestConsoleAliases::missingFileFails()
{
    QTemporaryDir dir;
    QSettings::setPath(QSettings::IniFormat, QSettings::SystemScope, dir.path());
    QString folder;
    QString error;
    QVERIFY(!resolveAlias(QStringLiteral("TraficDB"), folder, error));
    QVERIFY2(error.contains(QStringLiteral("console.ini")), qPrintable(error));
    // Looking did not create the file or its folder.
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
}

void TestConsoleAliases::tableNameIgnoresLetterCase()
{
    QTemporaryDir dir;
    QFile f(dir.filePath(QStringLiteral("CENTRALTYPE.DB")));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.close();
    QCOMPARE(tablePath(dir.path(), QStringLiteral("CentralType.db")), dir.filePath(QStringLiteral("CENTRALTYPE.DB")));
    QCOMPARE(tablePath(dir.path(), QStringLiteral("ObjList.db")), dir.filePath(QStringLiteral("ObjList.db")));
}

QTEST_GUILESS_MAIN(TestConsoleAliases)
#include "test_console_aliases.moc"
