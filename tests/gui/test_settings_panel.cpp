// The settings panel: start values and limits, the switch rules of both programs, and the key
// filters of the edit boxes (panel table boxes included).
#include "gui_fixture.h"

#include "edit/ui/panel_table_view.h"
#include "edit/ui/radio_group.h"
#include "edit/ui/settings_panel.h"

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
        SettingsPanel &s = *w.main->settings();
        QWidget *top = w.main.get();

        QVERIFY(s.EditMAC->text().isEmpty());
        QCOMPARE(s.EditMAC->maxLength(), 5);
        QCOMPARE(s.BaudBox->currentIndex(), 2);
        QCOMPARE(s.BaudBox->currentText(), QStringLiteral("9600"));
        QCOMPARE(s.BaudBox->count(), 7);
        QCOMPARE(s.BaudBox->itemText(6), QStringLiteral("115200"));
        QCOMPARE(s.BaudBox->toolTip(), QStringLiteral("Скорость передачи"));
        QCOMPARE(s.PeriodHB->value(), 10);
        QCOMPARE(s.PeriodHB->minimum(), 1);
        QCOMPARE(s.PeriodHB->maximum(), 3600);
        QCOMPARE(s.PeriodHB->toolTip(), QStringLiteral("Период передачи тестового извещения в канал USB"));
        QVERIFY(s.EditAPN->text().isEmpty());
        QCOMPARE(s.EditAPN->maxLength(), 64);
        QCOMPARE(s.EditAPN->toolTip(), QStringLiteral("Имя точки доступа GPRS-канала "));
        QCOMPARE(s.EditIP1_PCN->text(), QStringLiteral("192.168.1.3"));
        QCOMPARE(s.EditIP1_PCN->toolTip(), QStringLiteral("IP-адрес сервера извещений"));
        QCOMPARE(s.EditPort1_PCN->text(), QStringLiteral("9999"));
        QCOMPARE(s.EditPort1_PCN->maxLength(), 5);
        QCOMPARE(s.EditPort_Loc->maxLength(), 5);
        QCOMPARE(s.DHCP_OnOff->itemIndex(), 0);
        QVERIFY(!s.DHCP_OnOff->isEnabled());
        QCOMPARE(s.DHCP_OnOff->title(), QStringLiteral("  DHCP  "));
        QVERIFY(s.LocLAN->isVisibleTo(top));
        QVERIFY(s.DHCP_IP->text().isEmpty() && s.EditPort_Loc->text().isEmpty() && s.Shl_IP->text().isEmpty());
        QCOMPARE(s.DHCP_IP->toolTip(), QStringLiteral("Собственный IP-адрес трансивера"));
        QCOMPARE(s.EditPort_Loc->toolTip(), QStringLiteral("IP-порт трансивера"));
        QCOMPARE(s.Shl_IP->toolTip(), QStringLiteral("IP-адрес сетевого роутера"));
        QCOMPARE(s.FrmtRadioGroup->itemIndex(), 0);
        QVERIFY(!s.ConvertGroup->isVisibleTo(top));
        QCOMPARE(s.ConvertGroup->itemIndex(), 0);
        QCOMPARE(s.EtherProt->isVisibleTo(top), modeVisible);
        QVERIFY(s.EtherProt->isEnabled());
        QCOMPARE(s.EtherProt->itemIndex(), mode);
        QVERIFY(s.EditIP1_PCN->isVisibleTo(top));
        QVERIFY(s.AddAltIPBtn->isVisibleTo(top));
        QCOMPARE(s.UsbGroup->title(), QStringLiteral(" Настройка USB"));
        QCOMPARE(s.GprsGroup->title(), QStringLiteral(" Настройка GPRS"));
        QCOMPARE(s.LanGroup->title(), QStringLiteral(" Настройка LAN"));
        QCOMPARE(s.EtherProt->toolTip(),
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
        QCOMPARE(s.FrmtRadioGroup->title(), protocolCaption);
        QCOMPARE(s.FrmtRadioGroup->items(), protocols);
        QCOMPARE(s.ConvertGroup->title(), QStringLiteral(" Преобр."));
        QCOMPARE(s.ConvertGroup->items(), conversions);
        QCOMPARE(s.EtherProt->title(), modeCaption);
        QCOMPARE(s.EtherProt->items(), modes);
        QCOMPARE(s.DHCP_OnOff->items(), QStringList({QStringLiteral("Выкл."), QStringLiteral("Вкл.")}));
    }

    // MXR_600r: the console kind and the conversion exist only with Sur-Gard.
    void protocolRule600r()
    {
        ScriptedPrompts prompts;
        SettingsPanel s(Variant::mxr600r(), prompts);
        s.show();
        click(s.FrmtRadioGroup, 1);
        QVERIFY(s.ConvertGroup->isVisible());
        QCOMPARE(s.ConvertGroup->itemIndex(), 0);
        QVERIFY(s.EtherProt->isVisible());
        prompts.expectMessage(QStringLiteral("Тип трансивера"),
                              QStringLiteral("Трансивер будет конфигурироваться для работы с пожарным пультом!"));
        click(s.EtherProt, 1);
        QVERIFY_PROMPTS(prompts);
        QCOMPARE(prompts.last().icon, PromptIcon::Warning);
        QCOMPARE(prompts.last().buttons, PromptButtons::Ok);
        QVERIFY(prompts.last().onTop);
        click(s.ConvertGroup, 2);

        click(s.FrmtRadioGroup, 0);
        QVERIFY(!s.ConvertGroup->isVisible());
        QCOMPARE(s.ConvertGroup->itemIndex(), -1);
        QVERIFY(!s.EtherProt->isVisible());
        QCOMPARE(s.EtherProt->itemIndex(), 0);
        // Choosing Sur-Gard again starts the conversion at "A->0".
        click(s.FrmtRadioGroup, 1);
        QCOMPARE(s.ConvertGroup->itemIndex(), 0);
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
        click(s.FrmtRadioGroup, protocol);
        {
            // Leave the switch away from the item under test, without a message.
            const QSignalBlocker quiet(s.EtherProt);
            s.EtherProt->setItemIndex(1 - mode);
        }
        if (!text.isEmpty())
            prompts.expectMessage(QStringLiteral("Тип трансивера"), text);
        click(s.EtherProt, mode);
        QCOMPARE(s.EtherProt->itemIndex(), mode);
        QVERIFY_PROMPTS(prompts);
    }

    // MXR_duziv: autonomous mode disables the type switch; only the first protocol has a server.
    void protocolRuleDuziv()
    {
        ScriptedPrompts prompts;
        SettingsPanel s(Variant::mxrDuziv(), prompts);
        s.show();
        {
            const QSignalBlocker quiet(s.EtherProt);
            s.EtherProt->setItemIndex(0);
        }
        click(s.FrmtRadioGroup, 2);
        QVERIFY(!s.EtherProt->isEnabled());
        QVERIFY(s.EtherProt->isVisible());
        QCOMPARE(s.EtherProt->itemIndex(), -1);
        QVERIFY(!s.ConvertGroup->isVisible());
        QCOMPARE(s.ConvertGroup->itemIndex(), -1);
        for (QWidget *hidden : {static_cast<QWidget *>(s.AddAltIPBtn), static_cast<QWidget *>(s.EditIP1_PCN),
                                static_cast<QWidget *>(s.EditPort1_PCN), static_cast<QWidget *>(s.ServerIpLabel),
                                static_cast<QWidget *>(s.ServerPortLabel)})
            QVERIFY2(!hidden->isVisible(), qPrintable(hidden->objectName()));

        click(s.FrmtRadioGroup, 1);
        QVERIFY(s.EtherProt->isEnabled());
        QCOMPARE(s.EtherProt->itemIndex(), -1);
        QVERIFY(s.ConvertGroup->isVisible());
        QCOMPARE(s.ConvertGroup->itemIndex(), 0);
        QVERIFY(!s.EditIP1_PCN->isVisible());
        QVERIFY(!s.AddAltIPBtn->isVisible());

        click(s.FrmtRadioGroup, 0);
        QVERIFY(s.EditIP1_PCN->isVisible());
        QVERIFY(s.EditPort1_PCN->isVisible());
        QVERIFY(s.ServerIpLabel->isVisible());
        QVERIFY(s.AddAltIPBtn->isVisible());
        QVERIFY(!s.ConvertGroup->isVisible());
        QVERIFY_PROMPTS(prompts);
    }

    void dhcpRule()
    {
        ScriptedPrompts prompts;
        SettingsPanel s(Variant::mxr600r(), prompts);
        s.show();
        QVERIFY(!s.LocLAN->isVisible()); // until start-up runs the rule
        s.DHCP_OnOff->setItemIndex(1);
        QVERIFY(!s.LocLAN->isVisible());
        s.DHCP_OnOff->setItemIndex(0);
        QVERIFY(s.LocLAN->isVisible());
        s.DHCP_OnOff->setItemIndex(1);
        QVERIFY(!s.LocLAN->isVisible());
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
        QTest::newRow("EditMAC digits only") << "EditMAC" << "1a2.3+" << "123";
        QTest::newRow("EditMAC five at most") << "EditMAC" << "9999999" << "99999";
        QTest::newRow("EditPort1_PCN") << "EditPort1_PCN" << "8x0 80" << "8080";
        QTest::newRow("EditPort_Loc") << "EditPort_Loc" << "-12" << "12";
        QTest::newRow("EditIP1_PCN letters dropped") << "EditIP1_PCN" << "1a9,2.1 6x8" << "192.168";
        QTest::newRow("DHCP_IP three dots") << "DHCP_IP" << "1...2" << "1...2";
        QTest::newRow("Shl_IP") << "Shl_IP" << "10.0.0.-1" << "10.0.0.1";
        QTest::newRow("ObjId capitals A-F") << "ObjId" << "0a0A1G" << "00A1";
        QTest::newRow("Accnt") << "Accnt" << "f0F9" << "0F9";
        QTest::newRow("P1 digits and plus") << "P1" << "+38(050)1-2" << "+3805012";
        QTest::newRow("P2") << "P2" << "+ 3a" << "+3";
        QTest::newRow("WaitTest digits") << "WaitTest" << "1.5m" << "15";
        QTest::newRow("EditAPN takes anything") << "EditAPN" << "Int.Net-1" << "Int.Net-1";
    }

    void keyFilters()
    {
        QFETCH(QString, box);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        Windows w(Variant::mxr600r(), types_.path());
        auto *edit = w.main->findChild<QLineEdit *>(box);
        QVERIFY(edit);
        edit->clear();
        QTest::keyClicks(edit, typed);
        QCOMPARE(edit->text(), shown);
    }

    // Backspace and the editing keys pass every filter; a control character does not.
    void editingKeysPass()
    {
        Windows w(Variant::mxr600r(), types_.path());
        QLineEdit *edit = w.main->settings()->EditMAC;
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
