// The object-list window of the console import ("Список объектов"): the console's objects of the
// transceiver with check boxes, the transceiver mode, and the buttons that run the import. Shown
// without blocking the main window. Replace mode empties the panel table as it opens; add mode
// appends to it. While the window is open the table stores rows unchecked and unsorted; its hooks are
// attached again when the window closes.
#pragma once

#include "console/console_import.h"
#include "tables/dataset.h"

#include <QDialog>

class QLabel;
class QListWidget;
class QPushButton;

namespace talvir {

class PanelTableView;
class PromptService;
class RadioGroup;
struct Variant;

class ObjectListDialog : public QDialog {
    Q_OBJECT
public:
    enum class Mode { Replace = 1, Add = 2 };

    ObjectListDialog(const Variant &variant, PromptService &prompts, QWidget *parent = nullptr);

    // The panel table the import fills (the main window's).
    void setPanelTable(PanelTableView *view) { view_ = view; }
    // Lists the objects of the transceiver with this factory number and shows the window. False when
    // the console's object list cannot be read: its box was shown and the program must end.
    bool openList(Mode mode, qint32 factoryNumber);
    Mode mode() const { return mode_; }

    // "Выполнить": the panels of the ticked objects into the panel table.
    void runImport();
    void selectAll();
    void unselectAll();
    // Refreshes the two counters of the status line.
    void updateCounters();

    QListWidget *objectList = nullptr;
    RadioGroup *modeGroup = nullptr;
    QPushButton *runButton = nullptr;
    QPushButton *selectAllButton = nullptr;
    QPushButton *unselectAllButton = nullptr;
    QLabel *totalLabel = nullptr;    // panel 0 of the status line
    QLabel *selectedLabel = nullptr; // panel 1 of the status line

signals:
    // The console's object list could not be read: the program ends.
    void consoleUnavailable();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void done(int result) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void fillList();
    // Imports the panels of line i; false when the table is full (the import stops).
    bool importLine(int line);
    void detachTableHooks();
    void attachTableHooks();
    void tickRange(int from, int to);

    const Variant &variant_;
    PromptService &prompts_;
    PanelTableView *view_ = nullptr;
    ConsoleImport import_;
    Mode mode_ = Mode::Replace;
    QList<Dataset::Hook> detached_;
};

} // namespace talvir
