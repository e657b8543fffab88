// libFuzzer target: any bytes as the transceiver simulator's serial line.
#include "sim_input_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    return talvir::fuzzSimSerial(data, size);
}
