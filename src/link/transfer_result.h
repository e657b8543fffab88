// How a write or read ended, as the link reports it: the channel, what was done, how it ended and,
// for a read, the memory received. The window and kcftool word it (link_texts.h).
#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace talvir {

enum class TransferChannel { Serial, Lan };
enum class TransferKind { Write, Read };

enum class TransferOutcome {
    Succeeded,
    Refused,     // LAN: the transceiver answered the final "AT+CONFIG" with its failure answer
    NoAnswer,    // retransmissions used up, no read block in time, or a silent serial write
    Incomplete,  // LAN read: the end marker came with an object block or the settings block missing
    StoreFailed, // serial: 0x25 in the middle of the write
    PortLost,    // serial: the port went away in the middle of the write
    Abandoned,   // exit confirmed, or the port closed under the write: no message
};

struct TransferResult {
    TransferChannel channel = TransferChannel::Serial;
    TransferKind kind = TransferKind::Write;
    TransferOutcome outcome = TransferOutcome::Abandoned;
    // LAN write, NoAnswer: it was an object block that went unanswered.
    bool objectBlockUnanswered = false;
    // Read: the memory image, also after a failed read (the blocks received so far), and the factory
    // number in its settings block.
    QByteArray image;
    quint32 factoryNumber = 0;

    bool succeeded() const { return outcome == TransferOutcome::Succeeded; }
    // A write that stopped part-way: the transceiver may hold part of the new configuration.
    bool stoppedPartWay() const
    {
        return kind == TransferKind::Write && (outcome == TransferOutcome::NoAnswer ||
                                               outcome == TransferOutcome::PortLost ||
                                               outcome == TransferOutcome::StoreFailed);
    }
};

} // namespace talvir
