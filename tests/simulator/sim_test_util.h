// Clients for the simulator's two ends, as the configurator would use them: a raw descriptor on the
// pseudo-terminal and a UDP socket on loopback, plus images and configuration files to load.
#pragma once

#include "support/wait_util.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QNetworkDatagram>
#include <QSocketNotifier>
#include <QTimer>
#include <QUdpSocket>

#include <fcntl.h>
#include <functional>
#include <termios.h>
#include <unistd.h>

namespace simtest {

using testsupport::pumpFor;
using testsupport::pumpUntil;

// The configurator's end of the pseudo-terminal, as a raw descriptor.
class PtyClient {
public:
    ~PtyClient() { close(); }

    bool open(const QString &path)
    {
        fd_ = ::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (fd_ < 0)
            return false;
        termios t{};
        tcgetattr(fd_, &t);
        cfmakeraw(&t);
        tcsetattr(fd_, TCSANOW, &t);
        notifier_ = new QSocketNotifier(fd_, QSocketNotifier::Read);
        QObject::connect(notifier_, &QSocketNotifier::activated, notifier_, [this] { readAvailable(); });
        return true;
    }
    void close()
    {
        delete notifier_;
        notifier_ = nullptr;
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
    }
    bool write(const QByteArray &bytes)
    {
        return ::write(fd_, bytes.constData(), std::size_t(bytes.size())) == bytes.size();
    }
    // Waits for n bytes in total to have arrived; returns them all and forgets them.
    QByteArray read(int n, int timeoutMs = 3000)
    {
        pumpUntil([&] { return received_.size() >= n; }, timeoutMs);
        return take();
    }
    // Collects whatever arrives within ms.
    QByteArray collect(int ms)
    {
        pumpFor(ms);
        return take();
    }
    // One frame out, its reply byte back; -1 when none came.
    int transact(const QByteArray &frame, int timeoutMs = 3000)
    {
        if (!write(frame))
            return -1;
        if (!pumpUntil([&] { return !received_.isEmpty(); }, timeoutMs))
            return -1;
        const int b = static_cast<unsigned char>(received_.at(0));
        received_.remove(0, 1);
        return b;
    }
    QByteArray take()
    {
        readAvailable();
        QByteArray r = received_;
        received_.clear();
        return r;
    }

private:
    void readAvailable()
    {
        char buf[512];
        ssize_t n;
        while (fd_ >= 0 && (n = ::read(fd_, buf, sizeof buf)) > 0)
            received_.append(buf, n);
    }

    int fd_ = -1;
    QSocketNotifier *notifier_ = nullptr;
    QByteArray received_;
};

// The configurator's UDP end on loopback, any free port.
class UdpClient {
public:
    bool bind() { return sock_.bind(QHostAddress(QHostAddress::LocalHost), 0); }
    void setPeer(const QHostAddress &a, quint16 p)
    {
        peer_ = a;
        port_ = p;
    }
    void send(const QByteArray &d) { sock_.writeDatagram(d, peer_, port_); }
    // The next datagram from the simulator, skipping status datagrams when skipStatus; null when none.
    QByteArray receive(int timeoutMs = 3000, bool skipStatus = true)
    {
        QByteArray got;
        bool have = false;
        pumpUntil(
            [&] {
                while (sock_.hasPendingDatagrams()) {
                    const QNetworkDatagram d = sock_.receiveDatagram();
                    if (d.senderPort() != port_)
                        continue;
                    if (skipStatus && d.data().size() == 14)
                        continue;
                    got = d.data();
                    have = true;
                    return true;
                }
                return false;
            },
            timeoutMs);
        return have ? got : QByteArray();
    }
    QByteArray exchange(const QByteArray &d, int timeoutMs = 3000)
    {
        send(d);
        return receive(timeoutMs);
    }
    // Every datagram that arrives within ms.
    QList<QByteArray> collect(int ms)
    {
        QList<QByteArray> all;
        pumpUntil(
            [&] {
                while (sock_.hasPendingDatagrams())
                    all.append(sock_.receiveDatagram().data());
                return false;
            },
            ms);
        return all;
    }

private:
    QUdpSocket sock_;
    QHostAddress peer_;
    quint16 port_ = 0;
};

// A LAN write block: "AT+FPD0=", length high byte first, 0, block number, data.
inline QByteArray writeBlock(int number, const QByteArray &data)
{
    QByteArray b("AT+FPD0=");
    b.append(char(data.size() >> 8)).append(char(data.size() & 0xFF)).append('\0').append(char(number));
    return b + data;
}

// A memory image whose every byte tells its address apart from its neighbours.
inline QByteArray patternImage(int size, int seed = 7)
{
    QByteArray b(size, '\0');
    for (int i = 0; i < size; ++i)
        b[i] = char((i * 31 + seed + (i >> 8)) & 0xFF);
    return b;
}

inline bool writeFile(const QString &path, const QByteArray &data)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

inline QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace simtest
