// transceiver-sim as a program: its start lines, both ends, its saved image and log, its command-line
// errors, and a clean exit on SIGTERM that removes its link.
#include "simulator/sim_test_util.h"

#include "link/frames.h"
#include "support/child_process.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/types.h>

using namespace talvir;
using namespace simtest;

namespace {
QByteArray hex(const char *h) { return QByteArray::fromHex(h); }
const QString kProgram = QStringLiteral(TRANSCEIVER_SIM_PATH);

// Collects the program's standard output into out until its last start line ("variant ...") came.
bool readStartLines(QProcess &sim, QByteArray &out)
{
    return pumpUntil(
        [&] {
            out += sim.readAllStandardOutput();
            return out.contains("variant");
        },
        5000);
}
} // namespace

class TestSimProgram : public QObject {
    Q_OBJECT

private slots:
    void servesBothEndsAndStopsOnSigterm()
    {
        QTemporaryDir dir;
        const QString link = dir.filePath(QStringLiteral("ttyTalvir"));
        const QString imageOut = dir.filePath(QStringLiteral("memory.bin"));
        const QString logPath = dir.filePath(QStringLiteral("sim.log"));
        // A configuration file with the first settings byte 0x05.
        const QString kcf = dir.filePath(QStringLiteral("start.kcf"));
        QVERIFY(writeFile(kcf, QByteArray("TransP") + hex("A1B2C3D4E5F6") + hex("3B286E056511")));

        QProcess sim;
        testsupport::setSanitizerExitCode(sim);
        sim.start(kProgram, {QStringLiteral("--serial-pty"), link, QStringLiteral("--udp"), QStringLiteral("127.0.0.1"),
                             QStringLiteral("--udp-port"), QStringLiteral("0"), QStringLiteral("--no-status"),
                             QStringLiteral("--image"), kcf, QStringLiteral("--save-image"), imageOut,
                             QStringLiteral("--log"), logPath});
        QVERIFY(sim.waitForStarted());
        QByteArray out;
        QVERIFY(readStartLines(sim, out));
        const auto udp = QRegularExpression(QStringLiteral("^udp 127\\.0\\.0\\.1:(\\d+)$"),
                                            QRegularExpression::MultilineOption)
                             .match(QString::fromUtf8(out));
        QVERIFY2(udp.hasMatch(), out.constData());
        QVERIFY2(out.contains("serial " + link.toUtf8() + " -> /dev/pts/"), out.constData());

        PtyClient serial;
        QVERIFY(serial.open(link));
        QCOMPARE(serial.transact(hex("230101 01B8B2")), 0x01);
        // The last address completes a write: the image is saved with the file's byte in it.
        QCOMPARE(serial.transact(frameBytes(makeWriteFrame(0x6FCD, 0x7E))), 0x01);
        QVERIFY(pumpUntil([&] { return QFile::exists(imageOut); }, 3000));
        const QByteArray saved = readFile(imageOut);
        QCOMPARE(saved.size(), 28622);
        QCOMPARE(int(saved.at(0x6E28)), 0x05);
        QCOMPARE(int(saved.at(0x6FCD)), 0x7E);

        UdpClient lan;
        QVERIFY(lan.bind());
        lan.setPeer(QHostAddress(QHostAddress::LocalHost), quint16(udp.captured(1).toUInt()));
        QCOMPARE(lan.exchange("AT+CONFIG"), QByteArray("OK"));
        serial.close();

        sim.terminate(); // SIGTERM
        QVERIFY(sim.waitForFinished(5000));
        QCOMPARE(sim.exitStatus(), QProcess::NormalExit);
        QCOMPARE(sim.exitCode(), 0);
        QVERIFY(!QFileInfo(link).exists() && !QFileInfo(link).isSymLink());

        const QByteArray log = readFile(logPath);
        QVERIFY2(log.contains("serial <- 23 01 01 01 B8 B2  ident"), log.constData());
        QVERIFY2(log.contains("write 0x6FCD=7E"), log.constData());
        QVERIFY2(log.contains("AT+CONFIG"), log.constData());
    }

    void sigintExitsCleanlyToo()
    {
        QTemporaryDir dir;
        const QString link = dir.filePath(QStringLiteral("tty"));
        QProcess sim;
        testsupport::setSanitizerExitCode(sim);
        sim.start(kProgram, {QStringLiteral("--serial-pty"), link, QStringLiteral("--variant"), QStringLiteral("duziv")});
        QByteArray out;
        QVERIFY(readStartLines(sim, out));
        QVERIFY2(out.contains("variant duziv, 14522 bytes"), out.constData());
        QVERIFY(QFileInfo(link).isSymLink());
        ::kill(pid_t(sim.processId()), SIGINT);
        QVERIFY(sim.waitForFinished(5000));
        QCOMPARE(sim.exitStatus(), QProcess::NormalExit);
        QCOMPARE(sim.exitCode(), 0);
        QVERIFY(!QFileInfo(link).isSymLink());
    }

    void refusesBadCommandLines_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("message");
        const QString udp = QStringLiteral("--udp=127.0.0.1");
        const QString port = QStringLiteral("--udp-port=0");
        QTest::newRow("nothing to serve") << QStringList{} << 2 << QStringLiteral("nothing to serve");
        QTest::newRow("variant") << QStringList{udp, port, QStringLiteral("--variant=700")} << 2 << QStringLiteral("--variant");
        QTest::newRow("reply byte without frame")
            << QStringList{udp, port, QStringLiteral("--reply-byte=0x25")} << 2 << QStringLiteral("--reply-byte");
        QTest::newRow("reply byte too big")
            << QStringList{udp, port, QStringLiteral("--reply-byte=3:256")} << 2 << QStringLiteral("--reply-byte");
        QTest::newRow("reply byte frame 0")
            << QStringList{udp, port, QStringLiteral("--reply-byte=0:1")} << 2 << QStringLiteral("--reply-byte");
        QTest::newRow("config result") << QStringList{udp, port, QStringLiteral("--config-result=maybe")} << 2
                                       << QStringLiteral("--config-result");
        QTest::newRow("udp address") << QStringList{QStringLiteral("--udp=1.2.3")} << 2 << QStringLiteral("--udp");
        QTest::newRow("not a number") << QStringList{udp, port, QStringLiteral("--nak-every=x")} << 2
                                      << QStringLiteral("--nak-every");
        QTest::newRow("port too big") << QStringList{udp, QStringLiteral("--udp-port=70000")} << 2
                                      << QStringLiteral("--udp-port");
        QTest::newRow("ip1") << QStringList{udp, port, QStringLiteral("--ip1=300.1.1.1")} << 2 << QStringLiteral("--ip1");
        QTest::newRow("unknown option") << QStringList{udp, port, QStringLiteral("--frobnicate")} << 2
                                        << QStringLiteral("frobnicate");
        QTest::newRow("two serial ends")
            << QStringList{QStringLiteral("--serial-pty=/tmp/a"), QStringLiteral("--serial-device=/dev/ttyS0")} << 2
            << QStringLiteral("exclude");
        QTest::newRow("missing image") << QStringList{udp, port, QStringLiteral("--image=/nonexistent/x.kcf")} << 1
                                       << QStringLiteral("/nonexistent/x.kcf");
        QTest::newRow("missing serial device")
            << QStringList{QStringLiteral("--serial-device=/nonexistent/ttyUSB9")} << 1 << QStringLiteral("ttyUSB9");
    }
    void refusesBadCommandLines()
    {
        QFETCH(QStringList, args);
        QFETCH(int, code);
        QFETCH(QString, message);
        QProcess sim;
        testsupport::setSanitizerExitCode(sim);
        sim.start(kProgram, args);
        QVERIFY(sim.waitForFinished(5000));
        QCOMPARE(sim.exitCode(), code);
        const QString err = QString::fromUtf8(sim.readAllStandardError());
        QVERIFY2(err.contains(message), qPrintable(err));
    }

    void helpListsEveryFlag()
    {
        QProcess sim;
        testsupport::setSanitizerExitCode(sim);
        sim.start(kProgram, {QStringLiteral("--help")});
        QVERIFY(sim.waitForFinished(5000));
        QCOMPARE(sim.exitCode(), 0);
        const QByteArray help = sim.readAllStandardOutput();
        for (const char *flag : {"--variant", "--image", "--save-image", "--serial-pty", "--serial-device", "--udp",
                                 "--udp-port", "--nak-every", "--reply-byte", "--silent-after", "--drop-every",
                                 "--no-ready", "--config-result", "--duplicate-blocks", "--short-settings",
                                 "--block-gap-ms", "--latency-ms", "--end-after-object", "--no-status",
                                 "--serial-no", "--mode-byte", "--signal", "--ip1", "--ip2", "--channel-code",
                                 "--log", "-v"})
            QVERIFY2(help.contains(flag), flag);
    }
};

QTEST_GUILESS_MAIN(TestSimProgram)
#include "test_sim_program.moc"
