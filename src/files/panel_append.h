// Appending the panels of another configuration file to the panel table ("Импорт" of MXR_600r in
// standalone mode): the whole file is decoded into the rows to append before the window changes.
//
// How the window uses it (appendFromFile):
//  1. Ask questionBox(); any answer but Yes ends the command. Then the open dialog; cancelled: stop.
//  2. result = appendPanelsFromFile(path, variant, rows now in panelTable, the type list's name).
//  3. A failure: show failureBox() and stop. Format: nothing changes, not even the counter. Fatal (the
//     panel block is cut, found before any row is appended): the table keeps the rows it had.
//  5. Otherwise detach the row check and disable the navigator; append result.rows in their order,
//     each stored like any row (what follows a stored row runs); attach the check again. No UI events are
//     processed between rows: the rows are all known already.
//  6. If leftOut > 0, show limitBox(). Then panelCountLabel reads "Количество объектов " and the
//     number of rows, the first row becomes current and panelNavigator is enabled again. A file with
//     no record addressed 0 adds nothing and still sets the counter.
#pragma once

#include "core/user_message.h"

#include "core/config_model.h"
#include "core/variant.h"
#include "files/config_file.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <functional>
#include <optional>

namespace talvir {

// The type list's name for a TypeId (the first entry with that id), or nullopt when it has none.
using PanelTypeLookup = std::function<std::optional<QString>(int typeId)>;

// A message box as the window must show it.
struct PanelAppend {
    FileFailure failure = FileFailure::None; // Format: no "Trans" or a count no program writes;
                                             // Fatal: the records end inside the panel block
    QString message;                         // formatMessage() / fatalMessage(); empty on success

    bool hasFixedRecord = false;
    int frameRecords = 0;
    int slotCount = 0;          // N: 600 for a 600-slot file, else 300
    int panelBlockRecord = -1;  // index of the first frame record addressed 0; -1: none, nothing added
    QByteArray panelArea;       // N * 47 data bytes of a complete block, else empty

    QList<PanelRecord> rows;    // to append, in slot order: RecNmb = R + slot, N_PPK named
    int leftOut = 0;            // used slots beyond the table's capacity, not in rows

    bool ok() const { return failure == FileFailure::None; }

    // "Будем добавлять из файла?" before the open dialog: question icon, Yes and No, on top.
    static UserMessage questionBox();
    // The box of a failure: the format box asks Yes and No (either answer ends the command) and, unlike
    // the load's, carries the stop icon; the fatal box has OK.
    static UserMessage formatBox();
    static UserMessage fatalBox();
    UserMessage failureBox() const; // formatBox() or fatalBox(), as the failure is
    // Shown when leftOut > 0: the box the console import shows at the same limit (no icon, OK), with
    // a second line "Не добавлено ППК: N".
    UserMessage limitBox() const;
};

// Decodes the file's panel block for a table of existingRows rows. Slot j in use gives a row with
// RecNmb existingRows + j and N_PPK from typeName, or "Тип ППК не определен"; rows that would take the
// table past variant.maxPanels are left out and counted. Settings and reserve servers are ignored.
PanelAppend decodePanelAppend(const QByteArray &fileBytes, const Variant &variant, int existingRows,
                              const PanelTypeLookup &typeName);

// The same from a path: a missing, unreadable or oversized file gives the format failure.
PanelAppend appendPanelsFromFile(const QString &path, const Variant &variant, int existingRows,
                                 const PanelTypeLookup &typeName);

} // namespace talvir
