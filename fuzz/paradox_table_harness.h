// The entry point the fuzzer and the corpus replay share: arbitrary bytes as a Paradox table file
// through the console table reader, aborting when a result breaks what the queries rely on.
#pragma once

#include <cstddef>
#include <cstdint>

namespace talvir {

int fuzzParadoxTable(const std::uint8_t *data, std::size_t size);

} // namespace talvir
