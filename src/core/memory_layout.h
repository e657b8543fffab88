// The two sizes every view of the transceiver's configuration memory shares: a panel slot and the
// settings block that follows the slots.
#pragma once

namespace talvir {

constexpr int kSlotSize = 47;
constexpr int kSettingsSize = 422;

} // namespace talvir
