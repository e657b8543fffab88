#include "serial_write.h"

namespace talvir {

SerialWrite::SerialWrite(SerialChannel &serial, TimerFactory timers, const Timing &timing, QObject *parent)
    : TransferMachine(parent), serial_(serial), timing_(timing)
{
    silence_ = timers(QStringLiteral("serialSilence"), Timer::Mode::SingleShot);
    silence_->setTimeout([this] { finish(TransferOutcome::NoAnswer); });
    frameRetry_ = timers(QStringLiteral("frameRetry"), Timer::Mode::SingleShot);
    frameRetry_->setTimeout([this] { transmitFrame(pendingFrame_); });
    identRepeat_ = timers(QStringLiteral("identRepeat"), Timer::Mode::SingleShot);
    identRepeat_->setTimeout([this] {
        // The answer to the identification frame was lost (a noise byte came last, or nothing came):
        // ask again at the keep-alive's rhythm instead of waiting for the write's silence limit.
        serial_.resendIdentification();
        identRepeat_->start(identRepeatMs());
    });
    serial_.setWriteListener(this);
}

SerialWrite::~SerialWrite() { serial_.setWriteListener(nullptr); }

void SerialWrite::abandon()
{
    if (busy())
        finish(TransferOutcome::Abandoned);
    for (Timer *t : {silence_.get(), frameRetry_.get(), identRepeat_.get()})
        t->stop();
}

bool SerialWrite::start(const SendList &frames)
{
    if (busy() || frames.isEmpty() || !serial_.isOpen() || !serial_.isLinkUp())
        return false;
    frames_ = frames;
    startCounting(6 * int(frames_.size()));
    setProgress(0, true);
    position_ = 0;
    // No link loss is watched during the write; the transceiver's silence is (serialSilence).
    serial_.disarmWatchdog();
    silence_->start(timing_.serialWriteSilenceMs);
    // The position stays 0, so the first acknowledgement fetches frame 0 a second time.
    // While the keep-alive's identification frame is still unanswered, frame 0 waits for that answer:
    // with two frames outstanding every answer would count for the frame before it, and a refusal
    // would repeat the wrong frame, losing the refused byte while the write reports success.
    if (serial_.identificationOutstanding()) {
        step_ = Step::IdentAnswer;
        identRepeat_->start(identRepeatMs());
    } else {
        transmitFrame(frames_.at(0));
    }
    bytesDone_ += 6;
    updateProgress();
    return true;
}

void SerialWrite::transmitFrame(const Frame &frame)
{
    // A frame goes out whole or not yet: when the port cannot take 6 bytes it is offered again shortly.
    if (serial_.sendFrame(frame)) {
        step_ = Step::Frames;
        frameRetry_->stop();
        return;
    }
    step_ = Step::FrameHeld;
    pendingFrame_ = frame;
    frameRetry_->start(timing_.frameRetryMs);
}

// The answer that came was the identification frame's; now the write's first frame goes out.
void SerialWrite::sendFirstFrame()
{
    identRepeat_->stop();
    transmitFrame(frames_.at(0));
}

void SerialWrite::onSerialAck()
{
    if (step_ == Step::IdentAnswer) {
        sendFirstFrame();
        return;
    }
    // While a frame waits for room in the port nothing of ours is on the line: an acknowledgement
    // then is a stray one, and taking it would skip the waiting frame.
    if (step_ != Step::Frames)
        return;
    if (position_ == frames_.size()) {
        finish(TransferOutcome::Succeeded);
        return;
    }
    const Frame frame = frames_.at(position_);
    // The gauge reaches 100 % as the last frame goes out.
    updateProgress();
    transmitFrame(frame);
    bytesDone_ += 6;
    ++position_;
}

void SerialWrite::onSerialNak()
{
    if (step_ == Step::IdentAnswer)
        sendFirstFrame();
    else if (step_ == Step::Frames)
        transmitFrame(frames_.at(position_ > 0 ? position_ - 1 : 0));
}

void SerialWrite::onSerialReplyBytes()
{
    if (!busy())
        return;
    silence_->start(timing_.serialWriteSilenceMs);
    if (step_ == Step::IdentAnswer)
        identRepeat_->start(identRepeatMs());
}

int SerialWrite::identRepeatMs() const { return SerialChannel::kTicksAfterLoss * timing_.serialTickMs; }

void SerialWrite::onSerialStoreFailed()
{
    // The transceiver could not store the data: going on would leave it half-written anyway.
    if (busy())
        finish(TransferOutcome::StoreFailed);
}

void SerialWrite::onSerialPortGone(bool lost)
{
    if (busy())
        finish(lost ? TransferOutcome::PortLost : TransferOutcome::Abandoned);
}

void SerialWrite::finish(TransferOutcome outcome)
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
    TransferResult result;
    result.channel = TransferChannel::Serial;
    result.outcome = outcome;
    emit writeFinished(result);
}

} // namespace talvir
