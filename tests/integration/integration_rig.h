// The configurator's real link stack (QSerialPort, QUdpSocket, QTimer) against a transceiver simulator
// in the same process: over a pseudo-terminal for USB, over loopback UDP for LAN. Each rig records
// what both sides did, with times on one clock.
#pragma once

#include "simulator/sim_test_util.h"

#include "core/variant.h"
#include "link/frames.h"
#include "link/lan_channel.h"
#include "link/lan_transfer.h"
#include "link/link_texts.h"
#include "link/serial_channel.h"
#include "link/serial_write.h"
#include "link/transceiver_link.h"
#include "sim/transceiver_sim.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QList>
#include <QRandomGenerator>
#include <QSocketNotifier>
#include <QTemporaryDir>

#include <fcntl.h>
#include <optional>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace integ {

using namespace talvir;
using simtest::pumpFor;
using simtest::pumpUntil;

using testsupport::randomImage;

// One write frame per image byte, in address order, as the configuration writer queues them.
inline SendList sendListFor(const QByteArray &image)
{
    SendList list;
    for (int a = 0; a < image.size(); ++a)
        list.queueWriteFrame(std::uint16_t(a), static_cast<unsigned char>(image.at(a)));
    return list;
}

// A frame as the simulator judged it, with the time it arrived.
struct SeenFrame {
    qint64 ms = 0;
    Frame frame{};
    int reply = -1; // -1: not answered
    bool isWrite() const { return frame[0] == 0x3B; }
    bool isIdent() const { return frame[0] == 0x23; }
};

// The configurator's link object on real transports and timers, its channels and machines at hand.
struct LinkStack {
    LinkStack(const Variant &v, const Timing &t)
        : variant(v),
          timing(t),
          transceiver(variant, timing),
          serial(transceiver.serialChannel()),
          lan(transceiver.lanChannel()),
          serialWrite(transceiver.serialWrite()),
          lanTransfer(transceiver.lanTransfer())
    {
        clock.start();
        QObject::connect(&serial, &SerialChannel::linkUp, [this] { ++linkUps; });
        QObject::connect(&serial, &SerialChannel::linkLost, [this] { linkLostAt.append(clock.elapsed()); });
        QObject::connect(&serial, &SerialChannel::portLost, [this](const QString &) { ++portLosses; });
        QObject::connect(&serial, &SerialChannel::storeFailed, [this] { ++storeFailures; });
        QObject::connect(&transceiver, &TransceiverLink::progressChanged, [this](int p) { progress.append(p); });
        QObject::connect(&transceiver, &TransceiverLink::finished, [this](const TransferResult &r) {
            if (r.kind == TransferKind::Read) {
                ++readsFinished;
                readResult = r;
                return;
            }
            ++writesFinished;
            writeResult = r;
            if (onWriteFinished)
                onWriteFinished();
        });
    }

    bool waitWriteFinished(int timeoutMs) { return pumpUntil([this] { return writesFinished > 0; }, timeoutMs); }
    bool waitReadFinished(int timeoutMs) { return pumpUntil([this] { return readsFinished > 0; }, timeoutMs); }

    // Starts a serial write as soon as the link is up: on a loaded machine the 110 ms keep-alive may
    // lapse for a moment, and the write waits for the next acknowledgement as the technician would.
    bool startSerialWrite(const SendList &list, const QString &number, int timeoutMs = 5000)
    {
        factoryNumber = number;
        bool started = false;
        pumpUntil([&] { return (started = serialWrite.start(list)); }, timeoutMs);
        return started;
    }
    bool startLanWrite(const QByteArray &image, const QString &number)
    {
        factoryNumber = number;
        return lanTransfer.startWrite(image);
    }
    // What the technician is told of a transfer's end.
    UserMessage said(const TransferResult &r) const { return linktext::transferMessage(r, factoryNumber); }

    const Variant &variant;
    Timing timing;
    QElapsedTimer clock;
    TransceiverLink transceiver;
    SerialChannel &serial;
    LanChannel &lan;
    SerialWrite &serialWrite;
    LanTransfer &lanTransfer;
    QString factoryNumber;

    int linkUps = 0;
    QList<qint64> linkLostAt;
    int portLosses = 0;
    int storeFailures = 0;
    QList<int> progress;
    int writesFinished = 0;
    int readsFinished = 0;
    std::optional<TransferResult> writeResult;
    std::optional<TransferResult> readResult;
    std::function<void()> onWriteFinished;
};

// USB: the simulator serves a pseudo-terminal, the configurator opens its slave like any port.
struct SerialRig {
    SerialRig(const Variant &v, const Timing &t = Timing(), SimSettings s = SimSettings())
        : sim((s.variant = v.id, s)), link(v, t)
    {
        QObject::connect(&sim, &TransceiverSim::frameReceived, [this](const QByteArray &bytes, int reply) {
            SeenFrame f;
            f.ms = link.clock.elapsed();
            for (int i = 0; i < 6 && i < bytes.size(); ++i)
                f.frame[std::size_t(i)] = static_cast<unsigned char>(bytes.at(i));
            f.reply = reply;
            frames.append(f);
        });
    }

    // Pseudo-terminal up, port open, identification sent.
    bool start(QString *error)
    {
        if (!sim.startSerialPty(dir.filePath(QStringLiteral("ttyTalvir")), error))
            return false;
        if (!link.serial.open(sim.serialDevicePath())) {
            *error = link.serial.lastError();
            return false;
        }
        return true;
    }
    bool waitLinkUp(int timeoutMs = 3000)
    {
        return pumpUntil([this] { return link.serial.isLinkUp(); }, timeoutMs);
    }

    QList<SeenFrame> writeFramesSeen() const
    {
        QList<SeenFrame> out;
        for (const SeenFrame &f : frames)
            if (f.isWrite())
                out.append(f);
        return out;
    }

    QTemporaryDir dir;
    TransceiverSim sim;
    LinkStack link;
    QList<SeenFrame> frames;
};

// LAN: the simulator on 127.0.0.2 at a free port, the configurator on 127.0.0.1 at a free port, so that
// rigs of tests running side by side never meet.
struct LanRig {
    LanRig(const Variant &v, const Timing &t, SimSettings s = SimSettings()) : sim((s.variant = v.id, s)), link(v, t)
    {
        QObject::connect(&link.lan, &LanChannel::connectFinished, [this](bool ok) { connectResults.append(ok); });
        QObject::connect(&link.lan, &LanChannel::statusReceived,
                         [this](const LanStatus &st) { statuses.append(st); });
        QObject::connect(&sim, &TransceiverSim::datagramReceived, [this](const QByteArray &d) { seen.append(d); });
    }

    bool start(QString *error)
    {
        if (!sim.startUdp(QHostAddress(QStringLiteral("127.0.0.2")), 0, error))
            return false;
        link.lan.setLocalEndpoint(QHostAddress(QHostAddress::LocalHost), 0);
        link.lan.setRemotePort(sim.udpPort());
        return true;
    }
    // Connects with the address as the technician typed it and waits for the outcome.
    std::optional<bool> connect(const QString &typed = QStringLiteral("127.0.0.2"), int timeoutMs = 5000)
    {
        const qsizetype before = connectResults.size();
        if (!link.lan.connectTo(typed))
            return std::nullopt;
        if (!pumpUntil([&] { return connectResults.size() > before; }, timeoutMs))
            return std::nullopt;
        return connectResults.last();
    }
    int seenCount(const QByteArray &d) const { return int(seen.count(d)); }

    TransceiverSim sim;
    LinkStack link;
    QList<bool> connectResults;
    QList<LanStatus> statuses;
    QList<QByteArray> seen; // every datagram the simulator received, dropped ones included
};

// The far side of a pseudo-terminal played by the test itself, byte by byte: for replies the
// simulator would never send together.
class PtyPeer {
public:
    PtyPeer()
    {
        int slave = -1;
        char name[256] = {};
        if (::openpty(&master_, &slave, name, nullptr, nullptr) != 0)
            return;
        termios t{};
        tcgetattr(slave, &t);
        cfmakeraw(&t);
        tcsetattr(slave, TCSANOW, &t);
        // Held open so that the master never reads EIO while the configurator has the port closed.
        slave_ = slave;
        fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
        slavePath_ = QString::fromLocal8Bit(name);
        notifier_ = std::make_unique<QSocketNotifier>(master_, QSocketNotifier::Read);
        QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { drain(); });
    }
    ~PtyPeer()
    {
        notifier_.reset();
        if (master_ >= 0)
            ::close(master_);
        if (slave_ >= 0)
            ::close(slave_);
    }
    QString slavePath() const { return slavePath_; }
    // The line settings of the terminal, as whoever opens the slave finds and leaves them.
    termios lineSettings() const
    {
        termios t{};
        tcgetattr(slave_, &t);
        return t;
    }
    bool setLineSettings(const termios &t) const { return tcsetattr(slave_, TCSANOW, &t) == 0; }

    // All bytes in one write, so that the configurator finds them waiting together.
    bool write(const QByteArray &bytes) const
    {
        return ::write(master_, bytes.constData(), std::size_t(bytes.size())) == bytes.size();
    }
    // Waits for n bytes from the configurator and takes them; fewer when the time ran out.
    QByteArray take(int n, int timeoutMs = 2000)
    {
        pumpUntil([&] { return received_.size() >= n; }, timeoutMs);
        drain();
        const QByteArray out = received_.left(n);
        received_.remove(0, out.size());
        return out;
    }
    // Whatever came within ms.
    QByteArray takeAll(int ms)
    {
        pumpFor(ms);
        drain();
        const QByteArray out = received_;
        received_.clear();
        return out;
    }

private:
    void drain()
    {
        char buf[512];
        ssize_t n;
        while (master_ >= 0 && (n = ::read(master_, buf, sizeof buf)) > 0)
            received_.append(buf, n);
    }

    int master_ = -1;
    int slave_ = -1;
    QString slavePath_;
    std::unique_ptr<QSocketNotifier> notifier_;
    QByteArray received_;
};

} // namespace integ
