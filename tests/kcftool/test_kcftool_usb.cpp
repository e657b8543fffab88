// kcftool write --usb against transceiver-sim on a pseudo-terminal: the file's frames reach the
// transceiver's memory in order, the window's messages for each way the transceiver can fail, and an
// interrupted write.
#include "kcftool_rig.h"

#include <QtTest>

#include <csignal>

using namespace kcfrig;

class TestKcftoolUsb : public QObject {
    Q_OBJECT
private slots:
    void writesTheFileFramesInOrder_data()
    {
        QTest::addColumn<QString>("variant");
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("settingsBase");
        QTest::addColumn<bool>("byLink"); // the port named by the sim's link, or by its device path
        QTest::addColumn<bool>("evenFirst"); // the file's records: even addresses, then odd ones
        QTest::addColumn<bool>("noisyIdent"); // the identification frame outstanding at the start is answered 01 FF
        QTest::newRow("600r") << "600r" << 28622 << 28200 << true << false << false;
        QTest::newRow("duziv, even addresses first") << "duziv" << 14522 << 14100 << false << true << false;
        QTest::newRow("duziv, noise after the identification answer")
            << "duziv" << 14522 << 14100 << true << false << true;
    }
    void writesTheFileFramesInOrder()
    {
        QFETCH(QString, variant);
        QFETCH(int, size);
        QFETCH(int, settingsBase);
        QFETCH(bool, byLink);
        QFETCH(bool, evenFirst);
        QFETCH(bool, noisyIdent);
        QTemporaryDir dir;
        QByteArray image = randomImage(size, quint32(size));
        putSerialNumber(image, settingsBase, 4000000001u); // above the signed 32-bit range
        const QByteArray file = kcfOf(image, evenFirst);
        const QString kcf = dir.filePath("config.kcf");
        QVERIFY(writeFile(kcf, file));
        const QString memory = dir.filePath("memory.bin");
        const QString log = dir.filePath("sim.log");
        const QString link = dir.filePath("ttyTalvir");

        Sim sim;
        QString error;
        // kcftool starts the write on the first acknowledgement, which is answered with identification
        // frame 2 at once: that one's answer is spoilt.
        const QStringList noise = noisyIdent ? QStringList{"--stray-after-ident", "2"} : QStringList{};
        QVERIFY2(sim.start(QStringList{"--variant", variant, "--serial-pty", link, "--save-image", memory, "--log", log}
                               + noise,
                           &error),
                 qPrintable(error));
        const Run r = kcftool({"write", "--variant", variant, "--usb", byLink ? link : sim.device(), kcf});
        QCOMPARE(r.code, 0);
        // Off a terminal the gauge is one line per 10 %, then the window's completion message.
        QStringList expected;
        for (int p = 0; p <= 100; p += 10)
            expected << QString::asprintf("%3d%%", p);
        expected << QString::fromUtf8("kcftool: Запись конфигурации трансивера № 4000000001 выполнена");
        QCOMPARE(r.err.split('\n', Qt::SkipEmptyParts), expected);

        QTRY_VERIFY_WITH_TIMEOUT(readFile(memory).size() == size, 5000);
        QVERIFY(readFile(memory) == image);

        // On the line: the identification exchange, then the file's records byte for byte, in file
        // order; the first one twice (it goes out again on the first acknowledgement).
        QStringList sent;
        bool noiseSeen = false, identAfterNoise = false;
        for (const QByteArray &line : readFile(log).split('\n')) {
            noiseSeen = noiseSeen || line.contains("noise byte");
            if (noiseSeen && sent.isEmpty() && line.contains("serial <- 23 01 01 01 B8 B2"))
                identAfterNoise = true; // the write asked again before its first frame
            const int at = line.indexOf("serial <- 3B ");
            if (at >= 0)
                sent << QString::fromLatin1(line.mid(at + 10, 17)).remove(' ');
        }
        QCOMPARE(noiseSeen, noisyIdent);
        QCOMPARE(identAfterNoise, noisyIdent);
        QCOMPARE(sent.size(), size + 1);
        QCOMPARE(sent.at(0), sent.at(1));
        sent.removeFirst();
        for (int i = 0; i < size; ++i) {
            const QString record = QString::fromLatin1(file.mid(12 + 6 * i, 6).toHex().toUpper());
            if (sent.at(i) != record)
                QFAIL(qPrintable(QString("frame %1: sent %2, file holds %3").arg(i).arg(sent.at(i), record)));
        }
    }

    void transceiverFailuresAreReported_data()
    {
        QTest::addColumn<QStringList>("simArgs"); // empty: no transceiver at all
        QTest::addColumn<QString>("message");
        QTest::newRow("silent") << QStringList{"--silent-after", "0"} << QString::fromUtf8("Трансивер не отвечает");
        QTest::newRow("store failed in the write")
            << QStringList{"--reply-byte", "300:0x25"} << QString::fromUtf8("Отказ оборудования");
        QTest::newRow("type rejected") << QStringList{"--reply-byte", "1:0x02"}
                                       << QString::fromUtf8("Ошибка выбора типа ППК!");
        QTest::newRow("no such port") << QStringList{} << "/nonexistent/ttyTalvir";
    }
    void transceiverFailuresAreReported()
    {
        QFETCH(QStringList, simArgs);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString kcf = dir.filePath("config.kcf");
        QVERIFY(writeFile(kcf, kcfOf(QByteArray(14522, '\x11'))));
        Sim sim;
        QString port = "/nonexistent/ttyTalvir";
        if (!simArgs.isEmpty()) {
            QString error;
            QVERIFY2(sim.start(simArgs + QStringList{"--variant", "duziv", "--serial-pty", dir.filePath("tty")}, &error),
                     qPrintable(error));
            port = sim.device();
        }
        const Run r = kcftool({"write", "--variant", "duziv", "--usb", port, kcf});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
        QVERIFY2(!r.err.contains(QString::fromUtf8("выполнена")), qPrintable(r.err));
    }

    void interruptAbandonsTheWrite()
    {
        QTemporaryDir dir;
        const QString kcf = dir.filePath("config.kcf");
        QVERIFY(writeFile(kcf, kcfOf(randomImage(28622, 7))));
        const QString memory = dir.filePath("memory.bin");
        Sim sim;
        QString error;
        // Slow answers, so that the write is surely running when the signal comes.
        QVERIFY2(sim.start({"--serial-pty", dir.filePath("tty"), "--latency-ms", "1", "--save-image", memory}, &error),
                 qPrintable(error));
        QProcess tool;
        testsupport::setSanitizerExitCode(tool);
        tool.start(kKcftool, {"write", "--usb", sim.device(), kcf});
        QByteArray err;
        QTRY_VERIFY_WITH_TIMEOUT((err += tool.readAllStandardError()).contains(" 0%"), 5000);
        ::kill(pid_t(tool.processId()), SIGINT);
        QVERIFY(tool.waitForFinished(5000));
        err += tool.readAllStandardError();
        QCOMPARE(tool.exitStatus(), QProcess::NormalExit);
        QCOMPARE(tool.exitCode(), 1);
        QVERIFY2(err.contains("interrupted"), err.constData());
        QVERIFY2(!err.contains("100%"), err.constData());
        // The write never reached the last address: the transceiver's memory was not saved.
        QTest::qWait(300);
        QVERIFY(!QFile::exists(memory));
    }
};

QTEST_GUILESS_MAIN(TestKcftoolUsb)
#include "test_kcftool_usb.moc"
