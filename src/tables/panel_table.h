// The panel table the main window edits: one PanelRecord per row on the shared dataset, its grid
// columns, the check a row must pass before it is stored, and the order the transceiver's slots
// take (ascending object number, letter case ignored).
#pragma once

#include "core/config_model.h"
#include "core/user_message.h"
#include "tables/dataset.h"

namespace talvir {

class PanelTable : public Dataset {
    Q_OBJECT
public:
    // The first seven fields are the grid's columns, in its order; the rest are carried unseen.
    enum Field { RecNmb, Obj, Account, P1, P2, WaitTest, NPpk, TypeId, AF, Frmt, Prot, FieldCount };
    static constexpr int kGridColumns = NPpk + 1;

    explicit PanelTable(QObject *parent = nullptr);

    // Row r as shown (the pending values while it is inserted or edited).
    PanelRecord row(int r) const;
    // The stored rows in table order: what a write or a save takes.
    QList<PanelRecord> rows() const;
    // Replaces the table at once, without hooks and in the given order (a read or a load).
    void setRows(const QList<PanelRecord> &rows);
    // Appends one row and stores it through whatever hooks are attached.
    bool appendRow(const PanelRecord &record);
    // The slot order: stable by object number, letter case ignored.
    void sortByObject();

    static Row toRow(const PanelRecord &record);
    static PanelRecord toRecord(const Row &row);
};

// What a row must hold before it is stored: 4-character object and panel numbers, the object
// number checked first.
enum class PanelRowFault { None, ObjectNumber, PanelNumber };
PanelRowFault checkPanelNumbers(const QString &obj, const QString &account);
QString panelRowFaultText(PanelRowFault fault);

// The name a row shows for its type: at most 20 characters of the type list's name.
QString panelTypeText(const QString &nameCentral);
// A row read or loaded whose type the type list lacks.
QString unknownPanelTypeText();
// The counter under the grid.
QString panelCountText(int rows);
// The box of a console import or an append that would take the table past its slots (no icon, OK).
UserMessage panelLimitBox();

} // namespace talvir
