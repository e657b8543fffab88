#include "ip_text.h"
#include "conversion_error.h"

namespace talvir {

qint32 strToInt(const QString &text)
{
    int i = 0;
    const int n = text.size();
    while (i < n && text.at(i) == QLatin1Char(' '))
        ++i;
    bool negative = false;
    if (i < n && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+'))) {
        negative = text.at(i) == QLatin1Char('-');
        ++i;
    }
    if (i == n)
        throw ConversionError(text);
    qint64 value = 0;
    for (; i < n; ++i) {
        const QChar c = text.at(i);
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            throw ConversionError(text);
        value = value * 10 + (c.unicode() - '0');
        if (value > qint64(2147483648))
            throw ConversionError(text);
    }
    if (negative)
        value = -value;
    if (value > 2147483647)
        throw ConversionError(text);
    return qint32(value);
}

QString ipToText(quint32 value)
{
    return QStringLiteral("%1.%2.%3.%4")
        .arg(value & 0xFF)
        .arg((value >> 8) & 0xFF)
        .arg((value >> 16) & 0xFF)
        .arg((value >> 24) & 0xFF);
}

quint32 ipFromText(const QString &text)
{
    QString rest = text;
    quint32 result = 0;
    for (int k = 0; k < 3; ++k) {
        const int dot = rest.indexOf(QLatin1Char('.'));
        if (dot < 0 || dot > 3)
            return 0;
        const qint32 part = strToInt(rest.left(dot));
        if (part > 255 || part < 0)
            return 0;
        result |= quint32(part) << (8 * k);
        rest = rest.mid(dot + 1);
    }
    const qint32 last = strToInt(rest);
    if (last > 255 || last < 0)
        return 0;
    return result | (quint32(last) << 24);
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
