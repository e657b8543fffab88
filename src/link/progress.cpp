#include "progress.h"

namespace talvir {

int progressPercent(qint64 done, qint64 total)
{
    if (total <= 0)
        return 0;
    const qint64 scaled = 100 * done;
    qint64 q = scaled / total;
    qint64 r = scaled % total;
    if (r < 0) { // negative done: floor division, remainder in [0, total)
        q -= 1;
        r += total;
    }
    if (2 * r > total || (2 * r == total && (q & 1)))
        ++q;
    return int(q);
}

} // namespace talvir
