// TA_Form1: the object-list window of the console import ("Список объектов"): the console's objects
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

class TA_Form1 : public QDialog {
    Q_OBJECT
public:
    explicit TA_Form1(const Variant &variant, QWidget *parent = nullptr);

    // Refreshes the two counters of the status line.
    void updateCounters();

    QListWidget *OLListBox = nullptr;
    RadioGroup *ModeGroup = nullptr;
    QPushButton *RxSpeedButton1 = nullptr;
    QPushButton *SelAll = nullptr;
    QPushButton *UnselAll = nullptr;
    QLabel *SBTotal = nullptr;    // panel 0 of the status line SB
    QLabel *SBSelected = nullptr; // panel 1 of the status line SB

private:
    const Variant &variant_;
};

} // namespace talvir
