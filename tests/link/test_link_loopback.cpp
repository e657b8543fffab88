// The real transports: QSerialPort on a pseudo-terminal and QUdpSocket on loopback, with real timers
// (shortened where the protocol's own would make the run slow).
#include "core/variant.h"
#include "link/datagram_transport.h"
#include "link/lan_channel.h"
#include "link/serial_channel.h"
#include "link/serial_transport.h"
#include "link/lan_transfer.h"
#include "link/serial_write.h"
#include "link/transceiver_link.h"

#include <QSignalSpy>
#include <QSocketNotifier>
#include <QUdpSocket>
#include <QtTest>

#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

using namespace talvir;

namespace {

// The far side of a pseudo-terminal: the test plays the transceiver on the master.
struct Pty {
    int master = -1;
    QString slavePath;
    Pty()
    {
        int slave = -1;
        char name[256] = {};
        if (openpty(&master, &slave, name, nullptr, nullptr) != 0)
            return;
        termios t{};
        tcgetattr(master, &t);
        cfmakeraw(&t);
        tcsetattr(master, TCSANOW, &t);
        ::close(slave); // the configurator opens it by path
        fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
        slavePath = QString::fromLocal8Bit(name);
    }
    ~Pty() { closeMaster(); }
    void closeMaster()
    {
        if (master >= 0)
            ::close(master);
        master = -1;
    }
    void write(const QByteArray &b) const { QCOMPARE(::write(master, b.constData(), size_t(b.size())), ssize_t(b.size())); }
    QByteArray readAvailable() const
    {
        QByteArray out;
        char buf[4096];
        for (;;) {
            const ssize_t n = ::read(master, buf, sizeof buf);
            if (n <= 0)
                break;
            out.append(buf, int(n));
        }
        return out;
    }
    // Waits until n bytes came from the configurator.
    QByteArray readExactly(int n, int timeoutMs = 3000) const
    {
        QByteArray out;
        QElapsedTimer t;
        t.start();
        while (out.size() < n && t.elapsed() < timeoutMs) {
            out += readAvailable();
            if (out.size() < n)
                QTest::qWait(5);
        }
        return out;
    }
};

// A transceiver on loopback that answers the LAN protocol and keeps what is written.
class LoopbackTransceiver : public QObject {
public:
    explicit LoopbackTransceiver(const Variant &v) : variant_(v), memory_(v.imageSize(), '\0')
    {
        socket_.bind(QHostAddress::LocalHost, 0);
        connect(&socket_, &QUdpSocket::readyRead, this, [this] {
            while (socket_.hasPendingDatagrams()) {
                QHostAddress from;
                quint16 port = 0;
                QByteArray d(int(socket_.pendingDatagramSize()), '\0');
                socket_.readDatagram(d.data(), d.size(), &from, &port);
                peer_ = from;
                peerPort_ = port;
                onDatagram(d);
            }
        });
    }
    quint16 port() const { return socket_.localPort(); }
    QByteArray memory_;
    QStringList log;

private:
    void answer(const QByteArray &d) { socket_.writeDatagram(d, peer_, peerPort_); }
    QByteArray readBlock(int index, const QByteArray &data)
    {
        QByteArray b("AT+RDY0=");
        b.append(char(data.size() >> 8)).append(char(data.size() & 0xFF)).append('\0').append(char(index));
        return b + data;
    }
    void onDatagram(const QByteArray &d)
    {
        log.append(QString::fromLatin1(d.left(9)));
        const int blocks = variant_.objectBlocks();
        if (d == "AT+CONFIG") {
            answer(writing_ ? QByteArray("GOOD") : QByteArray("OK"));
            writing_ = false;
        } else if (d == "AT+DATF") {
            writing_ = true;
            answer("READY");
        } else if (d.startsWith("AT+FPD0=") && d.size() == 247) {
            memory_.replace((static_cast<unsigned char>(d.at(11)) - 1) * 235, 235, d.mid(12));
            answer("OK");
        } else if (d.startsWith("AT+FPD0=") && d.size() == 434) {
            memory_.replace(variant_.settingsBase(), 422, d.mid(12));
            answer("OK");
        } else if (d == "AT+READF") {
            next_ = 0;
            answer(readBlock(0, memory_.mid(0, 235)));
        } else if (d == "AT+RDY0" && next_ >= 0) {
            ++next_;
            if (next_ < blocks)
                answer(readBlock(next_, memory_.mid(next_ * 235, 235)));
            else if (next_ == blocks)
                answer(readBlock(blocks, memory_.mid(variant_.settingsBase(), 422)));
            else {
                answer("AT+RDYE");
                next_ = -1;
            }
        }
    }

    const Variant &variant_;
    QUdpSocket socket_;
    QHostAddress peer_;
    quint16 peerPort_ = 0;
    bool writing_ = false;
    int next_ = -1;
};

} // namespace

class TestLinkLoopback : public QObject {
    Q_OBJECT
private slots:
    void ptyFarSideClosingIsReportedOnce()
    {
        Pty pty;
        QVERIFY(!pty.slavePath.isEmpty());
        QtSerialTransport port;
        int errors = 0, arrivals = 0;
        port.onError = [&](SerialError, const QString &) { ++errors; };
        port.onBytesArrived = [&] { ++arrivals; };
        QString error;
        QVERIFY2(port.open(pty.slavePath, &error), qPrintable(error));
        QVERIFY(port.canTake(6));
        QVERIFY(port.send(QByteArray::fromHex("23010101B8B2")));
        QCOMPARE(pty.readExactly(6), QByteArray::fromHex("23010101B8B2"));
        pty.write(QByteArray::fromHex("151501"));
        QTRY_VERIFY(arrivals > 0);
        QByteArray got;
        QTRY_COMPARE((got += port.readAll()), QByteArray::fromHex("151501"));

        pty.closeMaster();
        QTRY_COMPARE(errors, 1);
        QVERIFY(!port.isOpen());
        QTest::qWait(200);
        QCOMPARE(errors, 1);
    }

    void serialWriteOverPty()
    {
        Pty pty;
        QVERIFY(!pty.slavePath.isEmpty());
        // The transceiver acknowledges every whole frame.
        QByteArray pending, received;
        QSocketNotifier notifier(pty.master, QSocketNotifier::Read);
        connect(&notifier, &QSocketNotifier::activated, this, [&] {
            const QByteArray in = pty.readAvailable();
            received += in;
            pending += in;
            while (pending.size() >= 6) {
                pending.remove(0, 6);
                pty.write(QByteArray(1, '\x01'));
            }
        });

        const Variant &v = Variant::mxrDuziv();
        const Timing timing;
        TransceiverLink link(v, timing);
        SerialChannel &serial = link.serialChannel();
        QSignalSpy up(&serial, &SerialChannel::linkUp);
        QSignalSpy finished(&link.serialWrite(), &SerialWrite::writeFinished);
        QVERIFY(serial.open(pty.slavePath));
        QVERIFY(up.wait(3000));

        SendList list;
        for (int a = 0; a < 200; ++a)
            list.queueWriteFrame(std::uint16_t(a), static_cast<unsigned char>(a ^ 0x5A));
        // A loaded machine may let the 110 ms keep-alive lapse for a moment; the write waits for the link.
        bool started = false;
        QTRY_VERIFY_WITH_TIMEOUT(started || (started = link.serialWrite().start(list)), 3000);
        QVERIFY(finished.wait(10000));
        QCOMPARE(finished.at(0).at(0).value<TransferResult>().outcome, TransferOutcome::Succeeded);

        // Every write frame arrived whole, in order.
        int nextAddress = 0;
        for (int i = 0; i + 6 <= received.size(); i += 6) {
            const Frame f{static_cast<unsigned char>(received[i]), static_cast<unsigned char>(received[i + 1]),
                          static_cast<unsigned char>(received[i + 2]), static_cast<unsigned char>(received[i + 3]),
                          static_cast<unsigned char>(received[i + 4]), static_cast<unsigned char>(received[i + 5])};
            QVERIFY(frameCrcValid(f));
            if (f[0] != 0x3B)
                continue;
            QVERIFY(frameAddress(f) <= nextAddress);
            if (frameAddress(f) == nextAddress) {
                QCOMPARE(int(frameData(f)), nextAddress ^ 0x5A);
                ++nextAddress;
            }
        }
        QCOMPARE(nextAddress, 200);
        // The keep-alive takes over again.
        QVERIFY(up.wait(3000));
    }

    void lanWriteAndReadBackOverLoopback()
    {
        const Variant &v = Variant::mxrDuziv();
        Timing timing;
        timing.pollMs = 50;
        timing.connectPassMs = 100;
        LoopbackTransceiver transceiver(v);
        QVERIFY(transceiver.port() != 0);

        LinkParts parts = LinkParts::real();
        parts.lanLocalAddress = QHostAddress(QHostAddress::LocalHost);
        parts.lanLocalPort = 0;
        parts.lanRemotePort = transceiver.port();
        TransceiverLink link(v, timing, parts);
        LanChannel &lan = link.lanChannel();
        LanTransfer &engine = link.lanTransfer();
        QSignalSpy connected(&lan, &LanChannel::connectFinished);
        QVERIFY(lan.connectTo(QStringLiteral("127.0.0.1")));
        QVERIFY(connected.wait(3000));
        QCOMPARE(connected.at(0).at(0).toBool(), true);

        QByteArray image(v.imageSize(), '\0');
        for (int i = 0; i < image.size(); ++i)
            image[i] = char((i * 131 + 7) & 0xFF);
        QSignalSpy wrote(&engine, &LanTransfer::writeFinished);
        QVERIFY(engine.startWrite(image));
        QVERIFY(wrote.wait(10000));
        QCOMPARE(wrote.at(0).at(0).value<TransferResult>().outcome, TransferOutcome::Succeeded);
        QCOMPARE(transceiver.memory_, image);
        QVERIFY(transceiver.log.contains(QStringLiteral("AT+FPDE")));

        QSignalSpy read(&engine, &LanTransfer::readFinished);
        QVERIFY(engine.startRead());
        QVERIFY(read.wait(10000));
        QCOMPARE(read.at(0).at(0).value<TransferResult>().outcome, TransferOutcome::Succeeded);
        QCOMPARE(engine.readImage(), image);
        QCOMPARE(engine.bytesDone(), 14522);
    }

    void boundPortReported()
    {
        QUdpSocket holder;
        QVERIFY(holder.bind(QHostAddress::LocalHost, 0, QUdpSocket::DontShareAddress));
        const quint16 taken = holder.localPort();
        LinkParts parts = LinkParts::real();
        parts.lanLocalAddress = QHostAddress(QHostAddress::LocalHost);
        parts.lanLocalPort = taken;
        TransceiverLink link(Variant::mxr600r(), Timing{}, parts);
        LanChannel &lan = link.lanChannel();
        QVERIFY(!lan.bind());
        QVERIFY2(lan.lastError().contains(QString::number(taken)), qPrintable(lan.lastError()));
        QVERIFY(!lan.connectTo(QStringLiteral("127.0.0.1")));
        QVERIFY(!lan.isPolling());
    }
};

QTEST_GUILESS_MAIN(TestLinkLoopback)
#include "test_link_loopback.moc"
