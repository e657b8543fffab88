// The simulator's serial end, driven through the real pseudo-terminal as the configurator drives it.
#include "simulator/sim_test_util.h"

#include "link/frames.h"
#include "sim/line_pacer.h"
#include "sim/transceiver_sim.h"

#include <QSerialPort>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using namespace talvir;
using namespace simtest;

namespace {
QByteArray hex(const char *h) { return QByteArray::fromHex(h); }
QByteArray writeFrame(int address, int data) { return frameBytes(makeWriteFrame(quint16(address), quint8(data))); }
} // namespace

class TestSimSerial : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QString link() const { return dir.filePath(QStringLiteral("ttyTalvir")); }

    // A simulator serving a fresh link, and a client on it.
    struct Rig {
        TransceiverSim sim;
        PtyClient client;
        explicit Rig(const SimSettings &s) : sim(s) {}
    };
    std::unique_ptr<Rig> start(const SimSettings &s = SimSettings())
    {
        auto rig = std::make_unique<Rig>(s);
        QString error;
        if (!rig->sim.startSerialPty(link(), &error))
            qWarning() << error;
        if (!rig->client.open(link()))
            qWarning() << "cannot open" << link();
        return rig;
    }

private slots:
    void linkPointsAtTheSlave()
    {
        auto rig = start();
        QVERIFY(QFileInfo(link()).isSymLink());
        QCOMPARE(QFileInfo(link()).symLinkTarget(), rig->sim.serialDevicePath());
        QVERIFY(rig->sim.serialDevicePath().startsWith(QStringLiteral("/dev/pts/")));
    }

    void staleLinkIsReplaced()
    {
        QVERIFY(QFile::link(QStringLiteral("/nonexistent/old-pts"), link()));
        auto rig = start();
        QCOMPARE(QFileInfo(link()).symLinkTarget(), rig->sim.serialDevicePath());
        QCOMPARE(rig->client.transact(hex("230101 01B8B2")), 0x01);
    }

    void regularFileAtTheLinkIsLeftAlone()
    {
        QVERIFY(writeFile(link(), "keep me"));
        TransceiverSim sim;
        QString error;
        QVERIFY(!sim.startSerialPty(link(), &error));
        QVERIFY2(error.contains(link()), qPrintable(error));
        QCOMPARE(readFile(link()), QByteArray("keep me"));
        QFile::remove(link());
    }

    void answers_data()
    {
        QTest::addColumn<int>("variant");
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<int>("reply");
        QTest::addColumn<int>("address"); // -1: nothing stored
        QTest::addColumn<int>("value");
        const int v600 = int(VariantId::Mxr600r);
        const int v300 = int(VariantId::MxrDuziv);
        QTest::newRow("identification") << v600 << hex("230101 01B8B2") << 0x01 << -1 << 0;
        QTest::newRow("first settings byte") << v600 << hex("3B286E056511") << 0x01 << 0x6E28 << 0x05;
        QTest::newRow("address 0, data 0") << v600 << hex("3B00000032F6") << 0x01 << 0 << 0;
        QTest::newRow("bad CRC low") << v600 << hex("3B286E056512") << 0x15 << -1 << 0;
        QTest::newRow("bad CRC high") << v600 << hex("3B286E056611") << 0x15 << -1 << 0;
        QTest::newRow("data changed under CRC") << v600 << hex("3B286E066511") << 0x15 << -1 << 0;
        QTest::newRow("ident with bad CRC") << v600 << hex("230101 01B8B3") << 0x15 << -1 << 0;
        QTest::newRow("unknown command, good CRC") << v600 << QByteArray(hex("24000000") + hex("0000")) << 0x15 << -1 << 0;
        QTest::newRow("last address 600") << v600 << writeFrame(0x6FCD, 0xAB) << 0x01 << 0x6FCD << 0xAB;
        QTest::newRow("past the end 600") << v600 << writeFrame(0x6FCE, 0xAB) << 0x15 << -1 << 0;
        QTest::newRow("last address 300") << v300 << writeFrame(0x38B9, 0x5A) << 0x01 << 0x38B9 << 0x5A;
        QTest::newRow("past the end 300") << v300 << writeFrame(0x38BA, 0x5A) << 0x15 << -1 << 0;
        QTest::newRow("600 address in 300") << v300 << hex("3B286E056511") << 0x15 << -1 << 0;
    }
    void answers()
    {
        QFETCH(int, variant);
        QFETCH(QByteArray, frame);
        QFETCH(int, reply);
        QFETCH(int, address);
        QFETCH(int, value);
        SimSettings s;
        s.variant = VariantId(variant);
        auto rig = start(s);
        QCOMPARE(rig->client.transact(frame), reply);
        QCOMPARE(rig->sim.counters().framesReceived, 1);
        if (address < 0) {
            QCOMPARE(rig->sim.memory().bytes(), QByteArray(rig->sim.memory().size(), '\0'));
        } else {
            QCOMPARE(int(rig->sim.memory().at(address)), value);
            QCOMPARE(rig->sim.counters().bytesStored, 1);
        }
    }

    // A whole 600-slot write, frame by frame as the configurator sends it, ends in the saved image.
    void wholeWrite()
    {
        SimSettings s;
        s.saveImagePath = dir.filePath(QStringLiteral("image.bin"));
        auto rig = start(s);
        QSignalSpy complete(&rig->sim, &TransceiverSim::serialWriteComplete);
        const QByteArray image = patternImage(28622);
        QCOMPARE(rig->client.transact(hex("230101 01B8B2")), 0x01);
        // The configurator sends frame 0 twice: once at the start, once on the first acknowledgement.
        QCOMPARE(rig->client.transact(writeFrame(0, quint8(image[0]))), 0x01);
        for (int a = 0; a < image.size(); ++a) {
            const int r = rig->client.transact(writeFrame(a, quint8(image[a])));
            if (r != 0x01)
                QFAIL(qPrintable(QStringLiteral("frame %1 answered %2").arg(a).arg(r)));
        }
        QCOMPARE(complete.count(), 1);
        QCOMPARE(rig->sim.memory().bytes(), image);
        QCOMPARE(readFile(s.saveImagePath), image);
        QCOMPARE(rig->sim.counters().writeFrames, 28623);
        QCOMPARE(rig->sim.counters().acksSent, 28624);
        QCOMPARE(rig->sim.counters().naksSent, 0);
    }

    void frameSplitByteByByte()
    {
        auto rig = start();
        const QByteArray f = hex("3B286E056511");
        for (int i = 0; i < 5; ++i) {
            QVERIFY(rig->client.write(f.mid(i, 1)));
            QCOMPARE(rig->client.collect(30), QByteArray());
        }
        QVERIFY(rig->client.write(f.mid(5, 1)));
        QCOMPARE(rig->client.read(1), hex("01"));
        QCOMPARE(int(rig->sim.memory().at(0x6E28)), 0x05);
    }

    void severalFramesInOneWrite_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("replies");
        QTest::newRow("three good") << hex("230101 01B8B2 3B286E056511 3B00000032F6") << hex("010101");
        QTest::newRow("good bad good") << hex("3B286E056511 3B286E056512 3B00000032F6") << hex("011501");
        QTest::newRow("frame and a half, then the rest")
            << hex("3B286E056511 3B0000") << hex("01");
    }
    void severalFramesInOneWrite()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, replies);
        auto rig = start();
        QVERIFY(rig->client.write(bytes));
        QCOMPARE(rig->client.read(replies.size()), replies);
        QCOMPARE(rig->client.collect(50), QByteArray());
    }

    void restOfASplitFrameCompletesIt()
    {
        auto rig = start();
        QVERIFY(rig->client.write(hex("3B286E056511 3B0000")));
        QCOMPARE(rig->client.read(1), hex("01"));
        QVERIFY(rig->client.write(hex("0032F6")));
        QCOMPARE(rig->client.read(1), hex("01"));
        QCOMPARE(rig->sim.counters().bytesStored, 2);
    }

    // Line noise before a frame: skipped unanswered when the frame is complete behind it, otherwise
    // costs one NAK, after which the repeated frame is found behind the leftover.
    void resynchronises_data()
    {
        QTest::addColumn<QList<QByteArray>>("chunks");
        QTest::addColumn<QByteArray>("replies");
        QTest::addColumn<int>("stored");
        QTest::newRow("noise then frame, one write") << QList<QByteArray>{hex("FF00 3B286E056511")} << hex("01") << 1;
        QTest::newRow("noise holding a frame start") << QList<QByteArray>{hex("3B3B 3B286E056511")} << hex("01") << 1;
        QTest::newRow("stray byte, frame split, repeat")
            << QList<QByteArray>{hex("AA 3B286E0565"), hex("11"), hex("3B286E056511")} << hex("15 01") << 1;
        QTest::newRow("six bytes of noise") << QList<QByteArray>{hex("000000000000")} << hex("15") << 0;
        QTest::newRow("seven bytes of noise, then frame")
            << QList<QByteArray>{hex("00000000000000 3B286E056511")} << hex("15 01") << 1;
        QTest::newRow("noise, then good frames keep going")
            << QList<QByteArray>{hex("55 3B286E056511"), hex("3B00000032F6")} << hex("01 01") << 2;
    }
    void resynchronises()
    {
        QFETCH(QList<QByteArray>, chunks);
        QFETCH(QByteArray, replies);
        QFETCH(int, stored);
        auto rig = start();
        QByteArray got;
        for (const QByteArray &c : chunks) {
            QVERIFY(rig->client.write(c));
            got += rig->client.collect(60);
        }
        QCOMPARE(got.toHex(' '), replies.toHex(' '));
        QCOMPARE(rig->sim.counters().bytesStored, stored);
    }

    // The configurator repeats a frame on NAK; the fault NAKs every n-th write frame once.
    void nakEvery()
    {
        SimSettings s;
        s.nakEvery = 3;
        auto rig = start(s);
        QByteArray replies;
        for (int a = 0; a < 7; ++a) {
            for (int tries = 0; tries < 3; ++tries) {
                const int r = rig->client.transact(writeFrame(a, 0x40 + a));
                replies.append(char(r));
                if (r != 0x15)
                    break;
            }
        }
        QCOMPARE(replies.toHex(' '), hex("01 01 15 01 01 01 15 01 01").toHex(' '));
        for (int a = 0; a < 7; ++a)
            QCOMPARE(int(rig->sim.memory().at(a)), 0x40 + a);
        QCOMPARE(rig->sim.counters().naksSent, 2);
    }

    void nakEveryOneStillProgresses()
    {
        SimSettings s;
        s.nakEvery = 1;
        auto rig = start(s);
        for (int a = 0; a < 3; ++a) {
            QCOMPARE(rig->client.transact(writeFrame(a, 0x11)), 0x15);
            QCOMPARE(int(rig->sim.memory().at(a)), 0);
            QCOMPARE(rig->client.transact(writeFrame(a, 0x11)), 0x01);
            QCOMPARE(int(rig->sim.memory().at(a)), 0x11);
        }
    }

    void replyByte_data()
    {
        QTest::addColumn<int>("at");
        QTest::addColumn<int>("byte");
        QTest::addColumn<bool>("stored");
        QTest::newRow("store failed on frame 2") << 2 << 0x25 << false;
        QTest::newRow("type rejected on frame 2") << 2 << 0x02 << false;
        QTest::newRow("NAK on frame 2") << 2 << 0x15 << false;
        QTest::newRow("plain ACK on frame 2") << 2 << 0x01 << true;
        QTest::newRow("odd byte on frame 2") << 2 << 0x7F << false;
    }
    void replyByte()
    {
        QFETCH(int, at);
        QFETCH(int, byte);
        QFETCH(bool, stored);
        SimSettings s;
        s.replyBytes.insert(at, quint8(byte));
        auto rig = start(s);
        QCOMPARE(rig->client.transact(writeFrame(10, 0x21)), 0x01);
        QCOMPARE(rig->client.transact(writeFrame(11, 0x22)), byte);
        QCOMPARE(rig->client.transact(writeFrame(12, 0x23)), 0x01);
        QCOMPARE(int(rig->sim.memory().at(11)), stored ? 0x22 : 0);
        QCOMPARE(int(rig->sim.memory().at(12)), 0x23);
    }

    void replyByteCountsIdentAndBadFrames()
    {
        SimSettings s;
        s.replyBytes.insert(3, 0x25);
        s.replyBytes.insert(4, 0x02);
        auto rig = start(s);
        QCOMPARE(rig->client.transact(hex("230101 01B8B2")), 0x01);
        QCOMPARE(rig->client.transact(hex("3B286E056512")), 0x15);
        QCOMPARE(rig->client.transact(hex("230101 01B8B2")), 0x25);
        QCOMPARE(rig->client.transact(hex("3B286E056511")), 0x02);
        QCOMPARE(rig->client.transact(hex("3B286E056511")), 0x01);
    }

    void silentAfter()
    {
        SimSettings s;
        s.silentAfter = 2;
        auto rig = start(s);
        QCOMPARE(rig->client.transact(hex("230101 01B8B2")), 0x01);
        QCOMPARE(rig->client.transact(writeFrame(5, 0x33)), 0x01);
        QCOMPARE(rig->client.transact(writeFrame(6, 0x34), 300), -1);
        QCOMPARE(rig->client.transact(hex("230101 01B8B2"), 100), -1);
        QCOMPARE(int(rig->sim.memory().at(6)), 0);
        QCOMPARE(rig->sim.counters().framesReceived, 4);
        QCOMPARE(rig->sim.counters().framesUnanswered, 2);
    }

    void latencyDelaysTheAnswer()
    {
        SimSettings s;
        s.latencyMs = 150;
        auto rig = start(s);
        QElapsedTimer t;
        t.start();
        QVERIFY(rig->client.write(hex("230101 01B8B2")));
        QCOMPARE(rig->client.collect(60), QByteArray());
        QCOMPARE(rig->client.read(1), hex("01"));
        QVERIFY2(t.elapsed() >= 140, qPrintable(QString::number(t.elapsed())));
    }

    // Exchanges of 7 bytes (a frame and its answer) at times nowUs: the delay of each answer.
    void pacerKeepsTheLineTime_data()
    {
        QTest::addColumn<int>("baud");
        QTest::addColumn<QList<int>>("nowUs");
        QTest::addColumn<QList<int>>("delayMs");
        QTest::newRow("off") << 0 << QList<int>{0, 0} << QList<int>{0, 0};
        // 607 us each: sub-millisecond exchanges add up instead of each waiting a whole millisecond.
        QTest::newRow("115200, one after the other")
            << 115200 << QList<int>{0, 50, 1100, 1150} << QList<int>{0, 1, 0, 1};
        QTest::newRow("1200, three at once") << 1200 << QList<int>{0, 0, 0} << QList<int>{58, 116, 174};
        QTest::newRow("1200, idle line starts afresh") << 1200 << QList<int>{0, 1000000} << QList<int>{58, 58};
    }
    void pacerKeepsTheLineTime()
    {
        QFETCH(int, baud);
        QFETCH(QList<int>, nowUs);
        QFETCH(QList<int>, delayMs);
        LinePacer pacer;
        pacer.setBaud(baud);
        QList<int> got;
        for (int now : std::as_const(nowUs))
            got << pacer.delayMs(now, 7);
        QCOMPARE(got, delayMs);
    }

    void baudPaceSlowsTheAnswers()
    {
        SimSettings s;
        s.serialBaudPace = 1200; // 58 ms an exchange
        auto rig = start(s);
        QElapsedTimer t;
        t.start();
        for (int i = 0; i < 4; ++i)
            QCOMPARE(rig->client.transact(hex("230101 01B8B2")), 0x01);
        QVERIFY2(t.elapsed() >= 4 * 58, qPrintable(QString::number(t.elapsed())));
    }

    void latencyKeepsTheOrder()
    {
        SimSettings s;
        s.latencyMs = 40;
        auto rig = start(s);
        QVERIFY(rig->client.write(hex("3B286E056511 3B286E056512 230101 01B8B2")));
        QCOMPARE(rig->client.read(3).toHex(' '), hex("01 15 01").toHex(' '));
    }

    // The configurator opens the link like any port, closes and reopens it; pulling the cable shows
    // as an error on its port and removes the link.
    void serialPortReopenAndCablePulled()
    {
        auto rig = start();
        rig->client.close();
        QSerialPort port;
        port.setPortName(link());
        for (int round = 0; round < 2; ++round) {
            QVERIFY2(port.open(QIODevice::ReadWrite), qPrintable(port.errorString()));
            port.setBaudRate(115200);
            QCOMPARE(port.write(hex("230101 01B8B2")), qint64(6));
            QVERIFY(pumpUntil([&] { return port.bytesAvailable() >= 1; }, 3000));
            QCOMPARE(port.readAll(), hex("01"));
            port.close();
            pumpFor(30);
        }
        QVERIFY(port.open(QIODevice::ReadWrite));
        QSignalSpy errors(&port, &QSerialPort::errorOccurred);
        rig->sim.closeSerial();
        QVERIFY(pumpUntil(
            [&] {
                for (const auto &e : errors)
                    if (e.at(0).value<QSerialPort::SerialPortError>() == QSerialPort::ReadError
                        || e.at(0).value<QSerialPort::SerialPortError>() == QSerialPort::ResourceError)
                        return true;
                return false;
            },
            3000));
        port.close();
        QVERIFY(!QFileInfo(link()).exists() && !QFileInfo(link()).isSymLink());
        QVERIFY(!rig->sim.serialOpen());
    }

    void frameSignalCarriesTheReply()
    {
        auto rig = start();
        QSignalSpy frames(&rig->sim, &TransceiverSim::frameReceived);
        QCOMPARE(rig->client.transact(hex("3B286E056512")), 0x15);
        QCOMPARE(frames.count(), 1);
        QCOMPARE(frames.at(0).at(0).toByteArray(), hex("3B286E056512"));
        QCOMPARE(frames.at(0).at(1).toInt(), 0x15);
    }

    void logNamesEachFrame()
    {
        auto rig = start();
        QStringList lines;
        connect(&rig->sim, &TransceiverSim::logLine, this, [&](const QString &l) { lines << l; });
        QCOMPARE(rig->client.transact(hex("3B286E056511")), 0x01);
        QCOMPARE(rig->client.transact(hex("3B286E056512")), 0x15);
        const QString all = lines.join(QLatin1Char('\n'));
        QVERIFY2(all.contains(QStringLiteral("serial <- 3B 28 6E 05 65 11  write 0x6E28=05")), qPrintable(all));
        QVERIFY2(all.contains(QStringLiteral("serial -> 01  ACK")), qPrintable(all));
        QVERIFY2(all.contains(QStringLiteral("NAK (bad CRC)")), qPrintable(all));
    }

    void keepAliveIsCountedNotListed()
    {
        auto rig = start();
        QStringList lines;
        connect(&rig->sim, &TransceiverSim::logLine, this, [&](const QString &l) { lines << l; });
        for (int i = 0; i < 5; ++i)
            QCOMPARE(rig->client.transact(hex("230101 01B8B2")), 0x01);
        QCOMPARE(rig->client.transact(hex("3B286E056511")), 0x01);
        const QString all = lines.join(QLatin1Char('\n'));
        QCOMPARE(all.count(QStringLiteral("  ident")), 1);
        QVERIFY2(all.contains(QStringLiteral("4 more ident/ACK exchanges")), qPrintable(all));
        QVERIFY2(all.indexOf(QStringLiteral("4 more")) < all.indexOf(QStringLiteral("write 0x6E28=05")), qPrintable(all));
    }
};

QTEST_GUILESS_MAIN(TestSimSerial)
#include "test_sim_serial.moc"
