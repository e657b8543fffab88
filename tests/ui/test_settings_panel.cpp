// The settings panel: start values and limits, the switch rules of both programs, and the key
// filters of the edit boxes (panel table boxes included).
#include "gui_fixture.h"

#include "ui/panel_table_view.h"
#include "ui/radio_group.h"
#include "ui/settings_panel.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>

using namespace guitest;

class TestSettingsPanel : public WindowTest {
    Q_OBJECT

private:
    // As a click of the technician: the button toggles and the group announces it.
    static void click(RadioGroup *group, int item) { group->button(item)->click(); }

private slots:
    void startValues_data()
    {
        QTest::addColumn<QString>("variant");
        QTest::addColumn<int>("choice");
        QTest::addColumn<bool>("modeVisible");
        QTest::addColumn<int>("mode");
        QTest::newRow("600r standalone") << "600r" << 2 << false << 0;
        QTest::newRow("600r console") << "600r" << 1 << false << 0;
        QTest::newRow("duziv standalone") << "duziv" << 2 << true << 0;
        QTest::newRow("duziv console") << "duziv" << 1 << true << -1;
    }

    void startValues()
    {
        QFETCH(QString, variant);
        QFETCH(int, choice);
        QFETCH(bool, modeVisible);
        QFETCH(int, mode);
        QTemporaryDir settingsDir;
        QVERIFY(writeEditDbAlias(settingsDir.path(), types_.path()));
        Windows w(variantByName(variant), types_.path());
        w.start(choice);
        SettingsPanel &s = *settingsOf(*w.main);
        QWidget *top = w.main.get();

        QVERIFY(SettingsParts(s).factoryNumberEdit->text().isEmpty());
        QCOMPARE(SettingsParts(s).baudCombo->currentIndex(), 2);
        QCOMPARE(SettingsParts(s).baudCombo->currentText(), QStringLiteral("9600"));
        QCOMPARE(SettingsParts(s).baudCombo->count(), 7);
        QCOMPARE(SettingsParts(s).baudCombo->itemText(6), QStringLiteral("115200"));
        QCOMPARE(SettingsParts(s).baudCombo->toolTip(), QStringLiteral("Скорость передачи"));
        QCOMPARE(SettingsParts(s).testPeriodSpin->value(), 10);
        QCOMPARE(SettingsParts(s).testPeriodSpin->minimum(), 1);
        QCOMPARE(SettingsParts(s).testPeriodSpin->maximum(), 3600);
        QCOMPARE(SettingsParts(s).testPeriodSpin->toolTip(), QStringLiteral("Период передачи тестового извещения в канал USB"));
        QVERIFY(SettingsParts(s).apnEdit->text().isEmpty());
        QCOMPARE(SettingsParts(s).apnEdit->maxLength(), 64);
        QCOMPARE(SettingsParts(s).apnEdit->toolTip(), QStringLiteral("Имя точки доступа GPRS-канала "));
        QCOMPARE(SettingsParts(s).serverIpEdit->text(), QStringLiteral("192.168.1.3"));
        QCOMPARE(SettingsParts(s).serverIpEdit->toolTip(), QStringLiteral("IP-адрес сервера извещений"));
        QCOMPARE(SettingsParts(s).serverPortEdit->text(), QStringLiteral("9999"));
        QCOMPARE(SettingsParts(s).serverPortEdit->maxLength(), 5);
        QCOMPARE(SettingsParts(s).localPortEdit->maxLength(), 5);
        QCOMPARE(SettingsParts(s).dhcpGroup->itemIndex(), 0);
        QVERIFY(!SettingsParts(s).dhcpGroup->isEnabled());
        QCOMPARE(SettingsParts(s).dhcpGroup->title(), QStringLiteral("  DHCP  "));
        QVERIFY(SettingsParts(s).localLanBox->isVisibleTo(top));
        QVERIFY(SettingsParts(s).localIpEdit->text().isEmpty() && SettingsParts(s).localPortEdit->text().isEmpty() && SettingsParts(s).gatewayIpEdit->text().isEmpty());
        QCOMPARE(SettingsParts(s).localIpEdit->toolTip(), QStringLiteral("Собственный IP-адрес трансивера"));
        QCOMPARE(SettingsParts(s).localPortEdit->toolTip(), QStringLiteral("IP-порт трансивера"));
        QCOMPARE(SettingsParts(s).gatewayIpEdit->toolTip(), QStringLiteral("IP-адрес сетевого роутера"));
        QCOMPARE(SettingsParts(s).protocolGroup->itemIndex(), 0);
        QVERIFY(!SettingsParts(s).conversionGroup->isVisibleTo(top));
        QCOMPARE(SettingsParts(s).conversionGroup->itemIndex(), 0);
        QCOMPARE(SettingsParts(s).consoleKindGroup->isVisibleTo(top), modeVisible);
        QVERIFY(SettingsParts(s).consoleKindGroup->isEnabled());
        QCOMPARE(SettingsParts(s).consoleKindGroup->itemIndex(), mode);
        QVERIFY(SettingsParts(s).serverIpEdit->isVisibleTo(top));
        QVERIFY(SettingsParts(s).reserveServersButton->isVisibleTo(top));
        QCOMPARE(SettingsParts(s).usbBox->title(), QStringLiteral(" Настройка USB"));
        QCOMPARE(SettingsParts(s).gprsBox->title(), QStringLiteral(" Настройка GPRS"));
        QCOMPARE(SettingsParts(s).lanBox->title(), QStringLiteral(" Настройка LAN"));
        QCOMPARE(SettingsParts(s).consoleKindGroup->toolTip(),
                 QStringLiteral("Тип : MXR-для работы с охранным пультом,\r\n          ЗКР-для работы с пожарным пультом."));
        QVERIFY_PROMPTS(w.prompts);
    }

    void switchCaptions_data()
    {
        QTest::addColumn<QString>("variant");
        QTest::addColumn<QString>("protocolCaption");
        QTest::addColumn<QStringList>("protocols");
        QTest::addColumn<QStringList>("conversions");
        QTest::addColumn<QString>("modeCaption");
        QTest::addColumn<QStringList>("modes");
        QTest::newRow("600r") << "600r" << QStringLiteral("Протокол передачи в ПЭВМ ")
                              << QStringList{QStringLiteral("КС-Талвир"), QStringLiteral("Sur-Gard ")}
                              << QStringList{QStringLiteral("A->0"), QStringLiteral("0->A"), QStringLiteral("Нет")}
                              << QStringLiteral("  Режим  ")
                              << QStringList{QStringLiteral("Охранный"), QStringLiteral("Пожарный")};
        QTest::newRow("duziv") << "duziv" << QStringLiteral("Протокол и канал передачи в ПЭВМ ")
                               << QStringList{QStringLiteral("АЛТОР КС-Талвир<=>ЛВС"),
                                              QStringLiteral("Sur-Gard ContactID<=>USB"),
                                              QStringLiteral("Автономный режим")}
                               << QStringList{QStringLiteral("A->0"), QStringLiteral("0->A")}
                               << QStringLiteral("  Тип  ")
                               << QStringList{QStringLiteral("MXR"), QStringLiteral("ЗКР")};
    }

    void switchCaptions()
    {
        QFETCH(QString, variant);
        QFETCH(QString, protocolCaption);
        QFETCH(QStringList, protocols);
        QFETCH(QStringList, conversions);
        QFETCH(QString, modeCaption);
        QFETCH(QStringList, modes);
        ScriptedPrompts prompts;
        SettingsPanel s(variantByName(variant), prompts);
        QCOMPARE(SettingsParts(s).protocolGroup->title(), protocolCaption);
        QCOMPARE(SettingsParts(s).protocolGroup->items(), protocols);
        QCOMPARE(SettingsParts(s).conversionGroup->title(), QStringLiteral(" Преобр."));
        QCOMPARE(SettingsParts(s).conversionGroup->items(), conversions);
        QCOMPARE(SettingsParts(s).consoleKindGroup->title(), modeCaption);
        QCOMPARE(SettingsParts(s).consoleKindGroup->items(), modes);
        QCOMPARE(SettingsParts(s).dhcpGroup->items(), QStringList({QStringLiteral("Выкл."), QStringLiteral("Вкл.")}));
    }

    // MXR_600r: the console kind and the conversion exist only with Sur-Gard.
    void protocolRule600r()
    {
        ScriptedPrompts prompts;
        SettingsPanel s(Variant::mxr600r(), prompts);
        s.show();
        click(SettingsParts(s).protocolGroup, 1);
        QVERIFY(SettingsParts(s).conversionGroup->isVisible());
        QCOMPARE(SettingsParts(s).conversionGroup->itemIndex(), 0);
        QVERIFY(SettingsParts(s).consoleKindGroup->isVisible());
        prompts.expectMessage(QStringLiteral("Тип трансивера"),
                              QStringLiteral("Трансивер будет конфигурироваться для работы с пожарным пультом!"));
        click(SettingsParts(s).consoleKindGroup, 1);
        QVERIFY_PROMPTS(prompts);
        QCOMPARE(prompts.last().icon, MessageIcon::Warning);
        QCOMPARE(prompts.last().buttons, MessageButtons::Ok);
        QVERIFY(prompts.last().onTop);
        click(SettingsParts(s).conversionGroup, 2);

        click(SettingsParts(s).protocolGroup, 0);
        QVERIFY(!SettingsParts(s).conversionGroup->isVisible());
        QCOMPARE(SettingsParts(s).conversionGroup->itemIndex(), -1);
        QVERIFY(!SettingsParts(s).consoleKindGroup->isVisible());
        QCOMPARE(SettingsParts(s).consoleKindGroup->itemIndex(), 0);
        // Choosing Sur-Gard again starts the conversion at "A->0".
        click(SettingsParts(s).protocolGroup, 1);
        QCOMPARE(SettingsParts(s).conversionGroup->itemIndex(), 0);
        QVERIFY_PROMPTS(prompts);
    }

    void consoleKindMessage_data()
    {
        QTest::addColumn<QString>("variant");
        QTest::addColumn<int>("protocol");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("text"); // empty: no message
        const QString security = QStringLiteral("Трансивер будет конфигурироваться для работы с охранным пультом!");
        const QString fire = QStringLiteral("Трансивер будет конфигурироваться для работы с пожарным пультом!");
        QTest::newRow("600r Sur-Gard, Охранный") << "600r" << 1 << 0 << security;
        QTest::newRow("duziv Sur-Gard, MXR") << "duziv" << 1 << 0 << security;
        QTest::newRow("duziv Sur-Gard, ЗКР") << "duziv" << 1 << 1 << fire;
        QTest::newRow("duziv КС-Талвир, ЗКР") << "duziv" << 0 << 1 << QString();
    }

    void consoleKindMessage()
    {
        QFETCH(QString, variant);
        QFETCH(int, protocol);
        QFETCH(int, mode);
        QFETCH(QString, text);
        ScriptedPrompts prompts;
        SettingsPanel s(variantByName(variant), prompts);
        s.show();
        click(SettingsParts(s).protocolGroup, protocol);
        {
            // Leave the switch away from the item under test, without a message.
            const QSignalBlocker quiet(SettingsParts(s).consoleKindGroup);
            SettingsParts(s).consoleKindGroup->setItemIndex(1 - mode);
        }
        if (!text.isEmpty())
            prompts.expectMessage(QStringLiteral("Тип трансивера"), text);
        click(SettingsParts(s).consoleKindGroup, mode);
        QCOMPARE(SettingsParts(s).consoleKindGroup->itemIndex(), mode);
        QVERIFY_PROMPTS(prompts);
    }

    // MXR_duziv: autonomous mode disables the type switch; only the first protocol has a server.
    void protocolRuleDuziv()
    {
        ScriptedPrompts prompts;
        SettingsPanel s(Variant::mxrDuziv(), prompts);
        s.show();
        {
            const QSignalBlocker quiet(SettingsParts(s).consoleKindGroup);
            SettingsParts(s).consoleKindGroup->setItemIndex(0);
        }
        click(SettingsParts(s).protocolGroup, 2);
        QVERIFY(!SettingsParts(s).consoleKindGroup->isEnabled());
        QVERIFY(SettingsParts(s).consoleKindGroup->isVisible());
        QCOMPARE(SettingsParts(s).consoleKindGroup->itemIndex(), -1);
        QVERIFY(!SettingsParts(s).conversionGroup->isVisible());
        QCOMPARE(SettingsParts(s).conversionGroup->itemIndex(), -1);
        for (QWidget *hidden : {static_cast<QWidget *>(SettingsParts(s).reserveServersButton), static_cast<QWidget *>(SettingsParts(s).serverIpEdit),
                                static_cast<QWidget *>(SettingsParts(s).serverPortEdit), static_cast<QWidget *>(SettingsParts(s).serverIpLabel),
                                static_cast<QWidget *>(SettingsParts(s).serverPortLabel)})
            QVERIFY2(!hidden->isVisible(), qPrintable(hidden->objectName()));

        click(SettingsParts(s).protocolGroup, 1);
        QVERIFY(SettingsParts(s).consoleKindGroup->isEnabled());
        QCOMPARE(SettingsParts(s).consoleKindGroup->itemIndex(), -1);
        QVERIFY(SettingsParts(s).conversionGroup->isVisible());
        QCOMPARE(SettingsParts(s).conversionGroup->itemIndex(), 0);
        QVERIFY(!SettingsParts(s).serverIpEdit->isVisible());
        QVERIFY(!SettingsParts(s).reserveServersButton->isVisible());

        click(SettingsParts(s).protocolGroup, 0);
        QVERIFY(SettingsParts(s).serverIpEdit->isVisible());
        QVERIFY(SettingsParts(s).serverPortEdit->isVisible());
        QVERIFY(SettingsParts(s).serverIpLabel->isVisible());
        QVERIFY(SettingsParts(s).reserveServersButton->isVisible());
        QVERIFY(!SettingsParts(s).conversionGroup->isVisible());
        QVERIFY_PROMPTS(prompts);
    }

    void dhcpRule()
    {
        ScriptedPrompts prompts;
        SettingsPanel s(Variant::mxr600r(), prompts);
        s.show();
        QVERIFY(!SettingsParts(s).localLanBox->isVisible()); // until start-up runs the rule
        SettingsParts(s).dhcpGroup->setItemIndex(1);
        QVERIFY(!SettingsParts(s).localLanBox->isVisible());
        SettingsParts(s).dhcpGroup->setItemIndex(0);
        QVERIFY(SettingsParts(s).localLanBox->isVisible());
        SettingsParts(s).dhcpGroup->setItemIndex(1);
        QVERIFY(!SettingsParts(s).localLanBox->isVisible());
    }

    // Setting a switch to no choice runs no rule; setting it to an item does.
    void radioGroupHandlerRuns()
    {
        RadioGroup g(QStringLiteral("g"), {QStringLiteral("a"), QStringLiteral("b")}, 2);
        QList<int> calls;
        connect(&g, &RadioGroup::clicked, this, [&](int i) { calls << i; });
        g.setItemIndex(1);
        g.setItemIndex(1);
        g.setItemIndex(-1);
        QCOMPARE(g.itemIndex(), -1);
        g.setItemIndex(0);
        QCOMPARE(calls, QList<int>({1, 0}));
    }

    void keyFilters_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("factoryNumberEdit digits only") << "factoryNumberEdit" << "1a2.3+" << "123";
        QTest::newRow("factoryNumberEdit five at most") << "factoryNumberEdit" << "9999999" << "99999";
        QTest::newRow("serverPortEdit") << "serverPortEdit" << "8x0 80" << "8080";
        QTest::newRow("localPortEdit") << "localPortEdit" << "-12" << "12";
        QTest::newRow("serverIpEdit letters dropped") << "serverIpEdit" << "1a9,2.1 6x8" << "192.168";
        QTest::newRow("localIpEdit three dots") << "localIpEdit" << "1...2" << "1...2";
        QTest::newRow("gatewayIpEdit") << "gatewayIpEdit" << "10.0.0.-1" << "10.0.0.1";
        QTest::newRow("objectEdit capitals A-F") << "objectEdit" << "0a0A1G" << "00A1";
        QTest::newRow("accountEdit") << "accountEdit" << "f0F9" << "0F9";
        QTest::newRow("phone1Edit digits and plus") << "phone1Edit" << "+38(050)1-2" << "+3805012";
        QTest::newRow("phone2Edit") << "phone2Edit" << "+ 3a" << "+3";
        QTest::newRow("testWaitEdit digits") << "testWaitEdit" << "1.5m" << "15";
        QTest::newRow("apnEdit takes anything") << "apnEdit" << "Int.Net-1" << "Int.Net-1";
        QTest::newRow("baudCombo digits only") << "baudCombo" << "12ab45" << "1245";
    }

    void keyFilters()
    {
        QFETCH(QString, box);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        Windows w(Variant::mxr600r(), types_.path());
        auto *edit = w.main->findChild<QLineEdit *>(box);
        if (auto *combo = w.main->findChild<QComboBox *>(box))
            edit = combo->lineEdit();
        QVERIFY(edit);
        edit->clear();
        QTest::keyClicks(edit, typed);
        QCOMPARE(edit->text(), shown);
    }

    // Backspace and the editing keys pass every filter; a control character does not.
    void editingKeysPass()
    {
        Windows w(Variant::mxr600r(), types_.path());
        QLineEdit *edit = SettingsParts(*w.main).factoryNumberEdit;
        QTest::keyClicks(edit, QStringLiteral("123"));
        QTest::keyClick(edit, Qt::Key_Backspace);
        QCOMPARE(edit->text(), QStringLiteral("12"));
        QTest::keyClick(edit, Qt::Key_Home);
        QTest::keyClick(edit, Qt::Key_Delete);
        QCOMPARE(edit->text(), QStringLiteral("2"));
        QTest::keyClick(edit, Qt::Key_End);
        QTest::keyClick(edit, Qt::Key_Left);
        QTest::keyClicks(edit, QStringLiteral("7"));
        QCOMPARE(edit->text(), QStringLiteral("72"));
        QTest::keyClick(edit, Qt::Key_I, Qt::ControlModifier); // a control character: dropped
        QCOMPARE(edit->text(), QStringLiteral("72"));
    }
};

QTEST_MAIN(TestSettingsPanel)
#include "test_settings_panel.moc"
