#include "serial_transport.h"

#include <QMetaObject>
#include <QSerialPort>

namespace talvir {

QtSerialTransport::QtSerialTransport() : port_(std::make_unique<QSerialPort>())
{
    QObject::connect(port_.get(), &QSerialPort::readyRead, port_.get(), [this] {
        if (onBytesArrived)
            onBytesArrived();
    });
    QObject::connect(port_.get(), &QSerialPort::errorOccurred, port_.get(),
                     [this](QSerialPort::SerialPortError e) { onPortError(int(e)); });
}

QtSerialTransport::~QtSerialTransport()
{
    // No loss report from a port that is being torn down.
    onBytesArrived = nullptr;
    onError = nullptr;
    port_->disconnect();
    if (port_->isOpen())
        port_->close();
}

bool QtSerialTransport::open(const QString &portName, QString *error)
{
    if (port_->isOpen())
        port_->close();
    lossPending_ = false;
    ++opening_;
    port_->setPortName(portName);
    port_->setBaudRate(QSerialPort::Baud115200);
    port_->setDataBits(QSerialPort::Data8);
    port_->setParity(QSerialPort::NoParity);
    port_->setStopBits(QSerialPort::OneStop);
    port_->setFlowControl(QSerialPort::NoFlowControl);
    port_->setReadBufferSize(kBufferSize);
    if (!port_->open(QIODevice::ReadWrite)) {
        if (error)
            *error = port_->errorString();
        port_->clearError();
        return false;
    }
    // USB serial adapters of the transceiver want DTR; a pseudo-terminal refuses it, which is fine.
    port_->setDataTerminalReady(true);
    port_->clearError();
    return true;
}

bool QtSerialTransport::isOpen() const { return port_->isOpen(); }

void QtSerialTransport::close()
{
    if (port_->isOpen())
        port_->close();
}

bool QtSerialTransport::canTake(int n) const
{
    return port_->isOpen() && port_->bytesToWrite() + n <= kBufferSize;
}

bool QtSerialTransport::send(const QByteArray &bytes)
{
    if (!port_->isOpen())
        return false;
    return port_->write(bytes) == bytes.size();
}

QByteArray QtSerialTransport::readAll() { return port_->isOpen() ? port_->readAll() : QByteArray(); }

void QtSerialTransport::onPortError(int error)
{
    const auto e = QSerialPort::SerialPortError(error);
    if (e != QSerialPort::ReadError && e != QSerialPort::ResourceError) {
        // DTR/RTS on a pseudo-terminal (UnsupportedOperationError) and the like: nothing is lost.
        return;
    }
    if (lossPending_ || !port_->isOpen())
        return;
    lossPending_ = true;
    const SerialError kind = e == QSerialPort::ReadError ? SerialError::ReadError : SerialError::ResourceError;
    const QString reason = port_->errorString();
    // Closing inside the error signal would run while QSerialPort is still in its read notifier.
    QMetaObject::invokeMethod(
        port_.get(),
        [this, kind, reason, opening = opening_] {
            if (opening != opening_)
                return; // the port was opened again meanwhile; that opening is not lost
            if (port_->isOpen())
                port_->close();
            port_->clearError();
            if (onError)
                onError(kind, reason);
        },
        Qt::QueuedConnection);
}

} // namespace talvir
