// The entry points the fuzzers and the corpus replays share for what the transceiver simulator hears:
// arbitrary bytes on its serial line, and arbitrary datagrams on its UDP port. Each aborts when the
// simulator's answer breaks what the configurator's side relies on.
#pragma once

#include <cstddef>
#include <cstdint>

namespace talvir {

// Byte 0 picks the size of the pieces the rest arrives in (1..32 bytes per read of the line).
int fuzzSimSerial(const std::uint8_t *data, std::size_t size);

// A run of datagrams, each a 2-byte length (high byte first) then that many bytes (the last one cut
// where the input ends), to the simulator of each program.
int fuzzSimLan(const std::uint8_t *data, std::size_t size);

} // namespace talvir
