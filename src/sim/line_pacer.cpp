#include "line_pacer.h"

#include <algorithm>

namespace talvir {

int LinePacer::delayMs(qint64 nowUs, int bytes)
{
    if (baud_ <= 0)
        return 0;
    constexpr qint64 kBitsPerByte = 10;
    lineFreeUs_ = std::max(lineFreeUs_, nowUs) + qint64(bytes) * kBitsPerByte * 1000000 / baud_;
    return int((lineFreeUs_ - nowUs) / 1000);
}

} // namespace talvir
