#include "lan_transfer.h"

#include "core/little_endian.h"
#include "core/memory_layout.h"
#include "link/lan_datagrams.h"

namespace talvir {

LanTransfer::LanTransfer(const Variant &variant, LanChannel &lan, TimerFactory timers, const Timing &timing,
                         QObject *parent)
    : TransferMachine(parent), variant_(variant), lan_(lan), timing_(timing)
{
    waitAck_ = timers(QStringLiteral("waitAnswer"), Timer::Mode::Periodic);
    waitAck_->setTimeout([this] { onRetransmit(); });
    waitBlock_ = timers(QStringLiteral("waitBlock"), Timer::Mode::Periodic);
    waitBlock_->setTimeout([this] { finishRead(TransferOutcome::NoAnswer); });
    answerGuard_ = timers(QStringLiteral("answerGuard"), Timer::Mode::SingleShot);
    answerGuard_->setTimeout([this] { proceed(); });
    lan_.setExchangeListener(this);
}

LanTransfer::~LanTransfer() { lan_.setExchangeListener(nullptr); }

void LanTransfer::abandon()
{
    if (step_ == Step::Read)
        finishRead(TransferOutcome::Abandoned);
    else if (busy())
        finishWrite(TransferOutcome::Abandoned);
    stopTimers();
}

void LanTransfer::stopTimers()
{
    for (Timer *t : {waitAck_.get(), waitBlock_.get(), answerGuard_.get()})
        t->stop();
}

bool LanTransfer::startWrite(const QByteArray &image)
{
    if (busy() || !lan_.isConnected() || image.size() != variant_.imageSize())
        return false;
    writeImage_ = image;
    startCounting(variant_.imageSize());
    verdict_ = TransferOutcome::NoAnswer;
    lan_.setPolling(false);
    awaitAnswer(Step::Ready, lancmd::dataStart(), kCommandRetries);
    return true;
}

bool LanTransfer::startRead()
{
    if (busy() || !lan_.isConnected())
        return false;
    lastReadBlock_ = -1;
    startCounting(variant_.imageSize());
    lan_.setPolling(false);
    readImage_ = QByteArray(variant_.imageSize(), '\0');
    lastReadIndexByte_ = -1;
    objectBlockRead_.fill(false, variant_.objectBlocks());
    settingsRead_ = false;
    awaitAnswer(Step::Read, lancmd::readStart(), kCommandRetries);
    return true;
}

// Sends a command whose answer is awaited, resent every 5 s until retries transmissions went out.
void LanTransfer::awaitAnswer(Step step, const QByteArray &command, int retries)
{
    step_ = step;
    lan_.sendCommand(command);
    copiesSent_ = 1;
    retryBudget_ = retries;
    waitAck_->switchOn(timing_.retransmitMs);
}

void LanTransfer::onRetransmit()
{
    if (--retryBudget_ < 1) {
        if (step_ == Step::Read)
            finishRead(TransferOutcome::NoAnswer);
        else
            finishWrite(TransferOutcome::NoAnswer);
        return;
    }
    lan_.resendLastCommand();
    ++copiesSent_;
}

// The awaited answer came. When the command went out more than once, every copy may be answered,
// and an answer carries no block number: a late one would be taken for the answer to the next
// command, which may itself have been lost. So the other copies' answers are waited for and dropped
// first (at most answerGuardMs; the cost falls only on exchanges that were already retransmitted).
void LanTransfer::answered()
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

bool LanTransfer::swallowedByGuard(const QByteArray &d)
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
void LanTransfer::proceed()
{
    answerGuard_->stop();
    switch (step_) {
    case Step::Ready:
        block_ = 1;
        awaitAnswer(Step::ObjectBlock, objectWriteBlock(writeImage_, block_), kCommandRetries);
        return;
    case Step::ObjectBlock:
        bytesDone_ += kObjectBlockData;
        updateProgress();
        if (block_ < variant_.objectBlocks()) {
            ++block_;
            awaitAnswer(Step::ObjectBlock, objectWriteBlock(writeImage_, block_), kCommandRetries);
        } else {
            awaitAnswer(Step::SettingsBlock, settingsWriteBlock(writeImage_.mid(variant_.settingsBase(), kSettingsSize)),
                        kCommandRetries);
        }
        return;
    case Step::SettingsBlock:
        bytesDone_ += kSettingsSize;
        updateProgress();
        // "AT+FPDE" is not awaited: the result is asked at once.
        lan_.sendCommand(lancmd::dataEnd());
        awaitAnswer(Step::Result, lancmd::config(), kResultRetries);
        return;
    case Step::Result:
        finishWrite(verdict_);
        return;
    default:
        return;
    }
}

void LanTransfer::finishWrite(TransferOutcome outcome)
{
    TransferResult result;
    result.channel = TransferChannel::Lan;
    result.outcome = outcome;
    result.objectBlockUnanswered = outcome == TransferOutcome::NoAnswer && step_ == Step::ObjectBlock;
    stopTimers();
    step_ = Step::Idle;
    writeImage_.clear();
    // The transceiver's answer is shown first (the poll still off, the gauge where it stood); then,
    // after an answered write, the poll resumes and the gauge returns to 0. After an unanswered write
    // the poll stays off and the gauge stays.
    emit writeFinished(result);
    const bool answeredWrite = outcome == TransferOutcome::Succeeded || outcome == TransferOutcome::Refused;
    if (answeredWrite) {
        lan_.setPolling(true);
        setProgress(0, true);
    }
}

void LanTransfer::finishRead(TransferOutcome outcome)
{
    waitAck_->stop();
    waitBlock_->stop();
    step_ = Step::Idle;
    TransferResult result;
    result.channel = TransferChannel::Lan;
    result.kind = TransferKind::Read;
    result.outcome = outcome;
    result.image = readImage_;
    result.factoryNumber = readU32At(readImage_, variant_.settingsBase() + SettingsBlock::FactoryNumber);
    // A complete read resumes the poll before its message; a failed one shows the message first.
    const bool succeeded = outcome == TransferOutcome::Succeeded;
    if (succeeded)
        lan_.setPolling(true);
    emit readFinished(result);
    setProgress(0, true);
    if (!succeeded)
        lan_.setPolling(true);
}

void LanTransfer::onLanDatagram(const QByteArray &d)
{
    if (swallowedByGuard(d))
        return;
    switch (step_) {
    case Step::Ready:
        if (isReadyAnswer(d))
            answered();
        return;
    case Step::ObjectBlock:
    case Step::SettingsBlock:
        if (isOkAnswer(d))
            answered();
        return;
    case Step::Result:
        if (isGoodAnswer(d) || isBadAnswer(d)) {
            verdict_ = isGoodAnswer(d) ? TransferOutcome::Succeeded : TransferOutcome::Refused;
            answered();
        }
        return;
    case Step::Read:
        handleReadDatagram(d);
        return;
    default:
        return;
    }
}

bool LanTransfer::readComplete() const { return settingsRead_ && !objectBlockRead_.contains(false); }

void LanTransfer::storeReadBlock(int at, const QByteArray &data, int counted)
{
    readImage_.replace(at, int(data.size()), data);
    bytesDone_ += counted;
    updateProgress();
}

void LanTransfer::handleReadDatagram(const QByteArray &d)
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
        finishRead(readComplete() ? TransferOutcome::Succeeded : TransferOutcome::Incomplete);
    }
}

} // namespace talvir
