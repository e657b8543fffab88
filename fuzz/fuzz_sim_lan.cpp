// libFuzzer target: any bytes as datagrams to the transceiver simulator's UDP port.
#include "sim_input_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    return talvir::fuzzSimLan(data, size);
}
