// A whole configuration written over a real pseudo-terminal to the simulated transceiver, and the
// ways a serial write ends when the transceiver falls silent, cannot store, or the line goes away.
#include "integration/integration_rig.h"

#include <QtTest>

using namespace integ;

namespace {

Timing quickSilence()
{
    Timing t;
    t.serialWriteSilenceMs = 300;
    return t;
}

const Variant &variantNamed(const QString &name) { return *Variant::byName(name); }

} // namespace

class TestIntegSerialWrite : public QObject {
    Q_OBJECT

private slots:
    void wholeConfigurationReachesTheTransceiver_data()
    {
        QTest::addColumn<QString>("variant");
        QTest::addColumn<int>("frames");
        QTest::addColumn<int>("nakEvery");

        QTest::newRow("600r, 28622 frames") << "600r" << 28622 << 0;
        QTest::newRow("duziv, 14522 frames") << "duziv" << 14522 << 0;
        QTest::newRow("duziv, every 7th frame refused once") << "duziv" << 14522 << 7;
    }
    void wholeConfigurationReachesTheTransceiver()
    {
        QFETCH(QString, variant);
        QFETCH(int, frames);
        QFETCH(int, nakEvery);

        const Variant &v = variantNamed(variant);
        QCOMPARE(v.imageSize(), frames);
        SimSettings s;
        s.nakEvery = nakEvery;
        SerialRig rig(v, Timing(), s);
        QString error;
        QVERIFY2(rig.start(&error), qPrintable(error));
        QVERIFY(rig.waitLinkUp());

        const QByteArray image = randomImage(frames, quint32(frames + nakEvery));
        const SendList list = sendListFor(image);
        QCOMPARE(list.size(), frames);
        int writeFramesAtFinish = -1;
        rig.link.onWriteFinished = [&] { writeFramesAtFinish = rig.sim.counters().writeFrames; };

        QVERIFY(rig.link.startSerialWrite(list, QStringLiteral("4321")));
        QVERIFY(rig.link.serialWrite.busy());
        QVERIFY(rig.link.waitWriteFinished(60000));
        QCOMPARE(rig.link.writeResult->outcome, TransferOutcome::Succeeded);
        QCOMPARE(rig.link.said(*rig.link.writeResult).text, QStringLiteral("Запись конфигурации трансивера № 4321 выполнена"));
        QCOMPARE(rig.link.said(*rig.link.writeResult).title, QStringLiteral("Конфигурирование трансивера"));
        QCOMPARE(rig.sim.memory().bytes(), image);

        // n + 1 frames (frame 0 twice) and one more per refusal; the write was complete by then and
        // nothing of it follows.
        const int naks = rig.sim.counters().naksSent;
        if (nakEvery > 0)
            QCOMPARE(naks, (frames + 1) / nakEvery);
        else
            QCOMPARE(naks, 0);
        QCOMPARE(writeFramesAtFinish, frames + 1 + naks);
        pumpFor(150);
        QCOMPARE(rig.sim.counters().writeFrames, frames + 1 + naks);

        const QList<SeenFrame> seen = rig.writeFramesSeen();
        QCOMPARE(frameAddress(seen.at(0).frame), 0);
        QCOMPARE(frameAddress(seen.at(1).frame), 0);
        QCOMPARE(int(frameAddress(seen.last().frame)), frames - 1);
        // A refused frame is the very next one on the line again.
        for (int i = 0; i + 1 < seen.size(); ++i)
            if (seen.at(i).reply == 0x15)
                QCOMPARE(seen.at(i + 1).frame, seen.at(i).frame);

        // The gauge reached 100 % with the last frame and shows 0 afterwards.
        QVERIFY(rig.link.progress.contains(100));
        QCOMPARE(rig.link.progress.last(), 0);
        QCOMPARE(rig.sim.counters().serialWritesComplete, 1);
        // The keep-alive takes over again.
        QVERIFY(rig.waitLinkUp());
        QVERIFY(!rig.link.serialWrite.busy());
    }

    // Every way a write ends early: nothing more of it goes out, the engine is free again, and the
    // watchdog calls the transceiver as after any write.
    void writeEndsWhenTheTransceiverStops_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("caption");

        QTest::newRow("silent") << "silent" << int(TransferOutcome::NoAnswer) << QStringLiteral("Трансивер не отвечает")
                                << QStringLiteral("Связь с трансивером");
        QTest::newRow("0x25: store failed") << "store-failed" << int(TransferOutcome::StoreFailed)
                                            << QStringLiteral("Отказ оборудования")
                                            << QStringLiteral("Ошибка при записи ППЗУ");
    }
    void writeEndsWhenTheTransceiverStops()
    {
        QFETCH(QString, fault);
        QFETCH(int, outcome);
        QFETCH(QString, message);
        QFETCH(QString, caption);

        SerialRig rig(Variant::mxrDuziv(), quickSilence());
        QString error;
        QVERIFY2(rig.start(&error), qPrintable(error));
        QVERIFY(rig.waitLinkUp());
        const QByteArray image = randomImage(14522, 5);
        QVERIFY(rig.link.startSerialWrite(sendListFor(image), QStringLiteral("1")));
        QVERIFY(pumpUntil([&] { return rig.sim.counters().writeFrames >= 500; }, 10000));
        const int at = rig.sim.counters().framesReceived + 100;
        if (fault == QLatin1String("silent"))
            rig.sim.settings().silentAfter = at;
        else
            rig.sim.settings().replyBytes.insert(at, 0x25);

        QElapsedTimer waited;
        waited.start();
        QVERIFY(rig.link.waitWriteFinished(5000));
        QCOMPARE(int(rig.link.writeResult->outcome), outcome);
        QCOMPARE(rig.link.said(*rig.link.writeResult).text, message);
        QCOMPARE(rig.link.said(*rig.link.writeResult).title, caption);
        // The store failure is told once, by the write's end.
        QCOMPARE(rig.link.storeFailures, 0);
        QVERIFY(!rig.link.serialWrite.busy());
        QCOMPARE(rig.link.progress.last(), 0);

        // The frames are gone: only identification frames follow.
        const int writeFrames = rig.sim.counters().writeFrames;
        QVERIFY(writeFrames < 14522);
        const int identsBefore = rig.sim.counters().identFrames;
        pumpFor(700);
        QCOMPARE(rig.sim.counters().writeFrames, writeFrames);
        QVERIFY(rig.sim.counters().identFrames > identsBefore);
        if (fault == QLatin1String("silent")) {
            // Silent: the watchdog loses the link and calls every 275 ms.
            QVERIFY(!rig.link.linkLostAt.isEmpty());
            QVERIFY(!rig.link.serial.isLinkUp());
            QVERIFY(rig.sim.counters().identFrames - identsBefore <= 5);
        } else {
            QVERIFY(rig.link.serial.isLinkUp());
        }
        // A new write starts from the beginning once the link is up.
        rig.sim.settings().silentAfter = -1;
        rig.sim.settings().replyBytes.clear();
        QVERIFY(rig.waitLinkUp());
        rig.link.writesFinished = 0;
        QVERIFY(rig.link.startSerialWrite(sendListFor(image), QStringLiteral("1")));
        QVERIFY(rig.link.waitWriteFinished(30000));
        QCOMPARE(rig.link.writeResult->outcome, TransferOutcome::Succeeded);
        QCOMPARE(rig.sim.memory().bytes(), image);
    }

    void lineGoneDuringWriteIsReportedOnce()
    {
        SerialRig rig(Variant::mxrDuziv());
        QString error;
        QVERIFY2(rig.start(&error), qPrintable(error));
        QVERIFY(rig.waitLinkUp());
        QVERIFY(rig.link.startSerialWrite(sendListFor(randomImage(14522, 9)), QStringLiteral("1")));
        QVERIFY(pumpUntil([&] { return rig.sim.counters().writeFrames >= 1000; }, 10000));

        rig.sim.closeSerial();
        QVERIFY(rig.link.waitWriteFinished(3000));
        QCOMPARE(rig.link.writeResult->outcome, TransferOutcome::PortLost);
        QCOMPARE(rig.link.said(*rig.link.writeResult).text, QStringLiteral("Трансивер не отвечает"));
        // QSerialPort repeats its read error as long as the port stays open: reported once all the same.
        pumpFor(400);
        QCOMPARE(rig.link.portLosses, 1);
        QCOMPARE(rig.link.linkLostAt.size(), 1);
        QCOMPARE(rig.link.writesFinished, 1);
        QVERIFY(!rig.link.serial.isOpen());
        QVERIFY(!rig.link.serialWrite.busy());
    }
};

QTEST_GUILESS_MAIN(TestIntegSerialWrite)
#include "test_integ_serial_write.moc"
