// Moves a whole configuration between the configurator and the transceiver: the serial write (one
// frame per acknowledgement) and the LAN write and read (commands and blocks, each awaited, with
// retransmission). Runs as event-driven state machines; the window and command-line tools start a
// transfer and wait for writeFinished() / readFinished().
#pragma once

#include "core/variant.h"
#include "link/frames.h"
#include "link/lan_channel.h"
#include "link/link_message.h"
#include "link/serial_channel.h"
#include "link/timer.h"
#include "link/timing.h"

#include <QByteArray>
#include <QObject>
#include <QVector>
#include <memory>

namespace talvir {

enum class TransferChannel { Serial, Lan };

enum class TransferOutcome {
    Succeeded,
    Refused,     // LAN: the transceiver answered the final "AT+CONFIG" with its failure answer
    NoAnswer,    // retransmissions used up, no read block in time, or a silent serial write
    Incomplete,  // LAN read: the end marker came with an object block or the settings block missing
    StoreFailed, // serial: 0x25 in the middle of the write
    PortLost,    // serial: the port went away in the middle of the write
    Abandoned,   // exit confirmed, or the port closed under the write: no message
};

struct TransferResult {
    TransferChannel channel = TransferChannel::Serial;
    TransferOutcome outcome = TransferOutcome::Abandoned;
    // What the technician is told of this end; the window shows it for every outcome but Abandoned.
    LinkMessage message = linktext::transferAbandoned();

    bool succeeded() const { return outcome == TransferOutcome::Succeeded; }
};

class TransferEngine : public QObject, private SerialWriteListener, private LanExchangeListener {
    Q_OBJECT
public:
    static constexpr int kCommandRetries = 7;   // sent once, repeated 6 times: 35 s
    static constexpr int kResultRetries = 19;   // the final "AT+CONFIG": 95 s

    TransferEngine(const Variant &variant, SerialChannel &serial, LanChannel &lan, TimerFactory timers,
                   const Timing &timing, QObject *parent = nullptr);
    ~TransferEngine() override;

    // Serial write of the send list (one frame per image byte). Needs an open port with the link
    // up, no transfer running and at least one frame; false (nothing sent) otherwise. The watchdog is
    // disarmed for the write and armed for 2 ticks at its end. serialNumberText (factoryNumberEdit) goes into
    // the completion message.
    bool startSerialWrite(const SendList &frames, const QString &serialNumberText);
    bool serialWriteInProgress() const override;

    // LAN write of an image of variant.imageSize() bytes (panel slots, then the 422 settings bytes).
    // Needs a connected LAN link and no transfer running; false (nothing sent) otherwise.
    bool startLanWrite(const QByteArray &image, const QString &serialNumberText);
    // LAN read into a zeroed image. Needs a connected LAN link and no transfer running.
    bool startLanRead();
    bool lanExchangeRunning() const;
    bool busy() const { return step_ != Step::Idle; }

    // The image of the last read, also after a failed read (the blocks received so far).
    QByteArray readImage() const { return readImage_; }
    // SettingsBlock offset 14 of the read image, unsigned 32-bit little-endian.
    quint32 readSerialNumber() const;

    int bytesDone() const { return bytesDone_; }
    int bytesTotal() const { return bytesTotal_; }
    int progress() const { return lastPercent_ < 0 ? 0 : lastPercent_; }

    // Exit confirmed (or the tool interrupted): a running transfer ends as Abandoned (its finished
    // signal comes at once), every timer stops, and both channels shut down: the serial port closes,
    // the LAN poll and connect stop, and no input reaches the links any more. Final.
    void shutDown();

signals:
    // The gauge, in percent; emitted when the value changes, and 0 at every start and end (but a LAN
    // write that found no answer leaves the gauge where it stood, as the configurator always has).
    void progressChanged(int percent);
    // The serial write went out, or the LAN write began.
    void writeStarted(talvir::TransferChannel channel);
    // The write ended; result.message is what the technician is told.
    void writeFinished(const talvir::TransferResult &result);
    // The read ended; readImage() holds what was received.
    void readFinished(const talvir::TransferResult &result);

private:
    // One transfer at a time; each step names what the engine waits for.
    enum class Step {
        Idle,
        SerialIdentAnswer, // serial write: frame 0 waits for the keep-alive identification frame's answer
        SerialFrames,      // serial write: each acknowledgement takes the next frame
        SerialFrameHeld,   // serial write: the port cannot take the next frame whole yet (pendingFrame_)
        LanReady,          // "AT+DATF" sent, the ready answer awaited
        LanObjectBlock,    // object block block_ sent, its "OK" awaited
        LanSettingsBlock,  // the settings block sent, its "OK" awaited
        LanResult,         // "AT+FPDE" and the final "AT+CONFIG" sent, the transceiver's verdict awaited
        LanRead,           // "AT+READF" sent, blocks arriving
    };

    // SerialWriteListener
    void onSerialAck() override;
    void onSerialNak() override;
    void onSerialReplyBytes() override;
    void onSerialStoreFailed() override;
    void onSerialPortGone(bool lost) override;
    // LanExchangeListener
    void onLanDatagram(const QByteArray &d) override;

    void transmitFrame(const Frame &frame);
    void sendFirstFrame();
    int identRepeatMs() const;
    void finishSerialWrite(TransferOutcome outcome, const LinkMessage &message);

    void onRetransmit();
    void onBlockWatchdog();
    void awaitAnswer(Step step, const QByteArray &command, int retries);
    void answered();
    void proceed();
    bool swallowedByGuard(const QByteArray &d);
    LinkMessage noAnswerMessage() const;
    void finishLanWrite(TransferOutcome outcome, const LinkMessage &message);
    void finishLanRead(TransferOutcome outcome, const LinkMessage &message);
    void handleReadDatagram(const QByteArray &d);
    void storeReadBlock(int at, const QByteArray &data, int counted);
    bool readComplete() const;
    void abandon();
    void stopTimers();

    void setProgress(int percent, bool force = false);
    void updateProgress();

    const Variant &variant_;
    SerialChannel &serial_;
    LanChannel &lan_;
    Timing timing_;
    std::unique_ptr<Timer> silence_;
    std::unique_ptr<Timer> frameRetry_;  // a frame the port could not take whole (pendingFrame_)
    std::unique_ptr<Timer> identRepeat_; // while frame 0 waits: the identification frame again
    std::unique_ptr<Timer> waitAck_;
    std::unique_ptr<Timer> waitBlock_;
    std::unique_ptr<Timer> answerGuard_;

    Step step_ = Step::Idle;
    int bytesDone_ = 0;
    int bytesTotal_ = 0;
    int lastPercent_ = -1;
    QString serialNumberText_;

    // Serial write.
    SendList frames_;
    int position_ = 0;
    Frame pendingFrame_{};

    // LAN exchange.
    int retryBudget_ = 0;
    // Transmissions of the awaited command; the answers carry no block number, so after a repeated
    // command is answered the answers of its other copies are waited for (answerGuard_) and dropped.
    int copiesSent_ = 0;
    int strayAnswersLeft_ = 0;
    int block_ = 0;
    QByteArray writeImage_;
    TransferOutcome verdict_ = TransferOutcome::NoAnswer; // the transceiver's answer to the final "AT+CONFIG"
    QByteArray readImage_;
    int lastReadBlock_ = -1;
    int lastReadIndexByte_ = -1; // byte 11 of the read's last block, whatever else arrived since
    QVector<bool> objectBlockRead_;
    bool settingsRead_ = false;
};

} // namespace talvir
