#include "serial_link_harness.h"

#include "fuzz_require.h"
#include "fuzz_script.h"
#include "link/frames.h"
#include "link/lan_channel.h"
#include "link/serial_channel.h"
#include "link/link_texts.h"
#include "link/serial_write.h"
#include "support/fake_link.h"
#include "support/fake_timer.h"
#include "support/fake_transports.h"

#include <algorithm>
#include <memory>

namespace talvir {

namespace {

constexpr int kMaxEvents = 400;
// The frame retry runs every 10 ms while the port is full: two minutes keep an input's work bounded.
constexpr qint64 kMaxClockMs = 2 * 60 * 1000;
const QString kPortName = QStringLiteral("/dev/ttyFAKE");

class SerialRig {
public:
    SerialRig()
    {
        link_ = std::make_unique<TransceiverLink>(Variant::mxr600r(), timing_, fakeLinkParts(clock_, &port_, &udp_));
        serial_ = &link_->serialChannel();
        engine_ = &link_->serialWrite();
        QObject::connect(serial_, &SerialChannel::linkUp, [this] { linkUp_ = true; });
        QObject::connect(serial_, &SerialChannel::linkLost, [this] { linkUp_ = false; });
        QObject::connect(serial_, &SerialChannel::typeRejected, [this] { portGone(); });
        QObject::connect(serial_, &SerialChannel::portLost, [this] { portGone(); });
        // In a write 0x25 ends the write, whose result tells it; the signal is for 0x25 outside one.
        QObject::connect(serial_, &SerialChannel::storeFailed, [this] { FUZZ_REQUIRE(!writing_); });
        QObject::connect(engine_, &SerialWrite::progressChanged, [](int p) { FUZZ_REQUIRE(p >= 0 && p <= 100); });
        QObject::connect(engine_, &SerialWrite::writeFinished, [this](const TransferResult &r) { onFinished(r); });
    }
    ~SerialRig()
    {
        link_.reset();
    }

    void play(FuzzScript &script)
    {
        open();
        for (int event = 0; event < kMaxEvents && !script.atEnd(); ++event) {
            const unsigned char op = script.byte();
            const int arg = op >> 3;
            switch (op & 7) {
            case 0:
                feed(script.bytes(std::size_t(arg & 7) + 1));
                break;
            case 1:
                for (int n = 0; n <= (arg & 15); ++n)
                    feed(QByteArray(1, '\x01'));
                break;
            case 2:
                advance(qint64(script.byte()) * 20 + arg);
                break;
            case 3:
                startWrite(arg);
                break;
            case 4:
                if (port_->isOpen()) {
                    port_->lose();
                    drainSent();
                }
                break;
            case 5:
                if (arg & 1)
                    close();
                else if (!port_->isOpen())
                    open();
                break;
            case 6:
                feed(QByteArray(1, '\x15'));
                break;
            default:
                // The port's output buffer fills up, or drains.
                port_->queuedOut = arg & 1 ? SerialTransport::kBufferSize : 0;
                break;
            }
        }
    }

private:
    void open()
    {
        FUZZ_REQUIRE(serial_->open(kPortName));
        linkUp_ = false;
        outstanding_.clear();
        drainSent();
    }

    void close()
    {
        abandonAllowed_ = true;
        serial_->close();
        abandonAllowed_ = false;
        portGone();
    }

    void portGone()
    {
        linkUp_ = false;
        outstanding_.clear();
    }

    void feed(const QByteArray &bytes)
    {
        // An open port is read at once; what it brings answers whatever was outstanding. Counted before
        // the channel sees it, since the last acknowledgement ends the write inside feed().
        if (bytes.isEmpty())
            return;
        const int reads = port_->reads;
        const bool read = port_->isOpen();
        if (read) {
            outstanding_.clear();
            if (writing_) {
                lastReply_ = clock_.now();
                acks_ += bytes.back() == '\x01' ? 1 : 0;
            }
        }
        // The type rejected (the last byte counts): the port closes under the write.
        abandonAllowed_ = read && bytes.back() == '\x02';
        port_->feed(bytes);
        abandonAllowed_ = false;
        FUZZ_REQUIRE(read == (port_->reads != reads));
        drainSent();
    }

    void advance(qint64 ms)
    {
        if (clock_.now() + ms > kMaxClockMs)
            return;
        clock_.advance(ms);
        drainSent();
        // A transceiver that stays silent ends the write.
        FUZZ_REQUIRE(!writing_ || clock_.now() - lastReply_ <= timing_.serialWriteSilenceMs);
    }

    void startWrite(int arg)
    {
        const int count = (arg & 15) + 1;
        const std::uint16_t base = std::uint16_t(arg * 977); // well inside 16 bits: no address wraps
        SendList list;
        for (int i = 0; i < count; ++i)
            list.queueWriteFrame(std::uint16_t(base + i), static_cast<unsigned char>(arg + i));
        const bool ready = !writing_ && port_->isOpen() && linkUp_;
        const bool started = engine_->start(list);
        FUZZ_REQUIRE(started == ready);
        if (!started)
            return;
        FUZZ_REQUIRE(engine_->busy() && engine_->progress() <= 100);
        writing_ = true;
        list_ = list;
        listBase_ = base;
        sentUpTo_ = -1;
        acks_ = 0;
        lastReply_ = clock_.now();
        drainSent();
    }

    // Identification frames at any time; write frames only during a write, each the frame sent last
    // or the next one of the list; never a frame while another one waits for its answer.
    void drainSent()
    {
        for (const QByteArray &b : std::as_const(port_->sent)) {
            FUZZ_REQUIRE(b.size() == 6);
            if (b == frameBytes(identificationFrame())) {
                FUZZ_REQUIRE(!writing_ || outstanding_.isEmpty() || outstanding_ == b);
            } else {
                FUZZ_REQUIRE(writing_ && (outstanding_.isEmpty() || outstanding_ == b));
                // The list's addresses run from listBase_ up, one frame each.
                const int j = (static_cast<unsigned char>(b.at(1)) | static_cast<unsigned char>(b.at(2)) << 8) - listBase_;
                FUZZ_REQUIRE(j >= 0 && j < list_.size() && b == frameBytes(list_.at(j)));
                FUZZ_REQUIRE(j == std::max(sentUpTo_, 0) || j == sentUpTo_ + 1);
                sentUpTo_ = j;
            }
            outstanding_ = b;
        }
        port_->sent.clear();
    }

    void onFinished(const TransferResult &r)
    {
        drainSent(); // what went out before the end belongs to the write
        FUZZ_REQUIRE(writing_ && !engine_->busy() && r.channel == TransferChannel::Serial);
        writing_ = false;
        outstanding_.clear();
        switch (r.outcome) {
        case TransferOutcome::Succeeded:
            // Every frame went out in order and each was acknowledged, frame 0 twice.
            FUZZ_REQUIRE(!linktext::transferMessage(r, QStringLiteral("7")).isEmpty());
            FUZZ_REQUIRE(sentUpTo_ == list_.size() - 1 && acks_ >= list_.size() + 1);
            break;
        case TransferOutcome::StoreFailed:
            FUZZ_REQUIRE(linktext::transferMessage(r, QString()) == linktext::storeFailed());
            break;
        case TransferOutcome::NoAnswer:
        case TransferOutcome::PortLost:
            FUZZ_REQUIRE(!linktext::transferMessage(r, QStringLiteral("7")).isEmpty());
            break;
        case TransferOutcome::Abandoned:
            FUZZ_REQUIRE(abandonAllowed_ && linktext::transferMessage(r, QString()) == linktext::transferAbandoned());
            break;
        default:
            FUZZ_REQUIRE(!"an outcome this transfer cannot have");
        }
    }

    FakeClock clock_; // outlives the timers of the objects below
    Timing timing_;
    FakeSerialTransport *port_ = nullptr;
    FakeDatagramTransport *udp_ = nullptr;
    std::unique_ptr<TransceiverLink> link_;
    SerialChannel *serial_ = nullptr;
    SerialWrite *engine_ = nullptr;

    bool linkUp_ = false;
    bool writing_ = false;
    bool abandonAllowed_ = false;
    QByteArray outstanding_;
    SendList list_;
    int listBase_ = 0;
    int sentUpTo_ = -1;
    int acks_ = 0;
    qint64 lastReply_ = 0;
};

} // namespace

int fuzzSerialLink(const std::uint8_t *data, std::size_t size)
{
    FuzzScript script(data, size);
    SerialRig rig;
    rig.play(script);
    return 0;
}

} // namespace talvir
