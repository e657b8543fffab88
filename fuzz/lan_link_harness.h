// The entry point the fuzzer and the corpus replay share: the bytes as a script of datagrams, clock
// steps, connects, writes and reads, played against the real LAN channel and LAN transfer on a
// fake endpoint and clock, aborting when an outcome or a datagram breaks what the window relies on.
#pragma once

#include <cstddef>
#include <cstdint>

namespace talvir {

int fuzzLanLink(const std::uint8_t *data, std::size_t size);

} // namespace talvir
