// ReserveServerDialog: the list of reserve notification servers ("Список IP-адресов резервных СИ"), one IPv4
// address text per row in the in-memory table reserveList, with its navigator, the clear button and the
// row counter. It keeps the 80 stored addresses that the list is saved into when the technician
// closes the window and agrees; the main window hands them in and takes them back around exec().
#pragma once

#include "core/config_model.h"

#include <QDialog>
#include <array>

class QLabel;
class QPushButton;
class QTableView;

namespace talvir {

class Dataset;
class DatasetNavigator;
class PromptService;
struct Variant;

class ReserveServerDialog : public QDialog {
    Q_OBJECT
public:
    using Addresses = std::array<quint32, kReserveServers>;

    ReserveServerDialog(const Variant &variant, PromptService &prompts, QWidget *parent = nullptr);

    // Empties the list (start-up, and before it is made anew from stored addresses).
    void clearList();
    // Address texts of the stored rows, in list order.
    QStringList addressTexts() const;
    // The list made anew from stored addresses (a read or a load): emptied, then each text appended
    // through the row checks, in order.
    void setAddressTexts(const QStringList &texts);
    int rowCount() const;

    const Addresses &storedAddresses() const { return stored_; }
    void setStoredAddresses(const Addresses &addresses) { stored_ = addresses; }

    Dataset *reserveList = nullptr; // one field kAddressField
    QTableView *addressGrid = nullptr;
    DatasetNavigator *navigator = nullptr;
    QPushButton *clearButton = nullptr;
    QLabel *countLabel = nullptr;

    // Closing goes through settleAndAskToSave: the window stays open when the pending row cannot be settled.
    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showFirstRow();
    bool settleAndAskToSave();
    void askAndClearList();
    bool allowInsert();
    bool checkAddressRow();
    void showRowCount();

    void runNavigatorButton(int button);
    bool confirmDelete();
    // Hands the text of an open cell editor to the table, as leaving the cell does.
    void commitEditor();
    QWidget *openEditor() const;
    void closeEditorWithoutCommit();
    void gridRowChanged(int row);
    void syncGridRow();
    // Runs fn under the general error report; false when a conversion error stopped it.
    template <typename F>
    bool guardedAction(F &&fn);

    const Variant &variant_;
    PromptService &prompts_;
    Addresses stored_{};
    bool syncing_ = false;
};

} // namespace talvir
