// The entry point the fuzzer and the corpus replay share: the bytes as a script of reply bytes, clock
// steps, writes and port changes, played against the real serial channel and the engine's serial
// write on a fake port and clock, aborting when a write's outcome or its frames break the protocol.
#pragma once

#include <cstddef>
#include <cstdint>

namespace talvir {

int fuzzSerialLink(const std::uint8_t *data, std::size_t size);

} // namespace talvir
