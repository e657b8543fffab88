#include "transfer_machine.h"

#include "link/progress.h"

namespace talvir {

void TransferMachine::setProgress(int percent, bool force)
{
    if (percent == lastPercent_ && !force)
        return;
    lastPercent_ = percent;
    emit progressChanged(percent);
}

void TransferMachine::updateProgress() { setProgress(progressPercent(bytesDone_, bytesTotal_)); }

void TransferMachine::startCounting(int total)
{
    bytesDone_ = 0;
    bytesTotal_ = total;
}

} // namespace talvir
