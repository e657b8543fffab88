// The LAN link as the main window shows it: the address box, refused and malformed addresses, the
// connect and its failure with the status texts and captions, the status datagram (600r), a port
// that cannot be bound, and the poll around the exit question; over real UDP on loopback.
#include "link_window_fixture.h"

#include "ui/status_light.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QUdpSocket>

using namespace guitest;

namespace {

const QString kAutonomous = QStringLiteral("      Автономный режим");

struct Snapshot {
    QString status;
    QString caption;
    bool wrBtnShown = true;
    bool linkEnabled = true;
    bool gaugeShown = true;
};

Snapshot snapshot(MainWindow &f)
{
    return {MainParts(f).statusText->text(), f.windowTitle(), !MainParts(f).writeButton->isHidden(), MainParts(f).linkMenuAction->isEnabled(), !MainParts(f).progressBar->isHidden()};
}

} // namespace

class TestWindowLan : public WindowTest {
    Q_OBJECT

private slots:
    void connects_data() { variants(); }

    void connects()
    {
        const Variant &v = fetchVariant();
        SimRig rig(v);
        QVERIFY2(rig.startUdp(), qPrintable(rig.error));
        LinkWindows w(v, types_.path(), loopbackLink(rig.sim.udpPort()));
        w.start();

        // What the technician sees while the command waits for the transceiver.
        Snapshot during;
        QTimer::singleShot(1, w.main.get(), [&] { during = snapshot(*w.main); });
        QVERIFY(bringLanUp(w));
        QVERIFY_PROMPTS(w.prompts);
        const PromptRecord &box = w.prompts.last();
        QCOMPARE(box.text, QStringLiteral("Введите IP-адрес трансивера"));
        QCOMPARE(box.initialText, QStringLiteral("192.168.1.221"));

        QCOMPARE(during.status, QStringLiteral("Соединение с 127.0.0.1"));
        QCOMPARE(during.caption, v.captionPrefix + QStringLiteral("      Канал LAN IP: 127.0.0.1"));
        QVERIFY(!during.wrBtnShown);
        QVERIFY(!during.linkEnabled);
        QVERIFY(!during.gaugeShown);

        MainWindow &f = *w.main;
        QCOMPARE(int(linkOf(f).channel()), 2);
        QCOMPARE(MainParts(f).statusText->text(), QString());
        QCOMPARE(f.windowTitle(), v.captionPrefix + QStringLiteral("      Канал LAN IP: 127.0.0.1"));
        QVERIFY(!MainParts(f).progressBar->isHidden());
        QVERIFY(!MainParts(f).writeButton->isHidden());
        for (QAction *a : {MainParts(f).linkMenuAction, MainParts(f).writeAction, MainParts(f).readAction, MainParts(f).loadAction, MainParts(f).saveAction})
            QVERIFY2(a->isEnabled(), qPrintable(a->objectName()));
        QVERIFY(linkOf(f).lanChannel().isPolling());

        // The next time the box proposes the address typed last.
        w.prompts.expectInput(QStringLiteral("Работа по ЛВС"), std::nullopt);
        MainParts(f).lanAction->trigger();
        QVERIFY_PROMPTS(w.prompts);
        QCOMPARE(w.prompts.last().initialText, QStringLiteral("127.0.0.1"));
        // Cancelled: the link stays as it was.
        QVERIFY(linkOf(f).lanChannel().isConnected());
    }

    void connectFails_data() { variants(); }

    void connectFails()
    {
        // The answers come from 127.0.0.1, which is not the text typed: they do not count.
        const Variant &v = fetchVariant();
        SimRig rig(v);
        QVERIFY2(rig.startUdp(), qPrintable(rig.error));
        LinkWindows w(v, types_.path(), loopbackLink(rig.sim.udpPort()));
        w.start();

        QVERIFY(!bringLanUp(w, QStringLiteral("127.000.0.1")));
        QVERIFY_PROMPTS(w.prompts);
        MainWindow &f = *w.main;
        QVERIFY(rig.sim.counters().datagramsReceived > 0);
        QCOMPARE(MainParts(f).statusText->text(), QStringLiteral("Нет связи с 127.000.0.1"));
        QCOMPARE(f.windowTitle(), v.captionPrefix + kAutonomous);
        verifyNoLinkCommands(f);
        QVERIFY(!linkOf(f).lanChannel().isPolling());

        // Reading needs a connected link: it only clears the object counter.
        MainParts(f).readAction->setEnabled(true);
        MainParts(f).readAction->trigger();
        QVERIFY_PROMPTS(w.prompts);
        QVERIFY(MainParts(f).linkMenuAction->isEnabled());
    }

    void refusedAddress_data()
    {
        QTest::addColumn<QString>("variant");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("onTop");
        const QString bad = QStringLiteral("Недопустимый IP-адрес трансивера.");
        QTest::newRow("three parts") << "600r" << "192.168.1" << "Ошибка" << bad << true;
        QTest::newRow("0.0.0.0") << "duziv" << "0.0.0.0" << "Ошибка" << bad << true;
        QTest::newRow("part above 255") << "600r" << "1.2.3.256" << "Ошибка" << bad << true;
        QTest::newRow("empty") << "600r" << "" << "Ошибка" << bad << true;
        QTest::newRow("letters: conversion error") << "600r" << "x.1" << QStringLiteral("Талвир ЗКР")
                                                   << "'x' is not a valid integer value" << false;
        QTest::newRow("duziv conversion error") << "duziv" << "1.2.3.4.5" << "MXR_duziv"
                                                << "'4.5' is not a valid integer value" << false;
    }

    void refusedAddress()
    {
        QFETCH(QString, variant);
        QFETCH(QString, address);
        QFETCH(QString, title);
        QFETCH(QString, text);
        QFETCH(bool, onTop);
        const Variant &v = variantByName(variant);
        QUdpSocket listener;
        QVERIFY(listener.bind(QHostAddress::LocalHost, 0));
        LinkWindows w(v, types_.path(), loopbackLink(listener.localPort()));
        w.start();

        w.prompts.expectInput(QStringLiteral("Работа по ЛВС"), address);
        w.prompts.expectMessage(title, text);
        MainParts(*w.main).lanAction->trigger();
        QVERIFY_PROMPTS(w.prompts);
        QCOMPARE(w.prompts.last().icon, MessageIcon::Error);
        QCOMPARE(w.prompts.last().onTop, onTop);
        // Nothing else changed: no channel, no caption, nothing sent.
        QCOMPARE(int(linkOf(*w.main).channel()), 0);
        QCOMPARE(w.main->windowTitle(), v.captionPrefix + kAutonomous);
        QVERIFY(MainParts(*w.main).linkMenuAction->isEnabled());
        QCOMPARE(linkOf(*w.main).address(), address);
        QTest::qWait(100);
        QVERIFY(!listener.hasPendingDatagrams());
    }

    void statusDatagram_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QColor>("colour");
        QTest::newRow("1 green") << 1 << QColor(0, 128, 0);
        QTest::newRow("3 white") << 3 << QColor(255, 255, 255);
        QTest::newRow("4 fuchsia") << 4 << QColor(255, 0, 255);
        QTest::newRow("5 blue") << 5 << QColor(0, 0, 255);
        QTest::newRow("0 red") << 0 << QColor(255, 0, 0);
        QTest::newRow("9 red") << 9 << QColor(255, 0, 0);
    }

    void statusDatagram()
    {
        QFETCH(int, code);
        QFETCH(QColor, colour);
        const Variant &v = Variant::mxr600r();
        SimRig rig(v);
        SimSettings &s = rig.sim.settings();
        s.statusIntervalMs = 40;
        s.statusFactoryNumber = 4321;
        s.statusModeByte = 0xF6; // (NOT 0xF6) AND 0x0F = 9
        s.statusSignal = 73;
        s.statusIp1 = {10, 0, 0, 7};
        s.statusIp2 = {192, 168, 5, 1};
        s.statusChannelCode = static_cast<unsigned char>(code);
        QVERIFY2(rig.startUdp(), qPrintable(rig.error));
        LinkWindows w(v, types_.path(), loopbackLink(rig.sim.udpPort()));
        w.start();
        QVERIFY(bringLanUp(w));

        s.statusEnabled = true;
        const QString caption =
            v.captionPrefix + QStringLiteral("     № 4321 IP: 10.0.0.7  -73dbm  192.168.5.1  M,GSM_T");
        QTRY_COMPARE_WITH_TIMEOUT(w.main->windowTitle(), caption, 5000);
        QCOMPARE(MainParts(*w.main).linkLight->color(), colour);
        QVERIFY_PROMPTS(w.prompts);
    }

    void statusIgnoredOnUsb()
    {
        // Once USB is chosen the light leaves its LAN colour and meaning, and the transceiver's LAN
        // status no longer takes the caption.
        const Variant &v = Variant::mxr600r();
        SimRig rig(v);
        rig.sim.settings().statusIntervalMs = 30;
        rig.sim.settings().statusChannelCode = 9;
        QVERIFY2(rig.startUdp(), qPrintable(rig.error));
        QVERIFY2(rig.startSerial(), qPrintable(rig.error));
        LinkWindows w(v, types_.path(), loopbackLink(rig.sim.udpPort()));
        w.start();
        QVERIFY(bringLanUp(w));
        StatusLight *light = MainParts(*w.main).linkLight;
        rig.sim.settings().statusEnabled = true;
        QTRY_COMPARE_WITH_TIMEOUT(light->color(), QColor(255, 0, 0), 5000);
        rig.sim.settings().statusEnabled = false;
        QVERIFY(bringUsbUp(w, rig.link));
        QCOMPARE(light->color(), QColor(Qt::white));
        QCOMPARE(light->accessibleDescription(), StatusLight::noDataMeaning());
        QVERIFY(!linkOf(*w.main).lanChannel().isPolling());
        QVERIFY(!linkOf(*w.main).lanChannel().isConnected());
        rig.sim.settings().statusEnabled = true;
        const int sent = rig.sim.counters().statusSent;
        QTRY_VERIFY_WITH_TIMEOUT(rig.sim.counters().statusSent > sent + 2, 5000);
        QCoreApplication::processEvents();
        QCOMPARE(w.main->windowTitle(), v.captionPrefix + QStringLiteral("    Связь по каналу USB"));
        QVERIFY_PROMPTS(w.prompts);
    }

    void portCannotBeBound()
    {
        QUdpSocket holder;
        QVERIFY(holder.bind(QHostAddress::LocalHost, 0, QUdpSocket::DontShareAddress));
        const quint16 taken = holder.localPort();
        LinkParts link = loopbackLink(9);
        link.lanLocalPort = taken;
        const Variant &v = Variant::mxr600r();
        LinkWindows w(v, types_.path(), link);
        w.start();

        w.prompts.expectInput(QStringLiteral("Работа по ЛВС"), QStringLiteral("127.0.0.1"));
        w.prompts.expectMessage(QStringLiteral("Работа по ЛВС"), QString());
        MainParts(*w.main).lanAction->trigger();
        QVERIFY_PROMPTS(w.prompts);
        const PromptRecord &box = w.prompts.last();
        QVERIFY2(box.text.contains(QString::number(taken)), qPrintable(box.text));
        QCOMPARE(box.icon, MessageIcon::Error);
        // The window stays autonomous and usable.
        QCOMPARE(int(linkOf(*w.main).channel()), 0);
        QCOMPARE(w.main->windowTitle(), v.captionPrefix + kAutonomous);
        for (QAction *a : {MainParts(*w.main).linkMenuAction, MainParts(*w.main).loadAction, MainParts(*w.main).saveAction})
            QVERIFY(a->isEnabled());
        QVERIFY(!linkOf(*w.main).lanChannel().isPolling());
    }

    void exitQuestionAndThePoll_data()
    {
        QTest::addColumn<int>("answer");
        QTest::newRow("stays") << int(MessageAnswer::No);
        QTest::newRow("ends") << int(MessageAnswer::Yes);
    }

    void exitQuestionAndThePoll()
    {
        QFETCH(int, answer);
        const Variant &v = Variant::mxrDuziv();
        SimRig rig(v);
        QVERIFY2(rig.startUdp(), qPrintable(rig.error));
        LinkWindows w(v, types_.path(), loopbackLink(rig.sim.udpPort()));
        w.start();
        QVERIFY(bringLanUp(w));

        bool pollingDuringQuestion = true;
        ScriptedPrompts::Expected question;
        question.title = QStringLiteral("Завершение работы");
        question.answer = MessageAnswer(answer);
        question.action = [&] { pollingDuringQuestion = linkOf(*w.main).lanChannel().isPolling(); };
        w.prompts.expect(question);
        MainParts(*w.main).exitAction->trigger();
        QVERIFY_PROMPTS(w.prompts);
        QVERIFY(!pollingDuringQuestion);
        const bool ends = MessageAnswer(answer) == MessageAnswer::Yes;
        QCOMPARE(linkOf(*w.main).lanChannel().isPolling(), !ends);
        if (ends) {
            // Nothing more goes to the transceiver.
            const int received = rig.sim.counters().datagramsReceived;
            QTest::qWait(200);
            QCOMPARE(rig.sim.counters().datagramsReceived, received);
        }
    }
};

QTEST_MAIN(TestWindowLan)
#include "test_window_lan.moc"
