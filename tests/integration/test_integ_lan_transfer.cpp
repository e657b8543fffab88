// Whole configurations written and read over real loopback UDP against the simulated transceiver,
// with its faults: a refused write, no ready answer, lost datagrams, repeated blocks, the short
// settings block and an early end marker. Retransmission and the block watchdog are shortened.
#include "integration/integration_rig.h"

#include <QtTest>

using namespace integ;

namespace {

Timing quickLan()
{
    Timing t;
    t.pollMs = 50;
    t.connectPassMs = 60;
    t.retransmitMs = 200;
    t.blockWatchdogMs = 300;
    return t;
}

const Variant &variantNamed(const QString &name) { return *Variant::byName(name); }

// The transceiver's serial number as the read reports it: settings offset 14, little-endian.
quint32 serialNumberIn(const QByteArray &image, int settingsBase)
{
    quint32 n = 0;
    for (int i = 3; i >= 0; --i)
        n = n << 8 | static_cast<unsigned char>(image.at(settingsBase + 14 + i));
    return n;
}

} // namespace

class TestIntegLanTransfer : public QObject {
    Q_OBJECT

private slots:
    void write_data()
    {
        QTest::addColumn<QString>("variant");
        QTest::addColumn<bool>("good");
        QTest::addColumn<int>("dropEvery");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<QString>("message");

        const QString done = QStringLiteral("Запись конфигурации трансивера № 0042 выполнена");
        QTest::newRow("600r GOOD") << "600r" << true << 0 << int(TransferOutcome::Succeeded) << done;
        QTest::newRow("duziv GOOD") << "duziv" << true << 0 << int(TransferOutcome::Succeeded) << done;
        QTest::newRow("600r BAD") << "600r" << false << 0 << int(TransferOutcome::Refused)
                                  << QStringLiteral("Ошибка при записи конфигурации");
        QTest::newRow("duziv, every 9th datagram lost")
            << "duziv" << true << 9 << int(TransferOutcome::Succeeded) << done;
    }
    void write()
    {
        QFETCH(QString, variant);
        QFETCH(bool, good);
        QFETCH(int, dropEvery);
        QFETCH(int, outcome);
        QFETCH(QString, message);

        const Variant &v = variantNamed(variant);
        SimSettings s;
        s.configResultGood = good;
        LanRig rig(v, quickLan(), s);
        QString error;
        QVERIFY2(rig.start(&error), qPrintable(error));
        QCOMPARE(rig.connect(), std::optional<bool>(true));
        rig.sim.settings().dropEvery = dropEvery;

        const QByteArray image = randomImage(v.imageSize(), quint32(v.maxPanels + dropEvery));
        QVERIFY(rig.link.startLanWrite(image, QStringLiteral("0042")));
        QVERIFY(!rig.link.lan.isPolling());
        QVERIFY(rig.link.waitWriteFinished(30000));
        QCOMPARE(int(rig.link.writeResult->outcome), outcome);
        QCOMPARE(rig.link.said(*rig.link.writeResult).text, message);
        QCOMPARE(rig.link.said(*rig.link.writeResult).title, QStringLiteral("Конфигурирование трансивера"));
        QVERIFY(rig.link.lan.isConnected());
        QVERIFY(rig.link.lan.isPolling());
        QCOMPARE(rig.link.progress.last(), 0);

        if (good)
            QCOMPARE(rig.sim.memory().bytes(), image);
        else
            QCOMPARE(rig.sim.memory().bytes(), QByteArray(v.imageSize(), '\0'));
        int objectBlocks = 0, settingsBlocks = 0;
        for (const QByteArray &d : rig.seen) {
            if (d.startsWith("AT+FPD0=") && d.size() == 247)
                ++objectBlocks;
            if (d.startsWith("AT+FPD0=") && d.size() == 434)
                ++settingsBlocks;
        }
        if (dropEvery == 0) {
            QCOMPARE(rig.seenCount("AT+DATF"), 1);
            QCOMPARE(objectBlocks, v.maxPanels / 5);
            QCOMPARE(settingsBlocks, 1);
            QCOMPARE(rig.seenCount("AT+FPDE"), 1);
        } else {
            // Every lost datagram was sent again.
            QVERIFY(rig.sim.counters().datagramsDropped > 0);
            QVERIFY(objectBlocks >= v.maxPanels / 5);
            QVERIFY(rig.seenCount("AT+DATF") + objectBlocks + settingsBlocks > v.maxPanels / 5 + 2);
        }
    }

    void noReadyAnswerEndsTheWrite()
    {
        SimSettings s;
        s.noReady = true;
        LanRig rig(Variant::mxr600r(), quickLan(), s);
        QString error;
        QVERIFY2(rig.start(&error), qPrintable(error));
        QCOMPARE(rig.connect(), std::optional<bool>(true));
        QElapsedTimer t;
        t.start();
        QVERIFY(rig.link.startLanWrite(randomImage(28622, 1), QStringLiteral("1")));
        QVERIFY(rig.link.waitWriteFinished(5000));
        // Sent once and repeated 6 times, one retransmission period apart.
        QVERIFY2(t.elapsed() >= 7 * 200 - 50, qPrintable(QString::number(t.elapsed())));
        QCOMPARE(rig.link.writeResult->outcome, TransferOutcome::NoAnswer);
        QCOMPARE(rig.link.said(*rig.link.writeResult).text, QStringLiteral("Трансивер не отвечает"));
        QCOMPARE(rig.link.said(*rig.link.writeResult).title, QStringLiteral("Связь с трансивером"));
        QCOMPARE(rig.seenCount("AT+DATF"), 7);
        QVERIFY(rig.link.lan.isConnected());
        // The poll stays off after an unanswered write; nothing more is sent.
        QVERIFY(!rig.link.lan.isPolling());
        const qsizetype seen = rig.seen.size();
        pumpFor(300);
        QCOMPARE(rig.seen.size(), seen);
        QCOMPARE(rig.sim.memory().bytes(), QByteArray(28622, '\0'));
    }

    void read_data()
    {
        QTest::addColumn<QString>("variant");
        QTest::addColumn<bool>("shortSettings");
        QTest::addColumn<int>("bytesDone");

        QTest::newRow("600r, blocks twice") << "600r" << false << 28622;
        QTest::newRow("600r, short settings, blocks twice") << "600r" << true << 28302;
        QTest::newRow("duziv, blocks twice") << "duziv" << false << 14522;
        QTest::newRow("duziv, short settings, blocks twice") << "duziv" << true << 14202;
    }
    void read()
    {
        QFETCH(QString, variant);
        QFETCH(bool, shortSettings);
        QFETCH(int, bytesDone);

        const Variant &v = variantNamed(variant);
        SimSettings s;
        s.duplicateBlocks = true;
        s.shortSettings = shortSettings;
        LanRig rig(v, quickLan(), s);
        const QByteArray image = randomImage(v.imageSize(), quint32(v.maxPanels * 3 + shortSettings));
        QVERIFY(rig.sim.memory().replace(image));
        QString error;
        QVERIFY2(rig.start(&error), qPrintable(error));
        QCOMPARE(rig.connect(), std::optional<bool>(true));

        QVERIFY(rig.link.lanTransfer.startRead());
        QVERIFY(rig.link.waitReadFinished(30000));
        QCOMPARE(rig.link.readResult->outcome, TransferOutcome::Succeeded);
        QCOMPARE(rig.link.lanTransfer.bytesDone(), bytesDone);
        QCOMPARE(rig.link.said(*rig.link.readResult).text,
                 QStringLiteral("Чтение конфигурации трансивера № %1 выполнено.")
                     .arg(serialNumberIn(image, v.maxPanels * 47)));

        QByteArray expected = image;
        if (shortSettings) // the short block stops after the mode byte; the reserve servers read as zeros
            expected.replace(v.maxPanels * 47 + 102, 320, QByteArray(320, '\0'));
        QCOMPARE(rig.link.lanTransfer.readImage(), expected);
        // Each object block came twice and was answered twice; then the settings block and the end.
        QCOMPARE(rig.sim.counters().readBlocksSent, 2 * (v.maxPanels / 5) + 1);
        QCOMPARE(rig.seenCount("AT+READF"), 1);
        // The last "AT+RDY0", for the end marker, is still on its way when the read ends.
        pumpUntil([&] { return rig.seenCount("AT+RDY0") >= 2 * (v.maxPanels / 5) + 2; }, 1000);
        QCOMPARE(rig.seenCount("AT+RDY0"), 2 * (v.maxPanels / 5) + 2);
        QVERIFY(rig.link.lan.isConnected());
        QVERIFY(rig.link.lan.isPolling());
    }

    void endMarkerRightAfterAnObjectBlockIsIgnored()
    {
        SimSettings s;
        s.endAfterObject = 0;
        LanRig rig(Variant::mxr600r(), quickLan(), s);
        const QByteArray image = randomImage(28622, 77);
        QVERIFY(rig.sim.memory().replace(image));
        QString error;
        QVERIFY2(rig.start(&error), qPrintable(error));
        QCOMPARE(rig.connect(), std::optional<bool>(true));

        QElapsedTimer t;
        t.start();
        QVERIFY(rig.link.lanTransfer.startRead());
        QVERIFY(rig.link.waitReadFinished(5000));
        // The block watchdog ended it.
        QVERIFY2(t.elapsed() >= 300 - 20, qPrintable(QString::number(t.elapsed())));
        QCOMPARE(rig.link.readResult->outcome, TransferOutcome::NoAnswer);
        QCOMPARE(rig.link.said(*rig.link.readResult).text, QStringLiteral("Ошибка при чтение конфигурации."));
        QCOMPARE(rig.link.said(*rig.link.readResult).title, QStringLiteral("Связь с трансивером"));
        // Only the one block that came was stored.
        QByteArray expected(28622, '\0');
        expected.replace(0, 235, image.left(235));
        QCOMPARE(rig.link.lanTransfer.readImage(), expected);
        QCOMPARE(rig.link.lanTransfer.bytesDone(), 235);
        QVERIFY(rig.link.lan.isConnected());
        QVERIFY(rig.link.lan.isPolling());
    }

    // Block 7's first copy answered a retransmission period late, so both copies are answered close
    // together; block 8's first copy lost. The write sends block 8 again and the memory is whole.
    void lateAnswerThenLostBlock()
    {
        SimSettings s;
        s.lateWriteBlock = 7;
        s.lateAnswerMs = quickLan().retransmitMs + 100;
        s.loseWriteBlock = 8;
        LanRig rig(Variant::mxr600r(), quickLan(), s);
        QString error;
        QVERIFY2(rig.start(&error), qPrintable(error));
        QCOMPARE(rig.connect(), std::optional<bool>(true));
        const QByteArray image = randomImage(28622, 78);
        QVERIFY(rig.link.startLanWrite(image, QStringLiteral("7")));
        QVERIFY(rig.link.waitWriteFinished(30000));
        QCOMPARE(rig.link.writeResult->outcome, TransferOutcome::Succeeded);
        QCOMPARE(rig.sim.memory().bytes(), image);
        QList<int> blocks;
        for (const QByteArray &d : rig.seen)
            if (d.startsWith("AT+FPD0=") && d.size() == 247)
                blocks.append(d.at(11));
        QCOMPARE(blocks.count(7), 2);
        QCOMPARE(blocks.count(8), 2);
    }

    // A status datagram between the settings block and the end marker is shown and spoils nothing.
    void statusInsideReadIsShown()
    {
        SimSettings s;
        s.statusInRead = 120;
        s.statusIntervalMs = 3600000;
        LanRig rig(Variant::mxr600r(), quickLan(), s);
        const QByteArray image = randomImage(28622, 79);
        QVERIFY(rig.sim.memory().replace(image));
        QString error;
        QVERIFY2(rig.start(&error), qPrintable(error));
        QCOMPARE(rig.connect(), std::optional<bool>(true));
        QVERIFY(rig.link.lanTransfer.startRead());
        QVERIFY(rig.link.waitReadFinished(30000));
        QCOMPARE(rig.link.readResult->outcome, TransferOutcome::Succeeded);
        QCOMPARE(rig.link.lanTransfer.readImage(), image);
        QCOMPARE(rig.statuses.size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestIntegLanTransfer)
#include "test_integ_lan_transfer.moc"
