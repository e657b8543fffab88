// The link object on fake transports and a fake clock, with its channels and machines at hand.
#pragma once

#include "core/variant.h"
#include "support/fake_link.h"
#include "link/lan_channel.h"
#include "link/lan_transfer.h"
#include "link/link_texts.h"
#include "link/serial_channel.h"
#include "link/serial_write.h"

#include <QSignalSpy>
#include <memory>

namespace talvir {

struct LinkFixture {
    explicit LinkFixture(const Variant &v = Variant::mxr600r()) : variant(v)
    {
        link = std::make_unique<TransceiverLink>(variant, timing, fakeLinkParts(clock, &port, &udp));
        serial = &link->serialChannel();
        lan = &link->lanChannel();
        serialWrite = &link->serialWrite();
        lanTransfer = &link->lanTransfer();
    }

    FakeTimer *timer(const char *name) const { return clock.timer(QString::fromLatin1(name)); }

    // Serial port open and the link up (one keep-alive exchange done); sent bytes forgotten.
    void serialLinkUp()
    {
        serial->open(QStringLiteral("/dev/ttyFAKE"));
        port->feed(QByteArray(1, '\x01'));
        port->sent.clear();
    }

    // The machines' writes; number is the factory number the completion message names.
    bool startWrite(const SendList &frames, const QString &number)
    {
        factoryNumber = number;
        return serialWrite->start(frames);
    }
    bool startWrite(const QByteArray &image, const QString &number)
    {
        factoryNumber = number;
        return lanTransfer->startWrite(image);
    }
    // What the technician is told of a transfer's end.
    UserMessage said(const TransferResult &r) const { return linktext::transferMessage(r, factoryNumber); }

    // Starts a serial write with the link up: frame 0 waits for the answer to the outstanding
    // identification frame, which the transceiver then gives. False if the write did not start or a
    // frame went out too early.
    bool startSerialWrite(const SendList &list, const QString &number)
    {
        const int before = int(port->sent.size());
        if (!startWrite(list, number) || port->sent.size() != before)
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
    std::unique_ptr<TransceiverLink> link;
    SerialChannel *serial = nullptr;
    LanChannel *lan = nullptr;
    SerialWrite *serialWrite = nullptr;
    LanTransfer *lanTransfer = nullptr;
    QString factoryNumber;
};

} // namespace talvir
