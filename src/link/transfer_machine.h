// What the serial write and the LAN transfer share: the gauge over the bytes done, and one signal
// when a transfer ends.
#pragma once

#include "link/transfer_result.h"

#include <QObject>

namespace talvir {

class TransferMachine : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    virtual bool busy() const = 0;
    // A running transfer ends as Abandoned (its finished signal comes at once) and its timers stop.
    virtual void abandon() = 0;

    int bytesDone() const { return bytesDone_; }
    int bytesTotal() const { return bytesTotal_; }
    int progress() const { return lastPercent_ < 0 ? 0 : lastPercent_; }

signals:
    // The gauge, in percent; emitted when the value changes, and 0 at every start and end (but a LAN
    // write that found no answer leaves the gauge where it stood, as the configurator always has).
    void progressChanged(int percent);
    // The end of a write, and of a read (LAN only); result.kind says which.
    void writeFinished(const talvir::TransferResult &result);
    void readFinished(const talvir::TransferResult &result);

protected:
    void setProgress(int percent, bool force = false);
    void updateProgress();
    void startCounting(int total);

    int bytesDone_ = 0;
    int bytesTotal_ = 0;

private:
    int lastPercent_ = -1;
};

} // namespace talvir
