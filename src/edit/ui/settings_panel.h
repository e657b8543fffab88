// The right half of the main window: the transceiver's own settings (factory number, protocol,
// conversion, console kind, USB, GPRS and LAN settings) and the switch rules that show, hide, enable
// and reset the dependent controls.
#pragma once

#include "app/config_model.h"

#include <QWidget>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace talvir {

class PromptService;
class RadioGroup;
struct Variant;

class SettingsPanel : public QWidget {
    Q_OBJECT
public:
    SettingsPanel(const Variant &variant, PromptService &prompts, QWidget *parent = nullptr);

    // The settings fields of a configuration (panels and reserve servers are not held here).
    void readInto(TransceiverConfig &config) const;
    // Sets protocol first (its rule resets conversion and mode), then conversion, then mode without
    // the console-kind message, then the DHCP switch with its rule.
    void apply(const TransceiverConfig &config);

    // Switch rules.
    void FrmtRadioGroupClick(int index);
    void EtherProtClick(int index);
    void DHCP_OnOffClick(int index);

    // Components, under the names the window uses.
    QLineEdit *EditMAC = nullptr;
    RadioGroup *EtherProt = nullptr;
    RadioGroup *FrmtRadioGroup = nullptr;
    RadioGroup *ConvertGroup = nullptr;
    QGroupBox *UsbGroup = nullptr;
    QComboBox *BaudBox = nullptr;
    QSpinBox *PeriodHB = nullptr;
    QGroupBox *GprsGroup = nullptr;
    QLineEdit *EditAPN = nullptr;
    QGroupBox *LanGroup = nullptr;
    QLabel *ServerIpLabel = nullptr;
    QLineEdit *EditIP1_PCN = nullptr;
    QLabel *ServerPortLabel = nullptr;
    QLineEdit *EditPort1_PCN = nullptr;
    RadioGroup *DHCP_OnOff = nullptr;
    QWidget *LocLAN = nullptr;
    QLineEdit *DHCP_IP = nullptr;
    QLineEdit *EditPort_Loc = nullptr;
    QLineEdit *Shl_IP = nullptr;
    QPushButton *AddAltIPBtn = nullptr;

private:
    const Variant &variant_;
    PromptService &prompts_;
};

} // namespace talvir
