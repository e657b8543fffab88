#include "settings_panel.h"

#include "app/ui/prompts.h"
#include "app/variant.h"
#include "edit/ui/key_filter.h"
#include "edit/ui/radio_group.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

namespace talvir {

namespace {

QLineEdit *makeEdit(const char *name, int maxLength, const QString &hint, QWidget *parent)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(QLatin1String(name));
    if (maxLength > 0)
        e->setMaxLength(maxLength);
    if (!hint.isEmpty())
        e->setToolTip(hint);
    return e;
}

QFormLayout *makeForm(QWidget *host)
{
    auto *form = new QFormLayout(host);
    form->setLabelAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    form->setHorizontalSpacing(10);
    form->setVerticalSpacing(5);
    return form;
}

} // namespace

SettingsPanel::SettingsPanel(const Variant &variant, PromptService &prompts, QWidget *parent)
    : QWidget(parent), variant_(variant), prompts_(prompts)
{
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(6);

    // Factory number.
    auto *macRow = new QHBoxLayout;
    EditMAC = makeEdit("EditMAC", 5, QString(), this);
    installKeyFilter(EditMAC, KeyFilterKind::Digits);
    EditMAC->setMaximumWidth(110);
    auto *macLabel = new QLabel(QStringLiteral("Заводской номер"), this);
    macLabel->setBuddy(EditMAC);
    macRow->addWidget(macLabel);
    macRow->addWidget(EditMAC);
    macRow->addStretch();
    column->addLayout(macRow);

    // Protocol, conversion and console kind.
    FrmtRadioGroup = new RadioGroup(variant_.protocolCaption, variant_.protocolItems, 1, this);
    FrmtRadioGroup->setObjectName(QStringLiteral("FrmtRadioGroup"));
    column->addWidget(FrmtRadioGroup);

    EtherProt = new RadioGroup(variant_.modeCaption, variant_.modeItems, 2, this);
    EtherProt->setObjectName(QStringLiteral("EtherProt"));
    EtherProt->setToolTip(QStringLiteral("Тип : MXR-для работы с охранным пультом,\r\n          ЗКР-для работы с пожарным пультом."));
    ConvertGroup = new RadioGroup(QStringLiteral(" Преобр."), variant_.conversionItems,
                                  int(variant_.conversionItems.size()), this);
    ConvertGroup->setObjectName(QStringLiteral("ConvertGroup"));
    auto *switches = new QHBoxLayout;
    switches->addWidget(EtherProt, 5);
    switches->addWidget(ConvertGroup, 4);
    column->addLayout(switches);

    // USB.
    UsbGroup = new QGroupBox(QStringLiteral(" Настройка USB"), this);
    UsbGroup->setObjectName(QStringLiteral("UsbGroup"));
    auto *usb = makeForm(UsbGroup);
    BaudBox = new QComboBox(UsbGroup);
    BaudBox->setObjectName(QStringLiteral("BaudBox"));
    BaudBox->setEditable(true);
    BaudBox->setInsertPolicy(QComboBox::NoInsert);
    BaudBox->addItems({QStringLiteral("2400"), QStringLiteral("4800"), QStringLiteral("9600"), QStringLiteral("19200"),
                       QStringLiteral("38400"), QStringLiteral("57600"), QStringLiteral("115200")});
    BaudBox->lineEdit()->setMaxLength(6); // the transceiver stores six characters of it
    BaudBox->setToolTip(QStringLiteral("Скорость передачи"));
    BaudBox->setCurrentIndex(-1);
    PeriodHB = new QSpinBox(UsbGroup);
    PeriodHB->setObjectName(QStringLiteral("PeriodHB"));
    PeriodHB->setRange(1, 3600);
    PeriodHB->setValue(10);
    PeriodHB->setToolTip(QStringLiteral("Период передачи тестового извещения в канал USB"));
    usb->addRow(QStringLiteral("Скорость передачи"), BaudBox);
    usb->addRow(QStringLiteral("Период теста, с"), PeriodHB);
    column->addWidget(UsbGroup);

    // GPRS.
    GprsGroup = new QGroupBox(QStringLiteral(" Настройка GPRS"), this);
    GprsGroup->setObjectName(QStringLiteral("GprsGroup"));
    auto *gprs = makeForm(GprsGroup);
    EditAPN = makeEdit("EditAPN", 64, QStringLiteral("Имя точки доступа GPRS-канала "), GprsGroup);
    gprs->addRow(QStringLiteral("APN"), EditAPN);
    column->addWidget(GprsGroup);

    // LAN.
    LanGroup = new QGroupBox(QStringLiteral(" Настройка LAN"), this);
    LanGroup->setObjectName(QStringLiteral("LanGroup"));
    auto *lan = new QVBoxLayout(LanGroup);
    lan->setSpacing(5);
    auto *server = new QWidget(LanGroup);
    auto *serverForm = makeForm(server);
    serverForm->setContentsMargins(0, 0, 0, 0);
    EditIP1_PCN = makeEdit("EditIP1_PCN", 0, QStringLiteral("IP-адрес сервера извещений"), server);
    installKeyFilter(EditIP1_PCN, KeyFilterKind::DigitsDot);
    EditIP1_PCN->setText(QStringLiteral("192.168.1.3"));
    EditPort1_PCN = makeEdit("EditPort1_PCN", 5, QString(), server);
    installKeyFilter(EditPort1_PCN, KeyFilterKind::Digits);
    EditPort1_PCN->setText(QStringLiteral("9999"));
    ServerIpLabel = new QLabel(QStringLiteral("IP-адрес СИ"), server);
    ServerPortLabel = new QLabel(QStringLiteral("IP-порт СИ"), server);
    serverForm->addRow(ServerIpLabel, EditIP1_PCN);
    serverForm->addRow(ServerPortLabel, EditPort1_PCN);
    lan->addWidget(server);

    DHCP_OnOff = new RadioGroup(QStringLiteral("  DHCP  "), {QStringLiteral("Выкл."), QStringLiteral("Вкл.")}, 2, LanGroup);
    DHCP_OnOff->setObjectName(QStringLiteral("DHCP_OnOff"));
    DHCP_OnOff->setEnabled(false); // the transceiver's DHCP cannot be switched on from here
    {
        const QSignalBlocker quiet(DHCP_OnOff);
        DHCP_OnOff->setItemIndex(0);
    }
    lan->addWidget(DHCP_OnOff);

    LocLAN = new QWidget(LanGroup);
    LocLAN->setObjectName(QStringLiteral("LocLAN"));
    auto *local = makeForm(LocLAN);
    local->setContentsMargins(0, 0, 0, 0);
    DHCP_IP = makeEdit("DHCP_IP", 0, QStringLiteral("Собственный IP-адрес трансивера"), LocLAN);
    installKeyFilter(DHCP_IP, KeyFilterKind::DigitsDot);
    EditPort_Loc = makeEdit("EditPort_Loc", 5, QStringLiteral("IP-порт трансивера"), LocLAN);
    installKeyFilter(EditPort_Loc, KeyFilterKind::Digits);
    Shl_IP = makeEdit("Shl_IP", 0, QStringLiteral("IP-адрес сетевого роутера"), LocLAN);
    installKeyFilter(Shl_IP, KeyFilterKind::DigitsDot);
    local->addRow(QStringLiteral("Локальный IP-адрес"), DHCP_IP);
    local->addRow(QStringLiteral("Локальный IP- порт"), EditPort_Loc);
    local->addRow(QStringLiteral("IP- адрес шлюза"), Shl_IP);
    LocLAN->setVisible(false); // until start-up runs the DHCP rule
    lan->addWidget(LocLAN);

    AddAltIPBtn = new QPushButton(QStringLiteral("Список IP-адресов резервных СИ"), LanGroup);
    AddAltIPBtn->setObjectName(QStringLiteral("AddAltIPBtn"));
    lan->addWidget(AddAltIPBtn);
    column->addWidget(LanGroup);
    column->addStretch(1);

    // Switch states as the window is built; start-up then sets what the mode asks for.
    {
        const QSignalBlocker q1(FrmtRadioGroup), q2(ConvertGroup), q3(EtherProt);
        FrmtRadioGroup->setItemIndex(0);
        ConvertGroup->setItemIndex(0);
        ConvertGroup->setVisible(false);
        if (variant_.modeAlwaysVisible) {
            EtherProt->setItemIndex(-1);
        } else {
            EtherProt->setItemIndex(0);
            EtherProt->setVisible(false);
        }
    }

    connect(FrmtRadioGroup, &RadioGroup::clicked, this, &SettingsPanel::FrmtRadioGroupClick);
    connect(EtherProt, &RadioGroup::clicked, this, &SettingsPanel::EtherProtClick);
    connect(DHCP_OnOff, &RadioGroup::clicked, this, &SettingsPanel::DHCP_OnOffClick);
}

void SettingsPanel::FrmtRadioGroupClick(int index)
{
    ConvertGroup->setVisible(index == 1);
    if (variant_.modeAlwaysVisible) {
        // MXR_duziv: the type switch stays in view, unusable in autonomous mode.
        EtherProt->setEnabled(index != 2);
        if (!EtherProt->isEnabled())
            EtherProt->setItemIndex(-1);
    } else {
        EtherProt->setVisible(index == 1);
        if (EtherProt->isHidden()) {
            const QSignalBlocker quiet(EtherProt); // the console-kind message only for Sur-Gard
            EtherProt->setItemIndex(0);
        }
    }
    ConvertGroup->setItemIndex(index == 1 ? 0 : -1);
    if (variant_.modeAlwaysVisible) {
        const bool server = index == 0;
        AddAltIPBtn->setVisible(server);
        ServerIpLabel->setVisible(server);
        ServerPortLabel->setVisible(server);
        EditIP1_PCN->setVisible(server);
        EditPort1_PCN->setVisible(server);
    }
}

void SettingsPanel::EtherProtClick(int index)
{
    if (FrmtRadioGroup->itemIndex() != 1)
        return;
    prompts_.message(QStringLiteral("Тип трансивера"),
                     index == 0 ? QStringLiteral("Трансивер будет конфигурироваться для работы с охранным пультом!")
                                : QStringLiteral("Трансивер будет конфигурироваться для работы с пожарным пультом!"),
                     PromptIcon::Warning, PromptButtons::Ok, PromptAnswer::None, true);
}

void SettingsPanel::DHCP_OnOffClick(int index)
{
    LocLAN->setVisible(index == 0);
}

void SettingsPanel::readInto(TransceiverConfig &config) const
{
    config.serialNo = EditMAC->text();
    config.baudText = BaudBox->currentText();
    config.testPeriod = PeriodHB->value();
    config.apn = EditAPN->text();
    config.serverIp = EditIP1_PCN->text();
    config.serverPort = EditPort1_PCN->text();
    config.dhcp = DHCP_OnOff->itemIndex() == 1 ? 1 : 0;
    config.localIp = DHCP_IP->text();
    config.localPort = EditPort_Loc->text();
    config.gatewayIp = Shl_IP->text();
    config.protocol = FrmtRadioGroup->itemIndex();
    config.conversion = ConvertGroup->itemIndex();
    config.mode = EtherProt->itemIndex();
}

void SettingsPanel::apply(const TransceiverConfig &config)
{
    EditMAC->setText(config.serialNo);
    const int baud = BaudBox->findText(config.baudText);
    if (baud >= 0)
        BaudBox->setCurrentIndex(baud);
    else
        BaudBox->setEditText(config.baudText);
    PeriodHB->setValue(config.testPeriod);
    EditAPN->setText(config.apn);
    EditIP1_PCN->setText(config.serverIp);
    EditPort1_PCN->setText(config.serverPort);
    DHCP_IP->setText(config.localIp);
    EditPort_Loc->setText(config.localPort);
    Shl_IP->setText(config.gatewayIp);

    FrmtRadioGroup->setItemIndex(config.protocol);
    ConvertGroup->setItemIndex(config.conversion);
    {
        const QSignalBlocker quiet(EtherProt);
        EtherProt->setItemIndex(config.mode);
    }
    DHCP_OnOff->setItemIndex(config.dhcp);
    DHCP_OnOffClick(DHCP_OnOff->itemIndex());
}

} // namespace talvir
