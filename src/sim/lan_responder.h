// The transceiver's side of the LAN link as pure logic: one datagram in, the datagrams to answer out,
// with the write held in a pending buffer and the read served block by block.
//
// Write: "AT+DATF" opens a write ("READY") and copies the memory into a pending buffer; each block
// headed "AT+FPD0=" is stored there and answered "OK" (after the time the transceiver takes to store
// it, when set); the settings block or "AT+FPDE" completes the
// data; the next "AT+CONFIG" gives the result. The memory takes the pending buffer only when every
// object block and the settings block arrived and the result is good ("GOOD"); otherwise it stays as
// it was and the answer is "BAD". A malformed block is not answered, so the configurator repeats it.
//
// Read: "AT+READF" takes a snapshot of the memory and sends object block 0; each "AT+RDY0" brings the
// next object block, then the settings block, then the end marker "AT+RDYE", after which the link is
// idle again (the configurator's last "AT+RDY0" falls on an idle link and is ignored). A repeated
// "AT+READF" starts the read over.
#pragma once

#include "sim_memory.h"
#include "sim_settings.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVector>

namespace talvir {

struct LanOut {
    QByteArray bytes;
    QString meaning;
    bool readBlock = false; // a read block or the end marker: the block gap applies
    int extraDelayMs = 0;   // a late answer (fault)
};

struct LanResult {
    QString meaning;        // of the datagram received
    bool dropped = false;   // ignored by the drop-every fault
    QList<LanOut> out;
    bool writeConfirmed = false;
    bool writeRejected = false;
    bool readFinished = false;
};

class LanResponder {
public:
    LanResponder(SimMemory &memory, const SimSettings &settings, SimCounters &counters);

    LanResult onDatagram(const QByteArray &datagram);
    // The 14-byte status datagram from the settings.
    QByteArray statusDatagram() const;
    // A read is running (between "AT+READF" and the end marker).
    bool readInProgress() const { return readPhase_ != ReadPhase::Idle; }
    bool writeInProgress() const { return writePhase_ != WritePhase::Idle; }

private:
    enum class WritePhase { Idle, Receiving, DataComplete };
    enum class ReadPhase { Idle, Object, Settings };

    void onWriteBlock(const QByteArray &d, LanResult &r);
    void onConfig(LanResult &r);
    void onReadNext(LanResult &r);
    void appendReadBlock(LanResult &r, int index);
    LanOut objectBlock(int index);
    LanOut settingsBlock();
    static LanOut endMarker();

    SimMemory &memory_;
    const SimSettings &settings_;
    SimCounters &counters_;
    const int maxPanels_;
    const int blocks_;              // N/5

    WritePhase writePhase_ = WritePhase::Idle;
    QByteArray pending_;
    QVector<bool> objectReceived_;
    bool settingsReceived_ = false;
    bool lostBlockDone_ = false;   // the lose-block fault played once
    bool lateBlockDone_ = false;   // the late-answer fault played once

    ReadPhase readPhase_ = ReadPhase::Idle;
    QByteArray snapshot_;
    int readIndex_ = 0;
    int copiesSent_ = 0;
};

} // namespace talvir
