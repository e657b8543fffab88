#include "transfer_engine.h"

#include "link/progress.h"

namespace talvir {

TransferEngine::TransferEngine(const Variant &variant, SerialChannel &serial, LanChannel &lan, TimerFactory timers,
                               const Timing &timing, QObject *parent)
    : QObject(parent), variant_(variant), serial_(serial), lan_(lan), timing_(timing)
{
    silence_ = timers(QStringLiteral("serialSilence"), Timer::Mode::SingleShot);
    silence_->setTimeout([this] {
        if (serialWriting_)
            finishSerialWrite(TransferOutcome::NoAnswer, linktext::noAnswer());
    });
    frameRetry_ = timers(QStringLiteral("frameRetry"), Timer::Mode::SingleShot);
    frameRetry_->setTimeout([this] { onFrameRetry(); });
    identRepeat_ = timers(QStringLiteral("identRepeat"), Timer::Mode::SingleShot);
    identRepeat_->setTimeout([this] {
        // The answer to the identification frame was lost (a noise byte came last, or nothing came):
        // ask again at the keep-alive's rhythm instead of waiting for the write's silence limit.
        if (!serialWriting_ || !holdFirstFrame_ || closing_)
            return;
        serial_.resendIdentification();
        identRepeat_->start(identRepeatMs());
    });
    waitAck_ = timers(QStringLiteral("TimerWaitAck"), Timer::Mode::Periodic);
    waitAck_->setTimeout([this] { onRetransmit(); });
    waitBlock_ = timers(QStringLiteral("TimerWaitBlock"), Timer::Mode::Periodic);
    waitBlock_->setTimeout([this] { onBlockWatchdog(); });
    answerGuard_ = timers(QStringLiteral("answerGuard"), Timer::Mode::SingleShot);
    answerGuard_->setTimeout([this] {
        strayAnswersLeft_ = 0;
        if (!closing_)
            advanceLan();
    });
    serial_.setWriteListener(this);
    lan_.setExchangeListener(this);
}

TransferEngine::~TransferEngine()
{
    serial_.setWriteListener(nullptr);
    lan_.setExchangeListener(nullptr);
}

quint32 TransferEngine::readSerialNumber() const
{
    const int at = variant_.settingsBase() + SettingsBlock::SerialNo;
    if (readImage_.size() < at + 4)
        return 0;
    const auto u = [this](int i) { return quint32(static_cast<unsigned char>(readImage_.at(i))); };
    return u(at) | u(at + 1) << 8 | u(at + 2) << 16 | u(at + 3) << 24;
}

void TransferEngine::setClosing(bool closing)
{
    closing_ = closing;
    serial_.setClosing(closing);
    lan_.setClosing(closing);
    if (closing)
        abandonAll();
}

void TransferEngine::abandonAll()
{
    if (serialWriting_)
        finishSerialWrite(TransferOutcome::Abandoned, {});
    if (lanStep_ == LanStep::Read)
        finishLanRead(TransferOutcome::Abandoned, {});
    else if (lanStep_ != LanStep::Idle)
        finishLanWrite(TransferOutcome::Abandoned, {}, false);
}

void TransferEngine::setProgress(int percent, bool force)
{
    if (percent == lastPercent_ && !force)
        return;
    lastPercent_ = percent;
    emit progressChanged(percent);
}

void TransferEngine::updateProgress() { setProgress(progressPercent(bytesDone_, bytesTotal_)); }

// ---- Serial write -------------------------------------------------------------------------------

bool TransferEngine::startSerialWrite(const SendList &frames, const QString &serialNumberText)
{
    if (closing_ || busy() || frames.isEmpty() || !serial_.isOpen() || !serial_.isLinkUp())
        return false;
    frames_ = frames;
    serialNumberText_ = serialNumberText;
    bytesTotal_ = 6 * frames_.size();
    setProgress(0, true);
    position_ = 0;
    bytesDone_ = 0;
    serialWriting_ = true;
    // No link loss is watched during the write; the transceiver's silence is (serialSilence).
    serial_.disarmWatchdog();
    silence_->start(timing_.serialWriteSilenceMs);
    // The position stays 0, so the first acknowledgement fetches frame 0 a second time.
    // While the keep-alive's identification frame is still unanswered, frame 0 waits for that answer:
    // with two frames outstanding every answer would count for the frame before it, and a refusal
    // would repeat the wrong frame, losing the refused byte while the write reports success.
    holdFirstFrame_ = serial_.identificationOutstanding();
    if (holdFirstFrame_)
        identRepeat_->start(identRepeatMs());
    else
        transmitFrame(frames_.at(0));
    bytesDone_ += 6;
    updateProgress();
    emit writeStarted(TransferChannel::Serial);
    return true;
}

void TransferEngine::transmitFrame(const Frame &frame)
{
    // A frame goes out whole or not yet: when the port cannot take 6 bytes it is offered again shortly.
    if (serial_.sendFrame(frame)) {
        framePending_ = false;
        frameRetry_->stop();
        return;
    }
    pendingFrame_ = frame;
    framePending_ = true;
    frameRetry_->start(timing_.frameRetryMs);
}

void TransferEngine::onFrameRetry()
{
    if (serialWriting_ && framePending_ && !closing_)
        transmitFrame(pendingFrame_);
}

bool TransferEngine::releaseFirstFrame()
{
    if (!holdFirstFrame_)
        return false;
    // This answer was the identification frame's; now the write's first frame goes out.
    holdFirstFrame_ = false;
    identRepeat_->stop();
    transmitFrame(frames_.at(0));
    return true;
}

void TransferEngine::onSerialAck()
{
    if (!serialWriting_ || releaseFirstFrame())
        return;
    if (position_ == frames_.size()) {
        finishSerialWrite(TransferOutcome::Succeeded, linktext::writeDone(serialNumberText_));
        return;
    }
    const Frame frame = frames_.at(position_);
    // The gauge reaches 100 % as the last frame goes out.
    updateProgress();
    transmitFrame(frame);
    bytesDone_ += 6;
    ++position_;
}

void TransferEngine::onSerialNak()
{
    if (!serialWriting_ || releaseFirstFrame())
        return;
    transmitFrame(frames_.at(position_ > 0 ? position_ - 1 : 0));
}

void TransferEngine::onSerialReplyBytes()
{
    if (!serialWriting_)
        return;
    silence_->start(timing_.serialWriteSilenceMs);
    if (holdFirstFrame_)
        identRepeat_->start(identRepeatMs());
}

int TransferEngine::identRepeatMs() const { return SerialChannel::kTicksAfterLoss * timing_.serialTickMs; }

void TransferEngine::onSerialStoreFailed()
{
    // The transceiver could not store the data: going on would leave it half-written anyway.
    // storeFailed() of the channel carries the message.
    if (serialWriting_)
        finishSerialWrite(TransferOutcome::StoreFailed, {});
}

void TransferEngine::onSerialPortGone(bool lost)
{
    if (!serialWriting_)
        return;
    if (lost)
        finishSerialWrite(TransferOutcome::PortLost, linktext::noAnswer());
    else
        finishSerialWrite(TransferOutcome::Abandoned, {});
}

void TransferEngine::finishSerialWrite(TransferOutcome outcome, const LinkMessage &message)
{
    frames_.clear();
    serialWriting_ = false;
    holdFirstFrame_ = false;
    identRepeat_->stop();
    framePending_ = false;
    frameRetry_->stop();
    silence_->stop();
    setProgress(0, true);
    // The link is re-established through the identification exchange after every write.
    if (serial_.isOpen() && !closing_)
        serial_.armWatchdog(SerialChannel::kTicksAfterAnswer);
    emit writeFinished({TransferChannel::Serial, outcome, message});
}

// ---- LAN write and read -------------------------------------------------------------------------

bool TransferEngine::startLanWrite(const QByteArray &image, const QString &serialNumberText)
{
    if (closing_ || busy() || lan_.state() != LanState::Connected || image.size() != variant_.imageSize())
        return false;
    writeImage_ = image;
    serialNumberText_ = serialNumberText;
    bytesDone_ = 0;
    bytesTotal_ = variant_.imageSize();
    resultOutcome_ = TransferOutcome::NoAnswer;
    resultMessage_ = {};
    lan_.setPolling(false);
    lan_.setState(LanState::AwaitingReady);
    sendAwaited(lancmd::dataStart());
    waitAck_->switchOn(timing_.retransmitMs);
    retryBudget_ = kCommandRetries;
    lanStep_ = LanStep::Ready;
    emit writeStarted(TransferChannel::Lan);
    return true;
}

bool TransferEngine::startLanRead()
{
    if (closing_ || busy() || lan_.state() != LanState::Connected)
        return false;
    lastReadBlock_ = -1;
    bytesDone_ = 0;
    lan_.setPolling(false);
    bytesTotal_ = variant_.imageSize();
    readImage_ = QByteArray(variant_.imageSize(), '\0');
    lastReadIndexByte_ = -1;
    objectBlockRead_.fill(false, variant_.objectBlocks());
    settingsRead_ = false;
    lan_.sendCommand(lancmd::readStart());
    retryBudget_ = kCommandRetries;
    lan_.setState(LanState::Reading);
    waitAck_->switchOn(timing_.retransmitMs);
    lanStep_ = LanStep::Read;
    return true;
}

void TransferEngine::sendObjectBlock(int b)
{
    block_ = b;
    retryBudget_ = kCommandRetries;
    sendAwaited(objectWriteBlock(writeImage_, b));
    lan_.setState(LanState::AwaitingBlockAck);
    waitAck_->switchOn(timing_.retransmitMs);
    lanStep_ = LanStep::ObjectBlock;
}

void TransferEngine::sendSettingsBlock()
{
    retryBudget_ = kCommandRetries;
    sendAwaited(settingsWriteBlock(writeImage_.mid(variant_.settingsBase(), kSettingsSize)));
    lan_.setState(LanState::AwaitingBlockAck);
    waitAck_->switchOn(timing_.retransmitMs);
    lanStep_ = LanStep::Settings;
}

void TransferEngine::onRetransmit()
{
    if (closing_ || lanStep_ == LanStep::Idle) {
        waitAck_->stop();
        return;
    }
    if (--retryBudget_ < 1) {
        lan_.setState(LanState::NoAnswer);
    } else {
        lan_.resendLastCommand();
        ++copiesSent_;
    }
    advanceLan();
}

void TransferEngine::sendAwaited(const QByteArray &command)
{
    lan_.sendCommand(command);
    copiesSent_ = 1;
}

// The awaited answer came. When the command went out more than once, every copy may be answered,
// and an answer carries no block number: a late one would be taken for the answer to the next
// command, which may itself have been lost. So the other copies' answers are waited for and dropped
// first (at most answerGuardMs; the cost falls only on exchanges that were already retransmitted).
void TransferEngine::answered()
{
    if (copiesSent_ <= 1) {
        advanceLan();
        return;
    }
    strayAnswersLeft_ = copiesSent_ - 1;
    copiesSent_ = 1;
    answerGuard_->start(timing_.answerGuardMs);
}

bool TransferEngine::swallowedByGuard(const QByteArray &d)
{
    if (!answerGuard_->isActive())
        return false;
    if (isOkAnswer(d) || isReadyAnswer(d) || isGoodAnswer(d) || isBadAnswer(d)) {
        if (--strayAnswersLeft_ <= 0) {
            answerGuard_->stop();
            advanceLan();
        }
    }
    return true;
}

void TransferEngine::onBlockWatchdog()
{
    if (closing_ || lanStep_ == LanStep::Idle) {
        waitBlock_->stop();
        return;
    }
    lan_.setState(LanState::NoAnswer);
    advanceLan();
}

// Where the waiting loop of each step would notice the state it waits for, or NoAnswer.
void TransferEngine::advanceLan()
{
    const LanState s = lan_.state();
    switch (lanStep_) {
    case LanStep::Idle:
        return;
    case LanStep::Ready:
        if (s == LanState::AwaitingBlockAck)
            sendObjectBlock(1);
        else if (s == LanState::NoAnswer)
            finishLanWrite(TransferOutcome::NoAnswer, linktext::noAnswer(), false);
        return;
    case LanStep::ObjectBlock:
        if (s == LanState::Acknowledged) {
            bytesDone_ += kObjectBlockData;
            updateProgress();
            if (block_ < variant_.objectBlocks())
                sendObjectBlock(block_ + 1);
            else
                sendSettingsBlock();
        } else if (s == LanState::NoAnswer) {
            finishLanWrite(TransferOutcome::NoAnswer, linktext::noBlockAnswer(), false);
        }
        return;
    case LanStep::Settings:
        if (s == LanState::Acknowledged) {
            bytesDone_ += kSettingsSize;
            updateProgress();
            // "AT+FPDE" is not awaited: the state stays Acknowledged and the result is asked at once.
            lan_.sendCommand(lancmd::dataEnd());
            waitAck_->switchOn(timing_.retransmitMs);
            retryBudget_ = kCommandRetries;
            lan_.setState(LanState::AwaitingResult);
            sendAwaited(lancmd::config());
            retryBudget_ = kResultRetries;
            lanStep_ = LanStep::Result;
        } else if (s == LanState::NoAnswer) {
            finishLanWrite(TransferOutcome::NoAnswer, linktext::noAnswer(), false);
        }
        return;
    case LanStep::Result:
        if (s == LanState::Acknowledged)
            finishLanWrite(resultOutcome_, resultMessage_, true);
        else if (s == LanState::NoAnswer)
            finishLanWrite(TransferOutcome::NoAnswer, linktext::noAnswer(), false);
        return;
    case LanStep::Read:
        if (s == LanState::ReadDone)
            finishLanRead(TransferOutcome::Succeeded, linktext::readDone(readSerialNumber()));
        else if (s == LanState::NoAnswer)
            finishLanRead(TransferOutcome::NoAnswer, linktext::readFailed());
        return;
    }
}

void TransferEngine::finishLanWrite(TransferOutcome outcome, const LinkMessage &message, bool pollOn)
{
    waitAck_->stop();
    waitBlock_->stop();
    answerGuard_->stop();
    lanStep_ = LanStep::Idle;
    writeImage_.clear();
    lan_.setState(LanState::Connected);
    // The transceiver's answer is shown first (the poll still off, the gauge where it stood); then,
    // after an answered write, the poll resumes and the gauge returns to 0. After an unanswered write
    // the poll stays off and the gauge stays.
    emit writeFinished({TransferChannel::Lan, outcome, message});
    if (pollOn && !closing_)
        lan_.setPolling(true);
    if (outcome == TransferOutcome::Succeeded || outcome == TransferOutcome::Refused)
        setProgress(0, true);
}

void TransferEngine::finishLanRead(TransferOutcome outcome, const LinkMessage &message)
{
    waitAck_->stop();
    waitBlock_->stop();
    lanStep_ = LanStep::Idle;
    lan_.setState(LanState::Connected);
    // A complete read resumes the poll before its message; a failed one shows the message first.
    const bool succeeded = outcome == TransferOutcome::Succeeded;
    if (succeeded && !closing_)
        lan_.setPolling(true);
    emit readFinished({TransferChannel::Lan, outcome, message});
    setProgress(0, true);
    if (!succeeded && !closing_)
        lan_.setPolling(true);
}

void TransferEngine::onLanDatagram(const QByteArray &d)
{
    if (closing_ || lanStep_ == LanStep::Idle || swallowedByGuard(d))
        return;
    switch (lan_.state()) {
    case LanState::AwaitingBlockAck:
        if (!isOkAnswer(d))
            return;
        lan_.setState(LanState::Acknowledged);
        waitAck_->stop();
        break;
    case LanState::AwaitingReady:
        if (!isReadyAnswer(d))
            return;
        lan_.setState(LanState::AwaitingBlockAck);
        waitAck_->stop();
        break;
    case LanState::AwaitingResult:
        if (isGoodAnswer(d)) {
            resultOutcome_ = TransferOutcome::Succeeded;
            resultMessage_ = linktext::writeDone(serialNumberText_);
        } else if (isBadAnswer(d)) {
            resultOutcome_ = TransferOutcome::Refused;
            resultMessage_ = linktext::writeRefused();
        } else {
            return;
        }
        lan_.setState(LanState::Acknowledged);
        waitAck_->stop();
        break;
    case LanState::Reading:
        handleReadDatagram(d);
        advanceLan();
        return;
    default:
        return;
    }
    answered();
}

bool TransferEngine::readComplete() const
{
    return settingsRead_ && !objectBlockRead_.contains(false);
}

void TransferEngine::handleReadDatagram(const QByteArray &d)
{
    const int lastIndex = variant_.objectBlocks(); // N/5: the settings block's index
    if (isReadBlock(d)) {
        const int index = readBlockIndex(d);
        lastReadIndexByte_ = index;
        if (d.size() == kObjectBlockLength && index < lastIndex) {
            waitAck_->stop();
            waitBlock_->stop();
            // A repeated block (our "AT+RDY0" was lost) is answered again but stored and counted once.
            if (index != lastReadBlock_) {
                lastReadBlock_ = index;
                objectBlockRead_[index] = true;
                readImage_.replace(index * kObjectBlockData, kObjectBlockData, d.mid(kBlockHeader, kObjectBlockData));
                bytesDone_ += kObjectBlockData;
                updateProgress();
            }
            lan_.sendCommand(lancmd::readyForNext());
            waitBlock_->switchOn(timing_.blockWatchdogMs);
            return;
        }
        if (d.size() == kSettingsBlockLength && index == lastIndex) {
            waitBlock_->stop();
            readImage_.replace(variant_.settingsBase(), kSettingsSize, d.mid(kBlockHeader, kSettingsSize));
            settingsRead_ = true;
            lan_.sendCommand(lancmd::readyForNext());
            bytesDone_ += kSettingsSize;
            updateProgress();
            waitBlock_->switchOn(timing_.blockWatchdogMs);
            return;
        }
        if (d.size() == kShortSettingsLength && index == lastIndex) {
            waitBlock_->stop();
            // Up to and including the mode byte; the reserve server entries are not carried.
            QByteArray settings = d.mid(kBlockHeader, kShortSettingsData);
            settings.append(QByteArray(kSettingsSize - kShortSettingsData, '\0'));
            readImage_.replace(variant_.settingsBase(), kSettingsSize, settings);
            settingsRead_ = true;
            lan_.sendCommand(lancmd::readyForNext());
            bytesDone_ += kShortSettingsData;
            updateProgress();
            waitBlock_->switchOn(timing_.blockWatchdogMs);
            return;
        }
    }
    // The end marker counts only behind the settings block: byte 11 of the read's last block holds
    // that block's index. The read's own blocks decide it, not the receive buffer, which a status
    // datagram in between would overwrite.
    if (looksLikeEndMarker(d) && lastReadIndexByte_ == lastIndex) {
        lan_.sendCommand(lancmd::readyForNext());
        waitBlock_->stop();
        // A transceiver or network that skipped a block still ends with the marker: that is no read.
        if (readComplete())
            lan_.setState(LanState::ReadDone);
        else
            finishLanRead(TransferOutcome::Incomplete, linktext::readFailed());
    }
}

} // namespace talvir
