// Both channels and the transfer engine on fake transports and a fake clock.
#pragma once

#include "core/variant.h"
#include "support/fake_timer.h"
#include "support/fake_transports.h"
#include "link/lan_channel.h"
#include "link/serial_channel.h"
#include "link/transfer_engine.h"

#include <QSignalSpy>
#include <memory>

namespace talvir {

struct LinkFixture {
    explicit LinkFixture(const Variant &v = Variant::mxr600r()) : variant(v)
    {
        auto s = std::make_unique<FakeSerialTransport>();
        port = s.get();
        auto d = std::make_unique<FakeDatagramTransport>();
        udp = d.get();
        serial = std::make_unique<SerialChannel>(std::move(s), clock.factory(), timing);
        lan = std::make_unique<LanChannel>(variant, std::move(d), clock.factory(), timing);
        engine = std::make_unique<TransferEngine>(variant, *serial, *lan, clock.factory(), timing);
    }

    FakeTimer *timer(const char *name) const { return clock.timer(QString::fromLatin1(name)); }

    // Serial port open and the link up (one keep-alive exchange done); sent bytes forgotten.
    void serialLinkUp()
    {
        serial->open(QStringLiteral("/dev/ttyFAKE"));
        port->feed(QByteArray(1, '\x01'));
        port->sent.clear();
    }

    // Starts a serial write with the link up: frame 0 waits for the answer to the outstanding
    // identification frame, which the transceiver then gives. False if the write did not start or a
    // frame went out too early.
    bool startSerialWrite(const SendList &list, const QString &serialNumberText)
    {
        const int before = int(port->sent.size());
        if (!engine->startSerialWrite(list, serialNumberText) || port->sent.size() != before)
            return false;
        port->feed(QByteArray(1, '\x01'));
        return true;
    }

    // LAN connected to the transceiver at 192.168.1.221; sent datagrams forgotten.
    void lanConnected()
    {
        lan->connectTo(QStringLiteral("192.168.1.221"));
        fromTransceiver("OK");
        udp->sent.clear();
    }
    void fromTransceiver(const QByteArray &d) { udp->deliver(d, QStringLiteral("192.168.1.221")); }

    const Variant &variant;
    Timing timing;
    FakeClock clock;
    FakeSerialTransport *port = nullptr;
    FakeDatagramTransport *udp = nullptr;
    std::unique_ptr<SerialChannel> serial;
    std::unique_ptr<LanChannel> lan;
    std::unique_ptr<TransferEngine> engine;
};

} // namespace talvir
