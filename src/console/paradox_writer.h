// Creates Paradox tables with pxlib's writer: the default panel-type table at build time and the
// console's tables in tests. Texts are stored in Windows-1251 by our codec.
#pragma once

#include "paradox_table.h"

#include <QList>
#include <QString>
#include <QVariantList>

namespace talvir {

// Writes a new table at path with these fields (Alpha: size is the text width, 1..255; other
// types take their fixed size) and rows (one QVariant per field; a null QVariant stores NULL).
// Every value is checked before the file is touched: a text too long or outside Windows-1251,
// a number outside its field or a value of the wrong kind fails with a message and writes nothing.
// The table is built in a temporary file beside path and replaces path only when complete.
// Paradox itself cannot tell an empty Alpha value from NULL, nor store the most negative Short
// or Long (those bytes mean NULL): an empty text reads back as NULL, and those numbers are refused.
bool writeParadoxTable(const QString &path, const QList<ParadoxField> &fields,
                       const QList<QVariantList> &rows, QString &error);

// How the table is laid out, for tables like those of older console installations.
struct ParadoxWriteOptions {
    int fileVersion = 70;  // 30, 35, 40, 50 or 70 (Paradox 3.0 .. 7)
    QByteArray password;   // non-empty: the engine's encryption of the data blocks
};
bool writeParadoxTable(const QString &path, const QList<ParadoxField> &fields,
                       const QList<QVariantList> &rows, QString &error, const ParadoxWriteOptions &options);

} // namespace talvir
