// ReserveServerDialog: the window of the reserve notification servers ("Список IP-адресов резервных
// СИ") over the main window's ReserveServers: the grid of the list, its navigator, the clear button
// and the row counter. Closing asks whether to save the list into the stored addresses.
#pragma once

#include <QDialog>

class QLabel;
class QTableView;

namespace talvir {

class Dataset;
class DatasetNavigator;
class GridFollower;
class PromptService;
class ReserveServers;

class ReserveServerDialog : public QDialog {
    Q_OBJECT
public:
    ReserveServerDialog(ReserveServers &servers, PromptService &prompts, QWidget *parent = nullptr);

    // Closing goes through settleAndAskToSave: the window stays open when the pending row cannot be settled.
    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Components; tests find them by their object names.
    QTableView *addressGrid = nullptr;
    DatasetNavigator *navigator = nullptr;
    QLabel *countLabel = nullptr;

    bool settleAndAskToSave();
    void askAndClearList();
    void runNavigatorButton(int button);
    // Hands the text of an open cell editor to the table, as leaving the cell does.
    void commitEditor();
    QWidget *openEditor() const;
    void closeEditorWithoutCommit();
    void showCount();

    ReserveServers &servers_;
    Dataset &list_;
    PromptService &prompts_;
    GridFollower *gridFollower_ = nullptr;
};

} // namespace talvir
