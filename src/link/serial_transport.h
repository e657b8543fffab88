// The byte pipe under the serial channel: open a port by name, send whole blocks, read what waits,
// hear about arrivals and about the port going away. QtSerialTransport is the real one.
#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>

class QSerialPort;

namespace talvir {

enum class SerialError {
    ReadError,     // the far side vanished (a closed pseudo-terminal, a pulled USB cable)
    ResourceError, // the device was removed
};

class SerialTransport {
public:
    // The output buffer of the port; a frame is handed over only when it fits whole.
    static constexpr int kBufferSize = 4096;

    virtual ~SerialTransport() = default;

    // Opens at 115200 baud, 8 data bits, no parity, 1 stop bit, no flow control. On failure returns
    // false and puts the reason into *error.
    virtual bool open(const QString &portName, QString *error) = 0;
    virtual bool isOpen() const = 0;
    virtual void close() = 0;
    // True when n more bytes fit into the output buffer at once.
    virtual bool canTake(int n) const = 0;
    // Hands the bytes to the port; true when all of them were accepted.
    virtual bool send(const QByteArray &bytes) = 0;
    // Every byte waiting in the input buffer.
    virtual QByteArray readAll() = 0;

    // Bytes are waiting. The handler decides whether to read them.
    std::function<void()> onBytesArrived;
    // The port was lost; it is closed already. Reported once per opening.
    std::function<void(SerialError, const QString &reason)> onError;
};

// QSerialPort underneath. A pseudo-terminal refuses DTR/RTS; that is not an error. When the far
// side of a pseudo-terminal closes, QSerialPort reports ReadError over and over: the port is closed
// once, from the event loop, and the loss is reported once.
class QtSerialTransport final : public SerialTransport {
public:
    QtSerialTransport();
    ~QtSerialTransport() override;

    bool open(const QString &portName, QString *error) override;
    bool isOpen() const override;
    void close() override;
    bool canTake(int n) const override;
    bool send(const QByteArray &bytes) override;
    QByteArray readAll() override;

private:
    void onPortError(int error);

    std::unique_ptr<QSerialPort> port_;
    bool lossPending_ = false;
    int opening_ = 0;
};

} // namespace talvir
