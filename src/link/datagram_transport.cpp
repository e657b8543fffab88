#include "datagram_transport.h"

#include <QNetworkDatagram>
#include <QUdpSocket>

namespace talvir {

QString senderText(const QHostAddress &address)
{
    bool isV4 = false;
    const quint32 v4 = address.toIPv4Address(&isV4);
    return isV4 ? QHostAddress(v4).toString() : address.toString();
}

QtDatagramTransport::QtDatagramTransport() : socket_(std::make_unique<QUdpSocket>())
{
    QObject::connect(socket_.get(), &QUdpSocket::readyRead, socket_.get(), [this] { readPending(); });
}

QtDatagramTransport::~QtDatagramTransport()
{
    onDatagram = nullptr;
    socket_->disconnect();
}

bool QtDatagramTransport::bind(const QHostAddress &address, quint16 port, QString *error)
{
    if (socket_->state() == QAbstractSocket::BoundState)
        socket_->close();
    // Linux shares a port only among sockets that all ask for it, and delivers a datagram to the most
    // specific bound address: a simulator on 127.0.0.2:9999 can run beside us. On Windows the reuse
    // hint would let us take over a port another program already holds, splitting its answers.
#ifdef Q_OS_WIN
    const QUdpSocket::BindMode mode = QUdpSocket::ShareAddress;
#else
    const QUdpSocket::BindMode mode = QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint;
#endif
    if (!socket_->bind(address, port, mode)) {
        if (error)
            *error = socket_->errorString();
        return false;
    }
    return true;
}

bool QtDatagramTransport::isBound() const { return socket_->state() == QAbstractSocket::BoundState; }

quint16 QtDatagramTransport::localPort() const { return socket_->localPort(); }

bool QtDatagramTransport::sendTo(const QByteArray &bytes, const QHostAddress &host, quint16 port)
{
    return socket_->writeDatagram(bytes, host, port) == bytes.size();
}

void QtDatagramTransport::readPending()
{
    while (socket_->hasPendingDatagrams()) {
        // Read whole, whatever its length: the channel decides what an oversized datagram means.
        const QNetworkDatagram d = socket_->receiveDatagram();
        if (!d.isValid())
            break;
        if (onDatagram)
            onDatagram(d.data(), senderText(d.senderAddress()), quint16(d.senderPort()));
    }
}

} // namespace talvir
