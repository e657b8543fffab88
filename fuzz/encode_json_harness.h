// The entry point the fuzzer and the corpus replay share: arbitrary bytes as the JSON configuration
// of kcftool encode, or as its --panels CSV, aborting unless each gives a clear refusal or a
// configuration that saves into a file the load reads back.
#pragma once

#include <cstddef>
#include <cstdint>

namespace talvir {

// The first byte picks the program (bit 0) and the reader (bit 1: the CSV); the rest is the text.
int fuzzEncodeJson(const std::uint8_t *data, std::size_t size);

} // namespace talvir
