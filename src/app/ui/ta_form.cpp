#include "ta_form.h"

#include "link/lan_channel.h"
#include "link/lan_datagrams.h"
#include "link/serial_channel.h"
#include "link/transfer_engine.h"

#include "app/ui/prompts.h"
#include "app/ui/status_light.h"
#include "app/ui/ta_form1.h"
#include "app/ui/tb_form.h"
#include "app/variant.h"
#include "edit/ui/panel_table_model.h"
#include "edit/ui/panel_table_view.h"
#include "edit/ui/radio_group.h"
#include "edit/ui/settings_panel.h"
#include "edit/ui/tform_al.h"

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
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

namespace talvir {

TA_Form::TA_Form(const Variant &variant, PromptService &prompts, const QString &typeTableFolder,
                 const Timing &timing, QWidget *parent)
    : TA_Form(variant, prompts, typeTableFolder, timing, LinkSetup(), parent)
{
}

TA_Form::TA_Form(const Variant &variant, PromptService &prompts, const QString &typeTableFolder,
                 const Timing &timing, const LinkSetup &link, QWidget *parent)
    : QMainWindow(parent), variant_(variant), prompts_(prompts), typeTableFolder_(typeTableFolder),
      timing_(timing), image_(variant)
{
    setObjectName(QStringLiteral("TA_Form"));
    setWindowTitle(variant_.designCaption);
    panelModel_ = new PanelTableModel(this);
    buildMenu();
    buildBody();
    buildStatusBar();
    createLinks(link);
    resize(1100, 720);
}

TA_Form::~TA_Form() = default;

void TA_Form::buildMenu()
{
    QMenuBar *bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu"));

    ItemLinkMenu = new QMenu(variant_.linkMenuCaption, this);
    ItemLinkMenu->setObjectName(QStringLiteral("ItemLinkMenu"));
    USB1 = ItemLinkMenu->addAction(QStringLiteral("USB"));
    USB1->setObjectName(QStringLiteral("USB1"));
    Lan = ItemLinkMenu->addAction(QStringLiteral("LAN"));
    Lan->setObjectName(QStringLiteral("Lan"));
    ItemLink = ItemLinkMenu->menuAction();
    ItemLink->setObjectName(QStringLiteral("ItemLink"));

    auto make = [this](const QString &caption, const char *name) {
        auto *a = new QAction(caption, this);
        a->setObjectName(QLatin1String(name));
        return a;
    };
    ItemRead = make(QStringLiteral("Прочитать"), "ItemRead");
    ItemWr = make(QStringLiteral("Записать"), "ItemWr");
    ItemLoad = make(QStringLiteral("Загрузить"), "ItemLoad");
    ItemSave = make(QStringLiteral("Сохранить"), "ItemSave");
    ImpItem = make(QStringLiteral("Импорт"), "ImpItem");
    ItemCode = make(QStringLiteral("Таблица перекодировки"), "ItemCode");
    ItemExit = make(QStringLiteral("Выход"), "ItemExit");

    bar->addAction(ItemLink);
    if (variant_.writeBeforeRead) {
        bar->addAction(ItemWr);
        bar->addAction(ItemRead);
    } else {
        bar->addAction(ItemRead);
        bar->addAction(ItemWr);
    }
    for (QAction *a : {ItemLoad, ItemSave, ImpItem, ItemCode, ItemExit})
        bar->addAction(a);

    ItemRead->setEnabled(false);
    ItemWr->setEnabled(false);
    ImpItem->setEnabled(variant_.importEnabledAtCreation);
    ItemCode->setEnabled(false);
    ItemCode->setVisible(false);

    connect(USB1, &QAction::triggered, this, &TA_Form::USB1Click);
    connect(Lan, &QAction::triggered, this, &TA_Form::LanClick);
    connect(ItemRead, &QAction::triggered, this, &TA_Form::ItemReadClick);
    connect(ItemWr, &QAction::triggered, this, &TA_Form::ItemWrClick);
    connect(ItemLoad, &QAction::triggered, this, &TA_Form::ItemLoadClick);
    connect(ItemSave, &QAction::triggered, this, &TA_Form::ItemSaveClick);
    connect(ImpItem, &QAction::triggered, this, &TA_Form::onImpItemTriggered);
    connect(ItemExit, &QAction::triggered, this, &TA_Form::ItemExitClick);
}

void TA_Form::buildBody()
{
    auto *central = new QWidget(this);
    central->setObjectName(QStringLiteral("Body"));
    auto *layout = new QHBoxLayout(central);
    layout->setContentsMargins(8, 8, 8, 4);
    layout->setSpacing(12);

    panelView_ = new PanelTableView(variant_, panelModel_, central);
    layout->addWidget(panelView_, 1);

    auto *right = new QVBoxLayout;
    right->setSpacing(6);
    settings_ = new SettingsPanel(variant_, prompts_, central);
    right->addWidget(settings_, 1);
    WrBtn = new QPushButton(QStringLiteral("Записать"), central);
    WrBtn->setObjectName(QStringLiteral("WrBtn"));
    WrBtn->setMinimumHeight(34);
    WrBtn->setVisible(false);
    right->addWidget(WrBtn);
    auto *rightHost = new QWidget(central);
    rightHost->setLayout(right);
    right->setContentsMargins(0, 0, 0, 0);
    rightHost->setFixedWidth(440);
    layout->addWidget(rightHost);

    setCentralWidget(central);

    connect(WrBtn, &QPushButton::clicked, this, &TA_Form::WrBtnClick);
    connect(settings_->AddAltIPBtn, &QPushButton::clicked, this, &TA_Form::AddAltIPBtnClick);
}

void TA_Form::buildStatusBar()
{
    QStatusBar *bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar"));
    SB = new QLabel(bar);
    SB->setObjectName(QStringLiteral("SB"));
    bar->addWidget(SB, 1);

    Gauge = new QProgressBar(bar);
    Gauge->setObjectName(QStringLiteral("Gauge"));
    Gauge->setRange(0, 100);
    Gauge->setValue(0);
    Gauge->setFormat(QStringLiteral("%p%"));
    Gauge->setTextVisible(true);
    Gauge->setFixedWidth(220);
    Gauge->setVisible(false);
    bar->addPermanentWidget(Gauge);

    if (variant_.hasStatusLight) {
        ch1IP = new StatusLight(bar);
        ch1IP->setObjectName(QStringLiteral("ch1IP"));
        ch1IP->setColor(Qt::white);
        ch1IP->setLit(true);
        bar->addPermanentWidget(ch1IP);
    }
}

void TA_Form::setCompanions(TForm_AL *reserveList, TA_Form1 *objectList, TB_Form *startup)
{
    reserveList_ = reserveList;
    objectList_ = objectList;
    startup_ = startup;
}

QString TA_Form::suffixAutonomous()
{
    return QStringLiteral("      Автономный режим");
}

void TA_Form::setCaptionSuffix(const QString &suffix)
{
    setWindowTitle(variant_.captionPrefix + suffix);
}

void TA_Form::DisableLinkControls()
{
    WrBtn->setVisible(false);
    for (QAction *a : {ItemLink, ItemWr, ItemRead, ItemLoad, ItemSave})
        a->setEnabled(false);
}

void TA_Form::EnableLinkControls()
{
    WrBtn->setVisible(true);
    for (QAction *a : {ItemLink, ItemWr, ItemRead, ItemLoad, ItemSave})
        a->setEnabled(true);
}

void TA_Form::PumpWait(int n)
{
    for (int pass = 0; pass <= n && !closing_; ++pass) {
        QCoreApplication::processEvents();
        if (closing_)
            break;
        // The wait sleeps in the event dispatcher, so receive events and timers run meanwhile.
        QEventLoop wait;
        QTimer::singleShot(timing_.pumpSliceMs, &wait, &QEventLoop::quit);
        wait.exec();
    }
}

TransceiverConfig TA_Form::currentConfig() const
{
    TransceiverConfig c;
    settings_->readInto(c);
    c.reserveIps = reserveIps_;
    c.panels = panelModel_->rows();
    return c;
}

void TA_Form::applyConfig(const TransceiverConfig &config)
{
    settings_->apply(config);
    reserveIps_ = config.reserveIps;
    panelModel_->setRows(config.panels);
}

void TA_Form::showEvent(QShowEvent *event)
{
    // Qt sends the show event before the window appears, so the start-up choice comes first and
    // the design-time caption is never seen.
    QMainWindow::showEvent(event);
    if (startupDone_ || event->spontaneous())
        return;
    startupDone_ = true;
    FormShow();
}

void TA_Form::FormShow()
{
    int choice = 0;
    if (startupChooser_)
        choice = startupChooser_();
    else if (startup_)
        choice = startup_->exec();

    SettingsPanel &s = *settings_;
    if (choice == 1) {
        consoleMode_ = 1;
        typeTable_.close();
        if (!typeTable_.openConsole()) {
            prompts_.message(QStringLiteral("Завершение работы"),
                             QStringLiteral("Приложение \"Zavevo duravezad\" не выполняется!"), PromptIcon::Error,
                             PromptButtons::Ok, PromptAnswer::None, true);
            terminate(1);
            return;
        }
        importFromConsole_ = true;
        ImpItem->setEnabled(true);
    } else {
        importFromConsole_ = false;
        ImpItem->setEnabled(false);
        typeTable_.close();
        QDir::setCurrent(typeTableFolder_);
        if (!typeTable_.openStandalone(typeTableFolder_)) {
            prompts_.message(QStringLiteral("Завершение работы"), QStringLiteral("Отсутствует таблица типов ППК!"),
                             PromptIcon::Error, PromptButtons::Ok, PromptAnswer::None, true);
            terminate(1);
            return;
        }
        s.EtherProt->setItemIndex(0);
        if (variant_.protocolResetAtStandaloneStart)
            s.FrmtRadioGroup->setItemIndex(0);
    }

    panelView_->fillTypeList(typeTable_);
    setCaptionSuffix(suffixAutonomous());
    sendList_.clear();
    image_.clearPanelArea();
    reserveIps_.fill(0);
    s.BaudBox->setCurrentIndex(2);
    s.DHCP_OnOff->setItemIndex(0);
    s.DHCP_OnOffClick(s.DHCP_OnOff->itemIndex());
    closing_ = false;
    panelModel_->clear();
    if (reserveList_)
        reserveList_->clearList();
}

void TA_Form::terminate(int exitCode)
{
    terminating_ = true;
    closing_ = true;
    exitCode_ = exitCode;
    typeTable_.close();
    emit terminateRequested(exitCode);
}

void TA_Form::ItemExitClick()
{
    stopLanTimers();
    close();
    // A declined exit leaves the LAN link as it was: the poll goes on.
    if (!closing_ && lanPollingBeforeExitQuestion_)
        lanChannel_->setPolling(true);
    lanPollingBeforeExitQuestion_ = false;
}

void TA_Form::closeEvent(QCloseEvent *event)
{
    if (terminating_ || FormCloseQuery()) {
        event->accept();
        if (!terminating_)
            emit finished();
    } else {
        event->ignore();
    }
}

bool TA_Form::FormCloseQuery()
{
    const PromptAnswer answer =
        prompts_.message(QStringLiteral("Завершение работы"), QStringLiteral("Завершить работу приложения?"),
                         PromptIcon::Warning, PromptButtons::YesNo);
    if (answer != PromptAnswer::Yes)
        return false;
    closing_ = true;
    closeSerialPort();
    typeTable_.close();
    panelModel_->clear();
    if (reserveList_)
        reserveList_->clearList();
    sendList_.clear();
    return true;
}

void TA_Form::onImpItemTriggered()
{
    if (importFromConsole_)
        ImpItemClick();
    else
        ImpItemClick1();
}

TForm_AL *TA_Form::reserveListWindow() const { return reserveList_; }

TA_Form1 *TA_Form::objectListWindow() const { return objectList_; }

} // namespace talvir
