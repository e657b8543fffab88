#include "crc16.h"

namespace talvir {

std::uint16_t Crc16(const unsigned char *data, int n)
{
    std::uint16_t crc = 0;
    for (int i = 0; i < n; ++i) {
        crc ^= std::uint16_t(data[i]) << 8;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 0x8000) ? std::uint16_t((crc << 1) ^ 0x1021) : std::uint16_t(crc << 1);
    }
    return crc;
}

} // namespace talvir
