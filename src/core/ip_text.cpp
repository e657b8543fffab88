#include "ip_text.h"
#include "int_text.h"

namespace talvir {

QString ipToText(quint32 value)
{
    return QStringLiteral("%1.%2.%3.%4")
        .arg(value & 0xFF)
        .arg((value >> 8) & 0xFF)
        .arg((value >> 16) & 0xFF)
        .arg((value >> 24) & 0xFF);
}

std::optional<quint32> ipFromText(const QString &text, QString *error)
{
    QString rest = text;
    quint32 result = 0;
    for (int k = 0; k < 3; ++k) {
        const int dot = rest.indexOf(QLatin1Char('.'));
        if (dot < 0 || dot > 3)
            return 0;
        const std::optional<qint32> part = strToInt(rest.left(dot), error);
        if (!part)
            return std::nullopt;
        if (*part > 255 || *part < 0)
            return 0;
        result |= quint32(*part) << (8 * k);
        rest = rest.mid(dot + 1);
    }
    const std::optional<qint32> last = strToInt(rest, error);
    if (!last)
        return std::nullopt;
    if (*last > 255 || *last < 0)
        return 0;
    return result | (quint32(*last) << 24);
}

quint32 ipFromOctets(const unsigned char octets[4])
{
    return quint32(octets[0]) | (quint32(octets[1]) << 8) | (quint32(octets[2]) << 16) | (quint32(octets[3]) << 24);
}

void ipToOctets(quint32 value, unsigned char octets[4])
{
    for (int k = 0; k < 4; ++k)
        octets[k] = static_cast<unsigned char>((value >> (8 * k)) & 0xFF);
}

} // namespace talvir
