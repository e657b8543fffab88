#include "settings_panel.h"

#include "core/memory_layout.h"
#include "core/variant.h"
#include "image/config_image.h"
#include "core/prompts.h"
#include "ui/key_filter.h"
#include "ui/radio_group.h"
#include "ui/text_fit.h"
#include "ui/accessible_names.h"

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
    form->setVerticalSpacing(3);
    return form;
}

} // namespace

SettingsPanel::SettingsPanel(const Variant &variant, PromptService &prompts, QWidget *parent)
    : QWidget(parent), variant_(variant), prompts_(prompts)
{
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(4);
    column->addLayout(buildFactoryNumberRow());
    column->addLayout(buildSwitches());
    column->addWidget(buildUsbBox());
    column->addWidget(buildGprsBox());
    column->addWidget(buildLanBox());
    column->addStretch(1);
    setInitialSwitchStates();
    nameBoxesByTheirLabels(this);

    connect(protocolGroup, &RadioGroup::clicked, this, &SettingsPanel::applyProtocolRule);
    connect(consoleKindGroup, &RadioGroup::clicked, this, &SettingsPanel::applyConsoleKindRule);
    connect(dhcpGroup, &RadioGroup::clicked, this, &SettingsPanel::applyDhcpRule);
}

QLayout *SettingsPanel::buildFactoryNumberRow()
{
    auto *row = new QHBoxLayout;
    // Five digits can be typed; a number read from a transceiver or a file (any unsigned 32-bit
    // value) is shown whole, so writing it back keeps it.
    factoryNumberEdit = makeEdit("factoryNumberEdit", 0, QString(), this);
    installKeyFilter(factoryNumberEdit, KeyFilter::digits, kFactoryNumberDigits);
    keepTextsWhole(factoryNumberEdit, {QStringLiteral("4294967295")});
    factoryNumberEdit->setMaximumWidth(qMax(110, factoryNumberEdit->minimumWidth()));
    auto *label = new QLabel(QStringLiteral("Заводской номер"), this);
    label->setBuddy(factoryNumberEdit);
    row->addWidget(label);
    row->addWidget(factoryNumberEdit);
    row->addStretch();
    return row;
}

// Protocol above, console kind and conversion side by side below it.
QLayout *SettingsPanel::buildSwitches()
{
    auto *rows = new QVBoxLayout;
    protocolGroup = new RadioGroup(variant_.protocolCaption, variant_.protocolItems, 1, this);
    protocolGroup->setObjectName(QStringLiteral("protocolGroup"));
    rows->addWidget(protocolGroup);

    consoleKindGroup = new RadioGroup(variant_.modeCaption, variant_.modeItems, 2, this);
    consoleKindGroup->setObjectName(QStringLiteral("consoleKindGroup"));
    consoleKindGroup->setToolTip(QStringLiteral("Тип : MXR-для работы с охранным пультом,\r\n          ЗКР-для работы с пожарным пультом."));
    conversionGroup = new RadioGroup(QStringLiteral(" Преобр."), variant_.conversionItems,
                                  int(variant_.conversionItems.size()), this);
    conversionGroup->setObjectName(QStringLiteral("conversionGroup"));
    auto *switches = new QHBoxLayout;
    switches->addWidget(consoleKindGroup, 5);
    switches->addWidget(conversionGroup, 4);
    rows->addLayout(switches);
    return rows;
}

QWidget *SettingsPanel::buildUsbBox()
{
    usbBox = new QGroupBox(QStringLiteral(" Настройка USB"), this);
    usbBox->setObjectName(QStringLiteral("usbBox"));
    auto *usb = makeForm(usbBox);
    baudCombo = new QComboBox(usbBox);
    baudCombo->setObjectName(QStringLiteral("baudCombo"));
    baudCombo->setEditable(true);
    baudCombo->setInsertPolicy(QComboBox::NoInsert);
    baudCombo->addItems({QStringLiteral("2400"), QStringLiteral("4800"), QStringLiteral("9600"), QStringLiteral("19200"),
                       QStringLiteral("38400"), QStringLiteral("57600"), QStringLiteral("115200")});
    baudCombo->lineEdit()->setMaxLength(SettingsBlock::BaudWidth); // what the transceiver stores of it
    installKeyFilter(baudCombo->lineEdit(), KeyFilter::digits);
    baudCombo->setToolTip(QStringLiteral("Скорость передачи"));
    baudCombo->setAccessibleName(QStringLiteral("Скорость передачи"));
    baudCombo->lineEdit()->setAccessibleName(QStringLiteral("Скорость передачи"));
    baudCombo->setCurrentIndex(-1);
    testPeriodSpin = new QSpinBox(usbBox);
    testPeriodSpin->setObjectName(QStringLiteral("testPeriodSpin"));
    testPeriodSpin->setRange(kTestPeriodMin, kTestPeriodMax);
    testPeriodSpin->setValue(10);
    testPeriodSpin->setToolTip(QStringLiteral("Период передачи тестового извещения в канал USB"));
    usb->addRow(QStringLiteral("Скорость передачи"), baudCombo);
    usb->addRow(QStringLiteral("Период теста, с"), testPeriodSpin);
    return usbBox;
}

QWidget *SettingsPanel::buildGprsBox()
{
    gprsBox = new QGroupBox(QStringLiteral(" Настройка GPRS"), this);
    gprsBox->setObjectName(QStringLiteral("gprsBox"));
    auto *gprs = makeForm(gprsBox);
    apnEdit = makeEdit("apnEdit", SettingsBlock::ApnWidth, QStringLiteral("Имя точки доступа GPRS-канала "), gprsBox);
    gprs->addRow(QStringLiteral("APN"), apnEdit);
    return gprsBox;
}

QWidget *SettingsPanel::buildLanBox()
{
    lanBox = new QGroupBox(QStringLiteral(" Настройка LAN"), this);
    lanBox->setObjectName(QStringLiteral("lanBox"));
    auto *lan = new QVBoxLayout(lanBox);
    lan->setSpacing(3);
    lan->addWidget(buildServerBox(lanBox));

    dhcpGroup = new RadioGroup(QStringLiteral("  DHCP  "), {QStringLiteral("Выкл."), QStringLiteral("Вкл.")}, 2, lanBox);
    dhcpGroup->setObjectName(QStringLiteral("dhcpGroup"));
    dhcpGroup->setEnabled(false); // the transceiver's DHCP cannot be switched on from here
    {
        const QSignalBlocker quiet(dhcpGroup);
        dhcpGroup->setItemIndex(0);
    }
    lan->addWidget(dhcpGroup);
    lan->addWidget(buildLocalLanBox(lanBox));

    reserveServersButton = new QPushButton(QStringLiteral("Список IP-адресов резервных СИ"), lanBox);
    reserveServersButton->setObjectName(QStringLiteral("reserveServersButton"));
    lan->addWidget(reserveServersButton);
    connect(reserveServersButton, &QPushButton::clicked, this, &SettingsPanel::reserveServersRequested);
    return lanBox;
}

QWidget *SettingsPanel::buildServerBox(QWidget *parent)
{
    auto *server = new QWidget(parent);
    auto *serverForm = makeForm(server);
    serverForm->setContentsMargins(0, 0, 0, 0);
    serverIpEdit = makeEdit("serverIpEdit", 0, QStringLiteral("IP-адрес сервера извещений"), server);
    installKeyFilter(serverIpEdit, KeyFilter::ipv4Chars);
    serverIpEdit->setText(QStringLiteral("192.168.1.3"));
    serverPortEdit = makeEdit("serverPortEdit", kPortDigits, QString(), server);
    installKeyFilter(serverPortEdit, KeyFilter::digits);
    serverPortEdit->setText(QStringLiteral("9999"));
    keepTextsWhole(serverIpEdit, addressSamples());
    keepTextsWhole(serverPortEdit, portSamples());
    serverIpLabel = new QLabel(QStringLiteral("IP-адрес СИ"), server);
    serverPortLabel = new QLabel(QStringLiteral("IP-порт СИ"), server);
    serverIpLabel->setObjectName(QStringLiteral("serverIpLabel"));
    serverPortLabel->setObjectName(QStringLiteral("serverPortLabel"));
    serverIpLabel->setBuddy(serverIpEdit);
    serverPortLabel->setBuddy(serverPortEdit);
    serverForm->addRow(serverIpLabel, serverIpEdit);
    serverForm->addRow(serverPortLabel, serverPortEdit);
    return server;
}

QWidget *SettingsPanel::buildLocalLanBox(QWidget *parent)
{
    localLanBox = new QWidget(parent);
    localLanBox->setObjectName(QStringLiteral("localLanBox"));
    auto *local = makeForm(localLanBox);
    local->setContentsMargins(0, 0, 0, 0);
    localIpEdit = makeEdit("localIpEdit", 0, QStringLiteral("Собственный IP-адрес трансивера"), localLanBox);
    installKeyFilter(localIpEdit, KeyFilter::ipv4Chars);
    localPortEdit = makeEdit("localPortEdit", kPortDigits, QStringLiteral("IP-порт трансивера"), localLanBox);
    installKeyFilter(localPortEdit, KeyFilter::digits);
    gatewayIpEdit = makeEdit("gatewayIpEdit", 0, QStringLiteral("IP-адрес сетевого роутера"), localLanBox);
    installKeyFilter(gatewayIpEdit, KeyFilter::ipv4Chars);
    keepTextsWhole(localIpEdit, addressSamples());
    keepTextsWhole(localPortEdit, portSamples());
    keepTextsWhole(gatewayIpEdit, addressSamples());
    local->addRow(QStringLiteral("Локальный IP-адрес"), localIpEdit);
    local->addRow(QStringLiteral("Локальный IP- порт"), localPortEdit);
    local->addRow(QStringLiteral("IP- адрес шлюза"), gatewayIpEdit);
    localLanBox->setVisible(false); // until start-up runs the DHCP rule
    return localLanBox;
}

// Switch states as the window is built; start-up then sets what the mode asks for.
void SettingsPanel::setInitialSwitchStates()
{
    const QSignalBlocker q1(protocolGroup), q2(conversionGroup), q3(consoleKindGroup);
    protocolGroup->setItemIndex(0);
    conversionGroup->setItemIndex(0);
    conversionGroup->setVisible(false);
    if (variant_.modeAlwaysVisible) {
        consoleKindGroup->setItemIndex(-1);
    } else {
        consoleKindGroup->setItemIndex(0);
        consoleKindGroup->setVisible(false);
    }
}

void SettingsPanel::applyProtocolRule(int index)
{
    // The switch's resets are the configuration's rule; the panel shows their outcome.
    TransceiverConfig reset;
    reset.protocol = index;
    reset.conversion = conversionGroup->itemIndex();
    reset.mode = consoleKindGroup->itemIndex();
    ModeByte::applyProtocolChange(index, reset, variant_);

    conversionGroup->setVisible(index == 1);
    if (variant_.modeAlwaysVisible)
        consoleKindGroup->setEnabled(modeControlEnabled(reset, variant_)); // MXR_duziv: in view, maybe unusable
    else
        consoleKindGroup->setVisible(index == 1);
    {
        const QSignalBlocker quiet(consoleKindGroup); // the console-kind message only when the technician picks
        consoleKindGroup->setItemIndex(reset.mode);
    }
    conversionGroup->setItemIndex(reset.conversion);
    if (variant_.modeAlwaysVisible) {
        const bool server = index == 0;
        reserveServersButton->setVisible(server);
        serverIpLabel->setVisible(server);
        serverPortLabel->setVisible(server);
        serverIpEdit->setVisible(server);
        serverPortEdit->setVisible(server);
    }
}

void SettingsPanel::applyConsoleKindRule(int index)
{
    if (protocolGroup->itemIndex() != 1)
        return;
    prompts_.message(QStringLiteral("Тип трансивера"),
                     index == 0 ? QStringLiteral("Трансивер будет конфигурироваться для работы с охранным пультом!")
                                : QStringLiteral("Трансивер будет конфигурироваться для работы с пожарным пультом!"),
                     MessageIcon::Warning, MessageButtons::Ok, MessageAnswer::None, true);
}

void SettingsPanel::applyDhcpRule(int index)
{
    localLanBox->setVisible(index == 0);
}

void SettingsPanel::clearTexts()
{
    for (QLineEdit *e : {factoryNumberEdit, apnEdit, serverIpEdit, localIpEdit, localPortEdit, gatewayIpEdit})
        e->clear();
}

QString SettingsPanel::factoryNumber() const { return factoryNumberEdit->text(); }

void SettingsPanel::reset(bool consoleMode)
{
    const TransceiverConfig start = TransceiverConfig::defaults(variant_, consoleMode);
    if (!consoleMode) {
        consoleKindGroup->setItemIndex(start.mode);
        if (variant_.protocolResetAtStandaloneStart)
            protocolGroup->setItemIndex(start.protocol);
    }
    baudCombo->setCurrentIndex(baudCombo->findText(start.baudText));
    dhcpGroup->setItemIndex(start.dhcp);
    applyDhcpRule(dhcpGroup->itemIndex());
}

TransceiverConfig SettingsPanel::config() const
{
    TransceiverConfig config;
    config.factoryNumber = factoryNumberEdit->text();
    config.baudText = baudCombo->currentText();
    config.testPeriod = testPeriodSpin->value();
    config.apn = apnEdit->text();
    config.serverIp = serverIpEdit->text();
    config.serverPort = serverPortEdit->text();
    config.dhcp = dhcpGroup->itemIndex() == 1 ? 1 : 0;
    config.localIp = localIpEdit->text();
    config.localPort = localPortEdit->text();
    config.gatewayIp = gatewayIpEdit->text();
    config.protocol = protocolGroup->itemIndex();
    config.conversion = conversionGroup->itemIndex();
    config.mode = consoleKindGroup->itemIndex();
    return config;
}

void SettingsPanel::setConfig(const TransceiverConfig &config)
{
    factoryNumberEdit->setText(config.factoryNumber);
    const int baud = baudCombo->findText(config.baudText);
    if (baud >= 0)
        baudCombo->setCurrentIndex(baud);
    else
        baudCombo->setEditText(config.baudText);
    testPeriodSpin->setValue(config.testPeriod);
    apnEdit->setText(config.apn);
    serverIpEdit->setText(config.serverIp);
    serverPortEdit->setText(config.serverPort);
    localIpEdit->setText(config.localIp);
    localPortEdit->setText(config.localPort);
    gatewayIpEdit->setText(config.gatewayIp);

    protocolGroup->setItemIndex(config.protocol);
    conversionGroup->setItemIndex(config.conversion);
    {
        const QSignalBlocker quiet(consoleKindGroup);
        consoleKindGroup->setItemIndex(config.mode);
    }
    dhcpGroup->setItemIndex(config.dhcp);
    applyDhcpRule(dhcpGroup->itemIndex());
}

} // namespace talvir
