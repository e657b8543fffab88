// The object-list window of the console import ("Список объектов"): the console's objects of the
// transceiver with check boxes, the transceiver mode, and the buttons that run the import. Shown
// without blocking the main window. It turns the ticked objects into panel rows: in replace mode the
// rows replace the table's, in add mode they follow them; the main window applies them. While the
// window is open the main window's table stores rows unchecked and unsorted.
#pragma once

#include "console/console_import.h"
#include "core/config_model.h"

#include <QDialog>

class QLabel;
class QListWidget;
class QPushButton;

namespace talvir {

class PromptService;
class RadioGroup;
struct Variant;

class ObjectListDialog : public QDialog {
    Q_OBJECT
public:
    enum class Mode { Replace = 1, Add = 2 };

    ObjectListDialog(const Variant &variant, PromptService &prompts, QWidget *parent = nullptr);

    // Lists the objects of the transceiver with this factory number and shows the window (a window
    // already open is only raised, its ticks kept). False when the console's object list cannot be
    // read: its box was shown and the program must end.
    bool openList(Mode mode, qint32 factoryNumber);
    Mode mode() const { return mode_; }

    // The panels of the ticked objects as rows: replacing rows in replace mode, after them in add
    // mode, a duplicate panel number replaced when the technician agrees. Each imported line is
    // unticked. complete is false when the import stopped (the table is full, or the console could
    // not be read): the window stays open with the lines not yet imported still ticked.
    struct Import {
        QList<PanelRecord> rows;
        bool complete = true;
    };
    Import importInto(QList<PanelRecord> rows);
    void selectAll();
    void unselectAll();
    // Refreshes the two counters of the status line.
    void updateCounters();

signals:
    // The console's object list could not be read: the program ends.
    void consoleUnavailable();
    // The window came on screen, and left it.
    void opened();
    void closed();
    // "Выполнить" was pressed.
    void runRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void done(int result) override;
    void closeEvent(QCloseEvent *event) override;

private:
    // Components; tests find them by their object names.
    QListWidget *objectList = nullptr;
    RadioGroup *modeGroup = nullptr;
    QPushButton *runButton = nullptr;
    QPushButton *selectAllButton = nullptr;
    QPushButton *unselectAllButton = nullptr;
    QLabel *totalLabel = nullptr;    // panel 0 of the status line
    QLabel *selectedLabel = nullptr; // panel 1 of the status line

    void fillList();
    void tickRange(int from, int to);

    PromptService &prompts_;
    ConsoleImport import_;
    Mode mode_ = Mode::Replace;
};

} // namespace talvir
