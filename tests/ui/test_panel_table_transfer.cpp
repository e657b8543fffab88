// End to end: panels typed, changed and deleted by hand reach the simulated transceiver exactly as
// the write encodes them; a factory number read from a transceiver survives a write back.
#include "link_window_fixture.h"

#include "image/config_writer.h"
#include "tables/panel_table.h"
#include "ui/dataset_navigator.h"
#include "ui/panel_table_view.h"
#include "ui/radio_group.h"
#include "ui/settings_panel.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>

using namespace guitest;

namespace {

QByteArray bytesOf(const ConfigImage &image)
{
    return QByteArray(reinterpret_cast<const char *>(image.data()), image.size());
}

PanelRecord typedRow(const char *obj, const char *account, const char *p1 = "", const char *p2 = "")
{
    PanelRecord r;
    r.obj = QLatin1String(obj);
    r.account = QLatin1String(account);
    r.phone1 = QLatin1String(p1);
    r.phone2 = QLatin1String(p2);
    r.protocolCode = 10; // no type chosen: TypeId 0, which the code table does not list
    return r;
}

} // namespace

class TestPanelTableTransfer : public WindowTest {
    Q_OBJECT

private slots:
    void handEditedRowsReachTheTransceiver()
    {
        const Variant &v = Variant::mxr600r();
        SimRig rig(v);
        QVERIFY2(rig.startSerial(), qPrintable(rig.error));
        LinkWindows w(v, types_.path(), LinkParts());
        w.start();
        showConfig(*w.main, validConfig(v));
        QVERIFY(bringUsbUp(w, rig.link));

        PanelTableView &view = *panelViewOf(*w.main);
        auto press = [&](DatasetNavigator::Button b) { PanelViewParts(view).panelNavigator->button(b)->click(); };
        auto type = [&](QLineEdit *box, const char *text) { QTest::keyClicks(box, QLatin1String(text)); };
        auto add = [&](const char *obj, const char *account) {
            press(DatasetNavigator::Insert);
            type(PanelViewParts(view).objectEdit, obj);
            type(PanelViewParts(view).accountEdit, account);
        };
        add("0005", "0001");
        type(PanelViewParts(view).phone1Edit, "+380");
        press(DatasetNavigator::Post);
        add("0009", "0003");
        press(DatasetNavigator::Post);
        add("0002", "0002");
        press(DatasetNavigator::Post);
        PanelViewParts(view).panelGrid->selectRow(1); // 0005
        type(PanelViewParts(view).phone2Edit, "77");
        PanelViewParts(view).panelGrid->selectRow(2); // moving stores the change
        w.prompts.expectMessage(QStringLiteral("Confirm"), QStringLiteral("Delete record?"), MessageAnswer::Ok);
        press(DatasetNavigator::Delete); // 0009
        add("0001", "0004");             // left open: the write stores it first

        w.prompts.expectMessage(QStringLiteral("Конфигурирование трансивера"),
                                QStringLiteral("Запись конфигурации трансивера № 12345 выполнена"));
        MainParts(*w.main).writeButton->click();
        QTRY_COMPARE_WITH_TIMEOUT(w.prompts.pending(), 0, 180000);
        QVERIFY_PROMPTS(w.prompts);

        TransceiverConfig expected = validConfig(v);
        expected.panels = {typedRow("0001", "0004"), typedRow("0002", "0002"), typedRow("0005", "0001", "+380", "77")};
        ConfigImage image(v);
        QVERIFY(!fillImage(image, expected, SettingsParts(*w.main).consoleKindGroup->isEnabled()));
        QCOMPARE(rig.sim.memory().bytes(), bytesOf(image));
        QCOMPARE(panelTableOf(*w.main)->rowCount(), 3);
    }

    // A transceiver may hold any unsigned 32-bit factory number; five digits are a limit of typing.
    void factoryNumberSurvivesAWriteBack()
    {
        const Variant &v = Variant::mxrDuziv();
        TransceiverConfig held = validConfig(v);
        held.factoryNumber = QStringLiteral("4294967295");
        ConfigImage image(v);
        QVERIFY(!fillImage(image, held, true));
        SimRig rig(v);
        QVERIFY(rig.sim.memory().replace(bytesOf(image)));
        QVERIFY2(rig.startUdp(), qPrintable(rig.error));
        LinkWindows w(v, types_.path(), loopbackLink(rig.sim.udpPort()));
        w.start();
        QVERIFY(bringLanUp(w));
        w.prompts.expectMessage(QStringLiteral("Конфигурирование трансивера"),
                                QStringLiteral("Чтение конфигурации трансивера № 4294967295 выполнено."));
        MainParts(*w.main).readAction->trigger();
        QCOMPARE(SettingsParts(*w.main).factoryNumberEdit->text(), QStringLiteral("4294967295"));

        rig.sim.memory().replace(QByteArray(v.imageSize(), '\0'));
        w.prompts.expectMessage(QStringLiteral("Конфигурирование трансивера"),
                                QStringLiteral("Запись конфигурации трансивера № 4294967295 выполнена"));
        MainParts(*w.main).writeButton->click();
        QVERIFY_PROMPTS(w.prompts);
        QCOMPARE(rig.sim.memory().bytes().mid(v.settingsBase() + 14, 4), QByteArray("\xFF\xFF\xFF\xFF", 4));
    }
};

QTEST_MAIN(TestPanelTableTransfer)
#include "test_panel_table_transfer.moc"
