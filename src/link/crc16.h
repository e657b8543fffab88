// CRC-16/XMODEM (polynomial 0x1021, initial 0, no reflection, no final XOR): the check of every
// serial frame. Sent high byte first.
#pragma once

#include <cstdint>

namespace talvir {

// CRC of the first n bytes of data; n <= 0 gives 0.
std::uint16_t Crc16(const unsigned char *data, int n);

} // namespace talvir
