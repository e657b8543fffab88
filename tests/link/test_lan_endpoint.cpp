// Several LAN links on one endpoint (fake socket, fake clock): each hears its own transceiver only,
// a stranger's datagram goes to no one and is counted, and one transceiver is never talked to by
// two links at once.
#include "support/fake_link.h"
#include "link/lan_endpoint.h"

#include <QtTest>
#include <optional>

using namespace talvir;

namespace {

struct Unit {
    QString address;
    std::unique_ptr<TransceiverLink> link;
    std::optional<TransferResult> result;
    int answered = 0;
};

struct EndpointRig {
    EndpointRig()
    {
        auto socket = std::make_unique<FakeDatagramTransport>();
        udp = socket.get();
        endpoint = std::make_shared<LanEndpoint>(std::move(socket));
    }

    std::unique_ptr<TransceiverLink> newLink()
    {
        FakeSerialTransport *port = nullptr;
        FakeDatagramTransport *ownUdp = nullptr;
        LinkParts parts = fakeLinkParts(clock, &port, &ownUdp);
        parts.datagramTransport = [e = endpoint] { return e->route(); };
        return std::make_unique<TransceiverLink>(Variant::mxr600r(), timing, parts);
    }

    // Unit on the LAN with its link up ("OK" answered).
    Unit &add(const QString &address)
    {
        units.push_back(std::make_unique<Unit>());
        Unit &u = *units.back();
        u.address = address;
        u.link = newLink();
        QObject::connect(u.link.get(), &TransceiverLink::finished, [&u](const TransferResult &r) { u.result = r; });
        if (u.link->chooseLan(address))
            udp->deliver("OK", address);
        return u;
    }

    // The transceiver at this address answers the last command sent to it, as a healthy one does.
    void answer(Unit &u)
    {
        QByteArray last;
        for (const auto &s : udp->sent)
            if (s.host.toString() == u.address)
                last = s.bytes;
        udp->deliver(last == "AT+DATF" ? "READY" : last == "AT+CONFIG" ? "GOOD" : "OK", u.address);
        ++u.answered;
    }

    FakeClock clock;
    Timing timing;
    FakeDatagramTransport *udp = nullptr;
    std::shared_ptr<LanEndpoint> endpoint;
    std::vector<std::unique_ptr<Unit>> units;
};

} // namespace

class TestLanEndpoint : public QObject {
    Q_OBJECT
private slots:
    // Two writes at once, their answers interleaved in the order given: a and b the two
    // transceivers, x a datagram from an address neither talks to.
    void twoWrites_data()
    {
        QTest::addColumn<QString>("order");
        QTest::newRow("alternating") << "ab";
        QTest::newRow("one twice as fast") << "aab";
        QTest::newRow("a stranger between") << "axb";
    }
    void twoWrites()
    {
        QFETCH(QString, order);
        EndpointRig rig;
        Unit &a = rig.add(QStringLiteral("192.168.1.20"));
        Unit &b = rig.add(QStringLiteral("192.168.1.21"));
        QCOMPARE(int(a.link->state()), int(TransceiverLink::State::LanUp));
        QCOMPARE(int(b.link->state()), int(TransceiverLink::State::LanUp));
        const int imageSize = Variant::mxr600r().imageSize();
        QVERIFY(a.link->write(SendList(), QByteArray(imageSize, '\x11')));
        QVERIFY(b.link->write(SendList(), QByteArray(imageSize, '\x22')));

        int strangers = 0;
        for (int guard = 0; guard < 100000 && (!a.result || !b.result); ++guard) {
            const QChar step = order.at(guard % order.size());
            if (step == QLatin1Char('x')) {
                rig.udp->deliver("OK", QStringLiteral("192.168.1.99"));
                ++strangers;
            } else {
                Unit &u = step == QLatin1Char('a') ? a : b;
                if (!u.result)
                    rig.answer(u);
            }
        }
        QVERIFY(a.result && b.result);
        QCOMPARE(int(a.result->outcome), int(TransferOutcome::Succeeded));
        QCOMPARE(int(b.result->outcome), int(TransferOutcome::Succeeded));
        // Every answer reached its own transfer: each took exactly one answer per command, as a
        // lone write does, and only the stranger's datagrams went unclaimed.
        QCOMPARE(a.answered, b.answered);
        QCOMPARE(rig.endpoint->unroutedDatagrams(), strangers);
        QCOMPARE(rig.udp->binds, 1);
    }

    // One transceiver, two links: the second is refused before anything goes to it; once the first
    // stepped aside the transceiver is free again.
    void oneAddressTwice()
    {
        EndpointRig rig;
        Unit &a = rig.add(QStringLiteral("192.168.1.20"));
        auto second = rig.newLink();
        const int sent = int(rig.udp->sent.size());
        QVERIFY(!second->chooseLan(QStringLiteral("192.168.1.20")));
        QVERIFY(second->lastError().contains(QStringLiteral("another transfer")));
        QCOMPARE(int(rig.udp->sent.size()), sent);
        a.link.reset();
        QVERIFY(second->chooseLan(QStringLiteral("192.168.1.20")));
    }
};

QTEST_GUILESS_MAIN(TestLanEndpoint)
#include "test_lan_endpoint.moc"
