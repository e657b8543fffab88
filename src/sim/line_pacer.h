// Keeps a serial line's answers to the pace of its baud rate: each exchange occupies the line for its
// bytes at 10 bits each (start, 8 data, stop), one after the other, so a technician's write takes on a
// pseudo-terminal the time it takes on a real cable.
#pragma once

#include <QtGlobal>

namespace talvir {

class LinePacer {
public:
    // baud 0: no pacing.
    void setBaud(int baud) { baud_ = baud; }
    int baud() const { return baud_; }

    // bytes more have crossed the line at nowUs (a steady clock in microseconds): the milliseconds to
    // wait before the answer that ends them goes out. The line keeps its own time, so exchanges shorter
    // than a millisecond add up: an answer leaves less than a millisecond before the line would have
    // carried it, never later than the timer makes it.
    int delayMs(qint64 nowUs, int bytes);
    void reset() { lineFreeUs_ = 0; }

private:
    int baud_ = 0;
    qint64 lineFreeUs_ = 0; // when the line has carried everything so far
};

} // namespace talvir
