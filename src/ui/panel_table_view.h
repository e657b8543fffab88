// The left half of the main window: the grid over the panel table, the edit boxes bound to the
// current row both ways, the type selector (a drop-down in MXR_600r; in MXR_duziv a type grid with
// its small navigator), the navigator and the row counter. What the navigator's commands do, the row
// check and what follows a stored row are the panel table's editing rules (PanelEditing); the view
// shows what they announce.
#pragma once

#include "core/config_model.h"
#include "tables/panel_editing.h"

#include <QList>
#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QStandardItemModel;
class QTableView;

namespace talvir {

class DatasetNavigator;
class GridFollower;
class PanelTable;
class PanelTypeTable;
struct Variant;

class PanelTableView : public QWidget {
    Q_OBJECT
public:
    PanelTableView(const Variant &variant, PanelEditing &editing, QWidget *parent = nullptr);

    // The type list from the panel-type table, in the table's order. The drop-down shows half as
    // many lines as the table has records.
    void fillTypeList(PanelTypeTable &types);
    const QList<PanelEditing::TypeChoice> &typeList() const { return types_; }

    // The current row of the grid, -1 when the table is empty.
    int currentRow() const;

    // After a read or a load: the counter and the first row, the type shown.
    void showFilledTable();
    // The window's fill-ins of a read, a load and an append: the navigator waits meanwhile.
    void lockNavigator(bool locked);
    // The rows of a console import: the table takes them as they are, the grid repainted once.
    void showImported(const QList<PanelRecord> &rows);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Components; tests find them by their object names.
    QTableView *panelGrid = nullptr;
    QLineEdit *objectEdit = nullptr;
    QLineEdit *accountEdit = nullptr;
    QLineEdit *phone1Edit = nullptr;
    QLineEdit *phone2Edit = nullptr;
    QLineEdit *testWaitEdit = nullptr;
    QComboBox *panelTypeCombo = nullptr;    // MXR_600r only
    QTableView *panelTypeGrid = nullptr;    // MXR_duziv only
    DatasetNavigator *typeNavigator = nullptr; // MXR_duziv only
    DatasetNavigator *panelNavigator = nullptr;
    QLabel *panelCountLabel = nullptr;

    QWidget *buildEditors();
    void buildTypeGrid(QWidget *host);
    void bindEditors();
    void bindEditing();
    void setTypeSelectorLocked(bool locked);
    void showRowType(int typeId);
    // The type list's current record (the type grid's row); -1 when the list is empty.
    int currentTypeIndex() const;
    // The type list's index of a type, -1 when the list lacks it.
    int typeIndexOf(int typeId) const;
    void moveTypeListTo(int typeId);
    void showCurrentRow();

    const Variant &variant_;
    PanelEditing &editing_;
    PanelTable *table_;
    QList<PanelEditing::TypeChoice> types_; // the type list, in the type table's order
    QStandardItemModel *typeGridModel_ = nullptr;
    bool fromBox_ = false;   // a box is writing into the row: it is not rewritten from the row
    GridFollower *gridFollower_ = nullptr;
};

} // namespace talvir
