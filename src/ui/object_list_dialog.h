// ObjectListDialog: the object-list window of the console import ("Список объектов"): the console's objects
// of the transceiver with check boxes, the transceiver mode, and the buttons that run the import.
// Shown without blocking the main window; the import itself fills it and acts on it.
#pragma once

#include <QDialog>

class QLabel;
class QListWidget;
class QPushButton;

namespace talvir {

class RadioGroup;
struct Variant;

class ObjectListDialog : public QDialog {
    Q_OBJECT
public:
    explicit ObjectListDialog(const Variant &variant, QWidget *parent = nullptr);

    // Refreshes the two counters of the status line.
    void updateCounters();

    QListWidget *objectList = nullptr;
    RadioGroup *modeGroup = nullptr;
    QPushButton *runButton = nullptr;
    QPushButton *selectAllButton = nullptr;
    QPushButton *unselectAllButton = nullptr;
    QLabel *totalLabel = nullptr;    // panel 0 of the status line statusText
    QLabel *selectedLabel = nullptr; // panel 1 of the status line statusText

private:
    const Variant &variant_;
};

} // namespace talvir
