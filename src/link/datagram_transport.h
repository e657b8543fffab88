// The datagram endpoint under the LAN channel: bind, send to an address and port, hear each datagram
// with its sender. QtDatagramTransport is the real one.
#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QString>
#include <functional>
#include <memory>

class QLockFile;
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

    // LAN was chosen with this transceiver: a transport shared by several links (LanEndpoint's
    // routes) hands this one that sender's datagrams alone, and refuses (false, *error) a transceiver
    // another link of the program talks to. A transport of its own hears every sender anyway.
    virtual bool claimPeer(const QHostAddress &peer, QString *error)
    {
        Q_UNUSED(peer)
        Q_UNUSED(error)
        return true;
    }
    // The link stepped aside (USB chosen, exit): its transceiver's datagrams are no longer its.
    virtual void releasePeer() {}

    // A datagram arrived: its bytes (whatever the length), the sender's address as dotted text and
    // the sender's port.
    std::function<void(const QByteArray &bytes, const QString &sender, quint16 senderPort)> onDatagram;
};

// The dotted text of an address as the LAN channel compares it: IPv4 in plain dotted decimal, also
// when the socket reports it as an IPv4-mapped IPv6 address.
QString senderText(const QHostAddress &address);

class QtDatagramTransport final : public DatagramTransport {
public:
    // Owner::Exclusive: the configurators of one PC (this program, kcftool, a second copy of either)
    // never share a local address and port: the address sharing a simulator needs would let the
    // second one bind too and take the first one's answers. A lock file in the user's runtime folder
    // (the temporary folder without one), keyed by address and port, names the owner; a program
    // that died leaves a lock the next one takes over. Port 0 (the system picks a free port) takes
    // no lock.
    enum class Owner { Shared, Exclusive };
    explicit QtDatagramTransport(Owner owner = Owner::Shared);
    ~QtDatagramTransport() override;

    bool bind(const QHostAddress &address, quint16 port, QString *error) override;
    bool isBound() const override;
    quint16 localPort() const override;
    bool sendTo(const QByteArray &bytes, const QHostAddress &host, quint16 port) override;

private:
    void readPending();
    bool takeOwnership(const QHostAddress &address, quint16 port, QString *error);

    Owner owner_;
    std::unique_ptr<QLockFile> ownerLock_;
    std::unique_ptr<QUdpSocket> socket_;
};

} // namespace talvir
