// Field values in a Paradox record as the file keeps them: numbers big-endian with the sign bit
// flipped, all-zero bytes for NULL, Alpha text as Windows-1251 filled up with zero bytes.
#pragma once

#include "paradox_table.h"

#include <QByteArray>
#include <QString>
#include <QVariant>

namespace talvir::px {

// A BCD value: a byte of sign (0x80 for positive, the other digits then complemented), 0x40 and the
// decimal places, then 32 digits, one per half byte, the last `decimals` of them after the point.
constexpr int kBcdMaxDecimals = 32;

// Byte width a field of this type takes in a record (Alpha: its declared width); 0 if unknown.
int fixedSize(ParadoxType type);
bool isKnownType(int code);

// Decodes one field; a null QVariant for NULL (all bytes zero) and for undecoded types. decimals is
// a BCD field's places after the point (its text carries exactly that many; none: no point).
QVariant decodeField(ParadoxType type, const char *data, int size, int decimals = 0);

// Encodes one field into data[0..size). A null QVariant writes NULL. Returns an empty string on
// success, otherwise why the value cannot be stored (nothing is cut or replaced silently): a BCD
// value is a decimal text or number with at most `decimals` places and 32 - decimals whole digits.
QString encodeField(ParadoxType type, const QVariant &value, char *data, int size, int decimals = 0);

} // namespace talvir::px
