// A Paradox table read whole into memory, read-only: field names and types, rows of QVariant
// (a null QVariant for a NULL field). Values are decoded from the raw records by us, since pxlib
// 0.6.8 mistakes NULL numbers for values and cannot recode some Windows-1251 characters.
#pragma once

#include <QList>
#include <QString>
#include <QVariant>

#include <cstdio>

namespace talvir {

// The Paradox field types the console's tables use, and the codes they carry in the file.
enum class ParadoxType : int {
    Alpha = 0x01,
    Date = 0x02,
    Short = 0x03,
    Long = 0x04,
    Currency = 0x05,
    Number = 0x06,
    Logical = 0x09,
    AutoInc = 0x16,
    Bcd = 0x17,
};

struct ParadoxField {
    QString name;
    ParadoxType type = ParadoxType::Alpha;
    int size = 0;     // bytes in the record; for Alpha the text width; BCD always takes 17
    int decimals = 0; // BCD: digits after the point, 0..32 (the width the header declares)
};

struct ParadoxTable {
    QList<ParadoxField> fields;
    // One QVariant per field: QString (Alpha), int (Short, Long, AutoInc), bool (Logical),
    // double (Number, Currency), QDate (Date), QString (BCD: the decimal text with all its
    // decimals, "-12.50"); a null QVariant for NULL and for field types we do not decode (BLOBs,
    // times).
    QList<QVariantList> rows;

    // Index of the field with this name, letter case ignored (the console's engine ignores it); -1.
    int fieldIndex(const QString &name) const;
};

// Reads the whole table at path. Opens the file for reading only and creates nothing beside it.
// On failure returns false, leaves table empty and puts a message for the technician into error.
bool readParadoxTable(const QString &path, ParadoxTable &table, QString &error);

// The same from a file already open for reading (a memory stream in the fuzz target); name is
// the table's name in messages. The stream stays open.
bool readParadoxStream(FILE *fp, const QString &name, ParadoxTable &table, QString &error);

} // namespace talvir
