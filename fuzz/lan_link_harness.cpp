#include "lan_link_harness.h"

#include "fuzz_require.h"
#include "fuzz_script.h"
#include "link/lan_channel.h"
#include "link/lan_datagrams.h"
#include "link/serial_channel.h"
#include "link/lan_transfer.h"
#include "link/link_texts.h"
#include "support/fake_link.h"
#include "support/fake_timer.h"
#include "support/fake_transports.h"

#include <QList>
#include <QVector>
#include <memory>

namespace talvir {

namespace {

constexpr int kMaxEvents = 400;
constexpr qint64 kMaxClockMs = 10 * 60 * 1000;
// Every wait of a LAN exchange ends within 19 retransmissions of 5 s; the answer guard adds 1 s.
constexpr qint64 kLongestSilenceMs = 19 * 5000 + 1000 + 5000;
// A connect gives up after 11 passes of 510 ms.
constexpr qint64 kLongestConnectMs = 11 * 510 + 510;

const QString kTransceiver = QStringLiteral("192.168.1.221");
// Senders of stray datagrams; the transceiver's own address is one while another text was typed.
const QString kOthers[] = {QStringLiteral("192.168.001.221"), QStringLiteral("10.0.0.1"), QStringLiteral("192.168.1.22"),
                           kTransceiver};
// Texts typed for a connect: the transceiver, the same with leading zeros (answers never match the
// text), two the window refuses, another address.
const QString kTyped[] = {kTransceiver, QStringLiteral("192.168.001.221"), QStringLiteral("0.0.0.0"),
                          QStringLiteral("абв"), QStringLiteral("10.0.0.1")};

class LanRig {
public:
    explicit LanRig(const Variant &variant) : variant_(variant), blocks_(variant.objectBlocks())
    {
        link_ = std::make_unique<TransceiverLink>(variant, timing_, fakeLinkParts(clock_, &port_, &udp_));
        lan_ = &link_->lanChannel();
        engine_ = &link_->lanTransfer();
        QObject::connect(lan_, &LanChannel::connectFinished, [this](bool ok) { onConnectFinished(ok); });
        QObject::connect(lan_, &LanChannel::statusReceived, [this](const LanStatus &s) { onStatus(s); });
        QObject::connect(engine_, &LanTransfer::progressChanged,
                         [](int p) { FUZZ_REQUIRE(p >= 0 && p <= 100); });
        QObject::connect(engine_, &LanTransfer::writeFinished, [this](const TransferResult &r) { onWriteFinished(r); });
        QObject::connect(engine_, &LanTransfer::readFinished, [this](const TransferResult &r) { onReadFinished(r); });
    }
    ~LanRig()
    {
        // The objects go in the order a window takes them down; none may report anything on the way.
        const int before = signals_;
        link_.reset();
        FUZZ_REQUIRE(signals_ == before);
    }

    void play(FuzzScript &script)
    {
        connectTo(0);
        for (int event = 0; event < kMaxEvents && !script.atEnd(); ++event) {
            const unsigned char op = script.byte();
            const int arg = op >> 4;
            switch (op & 0x0F) {
            case 0: case 1: case 2:
                fromTransceiver(datagram(script));
                break;
            case 3:
                fromOther(arg, datagram(script));
                break;
            case 4: case 5:
                advance(qint64(script.byte()) * 100 + arg);
                break;
            case 6:
                startWrite(script.byte());
                break;
            case 7:
                startRead();
                break;
            case 8: case 9: case 10: case 11:
                answer(arg);
                break;
            case 12:
                fromTransceiver(script.bytes(kStatusLength));
                break;
            case 13:
                if (running_ == Running::None)
                    connectTo(arg);
                break;
            default:
                // The transceiver sends one read block out of turn: the index from the script.
                fromTransceiver(readBlock(script.byte(), arg));
                break;
            }
        }
    }

private:
    enum class Running { None, Write, Read };

    // A length byte (255: two more bytes added, up to 765) and that many bytes.
    static QByteArray datagram(FuzzScript &script)
    {
        int length = script.byte();
        if (length == 255)
            length = 255 + script.byte() + script.byte();
        return script.bytes(std::size_t(length));
    }

    void connectTo(int choice)
    {
        const QString &typed = kTyped[choice % 5];
        const bool started = lan_->connectTo(typed);
        FUZZ_REQUIRE(started == (typed == kTransceiver || typed == kTyped[1] || typed == kTyped[4]));
        if (!started)
            return;
        address_ = typed;
        remote_ = QHostAddress(typed == kTyped[4] ? typed : kTransceiver);
        linkUp_ = false;
        connecting_ = true;
        connectAt_ = clock_.now();
        drainSent();
    }

    void onConnectFinished(bool ok)
    {
        ++signals_;
        // Up only on an "OK" from the typed address, being delivered now; a failed connect was down.
        FUZZ_REQUIRE(ok ? deliveringOk_ : !linkUp_);
        connecting_ = false;
        linkUp_ = linkUp_ || ok;
    }

    void onStatus(const LanStatus &s)
    {
        ++signals_;
        FUZZ_REQUIRE(variant_.hasStatusLight && delivering_.size() == kStatusLength);
        const auto u = [this](int i) { return static_cast<unsigned char>(delivering_.at(i)); };
        FUZZ_REQUIRE(s.factoryNumber == (u(1) | u(2) << 8) && s.channelCode == u(13));
        ++statuses_;
    }

    void fromTransceiver(const QByteArray &d)
    {
        lastDelivery_ = clock_.now();
        if (running_ == Running::Write) {
            okAnswers_ += isOkAnswer(d) ? 1 : 0;
            readyAnswers_ += isReadyAnswer(d) ? 1 : 0;
            goodAfterConfig_ = goodAfterConfig_ || (configSent_ && isGoodAnswer(d));
            badAfterConfig_ = badAfterConfig_ || (configSent_ && isBadAnswer(d));
        }
        if (running_ == Running::Read && isReadBlock(d)) {
            const int index = readBlockIndex(d);
            if (d.size() == kObjectBlockLength && index < blocks_) {
                delivered_[index].append(d.mid(kBlockHeader));
            } else if (index == blocks_ && (d.size() == kSettingsBlockLength || d.size() == kShortSettingsLength)) {
                QByteArray settings = d.mid(kBlockHeader);
                settingsDelivered_.append(settings + QByteArray(kSettingsSize - settings.size(), '\0'));
            }
        }
        const int statusesBefore = statuses_;
        deliveringOk_ = isOkAnswer(d) && address_ == kTransceiver;
        delivering_ = d;
        udp_->deliver(d, kTransceiver);
        deliveringOk_ = false;
        const bool shown = variant_.hasStatusLight && d.size() == kStatusLength && address_ == kTransceiver;
        FUZZ_REQUIRE(statuses_ - statusesBefore == (shown ? 1 : 0));
        drainSent();
    }

    // A datagram from anyone but the typed address leaves no trace: nothing sent, nothing reported.
    void fromOther(int choice, const QByteArray &d)
    {
        const QString &sender = kOthers[choice % 4];
        if (sender == address_)
            return;
        const int before = signals_;
        udp_->deliver(d, sender);
        FUZZ_REQUIRE(signals_ == before && udp_->sent.isEmpty());
    }

    void advance(qint64 ms)
    {
        if (clock_.now() + ms > kMaxClockMs)
            return;
        clock_.advance(ms);
        drainSent();
        // Nothing waits for ever: a silent transceiver ends every transfer and every connect.
        FUZZ_REQUIRE(running_ == Running::None || clock_.now() - lastDelivery_ <= kLongestSilenceMs);
        FUZZ_REQUIRE(!connecting_ || clock_.now() - connectAt_ <= kLongestConnectMs);
    }

    void startWrite(unsigned char seed)
    {
        const bool idle = running_ == Running::None;
        QByteArray image(variant_.imageSize(), '\0');
        for (int i = 0; i < image.size(); ++i)
            image[i] = char((i * (seed | 1) + seed) >> (seed & 3));
        if (!engine_->startWrite(image)) {
            FUZZ_REQUIRE(!(idle && linkUp_));
            return;
        }
        FUZZ_REQUIRE(idle && linkUp_ && engine_->busy());
        running_ = Running::Write;
        writeImage_ = image;
        objectSent_.fill(false, blocks_ + 1);
        settingsSent_ = configSent_ = goodAfterConfig_ = badAfterConfig_ = false;
        okAnswers_ = readyAnswers_ = 0;
        lastDelivery_ = clock_.now();
        drainSent();
    }

    void startRead()
    {
        const bool idle = running_ == Running::None;
        if (!engine_->startRead()) {
            FUZZ_REQUIRE(!(idle && linkUp_));
            return;
        }
        FUZZ_REQUIRE(idle && linkUp_ && engine_->busy());
        running_ = Running::Read;
        delivered_.fill({}, blocks_);
        settingsDelivered_.clear();
        nextBlock_ = 0;
        lastDelivery_ = clock_.now();
        drainSent();
    }

    // A read block as the transceiver sends it: "AT+RDY0=", length, 0, index, data.
    QByteArray readBlock(int index, int flavour) const
    {
        const int data = index < blocks_ ? kObjectBlockData : (flavour & 1) ? kShortSettingsData : kSettingsSize;
        QByteArray d("AT+RDY0=");
        d.append(char(data >> 8)).append(char(data & 0xFF)).append('\0').append(char(index));
        for (int i = 0; i < data; ++i)
            d.append(char(index * 7 + i + flavour));
        return d;
    }

    QByteArray endMarker()
    {
        ++nextBlock_;
        return QByteArrayLiteral("AT+RDYE");
    }

    // A transceiver that answers what was sent last, count times: the ready answer, "OK", the
    // success or failure answer, or the read's next block and at last its end marker.
    void answer(int arg)
    {
        for (int n = 0; n <= (arg & 7); ++n) {
            const QByteArray &last = lastSent_;
            if (last == lancmd::dataStart())
                fromTransceiver("READY");
            else if (last.startsWith("AT+FPD0=") || (last == lancmd::config() && running_ != Running::Write))
                fromTransceiver("OK");
            else if (last == lancmd::config())
                fromTransceiver(arg & 8 ? "BAD" : "GOOD");
            else if ((last == lancmd::readStart() || last == lancmd::readyForNext()) && nextBlock_ <= blocks_ + 1)
                fromTransceiver(nextBlock_ <= blocks_ ? readBlock(nextBlock_++, arg >> 3) : endMarker());
            else
                return;
        }
    }

    // Every datagram goes to the transceiver, and is one the protocol knows; a write sends its image,
    // block by block in order.
    void drainSent()
    {
        for (const FakeDatagramTransport::Sent &s : std::as_const(udp_->sent)) {
            FUZZ_REQUIRE(s.host == remote_ && s.port == LanChannel::kPort);
            const QByteArray &d = s.bytes;
            lastSent_ = d;
            if (d == lancmd::config()) {
                configSent_ = configSent_ || (running_ == Running::Write && settingsSent_);
            } else if (d == lancmd::readStart()) {
                FUZZ_REQUIRE(running_ == Running::Read);
                nextBlock_ = 0;
            } else if (d == lancmd::dataStart() || d == lancmd::dataEnd()) {
                FUZZ_REQUIRE(running_ == Running::Write);
            } else if (d == lancmd::readyForNext()) {
                FUZZ_REQUIRE(running_ == Running::Read);
            } else {
                checkWriteBlock(d);
            }
        }
        udp_->sent.clear();
    }

    void checkWriteBlock(const QByteArray &d)
    {
        FUZZ_REQUIRE(running_ == Running::Write && d.size() >= kBlockHeader && d.startsWith("AT+FPD0=") && d.at(10) == 0);
        const int length = static_cast<unsigned char>(d.at(8)) << 8 | static_cast<unsigned char>(d.at(9));
        const int number = static_cast<unsigned char>(d.at(11));
        FUZZ_REQUIRE(d.size() == kBlockHeader + length);
        if (length == kObjectBlockData) {
            FUZZ_REQUIRE(number >= 1 && number <= blocks_ && !objectSent_.mid(1, number - 1).contains(false));
            FUZZ_REQUIRE(d.mid(kBlockHeader) == writeImage_.mid((number - 1) * kObjectBlockData, kObjectBlockData));
            objectSent_[number] = true;
        } else {
            FUZZ_REQUIRE(length == kSettingsSize && number == 1 && !objectSent_.mid(1).contains(false));
            FUZZ_REQUIRE(d.mid(kBlockHeader) == writeImage_.mid(variant_.settingsBase(), kSettingsSize));
            settingsSent_ = true;
        }
    }

    void onWriteFinished(const TransferResult &r)
    {
        ++signals_;
        drainSent(); // what went out before the end belongs to the transfer
        FUZZ_REQUIRE(running_ == Running::Write && !engine_->busy() && r.channel == TransferChannel::Lan);
        running_ = Running::None;
        FUZZ_REQUIRE(!linktext::transferMessage(r, QStringLiteral("42")).isEmpty());
        switch (r.outcome) {
        case TransferOutcome::Succeeded:
            // Every block went out and was answered, then "AT+CONFIG" got the success answer.
            FUZZ_REQUIRE(settingsSent_ && configSent_ && goodAfterConfig_ && readyAnswers_ >= 1 && okAnswers_ >= blocks_ + 1);
            break;
        case TransferOutcome::Refused:
            FUZZ_REQUIRE(configSent_ && badAfterConfig_);
            break;
        case TransferOutcome::NoAnswer:
            break;
        default:
            FUZZ_REQUIRE(!"an outcome this transfer cannot have");
        }
    }

    void onReadFinished(const TransferResult &r)
    {
        ++signals_;
        drainSent(); // what went out before the end belongs to the transfer
        FUZZ_REQUIRE(running_ == Running::Read && !engine_->busy() && r.channel == TransferChannel::Lan);
        running_ = Running::None;
        FUZZ_REQUIRE(!linktext::transferMessage(r, QStringLiteral("42")).isEmpty());
        const QByteArray image = engine_->readImage();
        FUZZ_REQUIRE(image.size() == variant_.imageSize());
        if (r.outcome == TransferOutcome::Succeeded) {
            // Every object block and the settings block came, and the image holds what came.
            for (int i = 0; i < blocks_; ++i)
                FUZZ_REQUIRE(delivered_[i].contains(image.mid(i * kObjectBlockData, kObjectBlockData)));
            FUZZ_REQUIRE(settingsDelivered_.contains(image.mid(variant_.settingsBase())));
            return;
        }
        FUZZ_REQUIRE(r.outcome == TransferOutcome::NoAnswer || r.outcome == TransferOutcome::Incomplete);
    }

    const Variant &variant_;
    const int blocks_;
    FakeClock clock_; // outlives the timers of the objects below
    Timing timing_;
    FakeDatagramTransport *udp_ = nullptr;
    FakeSerialTransport *port_ = nullptr;
    std::unique_ptr<TransceiverLink> link_;
    LanChannel *lan_ = nullptr;
    LanTransfer *engine_ = nullptr;

    QString address_;
    QHostAddress remote_;
    bool linkUp_ = false;
    bool connecting_ = false;
    qint64 connectAt_ = 0;
    bool deliveringOk_ = false;
    QByteArray delivering_;
    int signals_ = 0;
    int statuses_ = 0;
    QByteArray lastSent_;
    qint64 lastDelivery_ = 0;
    Running running_ = Running::None;

    QByteArray writeImage_;
    QVector<bool> objectSent_;
    bool settingsSent_ = false, configSent_ = false, goodAfterConfig_ = false, badAfterConfig_ = false;
    int okAnswers_ = 0, readyAnswers_ = 0;

    QVector<QList<QByteArray>> delivered_;
    QList<QByteArray> settingsDelivered_;
    int nextBlock_ = 0;
};

} // namespace

int fuzzLanLink(const std::uint8_t *data, std::size_t size)
{
    FuzzScript script(data, size);
    const Variant &variant = script.byte() & 1 ? Variant::mxrDuziv() : Variant::mxr600r();
    LanRig rig(variant);
    rig.play(script);
    return 0;
}

} // namespace talvir
