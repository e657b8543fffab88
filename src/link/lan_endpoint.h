// One UDP endpoint for every LAN link of this program. The protocol binds local port 9999 on both
// sides and its answers name no transceiver: only the sender's address tells them apart. So one
// socket is bound, and each link gets a route on it that hears only its own transceiver's datagrams;
// a datagram from an address no link talks to is dropped and counted.
#pragma once

#include "link/datagram_transport.h"

#include <QHash>
#include <memory>

namespace talvir {

class LanEndpoint : public std::enable_shared_from_this<LanEndpoint> {
public:
    explicit LanEndpoint(std::unique_ptr<DatagramTransport> transport);
    ~LanEndpoint();
    LanEndpoint(const LanEndpoint &) = delete;
    LanEndpoint &operator=(const LanEndpoint &) = delete;

    // A transport for one link. Its bind() binds the shared socket (once; a second address or port
    // is refused), its sendTo() sends through it, its claimPeer() makes it the one receiver of that
    // transceiver's datagrams. The route keeps the endpoint alive.
    std::unique_ptr<DatagramTransport> route();

    // Datagrams that came from an address no route has claimed, since start.
    int unroutedDatagrams() const { return unrouted_; }

private:
    class Route;

    bool bind(const QHostAddress &address, quint16 port, QString *error);
    bool claim(Route *route, const QString &peer, QString *error);
    void release(Route *route);
    void deliver(const QByteArray &bytes, const QString &sender, quint16 senderPort);

    std::unique_ptr<DatagramTransport> transport_;
    QHostAddress boundAddress_;
    quint16 boundPort_ = 0;
    QHash<QString, Route *> routes_; // by the transceiver's address as dotted text
    int unrouted_ = 0;
};

} // namespace talvir
