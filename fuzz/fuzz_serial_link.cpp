// libFuzzer target: any bytes as a script played against the serial channel and the serial write.
#include "serial_link_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    return talvir::fuzzSerialLink(data, size);
}
