// The USB link as the main window shows it: the port picker, the captions, the status line and the
// command states while the transceiver answers, falls silent, rejects the panel type or fails to
// store, over a real pseudo-terminal to the simulated transceiver.
#include "link_window_fixture.h"

#include "link/port_number.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>

using namespace guitest;

namespace {

const QString kAutonomous = QStringLiteral("      Автономный режим");

void checkAutonomousAfterSerial(LinkWindows &w)
{
    MainWindow &f = *w.main;
    QCOMPARE(f.windowTitle(), w.variant.captionPrefix + kAutonomous);
    QCOMPARE(MainParts(f).statusText->text(), QStringLiteral("Нет связи"));
    QVERIFY(MainParts(f).writeButton->isHidden());
    QVERIFY(MainParts(f).progressBar->isHidden());
    QVERIFY(!MainParts(f).writeAction->isEnabled());
    QVERIFY(!MainParts(f).readAction->isEnabled());
    QVERIFY(!linkOf(f).serialChannel().isLinkUp());
}

} // namespace

class TestWindowUsb : public WindowTest {
    Q_OBJECT

private slots:
    void portNumberInCaption_data()
    {
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("shown");
        QTest::newRow("COM3") << "COM3" << "3";
        QTest::newRow("COM12") << "COM12" << "12";
        QTest::newRow("leading zeros") << "COM007" << "7";
        QTest::newRow("ttyUSB0") << "/dev/ttyUSB0" << "0";
        QTest::newRow("pseudo-terminal") << "/dev/pts/3" << "3";
        QTest::newRow("no digits: the path") << "/tmp/ttyX" << "/tmp/ttyX";
        QTest::newRow("digits inside only") << "/dev/tty1a" << "/dev/tty1a";
    }

    void portNumberInCaption()
    {
        QFETCH(QString, port);
        QFETCH(QString, shown);
        QCOMPARE(portNumberText(port), shown);
    }

    // The link commands on offer: all five and the write button with the serial link up, none while
    // a write runs; neither touches the import or the exit.
    void linkControls_data() { variants(); }

    void linkControls()
    {
        const Variant &v = fetchVariant();
        SimRig rig(v);
        QVERIFY2(rig.startSerial(), qPrintable(rig.error));
        LinkWindows w(v, types_.path(), LinkParts());
        w.start();
        MainWindow &f = *w.main;
        const QList<QAction *> five{MainParts(f).linkMenuAction, MainParts(f).writeAction, MainParts(f).readAction, MainParts(f).loadAction, MainParts(f).saveAction};
        QVERIFY(bringUsbUp(w, rig.link));
        QVERIFY(!MainParts(f).writeButton->isHidden());
        for (QAction *a : five)
            QVERIFY2(a->isEnabled(), qPrintable(a->objectName()));
        showConfig(f, validConfig(v));
        MainParts(f).writeAction->trigger();
        QCOMPARE(linkOf(f).state(), TransceiverLink::State::Transferring);
        QVERIFY(MainParts(f).writeButton->isHidden());
        for (QAction *a : five)
            QVERIFY2(!a->isEnabled(), qPrintable(a->objectName()));
        QVERIFY(MainParts(f).exitAction->isEnabled());
        QVERIFY(!MainParts(f).importAction->isEnabled());
        QVERIFY_PROMPTS(w.prompts);
        linkOf(f).shutDown(); // the write ends unannounced, as on exit
    }

    void linkComesUp_data() { variants(); }

    void linkComesUp()
    {
        const Variant &v = fetchVariant();
        SimRig rig(v);
        QVERIFY2(rig.startSerial(), qPrintable(rig.error));
        LinkWindows w(v, types_.path(), LinkParts());
        w.start();

        w.prompts.expectSerialPort(rig.link);
        MainParts(*w.main).usbAction->trigger();
        QVERIFY_PROMPTS(w.prompts);
        QCOMPARE(w.prompts.last().kind, PromptKind::SerialPort);
        // The port is open: its caption, the link commands; the link itself comes with the answer.
        QCOMPARE(w.main->windowTitle(), v.captionPrefix + QStringLiteral("      Канал USB Com7"));
        QCOMPARE(int(linkOf(*w.main).channel()), 1);
        QVERIFY(MainParts(*w.main).writeAction->isEnabled());
        QVERIFY(MainParts(*w.main).linkMenuAction->isEnabled());

        QTRY_VERIFY_WITH_TIMEOUT(linkOf(*w.main).serialChannel().isLinkUp(), 5000);
        const QString expected = (v.id == VariantId::MxrDuziv) ? QStringLiteral("      Канал USB Com7")
                                             : QStringLiteral("    Связь по каналу USB");
        QCOMPARE(w.main->windowTitle(), v.captionPrefix + expected);
        QCOMPARE(MainParts(*w.main).statusText->text(), QString());
        QVERIFY(!MainParts(*w.main).writeButton->isHidden());
        QVERIFY(!MainParts(*w.main).progressBar->isHidden());
        QVERIFY(MainParts(*w.main).writeAction->isEnabled());
        QCOMPARE(linkOf(*w.main).portName(), rig.link);
        // The keep-alive runs on: identification frames keep coming.
        const int idents = rig.sim.counters().identFrames;
        QTRY_VERIFY_WITH_TIMEOUT(rig.sim.counters().identFrames > idents + 3, 5000);
        QVERIFY(linkOf(*w.main).serialChannel().isLinkUp());
    }

    void silentTransceiverLosesTheLink_data() { variants(); }

    void silentTransceiverLosesTheLink()
    {
        const Variant &v = fetchVariant();
        SimRig rig(v);
        QVERIFY2(rig.startSerial(), qPrintable(rig.error));
        LinkWindows w(v, types_.path(), LinkParts());
        w.start();
        QVERIFY(bringUsbUp(w, rig.link));

        rig.sim.settings().silentAfter = 0;
        QTRY_VERIFY_WITH_TIMEOUT(!linkOf(*w.main).serialChannel().isLinkUp(), 5000);
        checkAutonomousAfterSerial(w);
        // The identification frame is repeated while the transceiver is silent; its answer brings
        // the link back.
        rig.sim.settings().silentAfter = -1;
        QTRY_VERIFY_WITH_TIMEOUT(linkOf(*w.main).serialChannel().isLinkUp(), 5000);
        QCOMPARE(MainParts(*w.main).statusText->text(), QString());
        QVERIFY(!MainParts(*w.main).writeButton->isHidden());
        QVERIFY(MainParts(*w.main).writeAction->isEnabled());
        QVERIFY_PROMPTS(w.prompts);
    }

    void noPortGiven_data()
    {
        QTest::addColumn<QString>("variant");
        QTest::addColumn<bool>("cancelled");
        QTest::newRow("600r picker cancelled") << "600r" << true;
        QTest::newRow("duziv picker cancelled") << "duziv" << true;
        QTest::newRow("600r no such port") << "600r" << false;
    }

    void noPortGiven()
    {
        QFETCH(QString, variant);
        QFETCH(bool, cancelled);
        const Variant &v = variantByName(variant);
        QTemporaryDir dir;
        LinkWindows w(v, types_.path(), LinkParts());
        w.start();

        const QString port = dir.path() + "/ttyNone";
        w.prompts.expectSerialPort(cancelled ? std::nullopt : std::optional<QString>(port));
        // A port that was tried is named with the system's reason in a second paragraph.
        const QString reason = cancelled ? QString()
                                         : QStringLiteral("\n\nПорт %1 не открывается: No such file or directory").arg(port);
        w.prompts.expectMessage(QStringLiteral("Оборудование"),
                                QStringLiteral("Нет доступного Com-порта. Работа в автономном режиме!") + reason);
        MainParts(*w.main).usbAction->trigger();
        QVERIFY_PROMPTS(w.prompts);
        QCOMPARE(w.prompts.last().icon, MessageIcon::Error);
        QCOMPARE(int(linkOf(*w.main).channel()), 0);
        checkAutonomousAfterSerial(w);
        verifyNoLinkCommands(*w.main); // the other commands stay usable

        // The picker is offered again: a port that could not be opened is not kept.
        w.prompts.expectSerialPort(std::nullopt);
        w.prompts.expectMessage(QStringLiteral("Оборудование"), QString());
        MainParts(*w.main).usbAction->trigger();
        QVERIFY_PROMPTS(w.prompts);
    }

    void portKeptUntilLanIsChosen()
    {
        const Variant &v = Variant::mxr600r();
        SimRig rig(v);
        QVERIFY2(rig.startSerial(), qPrintable(rig.error));
        LinkWindows w(v, types_.path(), loopbackLink(9));
        w.start();
        QVERIFY(bringUsbUp(w, rig.link));

        // USB again: the chosen port is reopened without asking.
        MainParts(*w.main).usbAction->trigger();
        QVERIFY_PROMPTS(w.prompts);
        QTRY_VERIFY_WITH_TIMEOUT(linkOf(*w.main).serialChannel().isLinkUp(), 5000);

        // LAN (cancelled in the input box) closes the port and forgets it.
        w.prompts.expectInput(QStringLiteral("Работа по ЛВС"), std::nullopt);
        MainParts(*w.main).lanAction->trigger();
        QVERIFY_PROMPTS(w.prompts);
        QVERIFY(!linkOf(*w.main).serialChannel().isOpen());
        QCOMPARE(linkOf(*w.main).portName(), QString());
        QCOMPARE(int(linkOf(*w.main).channel()), 0);
        QVERIFY(!linkOf(*w.main).serialChannel().isLinkUp());
        QVERIFY(MainParts(*w.main).writeButton->isHidden());
        QVERIFY(!MainParts(*w.main).writeAction->isEnabled());
        QCOMPARE(w.main->windowTitle(), v.captionPrefix + kAutonomous);

        // USB asks for the port again.
        QVERIFY(bringUsbUp(w, rig.link));
        QVERIFY_PROMPTS(w.prompts);
    }

    void typeRejected_data()
    {
        QTest::addColumn<QString>("variant");
        QTest::addColumn<int>("answer");
        QTest::newRow("600r, stays") << "600r" << int(MessageAnswer::No);
        QTest::newRow("600r, ends") << "600r" << int(MessageAnswer::Yes);
        QTest::newRow("duziv, stays") << "duziv" << int(MessageAnswer::No);
    }

    void typeRejected()
    {
        QFETCH(QString, variant);
        QFETCH(int, answer);
        const Variant &v = variantByName(variant);
        SimRig rig(v);
        rig.sim.settings().replyBytes.insert(1, 0x02);
        QVERIFY2(rig.startSerial(), qPrintable(rig.error));
        LinkWindows w(v, types_.path(), LinkParts());
        w.start();
        QSignalSpy finished(w.main.get(), &MainWindow::finished);

        w.prompts.expectSerialPort(rig.link);
        w.prompts.expectMessage(QStringLiteral("Фатальная ошибка"), QStringLiteral("Ошибка выбора типа ППК!"));
        w.prompts.expectMessage(QStringLiteral("Завершение работы"), QStringLiteral("Завершить работу приложения?"),
                                MessageAnswer(answer));
        MainParts(*w.main).usbAction->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(w.prompts.pending(), 0, 5000);
        QVERIFY_PROMPTS(w.prompts);
        const QList<PromptRecord> &records = w.prompts.records();
        QCOMPARE(records.at(records.size() - 2).icon, MessageIcon::Error);

        QVERIFY(!linkOf(*w.main).serialChannel().isOpen());
        QVERIFY(!linkOf(*w.main).serialChannel().isLinkUp());
        const bool ends = MessageAnswer(answer) == MessageAnswer::Yes;
        QCOMPARE(finished.count(), ends ? 1 : 0);
        QCOMPARE(w.main->isVisible(), !ends);
        if (!ends) {
            // The window stays usable, without a serial write on offer.
            QVERIFY(MainParts(*w.main).writeButton->isHidden());
            QVERIFY(!MainParts(*w.main).writeAction->isEnabled());
            QVERIFY(MainParts(*w.main).linkMenuAction->isEnabled());
            QCOMPARE(int(linkOf(*w.main).channel()), 0);
        }
        // Nothing more is read or sent on the closed port.
        const int frames = rig.sim.counters().framesReceived;
        QTest::qWait(400);
        QCOMPARE(rig.sim.counters().framesReceived, frames);
    }

    void storeFailedIsReported()
    {
        const Variant &v = Variant::mxr600r();
        SimRig rig(v);
        rig.sim.settings().replyBytes.insert(1, 0x25);
        QVERIFY2(rig.startSerial(), qPrintable(rig.error));
        LinkWindows w(v, types_.path(), LinkParts());
        w.start();

        w.prompts.expectSerialPort(rig.link);
        w.prompts.expectMessage(QStringLiteral("Ошибка при записи ППЗУ"), QStringLiteral("Отказ оборудования"));
        MainParts(*w.main).usbAction->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(w.prompts.pending(), 0, 5000);
        QVERIFY_PROMPTS(w.prompts);
        QCOMPARE(w.prompts.last().icon, MessageIcon::None);
        QCOMPARE(w.prompts.last().buttons, MessageButtons::Ok);
        // Nothing else changes: the port stays open and the next answer brings the link up.
        QVERIFY(linkOf(*w.main).serialChannel().isOpen());
        QTRY_VERIFY_WITH_TIMEOUT(linkOf(*w.main).serialChannel().isLinkUp(), 5000);
    }
};

QTEST_MAIN(TestWindowUsb)
#include "test_window_usb.moc"
