// libFuzzer target: any bytes as a configuration file as kcftool write and diff check it whole.
#include "device_config_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    return kcftool::fuzzDeviceConfig(data, size);
}
