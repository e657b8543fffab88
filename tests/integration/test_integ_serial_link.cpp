// The USB keep-alive on a real pseudo-terminal with the protocol's own timing: the link comes up and
// stays up, a silent transceiver loses it after 110 ms and is called every 275 ms, a burst of reply
// bytes counts by its last byte, and nothing is read once exit was confirmed.
#include "integration/integration_rig.h"

#include <QtTest>

using namespace integ;

namespace {
const QByteArray kIdent = QByteArray::fromHex("23010101B8B2");
}

class TestIntegSerialLink : public QObject {
    Q_OBJECT

private slots:
    void linkComesUpAndStaysUp()
    {
        SerialRig rig(Variant::mxr600r());
        QString error;
        QVERIFY2(rig.start(&error), qPrintable(error));
        QVERIFY(rig.waitLinkUp());
        QVERIFY(rig.link.linkUps >= 1);

        const int identsBefore = rig.sim.counters().identFrames;
        pumpFor(1000);
        QVERIFY2(rig.link.linkLostAt.isEmpty(),
                 qPrintable(QStringLiteral("link lost at %1 ms").arg(rig.link.linkLostAt.value(0))));
        QVERIFY(rig.link.serial.isLinkUp());
        // Every acknowledgement is answered with a new identification frame, so the exchange runs on
        // and on; at the very least one per watchdog period went by.
        qInfo("keep-alive exchanges in 1 s: %d", rig.sim.counters().identFrames - identsBefore);
        QVERIFY2(rig.sim.counters().identFrames - identsBefore >= 9,
                 qPrintable(QString::number(rig.sim.counters().identFrames - identsBefore)));
        QCOMPARE(rig.sim.counters().writeFrames, 0);
        QCOMPARE(rig.sim.counters().naksSent, 0);
    }

    // The port is set to 115200 8N1 without flow control on the line itself, whatever it was before.
    void portLineIs115200EightNoneOneWithoutFlowControl()
    {
        PtyPeer peer;
        termios t = peer.lineSettings();
        cfsetispeed(&t, B9600);
        cfsetospeed(&t, B9600);
        t.c_cflag = (t.c_cflag & ~CSIZE) | CS7 | PARENB | PARODD | CSTOPB | CRTSCTS;
        t.c_iflag |= IXON | IXOFF;
        QVERIFY(peer.setLineSettings(t));
        LinkStack link(Variant::mxr600r(), Timing());
        QVERIFY2(link.serial.open(peer.slavePath()), qPrintable(link.serial.lastError()));

        t = peer.lineSettings();
        QCOMPARE(cfgetispeed(&t), speed_t(B115200));
        QCOMPARE(cfgetospeed(&t), speed_t(B115200));
        QCOMPARE(t.c_cflag & CSIZE, tcflag_t(CS8));
        QCOMPARE(t.c_cflag & (PARENB | CSTOPB | CRTSCTS), tcflag_t(0));
        QCOMPARE(t.c_iflag & (IXON | IXOFF), tcflag_t(0));
        link.serial.close();
    }

    void silentTransceiverLosesLinkAndIsCalledEvery275ms()
    {
        SerialRig rig(Variant::mxr600r());
        QString error;
        QVERIFY2(rig.start(&error), qPrintable(error));
        QVERIFY(rig.waitLinkUp());
        pumpFor(100);
        QVERIFY(rig.link.linkLostAt.isEmpty());

        // From the next frame on, nothing is answered.
        rig.sim.settings().silentAfter = rig.sim.counters().framesReceived;
        QVERIFY(pumpUntil([&] { return rig.link.linkLostAt.size() >= 5; }, 3000));
        rig.sim.settings().silentAfter = -1;

        QList<qint64> unanswered;
        for (const SeenFrame &f : rig.frames)
            if (f.reply < 0) {
                QVERIFY(f.isIdent());
                unanswered.append(f.ms);
            }
        QVERIFY(unanswered.size() >= 5);
        // The identification frame that went out with the last acknowledgement armed 110 ms.
        const qint64 lostAfter = rig.link.linkLostAt.at(0) - unanswered.at(0);
        QVERIFY2(lostAfter >= 100 && lostAfter <= 250, qPrintable(QStringLiteral("lost after %1 ms").arg(lostAfter)));
        // Each expiry calls the transceiver again and re-arms for 275 ms.
        for (int k = 1; k + 1 < unanswered.size(); ++k) {
            const qint64 gap = unanswered.at(k + 1) - unanswered.at(k);
            QVERIFY2(gap >= 260 && gap <= 420, qPrintable(QStringLiteral("identification gap %1 ms").arg(gap)));
        }
        for (int k = 1; k < rig.link.linkLostAt.size(); ++k) {
            const qint64 gap = rig.link.linkLostAt.at(k) - rig.link.linkLostAt.at(k - 1);
            QVERIFY2(gap >= 260 && gap <= 420, qPrintable(QStringLiteral("expiry gap %1 ms").arg(gap)));
        }
        QVERIFY(!rig.link.serial.isLinkUp());

        // The first acknowledgement brings the link back.
        QVERIFY(rig.waitLinkUp(1500));
    }

    // Bytes that arrive together count by the last one: an acknowledgement moves the write on by one
    // frame, a negative acknowledgement repeats the frame sent last.
    void replyBurstCountsByItsLastByte_data()
    {
        QTest::addColumn<QByteArray>("burst");
        QTest::addColumn<QList<int>>("expectedFrames"); // addresses of the write frames, in order

        // f0 (on the identification answer), f0 again, f1, then the burst.
        QTest::newRow("15 15 01: one acknowledgement") << QByteArray::fromHex("151501") << QList<int>{0, 0, 1, 2, 3};
        QTest::newRow("01 01 15: one negative acknowledgement")
            << QByteArray::fromHex("010115") << QList<int>{0, 0, 1, 1, 2, 3};
        QTest::newRow("01 01 01: one acknowledgement") << QByteArray::fromHex("010101") << QList<int>{0, 0, 1, 2, 3};
        QTest::newRow("01 25 7F 01: the foreign byte is noise")
            << QByteArray::fromHex("01257F01") << QList<int>{0, 0, 1, 2, 3};
    }
    void replyBurstCountsByItsLastByte()
    {
        QFETCH(QByteArray, burst);
        QFETCH(QList<int>, expectedFrames);

        PtyPeer peer;
        QVERIFY(!peer.slavePath().isEmpty());
        LinkStack link(Variant::mxr600r(), Timing());
        QVERIFY2(link.serial.open(peer.slavePath()), qPrintable(link.serial.lastError()));
        QCOMPARE(peer.take(6), kIdent);
        QVERIFY(peer.write(QByteArray(1, '\x01')));
        QVERIFY(pumpUntil([&] { return link.serial.isLinkUp(); }, 2000));

        const QByteArray image = QByteArray::fromHex("A0B1C2D3");
        QVERIFY(link.startSerialWrite(sendListFor(image), QStringLiteral("7"), 0));
        // The identification frame of the keep-alive is still unanswered; frame 0 waits for its answer.
        QCOMPARE(peer.take(6), kIdent);
        QVERIFY(peer.take(6, 100).isEmpty());

        // The answers to the identification frame, to frame 0 and to frame 0 again.
        QList<int> addresses;
        for (int answer = 0; answer < 3; ++answer) {
            QVERIFY(peer.write(QByteArray(1, '\x01')));
            const QByteArray f = peer.take(6);
            QCOMPARE(f.size(), 6);
            addresses.append(static_cast<unsigned char>(f.at(1)));
        }

        QVERIFY(peer.write(burst));
        for (int step = 0; step < 10 && link.writesFinished == 0; ++step) {
            const QByteArray f = peer.take(6);
            if (f.isEmpty())
                break;
            QCOMPARE(f.size(), 6);
            QCOMPARE(static_cast<unsigned char>(f.at(0)), 0x3B);
            const int a = static_cast<unsigned char>(f.at(1));
            QCOMPARE(f, frameBytes(makeWriteFrame(std::uint16_t(a), static_cast<unsigned char>(image.at(a)))));
            addresses.append(a);
            QVERIFY(peer.write(QByteArray(1, '\x01')));
            pumpUntil([&] { return link.writesFinished > 0; }, 50);
        }
        QCOMPARE(addresses, expectedFrames);
        QCOMPARE(link.writesFinished, 1);
        QCOMPARE(link.writeResult->outcome, TransferOutcome::Succeeded);
        QCOMPARE(link.said(*link.writeResult).text,
                 QStringLiteral("Запись конфигурации трансивера № 7 выполнена"));
        // Nothing else of the write follows; the keep-alive takes over with the identification frame.
        const QByteArray after = peer.takeAll(200);
        QCOMPARE(after, kIdent);
    }

    // A transceiver that takes one frame at a time and answers each on its own, as a device that
    // stores every byte before it reads the next frame does. The identification frame of the
    // keep-alive is still unanswered when the write starts; frame 0 waits for its answer, so one frame
    // is on the line at a time and a refused frame is the one sent again (had frame 0 gone at once,
    // every answer would count for the frame after its own and the refused byte would be lost).
    void refusedFrameOfATransceiverAnsweringFramesOneByOne()
    {
        PtyPeer peer;
        LinkStack link(Variant::mxr600r(), Timing());
        QVERIFY2(link.serial.open(peer.slavePath()), qPrintable(link.serial.lastError()));
        QCOMPARE(peer.take(6), kIdent);
        QVERIFY(peer.write(QByteArray(1, '\x01')));
        QVERIFY(pumpUntil([&] { return link.serial.isLinkUp(); }, 2000));

        const QByteArray image = QByteArray::fromHex("10111213141516171819");
        QVERIFY(link.startSerialWrite(sendListFor(image), QStringLiteral("7"), 0));
        QList<QByteArray> line{peer.take(6)}; // the identification frame, still unanswered
        QCOMPARE(line.first(), kIdent);
        QVERIFY(peer.take(6, 100).isEmpty()); // frame 0 waits for the identification answer
        QByteArray stored(image.size(), '\0');
        bool refused = false;
        for (int step = 0; step < 40 && !line.isEmpty(); ++step) {
            const QByteArray f = line.takeFirst();
            QCOMPARE(f.size(), 6);
            char reply = '\x01';
            if (static_cast<unsigned char>(f.at(0)) == 0x3B) {
                const int a = static_cast<unsigned char>(f.at(1));
                if (a == 5 && !refused) {
                    refused = true;
                    reply = '\x15';
                } else {
                    stored[a] = f.at(3);
                }
            }
            QVERIFY(peer.write(QByteArray(1, reply)));
            // Each answer brings exactly one frame while the write runs; waiting for it keeps every
            // answer in a read of its own.
            if (link.writesFinished == 0) {
                const QByteArray next = peer.take(6, 2000);
                if (next.size() == 6)
                    line.append(next);
            }
        }
        QVERIFY(refused);
        QCOMPARE(link.writesFinished, 1);
        QCOMPARE(stored, image);
    }

    void bytesAfterConfirmedExitAreNotRead()
    {
        PtyPeer peer;
        LinkStack link(Variant::mxr600r(), Timing());
        QVERIFY2(link.serial.open(peer.slavePath()), qPrintable(link.serial.lastError()));
        QCOMPARE(peer.take(6), kIdent);
        QVERIFY(peer.write(QByteArray(1, '\x01')));
        QVERIFY(pumpUntil([&] { return link.serial.isLinkUp(); }, 2000));
        QCOMPARE(peer.take(6), kIdent);
        const int upsBefore = link.linkUps;

        link.transceiver.shutDown();
        // An acknowledgement and a type rejection after the exit question was answered "Yes".
        QVERIFY(peer.write(QByteArray::fromHex("01")));
        QCOMPARE(peer.takeAll(150), QByteArray());
        QVERIFY(peer.write(QByteArray::fromHex("02")));
        QCOMPARE(peer.takeAll(300), QByteArray());
        QCOMPARE(link.linkUps, upsBefore);
        QVERIFY(link.linkLostAt.isEmpty()); // the watchdog is quiet too
        QVERIFY(!link.serial.isOpen());     // the exit closed it
    }
};

QTEST_GUILESS_MAIN(TestIntegSerialLink)
#include "test_integ_serial_link.moc"
