// The left half of the main window: the grid over the panel table, the edit boxes bound to the
// current row both ways, the type selector (a drop-down in MXR_600r; in MXR_duziv a type grid with
// its small navigator), the navigator with its follow-up, and the row counter. The row check, the
// after-store handling and the type display are the table's hooks, attached here.
#pragma once

#include "core/config_model.h"
#include "tables/dataset.h"

#include <QList>
#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QStandardItemModel;
class QTableView;

namespace talvir {

class DatasetNavigator;
class PanelTable;
class PanelTypeTable;
class PromptService;
struct Variant;

class PanelTableView : public QWidget {
    Q_OBJECT
public:
    PanelTableView(const Variant &variant, PanelTable *table, PromptService &prompts, QWidget *parent = nullptr);

    // The type list from the panel-type table, in the table's order. The drop-down shows half as
    // many lines as the table has records.
    void fillTypeList(PanelTypeTable &types);
    int typeCount() const;
    QString typeName(int index) const;
    int typeIdAt(int index) const;

    // Console mode changes the navigator's follow-up (Insert opens the object list, Delete keeps
    // the next row open and counts "Объектов N").
    void setConsoleMode(bool on) { consoleMode_ = on; }

    // The current row of the grid, -1 when the table is empty.
    int currentRow() const;
    void setCurrentRow(int row);

    // Stores a row being inserted or edited through the check (an untouched new row is dropped);
    // false when the check refused it (its message was shown). Commands that take the table call
    // this first, so nothing typed is lost.
    bool settle();
    // After a read or a load: the counter and the first row, the type shown.
    void showFilledTable();
    // Empties the table without checking a row that is being edited; the check stays attached.
    void emptyTable();
    // The row counter says nothing until the table is shown again.
    void clearCount();

    // The hooks of the table (public for the fill-ins of a read, a load and the import).
    bool checkPanelRow();
    void afterPanelStored();
    void showRowType();

    PanelTable *table() const { return table_; }

    // The window's fill-ins of a read, a load and an append: the navigator waits meanwhile.
    void lockNavigator(bool locked);
    // While the console's object list is open rows are stored unchecked and unsorted; then the
    // checks come back.
    void suspendChecks();
    void resumeChecks();
    // Stores a row being typed through the check even while the checks are suspended.
    bool settleChecked();
    // The rows of a console import: the table takes them as they are, the counter tells them, the
    // first row is current.
    void showImported(const QList<PanelRecord> &rows);

signals:
    // Console mode's Insert opened a row: the window checks the factory number and opens the
    // object list in add mode.
    void consoleInsertOpened();

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
    void runNavigatorButton(int button);
    void followUpStandalone(int button);
    void followUpConsole(int button);
    bool refuseInsertAtCapacity();
    void setTypeSelectorLocked(bool locked);
    void chooseType(int index);
    // The type list's current record (the type grid's row); -1 when the list is empty.
    int currentTypeIndex() const;
    void moveTypeListTo(int typeId);
    void showCurrentRow();
    void syncGridToTable();
    void gridRowChanged(int row);
    void askToEmptyTable();
    void showCount();

    const Variant &variant_;
    PanelTable *table_;
    PromptService &prompts_;
    QStandardItemModel *typeGridModel_ = nullptr;
    bool consoleMode_ = false;
    bool fromBox_ = false;   // a box is writing into the row: it is not rewritten from the row
    bool syncing_ = false;   // the grid follows the table: its change is not a move
    QList<Dataset::Hook> suspended_; // the checks the open object list took off
};

} // namespace talvir
