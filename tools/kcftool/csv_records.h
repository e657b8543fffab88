// CSV as kcftool reads and writes it (panel lists, fleet plans and reports): ";" or ",", the one the
// header line uses; UTF-8 with or without the byte-order mark, else Windows-1251; quoted cells may
// hold the separator, doubled quotes and line breaks.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace kcftool {

struct CsvRecord {
    int line = 0; // where the record starts, from 1 (the header is line 1)
    QStringList cells;
};

// Every record of the text, the header first.
QList<CsvRecord> readCsvRecords(const QByteArray &bytes);
// A cell as written: quoted only when it holds the separator, a quote or a line break.
QString csvCell(const QString &cell, QChar separator);

} // namespace kcftool
