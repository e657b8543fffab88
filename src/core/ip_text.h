// IPv4 addresses as the transceiver stores them: a 32-bit value whose least significant byte is the
// first number of the dotted text.
#pragma once

#include <QString>
#include <optional>

namespace talvir {

// "a.b.c.d" with a in the least significant byte. 0 gives "0.0.0.0".
QString ipToText(quint32 value);

// 0 when the text is not accepted as an address (so 0.0.0.0 never is). Nothing when a part is not a
// whole number, with *error naming that part (see strToInt); the first fault from the left decides.
std::optional<quint32> ipFromText(const QString &text, QString *error = nullptr);

// The four octets in the order of the dotted text, and back.
quint32 ipFromOctets(const unsigned char octets[4]);
void ipToOctets(quint32 value, unsigned char octets[4]);

} // namespace talvir
