// The left half of the main window: the grid DBGrid1 over PPKTbl, the edit boxes bound to the
// current row, the type selector (TypePPK drop-down, or in MXR_duziv the type grid N_PPK with its
// small navigator DBNavigator2), the navigator NavObj and the counter ObjCountLbl.
#pragma once

#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QStandardItemModel;
class QTableView;

namespace talvir {

class CntTbl;
class DbNavigator;
class PanelTableModel;
struct Variant;

class PanelTableView : public QWidget {
    Q_OBJECT
public:
    PanelTableView(const Variant &variant, PanelTableModel *model, QWidget *parent = nullptr);

    // The type list from the panel-type table, in the table's order. TypePPK's drop-down shows half
    // as many lines as the table has records.
    void fillTypeList(CntTbl &types);
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
    QTableView *DBGrid1 = nullptr;
    QLineEdit *ObjId = nullptr;
    QLineEdit *Accnt = nullptr;
    QLineEdit *P1 = nullptr;
    QLineEdit *P2 = nullptr;
    QLineEdit *WaitTest = nullptr;
    QComboBox *TypePPK = nullptr;       // MXR_600r only
    QTableView *N_PPK = nullptr;        // MXR_duziv only
    DbNavigator *DBNavigator2 = nullptr; // MXR_duziv only
    DbNavigator *NavObj = nullptr;
    QLabel *ObjCountLbl = nullptr;

private:
    void buildTypeGrid(QWidget *host);

    const Variant &variant_;
    PanelTableModel *model_;
    QStandardItemModel *typeGridModel_ = nullptr;
};

} // namespace talvir
