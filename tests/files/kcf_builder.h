// Configuration files built by hand, record by record, independently of the writer: the file format
// written out literally, so that a change to it on either side shows.
#pragma once

#include <QByteArray>
#include <QMap>
#include <cstring>

// A file of frame records, built by hand: [3B, address lo, address hi, data, 00, 00].
struct FileBuilder {
    QByteArray bytes;
    int headerRecords = 1; // the signature, and the fixed record when there is one
    explicit FileBuilder(const QByteArray &signature = "TransP", bool fixed = true)
    {
        bytes = signature;
        if (fixed) {
            bytes += QByteArray::fromHex("000000000000");
            headerRecords = 2;
        }
    }
    int frameRecords() const { return int(bytes.size() / 6) - headerRecords; }
    // Frames to an address no image has, up to a file of that many frame records.
    FileBuilder &fillTo(int count)
    {
        while (frameRecords() < count)
            frame(60000, 0);
        return *this;
    }
    FileBuilder &frame(int address, int data)
    {
        const char f[6] = {0x3B, char(address & 0xFF), char((address >> 8) & 0xFF), char(data), 0, 0};
        bytes.append(f, 6);
        return *this;
    }
    FileBuilder &field(int address, const QByteArray &data)
    {
        for (int k = 0; k < data.size(); ++k)
            frame(address + k, quint8(data[k]));
        return *this;
    }
    // The panel block of n slots from the given 47-byte slots (missing ones zero).
    FileBuilder &panels(int n, const QMap<int, QByteArray> &slotMap = {})
    {
        for (int s = 1; s <= n; ++s) {
            QByteArray slot = slotMap.value(s, QByteArray(47, '\0'));
            slot.resize(47, '\0');
            field((s - 1) * 47, slot);
        }
        return *this;
    }
    // Settings bytes 0..421 at base, from a 422-byte block.
    FileBuilder &settings(int base, const QByteArray &block) { return field(base, block); }
};

inline QByteArray slotWith(const char *account, int typeLow = 0, int typeHigh = 0, quint32 seconds = 0)
{
    QByteArray s(47, '\0');
    s.replace(26, int(strlen(account)), account);
    s.replace(30, 4, "0042");
    s[34] = char(typeLow);
    s[45] = char(typeHigh);
    s[36] = char(seconds & 0xFF);
    s[37] = char((seconds >> 8) & 0xFF);
    s[38] = char((seconds >> 16) & 0xFF);
    s[39] = char(seconds >> 24);
    return s;
}
