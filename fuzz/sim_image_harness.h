// The entry point the fuzzer and the corpus replay share: arbitrary bytes as the simulator's --image
// file, for the memory of both programs' transceivers, aborting unless the result is a clear refusal
// or an image of exactly the transceiver's size.
#pragma once

#include <cstddef>
#include <cstdint>

namespace talvir {

int fuzzSimImage(const std::uint8_t *data, std::size_t size);

} // namespace talvir
