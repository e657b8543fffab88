// The LAN channel on a fake endpoint and a fake clock: binding, the connect with its passes and poll,
// the sender check, the receive buffer, the status datagram.
#include "link_fixture.h"

#include <QtTest>

using namespace talvir;

namespace {
QByteArray bytes(const char *hex) { return QByteArray::fromHex(hex); }
const QString kTransceiver = QStringLiteral("192.168.1.221");

QByteArray makeStatus(int serial, int mode, int signal, int channelCode)
{
    QByteArray d(14, '\0');
    d[1] = char(serial & 0xFF);
    d[2] = char(serial >> 8);
    d[3] = char(mode);
    d[4] = char(signal);
    const unsigned char ip1[4] = {10, 0, 0, 7};
    const unsigned char ip2[4] = {192, 168, 1, 221};
    for (int i = 0; i < 4; ++i) {
        d[5 + i] = char(ip1[i]);
        d[9 + i] = char(ip2[i]);
    }
    d[13] = char(channelCode);
    return d;
}
} // namespace

class TestLanChannel : public QObject {
    Q_OBJECT
private slots:
    void connectBindsPollsAndComesUp()
    {
        LinkFixture f;
        QSignalSpy done(f.lan, &LanChannel::connectFinished);
        QVERIFY(f.lan->connectTo(kTransceiver));
        QCOMPARE(f.udp->boundAddress, QHostAddress(QHostAddress::AnyIPv4));
        QCOMPARE(f.udp->boundPort, quint16(9999));
        QVERIFY(!f.lan->isConnected());
        QVERIFY(f.lan->isConnecting());
        QVERIFY(f.udp->sent.isEmpty());

        // The first poll one second after the poll timer is switched on.
        f.clock.advance(999);
        QVERIFY(f.udp->sent.isEmpty());
        f.clock.advance(1);
        QCOMPARE(f.udp->sent.size(), 1);
        QCOMPARE(f.udp->sent.at(0).bytes, QByteArray("AT+CONFIG"));
        QCOMPARE(f.udp->sent.at(0).host, QHostAddress(QStringLiteral("192.168.1.221")));
        QCOMPARE(f.udp->sent.at(0).port, quint16(9999));

        f.fromTransceiver("OK");
        QCOMPARE(done.count(), 1);
        QCOMPARE(done.at(0).at(0).toBool(), true);
        QVERIFY(f.lan->isConnected());
        QVERIFY(!f.lan->isConnecting());
        // The poll goes on while connected; its "OK" answers change nothing.
        f.clock.advance(3000);
        QCOMPARE(f.udp->sentBytes(), (QList<QByteArray>(4, "AT+CONFIG")));
        f.fromTransceiver("OK");
        QCOMPARE(done.count(), 1);
    }

    void connectGivesUpAfterElevenPasses()
    {
        LinkFixture f;
        QSignalSpy done(f.lan, &LanChannel::connectFinished);
        QVERIFY(f.lan->connectTo(kTransceiver));
        f.clock.advance(11 * 510 - 1);
        QCOMPARE(done.count(), 0);
        QVERIFY(f.lan->isPolling());
        f.clock.advance(1);
        QCOMPARE(done.count(), 1);
        QCOMPARE(done.at(0).at(0).toBool(), false);
        QVERIFY(!f.lan->isPolling());
        QCOMPARE(f.udp->sent.size(), 5); // polls at 1 s .. 5 s
        f.clock.advance(10000);
        QCOMPARE(done.count(), 1);
        QCOMPARE(f.udp->sent.size(), 5);
        QCOMPARE(f.timer("connectPass")->starts(), QList<int>{510});
    }

    void answersCountOnlyFromTheAddressAsTyped_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("sender");
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<bool>("connected");
        QTest::newRow("same text") << kTransceiver << kTransceiver << QByteArray("OK") << true;
        QTest::newRow("leading zeros typed") << QStringLiteral("192.168.001.221") << kTransceiver << QByteArray("OK")
                                             << false;
        QTest::newRow("other host") << kTransceiver << QStringLiteral("192.168.1.222") << QByteArray("OK") << false;
        QTest::newRow("empty datagram") << kTransceiver << kTransceiver << QByteArray() << false;
        QTest::newRow("ok with more") << kTransceiver << kTransceiver << QByteArray("OK\r") << false;
        QTest::newRow("lower case") << kTransceiver << kTransceiver << QByteArray("ok") << false;
    }
    void answersCountOnlyFromTheAddressAsTyped()
    {
        QFETCH(QString, typed);
        QFETCH(QString, sender);
        QFETCH(QByteArray, answer);
        QFETCH(bool, connected);
        LinkFixture f;
        QSignalSpy done(f.lan, &LanChannel::connectFinished);
        QVERIFY(f.lan->connectTo(typed));
        QCOMPARE(f.lan->addressText(), typed);
        f.clock.advance(1000);
        // Leading zeros are read as decimals: the datagrams go to 192.168.1.221.
        QCOMPARE(f.udp->sent.at(0).host, QHostAddress(kTransceiver));
        f.udp->deliver(answer, sender);
        QCOMPARE(f.lan->isConnected(), connected);
        f.clock.advance(5000);
        QCOMPARE(done.count(), 1);
        QCOMPARE(done.at(0).at(0).toBool(), connected);
    }

    // After a failed connect a late "OK" still brings the link up; once USB is chosen (disconnect)
    // nothing the transceiver sends does, and a connected link goes down with its poll.
    void lateAnswer_data()
    {
        QTest::addColumn<bool>("connectedFirst");
        QTest::addColumn<bool>("disconnected");
        QTest::newRow("after a failed connect") << false << false;
        QTest::newRow("after USB was chosen") << false << true;
        QTest::newRow("connected, then USB chosen") << true << true;
    }
    void lateAnswer()
    {
        QFETCH(bool, connectedFirst);
        QFETCH(bool, disconnected);
        LinkFixture f;
        QSignalSpy done(f.lan, &LanChannel::connectFinished);
        f.lan->connectTo(kTransceiver);
        if (connectedFirst)
            f.fromTransceiver("OK");
        f.clock.advance(6000);
        if (disconnected)
            f.lan->disconnect();
        QCOMPARE(f.lan->isPolling(), connectedFirst && !disconnected);
        const int reports = int(done.count());
        f.fromTransceiver("OK");
        f.clock.advance(3000);
        QCOMPARE(done.count(), reports + (disconnected ? 0 : 1));
        QCOMPARE(f.lan->isConnected(), !disconnected);
        if (disconnected)
            QVERIFY(!f.lanTransfer->startRead());
    }

    void addressNotAcceptedStartsNothing_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("error");
        QTest::newRow("three parts") << QStringLiteral("1.2.3") << QStringLiteral("Недопустимый IP-адрес трансивера.");
        QTest::newRow("zero") << QStringLiteral("0.0.0.0") << QStringLiteral("Недопустимый IP-адрес трансивера.");
        QTest::newRow("letters") << QStringLiteral("x.1.2.3") << QStringLiteral("'x' is not a valid integer value");
    }
    void addressNotAcceptedStartsNothing()
    {
        QFETCH(QString, typed);
        QFETCH(QString, error);
        LinkFixture f;
        QVERIFY(!f.lan->connectTo(typed));
        QCOMPARE(f.lan->lastError(), error);
        QCOMPARE(f.udp->binds, 0);
        QVERIFY(!f.lan->isPolling());
        QVERIFY(f.lan->addressText().isEmpty());
    }

    void bindFailureIsReported()
    {
        LinkFixture f;
        f.udp->bindError = QStringLiteral("The bound address is already in use");
        QVERIFY(!f.lan->bind());
        QVERIFY(!f.lan->connectTo(kTransceiver));
        QVERIFY(f.lan->lastError().contains(QStringLiteral("9999")));
        QVERIFY(f.lan->lastError().contains(QStringLiteral("The bound address is already in use")));
        QVERIFY(!f.lan->isPolling());
        QVERIFY(!f.lan->isConnecting());
        f.clock.advance(10000);
        QVERIFY(f.udp->sent.isEmpty());
        // Freed later: the next choice of LAN binds.
        f.udp->bindError.clear();
        QVERIFY(f.lan->connectTo(kTransceiver));
        QVERIFY(f.lan->lastError().isEmpty());
    }

    void receiveBufferKeepsOlderBytes()
    {
        LinkFixture f;
        f.lanConnected();
        f.fromTransceiver("0123456789ABCDEF");
        f.fromTransceiver("xyz");
        QCOMPARE(f.lan->receiveBuffer().size(), 512);
        QCOMPARE(f.lan->receiveBuffer().left(16), QByteArray("xyz3456789ABCDEF"));
        // Foreign and empty datagrams do not touch it.
        f.udp->deliver("foreign", QStringLiteral("10.0.0.1"));
        f.fromTransceiver(QByteArray());
        QCOMPARE(f.lan->receiveBuffer().left(16), QByteArray("xyz3456789ABCDEF"));
    }

    void oversizedDatagramDropped()
    {
        LinkFixture f;
        f.lanConnected();
        QSignalSpy dropped(f.lan, &LanChannel::datagramDropped);
        f.fromTransceiver(QByteArray(512, 'a'));
        QCOMPARE(dropped.count(), 0);
        QCOMPARE(f.lan->receiveBuffer(), QByteArray(512, 'a'));
        f.fromTransceiver(QByteArray(513, 'b'));
        QCOMPARE(dropped.count(), 1);
        QCOMPARE(dropped.at(0).at(0).toInt(), 513);
        QCOMPARE(f.lan->droppedDatagrams(), 1);
        QCOMPARE(f.lan->receiveBuffer(), QByteArray(512, 'a'));
        // From a foreign sender it is not even reported.
        f.udp->deliver(QByteArray(600, 'c'), QStringLiteral("10.0.0.1"));
        QCOMPARE(dropped.count(), 1);
    }

    void statusDatagram_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("signal");
        QTest::addColumn<QString>("modeText");
        QTest::addColumn<QString>("suffix");
        QTest::newRow("FF S,Lan") << 0xFF << 85 << QStringLiteral("S,Lan")
                                  << QStringLiteral("     № 1234 IP: 10.0.0.7  -85dbm  192.168.1.221  S,Lan");
        QTest::newRow("F0 none") << 0xF0 << 85 << QString()
                                 << QStringLiteral("     № 1234 IP: 10.0.0.7  -85dbm  192.168.1.221  ");
        QTest::newRow("FE S,GSM_T") << 0xFE << 0 << QStringLiteral("S,GSM_T")
                                    << QStringLiteral("     № 1234 IP: 10.0.0.7  -0dbm  192.168.1.221  S,GSM_T");
        QTest::newRow("FD S,GPRS") << 0xFD << 113 << QStringLiteral("S,GPRS")
                                   << QStringLiteral("     № 1234 IP: 10.0.0.7  -113dbm  192.168.1.221  S,GPRS");
        QTest::newRow("0B S,GSM") << 0x0B << 255 << QStringLiteral("S,GSM")
                                  << QStringLiteral("     № 1234 IP: 10.0.0.7  -255dbm  192.168.1.221  S,GSM");
        QTest::newRow("F7 M,Lan") << 0xF7 << 1 << QStringLiteral("M,Lan")
                                  << QStringLiteral("     № 1234 IP: 10.0.0.7  -1dbm  192.168.1.221  M,Lan");
        QTest::newRow("F6 M,GSM_T") << 0xF6 << 1 << QStringLiteral("M,GSM_T")
                                    << QStringLiteral("     № 1234 IP: 10.0.0.7  -1dbm  192.168.1.221  M,GSM_T");
        QTest::newRow("F5 M,GPRS") << 0xF5 << 1 << QStringLiteral("M,GPRS")
                                   << QStringLiteral("     № 1234 IP: 10.0.0.7  -1dbm  192.168.1.221  M,GPRS");
        QTest::newRow("F3 M,GSM") << 0xF3 << 1 << QStringLiteral("M,GSM")
                                  << QStringLiteral("     № 1234 IP: 10.0.0.7  -1dbm  192.168.1.221  M,GSM");
        QTest::newRow("FC v=3 none") << 0xFC << 1 << QString()
                                     << QStringLiteral("     № 1234 IP: 10.0.0.7  -1dbm  192.168.1.221  ");
    }
    void statusDatagram()
    {
        QFETCH(int, mode);
        QFETCH(int, signal);
        QFETCH(QString, modeText);
        QFETCH(QString, suffix);
        LinkFixture f;
        QSignalSpy status(f.lan, &LanChannel::statusReceived);
        QSignalSpy done(f.lan, &LanChannel::connectFinished);
        f.lan->connectTo(kTransceiver);
        // Shown whatever the state; it does not connect.
        f.fromTransceiver(makeStatus(1234, mode, signal, 1));
        QCOMPARE(status.count(), 1);
        QCOMPARE(done.count(), 0);
        const auto s = status.at(0).at(0).value<LanStatus>();
        QCOMPARE(int(s.factoryNumber), 1234);
        QCOMPARE(s.modeText(), modeText);
        QCOMPARE(statusCaptionSuffix(s), suffix);
        QCOMPARE(int(s.channelCode), 1);
    }

    void statusSerialNumberIsLittleEndian()
    {
        const auto s = parseStatus(makeStatus(0xBEEF, 0xFF, 1, 1));
        QVERIFY(s);
        QCOMPARE(int(s->factoryNumber), 48879);
        QVERIFY(!parseStatus(QByteArray(13, '\0')));
        QVERIFY(!parseStatus(QByteArray(15, '\0')));
    }

    void statusLightColours_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("red");
        QTest::addColumn<int>("green");
        QTest::addColumn<int>("blue");
        QTest::newRow("1 green") << 1 << 0 << 128 << 0;
        QTest::newRow("3 white") << 3 << 255 << 255 << 255;
        QTest::newRow("4 fuchsia") << 4 << 255 << 0 << 255;
        QTest::newRow("5 blue") << 5 << 0 << 0 << 255;
        QTest::newRow("0 red") << 0 << 255 << 0 << 0;
        QTest::newRow("2 red") << 2 << 255 << 0 << 0;
        QTest::newRow("255 red") << 255 << 255 << 0 << 0;
    }
    void statusLightColours()
    {
        QFETCH(int, code);
        QFETCH(int, red);
        QFETCH(int, green);
        QFETCH(int, blue);
        QCOMPARE(statusLightColour(code), (LightColour{red, green, blue}));
    }

    void duzivHasNoStatusDatagram()
    {
        LinkFixture f(Variant::mxrDuziv());
        QSignalSpy status(f.lan, &LanChannel::statusReceived);
        f.lanConnected();
        f.fromTransceiver(makeStatus(1, 0xFF, 1, 1));
        QCOMPARE(status.count(), 0);
    }

    void injectedEndpoints()
    {
        LinkFixture f;
        f.lan->setLocalEndpoint(QHostAddress(QStringLiteral("127.0.0.5")), 0);
        f.lan->setRemotePort(40001);
        QVERIFY(f.lan->connectTo(QStringLiteral("127.0.0.9")));
        QCOMPARE(f.udp->boundAddress, QHostAddress(QStringLiteral("127.0.0.5")));
        QCOMPARE(f.udp->boundPort, quint16(0));
        f.clock.advance(1000);
        QCOMPARE(f.udp->sent.at(0).port, quint16(40001));
        QCOMPARE(f.udp->sent.at(0).host, QHostAddress(QStringLiteral("127.0.0.9")));
    }

    void closingStopsPollAndConnect()
    {
        LinkFixture f;
        QSignalSpy done(f.lan, &LanChannel::connectFinished);
        f.lan->connectTo(kTransceiver);
        f.link->shutDown();
        f.clock.advance(20000);
        QVERIFY(f.udp->sent.isEmpty());
        f.fromTransceiver("OK");
        QCOMPARE(done.count(), 0);
    }
};

QTEST_GUILESS_MAIN(TestLanChannel)
#include "test_lan_channel.moc"
