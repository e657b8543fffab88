// The entry point the fuzzer and the corpus replay share: arbitrary bytes through the loaders of both
// programs, as a file and as the image of a saved file, aborting when a result breaks what a window
// relies on.
#pragma once

#include <cstddef>
#include <cstdint>

namespace talvir {

int fuzzConfigFile(const std::uint8_t *data, std::size_t size);

} // namespace talvir
