#include "transceiver_link.h"

#include "link/lan_channel.h"
#include "link/lan_transfer.h"
#include "link/serial_channel.h"
#include "link/serial_write.h"

namespace talvir {

LinkParts LinkParts::real()
{
    LinkParts parts;
    parts.serialTransport = [] { return std::make_unique<QtSerialTransport>(); };
    parts.lanEndpoint =
        std::make_shared<LanEndpoint>(std::make_unique<QtDatagramTransport>(QtDatagramTransport::Owner::Exclusive));
    parts.datagramTransport = [endpoint = parts.lanEndpoint] { return endpoint->route(); };
    parts.timers = qtTimerFactory();
    return parts;
}

TransceiverLink::TransceiverLink(const Variant &variant, const Timing &timing, const LinkParts &parts,
                                 QObject *parent)
    : QObject(parent)
{
    const LinkParts real = parts.timers && parts.serialTransport && parts.datagramTransport ? parts : LinkParts::real();
    const TimerFactory timers = parts.timers ? parts.timers : real.timers;
    serial_ = std::make_unique<SerialChannel>(
        parts.serialTransport ? parts.serialTransport() : real.serialTransport(), timers, timing);
    lan_ = std::make_unique<LanChannel>(
        variant, parts.datagramTransport ? parts.datagramTransport() : real.datagramTransport(), timers, timing);
    // The endpoint binds when LAN is first chosen: a program that only uses USB never takes port 9999.
    lan_->setLocalEndpoint(parts.lanLocalAddress, parts.lanLocalPort);
    lan_->setRemotePort(parts.lanRemotePort);
    serialWrite_ = std::make_unique<SerialWrite>(*serial_, timers, timing);
    lanTransfer_ = std::make_unique<LanTransfer>(variant, *lan_, timers, timing);

    // The first answer after the port opened, or the first silence, ends the USB connect.
    connect(serial_.get(), &SerialChannel::linkUp, this, [this] {
        usbConnecting_ = false;
        refresh();
    });
    connect(serial_.get(), &SerialChannel::linkLost, this, [this] {
        usbConnecting_ = false;
        refresh();
    });
    connect(serial_.get(), &SerialChannel::portLost, this, [this](const QString &reason) {
        // The port name is kept: choosing USB again reopens the same port once it is back.
        channel_ = Channel::None;
        refresh();
        emit portLost(reason);
    });
    connect(serial_.get(), &SerialChannel::typeRejected, this, [this] {
        channel_ = Channel::None;
        refresh();
        emit typeRejected();
    });
    connect(serial_.get(), &SerialChannel::storeFailed, this, &TransceiverLink::storeFailed);
    connect(lan_.get(), &LanChannel::connectFinished, this, &TransceiverLink::refresh);
    connect(lan_.get(), &LanChannel::statusReceived, this, [this](const LanStatus &status) {
        if (channel_ == Channel::Lan)
            emit statusReceived(status);
    });
    connect(lan_.get(), &LanChannel::datagramDropped, this, &TransceiverLink::datagramDropped);
    for (TransferMachine *m : {static_cast<TransferMachine *>(serialWrite_.get()),
                               static_cast<TransferMachine *>(lanTransfer_.get())}) {
        connect(m, &TransferMachine::progressChanged, this, &TransceiverLink::progressChanged);
        connect(m, &TransferMachine::writeFinished, this, &TransceiverLink::onTransferFinished);
        connect(m, &TransferMachine::readFinished, this, &TransceiverLink::onTransferFinished);
    }
}

// The machines listen to the channels, so they go first.
TransceiverLink::~TransceiverLink()
{
    serialWrite_.reset();
    lanTransfer_.reset();
}

TransceiverLink::State TransceiverLink::currentState() const
{
    if (transferring_)
        return State::Transferring;
    switch (channel_) {
    case Channel::Usb:
        if (serial_->isLinkUp())
            return State::UsbUp;
        return serial_->isOpen() && usbConnecting_ ? State::Connecting : State::Down;
    case Channel::Lan:
        if (lan_->isConnected())
            return State::LanUp;
        return lan_->isConnecting() ? State::Connecting : State::Down;
    case Channel::None:
        break;
    }
    return State::Down;
}

void TransceiverLink::refresh()
{
    const State now = currentState();
    if (now == state_)
        return;
    state_ = now;
    emit stateChanged(now);
}

bool TransceiverLink::chooseUsb(const QString &portName)
{
    lastError_.clear();
    if (isBusy())
        return false;
    if (portName.isEmpty() || !serial_->open(portName)) {
        // A port that cannot be opened is asked for again next time, rather than tried forever.
        lastError_ = serial_->lastError();
        portName_.clear();
        channel_ = Channel::None;
        refresh();
        return false;
    }
    lan_->disconnect();
    portName_ = portName;
    channel_ = Channel::Usb;
    usbConnecting_ = true;
    refresh();
    return true;
}

bool TransceiverLink::leaveUsb()
{
    const bool wasOpen = serial_->isOpen() || channel_ == Channel::Usb;
    serial_->close();
    portName_.clear();
    if (channel_ == Channel::Usb)
        channel_ = Channel::None;
    refresh();
    return wasOpen;
}

bool TransceiverLink::bindLan()
{
    if (lan_->bind())
        return true;
    lastError_ = lan_->lastError();
    return false;
}

bool TransceiverLink::chooseLan(const QString &address)
{
    lastError_.clear();
    if (isBusy())
        return false;
    address_ = address;
    channel_ = Channel::Lan;
    if (!lan_->connectTo(address)) {
        lastError_ = lan_->lastError();
        refresh();
        return false;
    }
    refresh();
    return true;
}

bool TransceiverLink::write(const SendList &frames, const QByteArray &image)
{
    bool started = false;
    if (channel_ == Channel::Usb && !isBusy())
        started = serialWrite_->start(frames);
    else if (channel_ == Channel::Lan && !isBusy())
        started = lanTransfer_->startWrite(image);
    if (started) {
        transferring_ = true;
        refresh();
    }
    return started;
}

bool TransceiverLink::read()
{
    if (channel_ != Channel::Lan || isBusy() || !lanTransfer_->startRead())
        return false;
    transferring_ = true;
    refresh();
    return true;
}

void TransceiverLink::onTransferFinished(const TransferResult &result)
{
    // The transfer's end is told while the link still counts as transferring: what the window shows
    // of it comes first, then the link's state.
    emit finished(result);
    transferring_ = false;
    refresh();
}

void TransceiverLink::shutDown()
{
    // No channel from here on: the abandoned transfer's end leaves the link down.
    channel_ = Channel::None;
    serialWrite_->abandon();
    lanTransfer_->abandon();
    serial_->shutDown();
    lan_->shutDown();
    refresh();
}

void TransceiverLink::pausePoll()
{
    pollBeforePause_ = lan_->isPolling();
    lan_->setPolling(false);
}

void TransceiverLink::resumePoll()
{
    if (pollBeforePause_)
        lan_->setPolling(true);
    pollBeforePause_ = false;
}

} // namespace talvir
