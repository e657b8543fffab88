// The checks a Paradox table passes before pxlib reads it. pxlib 0.6.8 trusts every number in
// the header and the block chain: an unknown version byte makes it read uninitialised memory (and
// on a second table loop for ever), a size or block number out of range sends it past the file.
#pragma once

#include <QString>

#include <cstdio>
#include <functional>

namespace talvir {

struct ParadoxHeader {
    quint64 fileSize = 0;
    quint32 recordSize = 0;
    quint32 headerSize = 0;
    quint32 numRecords = 0;
    quint32 fileBlocks = 0;
    quint32 firstBlock = 0;
    quint32 blockSize = 0;
    int version = 0;     // the version byte: 3 (3.0), 4 (3.5), 5..9 (4.x), 10..11 (5.x), 12 (7.x)
    bool encrypted = false;
    quint32 encryption = 0; // the key pxlib decrypts the blocks with
    int maxTableSize = 0;   // block size in KB

    // The version as pxlib counts it (30, 35, 40, 50, 70).
    int pxlibVersion() const;
};

// Reads and checks the header and the field descriptors at the start of fp (left at offset 0).
// Returns an empty string when pxlib may open the file, else why not (for the technician).
QString checkParadoxHeader(FILE *fp, ParadoxHeader &header);

// Walks the chain of data blocks from the first one. readBlockStart reads the six bytes that head
// the block at a file offset (decrypted for an encrypted table); false when they are not there.
// Every block must be in the file once, its records must all be in the file (the last block may
// be cut short after its last record, as the console's engine leaves it), and their count must be
// the header's. Empty when sound, else why not.
QString checkBlockChain(const ParadoxHeader &header,
                        const std::function<bool(quint64 offset, unsigned char *six)> &readBlockStart);

// The whole table with its 3.x header rewritten as a 4.0 one (the 0x20-byte extension added, the
// key moved where 4.0 keeps it). pxlib 0.6.8 leaves parts of its state unset for 3.x headers and
// then depends on whatever memory held before; a 4.0 header it reads completely. Empty on a read
// failure.
QByteArray asVersion4Table(FILE *fp, const ParadoxHeader &header);

} // namespace talvir
