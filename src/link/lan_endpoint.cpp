#include "lan_endpoint.h"

namespace talvir {

class LanEndpoint::Route final : public DatagramTransport {
public:
    explicit Route(std::shared_ptr<LanEndpoint> endpoint) : endpoint_(std::move(endpoint)) {}
    ~Route() override { endpoint_->release(this); }

    bool bind(const QHostAddress &address, quint16 port, QString *error) override
    {
        return endpoint_->bind(address, port, error);
    }
    bool isBound() const override { return endpoint_->transport_->isBound(); }
    quint16 localPort() const override { return endpoint_->transport_->localPort(); }
    bool sendTo(const QByteArray &bytes, const QHostAddress &host, quint16 port) override
    {
        return endpoint_->transport_->sendTo(bytes, host, port);
    }
    bool claimPeer(const QHostAddress &peer, QString *error) override
    {
        return endpoint_->claim(this, senderText(peer), error);
    }
    void releasePeer() override { endpoint_->release(this); }

private:
    std::shared_ptr<LanEndpoint> endpoint_;
};

LanEndpoint::LanEndpoint(std::unique_ptr<DatagramTransport> transport) : transport_(std::move(transport))
{
    transport_->onDatagram = [this](const QByteArray &b, const QString &s, quint16 p) { deliver(b, s, p); };
}

LanEndpoint::~LanEndpoint() { transport_->onDatagram = nullptr; }

std::unique_ptr<DatagramTransport> LanEndpoint::route() { return std::make_unique<Route>(shared_from_this()); }

bool LanEndpoint::bind(const QHostAddress &address, quint16 port, QString *error)
{
    if (transport_->isBound()) {
        if (address == boundAddress_ && port == boundPort_)
            return true;
        if (error)
            *error = QStringLiteral("this program's UDP endpoint is bound to %1:%2 already")
                         .arg(boundAddress_.toString())
                         .arg(transport_->localPort());
        return false;
    }
    if (!transport_->bind(address, port, error))
        return false;
    boundAddress_ = address;
    boundPort_ = port;
    return true;
}

bool LanEndpoint::claim(Route *route, const QString &peer, QString *error)
{
    release(route);
    if (routes_.contains(peer)) {
        if (error)
            *error = QStringLiteral("%1: another transfer of this program talks to this transceiver").arg(peer);
        return false;
    }
    routes_.insert(peer, route);
    return true;
}

void LanEndpoint::release(Route *route)
{
    for (auto it = routes_.begin(); it != routes_.end(); ++it) {
        if (it.value() == route) {
            routes_.erase(it);
            return;
        }
    }
}

void LanEndpoint::deliver(const QByteArray &bytes, const QString &sender, quint16 senderPort)
{
    Route *route = routes_.value(sender);
    if (!route || !route->onDatagram) {
        ++unrouted_;
        return;
    }
    route->onDatagram(bytes, sender, senderPort);
}

} // namespace talvir
