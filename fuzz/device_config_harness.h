// The entry point the fuzzer and the corpus replay share: arbitrary bytes as the configuration file
// that kcftool write sends and kcftool diff compares, checked whole for both programs' transceivers.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kcftool {

int fuzzDeviceConfig(const std::uint8_t *data, std::size_t size);

} // namespace kcftool
