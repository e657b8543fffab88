// kcftool write --verify against transceiver-sim on loopback UDP: a write that reads back the same
// succeeds; a transceiver that keeps one old byte is caught and the byte's field named.
#include "kcftool_rig.h"

#include <QtTest>

using namespace kcfrig;

class TestKcftoolVerify : public QObject {
    Q_OBJECT
private slots:
    void writeProvesItself_data()
    {
        QTest::addColumn<QStringList>("fault");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("report"); // stdout
        QTest::newRow("held as written") << QStringList{} << 0 << QString();
        // Settings offset 2 of the 600-slot memory (0x6E2A): the server address's first octet.
        QTest::newRow("one byte kept old") << QStringList{"--drop-stored-byte", "0x6E2A"} << 1
                                           << "settings serverIp: \"172.16.5.1\" -> \"0.16.5.1\"\n";
    }
    void writeProvesItself()
    {
        QFETCH(QStringList, fault);
        QFETCH(int, code);
        QFETCH(QString, report);
        QTemporaryDir dir;
        QByteArray image = randomImage(28622, 7);
        const char server[] = {char(172), 16, 5, 1};
        image.replace(28200 + 2, 4, server, 4);
        QVERIFY(writeFile(dir.filePath("a.kcf"), kcfOf(image)));

        Sim sim;
        QString error;
        QVERIFY2(sim.start(QStringList{"--udp", "127.0.31.21", "--udp-port", "0"} + fault, &error), qPrintable(error));
        const Run r = kcftool(QStringList{"write", "--verify"} + sim.lan() + QStringList{dir.filePath("a.kcf")});
        QCOMPARE(r.code, code);
        QCOMPARE(QString::fromUtf8(r.out), report);
        QVERIFY2(r.err.contains(code == 0 ? "verify: the transceiver holds what was written"
                                          : "verify: the transceiver holds something other than what was written"),
                 qPrintable(r.err));
    }
};

QTEST_GUILESS_MAIN(TestKcftoolVerify)
#include "test_kcftool_verify.moc"
