// libFuzzer target: any bytes as kcftool encode's JSON configuration or --panels CSV.
#include "encode_json_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    return talvir::fuzzEncodeJson(data, size);
}
