// The list of reserve notification servers as the technician edits it: one field, the address as
// typed, at most 20 characters (the width of the list's column; a longer text is cut where typed).
#pragma once

#include "tables/dataset.h"

namespace talvir {

constexpr int kReserveAddressField = 0;
constexpr int kReserveAddressChars = 20;

Dataset *newReserveList(QObject *parent);

} // namespace talvir
