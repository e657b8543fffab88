// MainWindow: the main window. Shows the workspace (panel table, reserve servers, image, panel-type
// table) beside the settings panel and binds them to the link to the transceiver; runs the start-up choice
// when first shown and asks before the program ends (main_window.cpp). Its other commands live in
// main_window_commands.cpp (import, reserve list), main_window_link.cpp (USB and LAN),
// main_window_write.cpp (write, read) and main_window_files.cpp (load, save).
#pragma once

#include "core/config_model.h"
#include "console/panel_type_table.h"
#include "core/prompts.h"
#include "link/transceiver_link.h"
#include "image/config_image.h"
#include "link/frames.h"
#include "link/timing.h"

#include <QMainWindow>
#include <QPointer>
#include <optional>
#include <array>
#include <functional>
#include <memory>

class QAction;
class QLabel;
class QMenu;
class QProgressBar;
class QPushButton;

namespace talvir {

class PanelEditing;
class Workspace;
class PanelTable;
class PanelTableView;
class PromptService;
class SettingsPanel;
class StatusLight;
class ObjectListDialog;
class ReserveServerDialog;
class ReserveServers;
struct LanStatus;
struct TransferResult;
struct Variant;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // typeTableFolder: where standalone mode finds "CentralType.db" (see core/data_folder.h).
    MainWindow(const Variant &variant, PromptService &prompts, const QString &typeTableFolder,
            const Timing &timing = Timing(), QWidget *parent = nullptr);
    // The same with the link built from parts (transports, timers, LAN endpoint).
    MainWindow(const Variant &variant, PromptService &prompts, const QString &typeTableFolder, const Timing &timing,
            const LinkParts &parts, QWidget *parent = nullptr);
    ~MainWindow() override;

    // The reserve servers the window holds; their dialog is made on them.
    ReserveServers &reserveServers() const;
    // The windows the entry point creates after this one.
    void setCompanions(ReserveServerDialog *reserveList, ObjectListDialog *objectList);
    // Asks the start-up choice (the start-up window's result: 1 console mode, 2 standalone, 0 none).
    void setStartupChooser(std::function<int()> chooser) { startupChooser_ = std::move(chooser); }

signals:
    // Start-up failed after its message: the program ends with this code.
    void terminateRequested(int exitCode);
    // Exit was confirmed and the window closed: the event loop ends.
    void finished();

public slots:
    // Link, file and import commands.
    void chooseUsb();
    void chooseLan();
    void writeConfiguration();
    void readConfiguration();
    void loadFile();
    void saveFile();
    void importFromConsole();  // console mode: import from the console database
    void appendFromFile(); // standalone mode: append the panels of a configuration file
    void editReserveServers();
    void exitProgram();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    // Menu commands and indicators; tests find them by their object names.
    QMenu *linkMenu = nullptr;
    QAction *linkMenuAction = nullptr; // the submenu's entry in the menu bar
    QAction *usbAction = nullptr;
    QAction *lanAction = nullptr;
    QAction *readAction = nullptr;
    QAction *writeAction = nullptr;
    QAction *loadAction = nullptr;
    QAction *saveAction = nullptr;
    QAction *importAction = nullptr;
    QAction *codeAction = nullptr;
    QAction *exitAction = nullptr;
    QPushButton *writeButton = nullptr;
    QProgressBar *progressBar = nullptr;
    QLabel *statusText = nullptr;
    StatusLight *linkLight = nullptr; // MXR_600r only

    // The configuration as the window holds it, and back. apply sets the switches in the order
    // protocol, conversion, mode (without the console-kind message).
    TransceiverConfig currentConfig() const;
    void applyConfig(const TransceiverConfig &config);

    // Caption: the variant's fixed prefix + one suffix.
    void setCaptionSuffix(const QString &suffix);

    // The link commands on offer: the write button, writing, reading, the link submenu, loading and
    // saving; WithoutTransfer keeps only the last three.
    enum class CommandOffer { None, WithoutTransfer, All };
    void offerLinkCommands(CommandOffer offer);
    // The general error report of a text that is not a whole number: the command stops there.
    void reportConversionError(const QString &error);
    // Runs a command handler under the general error report.
    template <typename F>
    bool guarded(F &&fn)
    {
        return talvir::guarded(prompts_, errorReportTitle(variant_), std::forward<F>(fn));
    }
    // The same for the commands that need the link idle: while a transfer runs they do nothing.
    template <typename F>
    bool whenIdle(F &&fn)
    {
        return !link_->isBusy() && guarded(std::forward<F>(fn));
    }

    // The write command (main_window_write.cpp): checks, image, send list, then the hand-over. With
    // saveToFile (the save command's save flag) the built send list goes to it instead of the
    // transceiver. True when the checks passed and the list was built.
    using SendListSink = std::function<void(const SendList &)>;
    bool runWrite(const SendListSink &saveToFile = {});
    void buildMenu();
    void buildBody();
    void buildStatusBar();
    // Fits a 1366 x 768 laptop screen with a task bar, or the screen the window is on when smaller.
    QSize defaultSize() const;
    void startUp();
    bool confirmExit();
    void terminate(int exitCode);
    void runImport();
    // The poll pauses while the exit question is open.

    // The link (main_window_link.cpp).
    void bindLink();
    void showLinkState(TransceiverLink::State state);
    void showLanStatus(const LanStatus &status);
    // Runs the event loop while a LAN connect, write or read runs: the command that started it returns
    // when it has ended. Wakes at once when the link's state changes.
    void waitForLink();
    // No serial link (the watchdog expired, the port could not be opened or was closed): caption,
    // status "Нет связи", no write button, gauge or write and read commands.
    void showLinkNotUp();
    // The address the LAN box proposes: the last one typed or loaded, else the factory default.
    QString proposedAddress() const;
    // The end of a write or read (main_window_write.cpp): the message, and after a read the window
    // filled from the image.
    void showTransferEnd(const TransferResult &result);
    // A transfer's end is shown once the link's own handler has returned: while its box is open the
    // link goes on (the USB keep-alive answered, the LAN status datagrams taken), and the window
    // shows the link's new state only after the box, as before it.
    void showPendingEnd();
    // After a write that sent nothing: all link commands when a link is ready, else without transfer.
    void restoreControlsWithoutTransfer();
    void focusControl(const QString &objectName);
    // A configuration read from a transceiver or loaded from a file, its rows already in table
    // order: the rows named, the controls set, the counter, the first row current.
    void showTakenConfig(TransceiverConfig config);
    // Console mode's Insert: the object list in add mode, once the factory number is known.
    void addFromConsole();
    // The object list of the console import in replace (1) or add (2) mode, for the factory number.
    void openObjectList(int mode);
    // "Выполнить" in the object list: its rows into the panel table.
    void runObjectImport();
    // The open dialog for a configuration file (the load and the append), in the folder of the last
    // file; the chosen file's folder is remembered. Nothing when the technician cancels.
    std::optional<QString> askConfigFileToOpen();

    const Variant &variant_;
    PromptService &prompts_;
    QString typeTableFolder_;
    Timing timing_;

    TransceiverLink *link_; // a child of the window
    Workspace *workspace_; // the tables, the image, the type table, the mode
    PanelTableView *panelView_ = nullptr;
    SettingsPanel *settings_ = nullptr;

    QPointer<ReserveServerDialog> reserveList_;
    QPointer<ObjectListDialog> objectList_;
    std::function<int()> startupChooser_;

    TransceiverLink::State shownState_ = TransceiverLink::State::Down;
    std::optional<TransferResult> pendingEnd_;
    bool endOnScreen_ = false;
    std::optional<TransceiverLink::State> heldState_; // the link's state while its end is shown
    // The factory number of the configuration the running write sends, as typed.
    QString writtenFactoryNumber_;

    bool startupDone_ = false;
    bool terminating_ = false;
};

} // namespace talvir
