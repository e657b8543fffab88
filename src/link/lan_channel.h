// The LAN link to the transceiver: the UDP endpoint (local port 9999), the transceiver's address,
// the connect with its poll, the transmit and receive buffers, the status datagram, and the hand-over
// of every other datagram to the running exchange.
#pragma once

#include "core/variant.h"
#include "link/datagram_transport.h"
#include "link/lan_datagrams.h"
#include "link/timer.h"
#include "link/timing.h"

#include <QHostAddress>
#include <QObject>
#include <memory>

namespace talvir {

// The running write or read (the LAN transfer) gets every datagram that passed the sender check,
// after it was copied into the receive buffer; it acts on it according to the LAN state.
class LanExchangeListener {
public:
    virtual ~LanExchangeListener() = default;
    virtual void onLanDatagram(const QByteArray &datagram) = 0;
};

class LanChannel : public QObject {
    Q_OBJECT
public:
    static constexpr quint16 kPort = 9999;

    LanChannel(const Variant &variant, std::unique_ptr<DatagramTransport> transport, TimerFactory timers,
               const Timing &timing, QObject *parent = nullptr);
    ~LanChannel() override;

    // Where the endpoint binds (all IPv4 addresses, port 9999) and where the transceiver listens
    // (port 9999). Tests and the simulator's neighbours change them before the first bind.
    void setLocalEndpoint(const QHostAddress &address, quint16 port);
    void setRemotePort(quint16 port) { remotePort_ = port; }
    quint16 remotePort() const { return remotePort_; }

    // Binds the endpoint unless bound. False when the port cannot be bound; lastError() then names
    // the port and the reason. connectTo() binds on its own; a caller may bind earlier.
    bool bind();
    bool isBound() const;
    quint16 localPort() const;
    QString lastError() const { return lastError_; }

    // The transceiver address as the technician typed it; empty until the first connect. The window
    // offers linktext::defaultTransceiverAddress() while it is empty.
    QString addressText() const { return addressText_; }

    // LAN chosen with an address the window accepted (ipFromText not 0): bind, set the remote address,
    // poll on, and wait up to 11 passes of 510 ms for "OK". Returns false and starts nothing when the
    // address is not accepted or the endpoint cannot be bound (lastError()). Otherwise
    // connectFinished() reports the outcome.
    bool connectTo(const QString &addressText);
    // The 11 passes of a connect are running.
    bool isConnecting() const;
    // "OK" came since the last connectTo: the link is up, and every further datagram goes to the
    // running exchange.
    bool isConnected() const { return link_ == Link::Connected; }
    // USB was chosen: poll and connect stop, the link is down, and answers (a late "OK" too) are
    // ignored until the next connectTo.
    void disconnect();
    // Exit confirmed: disconnected for good, nothing more is received (the transport's callback is
    // detached) or sent.
    void shutDown();

    // Sends one datagram to the transceiver and keeps it as the last command, for retransmission.
    bool sendCommand(const QByteArray &bytes);
    bool resendLastCommand();
    // The 512-byte receive buffer: the last datagram at its start, older bytes behind it.
    const QByteArray &receiveBuffer() const { return rxBuffer_; }

    // The poll: "AT+CONFIG" every second. A running poll keeps its phase when switched on again.
    void setPolling(bool on);
    bool isPolling() const;

    void setExchangeListener(LanExchangeListener *listener) { listener_ = listener; }

    // Datagrams from the transceiver dropped for being longer than the receive buffer, since start.
    int droppedDatagrams() const { return droppedDatagrams_; }

signals:
    // The connect ended: true on the first "OK" from the transceiver, false after 11 passes without
    // one (poll already off). A late "OK" after a failed connect still brings the link up and reports
    // true.
    void connectFinished(bool connected);
    // 600r only: a 14-byte status datagram (see statusCaptionSuffix and statusLightColour).
    void statusReceived(const talvir::LanStatus &status);
    // A datagram from the transceiver longer than the receive buffer was dropped.
    void datagramDropped(int length);

private:
    void onDatagram(const QByteArray &bytes, const QString &sender, quint16 senderPort);
    void onPoll();
    void onConnectPass();

    const Variant &variant_;
    std::unique_ptr<DatagramTransport> transport_;
    std::unique_ptr<Timer> poll_;
    std::unique_ptr<Timer> connectPass_;
    Timing timing_;
    LanExchangeListener *listener_ = nullptr;

    QHostAddress localAddress_ = QHostAddress(QHostAddress::AnyIPv4);
    quint16 localPort_ = kPort;
    quint16 remotePort_ = kPort;
    QHostAddress remote_;
    QString addressText_;
    QString lastError_;

    // Down: no LAN chosen, or USB chosen since. Connecting: from connectTo until the first "OK", also
    // after the 11 passes gave up (a late "OK" still brings the link up). Connected: the link is up.
    enum class Link { Down, Connecting, Connected };
    Link link_ = Link::Down;
    int connectBudget_ = 0;
    QByteArray lastCommand_;
    int lastCommandLength_ = 0;
    QByteArray rxBuffer_;
    int droppedDatagrams_ = 0;
};

} // namespace talvir
