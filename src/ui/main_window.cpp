#include "main_window.h"

#include "tables/panel_editing.h"

#include "workspace/workspace.h"

#include "core/prompts.h"
#include "link/link_texts.h"
#include "ui/status_light.h"
#include "ui/dataset_navigator.h"
#include "image/config_writer.h"
#include "ui/object_list_dialog.h"
#include "core/variant.h"
#include "tables/panel_table.h"
#include "ui/panel_table_view.h"
#include "ui/radio_group.h"
#include "ui/settings_panel.h"
#include "ui/reserve_server_dialog.h"
#include "tables/reserve_list.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QKeyEvent>
#include <QShortcut>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

namespace talvir {

namespace {

// Scrolls its widget up and down only, so it is never narrower than the widget needs, also after a
// switch shows a wider group.
class VerticalScrollArea : public QScrollArea {
public:
    using QScrollArea::QScrollArea;

    QSize minimumSizeHint() const override
    {
        QSize hint = QScrollArea::minimumSizeHint();
        if (widget())
            hint.setWidth(widget()->minimumSizeHint().width() + verticalScrollBar()->sizeHint().width()
                          + 2 * frameWidth());
        return hint;
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == widget() && event->type() == QEvent::LayoutRequest)
            updateGeometry();
        return QScrollArea::eventFilter(watched, event);
    }
};

} // namespace

MainWindow::MainWindow(const Variant &variant, PromptService &prompts, const QString &typeTableFolder,
                 const Timing &timing, QWidget *parent)
    : MainWindow(variant, prompts, typeTableFolder, timing, LinkParts::real(), parent)
{
}

MainWindow::MainWindow(const Variant &variant, PromptService &prompts, const QString &typeTableFolder,
                 const Timing &timing, const LinkParts &parts, QWidget *parent)
    : QMainWindow(parent), variant_(variant), prompts_(prompts), typeTableFolder_(typeTableFolder),
      timing_(timing), link_(new TransceiverLink(variant, timing, parts, this)),
      workspace_(new Workspace(variant, prompts, this))
{
    setObjectName(QStringLiteral("MainWindow"));
    link_->setObjectName(QStringLiteral("link"));
    setWindowTitle(variant_.designCaption);
    workspace_->setObjectName(QStringLiteral("workspace"));
    connect(&workspace_->editing(), &PanelEditing::consoleInsertOpened, this, &MainWindow::addFromConsole);
    buildMenu();
    buildBody();
    buildStatusBar();
    bindLink();
    resize(defaultSize());
}

QSize MainWindow::defaultSize() const
{
    // A 1366 x 768 laptop with a task bar leaves about 1280 x 680 inside the window frame; a smaller
    // screen gets what it has.
    QSize size(1280, 680);
    if (const QScreen *s = screen())
        size = size.boundedTo(s->availableGeometry().size() - QSize(16, 48));
    return size.expandedTo(minimumSizeHint());
}

// The link goes before the window's parts it reports to.
MainWindow::~MainWindow() { delete link_; }

namespace {

// The caption with an ampersand before its first letter that none of the taken letters holds.
QString withMnemonic(const QString &caption, const QString &taken)
{
    for (int i = 0; i < caption.size(); ++i) {
        if (caption[i].isLetter() && !taken.contains(caption[i].toLower()))
            return caption.left(i) + QLatin1Char('&') + caption.mid(i);
    }
    return caption;
}

// Alt pressed and released alone, with no other key or click between, opens the menu bar as F10
// does: the Windows habit, on every platform and style (a style's own Alt navigation is not
// everywhere, and differs between platforms).
class AltAloneOpensMenu : public QObject {
public:
    AltAloneOpensMenu(QWidget *window, std::function<void()> open) : QObject(window), window_(window), open_(std::move(open))
    {
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::KeyPress: {
            const auto *key = static_cast<QKeyEvent *>(event);
            if (!key->isAutoRepeat())
                altAlone_ = key->key() == Qt::Key_Alt;
            break;
        }
        case QEvent::KeyRelease: {
            const auto *key = static_cast<QKeyEvent *>(event);
            if (key->key() == Qt::Key_Alt && altAlone_ && window_->isActiveWindow()) {
                altAlone_ = false;
                open_();
            }
            break;
        }
        case QEvent::MouseButtonPress: altAlone_ = false; break;
        default: break;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QWidget *window_;
    std::function<void()> open_;
    bool altAlone_ = false;
};

} // namespace

void MainWindow::buildMenu()
{
    QMenuBar *bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu"));

    // Each command has its letter for Alt (underlined while Alt is held); assistive tools read the
    // captions without the marks.
    linkMenu = new QMenu(withMnemonic(variant_.linkMenuCaption, QStringLiteral("пзгситв")), this);
    linkMenu->setObjectName(QStringLiteral("linkMenu"));
    usbAction = linkMenu->addAction(QStringLiteral("&USB"));
    usbAction->setObjectName(QStringLiteral("usbAction"));
    lanAction = linkMenu->addAction(QStringLiteral("&LAN"));
    lanAction->setObjectName(QStringLiteral("lanAction"));
    linkMenuAction = linkMenu->menuAction();
    linkMenuAction->setObjectName(QStringLiteral("linkMenuAction"));

    auto make = [this](const QString &caption, const char *name) {
        auto *a = new QAction(caption, this);
        a->setObjectName(QLatin1String(name));
        return a;
    };
    readAction = make(QStringLiteral("&Прочитать"), "readAction");
    writeAction = make(QStringLiteral("&Записать"), "writeAction");
    loadAction = make(QStringLiteral("За&грузить"), "loadAction");
    saveAction = make(QStringLiteral("&Сохранить"), "saveAction");
    importAction = make(QStringLiteral("&Импорт"), "importAction");
    codeAction = make(QStringLiteral("&Таблица перекодировки"), "codeAction");
    exitAction = make(QStringLiteral("&Выход"), "exitAction");

    bar->addAction(linkMenuAction);
    if (variant_.writeBeforeRead) {
        bar->addAction(writeAction);
        bar->addAction(readAction);
    } else {
        bar->addAction(readAction);
        bar->addAction(writeAction);
    }
    for (QAction *a : {loadAction, saveAction, importAction, codeAction, exitAction})
        bar->addAction(a);

    // The keys of the usual Windows programs; F9 writes, as the field's configurators do.
    // F10 opens the menu bar as on Windows, Alt alone too.
    const auto openMenuBar = [bar, this] {
        bar->setFocus(Qt::MenuBarFocusReason);
        bar->setActiveAction(linkMenuAction);
    };
    connect(new QShortcut(QKeySequence(Qt::Key_F10), this), &QShortcut::activated, this, openMenuBar);
    new AltAloneOpensMenu(this, openMenuBar);
    loadAction->setShortcut(QKeySequence::Open);
    saveAction->setShortcut(QKeySequence::Save);
    writeAction->setShortcut(Qt::Key_F9);
    for (QAction *a : {loadAction, saveAction, writeAction})
        a->setShortcutContext(Qt::WindowShortcut);

    readAction->setEnabled(false);
    writeAction->setEnabled(false);
    importAction->setEnabled(variant_.importEnabledAtCreation);
    codeAction->setEnabled(false);
    codeAction->setVisible(false);

    connect(usbAction, &QAction::triggered, this, &MainWindow::chooseUsb);
    connect(lanAction, &QAction::triggered, this, &MainWindow::chooseLan);
    connect(readAction, &QAction::triggered, this, &MainWindow::readConfiguration);
    connect(writeAction, &QAction::triggered, this, &MainWindow::writeConfiguration);
    connect(loadAction, &QAction::triggered, this, &MainWindow::loadFile);
    connect(saveAction, &QAction::triggered, this, &MainWindow::saveFile);
    connect(importAction, &QAction::triggered, this, &MainWindow::runImport);
    connect(exitAction, &QAction::triggered, this, &MainWindow::exitProgram);
}

void MainWindow::buildBody()
{
    auto *central = new QWidget(this);
    central->setObjectName(QStringLiteral("Body"));
    auto *layout = new QHBoxLayout(central);
    layout->setContentsMargins(8, 8, 8, 4);
    layout->setSpacing(12);

    panelView_ = new PanelTableView(variant_, workspace_->editing(), central);
    panelView_->setObjectName(QStringLiteral("panelView"));
    layout->addWidget(panelView_, 1);

    auto *right = new QVBoxLayout;
    right->setSpacing(6);
    settings_ = new SettingsPanel(variant_, prompts_, central);
    settings_->setObjectName(QStringLiteral("settingsPanel"));
    // On a low screen the settings scroll; the write button below them stays in view.
    auto *settingsScroll = new VerticalScrollArea(central);
    settingsScroll->setObjectName(QStringLiteral("settingsScroll"));
    settingsScroll->setFrameShape(QFrame::NoFrame);
    settingsScroll->setWidgetResizable(true);
    settingsScroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    settingsScroll->setWidget(settings_);
    settingsScroll->setAccessibleName(QStringLiteral("Настройки трансивера"));
    settingsScroll->setFocusPolicy(Qt::NoFocus); // Tab goes from box to box, not to the area itself
    right->addWidget(settingsScroll, 1);
    writeButton = new QPushButton(QStringLiteral("Записать"), central);
    writeButton->setObjectName(QStringLiteral("writeButton"));
    writeButton->setMinimumHeight(34);
    writeButton->setVisible(false);
    right->addWidget(writeButton);
    auto *rightHost = new QWidget(central);
    rightHost->setLayout(right);
    right->setContentsMargins(0, 0, 0, 0);
    rightHost->setMaximumWidth(440);
    layout->addWidget(rightHost);

    setCentralWidget(central);

    connect(writeButton, &QPushButton::clicked, this, &MainWindow::writeConfiguration);
    connect(settings_, &SettingsPanel::reserveServersRequested, this, &MainWindow::editReserveServers);
}

void MainWindow::buildStatusBar()
{
    QStatusBar *bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar"));
    statusText = new QLabel(bar);
    statusText->setObjectName(QStringLiteral("statusText"));
    bar->addWidget(statusText, 1);

    progressBar = new QProgressBar(bar);
    progressBar->setObjectName(QStringLiteral("progressBar"));
    progressBar->setRange(0, 100);
    progressBar->setValue(0);
    progressBar->setFormat(QStringLiteral("%p%"));
    progressBar->setTextVisible(true);
    progressBar->setFixedWidth(220);
    progressBar->setVisible(false);
    bar->addPermanentWidget(progressBar);

    if (variant_.hasStatusLight) {
        linkLight = new StatusLight(bar);
        linkLight->setObjectName(QStringLiteral("linkLight"));
        linkLight->setColor(Qt::white);
        linkLight->setLit(true);
        bar->addPermanentWidget(linkLight);
    }
}

ReserveServers &MainWindow::reserveServers() const { return workspace_->reserveServers(); }

void MainWindow::setCompanions(ReserveServerDialog *reserveList, ObjectListDialog *objectList)
{
    reserveList_ = reserveList;
    objectList_ = objectList;
    if (objectList_) {
        connect(objectList_, &ObjectListDialog::consoleUnavailable, this, [this] { terminate(1); });
        connect(objectList_, &ObjectListDialog::opened, &workspace_->editing(), &PanelEditing::suspendChecks);
        connect(objectList_, &ObjectListDialog::closed, &workspace_->editing(), &PanelEditing::resumeChecks);
        connect(objectList_, &ObjectListDialog::runRequested, this, &MainWindow::runObjectImport);
    }
}

void MainWindow::setCaptionSuffix(const QString &suffix)
{
    setWindowTitle(variant_.caption(suffix));
}

void MainWindow::reportConversionError(const QString &error)
{
    reportError(prompts_, errorReportTitle(variant_), error);
}

void MainWindow::offerLinkCommands(CommandOffer offer)
{
    const bool all = offer == CommandOffer::All;
    writeButton->setVisible(all);
    for (QAction *a : {writeAction, readAction})
        a->setEnabled(all);
    for (QAction *a : {linkMenuAction, loadAction, saveAction})
        a->setEnabled(offer != CommandOffer::None);
}

TransceiverConfig MainWindow::currentConfig() const
{
    return workspace_->configWith(settings_->config());
}

void MainWindow::applyConfig(const TransceiverConfig &config)
{
    settings_->setConfig(config);
    workspace_->setTables(config);
}

void MainWindow::showTakenConfig(TransceiverConfig config)
{
    // Rows taken from a transceiver or a file are stored unchecked, each named from the type list.
    workspace_->nameRows(config.panels);
    panelView_->lockNavigator(true);
    applyConfig(config);
    panelView_->showFilledTable();
    panelView_->lockNavigator(false);
}

void MainWindow::showEvent(QShowEvent *event)
{
    // Qt sends the show event before the window appears, so the start-up choice comes first and
    // the design-time caption is never seen.
    QMainWindow::showEvent(event);
    if (startupDone_ || event->spontaneous())
        return;
    startupDone_ = true;
    startUp();
}

void MainWindow::startUp()
{
    int choice = 0;
    if (startupChooser_)
        choice = startupChooser_();

    const bool consoleMode = choice == 1;
    if (!consoleMode)
        importAction->setEnabled(false);
    if (const std::optional<UserMessage> failure = workspace_->start(consoleMode, typeTableFolder_)) {
        prompts_.message(*failure);
        terminate(1);
        return;
    }
    if (consoleMode)
        importAction->setEnabled(true);
    panelView_->fillTypeList(workspace_->typeTable());
    setCaptionSuffix(linktext::autonomousCaption());
    settings_->reset(consoleMode);
}

void MainWindow::terminate(int exitCode)
{
    terminating_ = true;
    workspace_->typeTable().close();
    emit terminateRequested(exitCode);
}

void MainWindow::exitProgram()
{
    // The poll pauses while the exit question is open. A running exchange keeps its retransmission:
    // if the technician stays, the write or read must still be able to end.
    link_->pausePoll();
    // A declined exit leaves the LAN link as it was: the poll goes on.
    if (!close())
        link_->resumePoll();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (terminating_ || confirmExit()) {
        event->accept();
        if (!terminating_)
            emit finished();
    } else {
        event->ignore();
    }
}

bool MainWindow::confirmExit()
{
    const MessageAnswer answer =
        prompts_.message(QStringLiteral("Завершение работы"), QStringLiteral("Завершить работу приложения?"),
                         MessageIcon::Warning, MessageButtons::YesNo);
    if (answer != MessageAnswer::Yes)
        return false;
    // Every transfer is abandoned without a message, the serial port closes, nothing more is sent or read.
    link_->shutDown();
    workspace_->close();
    return true;
}

void MainWindow::runImport()
{
    if (workspace_->consoleMode())
        importFromConsole();
    else
        appendFromFile();
}

} // namespace talvir
