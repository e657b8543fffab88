// Field values in a Paradox record as the file keeps them: numbers big-endian with the sign bit
// flipped, all-zero bytes for NULL, Alpha text as Windows-1251 filled up with zero bytes.
#pragma once

#include "paradox_table.h"

#include <QByteArray>
#include <QString>
#include <QVariant>

namespace talvir::px {

// Byte width a field of this type takes in a record (Alpha: its declared width); 0 if unknown.
int fixedSize(ParadoxType type);
bool isKnownType(int code);

// Decodes one field; a null QVariant for NULL (all bytes zero) and for undecoded types.
QVariant decodeField(ParadoxType type, const char *data, int size);

// Encodes one field into data[0..size). A null QVariant writes NULL. Returns an empty string on
// success, otherwise why the value cannot be stored (nothing is cut or replaced silently).
QString encodeField(ParadoxType type, const QVariant &value, char *data, int size);

} // namespace talvir::px
