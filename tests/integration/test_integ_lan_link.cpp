// The LAN connect and the status datagram on real loopback UDP against the simulated transceiver,
// with a shortened poll and connect pass.
#include "integration/integration_rig.h"

#include <QtTest>

using namespace integ;

namespace {

Timing quickConnect()
{
    Timing t;
    t.pollMs = 50;
    t.connectPassMs = 60;
    return t;
}

} // namespace

class TestIntegLanLink : public QObject {
    Q_OBJECT

private slots:
    // Answers count only from the address exactly as typed: the simulator answers from 127.0.0.2, so
    // "127.000.000.002" reaches it but never hears it.
    void answersCountFromTheAddressAsTyped_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("connected");

        QTest::newRow("127.0.0.2") << "127.0.0.2" << true;
        QTest::newRow("127.000.000.002") << "127.000.000.002" << false;
        QTest::newRow("127.0.0.02") << "127.0.0.02" << false;
    }
    void answersCountFromTheAddressAsTyped()
    {
        QFETCH(QString, typed);
        QFETCH(bool, connected);

        SimSettings s;
        s.statusEnabled = false;
        LanRig rig(Variant::mxr600r(), quickConnect(), s);
        QString error;
        QVERIFY2(rig.start(&error), qPrintable(error));
        QElapsedTimer t;
        t.start();
        const std::optional<bool> result = rig.connect(typed, 3000);
        QVERIFY(result.has_value());
        QCOMPARE(*result, connected);
        QCOMPARE(rig.link.lan.addressText(), typed);
        // The polls reached the transceiver and were answered either way.
        QVERIFY(rig.seenCount("AT+CONFIG") >= 1);
        QVERIFY(rig.sim.counters().datagramsSent >= 1);
        if (connected) {
            QVERIFY(rig.link.lan.isConnected());
            QVERIFY(rig.link.lan.isPolling());
            // The poll goes on while connected.
            const int polls = rig.seenCount("AT+CONFIG");
            QVERIFY(pumpUntil([&] { return rig.seenCount("AT+CONFIG") >= polls + 3; }, 2000));
            QCOMPARE(rig.connectResults.size(), 1);
        } else {
            // 11 passes of 60 ms.
            QVERIFY2(t.elapsed() >= 11 * 60 - 20, qPrintable(QString::number(t.elapsed())));
            QVERIFY(!rig.link.lan.isConnected());
            QVERIFY(!rig.link.lan.isPolling());
            const int polls = rig.seenCount("AT+CONFIG");
            pumpFor(200);
            QCOMPARE(rig.seenCount("AT+CONFIG"), polls);
        }
    }

    void statusDatagramIsShown_data()
    {
        QTest::addColumn<int>("factoryNumber");
        QTest::addColumn<int>("modeByte");
        QTest::addColumn<int>("signal");
        QTest::addColumn<int>("channelCode");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QList<int>>("light");

        QTest::newRow("mode 0xFF, code 1") << 12345 << 0xFF << 85 << 1
                                           << QStringLiteral("     № 12345 IP: 192.168.1.221  -85dbm  10.0.0.7  S,Lan")
                                           << QList<int>{0, 128, 0};
        QTest::newRow("mode 0xF0, code 3") << 7 << 0xF0 << 85 << 3
                                           << QStringLiteral("     № 7 IP: 192.168.1.221  -85dbm  10.0.0.7  ")
                                           << QList<int>{255, 255, 255};
        QTest::newRow("mode 0xF7 (M,Lan), code 4") << 65535 << 0xF7 << 101 << 4
                                                   << QStringLiteral("     № 65535 IP: 192.168.1.221  -101dbm  10.0.0.7  M,Lan")
                                                   << QList<int>{255, 0, 255};
        QTest::newRow("mode 0xFB (S,GSM), code 5") << 1 << 0xFB << 0 << 5
                                                   << QStringLiteral("     № 1 IP: 192.168.1.221  -0dbm  10.0.0.7  S,GSM")
                                                   << QList<int>{0, 0, 255};
        QTest::newRow("code 2: red") << 300 << 0xFD << 60 << 2
                                     << QStringLiteral("     № 300 IP: 192.168.1.221  -60dbm  10.0.0.7  S,GPRS")
                                     << QList<int>{255, 0, 0};
        QTest::newRow("code 0: red") << 300 << 0xFE << 60 << 0
                                     << QStringLiteral("     № 300 IP: 192.168.1.221  -60dbm  10.0.0.7  S,GSM_T")
                                     << QList<int>{255, 0, 0};
    }
    void statusDatagramIsShown()
    {
        QFETCH(int, factoryNumber);
        QFETCH(int, modeByte);
        QFETCH(int, signal);
        QFETCH(int, channelCode);
        QFETCH(QString, caption);
        QFETCH(QList<int>, light);

        SimSettings s;
        s.statusIntervalMs = 40;
        s.statusFactoryNumber = std::uint16_t(factoryNumber);
        s.statusModeByte = static_cast<unsigned char>(modeByte);
        s.statusSignal = static_cast<unsigned char>(signal);
        s.statusIp2 = {10, 0, 0, 7};
        s.statusChannelCode = static_cast<unsigned char>(channelCode);
        LanRig rig(Variant::mxr600r(), quickConnect(), s);
        QString error;
        QVERIFY2(rig.start(&error), qPrintable(error));
        QCOMPARE(rig.connect(), std::optional<bool>(true));
        QVERIFY(pumpUntil([&] { return !rig.statuses.isEmpty(); }, 2000));

        const LanStatus st = rig.statuses.last();
        QCOMPARE(int(st.factoryNumber), factoryNumber);
        QCOMPARE(statusCaptionSuffix(st), caption);
        const LightColour c = statusLightColour(st.channelCode);
        QCOMPARE((QList<int>{c.red, c.green, c.blue}), light);
        // A status datagram changes nothing of the link.
        QVERIFY(rig.link.lan.isConnected());
    }

    // The 300-slot program has no status light: the same datagram is not shown and breaks nothing.
    void duzivIgnoresStatusDatagrams()
    {
        LanRig rig(Variant::mxrDuziv(), quickConnect());
        QString error;
        QVERIFY2(rig.start(&error), qPrintable(error));
        QCOMPARE(rig.connect(), std::optional<bool>(true));
        // The simulator of a 300-slot transceiver sends none; play one from its address.
        QUdpSocket fake;
        QVERIFY(fake.bind(QHostAddress(QStringLiteral("127.0.0.2")), 0));
        const QByteArray status = QByteArray::fromHex("003930FF55C0A801DD0000000001");
        QCOMPARE(status.size(), 14);
        QCOMPARE(fake.writeDatagram(status, QHostAddress::LocalHost, rig.link.lan.localPort()), qint64(14));
        pumpFor(200);
        QVERIFY(rig.statuses.isEmpty());
        QVERIFY(rig.link.lan.isConnected());
    }
};

QTEST_GUILESS_MAIN(TestIntegLanLink)
#include "test_integ_lan_link.moc"
