// Fake serial and datagram transports for unit tests: the test feeds bytes and datagrams in, reads
// what was sent, and injects failures.
#pragma once

#include "link/datagram_transport.h"
#include "link/serial_transport.h"

#include <QList>

namespace talvir {

class FakeSerialTransport final : public SerialTransport {
public:
    bool open(const QString &portName, QString *error) override
    {
        ++opens;
        if (!openError.isEmpty()) {
            if (error)
                *error = openError;
            return false;
        }
        open_ = true;
        this->portName = portName;
        return true;
    }
    bool isOpen() const override { return open_; }
    void close() override
    {
        if (open_)
            ++closes;
        open_ = false;
    }
    bool canTake(int n) const override { return open_ && queuedOut + n <= kBufferSize; }
    bool send(const QByteArray &bytes) override
    {
        if (!open_)
            return false;
        sent.append(bytes);
        return true;
    }
    QByteArray readAll() override
    {
        ++reads;
        QByteArray b = inbox;
        inbox.clear();
        return b;
    }

    // Bytes arrive from the transceiver in one burst.
    void feed(const QByteArray &bytes)
    {
        inbox.append(bytes);
        if (onBytesArrived)
            onBytesArrived();
    }
    // The port goes away as QtSerialTransport reports it: closed, then one report.
    void lose(SerialError e = SerialError::ReadError, const QString &reason = QStringLiteral("device gone"))
    {
        close();
        if (onError)
            onError(e, reason);
    }
    // Every block handed to the port, concatenated.
    QByteArray allSent() const
    {
        QByteArray all;
        for (const QByteArray &b : sent)
            all += b;
        return all;
    }

    QString openError;   // non-empty: open() fails with it
    QString portName;
    int queuedOut = 0;   // bytes still in the output buffer
    QByteArray inbox;
    QList<QByteArray> sent;
    int opens = 0, closes = 0, reads = 0;

private:
    bool open_ = false;
};

class FakeDatagramTransport final : public DatagramTransport {
public:
    struct Sent {
        QByteArray bytes;
        QHostAddress host;
        quint16 port;
    };

    bool bind(const QHostAddress &address, quint16 port, QString *error) override
    {
        ++binds;
        if (!bindError.isEmpty()) {
            if (error)
                *error = bindError;
            return false;
        }
        boundAddress = address;
        boundPort = port;
        bound_ = true;
        return true;
    }
    bool isBound() const override { return bound_; }
    quint16 localPort() const override { return boundPort; }
    bool sendTo(const QByteArray &bytes, const QHostAddress &host, quint16 port) override
    {
        sent.append({bytes, host, port});
        return true;
    }

    void deliver(const QByteArray &bytes, const QString &sender, quint16 senderPort = 9999)
    {
        if (onDatagram)
            onDatagram(bytes, sender, senderPort);
    }
    QList<QByteArray> sentBytes() const
    {
        QList<QByteArray> out;
        for (const Sent &s : sent)
            out.append(s.bytes);
        return out;
    }

    QString bindError;
    QHostAddress boundAddress;
    quint16 boundPort = 0;
    QList<Sent> sent;
    int binds = 0;

private:
    bool bound_ = false;
};

} // namespace talvir
