// The LAN connect to an address where nobody answers, with the protocol's own timing: 11 passes of
// about 510 ms, the poll once a second from one second on, and nothing more after giving up.
#include "integration/integration_rig.h"

#include <QtTest>

using namespace integ;

class TestIntegLanConnectTiming : public QObject {
    Q_OBJECT

private slots:
    void silentAddressFailsAfterElevenPasses()
    {
        // Nobody answers at 127.0.0.3; the socket only counts what arrives.
        QUdpSocket silent;
        QVERIFY(silent.bind(QHostAddress(QStringLiteral("127.0.0.3")), 0));
        QList<qint64> pollsAt;
        QElapsedTimer t;
        connect(&silent, &QUdpSocket::readyRead, this, [&] {
            while (silent.hasPendingDatagrams()) {
                const QByteArray d = silent.receiveDatagram().data();
                QCOMPARE(d, QByteArray("AT+CONFIG"));
                pollsAt.append(t.elapsed());
            }
        });

        LinkStack link(Variant::mxr600r(), Timing());
        link.lan.setLocalEndpoint(QHostAddress(QHostAddress::LocalHost), 0);
        link.lan.setRemotePort(silent.localPort());
        QList<bool> results;
        qint64 endedAt = -1;
        connect(&link.lan, &LanChannel::connectFinished, this, [&](bool ok) {
            results.append(ok);
            endedAt = t.elapsed();
        });
        t.start();
        QVERIFY(link.lan.connectTo(QStringLiteral("127.0.0.3")));
        QVERIFY(link.lan.isConnecting());
        QVERIFY(pumpUntil([&] { return !results.isEmpty(); }, 9000));
        QCOMPARE(results, QList<bool>{false});
        // 11 × 510 ms = 5.61 s.
        QVERIFY2(endedAt >= 5500 && endedAt <= 7000, qPrintable(QStringLiteral("gave up after %1 ms").arg(endedAt)));
        QVERIFY(!link.lan.isPolling());
        QVERIFY(!link.lan.isConnecting());

        // Polls at about 1, 2, 3, 4 and 5 s.
        QVERIFY2(pollsAt.size() >= 4 && pollsAt.size() <= 6, qPrintable(QString::number(pollsAt.size())));
        QVERIFY2(pollsAt.first() >= 950 && pollsAt.first() <= 1400, qPrintable(QString::number(pollsAt.first())));
        for (int i = 1; i < pollsAt.size(); ++i) {
            const qint64 gap = pollsAt.at(i) - pollsAt.at(i - 1);
            QVERIFY2(gap >= 800 && gap <= 1300, qPrintable(QStringLiteral("poll gap %1 ms").arg(gap)));
        }
        const qsizetype polls = pollsAt.size();
        pumpFor(1200);
        QCOMPARE(pollsAt.size(), polls);
    }
};

QTEST_GUILESS_MAIN(TestIntegLanConnectTiming)
#include "test_integ_lan_connect_timing.moc"
