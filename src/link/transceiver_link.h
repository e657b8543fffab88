// The configurator's link to one transceiver, without widgets: the serial channel, the LAN channel,
// the serial write and the LAN transfer, the chosen channel with its port or address, and one state.
// The window, kcftool, the benchmarks and the tests all build their link stack here; LinkParts says
// what it runs on (real ports and timers, or the fakes of the unit tests).
#pragma once

#include "core/variant.h"
#include "link/datagram_transport.h"
#include "link/frames.h"
#include "link/lan_endpoint.h"
#include "link/lan_datagrams.h"
#include "link/serial_transport.h"
#include "link/timer.h"
#include "link/timing.h"
#include "link/transfer_result.h"

#include <QHostAddress>
#include <QObject>
#include <functional>
#include <memory>

namespace talvir {

class LanChannel;
class LanTransfer;
class SerialChannel;
class SerialWrite;
class TransferMachine;

// What a link is built from. real(): QtSerialTransport, QTimer, and a route on one LanEndpoint over
// a QtDatagramTransport that no other configurator of the PC shares, UDP port 9999 on all addresses:
// every link built from one LinkParts value (or its copies) shares that endpoint. Tests and
// benchmarks put fakes, loopback addresses and free ports here.
struct LinkParts {
    std::function<std::unique_ptr<SerialTransport>()> serialTransport;
    std::function<std::unique_ptr<DatagramTransport>()> datagramTransport;
    // The endpoint the datagram transports are routes on (real() only), for its count of datagrams
    // no link took.
    std::shared_ptr<LanEndpoint> lanEndpoint;
    TimerFactory timers;
    // Where the configurator's UDP endpoint binds (when LAN is first chosen) and the transceiver's port.
    QHostAddress lanLocalAddress = QHostAddress(QHostAddress::AnyIPv4);
    quint16 lanLocalPort = 9999;
    quint16 lanRemotePort = 9999;

    static LinkParts real();
};

class TransceiverLink : public QObject {
    Q_OBJECT
public:
    enum class Channel { None, Usb, Lan };
    enum class State {
        Down,         // no channel, the serial link lost, or the LAN connect found no answer
        Connecting,   // the port opened and not yet answered, or the LAN connect's passes running
        UsbUp,        // the transceiver answers the keep-alive
        LanUp,        // the transceiver answered the LAN poll
        Transferring, // a write or read runs
    };

    TransceiverLink(const Variant &variant, const Timing &timing, const LinkParts &parts = LinkParts::real(),
                    QObject *parent = nullptr);
    ~TransceiverLink() override;

    // USB with this port: it opens, the identification frame goes out, and the LAN link steps aside
    // (the transceiver is not polled on two channels at once). False when the port cannot be opened
    // (lastError() says why): no channel is chosen then.
    bool chooseUsb(const QString &portName);
    // The serial port closes (LAN is about to be chosen); true when it was open or USB was chosen.
    bool leaveUsb();
    // Binds the UDP endpoint unless bound; false with lastError() naming the port and the reason.
    bool bindLan();
    // LAN to this address (accepted by ipFromText, not 0): bind, poll, and up to 11 passes waiting for
    // "OK". False (nothing started) with lastError() when the address or the endpoint fails.
    bool chooseLan(const QString &address);

    // A whole configuration over the chosen channel: the frames over USB, the image over LAN. False
    // (nothing sent) unless the link is up and idle.
    bool write(const SendList &frames, const QByteArray &image);
    // A LAN read. False (nothing sent) unless the LAN link is up and idle.
    bool read();
    // A running transfer ends as Abandoned (its finished() comes at once), every timer stops, the
    // serial port closes, the poll and connect stop and no input is taken any more. Final.
    void shutDown();

    // The LAN poll paused (while the exit question is open) and resumed as it was.
    void pausePoll();
    void resumePoll();

    State state() const { return state_; }
    Channel channel() const { return channel_; }
    bool isReady() const { return state_ == State::UsbUp || state_ == State::LanUp; }
    bool isBusy() const { return state_ == State::Transferring; }
    // The port chosen last (kept after the port was lost, so USB reopens it), and the address.
    QString portName() const { return portName_; }
    // The transceiver's address: the last one chosen or proposed; empty until then.
    QString address() const { return address_; }
    // The address LAN is offered next (a loaded configuration's local address, or a typed one).
    void proposeAddress(const QString &address) { address_ = address; }
    QString lastError() const { return lastError_; }

    // The parts, for tests, benchmarks and the fuzz harnesses.
    SerialChannel &serialChannel() { return *serial_; }
    LanChannel &lanChannel() { return *lan_; }
    SerialWrite &serialWrite() { return *serialWrite_; }
    LanTransfer &lanTransfer() { return *lanTransfer_; }

signals:
    void stateChanged(talvir::TransceiverLink::State state);
    void progressChanged(int percent);
    void finished(const talvir::TransferResult &result);
    // 600r only: the transceiver's status datagram, while LAN is the channel.
    void statusReceived(const talvir::LanStatus &status);
    // 0x02: the transceiver refuses the panel type; the port is closed already, no channel is chosen.
    void typeRejected();
    // 0x25 outside a write.
    void storeFailed();
    // The port went away by itself; no channel is chosen now, the port name is kept.
    void portLost(const QString &reason);
    // A datagram longer than the receive buffer was dropped.
    void datagramDropped(int length);

private:
    State currentState() const;
    // Recomputes the state from the channels and the transfer; stateChanged() when it changed.
    void refresh();
    void onTransferFinished(const TransferResult &result);

    std::unique_ptr<SerialChannel> serial_;
    std::unique_ptr<LanChannel> lan_;
    std::unique_ptr<SerialWrite> serialWrite_;
    std::unique_ptr<LanTransfer> lanTransfer_;
    Channel channel_ = Channel::None;
    State state_ = State::Down;
    QString portName_;
    QString address_;
    QString lastError_;
    bool usbConnecting_ = false; // USB chosen, neither an answer nor a silence since
    bool transferring_ = false; // from a transfer's start until its finished() was handled
    bool pollBeforePause_ = false;
};

} // namespace talvir
