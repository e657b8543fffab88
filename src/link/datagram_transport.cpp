#include "datagram_transport.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QNetworkDatagram>
#include <QUdpSocket>

namespace talvir {

QString senderText(const QHostAddress &address)
{
    bool isV4 = false;
    const quint32 v4 = address.toIPv4Address(&isV4);
    return isV4 ? QHostAddress(v4).toString() : address.toString();
}

namespace {

QString ownerLockPath(const QHostAddress &address, quint16 port)
{
    QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QDir::tempPath();
    QString name = address.toString();
    name.replace(QLatin1Char(':'), QLatin1Char('_'));
    return QStringLiteral("%1/talvir-udp-%2-%3.lock").arg(folder, name).arg(port);
}

} // namespace

QtDatagramTransport::QtDatagramTransport(Owner owner) : owner_(owner), socket_(std::make_unique<QUdpSocket>())
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
    if (!takeOwnership(address, port, error))
        return false;
    if (!socket_->bind(address, port, mode)) {
        if (error)
            *error = socket_->errorString();
        ownerLock_.reset();
        return false;
    }
    return true;
}

bool QtDatagramTransport::takeOwnership(const QHostAddress &address, quint16 port, QString *error)
{
    ownerLock_.reset();
    if (owner_ == Owner::Shared || port == 0)
        return true;
    auto lock = std::make_unique<QLockFile>(ownerLockPath(address, port));
    lock->setStaleLockTime(0); // stale only when its program is gone, however old
    if (lock->tryLock(0)) {
        ownerLock_ = std::move(lock);
        return true;
    }
    qint64 pid = 0;
    QString host, program;
    if (error) {
        if (lock->error() == QLockFile::LockFailedError && lock->getLockInfo(&pid, &host, &program))
            *error = QStringLiteral("port %1 is used by %2 (PID %3)").arg(port).arg(program).arg(pid);
        else
            *error = QStringLiteral("port %1: the lock %2 cannot be taken").arg(port).arg(lock->fileName());
    }
    return false;
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
