// One transceiver of a fleet run: its own link object (routes on the run's one UDP endpoint, its own
// serial port), the write, the read or the write and its read-back, each with the single commands'
// rules and words. It reports one outcome and never stops the others.
#pragma once

#include "fleet_plan.h"

#include "link/transceiver_link.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <memory>

namespace kcftool {

struct FleetOutcome {
    enum class Result { Pending, Ok, Failed, Abandoned };
    Result result = Result::Pending;
    QString message;           // as the window words it, or why the target did not run
    QString factoryNumber;     // the file's for a write, the transceiver's for a read
    double seconds = 0;
    int differingBytes = -1;   // after a read-back; -1 when none was made
};

QString resultName(FleetOutcome::Result result);

class FleetJob : public QObject {
    Q_OBJECT
public:
    FleetJob(const FleetTarget &target, const talvir::Variant &variant, const talvir::LinkParts &parts,
             QObject *parent = nullptr);
    ~FleetJob() override;

    void start();
    // Interrupted: a running transfer ends as abandoned, nothing more is sent; a job not started yet
    // is marked abandoned too.
    void abandon();

    const FleetTarget &target() const { return target_; }
    const FleetOutcome &outcome() const { return outcome_; }
    bool isRunning() const { return started_ && outcome_.result == FleetOutcome::Result::Pending; }
    int percent() const { return percent_; }
    // Seconds since the start.
    double elapsed() const { return clock_.isValid() ? clock_.elapsed() / 1000.0 : 0; }

signals:
    void progressed();
    void finished();

private:
    enum class Phase { Write, ReadBack, Read };
    void newLink();
    void connectLan(const QString &address, Phase phase);
    void connectUsb();
    void onLinkState(talvir::TransceiverLink::State state);
    void onTransferFinished(const talvir::TransferResult &result);
    void startReadBack();
    void compareReadBack(const QByteArray &image);
    void saveRead(const talvir::TransferResult &result);
    void end(FleetOutcome::Result result, const QString &message);

    FleetTarget target_;
    const talvir::Variant &variant_;
    talvir::LinkParts parts_;
    talvir::Timing timing_;
    std::unique_ptr<talvir::TransceiverLink> link_;
    Phase phase_ = Phase::Write;
    QString lanAddress_; // the address the current phase talks to
    QTimer usbAnswer_;
    QElapsedTimer clock_;
    FleetOutcome outcome_;
    bool started_ = false;
    bool transferStarted_ = false;
    int percent_ = 0;
};

} // namespace kcftool
