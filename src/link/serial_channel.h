// The USB link to the transceiver: opens the serial port, announces the configurator with the
// identification frame, keeps the link alive on a watchdog of 55 ms ticks, and dispatches the
// transceiver's reply bytes: to the window as signals, to a running write as acknowledgements.
#pragma once

#include "link/frames.h"
#include "link/serial_transport.h"
#include "link/timer.h"
#include "link/timing.h"

#include <QObject>
#include <memory>

namespace talvir {

// What the serial channel tells a running write (the serial write). Called before the window
// hears of the same event.
class SerialWriteListener {
public:
    virtual ~SerialWriteListener() = default;
    virtual bool serialWriteInProgress() const = 0;
    virtual void onSerialAck() = 0;          // 0x01
    virtual void onSerialNak() = 0;          // 0x15 while the link is up
    virtual void onSerialReplyBytes() = 0;   // any bytes read: the transceiver is not silent
    virtual void onSerialStoreFailed() = 0;  // 0x25
    // The port went away (lost: a port error) or was closed (the type was rejected, the LAN channel
    // was chosen, exit).
    virtual void onSerialPortGone(bool lost) = 0;
};

class SerialChannel : public QObject {
    Q_OBJECT
public:
    static constexpr int kTicksAfterAnswer = 2; // 110 ms: the next answer must come this soon
    static constexpr int kTicksAfterLoss = 5;   // 275 ms: identification repeated while silent

    SerialChannel(std::unique_ptr<SerialTransport> transport, TimerFactory timers, const Timing &timing,
                  QObject *parent = nullptr);
    ~SerialChannel() override;

    // USB chosen with this port: open it, send the identification frame, arm the watchdog for
    // 2 ticks. False when the port cannot be opened (lastError() says why); nothing else changes then.
    bool open(const QString &portName);
    // Closes the port (the LAN channel was chosen, or exit) and forgets the link. A running write
    // is abandoned without a message.
    void close();
    bool isOpen() const { return open_; }
    QString portName() const { return portName_; }
    QString lastError() const { return lastError_; }
    bool isLinkUp() const { return linkUp_; }

    // Exit confirmed: the port closes, and the transport's callbacks are detached, so nothing more
    // is read. Final.
    void shutDown();

    // The link watchdog: fires once, ticks × 55 ms after arming.
    void armWatchdog(int ticks);
    void disarmWatchdog();
    bool isWatchdogArmed() const;

    // Hands a whole frame to the port when it can take 6 bytes at once; false (nothing sent) otherwise.
    bool canTakeFrame() const;
    // An identification frame went out and no answer has come since. While the link is up one is
    // nearly always outstanding: every acknowledgement is answered with a new one.
    bool identificationOutstanding() const { return identOutstanding_; }
    bool sendFrame(const Frame &frame);
    // Sends the identification frame again (when the port can take it whole): a write waiting for
    // the keep-alive's answer repeats it when that answer was lost.
    void resendIdentification() { sendIdentification(); }

    void setWriteListener(SerialWriteListener *listener) { listener_ = listener; }

signals:
    // An acknowledgement outside a write: the link is up (again). Sent on every keep-alive answer.
    void linkUp();
    // The watchdog expired, or the port was lost.
    void linkLost();
    // The port went away by itself (after linkLost); the port is closed now.
    void portLost(const QString &reason);
    // 0x02: the transceiver rejects the configurator's panel type; the port is closed already.
    void typeRejected();
    // 0x25 outside a write: the transceiver could not store data (see linktext::storeFailed()). In a
    // write the write ends with it instead.
    void storeFailed();

private:
    void onBytesArrived();
    void onWatchdog();
    void onTransportError(SerialError error, const QString &reason);
    void sendIdentification();
    void dropPort(bool lost);

    std::unique_ptr<SerialTransport> transport_;
    std::unique_ptr<Timer> watchdog_;
    Timing timing_;
    SerialWriteListener *listener_ = nullptr;
    Frame ident_{};
    QString portName_;
    QString lastError_;
    bool open_ = false;
    bool linkUp_ = false;
    bool identOutstanding_ = false;
};

} // namespace talvir
