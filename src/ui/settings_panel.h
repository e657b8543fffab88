// The right half of the main window: the transceiver's own settings (factory number, protocol,
// conversion, console kind, USB, GPRS and LAN settings) and the switch rules that show, hide, enable
// and reset the dependent controls.
#pragma once

#include "core/config_model.h"

#include <QWidget>

class QComboBox;
class QGroupBox;
class QLabel;
class QLayout;
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
    // A read starts: the text boxes it fills are emptied.
    void clearTexts();

    // Switch rules.
    void applyProtocolRule(int index);
    void applyConsoleKindRule(int index);
    void applyDhcpRule(int index);

    // Components, under the names the window uses.
    QLineEdit *factoryNumberEdit = nullptr;
    RadioGroup *consoleKindGroup = nullptr;
    RadioGroup *protocolGroup = nullptr;
    RadioGroup *conversionGroup = nullptr;
    QGroupBox *usbBox = nullptr;
    QComboBox *baudCombo = nullptr;
    QSpinBox *testPeriodSpin = nullptr;
    QGroupBox *gprsBox = nullptr;
    QLineEdit *apnEdit = nullptr;
    QGroupBox *lanBox = nullptr;
    QLabel *serverIpLabel = nullptr;
    QLineEdit *serverIpEdit = nullptr;
    QLabel *serverPortLabel = nullptr;
    QLineEdit *serverPortEdit = nullptr;
    RadioGroup *dhcpGroup = nullptr;
    QWidget *localLanBox = nullptr;
    QLineEdit *localIpEdit = nullptr;
    QLineEdit *localPortEdit = nullptr;
    QLineEdit *gatewayIpEdit = nullptr;
    QPushButton *reserveServersButton = nullptr;

private:
    // The parts of the panel, top to bottom.
    QLayout *buildFactoryNumberRow();
    QLayout *buildSwitches();
    QWidget *buildUsbBox();
    QWidget *buildGprsBox();
    QWidget *buildLanBox();
    QWidget *buildServerBox(QWidget *parent);
    QWidget *buildLocalLanBox(QWidget *parent);
    void setInitialSwitchStates();

    const Variant &variant_;
    PromptService &prompts_;
};

} // namespace talvir
