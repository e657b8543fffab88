// The serial write: one frame per acknowledgement, repeats on NAK, the gauge, and the ends the
// transceiver can force (silence, 0x25, a lost port, exit).
#include "link/progress.h"
#include "link_fixture.h"

#include <QtTest>

using namespace talvir;

namespace {
QByteArray bytes(const char *hex) { return QByteArray::fromHex(hex); }
const QByteArray kAck = bytes("01");
const QByteArray kNak = bytes("15");

// Frame i writes data byte i+1 to address 0x100+i.
SendList frameList(int n)
{
    SendList list;
    for (int i = 0; i < n; ++i)
        list.queueWriteFrame(std::uint16_t(0x100 + i), static_cast<unsigned char>(i + 1));
    return list;
}
int frameIndexOf(const QByteArray &sent)
{
    if (sent.size() != 6 || sent.at(0) != 0x3B)
        return -1;
    return (static_cast<unsigned char>(sent.at(1)) | static_cast<unsigned char>(sent.at(2)) << 8) - 0x100;
}
QList<int> sentIndexes(const FakeSerialTransport &port)
{
    QList<int> out;
    for (const QByteArray &b : port.sent)
        out.append(frameIndexOf(b));
    return out;
}
} // namespace

class TestSerialWrite : public QObject {
    Q_OBJECT
private slots:
    void progressRounding_data()
    {
        QTest::addColumn<qint64>("done");
        QTest::addColumn<qint64>("total");
        QTest::addColumn<int>("percent");
        QTest::newRow("50.5 to even 50") << qint64(505) << qint64(1000) << 50;
        QTest::newRow("51.5 to even 52") << qint64(515) << qint64(1000) << 52;
        QTest::newRow("12.5 to even 12") << qint64(1) << qint64(8) << 12;
        QTest::newRow("37.5 to even 38") << qint64(3) << qint64(8) << 38;
        QTest::newRow("0.5 to even 0") << qint64(1) << qint64(200) << 0;
        QTest::newRow("33.3 down") << qint64(1) << qint64(3) << 33;
        QTest::newRow("66.7 up") << qint64(2) << qint64(3) << 67;
        QTest::newRow("nothing yet") << qint64(0) << qint64(171732) << 0;
        QTest::newRow("all") << qint64(171732) << qint64(171732) << 100;
        QTest::newRow("last frame out") << qint64(171738) << qint64(171732) << 100;
        QTest::newRow("first frame 600r") << qint64(6) << qint64(171732) << 0;
        QTest::newRow("LAN block 60 of 600r") << qint64(60 * 235) << qint64(28622) << 49;
        QTest::newRow("no total") << qint64(5) << qint64(0) << 0;
    }
    void progressRounding()
    {
        QFETCH(qint64, done);
        QFETCH(qint64, total);
        QFETCH(int, percent);
        QCOMPARE(progressPercent(done, total), percent);
    }

    void frameOrder_data()
    {
        QTest::addColumn<int>("n");
        QTest::newRow("one frame") << 1;
        QTest::newRow("three frames") << 3;
        QTest::newRow("seven frames") << 7;
    }
    void frameOrder()
    {
        QFETCH(int, n);
        LinkFixture f;
        f.serialLinkUp();
        QSignalSpy finished(f.serialWrite, &SerialWrite::writeFinished);
        QVERIFY(f.startSerialWrite(frameList(n), QStringLiteral("4711")));
        QVERIFY(f.serialWrite->busy());
        QVERIFY(!f.serial->isWatchdogArmed());

        for (int ack = 1; ack <= n; ++ack) {
            f.port->feed(kAck);
            QCOMPARE(finished.count(), 0);
        }
        // The last frame is outstanding: the gauge is full.
        QCOMPARE(f.serialWrite->progress(), 100);
        QList<int> expected{0};
        for (int i = 0; i < n; ++i)
            expected.append(i);
        QCOMPARE(sentIndexes(*f.port), expected);

        f.port->feed(kAck);
        QCOMPARE(finished.count(), 1);
        QCOMPARE(f.port->sent.size(), n + 1);
        const auto result = finished.at(0).at(0).value<TransferResult>();
        QCOMPARE(result.outcome, TransferOutcome::Succeeded);
        QCOMPARE(result.channel, TransferChannel::Serial);
        QCOMPARE(f.said(result).text, QStringLiteral("Запись конфигурации трансивера № 4711 выполнена"));
        QCOMPARE(f.said(result).title, QStringLiteral("Конфигурирование трансивера"));
        QCOMPARE(f.said(result).icon, MessageIcon::Information);
        QVERIFY(f.said(result).onTop);
        QCOMPARE(f.serialWrite->progress(), 0);
        QVERIFY(!f.serialWrite->busy());
        QCOMPARE(f.timer("watchdog")->due() - f.clock.now(), qint64(110));

        // The next acknowledgement is the keep-alive again.
        QSignalSpy up(f.serial, &SerialChannel::linkUp);
        f.port->feed(kAck);
        QCOMPARE(up.count(), 1);
        QCOMPARE(f.port->sent.last(), bytes("23010101B8B2"));
    }

    void fullImageOf600r()
    {
        LinkFixture f;
        f.serialLinkUp();
        SendList list;
        for (int a = 0; a < 28622; ++a)
            list.queueWriteFrame(std::uint16_t(a), static_cast<unsigned char>(a * 7));
        QSignalSpy progress(f.serialWrite, &SerialWrite::progressChanged);
        QSignalSpy finished(f.serialWrite, &SerialWrite::writeFinished);
        QVERIFY(f.startSerialWrite(list, QStringLiteral("1")));
        QCOMPARE(f.serialWrite->bytesTotal(), 171732);
        for (int i = 0; i < 28622 && finished.isEmpty(); ++i)
            f.port->feed(kAck);
        QCOMPARE(finished.count(), 0);
        QCOMPARE(f.port->sent.size(), 28623);
        // The last frame: address 0x6FCD.
        QCOMPARE(f.port->sent.at(28622).left(3), bytes("3BCD6F"));
        QCOMPARE(int(static_cast<unsigned char>(f.port->sent.at(28622).at(3))), (28621 * 7) & 0xFF);
        QCOMPARE(f.port->sent.at(0), f.port->sent.at(1));
        f.port->feed(kAck);
        QCOMPARE(finished.count(), 1);
        // 0 at the start, every percent once on the way up, 0 at the end.
        QList<int> seen;
        for (const auto &args : progress)
            seen.append(args.at(0).toInt());
        QCOMPARE(seen.first(), 0);
        QCOMPARE(seen.last(), 0);
        QCOMPARE(seen.at(seen.size() - 2), 100);
        for (int i = 1; i + 1 < seen.size(); ++i)
            QCOMPARE(seen.at(i), seen.at(i - 1) + 1);
    }

    void nakRepeatsLastFrame_data()
    {
        QTest::addColumn<QByteArray>("replies"); // one byte per read
        QTest::addColumn<QList<int>>("sent");
        QTest::newRow("nak before any ack") << bytes("15") << QList<int>{0, 0};
        QTest::newRow("nak after first ack") << bytes("0115") << QList<int>{0, 0, 0};
        QTest::newRow("nak for frame 1") << bytes("010115") << QList<int>{0, 0, 1, 1};
        QTest::newRow("naks for frame 2") << bytes("0101011515") << QList<int>{0, 0, 1, 2, 2, 2};
        QTest::newRow("nak then go on") << bytes("01011501") << QList<int>{0, 0, 1, 1, 2};
    }
    void nakRepeatsLastFrame()
    {
        QFETCH(QByteArray, replies);
        QFETCH(QList<int>, sent);
        LinkFixture f;
        f.serialLinkUp();
        QVERIFY(f.startSerialWrite(frameList(5), QStringLiteral("1")));
        for (char c : replies)
            f.port->feed(QByteArray(1, c));
        QCOMPARE(sentIndexes(*f.port), sent);
        QVERIFY(f.serialWrite->busy());
    }

    void burstCountsAsOneReply_data()
    {
        QTest::addColumn<QByteArray>("burst");
        QTest::addColumn<QList<int>>("sent");
        QTest::newRow("15 15 01: one ack") << bytes("151501") << QList<int>{0, 0, 1};
        QTest::newRow("01 01 15: one nak") << bytes("010115") << QList<int>{0, 0, 0};
        QTest::newRow("01 01 01: one ack") << bytes("010101") << QList<int>{0, 0, 1};
        QTest::newRow("01 ff: nothing") << bytes("01ff") << QList<int>{0, 0};
    }
    void burstCountsAsOneReply()
    {
        QFETCH(QByteArray, burst);
        QFETCH(QList<int>, sent);
        LinkFixture f;
        f.serialLinkUp();
        QVERIFY(f.startSerialWrite(frameList(5), QStringLiteral("1")));
        f.port->feed(kAck);
        f.port->feed(burst);
        QCOMPARE(sentIndexes(*f.port), sent);
    }

    void refusedWithoutLinkOrFrames()
    {
        LinkFixture f;
        QVERIFY(!f.startWrite(frameList(3), QStringLiteral("1"))); // port closed
        f.serial->open(QStringLiteral("/dev/ttyFAKE"));
        f.port->sent.clear();
        QVERIFY(!f.startWrite(frameList(3), QStringLiteral("1"))); // no answer yet
        f.port->feed(kAck);
        f.port->sent.clear();
        QVERIFY(!f.startWrite(SendList(), QStringLiteral("1")));
        QVERIFY(f.port->sent.isEmpty());
        QVERIFY(f.startSerialWrite(frameList(3), QStringLiteral("1")));
        QVERIFY(!f.startWrite(frameList(3), QStringLiteral("1"))); // already running
        QCOMPARE(f.port->sent.size(), 1);
    }

    void firstFrameWaitsForTheIdentificationAnswer_data()
    {
        QTest::addColumn<QByteArray>("answer"); // the answer to the keep-alive's identification frame
        QTest::newRow("acknowledged") << bytes("01");
        QTest::newRow("refused") << bytes("15");
    }
    void firstFrameWaitsForTheIdentificationAnswer()
    {
        QFETCH(QByteArray, answer);
        LinkFixture f;
        f.serialLinkUp(); // the acknowledgement was answered with a new identification frame
        QVERIFY(f.serial->identificationOutstanding());
        QVERIFY(f.startWrite(frameList(3), QStringLiteral("1")));
        QVERIFY(f.port->sent.isEmpty());
        f.port->feed(answer);
        QCOMPARE(sentIndexes(*f.port), QList<int>{0});
        // From here one frame is outstanding at a time, so a refusal repeats the refused frame.
        f.port->feed(bytes("01")); // frame 0 taken
        f.port->feed(bytes("01")); // frame 0 again taken
        f.port->feed(bytes("15")); // frame 1 refused
        QCOMPARE(sentIndexes(*f.port), (QList<int>{0, 0, 1, 1}));
    }

    // The answer to the identification frame is lost (noise came last, or nothing came): the
    // identification frame is repeated every 275 ms of silence, frame 0 goes on the first
    // acknowledgement, and only the write's 5 s of silence end it.
    void lostIdentificationAnswerIsAskedAgain_data()
    {
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<bool>("transceiverComesBack");
        QTest::newRow("01 FF, then answered") << bytes("01FF") << true;
        QTest::newRow("nothing, then answered") << QByteArray() << true;
        QTest::newRow("nothing ever") << QByteArray() << false;
    }
    void lostIdentificationAnswerIsAskedAgain()
    {
        QFETCH(QByteArray, answer);
        QFETCH(bool, transceiverComesBack);
        const QByteArray ident = bytes("23010101B8B2");
        LinkFixture f;
        f.serialLinkUp();
        QSignalSpy finished(f.serialWrite, &SerialWrite::writeFinished);
        QVERIFY(f.startWrite(frameList(3), QStringLiteral("1")));
        if (!answer.isEmpty())
            f.port->feed(answer);
        f.clock.advance(274);
        QVERIFY(f.port->sent.isEmpty());
        f.clock.advance(1);
        QCOMPARE(f.port->sent, QList<QByteArray>{ident});
        if (!transceiverComesBack) {
            f.clock.advance(5000 - 275 - 1);
            QCOMPARE(f.port->sent, QList<QByteArray>(18, ident)); // every 275 ms
            QCOMPARE(finished.count(), 0);
            f.clock.advance(1);
            QCOMPARE(finished.count(), 1);
            QCOMPARE(finished.at(0).at(0).value<TransferResult>().outcome, TransferOutcome::NoAnswer);
            return;
        }
        f.port->feed(kAck);
        f.port->sent.removeFirst();
        for (int i = 0; i < 4; ++i)
            f.port->feed(kAck);
        QCOMPARE(sentIndexes(*f.port), (QList<int>{0, 0, 1, 2}));
        QCOMPARE(finished.count(), 1);
        QVERIFY(finished.at(0).at(0).value<TransferResult>().succeeded());
    }

    void firstFrameGoesAtOnceWithoutOutstandingIdentification()
    {
        LinkFixture f;
        f.serial->open(QStringLiteral("/dev/ttyFAKE"));
        f.port->queuedOut = 4095; // the keep-alive's identification frame does not fit
        f.port->feed(bytes("01"));
        QVERIFY(f.serial->isLinkUp());
        QVERIFY(!f.serial->identificationOutstanding());
        f.port->queuedOut = 0;
        f.port->sent.clear();
        QVERIFY(f.startWrite(frameList(3), QStringLiteral("1")));
        QCOMPARE(sentIndexes(*f.port), QList<int>{0});
    }

    void silentTransceiverEndsWrite()
    {
        LinkFixture f;
        f.serialLinkUp();
        QSignalSpy finished(f.serialWrite, &SerialWrite::writeFinished);
        QVERIFY(f.startSerialWrite(frameList(5), QStringLiteral("1")));
        f.clock.advance(4000);
        f.port->feed(kAck); // any answer restarts the 5 s
        f.clock.advance(4999);
        QCOMPARE(finished.count(), 0);
        f.clock.advance(1);
        QCOMPARE(finished.count(), 1);
        const auto result = finished.at(0).at(0).value<TransferResult>();
        QCOMPARE(result.outcome, TransferOutcome::NoAnswer);
        QCOMPARE(f.said(result).text, QStringLiteral("Трансивер не отвечает"));
        QCOMPARE(f.said(result).title, QStringLiteral("Связь с трансивером"));
        QCOMPARE(f.said(result).icon, MessageIcon::Error);
        QVERIFY(!f.serialWrite->busy());
        QCOMPARE(f.serialWrite->progress(), 0);
        // The link is re-checked: the watchdog runs, a late answer is a keep-alive, not a frame.
        QCOMPARE(f.timer("watchdog")->due() - f.clock.now(), qint64(110));
        f.port->sent.clear();
        f.port->feed(kAck);
        QCOMPARE(f.port->sent, QList<QByteArray>{bytes("23010101B8B2")});
    }

    void storeFailureEndsWrite()
    {
        LinkFixture f;
        f.serialLinkUp();
        QSignalSpy finished(f.serialWrite, &SerialWrite::writeFinished);
        QSignalSpy store(f.serial, &SerialChannel::storeFailed);
        QVERIFY(f.startSerialWrite(frameList(5), QStringLiteral("1")));
        f.port->feed(kAck);
        f.port->feed(kAck);
        f.port->feed(bytes("25"));
        // The write's end carries the message; the channel's own signal is for 0x25 outside a write.
        QCOMPARE(store.count(), 0);
        QCOMPARE(finished.count(), 1);
        const auto result = finished.at(0).at(0).value<TransferResult>();
        QCOMPARE(result.outcome, TransferOutcome::StoreFailed);
        QCOMPARE(f.said(result), linktext::storeFailed());
        QCOMPARE(sentIndexes(*f.port), (QList<int>{0, 0, 1}));
        QVERIFY(!f.serialWrite->busy());
        QVERIFY(f.serial->isWatchdogArmed());
        f.clock.advance(20000);
        QCOMPARE(finished.count(), 1);
    }

    void frameWaitsUntilItFitsWhole()
    {
        LinkFixture f;
        f.serialLinkUp();
        f.port->queuedOut = 4091; // 5 bytes free
        QVERIFY(f.startSerialWrite(frameList(3), QStringLiteral("1")));
        QVERIFY(f.port->sent.isEmpty());
        f.clock.advance(50);
        QVERIFY(f.port->sent.isEmpty());
        f.port->queuedOut = 4090;
        f.clock.advance(10);
        QCOMPARE(sentIndexes(*f.port), QList<int>{0});
        f.clock.advance(100);
        QCOMPARE(f.port->sent.size(), 1);
        f.port->queuedOut = 4095;
        f.port->feed(kAck);
        QCOMPARE(f.port->sent.size(), 1);
        // Nothing of ours is on the line while the frame waits: a stray acknowledgement skips nothing.
        f.port->feed(kAck);
        f.port->queuedOut = 0;
        f.clock.advance(10);
        QCOMPARE(sentIndexes(*f.port), (QList<int>{0, 0}));
        f.port->feed(kAck);
        QCOMPARE(sentIndexes(*f.port), (QList<int>{0, 0, 1}));
        for (const QByteArray &b : f.port->sent)
            QCOMPARE(b.size(), 6);
    }

    void lostPortEndsWrite()
    {
        LinkFixture f;
        f.serialLinkUp();
        QSignalSpy finished(f.serialWrite, &SerialWrite::writeFinished);
        QSignalSpy lost(f.serial, &SerialChannel::linkLost);
        QVERIFY(f.startSerialWrite(frameList(5), QStringLiteral("1")));
        f.port->lose();
        QCOMPARE(finished.count(), 1);
        const auto result = finished.at(0).at(0).value<TransferResult>();
        QCOMPARE(result.outcome, TransferOutcome::PortLost);
        QCOMPARE(f.said(result).text, QStringLiteral("Трансивер не отвечает"));
        QCOMPARE(lost.count(), 1);
        QVERIFY(!f.serial->isWatchdogArmed());
    }

    void typeRejectedDuringWriteAbandonsSilently()
    {
        LinkFixture f;
        f.serialLinkUp();
        QSignalSpy finished(f.serialWrite, &SerialWrite::writeFinished);
        QSignalSpy rejected(f.serial, &SerialChannel::typeRejected);
        QVERIFY(f.startSerialWrite(frameList(5), QStringLiteral("1")));
        f.port->feed(bytes("02"));
        QCOMPARE(rejected.count(), 1);
        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished.at(0).at(0).value<TransferResult>().outcome, TransferOutcome::Abandoned);
        QCOMPARE(f.said(finished.at(0).at(0).value<TransferResult>()), linktext::transferAbandoned());
    }

    void closingAbandonsWrite()
    {
        LinkFixture f;
        f.serialLinkUp();
        QSignalSpy finished(f.serialWrite, &SerialWrite::writeFinished);
        QVERIFY(f.startSerialWrite(frameList(5), QStringLiteral("1")));
        f.port->feed(kAck);
        f.link->shutDown();
        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished.at(0).at(0).value<TransferResult>().outcome, TransferOutcome::Abandoned);
        QCOMPARE(f.said(finished.at(0).at(0).value<TransferResult>()), linktext::transferAbandoned());
        QVERIFY(!f.serial->isOpen());
        const int sent = int(f.port->sent.size());
        f.port->feed(kAck);
        f.clock.advance(10000);
        QCOMPARE(f.port->sent.size(), sent);
        QVERIFY(!f.serial->isWatchdogArmed());
    }
};

QTEST_GUILESS_MAIN(TestSerialWrite)
#include "test_serial_write.moc"
