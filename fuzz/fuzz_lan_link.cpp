// libFuzzer target: any bytes as a script played against the LAN channel and the LAN transfer.
#include "lan_link_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    return talvir::fuzzLanLink(data, size);
}
