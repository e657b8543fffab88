// What a simulated transceiver is and which faults it plays: one plain value, filled from the command
// line by transceiver-sim or directly by in-process tests.
#pragma once

#include "core/variant.h"

#include <QMap>
#include <QString>
#include <array>
#include <cstdint>

namespace talvir {

struct SimSettings {
    VariantId variant = VariantId::Mxr600r;

    // Serial faults. Frames are counted from 1, every 6-byte frame judged (good or bad), not the
    // line noise skipped while resynchronising.
    int nakEvery = 0;                         // NAK every n-th write frame once, accept its repeat; 0 = off
    QMap<int, unsigned char> replyBytes;      // frame number -> the byte answered instead
    int silentAfter = -1;                     // answer no frame after this many; -1 = always answer
    int strayAfterIdent = 0;                  // the n-th identification frame is answered 01 FF; 0 = off
    int serialBaudPace = 0;                   // answers paced as a line of this baud rate carries them; 0 = off

    // LAN faults.
    int dropEvery = 0;                        // ignore every n-th datagram received; 0 = off
    bool noReady = false;                     // never answer "AT+DATF"
    bool configResultGood = true;             // the answer to "AT+CONFIG" after a write's data
    bool duplicateBlocks = false;             // each object block of a read goes out twice
    bool shortSettings = false;               // the read sends the 114-byte settings block
    int endAfterObject = -1;                  // end marker after this object block of a read; -1 = off
    int skipReadBlock = -1;                   // a read never sends this object block; -1 = off
    int statusInRead = -1;                    // one status datagram right after this read block
                                              // (N/5: the settings block); -1 = off
    int loseWriteBlock = 0;                   // the first copy of this write object block is ignored
    int lateWriteBlock = 0;                   // the first copy of this write object block is answered...
    int lateAnswerMs = 0;                     // ...this much later
    int blockGapMs = 0;                       // pause before each read block
    int blockAnswerMs = 0;                    // a write block is answered this long after it came (storing it)
    int latencyMs = 0;                        // pause before every answer, serial and LAN

    // Memory fault: the byte at this address keeps its old value whatever a write (serial or LAN) sends,
    // while the write is answered as stored; -1 = off.
    int dropStoredByte = -1;

    // The 14-byte status datagram (600-slot transceiver only), sent to the last peer.
    bool statusEnabled = true;
    int statusIntervalMs = 1000;
    std::uint16_t statusFactoryNumber = 12345;
    unsigned char statusModeByte = 0xFF;      // (NOT 0xFF) AND 0x0F = 0: "S,Lan"
    unsigned char statusSignal = 85;
    std::array<unsigned char, 4> statusIp1{192, 168, 1, 221};
    std::array<unsigned char, 4> statusIp2{0, 0, 0, 0};
    unsigned char statusChannelCode = 1;

    // Raw memory image rewritten after each complete serial write and each confirmed LAN write.
    QString saveImagePath;

    const Variant &variantInfo() const
    {
        return variant == VariantId::MxrDuziv ? Variant::mxrDuziv() : Variant::mxr600r();
    }
};

// What the simulator has seen and done, for tests and the log.
struct SimCounters {
    // serial
    int framesReceived = 0;     // 6-byte frames judged, good or bad
    int identFrames = 0;
    int writeFrames = 0;        // good write frames, stored or not
    int bytesStored = 0;        // write frames whose byte went into memory
    int acksSent = 0;
    int naksSent = 0;
    int otherRepliesSent = 0;   // injected reply bytes other than 0x01 and 0x15
    int framesUnanswered = 0;   // silenced frames
    int garbageBytes = 0;       // bytes skipped to find the next frame
    int serialWritesComplete = 0;
    // LAN
    int datagramsReceived = 0;
    int datagramsDropped = 0;
    int datagramsSent = 0;
    int writeBlocksReceived = 0;
    int writesConfirmed = 0;
    int writesRejected = 0;
    int readBlocksSent = 0;
    int readsFinished = 0;
    int statusSent = 0;
};

} // namespace talvir
