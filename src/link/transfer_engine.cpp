#include "transfer_engine.h"

#include "link/progress.h"

namespace talvir {

TransferEngine::TransferEngine(const Variant &variant, SerialChannel &serial, LanChannel &lan, TimerFactory timers,
                               const Timing &timing, QObject *parent)
    : QObject(parent), variant_(variant), serial_(serial), lan_(lan), timing_(timing)
{
    silence_ = timers(QStringLiteral("serialSilence"), Timer::Mode::SingleShot);
    silence_->setTimeout([this] { finishSerialWrite(TransferOutcome::NoAnswer, linktext::noAnswer()); });
    frameRetry_ = timers(QStringLiteral("frameRetry"), Timer::Mode::SingleShot);
    frameRetry_->setTimeout([this] { transmitFrame(pendingFrame_); });
    identRepeat_ = timers(QStringLiteral("identRepeat"), Timer::Mode::SingleShot);
    identRepeat_->setTimeout([this] {
        // The answer to the identification frame was lost (a noise byte came last, or nothing came):
        // ask again at the keep-alive's rhythm instead of waiting for the write's silence limit.
        serial_.resendIdentification();
        identRepeat_->start(identRepeatMs());
    });
    waitAck_ = timers(QStringLiteral("TimerWaitAck"), Timer::Mode::Periodic);
    waitAck_->setTimeout([this] { onRetransmit(); });
    waitBlock_ = timers(QStringLiteral("TimerWaitBlock"), Timer::Mode::Periodic);
    waitBlock_->setTimeout([this] { onBlockWatchdog(); });
    answerGuard_ = timers(QStringLiteral("answerGuard"), Timer::Mode::SingleShot);
    answerGuard_->setTimeout([this] { proceed(); });
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

bool TransferEngine::serialWriteInProgress() const
{
    return step_ == Step::SerialIdentAnswer || step_ == Step::SerialFrames || step_ == Step::SerialFrameHeld;
}

bool TransferEngine::lanExchangeRunning() const { return busy() && !serialWriteInProgress(); }

void TransferEngine::shutDown()
{
    abandon();
    stopTimers();
    serial_.setWriteListener(nullptr);
    lan_.setExchangeListener(nullptr);
    serial_.shutDown();
    lan_.shutDown();
}

void TransferEngine::abandon()
{
    switch (step_) {
    case Step::Idle:
        return;
    case Step::SerialIdentAnswer:
    case Step::SerialFrames:
    case Step::SerialFrameHeld:
        finishSerialWrite(TransferOutcome::Abandoned, linktext::transferAbandoned());
        return;
    case Step::LanRead:
        finishLanRead(TransferOutcome::Abandoned, linktext::transferAbandoned());
        return;
    default:
        finishLanWrite(TransferOutcome::Abandoned, linktext::transferAbandoned());
        return;
    }
}

void TransferEngine::stopTimers()
{
    for (Timer *t : {silence_.get(), frameRetry_.get(), identRepeat_.get(), waitAck_.get(), waitBlock_.get(),
                     answerGuard_.get()})
        t->stop();
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
    if (busy() || frames.isEmpty() || !serial_.isOpen() || !serial_.isLinkUp())
        return false;
    frames_ = frames;
    serialNumberText_ = serialNumberText;
    bytesTotal_ = 6 * frames_.size();
    setProgress(0, true);
    position_ = 0;
    bytesDone_ = 0;
    // No link loss is watched during the write; the transceiver's silence is (serialSilence).
    serial_.disarmWatchdog();
    silence_->start(timing_.serialWriteSilenceMs);
    // The position stays 0, so the first acknowledgement fetches frame 0 a second time.
    // While the keep-alive's identification frame is still unanswered, frame 0 waits for that answer:
    // with two frames outstanding every answer would count for the frame before it, and a refusal
    // would repeat the wrong frame, losing the refused byte while the write reports success.
    if (serial_.identificationOutstanding()) {
        step_ = Step::SerialIdentAnswer;
        identRepeat_->start(identRepeatMs());
    } else {
        transmitFrame(frames_.at(0));
    }
    bytesDone_ += 6;
    updateProgress();
    emit writeStarted(TransferChannel::Serial);
    return true;
}

void TransferEngine::transmitFrame(const Frame &frame)
{
    // A frame goes out whole or not yet: when the port cannot take 6 bytes it is offered again shortly.
    if (serial_.sendFrame(frame)) {
        step_ = Step::SerialFrames;
        frameRetry_->stop();
        return;
    }
    step_ = Step::SerialFrameHeld;
    pendingFrame_ = frame;
    frameRetry_->start(timing_.frameRetryMs);
}

// The answer that came was the identification frame's; now the write's first frame goes out.
void TransferEngine::sendFirstFrame()
{
    identRepeat_->stop();
    transmitFrame(frames_.at(0));
}

void TransferEngine::onSerialAck()
{
    if (step_ == Step::SerialIdentAnswer) {
        sendFirstFrame();
        return;
    }
    // While a frame waits for room in the port nothing of ours is on the line: an acknowledgement
    // then is a stray one, and taking it would skip the waiting frame.
    if (step_ != Step::SerialFrames)
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
    if (step_ == Step::SerialIdentAnswer)
        sendFirstFrame();
    else if (step_ == Step::SerialFrames)
        transmitFrame(frames_.at(position_ > 0 ? position_ - 1 : 0));
}

void TransferEngine::onSerialReplyBytes()
{
    if (!serialWriteInProgress())
        return;
    silence_->start(timing_.serialWriteSilenceMs);
    if (step_ == Step::SerialIdentAnswer)
        identRepeat_->start(identRepeatMs());
}

int TransferEngine::identRepeatMs() const { return SerialChannel::kTicksAfterLoss * timing_.serialTickMs; }

void TransferEngine::onSerialStoreFailed()
{
    // The transceiver could not store the data: going on would leave it half-written anyway.
    if (serialWriteInProgress())
        finishSerialWrite(TransferOutcome::StoreFailed, linktext::storeFailed());
}

void TransferEngine::onSerialPortGone(bool lost)
{
    if (!serialWriteInProgress())
        return;
    if (lost)
        finishSerialWrite(TransferOutcome::PortLost, linktext::noAnswer());
    else
        finishSerialWrite(TransferOutcome::Abandoned, linktext::transferAbandoned());
}

void TransferEngine::finishSerialWrite(TransferOutcome outcome, const LinkMessage &message)
{
    frames_.clear();
    step_ = Step::Idle;
    identRepeat_->stop();
    frameRetry_->stop();
    silence_->stop();
    setProgress(0, true);
    // The link is re-established through the identification exchange after every write.
    if (serial_.isOpen())
        serial_.armWatchdog(SerialChannel::kTicksAfterAnswer);
    emit writeFinished({TransferChannel::Serial, outcome, message});
}

// ---- LAN write and read -------------------------------------------------------------------------

bool TransferEngine::startLanWrite(const QByteArray &image, const QString &serialNumberText)
{
    if (busy() || !lan_.isConnected() || image.size() != variant_.imageSize())
        return false;
    writeImage_ = image;
    serialNumberText_ = serialNumberText;
    bytesDone_ = 0;
    bytesTotal_ = variant_.imageSize();
    verdict_ = TransferOutcome::NoAnswer;
    lan_.setPolling(false);
    awaitAnswer(Step::LanReady, lancmd::dataStart(), kCommandRetries);
    emit writeStarted(TransferChannel::Lan);
    return true;
}

bool TransferEngine::startLanRead()
{
    if (busy() || !lan_.isConnected())
        return false;
    lastReadBlock_ = -1;
    bytesDone_ = 0;
    lan_.setPolling(false);
    bytesTotal_ = variant_.imageSize();
    readImage_ = QByteArray(variant_.imageSize(), '\0');
    lastReadIndexByte_ = -1;
    objectBlockRead_.fill(false, variant_.objectBlocks());
    settingsRead_ = false;
    awaitAnswer(Step::LanRead, lancmd::readStart(), kCommandRetries);
    return true;
}

// Sends a command whose answer is awaited, resent every 5 s until retries transmissions went out.
void TransferEngine::awaitAnswer(Step step, const QByteArray &command, int retries)
{
    step_ = step;
    lan_.sendCommand(command);
    copiesSent_ = 1;
    retryBudget_ = retries;
    waitAck_->switchOn(timing_.retransmitMs);
}

void TransferEngine::onRetransmit()
{
    if (--retryBudget_ < 1) {
        if (step_ == Step::LanRead)
            finishLanRead(TransferOutcome::NoAnswer, linktext::readFailed());
        else
            finishLanWrite(TransferOutcome::NoAnswer, noAnswerMessage());
        return;
    }
    lan_.resendLastCommand();
    ++copiesSent_;
}

LinkMessage TransferEngine::noAnswerMessage() const
{
    return step_ == Step::LanObjectBlock ? linktext::noBlockAnswer() : linktext::noAnswer();
}

void TransferEngine::onBlockWatchdog() { finishLanRead(TransferOutcome::NoAnswer, linktext::readFailed()); }

// The awaited answer came. When the command went out more than once, every copy may be answered,
// and an answer carries no block number: a late one would be taken for the answer to the next
// command, which may itself have been lost. So the other copies' answers are waited for and dropped
// first (at most answerGuardMs; the cost falls only on exchanges that were already retransmitted).
void TransferEngine::answered()
{
    waitAck_->stop();
    if (copiesSent_ <= 1) {
        proceed();
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
            proceed();
        }
    }
    return true;
}

// The step's answer is in (and its copies' answers dropped): the next command of the write.
void TransferEngine::proceed()
{
    answerGuard_->stop();
    switch (step_) {
    case Step::LanReady:
        block_ = 1;
        awaitAnswer(Step::LanObjectBlock, objectWriteBlock(writeImage_, block_), kCommandRetries);
        return;
    case Step::LanObjectBlock:
        bytesDone_ += kObjectBlockData;
        updateProgress();
        if (block_ < variant_.objectBlocks()) {
            ++block_;
            awaitAnswer(Step::LanObjectBlock, objectWriteBlock(writeImage_, block_), kCommandRetries);
        } else {
            awaitAnswer(Step::LanSettingsBlock,
                        settingsWriteBlock(writeImage_.mid(variant_.settingsBase(), kSettingsSize)),
                        kCommandRetries);
        }
        return;
    case Step::LanSettingsBlock:
        bytesDone_ += kSettingsSize;
        updateProgress();
        // "AT+FPDE" is not awaited: the result is asked at once.
        lan_.sendCommand(lancmd::dataEnd());
        awaitAnswer(Step::LanResult, lancmd::config(), kResultRetries);
        return;
    case Step::LanResult:
        finishLanWrite(verdict_, verdict_ == TransferOutcome::Succeeded ? linktext::writeDone(serialNumberText_)
                                                                        : linktext::writeRefused());
        return;
    default:
        return;
    }
}

void TransferEngine::finishLanWrite(TransferOutcome outcome, const LinkMessage &message)
{
    waitAck_->stop();
    waitBlock_->stop();
    answerGuard_->stop();
    step_ = Step::Idle;
    writeImage_.clear();
    // The transceiver's answer is shown first (the poll still off, the gauge where it stood); then,
    // after an answered write, the poll resumes and the gauge returns to 0. After an unanswered write
    // the poll stays off and the gauge stays.
    emit writeFinished({TransferChannel::Lan, outcome, message});
    const bool answeredWrite = outcome == TransferOutcome::Succeeded || outcome == TransferOutcome::Refused;
    if (answeredWrite) {
        lan_.setPolling(true);
        setProgress(0, true);
    }
}

void TransferEngine::finishLanRead(TransferOutcome outcome, const LinkMessage &message)
{
    waitAck_->stop();
    waitBlock_->stop();
    step_ = Step::Idle;
    // A complete read resumes the poll before its message; a failed one shows the message first.
    const bool succeeded = outcome == TransferOutcome::Succeeded;
    if (succeeded)
        lan_.setPolling(true);
    emit readFinished({TransferChannel::Lan, outcome, message});
    setProgress(0, true);
    if (!succeeded)
        lan_.setPolling(true);
}

void TransferEngine::onLanDatagram(const QByteArray &d)
{
    if (swallowedByGuard(d))
        return;
    switch (step_) {
    case Step::LanReady:
        if (isReadyAnswer(d))
            answered();
        return;
    case Step::LanObjectBlock:
    case Step::LanSettingsBlock:
        if (isOkAnswer(d))
            answered();
        return;
    case Step::LanResult:
        if (isGoodAnswer(d) || isBadAnswer(d)) {
            verdict_ = isGoodAnswer(d) ? TransferOutcome::Succeeded : TransferOutcome::Refused;
            answered();
        }
        return;
    case Step::LanRead:
        handleReadDatagram(d);
        return;
    default:
        return;
    }
}

bool TransferEngine::readComplete() const
{
    return settingsRead_ && !objectBlockRead_.contains(false);
}

void TransferEngine::storeReadBlock(int at, const QByteArray &data, int counted)
{
    readImage_.replace(at, int(data.size()), data);
    bytesDone_ += counted;
    updateProgress();
}

void TransferEngine::handleReadDatagram(const QByteArray &d)
{
    const int lastIndex = variant_.objectBlocks(); // N/5: the settings block's index
    if (isReadBlock(d)) {
        const int index = readBlockIndex(d);
        lastReadIndexByte_ = index;
        bool taken = true;
        // A block that repeats the one before (our "AT+RDY0" was lost) is answered again but not
        // stored again; one that comes back later is stored again. Either way each block counts once
        // in the gauge, which so never passes 100 %.
        if (d.size() == kObjectBlockLength && index < lastIndex) {
            if (index != lastReadBlock_) {
                lastReadBlock_ = index;
                const bool first = !objectBlockRead_[index];
                objectBlockRead_[index] = true;
                storeReadBlock(index * kObjectBlockData, d.mid(kBlockHeader, kObjectBlockData),
                               first ? kObjectBlockData : 0);
            }
        } else if (d.size() == kSettingsBlockLength && index == lastIndex) {
            storeReadBlock(variant_.settingsBase(), d.mid(kBlockHeader, kSettingsSize), settingsRead_ ? 0 : kSettingsSize);
            settingsRead_ = true;
        } else if (d.size() == kShortSettingsLength && index == lastIndex) {
            // Up to and including the mode byte; the reserve server entries are not carried.
            QByteArray settings = d.mid(kBlockHeader, kShortSettingsData);
            settings.append(QByteArray(kSettingsSize - kShortSettingsData, '\0'));
            storeReadBlock(variant_.settingsBase(), settings, settingsRead_ ? 0 : kShortSettingsData);
            settingsRead_ = true;
        } else {
            taken = false;
        }
        if (taken) {
            waitAck_->stop();
            lan_.sendCommand(lancmd::readyForNext());
            waitBlock_->start(timing_.blockWatchdogMs);
            return;
        }
    }
    // The end marker counts only behind the settings block: byte 11 of the read's last block holds
    // that block's index. The read's own blocks decide it, not the receive buffer, which a status
    // datagram in between would overwrite.
    if (looksLikeEndMarker(d) && lastReadIndexByte_ == lastIndex) {
        lan_.sendCommand(lancmd::readyForNext());
        // A transceiver or network that skipped a block still ends with the marker: that is no read.
        if (readComplete())
            finishLanRead(TransferOutcome::Succeeded, linktext::readDone(readSerialNumber()));
        else
            finishLanRead(TransferOutcome::Incomplete, linktext::readFailed());
    }
}

} // namespace talvir
