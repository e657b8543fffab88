// libFuzzer target: any bytes as a configuration file, through the loaders of both programs.
#include "config_file_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    return talvir::fuzzConfigFile(data, size);
}
