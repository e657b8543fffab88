#include "lan_channel.h"

#include "core/ip_text.h"
#include "link/link_texts.h"

namespace talvir {

LanChannel::LanChannel(const Variant &variant, std::unique_ptr<DatagramTransport> transport, TimerFactory timers,
                       const Timing &timing, QObject *parent)
    : QObject(parent), variant_(variant), transport_(std::move(transport)), timing_(timing),
      lastCommand_(kLanBufferSize, '\0'), rxBuffer_(kLanBufferSize, '\0')
{
    poll_ = timers(QStringLiteral("poll"), Timer::Mode::Periodic);
    poll_->setTimeout([this] { onPoll(); });
    connectPass_ = timers(QStringLiteral("connectPass"), Timer::Mode::Periodic);
    connectPass_->setTimeout([this] { onConnectPass(); });
    transport_->onDatagram = [this](const QByteArray &b, const QString &s, quint16 p) { onDatagram(b, s, p); };
}

LanChannel::~LanChannel() { transport_->onDatagram = nullptr; }

void LanChannel::setLocalEndpoint(const QHostAddress &address, quint16 port)
{
    localAddress_ = address;
    localPort_ = port;
}

bool LanChannel::bind()
{
    if (transport_->isBound())
        return true;
    QString reason;
    if (transport_->bind(localAddress_, localPort_, &reason)) {
        lastError_.clear();
        return true;
    }
    lastError_ = QStringLiteral("Не удалось открыть порт UDP %1.\n\n%2").arg(localPort_).arg(reason);
    return false;
}

bool LanChannel::isBound() const { return transport_->isBound(); }

quint16 LanChannel::localPort() const { return transport_->localPort(); }

bool LanChannel::connectTo(const QString &addressText)
{
    const std::optional<quint32> ip = ipFromText(addressText, &lastError_);
    if (!ip)
        return false;
    if (*ip == 0) {
        lastError_ = linktext::badTransceiverAddress().text;
        return false;
    }
    if (!bind())
        return false;

    unsigned char octets[4];
    ipToOctets(*ip, octets);
    const QHostAddress remote(quint32(octets[0]) << 24 | quint32(octets[1]) << 16 | quint32(octets[2]) << 8 |
                              octets[3]);
    if (!transport_->claimPeer(remote, &lastError_))
        return false;
    remote_ = remote;
    addressText_ = addressText;
    link_ = Link::Connecting;
    poll_->switchOn(timing_.pollMs);
    connectBudget_ = timing_.connectPasses;
    connectPass_->start(timing_.connectPassMs);
    return true;
}

bool LanChannel::isConnecting() const { return connectPass_->isActive(); }

void LanChannel::disconnect()
{
    poll_->stop();
    connectPass_->stop();
    link_ = Link::Down;
    transport_->releasePeer();
}

void LanChannel::shutDown()
{
    disconnect();
    transport_->onDatagram = nullptr;
    remote_.clear();
}

bool LanChannel::sendCommand(const QByteArray &bytes)
{
    if (bytes.size() > kLanBufferSize)
        return false;
    lastCommand_.replace(0, bytes.size(), bytes);
    lastCommandLength_ = int(bytes.size());
    return resendLastCommand();
}

bool LanChannel::resendLastCommand()
{
    if (remote_.isNull())
        return false;
    return transport_->sendTo(lastCommand_.left(lastCommandLength_), remote_, remotePort_);
}

void LanChannel::setPolling(bool on)
{
    if (on && link_ != Link::Down)
        poll_->switchOn(timing_.pollMs);
    else
        poll_->stop();
}

bool LanChannel::isPolling() const { return poll_->isActive(); }

void LanChannel::onPoll() { sendCommand(lancmd::config()); }

void LanChannel::onConnectPass()
{
    if (--connectBudget_ > 0)
        return;
    connectPass_->stop();
    poll_->stop();
    emit connectFinished(false);
}

void LanChannel::onDatagram(const QByteArray &bytes, const QString &sender, quint16)
{
    // Answers count only from the address as typed, compared as text, while LAN is the chosen link.
    if (link_ == Link::Down || bytes.isEmpty() || sender != addressText_)
        return;
    if (bytes.size() > kLanBufferSize) {
        ++droppedDatagrams_;
        emit datagramDropped(int(bytes.size()));
        return;
    }
    rxBuffer_.replace(0, bytes.size(), bytes);

    if (variant_.hasStatusLight && bytes.size() == kStatusLength) {
        if (const auto status = parseStatus(bytes))
            emit statusReceived(*status);
    }

    if (link_ == Link::Connecting) {
        if (isOkAnswer(bytes)) {
            link_ = Link::Connected;
            connectPass_->stop();
            emit connectFinished(true);
        }
        return;
    }
    if (listener_)
        listener_->onLanDatagram(bytes);
}

} // namespace talvir
