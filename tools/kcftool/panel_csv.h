// The panel rows as a spreadsheet's CSV file: the columns of the panel grid ("№", "Объект", "ППК",
// "Телефон 1", "Телефон 2", "Тест", "Тип ППК"), then TypeId, Prot, A_F and Frmt.
#pragma once

#include "core/config_model.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace kcftool {

// UTF-8 with a byte-order mark (a spreadsheet on Windows then reads the Cyrillic right), a header line,
// one line per row ending in CR LF, cells quoted only when they hold the separator, a quote or a line
// break. "№" is empty for a row that has no slot of origin.
QByteArray panelsToCsv(const QList<talvir::PanelRecord> &rows, QChar separator);

// A cell the panel table would not take. line counts from 1 (the header is line 1); column is the
// header's name, empty when the whole line is meant.
struct CsvFault {
    int line = 0;
    QString column;
    QString text;
};

struct PanelCsv {
    QList<talvir::PanelRecord> rows; // in file order; complete only when faults is empty
    QList<CsvFault> faults;          // every bad cell, in file order
};

// Reads a CSV in the form panelsToCsv writes: ";" or "," (the one the header line uses), with or
// without the mark, UTF-8 or else Windows-1251; columns found by their header names, in any order
// ("Объект" and "ППК" required). Each row passes the panel table's own check (4-character object and
// panel numbers), the characters its boxes admit and their lengths; an empty "Prot" takes the protocol
// code of "TypeId". "№", "A_F" and "Frmt" are read-back values and are not read. Lines whose cells are
// all empty are skipped. More than maxRows rows is a fault at the first row too many.
PanelCsv panelsFromCsv(const QByteArray &bytes, int maxRows);

} // namespace kcftool
