// The left half of the main window: the grid panelGrid over the panel table, the edit boxes bound to the
// current row, the type selector (panelTypeCombo drop-down, or in MXR_duziv the type grid N_PPK with its
// small navigator typeNavigator), the navigator panelNavigator and the counter panelCountLabel.
#pragma once

#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QStandardItemModel;
class QTableView;

namespace talvir {

class PanelTypeTable;
class DatasetNavigator;
class PanelTableModel;
struct Variant;

class PanelTableView : public QWidget {
    Q_OBJECT
public:
    PanelTableView(const Variant &variant, PanelTableModel *model, QWidget *parent = nullptr);

    // The type list from the panel-type table, in the table's order. panelTypeCombo's drop-down shows half
    // as many lines as the table has records.
    void fillTypeList(PanelTypeTable &types);
    // The type grid's entries (MXR_duziv) or the selector's entries (MXR_600r), each with its TypeId.
    int typeCount() const;
    QString typeName(int index) const;
    int typeIdAt(int index) const;

    // The current row of the grid, -1 when the table is empty.
    int currentRow() const;
    void setCurrentRow(int row);

    // Shows the row's values in the edit boxes and its type in the selector (empty for no row).
    void showRow(int row);

    PanelTableModel *model() const { return model_; }

    // Components, under the names the window uses.
    QTableView *panelGrid = nullptr;
    QLineEdit *objectEdit = nullptr;
    QLineEdit *accountEdit = nullptr;
    QLineEdit *phone1Edit = nullptr;
    QLineEdit *phone2Edit = nullptr;
    QLineEdit *testWaitEdit = nullptr;
    QComboBox *panelTypeCombo = nullptr;       // MXR_600r only
    QTableView *panelTypeGrid = nullptr;        // MXR_duziv only
    DatasetNavigator *typeNavigator = nullptr; // MXR_duziv only
    DatasetNavigator *panelNavigator = nullptr;
    QLabel *panelCountLabel = nullptr;

private:
    void buildTypeGrid(QWidget *host);

    const Variant &variant_;
    PanelTableModel *model_;
    QStandardItemModel *typeGridModel_ = nullptr;
};

} // namespace talvir
