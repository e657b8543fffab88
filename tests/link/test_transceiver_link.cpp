// The link object's one state over its channels and transfers, on fake transports and a fake clock:
// each row plays a few steps and names the states seen, in order, and the channel at the end.
#include "link_fixture.h"

#include <QtTest>

using namespace talvir;

namespace {

using State = TransceiverLink::State;
using Channel = TransceiverLink::Channel;

QString stateName(State s)
{
    switch (s) {
    case State::Down: return QStringLiteral("down");
    case State::Connecting: return QStringLiteral("connecting");
    case State::UsbUp: return QStringLiteral("usb");
    case State::LanUp: return QStringLiteral("lan");
    case State::Transferring: return QStringLiteral("transferring");
    }
    return {};
}

// One step of a row: usb (choose /dev/ttyFAKE), badport (the port refuses to open), ack (0x01),
// silence (the watchdog expires), reject (0x02), lose (the port goes away), lan (choose
// 192.168.1.221), ok ("OK" from it), giveup (the 11 passes end), writeusb / writelan (a write
// starts), done (the transceiver answers the LAN write to its end), shut (exit).
void play(LinkFixture &f, const QString &step)
{
    if (step == QLatin1String("usb")) {
        QVERIFY(f.link->chooseUsb(QStringLiteral("/dev/ttyFAKE")));
    } else if (step == QLatin1String("badport")) {
        f.port->openError = QStringLiteral("Permission denied");
        QVERIFY(!f.link->chooseUsb(QStringLiteral("/dev/ttyFAKE")));
        QCOMPARE(f.link->lastError(), QStringLiteral("Permission denied"));
    } else if (step == QLatin1String("ack")) {
        f.port->feed(QByteArray(1, '\x01'));
    } else if (step == QLatin1String("silence")) {
        f.clock.advance(110);
    } else if (step == QLatin1String("reject")) {
        f.port->feed(QByteArray(1, '\x02'));
    } else if (step == QLatin1String("lose")) {
        f.port->lose();
    } else if (step == QLatin1String("lan")) {
        QVERIFY(f.link->chooseLan(QStringLiteral("192.168.1.221")));
    } else if (step == QLatin1String("ok")) {
        f.fromTransceiver("OK");
    } else if (step == QLatin1String("giveup")) {
        f.clock.advance(11 * 510 + 10);
    } else if (step == QLatin1String("writeusb")) {
        SendList list;
        list.queueWriteFrame(0, 0x42);
        QVERIFY(f.link->write(list, QByteArray()));
    } else if (step == QLatin1String("writelan")) {
        QVERIFY(f.link->write(SendList(), QByteArray(f.variant.imageSize(), '\0')));
    } else if (step == QLatin1String("done")) {
        for (int guard = 0; guard < 1000 && f.lanTransfer->busy(); ++guard) {
            const QByteArray last = f.udp->sent.last().bytes;
            f.fromTransceiver(last == "AT+DATF" ? "READY" : last == "AT+CONFIG" ? "GOOD" : "OK");
        }
    } else if (step == QLatin1String("shut")) {
        f.link->shutDown();
    } else {
        QFAIL(qPrintable(QStringLiteral("unknown step ") + step));
    }
}

} // namespace

class TestTransceiverLink : public QObject {
    Q_OBJECT
private slots:
    void states_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("seen");
        QTest::addColumn<int>("channel");
        QTest::newRow("usb answers") << "usb ack ack" << "connecting usb" << int(Channel::Usb);
        QTest::newRow("usb never answers") << "usb silence" << "connecting down" << int(Channel::Usb);
        QTest::newRow("usb lapses and returns") << "usb ack silence ack" << "connecting usb down usb" << int(Channel::Usb);
        QTest::newRow("port refuses to open") << "badport" << "" << int(Channel::None);
        QTest::newRow("type refused") << "usb ack reject" << "connecting usb down" << int(Channel::None);
        QTest::newRow("port lost") << "usb ack lose" << "connecting usb down" << int(Channel::None);
        QTest::newRow("usb write") << "usb ack writeusb ack ack ack" << "connecting usb transferring usb" << int(Channel::Usb);
        QTest::newRow("lan answers") << "lan ok" << "connecting lan" << int(Channel::Lan);
        QTest::newRow("lan silent, then late") << "lan giveup ok" << "connecting down lan" << int(Channel::Lan);
        QTest::newRow("lan write") << "lan ok writelan done" << "connecting lan transferring lan" << int(Channel::Lan);
        QTest::newRow("usb after lan") << "lan ok usb ack" << "connecting lan connecting usb" << int(Channel::Usb);
        QTest::newRow("exit in a write") << "lan ok writelan shut" << "connecting lan transferring down"
                                         << int(Channel::None);
    }
    void states()
    {
        QFETCH(QString, steps);
        QFETCH(QString, seen);
        QFETCH(int, channel);
        LinkFixture f;
        QStringList states;
        connect(f.link.get(), &TransceiverLink::stateChanged, this, [&](State s) { states << stateName(s); });
        for (const QString &step : steps.split(QLatin1Char(' '))) {
            play(f, step);
            if (QTest::currentTestFailed())
                return;
        }
        QCOMPARE(states.join(QLatin1Char(' ')), seen);
        QCOMPARE(int(f.link->channel()), channel);
    }

    // The end of a transfer is told while the link still counts as transferring; its state settles
    // after, so that the window's box comes before the link's new state.
    void finishedBeforeStateSettles()
    {
        LinkFixture f;
        play(f, QStringLiteral("lan"));
        play(f, QStringLiteral("ok"));
        play(f, QStringLiteral("writelan"));
        State during = State::Down;
        connect(f.link.get(), &TransceiverLink::finished, this, [&] { during = f.link->state(); });
        play(f, QStringLiteral("done"));
        QCOMPARE(stateName(during), stateName(State::Transferring));
        QCOMPARE(stateName(f.link->state()), stateName(State::LanUp));
        // Nothing starts while a transfer runs, nor over a channel that is down.
        play(f, QStringLiteral("writelan"));
        QVERIFY(!f.link->read());
        QVERIFY(!f.link->chooseUsb(QStringLiteral("/dev/ttyFAKE")));
        LinkFixture idle;
        QVERIFY(!idle.link->write(SendList(), QByteArray(idle.variant.imageSize(), '\0')));
        QVERIFY(!idle.link->read());
    }
};

QTEST_GUILESS_MAIN(TestTransceiverLink)
#include "test_transceiver_link.moc"
