// The transceiver's side of the serial link as pure logic: bytes in, one reply byte per 6-byte frame
// out, write frames stored into memory, and the serial faults of SimSettings applied.
//
// Framing and resynchronisation. Bytes are collected until six are waiting. A frame is good when it
// starts with 0x3B (write) or 0x23 (identification) and bytes 4-5 hold the CRC of bytes 0-3. When the
// six bytes at the head are not a good frame, a good frame starting at head + 1 .. head + 5 is searched
// for; if one is complete in the buffer, the bytes before it are skipped as line noise, unanswered.
// Otherwise the six bytes at the head are a bad frame: answered 0x15 and dropped. A stray byte thus
// costs at most one NAK: the configurator repeats its frame and the search finds it behind the stray
// byte; a bad frame followed by good ones is answered 0x15 in its turn.
#pragma once

#include "sim_memory.h"
#include "sim_settings.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace talvir {

struct SerialEvent {
    enum class Kind { Ident, Write, BadCrc, UnknownCommand, OutOfRange, Garbage };
    Kind kind = Kind::Garbage;
    QByteArray bytes;     // the frame, or the skipped bytes
    int number = 0;       // 1-based frame number; 0 for skipped bytes
    int reply = -1;       // the byte answered, -1 for none
    QString meaning;      // for the log, e.g. "write 0x6E28=05", "NAK (bad CRC)"
    bool stored = false;
    bool lastAddress = false; // the byte stored went to the last address of the memory
    bool stray = false;       // the answer is followed by a noise byte 0xFF
};

class SerialResponder {
public:
    SerialResponder(SimMemory &memory, const SimSettings &settings, SimCounters &counters)
        : memory_(memory), settings_(settings), counters_(counters)
    {
    }

    // Takes the bytes read from the line, returns what became of every frame completed by them.
    QList<SerialEvent> feed(const QByteArray &bytes);
    // Forgets a partial frame (the line was reopened).
    void reset();
    int pendingBytes() const { return int(buffer_.size()); }

private:
    SerialEvent judge(const QByteArray &frame);
    void answer(SerialEvent &e);

    SimMemory &memory_;
    const SimSettings &settings_;
    SimCounters &counters_;
    QByteArray buffer_;
    int nakCount_ = 0;           // write frames seen by the nak-every fault
    bool nakOwed_ = false;       // the last write frame got an injected NAK, its repeat is accepted
    QByteArray nakedFrame_;
};

} // namespace talvir
