// The simulator's LAN end, driven by a UDP client on loopback with the configurator's datagrams.
#include "simulator/sim_test_util.h"

#include "sim/transceiver_sim.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using namespace talvir;
using namespace simtest;

class TestSimLan : public QObject {
    Q_OBJECT

    QTemporaryDir dir;

    struct Rig {
        TransceiverSim sim;
        UdpClient client;
        explicit Rig(const SimSettings &s) : sim(s) {}
    };
    std::unique_ptr<Rig> start(SimSettings s = SimSettings(), bool status = false)
    {
        s.statusEnabled = status;
        auto rig = std::make_unique<Rig>(s);
        QString error;
        if (!rig->sim.startUdp(QHostAddress(QHostAddress::LocalHost), 0, &error))
            qWarning() << error;
        rig->client.bind();
        rig->client.setPeer(QHostAddress(QHostAddress::LocalHost), rig->sim.udpPort());
        return rig;
    }

    // The configurator's write sequence; returns the answer to the final "AT+CONFIG".
    QByteArray writeAll(Rig &rig, const QByteArray &image, int blocks, int skipBlock = -1)
    {
        if (rig.client.exchange("AT+DATF") != "READY")
            return "no READY";
        for (int b = 1; b <= blocks; ++b) {
            if (b == skipBlock)
                continue;
            const QByteArray answer = rig.client.exchange(writeBlock(b, image.mid((b - 1) * 235, 235)));
            if (answer != "OK")
                return "block " + QByteArray::number(b) + " answered " + answer;
        }
        if (rig.client.exchange(writeBlock(1, image.mid(blocks * 235, 422))) != "OK")
            return "settings block not answered OK";
        rig.client.send("AT+FPDE");
        return rig.client.exchange("AT+CONFIG");
    }

private slots:
    void pollIsAnsweredOk()
    {
        auto rig = start();
        QCOMPARE(rig->client.exchange("AT+CONFIG"), QByteArray("OK"));
        QCOMPARE(rig->client.exchange("AT+CONFIG"), QByteArray("OK"));
    }

    void fpdeIsNotAnswered()
    {
        auto rig = start();
        QCOMPARE(rig->client.exchange("AT+DATF"), QByteArray("READY"));
        rig->client.send("AT+FPDE");
        QCOMPARE(rig->client.receive(150), QByteArray());
    }

    void write_data()
    {
        QTest::addColumn<int>("variant");
        QTest::addColumn<int>("blocks");
        QTest::newRow("600 slots") << int(VariantId::Mxr600r) << 120;
        QTest::newRow("300 slots") << int(VariantId::MxrDuziv) << 60;
    }
    void write()
    {
        QFETCH(int, variant);
        QFETCH(int, blocks);
        SimSettings s;
        s.variant = VariantId(variant);
        s.saveImagePath = dir.filePath(QStringLiteral("lan-%1.bin").arg(variant));
        auto rig = start(s);
        QSignalSpy confirmed(&rig->sim, &TransceiverSim::lanWriteConfirmed);
        const QByteArray image = patternImage(blocks * 235 + 422, 11);
        QCOMPARE(writeAll(*rig, image, blocks), QByteArray("GOOD"));
        QCOMPARE(confirmed.count(), 1);
        QCOMPARE(rig->sim.memory().bytes(), image);
        QCOMPARE(readFile(s.saveImagePath), image);
        // Idle again: the poll gets "OK".
        QCOMPARE(rig->client.exchange("AT+CONFIG"), QByteArray("OK"));
    }

    void memoryChangesOnlyOnConfirmation()
    {
        auto rig = start();
        const QByteArray image = patternImage(28622, 3);
        QCOMPARE(rig->client.exchange("AT+DATF"), QByteArray("READY"));
        for (int b = 1; b <= 120; ++b)
            QCOMPARE(rig->client.exchange(writeBlock(b, image.mid((b - 1) * 235, 235))), QByteArray("OK"));
        QCOMPARE(rig->client.exchange(writeBlock(1, image.mid(28200, 422))), QByteArray("OK"));
        rig->client.send("AT+FPDE");
        QCOMPARE(rig->sim.memory().bytes(), QByteArray(28622, '\0'));
        QCOMPARE(rig->client.exchange("AT+CONFIG"), QByteArray("GOOD"));
        QCOMPARE(rig->sim.memory().bytes(), image);
    }

    void pollDuringAWriteKeepsIt()
    {
        auto rig = start();
        const QByteArray image = patternImage(28622, 29);
        QCOMPARE(rig->client.exchange("AT+DATF"), QByteArray("READY"));
        for (int b = 1; b <= 120; ++b) {
            if (b == 60)
                QCOMPARE(rig->client.exchange("AT+CONFIG"), QByteArray("OK"));
            QCOMPARE(rig->client.exchange(writeBlock(b, image.mid((b - 1) * 235, 235))), QByteArray("OK"));
        }
        QCOMPARE(rig->client.exchange(writeBlock(1, image.mid(28200, 422))), QByteArray("OK"));
        QCOMPARE(rig->client.exchange("AT+CONFIG"), QByteArray("GOOD"));
        QCOMPARE(rig->sim.memory().bytes(), image);
    }

    void resultBad_data()
    {
        QTest::addColumn<bool>("resultGood");
        QTest::addColumn<int>("skipBlock");
        QTest::newRow("config-result bad") << false << -1;
        QTest::newRow("object block 77 never came") << true << 77;
    }
    void resultBad()
    {
        QFETCH(bool, resultGood);
        QFETCH(int, skipBlock);
        SimSettings s;
        s.configResultGood = resultGood;
        s.saveImagePath = dir.filePath(QStringLiteral("bad.bin"));
        auto rig = start(s);
        QSignalSpy rejected(&rig->sim, &TransceiverSim::lanWriteRejected);
        QCOMPARE(writeAll(*rig, patternImage(28622), 120, skipBlock), QByteArray("BAD"));
        QCOMPARE(rejected.count(), 1);
        QCOMPARE(rig->sim.memory().bytes(), QByteArray(28622, '\0'));
        QVERIFY(!QFile::exists(s.saveImagePath));
        QCOMPARE(rig->client.exchange("AT+CONFIG"), QByteArray("OK"));
    }

    void repeatedBlockIsAnsweredAgain()
    {
        auto rig = start();
        const QByteArray image = patternImage(28622, 5);
        QCOMPARE(rig->client.exchange("AT+DATF"), QByteArray("READY"));
        QCOMPARE(rig->client.exchange(writeBlock(1, QByteArray(235, 'x'))), QByteArray("OK"));
        for (int b = 1; b <= 120; ++b)
            QCOMPARE(rig->client.exchange(writeBlock(b, image.mid((b - 1) * 235, 235))), QByteArray("OK"));
        QCOMPARE(rig->client.exchange(writeBlock(1, image.mid(28200, 422))), QByteArray("OK"));
        QCOMPARE(rig->client.exchange(writeBlock(1, image.mid(28200, 422))), QByteArray("OK"));
        QCOMPARE(rig->client.exchange("AT+CONFIG"), QByteArray("GOOD"));
        QCOMPARE(rig->sim.memory().bytes(), image);
    }

    void malformedBlocksAreNotAnswered_data()
    {
        QTest::addColumn<QByteArray>("block");
        const QByteArray data(235, 'd');
        QByteArray wrongLength = writeBlock(1, data);
        wrongLength[9] = char(0xEA);
        QByteArray nonZero = writeBlock(1, data);
        nonZero[10] = 1;
        QTest::newRow("length field 234") << wrongLength;
        QTest::newRow("byte 10 not zero") << nonZero;
        QTest::newRow("block number 0") << writeBlock(0, data);
        QTest::newRow("block number 121") << writeBlock(121, data);
        QTest::newRow("one byte short") << writeBlock(1, data).left(246);
        QTest::newRow("settings block number 2") << writeBlock(2, QByteArray(422, 's'));
        QTest::newRow("header only") << QByteArray("AT+FPD0=");
    }
    void malformedBlocksAreNotAnswered()
    {
        QFETCH(QByteArray, block);
        auto rig = start();
        QCOMPARE(rig->client.exchange("AT+DATF"), QByteArray("READY"));
        QCOMPARE(rig->client.exchange(block, 150), QByteArray());
    }

    void blockOutsideAWriteIsNotAnswered()
    {
        auto rig = start();
        QCOMPARE(rig->client.exchange(writeBlock(1, QByteArray(235, 'd')), 150), QByteArray());
        QCOMPARE(rig->sim.memory().bytes(), QByteArray(28622, '\0'));
    }

    void read_data()
    {
        QTest::addColumn<int>("variant");
        QTest::addColumn<bool>("duplicate");
        QTest::addColumn<bool>("shortSettings");
        QTest::newRow("600 slots") << int(VariantId::Mxr600r) << false << false;
        QTest::newRow("300 slots") << int(VariantId::MxrDuziv) << false << false;
        QTest::newRow("duplicate blocks") << int(VariantId::Mxr600r) << true << false;
        QTest::newRow("short settings") << int(VariantId::Mxr600r) << false << true;
        QTest::newRow("300 slots, both faults") << int(VariantId::MxrDuziv) << true << true;
    }
    void read()
    {
        QFETCH(int, variant);
        QFETCH(bool, duplicate);
        QFETCH(bool, shortSettings);
        SimSettings s;
        s.variant = VariantId(variant);
        s.duplicateBlocks = duplicate;
        s.shortSettings = shortSettings;
        auto rig = start(s);
        const int blocks = s.variantInfo().maxPanels / 5;
        const QByteArray image = patternImage(blocks * 235 + 422, 17);
        QVERIFY(rig->sim.memory().replace(image));
        QSignalSpy finished(&rig->sim, &TransceiverSim::readFinished);

        QByteArray got = rig->client.exchange("AT+READF");
        QByteArray assembled;
        QList<int> indices;
        while (got.size() == 247) {
            QCOMPARE(got.left(11), QByteArray("AT+RDY0=") + QByteArray::fromHex("00EB00"));
            const int index = static_cast<unsigned char>(got.at(11));
            if (indices.isEmpty() || indices.last() != index)
                assembled += got.mid(12);
            indices << index;
            got = rig->client.exchange("AT+RDY0");
        }
        QList<int> expected;
        for (int i = 0; i < blocks; ++i) {
            expected << i;
            if (duplicate)
                expected << i;
        }
        QCOMPARE(indices, expected);

        const int settingsSize = shortSettings ? 102 : 422;
        QCOMPARE(got.size(), 12 + settingsSize);
        QCOMPARE(got.left(8), QByteArray("AT+RDY0="));
        QCOMPARE(int(static_cast<unsigned char>(got.at(8))), settingsSize >> 8);
        QCOMPARE(int(static_cast<unsigned char>(got.at(9))), settingsSize & 0xFF);
        QCOMPARE(int(got.at(10)), 0);
        QCOMPARE(int(static_cast<unsigned char>(got.at(11))), blocks); // "x" or "<"
        QCOMPARE(got.at(11), variant == int(VariantId::Mxr600r) ? 'x' : '<');
        assembled += got.mid(12);

        const QByteArray end = rig->client.exchange("AT+RDY0");
        QCOMPARE(end.size(), 7);
        QCOMPARE(end.at(2), '+');
        QCOMPARE(end.at(6), 'E');
        QCOMPARE(finished.count(), 1);
        // The configurator's "AT+RDY0" after the end marker falls on an idle link.
        QCOMPARE(rig->client.exchange("AT+RDY0", 150), QByteArray());

        QCOMPARE(assembled, image.left(blocks * 235 + settingsSize));
    }

    void readBlockLayout()
    {
        auto rig = start();
        QByteArray image(28622, '\0');
        image[0] = 0x41;          // slot 1, byte 1
        image[234] = 0x42;        // slot 5, byte 47
        image[28200] = 0x05;      // first settings byte
        image[28621] = 0x7E;      // last settings byte
        QVERIFY(rig->sim.memory().replace(image));
        const QByteArray first = rig->client.exchange("AT+READF");
        QCOMPARE(first.left(12).toHex(' '), QByteArray("41 54 2b 52 44 59 30 3d 00 eb 00 00"));
        QCOMPARE(first.at(12), '\x41');
        QCOMPARE(first.at(246), '\x42');
        QByteArray got;
        for (int i = 0; i < 120; ++i)
            got = rig->client.exchange("AT+RDY0");
        QCOMPARE(got.size(), 434);
        QCOMPARE(got.left(12).toHex(' '), QByteArray("41 54 2b 52 44 59 30 3d 01 a6 00 78"));
        QCOMPARE(got.at(12), '\x05');
        QCOMPARE(got.at(433), '\x7E');
    }

    void readStartsOverOnReadf()
    {
        auto rig = start();
        QCOMPARE(int(static_cast<unsigned char>(rig->client.exchange("AT+READF").at(11))), 0);
        QCOMPARE(int(static_cast<unsigned char>(rig->client.exchange("AT+RDY0").at(11))), 1);
        QCOMPARE(int(static_cast<unsigned char>(rig->client.exchange("AT+READF").at(11))), 0);
    }

    void endAfterObject()
    {
        SimSettings s;
        s.endAfterObject = 0;
        auto rig = start(s);
        const QByteArray block = rig->client.exchange("AT+READF");
        QCOMPARE(block.size(), 247);
        QCOMPARE(int(block.at(11)), 0);
        const QByteArray end = rig->client.exchange("AT+RDY0");
        QCOMPARE(end.size(), 7);
        QCOMPARE(end.at(2), '+');
        QCOMPARE(end.at(6), 'E');
        QCOMPARE(rig->client.exchange("AT+RDY0", 150), QByteArray());
    }

    void dropEvery()
    {
        SimSettings s;
        s.dropEvery = 2;
        auto rig = start(s);
        QCOMPARE(rig->client.exchange("AT+CONFIG"), QByteArray("OK"));
        QCOMPARE(rig->client.exchange("AT+CONFIG", 150), QByteArray());
        QCOMPARE(rig->client.exchange("AT+CONFIG"), QByteArray("OK"));
        QCOMPARE(rig->client.exchange("AT+DATF", 150), QByteArray());
        QCOMPARE(rig->client.exchange("AT+DATF"), QByteArray("READY"));
        QCOMPARE(rig->sim.counters().datagramsReceived, 5);
        QCOMPARE(rig->sim.counters().datagramsDropped, 2);
    }

    // A write survives dropped datagrams when the sender repeats what was not answered.
    void writeSurvivesDropsWithRetransmission()
    {
        SimSettings s;
        s.dropEvery = 7;
        auto rig = start(s);
        const QByteArray image = patternImage(28622, 23);
        // Repeat a datagram the simulator dropped (seen on its counter, so no timing guess is needed).
        auto send = [&](const QByteArray &d) {
            for (int tries = 0; tries < 3; ++tries) {
                const int dropped = rig->sim.counters().datagramsDropped;
                rig->client.send(d);
                QByteArray a;
                pumpUntil(
                    [&] {
                        a = rig->client.receive(0);
                        return !a.isEmpty() || rig->sim.counters().datagramsDropped > dropped;
                    },
                    3000);
                if (!a.isEmpty())
                    return a;
            }
            return QByteArray();
        };
        QCOMPARE(send("AT+DATF"), QByteArray("READY"));
        for (int b = 1; b <= 120; ++b)
            QCOMPARE(send(writeBlock(b, image.mid((b - 1) * 235, 235))), QByteArray("OK"));
        QCOMPARE(send(writeBlock(1, image.mid(28200, 422))), QByteArray("OK"));
        rig->client.send("AT+FPDE");
        QCOMPARE(send("AT+CONFIG"), QByteArray("GOOD"));
        QCOMPARE(rig->sim.memory().bytes(), image);
    }

    void noReady()
    {
        SimSettings s;
        s.noReady = true;
        auto rig = start(s);
        QCOMPARE(rig->client.exchange("AT+DATF", 200), QByteArray());
        QCOMPARE(rig->client.exchange("AT+DATF", 200), QByteArray());
        QCOMPARE(rig->client.exchange("AT+CONFIG"), QByteArray("OK"));
    }

    void latencyDelaysEveryAnswer()
    {
        SimSettings s;
        s.latencyMs = 150;
        auto rig = start(s);
        QElapsedTimer t;
        t.start();
        rig->client.send("AT+CONFIG");
        QCOMPARE(rig->client.receive(60), QByteArray());
        QCOMPARE(rig->client.receive(), QByteArray("OK"));
        QVERIFY2(t.elapsed() >= 140, qPrintable(QString::number(t.elapsed())));
    }

    void blockGapDelaysReadBlocksOnly()
    {
        SimSettings s;
        s.blockGapMs = 150;
        auto rig = start(s);
        QElapsedTimer t;
        t.start();
        rig->client.send("AT+READF");
        QCOMPARE(rig->client.receive(60), QByteArray());
        QCOMPARE(rig->client.receive().size(), 247);
        QVERIFY2(t.elapsed() >= 140, qPrintable(QString::number(t.elapsed())));
        QCOMPARE(rig->client.exchange("AT+CONFIG", 100), QByteArray("OK"));
    }

    void blockAnswerDelaysWriteBlocksOnly()
    {
        SimSettings s;
        s.blockAnswerMs = 150;
        auto rig = start(s);
        QCOMPARE(rig->client.exchange("AT+DATF", 100), QByteArray("READY"));
        QElapsedTimer t;
        t.start();
        rig->client.send(writeBlock(1, QByteArray(235, '\x5A')));
        QCOMPARE(rig->client.receive(60), QByteArray());
        QCOMPARE(rig->client.receive(), QByteArray("OK"));
        QVERIFY2(t.elapsed() >= 140, qPrintable(QString::number(t.elapsed())));
    }

    void statusDatagram_data()
    {
        QTest::addColumn<int>("variant");
        QTest::addColumn<bool>("expected");
        QTest::newRow("600 slots sends it") << int(VariantId::Mxr600r) << true;
        QTest::newRow("300 slots has none") << int(VariantId::MxrDuziv) << false;
    }
    void statusDatagram()
    {
        QFETCH(int, variant);
        QFETCH(bool, expected);
        SimSettings s;
        s.variant = VariantId(variant);
        s.statusIntervalMs = 40;
        auto rig = start(s, true);
        QCOMPARE(rig->client.exchange("AT+CONFIG"), QByteArray("OK"));
        const QByteArray status = rig->client.receive(400, false);
        if (!expected) {
            QCOMPARE(status, QByteArray());
            return;
        }
        QCOMPARE(status.toHex(' '), QByteArray("00 39 30 ff 55 c0 a8 01 dd 00 00 00 00 01"));
    }

    void statusDatagramFields()
    {
        SimSettings s;
        s.statusIntervalMs = 40;
        s.statusFactoryNumber = 0xBEEF;
        s.statusModeByte = 0xF0;
        s.statusSignal = 0;
        s.statusIp1 = {10, 0, 0, 1};
        s.statusIp2 = {127, 0, 0, 2};
        s.statusChannelCode = 4;
        auto rig = start(s, true);
        rig->client.send("AT+CONFIG");
        QByteArray status;
        QVERIFY(pumpUntil(
            [&] {
                status = rig->client.receive(10, false);
                return status.size() == 14;
            },
            2000));
        QCOMPARE(status.toHex(' '), QByteArray("00 ef be f0 00 0a 00 00 01 7f 00 00 02 04"));
    }

    // Between "AT+READF" and the end marker no status datagram may overwrite the configurator's
    // receive buffer.
    void noStatusDuringARead()
    {
        SimSettings s;
        s.statusIntervalMs = 30;
        auto rig = start(s, true);
        rig->client.send("AT+READF");
        QList<QByteArray> seen = rig->client.collect(250);
        QCOMPARE(seen.size(), 1);
        QCOMPARE(seen.first().size(), 247);
        QByteArray got;
        for (int i = 0; i < 120; ++i)
            got = rig->client.exchange("AT+RDY0");
        QCOMPARE(got.size(), 434);
        seen = rig->client.collect(200);
        QCOMPARE(seen.size(), 0);
        rig->client.send("AT+RDY0");
        QVERIFY(pumpUntil(
            [&] {
                seen += rig->client.collect(10);
                return seen.size() >= 2;
            },
            2000));
        QCOMPARE(seen.at(0).size(), 7);
        QCOMPARE(seen.at(1).size(), 14);
    }

    void logNamesEachDatagram()
    {
        auto rig = start();
        QStringList lines;
        connect(&rig->sim, &TransceiverSim::logLine, this, [&](const QString &l) { lines << l; });
        QCOMPARE(rig->client.exchange("AT+DATF"), QByteArray("READY"));
        QCOMPARE(rig->client.exchange(writeBlock(3, QByteArray(235, 'z'))), QByteArray("OK"));
        const QString all = lines.join(QLatin1Char('\n'));
        QVERIFY2(all.contains(QStringLiteral("41 54 2B 44 41 54 46  AT+DATF")), qPrintable(all));
        QVERIFY2(all.contains(QStringLiteral("52 45 41 44 59  READY")), qPrintable(all));
        QVERIFY2(all.contains(QStringLiteral("(247 bytes)  object block 3")), qPrintable(all));
    }

    void bindingSharesTheAddress()
    {
        // A configurator bound to all addresses on the same port with sharing must not stop the
        // simulator from binding, and vice versa.
        QUdpSocket configurator;
        QVERIFY(configurator.bind(QHostAddress::AnyIPv4, 0, QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint));
        TransceiverSim sim;
        QString error;
        QVERIFY2(sim.startUdp(QHostAddress(QStringLiteral("127.0.0.1")), configurator.localPort(), &error),
                 qPrintable(error));
        QCOMPARE(sim.udpPort(), configurator.localPort());
    }
};

QTEST_GUILESS_MAIN(TestSimLan)
#include "test_sim_lan.moc"
