// The datagram endpoint under the LAN channel: bind, send to an address and port, hear each datagram
// with its sender. QtDatagramTransport is the real one.
#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QString>
#include <functional>
#include <memory>

class QUdpSocket;

namespace talvir {

class DatagramTransport {
public:
    virtual ~DatagramTransport() = default;

    // Binds with address sharing, so a transceiver simulator may bind the same port on another
    // local address. On failure returns false and puts the reason into *error.
    virtual bool bind(const QHostAddress &address, quint16 port, QString *error) = 0;
    virtual bool isBound() const = 0;
    virtual quint16 localPort() const = 0;
    // One datagram; true when it went out whole.
    virtual bool sendTo(const QByteArray &bytes, const QHostAddress &host, quint16 port) = 0;

    // A datagram arrived: its bytes (whatever the length), the sender's address as dotted text and
    // the sender's port.
    std::function<void(const QByteArray &bytes, const QString &sender, quint16 senderPort)> onDatagram;
};

// The dotted text of an address as the LAN channel compares it: IPv4 in plain dotted decimal, also
// when the socket reports it as an IPv4-mapped IPv6 address.
QString senderText(const QHostAddress &address);

class QtDatagramTransport final : public DatagramTransport {
public:
    QtDatagramTransport();
    ~QtDatagramTransport() override;

    bool bind(const QHostAddress &address, quint16 port, QString *error) override;
    bool isBound() const override;
    quint16 localPort() const override;
    bool sendTo(const QByteArray &bytes, const QHostAddress &host, quint16 port) override;

private:
    void readPending();

    std::unique_ptr<QUdpSocket> socket_;
};

} // namespace talvir
