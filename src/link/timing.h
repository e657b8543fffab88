// Every interval of the two links, in one value. Production uses the defaults; tests shorten them.
#pragma once

namespace talvir {

struct Timing {
    int pollMs = 1000;              // the poll: "AT+CONFIG" while connected
    int retransmitMs = 5000;        // resend the last awaited command
    int blockWatchdogMs = 5000;     // the next read block must come in time
    int serialTickMs = 55;          // the serial layer's timer tick
    int serialWriteSilenceMs = 5000; // a serial write ends when the transceiver stays silent this long
    int pumpSliceMs = 10;           // one wait of the window's waiting loop
    int connectPassMs = 510;        // one pass of the LAN connect: 51 slices of 10 ms
    int connectPasses = 11;         // passes without "OK" before the LAN connect gives up
    int frameRetryMs = 10;          // a frame the serial port cannot take whole is offered again this soon
    int answerGuardMs = 1000;       // after a retransmitted command is answered: wait for its copies' answers
};

} // namespace talvir
