// The LAN write and read: commands and blocks over the LAN channel, each awaited and retransmitted
// (7 transmissions in 35 s, the final "AT+CONFIG" 19 in 95 s), one block per answer, the copies of
// a repeated command answered before the next goes out, the read's blocks stored as they come.
#pragma once

#include "core/variant.h"
#include "link/lan_channel.h"
#include "link/timer.h"
#include "link/timing.h"
#include "link/transfer_machine.h"

#include <QVector>
#include <memory>

namespace talvir {

class LanTransfer : public TransferMachine, private LanExchangeListener {
    Q_OBJECT
public:
    static constexpr int kCommandRetries = 7;   // sent once, repeated 6 times: 35 s
    static constexpr int kResultRetries = 19;   // the final "AT+CONFIG": 95 s

    LanTransfer(const Variant &variant, LanChannel &lan, TimerFactory timers, const Timing &timing,
                QObject *parent = nullptr);
    ~LanTransfer() override;

    // Writes an image of variant.imageSize() bytes (panel slots, then the 422 settings bytes). Needs a
    // connected LAN link and no transfer running; false (nothing sent) otherwise.
    bool startWrite(const QByteArray &image);
    // Reads into a zeroed image. Needs a connected LAN link and no transfer running.
    bool startRead();
    bool busy() const override { return step_ != Step::Idle; }
    // The read's image so far (the whole of it once the read ended).
    QByteArray readImage() const { return readImage_; }
    void abandon() override;

private:
    enum class Step {
        Idle,
        Ready,          // "AT+DATF" sent, the ready answer awaited
        ObjectBlock,    // object block block_ sent, its "OK" awaited
        SettingsBlock,  // the settings block sent, its "OK" awaited
        Result,         // "AT+FPDE" and the final "AT+CONFIG" sent, the transceiver's verdict awaited
        Read,           // "AT+READF" sent, blocks arriving
    };

    void onLanDatagram(const QByteArray &d) override;

    void onRetransmit();
    void awaitAnswer(Step step, const QByteArray &command, int retries);
    void answered();
    void proceed();
    bool swallowedByGuard(const QByteArray &d);
    void finishWrite(TransferOutcome outcome);
    void finishRead(TransferOutcome outcome);
    void handleReadDatagram(const QByteArray &d);
    void storeReadBlock(int at, const QByteArray &data, int counted);
    bool readComplete() const;
    void stopTimers();

    const Variant &variant_;
    LanChannel &lan_;
    Timing timing_;
    std::unique_ptr<Timer> waitAck_;
    std::unique_ptr<Timer> waitBlock_;
    std::unique_ptr<Timer> answerGuard_;

    Step step_ = Step::Idle;
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
