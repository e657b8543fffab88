// The write command of the main window up to the hand-over: the seven settings checks in their order
// (message, focus, commands, nothing sent), a malformed address, the send list as the save command
// receives it, and a write started while no transceiver answers.
#include "link_window_fixture.h"

#include "core/ip_text.h"
#include "files/config_file.h"
#include "ui/settings_panel.h"

#include <QFile>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>

using namespace guitest;

namespace {

// True when any datagram of a write reached the transceiver.
bool anyWriteDatagram(const QList<QByteArray> &seen)
{
    for (const QByteArray &d : seen)
        if (d.startsWith("AT+DATF") || d.startsWith("AT+FPD"))
            return true;
    return false;
}

} // namespace

class TestWindowWrite : public WindowTest {
    Q_OBJECT

private slots:
    void checksInOrder_data()
    {
        QTest::addColumn<int>("validUpTo"); // the fields before the failing check are filled
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("control");
        QTest::newRow("1 everything empty") << 0 << "Не определен заводской номер" << "factoryNumberEdit";
        QTest::newRow("2 server port") << 1 << "Не определен IP - порт приемника" << "serverPortEdit";
        QTest::newRow("3 local port") << 2 << "Не определен локальный порт" << "localPortEdit";
        QTest::newRow("4 server address") << 3 << "Не определен IP - адрес приемника" << "serverIpEdit";
        QTest::newRow("5 local address") << 4 << "Не определен локальный IP - адрес" << "localIpEdit";
        QTest::newRow("6 gateway") << 5 << "Не определен  IP - адрес шлюза" << "gatewayIpEdit";
        QTest::newRow("7 APN") << 6 << "Не определен APN GPRS - канала" << "apnEdit";
    }

    void checksInOrder()
    {
        QFETCH(int, validUpTo);
        QFETCH(QString, message);
        QFETCH(QString, control);
        const Variant &v = Variant::mxr600r();
        SimRig rig(v);
        QVERIFY2(rig.startUdp(), qPrintable(rig.error));
        QList<QByteArray> seen;
        connect(&rig.sim, &TransceiverSim::datagramReceived, this, [&](const QByteArray &d) { seen << d; });
        LinkWindows w(v, types_.path(), loopbackLink(rig.sim.udpPort()));
        w.start();
        QVERIFY(bringLanUp(w));

        // The fields of the checks that pass are filled, all the others empty; the local address
        // fails in its other form, with three parts.
        const TransceiverConfig good = validConfig(v);
        TransceiverConfig c = good;
        c.factoryNumber = validUpTo > 0 ? good.factoryNumber : QString();
        c.serverPort = validUpTo > 1 ? good.serverPort : QString();
        c.localPort = validUpTo > 2 ? good.localPort : QString();
        c.serverIp = validUpTo > 3 ? good.serverIp : QString();
        c.localIp = validUpTo > 4 ? good.localIp : validUpTo == 4 ? QStringLiteral("192.168.1") : QString();
        c.gatewayIp = validUpTo > 5 ? good.gatewayIp : QString();
        c.apn = validUpTo > 6 ? good.apn : QString();
        c.panels = {panelRow(1)};
        showConfig(*w.main, c);

        w.prompts.expectMessage(QStringLiteral("Ошибка"), message);
        MainParts(*w.main).writeButton->click();
        QVERIFY_PROMPTS(w.prompts);
        QCOMPARE(w.prompts.last().icon, MessageIcon::Error);
        QCOMPARE(w.main->focusWidget()->objectName(), control);
        MainWindow &f = *w.main;
        QVERIFY(!MainParts(f).writeButton->isHidden());
        for (QAction *a : {MainParts(f).linkMenuAction, MainParts(f).writeAction, MainParts(f).readAction, MainParts(f).loadAction, MainParts(f).saveAction})
            QVERIFY2(a->isEnabled(), qPrintable(a->objectName()));
        QTest::qWait(100);
        QVERIFY(!anyWriteDatagram(seen));
        QVERIFY(linkOf(f).lanChannel().isConnected());
    }

    void malformedAddressStopsTheWrite()
    {
        const Variant &v = Variant::mxrDuziv();
        SimRig rig(v);
        QVERIFY2(rig.startUdp(), qPrintable(rig.error));
        QList<QByteArray> seen;
        connect(&rig.sim, &TransceiverSim::datagramReceived, this, [&](const QByteArray &d) { seen << d; });
        LinkWindows w(v, types_.path(), loopbackLink(rig.sim.udpPort()));
        w.start();
        QVERIFY(bringLanUp(w));
        TransceiverConfig c = validConfig(v);
        c.gatewayIp = QStringLiteral("192.168.1.x");
        showConfig(*w.main, c);

        w.prompts.expectMessage(QStringLiteral("MXR_duziv"), QStringLiteral("'x' is not a valid integer value"));
        MainParts(*w.main).writeAction->trigger();
        QVERIFY_PROMPTS(w.prompts);
        // The link commands are back; nothing went out.
        QVERIFY(!MainParts(*w.main).writeButton->isHidden());
        QVERIFY(MainParts(*w.main).writeAction->isEnabled());
        QVERIFY(MainParts(*w.main).linkMenuAction->isEnabled());
        QTest::qWait(100);
        QVERIFY(!anyWriteDatagram(seen));
    }

    void sendListForAFile_data()
    {
        QTest::addColumn<QString>("variant");
        QTest::addColumn<int>("frames");
        QTest::addColumn<int>("panelFrames");
        QTest::addColumn<int>("settingsFirst");
        QTest::addColumn<int>("lastAddress");
        QTest::newRow("600r") << "600r" << 28622 << 28200 << 0x6E28 << 0x6FCD;
        QTest::newRow("duziv") << "duziv" << 14522 << 14100 << 0x3714 << 0x38B9;
    }

    void sendListForAFile()
    {
        QFETCH(QString, variant);
        QFETCH(int, frames);
        QFETCH(int, panelFrames);
        QFETCH(int, settingsFirst);
        QFETCH(int, lastAddress);
        const Variant &v = variantByName(variant);
        LinkWindows w(v, types_.path(), loopbackLink(9));
        w.start();
        TransceiverConfig c = validConfig(v);
        c.serverPort = QStringLiteral("70000");
        c.reserveIps[0] = *ipFromText(QStringLiteral("10.1.2.3"));
        c.reserveIps[79] = *ipFromText(QStringLiteral("10.0.0.42"));
        showConfig(*w.main, c);

        // "Сохранить": the frames a write sends go into the file.
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("12345.kcf"));
        w.prompts.expectSaveFile(path);
        MainParts(*w.main).saveAction->trigger();
        QVERIFY_PROMPTS(w.prompts);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const std::vector<Frame> handed = splitRecords(file.readAll()).frames;
        QCOMPARE(int(handed.size()), frames);
        // An empty table: every panel slot is written, as zeros, before the settings.
        for (int i = 0; i < panelFrames; ++i) {
            const Frame &fr = handed.at(i);
            if (frameAddress(fr) != i || frameData(fr) != 0 || fr[0] != 0x3B || !frameCrcValid(fr))
                QFAIL(qPrintable(QStringLiteral("panel frame %1").arg(i)));
        }
        QCOMPARE(int(frameAddress(handed.at(0))), 0x0000);
        QCOMPARE(int(frameAddress(handed.at(panelFrames))), settingsFirst);
        const Frame &last = handed.at(frames - 1);
        QCOMPARE(int(frameAddress(last)), lastAddress);
        QCOMPARE(int(frameData(last)), 42); // byte 3 of the 80th reserve entry
        // The server port typed as 70000 goes out as its low 16 bits: 4464 = 70 11.
        QCOMPARE(int(frameData(handed.at(panelFrames + 18))), 0x70);
        QCOMPARE(int(frameData(handed.at(panelFrames + 19))), 0x11);
        // Factory number 12345 = 39 30 00 00.
        QCOMPARE(int(frameData(handed.at(panelFrames + 14))), 0x39);
        QCOMPARE(int(frameData(handed.at(panelFrames + 15))), 0x30);

        // No link is ready: writing and reading stay off, loading, saving and the links are on.
        MainWindow &f = *w.main;
        verifyNoLinkCommands(f);
    }

    void refusedWriteHandsNothingToTheFile()
    {
        const Variant &v = Variant::mxr600r();
        LinkWindows w(v, types_.path(), loopbackLink(9));
        w.start();
        TransceiverConfig c = validConfig(v);
        c.serverPort.clear();
        showConfig(*w.main, c);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("12345.kcf"));
        w.prompts.expectSaveFile(path);
        w.prompts.expectMessage(QStringLiteral("Ошибка"), QStringLiteral("Не определен IP - порт приемника"));
        MainParts(*w.main).saveAction->trigger();
        QVERIFY_PROMPTS(w.prompts);
        QVERIFY(!QFile::exists(path));
    }

    void writeWithoutTransceiver_data()
    {
        QTest::addColumn<QString>("variant");
        QTest::addColumn<bool>("portOpen");
        QTest::newRow("600r autonomous") << "600r" << false;
        QTest::newRow("duziv autonomous") << "duziv" << false;
        QTest::newRow("600r port open, no answer") << "600r" << true;
    }

    void writeWithoutTransceiver()
    {
        QFETCH(QString, variant);
        QFETCH(bool, portOpen);
        const Variant &v = variantByName(variant);
        SimRig rig(v);
        rig.sim.settings().silentAfter = 0;
        QVERIFY2(rig.startSerial(), qPrintable(rig.error));
        LinkWindows w(v, types_.path(), loopbackLink(9));
        w.start();
        TransceiverConfig c = validConfig(v);
        c.panels = {panelRow(1), panelRow(2)};
        showConfig(*w.main, c);
        if (portOpen) {
            w.prompts.expectSerialPort(rig.link);
            MainParts(*w.main).usbAction->trigger();
            QCOMPARE(int(linkOf(*w.main).channel()), 1);
            QVERIFY(!linkOf(*w.main).serialChannel().isLinkUp());
        }

        w.prompts.expectMessage(QStringLiteral("Связь с трансивером"),
                                QStringLiteral("Нет связи с трансивером. Конфигурация не записана."));
        w.main->writeConfiguration();
        QVERIFY_PROMPTS(w.prompts);
        QCOMPARE(w.prompts.last().icon, MessageIcon::Warning);
        MainWindow &f = *w.main;
        verifyNoLinkCommands(f);
        if (QTest::currentTestFailed())
            return;
        QVERIFY(!linkOf(f).serialWrite().busy());
        QTest::qWait(100);
        QCOMPARE(rig.sim.counters().writeFrames, 0);
    }
};

QTEST_MAIN(TestWindowWrite)
#include "test_window_write.moc"
