#include "serial_channel.h"

namespace talvir {

SerialChannel::SerialChannel(std::unique_ptr<SerialTransport> transport, TimerFactory timers, const Timing &timing,
                             QObject *parent)
    : QObject(parent), transport_(std::move(transport)), timing_(timing)
{
    watchdog_ = timers(QStringLiteral("watchdog"), Timer::Mode::SingleShot);
    watchdog_->setTimeout([this] { onWatchdog(); });
    transport_->onBytesArrived = [this] { onBytesArrived(); };
    transport_->onError = [this](SerialError e, const QString &reason) { onTransportError(e, reason); };
}

SerialChannel::~SerialChannel()
{
    transport_->onBytesArrived = nullptr;
    transport_->onError = nullptr;
}

bool SerialChannel::open(const QString &portName)
{
    close();
    lastError_.clear();
    QString error;
    if (!transport_->open(portName, &error)) {
        lastError_ = error;
        return false;
    }
    open_ = true;
    portName_ = portName;
    watchdog_->stop();
    // Rebuilt whenever USB is chosen.
    ident_ = identificationFrame();
    sendIdentification();
    armWatchdog(kTicksAfterAnswer);
    return true;
}

void SerialChannel::close()
{
    if (!open_)
        return;
    dropPort(false);
    transport_->close();
}

void SerialChannel::dropPort(bool lost)
{
    open_ = false;
    linkUp_ = false;
    identOutstanding_ = false;
    watchdog_->stop();
    portName_.clear();
    if (listener_ && listener_->serialWriteInProgress())
        listener_->onSerialPortGone(lost);
}

void SerialChannel::shutDown()
{
    close();
    watchdog_->stop();
    transport_->onBytesArrived = nullptr;
    transport_->onError = nullptr;
}

void SerialChannel::armWatchdog(int ticks) { watchdog_->start(ticks * timing_.serialTickMs); }

void SerialChannel::disarmWatchdog() { watchdog_->stop(); }

bool SerialChannel::isWatchdogArmed() const { return watchdog_->isActive(); }

bool SerialChannel::canTakeFrame() const { return open_ && transport_->canTake(int(Frame().size())); }

bool SerialChannel::sendFrame(const Frame &frame)
{
    if (!canTakeFrame())
        return false;
    return transport_->send(frameBytes(frame));
}

void SerialChannel::sendIdentification()
{
    if (sendFrame(ident_))
        identOutstanding_ = true;
}

void SerialChannel::onBytesArrived()
{
    if (!open_)
        return;
    const QByteArray bytes = transport_->readAll();
    if (bytes.isEmpty())
        return;
    identOutstanding_ = false; // whatever was outstanding has been answered
    const bool writing = listener_ && listener_->serialWriteInProgress();
    if (writing)
        listener_->onSerialReplyBytes();
    // The transceiver answers each frame with one byte; of a burst only the newest answer counts.
    const unsigned char last = static_cast<unsigned char>(bytes.back());
    switch (classifyReply(last)) {
    case Reply::Ack:
        if (writing) {
            listener_->onSerialAck();
        } else {
            linkUp_ = true;
            sendIdentification();
            armWatchdog(kTicksAfterAnswer);
            emit linkUp();
        }
        break;
    case Reply::TypeRejected:
        close();
        emit typeRejected();
        break;
    case Reply::Nak:
        if (writing && linkUp_)
            listener_->onSerialNak();
        else
            armWatchdog(kTicksAfterAnswer);
        break;
    case Reply::StoreFailed:
        if (writing)
            listener_->onSerialStoreFailed();
        else
            emit storeFailed();
        break;
    case Reply::Other:
        break;
    }
}

void SerialChannel::onWatchdog()
{
    if (!open_)
        return;
    linkUp_ = false;
    emit linkLost();
    sendIdentification();
    armWatchdog(kTicksAfterLoss);
}

void SerialChannel::onTransportError(SerialError, const QString &reason)
{
    // The transport closed the port already; a second report of the same loss changes nothing.
    if (!open_)
        return;
    dropPort(true);
    transport_->close();
    emit linkLost();
    emit portLost(reason);
}

} // namespace talvir
