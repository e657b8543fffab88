// Numbers wider than a byte as the transceiver stores them: little-endian in its memory, in frame
// addresses and in configuration files. The one place that reads and writes them.
#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace talvir {

inline quint16 readU16(const unsigned char *p) { return quint16(p[0] | (p[1] << 8)); }
inline quint32 readU32(const unsigned char *p)
{
    return quint32(p[0]) | (quint32(p[1]) << 8) | (quint32(p[2]) << 16) | (quint32(p[3]) << 24);
}
inline void writeU16(unsigned char *p, quint16 v)
{
    p[0] = static_cast<unsigned char>(v & 0xFF);
    p[1] = static_cast<unsigned char>(v >> 8);
}
inline void writeU32(unsigned char *p, quint32 v)
{
    for (int k = 0; k < 4; ++k)
        p[k] = static_cast<unsigned char>((v >> (8 * k)) & 0xFF);
}
// A 32-bit value at offset at of bytes; 0 when the bytes end before it.
inline quint32 readU32At(const QByteArray &bytes, int at)
{
    if (at < 0 || bytes.size() < at + 4)
        return 0;
    return readU32(reinterpret_cast<const unsigned char *>(bytes.constData()) + at);
}

} // namespace talvir
