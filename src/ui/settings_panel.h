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
    TransceiverConfig config() const;
    // Sets protocol first (its rule resets conversion and mode), then conversion, then mode without
    // the console-kind message, then the DHCP switch with its rule. Panels and reserve servers are
    // not touched.
    void setConfig(const TransceiverConfig &config);
    // The switches as the program starts in this mode: the start values of TransceiverConfig
    // (console kind, speed, DHCP; the protocol too where the program resets it).
    void reset(bool consoleMode);
    // A read starts: the text boxes it fills are emptied.
    void clearTexts();
    QString factoryNumber() const;

    // Switch rules.
    void applyProtocolRule(int index);
    void applyConsoleKindRule(int index);
    void applyDhcpRule(int index);

signals:
    // "Резервные серверы" was pressed.
    void reserveServersRequested();

private:
    // Components; tests find them by their object names.
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
