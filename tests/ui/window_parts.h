// The windows' parts as the tests reach them: by their object names, as an assistive tool would.
#pragma once

#include "link/transceiver_link.h"
#include "tables/panel_editing.h"
#include "tables/panel_table.h"
#include "tables/reserve_list.h"
#include "ui/dataset_navigator.h"
#include "ui/main_window.h"
#include "ui/object_list_dialog.h"
#include "ui/panel_table_view.h"
#include "ui/radio_group.h"
#include "ui/settings_panel.h"
#include "ui/status_light.h"
#include "core/variant.h"
#include "workspace/workspace.h"

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>

namespace guitest {

using namespace talvir;

// The child of owner with this object name and type; nullptr when there is none.
template <typename T>
T *part(const QObject &owner, const char *name)
{
    return owner.findChild<T *>(QLatin1String(name));
}

struct MainParts {
    explicit MainParts(const QObject &w)
        : linkMenu(part<QMenu>(w, "linkMenu")), linkMenuAction(part<QAction>(w, "linkMenuAction")), usbAction(part<QAction>(w, "usbAction")),
          lanAction(part<QAction>(w, "lanAction")), readAction(part<QAction>(w, "readAction")),
          writeAction(part<QAction>(w, "writeAction")), loadAction(part<QAction>(w, "loadAction")),
          saveAction(part<QAction>(w, "saveAction")), importAction(part<QAction>(w, "importAction")),
          codeAction(part<QAction>(w, "codeAction")), exitAction(part<QAction>(w, "exitAction")),
          writeButton(part<QPushButton>(w, "writeButton")), progressBar(part<QProgressBar>(w, "progressBar")),
          statusText(part<QLabel>(w, "statusText")), linkLight(part<StatusLight>(w, "linkLight"))
    {
    }
    QMenu *linkMenu;
    QAction *linkMenuAction, *usbAction, *lanAction, *readAction, *writeAction, *loadAction, *saveAction,
        *importAction, *codeAction, *exitAction;
    QPushButton *writeButton;
    QProgressBar *progressBar;
    QLabel *statusText;
    StatusLight *linkLight; // MXR_600r only
};

struct SettingsParts {
    explicit SettingsParts(const QObject &w)
        : factoryNumberEdit(part<QLineEdit>(w, "factoryNumberEdit")),
          consoleKindGroup(part<RadioGroup>(w, "consoleKindGroup")), protocolGroup(part<RadioGroup>(w, "protocolGroup")),
          conversionGroup(part<RadioGroup>(w, "conversionGroup")), usbBox(part<QGroupBox>(w, "usbBox")),
          baudCombo(part<QComboBox>(w, "baudCombo")), testPeriodSpin(part<QSpinBox>(w, "testPeriodSpin")),
          gprsBox(part<QGroupBox>(w, "gprsBox")), apnEdit(part<QLineEdit>(w, "apnEdit")),
          lanBox(part<QGroupBox>(w, "lanBox")), serverIpLabel(part<QLabel>(w, "serverIpLabel")),
          serverIpEdit(part<QLineEdit>(w, "serverIpEdit")), serverPortLabel(part<QLabel>(w, "serverPortLabel")),
          serverPortEdit(part<QLineEdit>(w, "serverPortEdit")), dhcpGroup(part<RadioGroup>(w, "dhcpGroup")),
          localLanBox(part<QWidget>(w, "localLanBox")), localIpEdit(part<QLineEdit>(w, "localIpEdit")),
          localPortEdit(part<QLineEdit>(w, "localPortEdit")), gatewayIpEdit(part<QLineEdit>(w, "gatewayIpEdit")),
          reserveServersButton(part<QPushButton>(w, "reserveServersButton"))
    {
    }
    QLineEdit *factoryNumberEdit;
    RadioGroup *consoleKindGroup, *protocolGroup, *conversionGroup;
    QGroupBox *usbBox;
    QComboBox *baudCombo;
    QSpinBox *testPeriodSpin;
    QGroupBox *gprsBox;
    QLineEdit *apnEdit;
    QGroupBox *lanBox;
    QLabel *serverIpLabel;
    QLineEdit *serverIpEdit;
    QLabel *serverPortLabel;
    QLineEdit *serverPortEdit;
    RadioGroup *dhcpGroup;
    QWidget *localLanBox;
    QLineEdit *localIpEdit, *localPortEdit, *gatewayIpEdit;
    QPushButton *reserveServersButton;
};

struct PanelViewParts {
    explicit PanelViewParts(const QObject &w)
        : panelGrid(part<QTableView>(w, "panelGrid")), objectEdit(part<QLineEdit>(w, "objectEdit")),
          accountEdit(part<QLineEdit>(w, "accountEdit")), phone1Edit(part<QLineEdit>(w, "phone1Edit")),
          phone2Edit(part<QLineEdit>(w, "phone2Edit")), testWaitEdit(part<QLineEdit>(w, "testWaitEdit")),
          panelTypeCombo(part<QComboBox>(w, "panelTypeCombo")), panelTypeGrid(part<QTableView>(w, "panelTypeGrid")),
          typeNavigator(part<DatasetNavigator>(w, "typeNavigator")),
          panelNavigator(part<DatasetNavigator>(w, "panelNavigator")), panelCountLabel(part<QLabel>(w, "panelCountLabel"))
    {
    }
    QTableView *panelGrid;
    QLineEdit *objectEdit, *accountEdit, *phone1Edit, *phone2Edit, *testWaitEdit;
    QComboBox *panelTypeCombo;          // MXR_600r only
    QTableView *panelTypeGrid;          // MXR_duziv only
    DatasetNavigator *typeNavigator;    // MXR_duziv only
    DatasetNavigator *panelNavigator;
    QLabel *panelCountLabel;
};

struct ObjectListParts {
    explicit ObjectListParts(const QObject &w)
        : objectList(part<QListWidget>(w, "objectList")), modeGroup(part<RadioGroup>(w, "modeGroup")),
          runButton(part<QPushButton>(w, "runButton")), selectAllButton(part<QPushButton>(w, "selectAllButton")),
          unselectAllButton(part<QPushButton>(w, "unselectAllButton")), totalLabel(part<QLabel>(w, "totalLabel")),
          selectedLabel(part<QLabel>(w, "selectedLabel"))
    {
    }
    QListWidget *objectList;
    RadioGroup *modeGroup;
    QPushButton *runButton, *selectAllButton, *unselectAllButton;
    QLabel *totalLabel, *selectedLabel;
};

struct ReserveListParts {
    explicit ReserveListParts(const QObject &w)
        : addressGrid(part<QTableView>(w, "addressGrid")), navigator(part<DatasetNavigator>(w, "navigator")),
          clearButton(part<QPushButton>(w, "clearButton")), countLabel(part<QLabel>(w, "countLabel"))
    {
    }
    QTableView *addressGrid;
    DatasetNavigator *navigator;
    QPushButton *clearButton;
    QLabel *countLabel;
};

// The window's link to the transceiver.
inline TransceiverLink &linkOf(MainWindow &window) { return *window.findChild<TransceiverLink *>(); }

// The main window's settings panel, panel view and panel table.
inline SettingsPanel *settingsOf(const QObject &w) { return part<SettingsPanel>(w, "settingsPanel"); }
inline PanelTableView *panelViewOf(const QObject &w) { return part<PanelTableView>(w, "panelView"); }
inline PanelTable *panelTableOf(const QObject &w) { return part<PanelTable>(w, "panelTable"); }
inline Workspace &workspaceOf(const QObject &w) { return *part<Workspace>(w, "workspace"); }
// 1 when start-up chose console mode, else 0.
inline int consoleModeOf(const QObject &w) { return workspaceOf(w).consoleMode() ? 1 : 0; }
inline PanelEditing &panelEditingOf(const QObject &w) { return *part<PanelEditing>(w, "panelEditing"); }
inline ReserveServers &reserveServersOf(const QObject &w) { return *part<ReserveServers>(w, "reserveServers"); }

// The configuration the window shows, from its three parts, and back into them (the switches in the
// order protocol, conversion, mode, without the console-kind message).
inline TransceiverConfig configOf(const QObject &w)
{
    TransceiverConfig c = settingsOf(w)->config();
    c.reserveIps = reserveServersOf(w).stored();
    c.panels = panelTableOf(w)->rows();
    return c;
}
inline void showConfig(QObject &w, const TransceiverConfig &c)
{
    settingsOf(w)->setConfig(c);
    reserveServersOf(w).setStored(c.reserveIps);
    panelTableOf(w)->setRows(c.panels);
}

// A configuration every check accepts.
inline TransceiverConfig validConfig(const Variant &variant)
{
    TransceiverConfig c = TransceiverConfig::defaults(variant, false);
    c.factoryNumber = QStringLiteral("12345");
    c.serverPort = QStringLiteral("9999");
    c.localPort = QStringLiteral("1024");
    c.serverIp = QStringLiteral("192.168.1.3");
    c.localIp = QStringLiteral("192.168.1.50");
    c.gatewayIp = QStringLiteral("192.168.1.1");
    c.apn = QStringLiteral("internet");
    return c;
}

} // namespace guitest
