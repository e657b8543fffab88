// The gauge value of a transfer.
#pragma once

#include <QtGlobal>

namespace talvir {

// 100 × done / total rounded to the nearest whole percent, halves to even (50.5 → 50, 51.5 → 52),
// in exact integer arithmetic. 0 when total is not positive.
int progressPercent(qint64 done, qint64 total);

} // namespace talvir
