// Windows-1251, the single-byte encoding of every text the transceiver and the console store.
// Our own table, so the programs do not depend on ICU being present.
#pragma once

#include <QByteArray>
#include <QString>

namespace talvir {

QString fromCp1251(const QByteArray &bytes);
QString fromCp1251(const char *data, int size);
// Characters without a Windows-1251 byte become '?'.
QByteArray toCp1251(const QString &text);

// Fixed-width text fields: zero-filled, no terminator when full, cut when longer; decoding stops at
// the first zero byte or the field's end.
QString fromCp1251Field(const char *data, int width);
void toCp1251Field(const QString &text, char *field, int width);

} // namespace talvir
