// End to end: the main window writes a configuration into the simulated transceiver over a
// pseudo-terminal and over loopback UDP, and reads one back over UDP; the transceiver's memory must
// equal the image the window built. Also the transfer failures as the technician sees them.
#include "link_window_fixture.h"

#include "link/link_texts.h"

#include "core/ip_text.h"
#include "image/config_writer.h"
#include "tables/panel_table.h"
#include "ui/panel_table_view.h"
#include "ui/settings_panel.h"

#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <cstring>

using namespace guitest;

namespace {

TransceiverConfig configWithRows(const Variant &v, int rows)
{
    TransceiverConfig c = validConfig(v);
    for (int n = 1; n <= rows; ++n)
        c.panels.append(panelRow(n));
    c.reserveIps[0] = *ipFromText(QStringLiteral("10.1.2.3"));
    c.reserveIps[1] = *ipFromText(QStringLiteral("172.16.0.9"));
    c.reserveIps[2] = *ipFromText(QStringLiteral("192.168.7.200"));
    return c;
}

void expectWriteDone(ScriptedPrompts &prompts)
{
    prompts.expectMessage(QStringLiteral("Конфигурирование трансивера"),
                          QStringLiteral("Запись конфигурации трансивера № 12345 выполнена"));
}

void checkDoneBox(const PromptRecord &box)
{
    QCOMPARE(box.icon, MessageIcon::Information);
    QVERIFY(box.onTop);
}

// Slot n of an image as the transceiver holds it.
QByteArray slotOf(const QByteArray &image, int n) { return image.mid((n - 1) * 47, 47); }

} // namespace

class TestWindowTransfer : public WindowTest {
    Q_OBJECT

private slots:
    void serialWrite_data() { variants(); }

    void serialWrite()
    {
        const Variant &v = fetchVariant();
        SimRig rig(v);
        QVERIFY2(rig.startSerial(), qPrintable(rig.error));
        LinkWindows w(v, types_.path(), LinkParts());
        w.start();
        showConfig(*w.main, configWithRows(v, 7));
        QVERIFY(bringUsbUp(w, rig.link));
        QSignalSpy complete(&rig.sim, &TransceiverSim::serialWriteComplete);
        int highest = 0;
        connect(&linkOf(*w.main), &TransceiverLink::progressChanged, this,
                [&](int p) { highest = std::max(highest, p); });

        // While the box is open the link stays up: the keep-alive goes on, status and caption too.
        MainWindow &f = *w.main;
        const QString captionUp = f.windowTitle();
        int identsWhileOpen = 0;
        QString statusWhileOpen, captionWhileOpen;
        ScriptedPrompts::Expected done;
        done.title = QStringLiteral("Конфигурирование трансивера");
        done.text = QStringLiteral("Запись конфигурации трансивера № 12345 выполнена");
        done.action = [&] {
            // The link comes back through the identification exchange, as after every write, and
            // the keep-alive then runs at full pace while the box stays open.
            const int before = rig.sim.counters().identFrames;
            QTRY_VERIFY_WITH_TIMEOUT(rig.sim.counters().identFrames > before, 3000);
            const int running = rig.sim.counters().identFrames;
            QTest::qWait(2 * SerialChannel::kTicksAfterLoss * Timing().serialTickMs); // two keep-alive periods
            identsWhileOpen = rig.sim.counters().identFrames - running;
            statusWhileOpen = MainParts(f).statusText->text();
            captionWhileOpen = f.windowTitle();
        };
        w.prompts.expect(done);
        MainParts(*w.main).writeButton->click();
        // The command returned after the first frame; the write goes on by acknowledgements.
        QVERIFY(linkOf(f).serialWrite().busy());
        QVERIFY(MainParts(f).writeButton->isHidden());
        QVERIFY(!MainParts(f).linkMenuAction->isEnabled());
        QVERIFY(!MainParts(f).writeAction->isEnabled());
        QVERIFY(!MainParts(f).progressBar->isHidden());
        QCOMPARE(linkOf(f).serialWrite().bytesTotal(), 6 * v.imageSize());

        QTRY_COMPARE_WITH_TIMEOUT(w.prompts.pending(), 0, 180000);
        QVERIFY_PROMPTS(w.prompts);
        checkDoneBox(w.prompts.last());
        QCOMPARE(complete.count(), 1);
        QVERIFY2(identsWhileOpen > 2, qPrintable(QString::number(identsWhileOpen)));
        QCOMPARE(statusWhileOpen, QString());
        QCOMPARE(captionWhileOpen, captionUp);

        const QByteArray memory = rig.sim.memory().bytes();
        QCOMPARE(memory, imageBytes(f));
        // Independently of the image: row 3 in slot 3, the factory number, a reserve server.
        QCOMPARE(slotOf(memory, 3).mid(26, 4), QByteArray("1003"));
        QCOMPARE(slotOf(memory, 3).left(11), QByteArray("89000000003"));
        QCOMPARE(slotOf(memory, 8), QByteArray(47, '\0'));
        QCOMPARE(memory.mid(v.settingsBase() + 14, 4), QByteArray("\x39\x30\x00\x00", 4));
        QCOMPARE(memory.mid(v.settingsBase() + 102 + 4, 4), QByteArray("\xAC\x10\x00\x09", 4));

        QCOMPARE(highest, 100);
        QCOMPARE(MainParts(f).progressBar->value(), 0);
        QVERIFY(!linkOf(f).serialWrite().busy());
        QVERIFY(!MainParts(f).writeButton->isHidden());
        QVERIFY(!MainParts(f).writeButton->isDown());
        QVERIFY(MainParts(f).writeAction->isEnabled());
        QVERIFY(MainParts(f).linkMenuAction->isEnabled());
        QVERIFY(!MainParts(f).readAction->isEnabled());
        // The keep-alive takes over again.
        const int idents = rig.sim.counters().identFrames;
        QTRY_VERIFY_WITH_TIMEOUT(rig.sim.counters().identFrames > idents, 5000);
    }

    void serialStoreFailedInTheWrite()
    {
        const Variant &v = Variant::mxrDuziv();
        SimRig rig(v);
        QVERIFY2(rig.startSerial(), qPrintable(rig.error));
        LinkWindows w(v, types_.path(), LinkParts());
        w.start();
        showConfig(*w.main, configWithRows(v, 2));
        QVERIFY(bringUsbUp(w, rig.link));

        // The sim runs on this thread: nothing it counts changes before the write starts.
        rig.sim.settings().replyBytes.insert(rig.sim.counters().framesReceived + 40, 0x25);
        w.prompts.expectMessage(QStringLiteral("Ошибка при записи ППЗУ"), QStringLiteral("Отказ оборудования") +
                                                                              linktext::partialWriteNote());
        MainParts(*w.main).writeButton->click();
        QTRY_COMPARE_WITH_TIMEOUT(w.prompts.pending(), 0, 10000);
        QVERIFY_PROMPTS(w.prompts);
        QCOMPARE(w.prompts.last().icon, MessageIcon::None);
        MainWindow &f = *w.main;
        QVERIFY(!linkOf(f).serialWrite().busy());
        QVERIFY(MainParts(f).linkMenuAction->isEnabled());
        QVERIFY(rig.sim.counters().writeFrames < v.imageSize());
    }

    void lanWrite_data() { variants(); }

    void lanWrite()
    {
        const Variant &v = fetchVariant();
        SimRig rig(v);
        QVERIFY2(rig.startUdp(), qPrintable(rig.error));
        QList<QByteArray> seen;
        connect(&rig.sim, &TransceiverSim::datagramReceived, this, [&](const QByteArray &d) { seen << d; });
        LinkWindows w(v, types_.path(), loopbackLink(rig.sim.udpPort()));
        w.start();
        // A full table: the last object block carries the last slot.
        TransceiverConfig c = configWithRows(v, v.maxPanels);
        c.serverPort = QStringLiteral("70000");
        showConfig(*w.main, c);
        QVERIFY(bringLanUp(w));
        seen.clear();

        expectWriteDone(w.prompts);
        MainParts(*w.main).writeButton->click();
        // The command returns when the LAN write has ended.
        QVERIFY_PROMPTS(w.prompts);
        checkDoneBox(w.prompts.last());
        MainWindow &f = *w.main;
        const QByteArray memory = rig.sim.memory().bytes();
        QCOMPARE(memory, imageBytes(f));
        QCOMPARE(memory.mid(v.settingsBase() + 18, 2), QByteArray("\x70\x11", 2));

        QList<QByteArray> objectBlocks;
        for (const QByteArray &d : seen)
            if (d.startsWith("AT+FPD0=") && d.size() == 247)
                objectBlocks << d;
        const int blocks = v.maxPanels / 5;
        QCOMPARE(objectBlocks.size(), blocks);
        const QByteArray lastBlock = objectBlocks.constLast();
        QCOMPARE(int(static_cast<unsigned char>(lastBlock.at(11))), blocks);
        QCOMPARE(lastBlock.right(47), slotOf(memory, v.maxPanels));
        QCOMPARE(lastBlock.right(47).mid(26, 4), c.panels.constLast().account.toLatin1());
        QVERIFY(seen.contains(QByteArray("AT+FPDE")));

        QCOMPARE(MainParts(f).progressBar->value(), 0);
        for (QAction *a : {MainParts(f).linkMenuAction, MainParts(f).writeAction, MainParts(f).readAction, MainParts(f).loadAction, MainParts(f).saveAction})
            QVERIFY2(a->isEnabled(), qPrintable(a->objectName()));
        QVERIFY(!MainParts(f).writeButton->isHidden());
        QVERIFY(linkOf(f).lanChannel().isConnected());
        QVERIFY(linkOf(f).lanChannel().isPolling());
    }

    void lanWriteFailures_data()
    {
        QTest::addColumn<bool>("noReady");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("pollAfter");
        QTest::newRow("no answer") << true << "Связь с трансивером"
                                   << QStringLiteral("Трансивер не отвечает") + linktext::partialWriteNote() << false;
        QTest::newRow("refused") << false << "Конфигурирование трансивера" << "Ошибка при записи конфигурации"
                                 << true;
    }

    void lanWriteFailures()
    {
        QFETCH(bool, noReady);
        QFETCH(QString, title);
        QFETCH(QString, text);
        QFETCH(bool, pollAfter);
        const Variant &v = Variant::mxr600r();
        SimRig rig(v);
        QVERIFY2(rig.startUdp(), qPrintable(rig.error));
        LinkWindows w(v, types_.path(), loopbackLink(rig.sim.udpPort()));
        w.start();
        showConfig(*w.main, configWithRows(v, 3));
        QVERIFY(bringLanUp(w));
        const QByteArray before = rig.sim.memory().bytes();
        rig.sim.settings().noReady = noReady;
        rig.sim.settings().configResultGood = false;

        // The gauge is back at 0 % while the failure's box is open.
        int gaugeDuringBox = -1;
        ScriptedPrompts::Expected box;
        box.title = title;
        box.text = text;
        box.action = [&] { gaugeDuringBox = MainParts(*w.main).progressBar->value(); };
        w.prompts.expect(box);
        MainParts(*w.main).writeButton->click();
        QVERIFY_PROMPTS(w.prompts);
        QCOMPARE(gaugeDuringBox, 0);
        QCOMPARE(w.prompts.last().icon, MessageIcon::Error);
        MainWindow &f = *w.main;
        QCOMPARE(rig.sim.memory().bytes(), before);
        QVERIFY(linkOf(f).lanChannel().isConnected());
        QCOMPARE(linkOf(f).lanChannel().isPolling(), pollAfter);
        QVERIFY(MainParts(f).writeAction->isEnabled());
        QVERIFY(MainParts(f).linkMenuAction->isEnabled());
        QVERIFY(!MainParts(f).writeButton->isHidden());
    }

    void exitDuringALanWrite()
    {
        // The transceiver never answers "AT+DATF"; the technician ends the program meanwhile: the
        // write command returns without a word and nothing more goes out.
        const Variant &v = Variant::mxr600r();
        SimRig rig(v);
        QVERIFY2(rig.startUdp(), qPrintable(rig.error));
        LinkWindows w(v, types_.path(), loopbackLink(rig.sim.udpPort()));
        w.start();
        showConfig(*w.main, configWithRows(v, 3));
        QVERIFY(bringLanUp(w));
        rig.sim.settings().noReady = true;

        w.prompts.expectMessage(QStringLiteral("Завершение работы"), QStringLiteral("Завершить работу приложения?"),
                                MessageAnswer::Yes);
        QTimer::singleShot(300, w.main.get(), [&] { MainParts(*w.main).exitAction->trigger(); });
        MainParts(*w.main).writeButton->click();
        QVERIFY_PROMPTS(w.prompts);
        QVERIFY(!w.main->isVisible());
        QVERIFY(!linkOf(*w.main).isBusy());
        const int received = rig.sim.counters().datagramsReceived;
        QTest::qWait(1000); // more than two retransmission intervals
        QCOMPARE(rig.sim.counters().datagramsReceived, received);
        QCOMPARE(w.prompts.records().size(), 2); // the address box and the exit question
    }

    void lanRead_data() { variants(); }

    void lanRead()
    {
        const Variant &v = fetchVariant();
        SimRig rig(v);
        QByteArray stored(v.imageSize(), '\0');
        for (int i = 0; i < stored.size(); ++i)
            stored[i] = char((i * 7 + 3) & 0xFF);
        stored.replace(v.settingsBase() + 14, 4, QByteArray("\xFF\xFF\xFF\xFF", 4));
        QVERIFY(rig.sim.memory().replace(stored));
        QVERIFY2(rig.startUdp(), qPrintable(rig.error));
        LinkWindows w(v, types_.path(), loopbackLink(rig.sim.udpPort()));
        w.start();
        TransceiverConfig c = configWithRows(v, 4);
        showConfig(*w.main, c);
        PanelViewParts(*w.main).panelCountLabel->setText(QStringLiteral("Количество объектов 4"));
        QVERIFY(bringLanUp(w));

        bool linkOffDuringRead = false;
        ScriptedPrompts::Expected done;
        done.title = QStringLiteral("Конфигурирование трансивера");
        done.text = QStringLiteral("Чтение конфигурации трансивера № 4294967295 выполнено.");
        done.action = [&] { linkOffDuringRead = !MainParts(*w.main).linkMenuAction->isEnabled() && MainParts(*w.main).writeButton->isHidden(); };
        w.prompts.expect(done);
        MainParts(*w.main).readAction->trigger();
        QVERIFY_PROMPTS(w.prompts);
        QCOMPARE(w.prompts.last().icon, MessageIcon::Information);
        QVERIFY(linkOffDuringRead);
        MainWindow &f = *w.main;
        QCOMPARE(imageBytes(f), stored);
        QVERIFY(PanelViewParts(f).panelCountLabel->text().startsWith(QStringLiteral("Количество объектов ")));
        for (QAction *a : {MainParts(f).linkMenuAction, MainParts(f).writeAction, MainParts(f).readAction, MainParts(f).loadAction, MainParts(f).saveAction})
            QVERIFY2(a->isEnabled(), qPrintable(a->objectName()));
        QVERIFY(linkOf(f).lanChannel().isConnected());
        QVERIFY(linkOf(f).lanChannel().isPolling());
    }

    void lanReadFillsTheWindow_data() { variants(); }

    void lanReadFillsTheWindow()
    {
        const Variant &v = fetchVariant();
        // What the transceiver holds: five panels, not in object order, a gap in the reserve list,
        // Sur-Gard with "0->A" and the fire console.
        TransceiverConfig held = configWithRows(v, 5);
        held.panels.swapItemsAt(0, 4);
        held.protocol = 1;
        held.conversion = 1;
        held.mode = 1;
        held.testPeriod = 600;
        held.baudText = QStringLiteral("115200");
        ConfigImage image(v);
        QVERIFY(!fillImage(image, held, true));
        std::memset(image.settings() + 102 + 4, 0, 4); // reserve entry 2 empty
        SimRig rig(v);
        QVERIFY(rig.sim.memory().replace(QByteArray(reinterpret_cast<const char *>(image.data()), image.size())));
        QVERIFY2(rig.startUdp(), qPrintable(rig.error));

        LinkWindows w(v, types_.path(), loopbackLink(rig.sim.udpPort()));
        w.start();
        QVERIFY(bringLanUp(w));
        w.prompts.expectMessage(QStringLiteral("Конфигурирование трансивера"),
                                QStringLiteral("Чтение конфигурации трансивера № 12345 выполнено."));
        MainParts(*w.main).readAction->trigger();
        QVERIFY_PROMPTS(w.prompts);

        const TransceiverConfig shown = configOf(*w.main);
        QCOMPARE(shown.factoryNumber, QStringLiteral("12345"));
        QCOMPARE(shown.apn, QStringLiteral("internet"));
        QCOMPARE(shown.serverIp, QStringLiteral("192.168.1.3"));
        QCOMPARE(shown.serverPort, QStringLiteral("9999"));
        QCOMPARE(shown.localIp, QStringLiteral("192.168.1.50"));
        QCOMPARE(shown.localPort, QStringLiteral("1024"));
        QCOMPARE(shown.gatewayIp, QStringLiteral("192.168.1.1"));
        QCOMPARE(shown.testPeriod, 600);
        QCOMPARE(shown.baudText, QStringLiteral("115200"));
        QCOMPARE(shown.protocol, 1);
        QCOMPARE(shown.conversion, 1);
        QCOMPARE(shown.mode, 1);

        // Sorted by object number; the slot each came from in "№"; an old type code 24 is type 201
        // in MXR_600r (not in this type list) and stays 24 in MXR_duziv.
        QCOMPARE(shown.panels.size(), 5);
        const QString name24 = (v.id == VariantId::MxrDuziv) ? QStringLiteral("Type 24") : QStringLiteral("Тип ППК не определен");
        for (int i = 0; i < 5; ++i) {
            const PanelRecord &row = shown.panels.at(i);
            QCOMPARE(row.obj, QStringLiteral("000%1").arg(i + 1));
            QCOMPARE(row.typeName, (i + 1) % 2 ? QStringLiteral("Type 400") : name24);
        }
        QCOMPARE(shown.panels.first().slot, std::optional<qint32>(5));
        QCOMPARE(shown.panels.last().slot, std::optional<qint32>(1));
        QCOMPARE(shown.panels.at(1).typeId, qint16((v.id == VariantId::MxrDuziv) ? 24 : 201));
        QCOMPARE(PanelViewParts(*w.main).panelCountLabel->text(), QStringLiteral("Количество объектов 5"));

        // The gap closes up in the list and in the stored entries.
        QCOMPARE(reserveServersOf(*w.main).addressTexts(), (QStringList{"10.1.2.3", "192.168.7.200"}));
        QCOMPARE(shown.reserveIps[0], *ipFromText(QStringLiteral("10.1.2.3")));
        QCOMPARE(shown.reserveIps[1], *ipFromText(QStringLiteral("192.168.7.200")));
        QCOMPARE(shown.reserveIps[2], 0u);
    }

    void lanReadFails()
    {
        // The end marker comes straight after object block 0: it does not count, and the block
        // watchdog ends the read. What was received stays in the image; the settings stay cleared.
        const Variant &v = Variant::mxr600r();
        SimRig rig(v);
        QByteArray stored(v.imageSize(), '\x5A');
        QVERIFY(rig.sim.memory().replace(stored));
        rig.sim.settings().endAfterObject = 0;
        QVERIFY2(rig.startUdp(), qPrintable(rig.error));
        LinkWindows w(v, types_.path(), loopbackLink(rig.sim.udpPort()));
        w.start();
        showConfig(*w.main, configWithRows(v, 2));
        QVERIFY(bringLanUp(w));

        w.prompts.expectMessage(QStringLiteral("Связь с трансивером"), QStringLiteral("Ошибка при чтение конфигурации."));
        MainParts(*w.main).readAction->trigger();
        QVERIFY_PROMPTS(w.prompts);
        MainWindow &f = *w.main;
        const QByteArray image = imageBytes(f);
        QCOMPARE(image.left(235), stored.left(235));
        QCOMPARE(image.mid(235), QByteArray(v.imageSize() - 235, '\0'));
        QCOMPARE(SettingsParts(f).factoryNumberEdit->text(), QString());
        QCOMPARE(panelTableOf(f)->rowCount(), 0);
        QVERIFY(MainParts(f).linkMenuAction->isEnabled());
        QVERIFY(MainParts(f).readAction->isEnabled());
    }
};

QTEST_MAIN(TestWindowTransfer)
#include "test_window_transfer.moc"
