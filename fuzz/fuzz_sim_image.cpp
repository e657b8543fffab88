// libFuzzer target: any bytes as the transceiver simulator's --image file.
#include "sim_image_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    return talvir::fuzzSimImage(data, size);
}
