// The serial write: one 6-byte frame per image byte, each sent on the transceiver's acknowledgement
// of the one before, a refused frame sent again, the write ended by the transceiver's silence, by
// 0x25 or by the port going away.
#pragma once

#include "link/frames.h"
#include "link/serial_channel.h"
#include "link/timer.h"
#include "link/timing.h"
#include "link/transfer_machine.h"

#include <memory>

namespace talvir {

class SerialWrite : public TransferMachine, private SerialWriteListener {
    Q_OBJECT
public:
    SerialWrite(SerialChannel &serial, TimerFactory timers, const Timing &timing, QObject *parent = nullptr);
    ~SerialWrite() override;

    // Writes the send list (one frame per image byte). Needs an open port with the link up, no write
    // running and at least one frame; false (nothing sent) otherwise. The watchdog is disarmed for
    // the write and armed for 2 ticks at its end.
    bool start(const SendList &frames);
    bool busy() const override { return step_ != Step::Idle; }
    void abandon() override;

private:
    enum class Step {
        Idle,
        IdentAnswer, // frame 0 waits for the keep-alive identification frame's answer
        Frames,      // each acknowledgement takes the next frame
        FrameHeld,   // the port cannot take the next frame whole yet (pendingFrame_)
    };

    bool serialWriteInProgress() const override { return busy(); }
    void onSerialAck() override;
    void onSerialNak() override;
    void onSerialReplyBytes() override;
    void onSerialStoreFailed() override;
    void onSerialPortGone(bool lost) override;

    void transmitFrame(const Frame &frame);
    void sendFirstFrame();
    int identRepeatMs() const;
    void finish(TransferOutcome outcome);

    SerialChannel &serial_;
    Timing timing_;
    std::unique_ptr<Timer> silence_;
    std::unique_ptr<Timer> frameRetry_;  // a frame the port could not take whole (pendingFrame_)
    std::unique_ptr<Timer> identRepeat_; // while frame 0 waits: the identification frame again
    Step step_ = Step::Idle;
    SendList frames_;
    int position_ = 0;
    Frame pendingFrame_{};
};

} // namespace talvir
