// kcftool over LAN when the transceiver fails it: no answer to the poll, a read that stops half-way,
// and a read interrupted by the technician. An existing output file is never touched.
#include "kcftool_rig.h"

#include <QDir>
#include <QNetworkDatagram>
#include <QUdpSocket>
#include <QtTest>

#include <csignal>

using namespace kcfrig;

class TestKcftoolLanFailures : public QObject {
    Q_OBJECT
private slots:
    // The connect gives up after its 11 passes of about half a second, as the window does.
    void silentTransceiverIsNotConnected()
    {
        QUdpSocket silent; // hears the polls, answers nothing
        QVERIFY(silent.bind(QHostAddress("127.0.31.41"), 0));
        QTemporaryDir dir;
        const QString kcf = dir.filePath("config.kcf");
        QVERIFY(writeFile(kcf, kcfOf(QByteArray(28622, '\0'))));
        const Run r = kcftool(QStringList{"write"} + lanTo("127.0.31.41", silent.localPort()) + QStringList{kcf});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.endsWith(QString::fromUtf8("kcftool: Нет связи с 127.0.31.41\n")), qPrintable(r.err));
        int polls = 0;
        while (silent.hasPendingDatagrams()) {
            QCOMPARE(silent.receiveDatagram().data(), QByteArray("AT+CONFIG"));
            ++polls;
        }
        QVERIFY2(polls >= 4, qPrintable(QString::number(polls)));
    }

    // The end marker right after object block 0 does not count: the block watchdog ends the read.
    // A read that skipped a block is no read either, though it ends with the marker.
    void failedReadLeavesTheFileAlone_data()
    {
        QTest::addColumn<QStringList>("fault");
        QTest::newRow("end marker after block 0") << QStringList{"--end-after-object"};
        QTest::newRow("block 5 never sent") << QStringList{"--skip-read-block", "5"};
    }
    void failedReadLeavesTheFileAlone()
    {
        QFETCH(QStringList, fault);
        QTemporaryDir dir;
        const QString out = dir.filePath("out.kcf");
        QVERIFY(writeFile(out, "precious"));
        Sim sim;
        QString error;
        QVERIFY2(sim.start(QStringList{"--udp", "127.0.31.42", "--udp-port", "0"} + fault, &error), qPrintable(error));
        const Run r = kcftool(QStringList{"read"} + sim.lan() + QStringList{out});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.endsWith(QString::fromUtf8("kcftool: Ошибка при чтение конфигурации.\n")), qPrintable(r.err));
        QCOMPARE(readFile(out), QByteArray("precious"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"out.kcf"});
    }

    void interruptedReadWritesNothing()
    {
        QTemporaryDir dir;
        const QString out = dir.filePath("out.kcf");
        Sim sim;
        QString error;
        QVERIFY2(sim.start({"--udp", "127.0.31.43", "--udp-port", "0", "--block-gap-ms", "200"}, &error),
                 qPrintable(error));
        QProcess tool;
        testsupport::setSanitizerExitCode(tool);
        tool.start(kKcftool, QStringList{"read"} + sim.lan() + QStringList{out});
        QByteArray err;
        QTRY_VERIFY_WITH_TIMEOUT((err += tool.readAllStandardError()).contains("  0%\n"), 10000);
        ::kill(pid_t(tool.processId()), SIGINT);
        QVERIFY(tool.waitForFinished(5000));
        err += tool.readAllStandardError();
        QCOMPARE(tool.exitStatus(), QProcess::NormalExit);
        QCOMPARE(tool.exitCode(), 1);
        QVERIFY2(err.endsWith("kcftool: interrupted: the read was abandoned, no file was written\n"), err.constData());
        QVERIFY(QDir(dir.path()).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestKcftoolLanFailures)
#include "test_kcftool_lan_failures.moc"
