#include "lan_responder.h"

#include "core/memory_layout.h"

namespace talvir {

namespace {
constexpr int kSlotsPerBlock = 5;
constexpr int kObjectData = kSlotSize * kSlotsPerBlock; // 235
constexpr int kShortSettingsSize = SettingsBlock::ModeByte + 1; // up to and including the mode byte
constexpr int kHeader = 12;
constexpr int kStatusLength = 14;

QByteArray readBlock(int index, const QByteArray &data)
{
    QByteArray b("AT+RDY0=");
    b.append(char((data.size() >> 8) & 0xFF));
    b.append(char(data.size() & 0xFF));
    b.append('\0');
    b.append(char(index));
    b.append(data);
    return b;
}
} // namespace

LanResponder::LanResponder(SimMemory &memory, const SimSettings &settings, SimCounters &counters)
    : memory_(memory),
      settings_(settings),
      counters_(counters),
      maxPanels_(settings.variantInfo().maxPanels),
      blocks_(settings.variantInfo().maxPanels / kSlotsPerBlock)
{
}

LanResult LanResponder::onDatagram(const QByteArray &d)
{
    LanResult r;
    ++counters_.datagramsReceived;
    if (settings_.dropEvery > 0 && counters_.datagramsReceived % settings_.dropEvery == 0) {
        ++counters_.datagramsDropped;
        r.dropped = true;
        r.meaning = QStringLiteral("dropped (fault)");
        return r;
    }

    if (d == "AT+CONFIG") {
        r.meaning = QStringLiteral("AT+CONFIG");
        onConfig(r);
    } else if (d == "AT+DATF") {
        r.meaning = QStringLiteral("AT+DATF, write opens");
        writePhase_ = WritePhase::Receiving;
        pending_ = memory_.bytes();
        objectReceived_.fill(false, blocks_);
        settingsReceived_ = false;
        if (settings_.noReady)
            r.meaning += QStringLiteral(", not answered (fault)");
        else
            r.out.append({QByteArrayLiteral("READY"), QStringLiteral("READY"), false});
    } else if (d.startsWith("AT+FPD0=")) {
        onWriteBlock(d, r);
    } else if (d == "AT+FPDE") {
        if (writePhase_ == WritePhase::Idle) {
            r.meaning = QStringLiteral("AT+FPDE outside a write, ignored");
        } else {
            writePhase_ = WritePhase::DataComplete;
            r.meaning = QStringLiteral("AT+FPDE, data complete");
        }
    } else if (d == "AT+READF") {
        r.meaning = readInProgress() ? QStringLiteral("AT+READF, read starts over") : QStringLiteral("AT+READF");
        snapshot_ = memory_.bytes();
        readPhase_ = ReadPhase::Object;
        readIndex_ = settings_.skipReadBlock == 0 ? 1 : 0;
        copiesSent_ = 1;
        appendReadBlock(r, readIndex_);
    } else if (d == "AT+RDY0") {
        if (!readInProgress()) {
            r.meaning = QStringLiteral("AT+RDY0 with no read running, ignored");
        } else {
            r.meaning = QStringLiteral("AT+RDY0");
            onReadNext(r);
        }
    } else if (d.isEmpty()) {
        r.meaning = QStringLiteral("empty datagram, ignored");
    } else {
        r.meaning = QStringLiteral("unknown datagram (%1 bytes), ignored").arg(d.size());
    }
    return r;
}

void LanResponder::onConfig(LanResult &r)
{
    if (writePhase_ != WritePhase::DataComplete) {
        if (writePhase_ == WritePhase::Receiving)
            r.meaning += QStringLiteral(" during a write");
        r.out.append({QByteArrayLiteral("OK"), QStringLiteral("OK"), false});
        return;
    }
    writePhase_ = WritePhase::Idle;
    QStringList missing;
    for (int b = 0; b < blocks_; ++b)
        if (!objectReceived_.at(b))
            missing << QString::number(b + 1);
    if (!settingsReceived_)
        missing << QStringLiteral("settings");
    if (!missing.isEmpty()) {
        r.meaning += QStringLiteral(", write incomplete (missing blocks: %1)").arg(missing.join(QLatin1Char(' ')));
    } else if (!settings_.configResultGood) {
        r.meaning += QStringLiteral(", write refused (fault)");
    } else {
        const int dropped = settings_.dropStoredByte;
        if (dropped >= 0 && dropped < memory_.size())
            pending_[dropped] = char(memory_.at(dropped));
        memory_.replace(pending_);
        pending_.clear();
        ++counters_.writesConfirmed;
        r.writeConfirmed = true;
        r.meaning += QStringLiteral(", write stored");
        r.out.append({QByteArrayLiteral("GOOD"), QStringLiteral("GOOD"), false});
        return;
    }
    pending_.clear();
    ++counters_.writesRejected;
    r.writeRejected = true;
    r.out.append({QByteArrayLiteral("BAD"), QStringLiteral("BAD"), false});
}

void LanResponder::onWriteBlock(const QByteArray &d, LanResult &r)
{
    if (d.size() < kHeader) {
        r.meaning = QStringLiteral("write block cut short (%1 bytes), not answered").arg(d.size());
        return;
    }
    const int length = (static_cast<unsigned char>(d.at(8)) << 8) | static_cast<unsigned char>(d.at(9));
    const int number = static_cast<unsigned char>(d.at(11));
    const bool zero = d.at(10) == '\0';
    const bool isObject = d.size() == kHeader + kObjectData && length == kObjectData && zero && number >= 1
                          && number <= blocks_;
    const bool isSettings = d.size() == kHeader + kSettingsSize && length == kSettingsSize && zero && number == 1;
    if (!isObject && !isSettings) {
        r.meaning = QStringLiteral("malformed write block (%1 bytes, length field %2, byte 10 = %3, number %4), "
                                   "not answered")
                        .arg(d.size())
                        .arg(length)
                        .arg(static_cast<unsigned char>(d.at(10)))
                        .arg(number);
        return;
    }
    if (writePhase_ == WritePhase::Idle) {
        r.meaning = QStringLiteral("%1 outside a write (no AT+DATF), not answered")
                        .arg(isObject ? QStringLiteral("object block %1").arg(number) : QStringLiteral("settings block"));
        return;
    }
    if (isObject && number == settings_.loseWriteBlock && !lostBlockDone_) {
        lostBlockDone_ = true;
        r.meaning = QStringLiteral("object block %1, lost (fault)").arg(number);
        return;
    }
    ++counters_.writeBlocksReceived;
    int extraDelay = 0;
    if (isObject && number == settings_.lateWriteBlock && !lateBlockDone_) {
        lateBlockDone_ = true;
        extraDelay = settings_.lateAnswerMs;
    }
    if (isObject) {
        const bool again = objectReceived_.at(number - 1);
        pending_.replace((number - 1) * kObjectData, kObjectData, d.mid(kHeader));
        objectReceived_[number - 1] = true;
        r.meaning = QStringLiteral("object block %1 (slots %2-%3)%4")
                        .arg(number)
                        .arg((number - 1) * kSlotsPerBlock + 1)
                        .arg(number * kSlotsPerBlock)
                        .arg(again ? QStringLiteral(", again") : QString());
    } else {
        const bool again = settingsReceived_;
        pending_.replace(maxPanels_ * kSlotSize, kSettingsSize, d.mid(kHeader));
        settingsReceived_ = true;
        writePhase_ = WritePhase::DataComplete;
        r.meaning = QStringLiteral("settings block%1").arg(again ? QStringLiteral(", again") : QString());
    }
    r.out.append({QByteArrayLiteral("OK"),
                  extraDelay ? QStringLiteral("OK, %1 ms late (fault)").arg(extraDelay) : QStringLiteral("OK"), false,
                  extraDelay + settings_.blockAnswerMs});
}

void LanResponder::onReadNext(LanResult &r)
{
    if (readPhase_ == ReadPhase::Object) {
        if (settings_.duplicateBlocks && copiesSent_ == 1) {
            copiesSent_ = 2;
            LanOut again = objectBlock(readIndex_);
            again.meaning += QStringLiteral(", again (fault)");
            r.out.append(again);
            return;
        }
        if (settings_.endAfterObject == readIndex_) {
            LanOut end = endMarker();
            end.meaning += QStringLiteral(" right after object block %1 (fault)").arg(readIndex_);
            r.out.append(end);
            readPhase_ = ReadPhase::Idle;
            snapshot_.clear();
            return;
        }
        if (readIndex_ + 1 == settings_.skipReadBlock)
            ++readIndex_;
        if (readIndex_ + 1 < blocks_) {
            ++readIndex_;
            copiesSent_ = 1;
            appendReadBlock(r, readIndex_);
            return;
        }
        readPhase_ = ReadPhase::Settings;
        appendReadBlock(r, blocks_);
        return;
    }
    // The settings block was answered: the read ends.
    r.out.append(endMarker());
    readPhase_ = ReadPhase::Idle;
    snapshot_.clear();
    ++counters_.readsFinished;
    r.readFinished = true;
}

// Read block index (N/5: the settings block), and the status datagram after it when the
// status-in-read fault asks for one there.
void LanResponder::appendReadBlock(LanResult &r, int index)
{
    r.out.append(index < blocks_ ? objectBlock(index) : settingsBlock());
    if (index == settings_.statusInRead) {
        ++counters_.statusSent;
        r.out.append({statusDatagram(), QStringLiteral("status inside a read (fault)"), true});
    }
}

LanOut LanResponder::objectBlock(int index)
{
    ++counters_.readBlocksSent;
    return {readBlock(index, snapshot_.mid(index * kObjectData, kObjectData)),
            QStringLiteral("object block %1 (slots %2-%3)").arg(index).arg(index * kSlotsPerBlock + 1).arg(
                (index + 1) * kSlotsPerBlock),
            true};
}

LanOut LanResponder::settingsBlock()
{
    ++counters_.readBlocksSent;
    const int size = settings_.shortSettings ? kShortSettingsSize : kSettingsSize;
    return {readBlock(blocks_, snapshot_.mid(maxPanels_ * kSlotSize, size)),
            settings_.shortSettings ? QStringLiteral("short settings block (%1 bytes)").arg(size)
                                    : QStringLiteral("settings block"),
            true};
}

LanOut LanResponder::endMarker()
{
    return {QByteArrayLiteral("AT+RDYE"), QStringLiteral("end marker"), true};
}

QByteArray LanResponder::statusDatagram() const
{
    QByteArray s(kStatusLength, '\0');
    s[1] = char(settings_.statusFactoryNumber & 0xFF);
    s[2] = char(settings_.statusFactoryNumber >> 8);
    s[3] = char(settings_.statusModeByte);
    s[4] = char(settings_.statusSignal);
    for (int i = 0; i < 4; ++i) {
        s[5 + i] = char(settings_.statusIp1[std::size_t(i)]);
        s[9 + i] = char(settings_.statusIp2[std::size_t(i)]);
    }
    s[13] = char(settings_.statusChannelCode);
    return s;
}

} // namespace talvir
