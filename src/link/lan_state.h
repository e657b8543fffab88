// The state of the LAN exchange, shared by the receive handler and the running write or read.
#pragma once

namespace talvir {

enum class LanState : int {
    Connecting = 0,       // poll sent, waiting for the first "OK" (also the state before any LAN choice)
    Connected = 1,        // link up, no transfer running
    AwaitingBlockAck = 3, // a block was sent, its "OK" is awaited
    AwaitingReady = 5,    // "AT+DATF" sent
    Acknowledged = 6,     // the last block or the final command was answered
    NoAnswer = 7,         // retransmissions used up, or no read block in time
    AwaitingResult = 8,   // the final "AT+CONFIG" of a write was sent
    Reading = 9,          // "AT+READF" sent, blocks arriving
    ReadDone = 10,        // all blocks received
};

} // namespace talvir
