// The LAN write and read on a fake endpoint and a fake clock: datagrams byte for byte, one block per
// answer, retransmission counts and times, the read's storing rules and its end.
#include "link_fixture.h"

#include <QtTest>

using namespace talvir;

namespace {
QByteArray bytes(const char *hex) { return QByteArray::fromHex(hex); }

// Slot n (1-based) byte k: distinct per slot; settings byte k: 0x80 | k & 0x7F.
QByteArray slotBytes(int n)
{
    QByteArray s(47, '\0');
    for (int k = 0; k < 47; ++k)
        s[k] = char((n * 3 + k) & 0xFF);
    return s;
}
QByteArray settingsBytes()
{
    QByteArray s(422, '\0');
    for (int k = 0; k < 422; ++k)
        s[k] = char(0x80 | (k & 0x7F));
    return s;
}
QByteArray testImage(int slotCount)
{
    QByteArray image;
    for (int n = 1; n <= slotCount; ++n)
        image += slotBytes(n);
    return image + settingsBytes();
}

QByteArray readBlock(int index, const QByteArray &data)
{
    QByteArray b("AT+RDY0=");
    b.append(char(data.size() >> 8)).append(char(data.size() & 0xFF)).append('\0').append(char(index));
    return b + data;
}
QByteArray objectReadBlock(int index, int seed)
{
    QByteArray data;
    for (int j = 1; j <= 5; ++j)
        data += slotBytes(seed * 5 + j);
    return readBlock(index, data);
}

// Answers each datagram of a write as a willing transceiver would.
void answerWrite(LinkFixture &f, const QByteArray &result = "GOOD")
{
    for (int guard = 0; guard < 1000 && f.lanTransfer->busy(); ++guard) {
        const QByteArray last = f.udp->sent.last().bytes;
        if (last == "AT+DATF")
            f.fromTransceiver("READY");
        else if (last.startsWith("AT+FPD0="))
            f.fromTransceiver("OK");
        else if (last == "AT+CONFIG")
            f.fromTransceiver(result);
        else
            QFAIL(qPrintable(QStringLiteral("unexpected datagram ") + QString::fromLatin1(last.left(9))));
    }
}
} // namespace

class TestLanTransfer : public QObject {
    Q_OBJECT
private slots:
    void writeSequence_data()
    {
        QTest::addColumn<bool>("duziv");
        QTest::addColumn<int>("blocks");
        QTest::addColumn<int>("total");
        QTest::newRow("600r") << false << 120 << 28622;
        QTest::newRow("duziv") << true << 60 << 14522;
    }
    void writeSequence()
    {
        QFETCH(bool, duziv);
        QFETCH(int, blocks);
        QFETCH(int, total);
        LinkFixture f(duziv ? Variant::mxrDuziv() : Variant::mxr600r());
        f.lanConnected();
        QSignalSpy finished(f.lanTransfer, &LanTransfer::writeFinished);
        QVERIFY(f.startWrite(testImage(blocks * 5), QStringLiteral("305419896")));
        QVERIFY(!f.lan->isPolling());
        QCOMPARE(f.udp->sentBytes(), QList<QByteArray>{"AT+DATF"});

        // Nothing moves on until the ready answer; an "OK" is not one.
        f.fromTransceiver("OK");
        QCOMPARE(f.udp->sent.size(), 1);
        f.fromTransceiver("READY");
        QCOMPARE(f.udp->sent.size(), 2);
        for (int b = 1; b <= blocks; ++b) {
            const QByteArray d = f.udp->sent.last().bytes;
            QCOMPARE(d.size(), 247);
            QByteArray header("AT+FPD0=");
            header += bytes("00EB00");
            header += char(b);
            QCOMPARE(d.left(12), header);
            for (int j = 1; j <= 5; ++j)
                QCOMPARE(d.mid(12 + 47 * (j - 1), 47), slotBytes((b - 1) * 5 + j));
            // One block per answer.
            QCOMPARE(f.udp->sent.size(), 1 + b);
            f.fromTransceiver("OK");
            QCOMPARE(f.lanTransfer->bytesDone(), 235 * b);
        }
        // The last object block ends with the last slot.
        QCOMPARE(f.udp->sent.at(blocks).bytes.right(47), slotBytes(blocks * 5));

        const QByteArray settings = f.udp->sent.last().bytes;
        QCOMPARE(settings.size(), 434);
        QCOMPARE(settings.left(12), QByteArray("AT+FPD0=") + bytes("01A60001"));
        QCOMPARE(settings.mid(12), settingsBytes());
        f.fromTransceiver("OK");
        QCOMPARE(f.lanTransfer->bytesDone(), total);
        QCOMPARE(f.lanTransfer->progress(), 100);

        // "AT+FPDE" is not awaited: "AT+CONFIG" follows at once.
        QCOMPARE(f.udp->sent.size(), blocks + 4);
        QCOMPARE(f.udp->sent.at(blocks + 2).bytes, QByteArray("AT+FPDE"));
        QCOMPARE(f.udp->sent.at(blocks + 3).bytes, QByteArray("AT+CONFIG"));
        QCOMPARE(finished.count(), 0);

        f.fromTransceiver("GOOD");
        QCOMPARE(finished.count(), 1);
        const auto r = finished.at(0).at(0).value<TransferResult>();
        QCOMPARE(r.channel, TransferChannel::Lan);
        QCOMPARE(r.outcome, TransferOutcome::Succeeded);
        QCOMPARE(f.said(r).text, QStringLiteral("Запись конфигурации трансивера № 305419896 выполнена"));
        QCOMPARE(f.said(r).title, QStringLiteral("Конфигурирование трансивера"));
        QCOMPARE(f.said(r).icon, MessageIcon::Information);
        QVERIFY(!f.lanTransfer->busy());
        QVERIFY(f.lan->isPolling());
        QCOMPARE(f.lanTransfer->progress(), 0);
        for (const auto &s : f.udp->sent) {
            QCOMPARE(s.host, QHostAddress(QStringLiteral("192.168.1.221")));
            QCOMPARE(s.port, quint16(9999));
        }
    }

    void resultAnswers_data()
    {
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("icon");
        QTest::newRow("GOOD") << QByteArray("GOOD") << int(TransferOutcome::Succeeded)
                              << QStringLiteral("Запись конфигурации трансивера № 77 выполнена")
                              << int(MessageIcon::Information);
        QTest::newRow("G..D") << QByteArray("GxxD") << int(TransferOutcome::Succeeded)
                              << QStringLiteral("Запись конфигурации трансивера № 77 выполнена")
                              << int(MessageIcon::Information);
        QTest::newRow("BAD") << QByteArray("BAD") << int(TransferOutcome::Refused)
                             << QStringLiteral("Ошибка при записи конфигурации") << int(MessageIcon::Error);
    }
    void resultAnswers()
    {
        QFETCH(QByteArray, answer);
        QFETCH(int, outcome);
        QFETCH(QString, text);
        QFETCH(int, icon);
        LinkFixture f;
        f.lanConnected();
        QSignalSpy finished(f.lanTransfer, &LanTransfer::writeFinished);
        // The answer's message is shown while the poll is still off and the gauge still full.
        bool pollingAtMessage = true;
        int gaugeAtMessage = -1;
        connect(f.lanTransfer, &LanTransfer::writeFinished, this, [&] {
            pollingAtMessage = f.lan->isPolling();
            gaugeAtMessage = f.lanTransfer->progress();
        });
        QVERIFY(f.startWrite(testImage(600), QStringLiteral("77")));
        answerWrite(f, answer);
        QCOMPARE(finished.count(), 1);
        QVERIFY(!pollingAtMessage);
        QCOMPARE(gaugeAtMessage, 100);
        QCOMPARE(f.lanTransfer->progress(), 0);
        const auto r = finished.at(0).at(0).value<TransferResult>();
        QCOMPARE(int(r.outcome), outcome);
        QCOMPARE(f.said(r).text, text);
        QCOMPARE(f.said(r).title, QStringLiteral("Конфигурирование трансивера"));
        QCOMPARE(int(f.said(r).icon), icon);
        QVERIFY(f.said(r).onTop);
        QVERIFY(f.lan->isPolling());
        QVERIFY(!f.lanTransfer->busy());
    }

    // Each awaited datagram: sent once, repeated 6 times at 5 s (the result 18 times), then the
    // failure; nothing more afterwards, and the poll stays off.
    void retransmission_data()
    {
        QTest::addColumn<int>("answers"); // answers given before the transceiver goes silent
        QTest::addColumn<QByteArray>("unanswered");
        QTest::addColumn<int>("sends");
        QTest::addColumn<int>("failAfterMs");
        QTest::addColumn<QString>("text");
        QTest::newRow("AT+DATF") << 0 << QByteArray("AT+DATF") << 7 << 35000 << QStringLiteral("Трансивер не отвечает");
        QTest::newRow("object block 1") << 1 << QByteArray("AT+FPD0=") << 7 << 35000
                                        << QStringLiteral("Трансивер не отвечает ");
        QTest::newRow("object block 120") << 120 << QByteArray("AT+FPD0=") << 7 << 35000
                                          << QStringLiteral("Трансивер не отвечает ");
        QTest::newRow("settings block") << 121 << QByteArray("AT+FPD0=") << 7 << 35000
                                        << QStringLiteral("Трансивер не отвечает");
        QTest::newRow("AT+CONFIG result") << 122 << QByteArray("AT+CONFIG") << 19 << 95000
                                          << QStringLiteral("Трансивер не отвечает");
    }
    void retransmission()
    {
        QFETCH(int, answers);
        QFETCH(QByteArray, unanswered);
        QFETCH(int, sends);
        QFETCH(int, failAfterMs);
        QFETCH(QString, text);
        LinkFixture f;
        f.lanConnected();
        QSignalSpy finished(f.lanTransfer, &LanTransfer::writeFinished);
        QVERIFY(f.startWrite(testImage(600), QStringLiteral("1")));
        for (int i = 0; i < answers; ++i)
            f.fromTransceiver(i == 0 ? "READY" : "OK");
        const QByteArray pending = f.udp->sent.last().bytes;
        QVERIFY(pending.startsWith(unanswered));
        const int before = int(f.udp->sent.size());

        f.clock.advance(failAfterMs - 1);
        QCOMPARE(finished.count(), 0);
        QCOMPARE(int(f.udp->sent.size()) - before, sends - 1);
        for (int i = before; i < f.udp->sent.size(); ++i)
            QCOMPARE(f.udp->sent.at(i).bytes, pending);
        f.clock.advance(1);
        QCOMPARE(finished.count(), 1);
        const auto r = finished.at(0).at(0).value<TransferResult>();
        QCOMPARE(r.outcome, TransferOutcome::NoAnswer);
        QCOMPARE(f.said(r).text, text);
        QCOMPARE(f.said(r).title, QStringLiteral("Связь с трансивером"));
        QCOMPARE(f.said(r).icon, MessageIcon::Error);
        QVERIFY(!f.lanTransfer->busy());
        QVERIFY(!f.lan->isPolling());

        const int after = int(f.udp->sent.size());
        f.clock.advance(60000);
        f.fromTransceiver("OK");
        QCOMPARE(int(f.udp->sent.size()), after);
        QCOMPARE(finished.count(), 1);
    }

    // A command sent twice may be answered twice, and an answer names no block: the second answer
    // is waited for (at most the guard time) and dropped, so it never counts for the next command.
    void repeatedCommandWaitsForItsOtherAnswer_data()
    {
        QTest::addColumn<int>("answers"); // answers given before the command that gets repeated
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<QByteArray>("stray"); // empty: the other copy's answer is lost
        QTest::newRow("AT+DATF") << 0 << QByteArray("READY") << QByteArray("READY");
        QTest::newRow("object block 7") << 7 << QByteArray("OK") << QByteArray("OK");
        QTest::newRow("object block 7, other answer lost") << 7 << QByteArray("OK") << QByteArray();
        QTest::newRow("settings block") << 121 << QByteArray("OK") << QByteArray("OK");
        QTest::newRow("AT+CONFIG result") << 122 << QByteArray("GOOD") << QByteArray("OK");
    }
    void repeatedCommandWaitsForItsOtherAnswer()
    {
        QFETCH(int, answers);
        QFETCH(QByteArray, answer);
        QFETCH(QByteArray, stray);
        LinkFixture f;
        f.lanConnected();
        QSignalSpy finished(f.lanTransfer, &LanTransfer::writeFinished);
        QVERIFY(f.startWrite(testImage(600), QStringLiteral("1")));
        for (int i = 0; i < answers; ++i)
            f.fromTransceiver(i == 0 ? "READY" : "OK");
        f.clock.advance(5000); // sent a second time
        f.clock.advance(100);
        const int sent = int(f.udp->sent.size());
        f.fromTransceiver(answer); // the first copy's answer, late
        QCOMPARE(int(f.udp->sent.size()), sent);
        QCOMPARE(finished.count(), 0);
        if (stray.isEmpty()) {
            f.clock.advance(f.timing.answerGuardMs - 1);
            QCOMPARE(int(f.udp->sent.size()), sent);
            f.clock.advance(1);
        } else {
            f.fromTransceiver(stray); // the second copy's: dropped, and the write goes on at once
        }
        QVERIFY(int(f.udp->sent.size()) > sent || finished.count() == 1);
        if (finished.count())
            QVERIFY(finished.at(0).at(0).value<TransferResult>().succeeded());
    }

    void writeNeedsConnectedLink()
    {
        LinkFixture f;
        QVERIFY(!f.startWrite(testImage(600), QStringLiteral("1")));
        f.lan->connectTo(QStringLiteral("192.168.1.221"));
        QVERIFY(!f.startWrite(testImage(600), QStringLiteral("1")));
        QVERIFY(!f.lanTransfer->startRead());
        f.fromTransceiver("OK");
        f.udp->sent.clear();
        QVERIFY(!f.startWrite(testImage(300), QStringLiteral("1"))); // image of the other variant
        QVERIFY(f.udp->sent.isEmpty());
        QVERIFY(f.startWrite(testImage(600), QStringLiteral("1")));
        QVERIFY(!f.lanTransfer->startRead());
        QCOMPARE(f.udp->sent.size(), 1);
    }

    void readStoresBlocks_data()
    {
        QTest::addColumn<bool>("duziv");
        QTest::addColumn<bool>("shortSettings");
        QTest::addColumn<int>("bytesDone");
        QTest::newRow("600r") << false << false << 28622;
        QTest::newRow("600r short settings") << false << true << 28302;
        QTest::newRow("duziv") << true << false << 14522;
        QTest::newRow("duziv short settings") << true << true << 14202;
    }
    void readStoresBlocks()
    {
        QFETCH(bool, duziv);
        QFETCH(bool, shortSettings);
        QFETCH(int, bytesDone);
        const Variant &v = duziv ? Variant::mxrDuziv() : Variant::mxr600r();
        const int blocks = v.maxPanels / 5;
        LinkFixture f(v);
        f.lanConnected();
        QSignalSpy finished(f.lanTransfer, &LanTransfer::readFinished);
        QVERIFY(f.lanTransfer->startRead());
        QCOMPARE(f.udp->sentBytes(), QList<QByteArray>{"AT+READF"});
        QVERIFY(!f.lan->isPolling());

        for (int i = 0; i < blocks; ++i) {
            f.fromTransceiver(objectReadBlock(i, i));
            QCOMPARE(f.udp->sent.last().bytes, QByteArray("AT+RDY0"));
        }
        QByteArray settings = settingsBytes();
        settings.replace(14, 4, bytes("78563412"));
        f.fromTransceiver(readBlock(blocks, shortSettings ? settings.left(102) : settings));
        QCOMPARE(f.udp->sent.size(), blocks + 2);
        QCOMPARE(finished.count(), 0);
        f.fromTransceiver("AT+RDYE");
        QCOMPARE(f.udp->sent.size(), blocks + 3);
        QCOMPARE(f.udp->sent.last().bytes, QByteArray("AT+RDY0"));

        QCOMPARE(finished.count(), 1);
        const auto r = finished.at(0).at(0).value<TransferResult>();
        QCOMPARE(r.outcome, TransferOutcome::Succeeded);
        QCOMPARE(f.said(r).text, QStringLiteral("Чтение конфигурации трансивера № 305419896 выполнено."));
        QCOMPARE(f.said(r).title, QStringLiteral("Конфигурирование трансивера"));
        QCOMPARE(f.said(r).icon, MessageIcon::Information);
        QCOMPARE(f.lanTransfer->bytesDone(), bytesDone);
        QCOMPARE(r.factoryNumber, quint32(305419896));

        const QByteArray image = f.lanTransfer->readImage();
        QCOMPARE(int(image.size()), v.maxPanels * 47 + 422);
        for (int n = 1; n <= v.maxPanels; ++n)
            QCOMPARE(image.mid((n - 1) * 47, 47), slotBytes(n));
        if (shortSettings)
            QCOMPARE(image.mid(v.maxPanels * 47), settings.left(102) + QByteArray(320, '\0'));
        else
            QCOMPARE(image.mid(v.maxPanels * 47), settings);
        QVERIFY(!f.lanTransfer->busy());
        QVERIFY(f.lan->isPolling());
        QCOMPARE(f.lanTransfer->progress(), 0);
    }

    void repeatedBlockStoredOnce()
    {
        LinkFixture f;
        f.lanConnected();
        QVERIFY(f.lanTransfer->startRead());
        f.fromTransceiver(objectReadBlock(0, 0));
        f.fromTransceiver(objectReadBlock(0, 9)); // same index, other contents
        QCOMPARE(f.udp->sentBytes(), (QList<QByteArray>{"AT+READF", "AT+RDY0", "AT+RDY0"}));
        QCOMPARE(f.lanTransfer->bytesDone(), 235);
        QCOMPARE(f.lanTransfer->readImage().left(47), slotBytes(1));
        // Seen before, but not just before: stored again, still counted once (as the settings block).
        f.fromTransceiver(objectReadBlock(1, 1));
        f.fromTransceiver(objectReadBlock(0, 9));
        QCOMPARE(f.lanTransfer->bytesDone(), 2 * 235);
        QCOMPARE(f.lanTransfer->readImage().left(47), slotBytes(46));
        f.fromTransceiver(readBlock(120, settingsBytes()));
        f.fromTransceiver(readBlock(120, settingsBytes()));
        QCOMPARE(f.lanTransfer->bytesDone(), 2 * 235 + 422);
    }

    void readIgnoresWhatMatchesNothing_data()
    {
        QTest::addColumn<QByteArray>("datagram");
        QTest::newRow("247 with index 120") << objectReadBlock(120, 0);
        QTest::newRow("434 with index 3") << readBlock(3, settingsBytes());
        QTest::newRow("114 with index 119") << readBlock(119, settingsBytes().left(102));
        QTest::newRow("block without +") << QByteArray(objectReadBlock(2, 0)).replace(2, 1, "-");
        QTest::newRow("block without Y") << QByteArray(objectReadBlock(2, 0)).replace(5, 1, "X");
        QTest::newRow("246 bytes") << objectReadBlock(2, 0).left(246);
        QTest::newRow("OK") << QByteArray("OK");
        QTest::newRow("end marker before any block") << QByteArray("AT+RDYE");
    }
    void readIgnoresWhatMatchesNothing()
    {
        QFETCH(QByteArray, datagram);
        LinkFixture f;
        f.lanConnected();
        QSignalSpy finished(f.lanTransfer, &LanTransfer::readFinished);
        QVERIFY(f.lanTransfer->startRead());
        f.fromTransceiver(datagram);
        QCOMPARE(f.udp->sentBytes(), QList<QByteArray>{"AT+READF"});
        QCOMPARE(f.lanTransfer->bytesDone(), 0);
        QCOMPARE(finished.count(), 0);
    }

    void endMarkerRightAfterObjectBlockIgnored()
    {
        LinkFixture f;
        f.lanConnected();
        QSignalSpy finished(f.lanTransfer, &LanTransfer::readFinished);
        bool pollingAtMessage = true;
        connect(f.lanTransfer, &LanTransfer::readFinished, this,
                [&] { pollingAtMessage = f.lan->isPolling(); });
        QVERIFY(f.lanTransfer->startRead());
        f.fromTransceiver(objectReadBlock(0, 0));
        f.fromTransceiver("AT+RDYE");
        QCOMPARE(f.udp->sent.size(), 2);
        QCOMPARE(finished.count(), 0);
        // The block watchdog, restarted by the block, ends the read.
        f.clock.advance(4999);
        QCOMPARE(finished.count(), 0);
        f.clock.advance(1);
        QCOMPARE(finished.count(), 1);
        const auto r = finished.at(0).at(0).value<TransferResult>();
        QCOMPARE(r.outcome, TransferOutcome::NoAnswer);
        QCOMPARE(f.said(r).text, QStringLiteral("Ошибка при чтение конфигурации."));
        QCOMPARE(f.said(r).title, QStringLiteral("Связь с трансивером"));
        QCOMPARE(f.said(r).icon, MessageIcon::Error);
        QVERIFY(!pollingAtMessage); // the failure is reported before the poll resumes
        QVERIFY(f.lan->isPolling());
        QVERIFY(!f.lanTransfer->busy());
        // What came stays in the image.
        QCOMPARE(f.lanTransfer->readImage().left(47), slotBytes(1));
    }

    // A read that skipped a block still ends with the marker; it is no read.
    void readWithBlockMissingFails_data()
    {
        QTest::addColumn<bool>("duziv");
        QTest::addColumn<int>("missing"); // object block index; -1: the settings block
        QTest::newRow("600r block 5") << false << 5;
        QTest::newRow("duziv block 0") << true << 0;
    }
    void readWithBlockMissingFails()
    {
        QFETCH(bool, duziv);
        QFETCH(int, missing);
        const Variant &v = duziv ? Variant::mxrDuziv() : Variant::mxr600r();
        const int blocks = v.maxPanels / 5;
        LinkFixture f(v);
        f.lanConnected();
        QSignalSpy finished(f.lanTransfer, &LanTransfer::readFinished);
        QVERIFY(f.lanTransfer->startRead());
        for (int i = 0; i < blocks; ++i)
            if (i != missing)
                f.fromTransceiver(objectReadBlock(i, i));
        f.fromTransceiver(readBlock(blocks, settingsBytes()));
        f.fromTransceiver("AT+RDYE");
        QCOMPARE(f.udp->sent.last().bytes, QByteArray("AT+RDY0"));
        QCOMPARE(finished.count(), 1);
        const auto r = finished.at(0).at(0).value<TransferResult>();
        QCOMPARE(r.outcome, TransferOutcome::Incomplete);
        QCOMPARE(f.said(r).text, QStringLiteral("Ошибка при чтение конфигурации."));
        QCOMPARE(f.said(r).title, QStringLiteral("Связь с трансивером"));
        QVERIFY(!f.lanTransfer->busy());
        QVERIFY(f.lan->isPolling());
    }

    // The transceiver sends its status every second; one between the settings block and the end
    // marker is shown, and the read's own blocks still decide where it ends.
    void statusDatagramBeforeEndMarker_data()
    {
        QTest::addColumn<bool>("duziv");
        QTest::newRow("600r") << false;
        QTest::newRow("duziv") << true;
    }
    void statusDatagramBeforeEndMarker()
    {
        QFETCH(bool, duziv);
        const Variant &v = duziv ? Variant::mxrDuziv() : Variant::mxr600r();
        const int blocks = v.maxPanels / 5;
        LinkFixture f(v);
        f.lanConnected();
        QSignalSpy finished(f.lanTransfer, &LanTransfer::readFinished);
        QSignalSpy status(f.lan, &LanChannel::statusReceived);
        QVERIFY(f.lanTransfer->startRead());
        for (int i = 0; i < blocks; ++i)
            f.fromTransceiver(objectReadBlock(i, i));
        f.fromTransceiver(readBlock(blocks, settingsBytes()));
        f.fromTransceiver(bytes("003930FF55C0A801DD0000000001"));
        QCOMPARE(status.count(), duziv ? 0 : 1);
        f.fromTransceiver("AT+RDYE");
        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished.at(0).at(0).value<TransferResult>().outcome, TransferOutcome::Succeeded);
        QCOMPARE(f.lanTransfer->readImage().left(v.maxPanels * 47), testImage(v.maxPanels).left(v.maxPanels * 47));
        QCOMPARE(f.lanTransfer->readImage().mid(v.maxPanels * 47), settingsBytes());
    }

    void blockWatchdogRestartsWithEachBlock()
    {
        LinkFixture f;
        f.lanConnected();
        QSignalSpy finished(f.lanTransfer, &LanTransfer::readFinished);
        QVERIFY(f.lanTransfer->startRead());
        for (int i = 0; i < 120; ++i) {
            f.clock.advance(4999);
            f.fromTransceiver(objectReadBlock(i, i));
        }
        f.clock.advance(4999);
        f.fromTransceiver(readBlock(120, settingsBytes()));
        QCOMPARE(finished.count(), 0);
        QCOMPARE(f.timer("waitBlock")->starts().size(), 121);
        QVERIFY(!f.timer("waitAnswer")->isActive());
        f.clock.advance(5000);
        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished.at(0).at(0).value<TransferResult>().outcome, TransferOutcome::NoAnswer);
    }

    void unansweredReadRequest()
    {
        LinkFixture f;
        f.lanConnected();
        QSignalSpy finished(f.lanTransfer, &LanTransfer::readFinished);
        QVERIFY(f.lanTransfer->startRead());
        f.clock.advance(34999);
        QCOMPARE(f.udp->sentBytes(), QList<QByteArray>(7, "AT+READF"));
        QCOMPARE(finished.count(), 0);
        f.clock.advance(1);
        QCOMPARE(finished.count(), 1);
        QCOMPARE(f.said(finished.at(0).at(0).value<TransferResult>()).text,
                 QStringLiteral("Ошибка при чтение конфигурации."));
        QVERIFY(f.lan->isPolling());
    }

    void closingAbandonsWithoutMessage_data()
    {
        QTest::addColumn<bool>("read");
        QTest::newRow("write") << false;
        QTest::newRow("read") << true;
    }
    void closingAbandonsWithoutMessage()
    {
        QFETCH(bool, read);
        LinkFixture f;
        f.lanConnected();
        QSignalSpy wrote(f.lanTransfer, &LanTransfer::writeFinished);
        QSignalSpy readDone(f.lanTransfer, &LanTransfer::readFinished);
        if (read) {
            QVERIFY(f.lanTransfer->startRead());
            f.fromTransceiver(objectReadBlock(0, 0));
        } else {
            QVERIFY(f.startWrite(testImage(600), QStringLiteral("1")));
            f.fromTransceiver("READY");
        }
        const int sent = int(f.udp->sent.size());
        f.link->shutDown();
        QSignalSpy &finished = read ? readDone : wrote;
        QCOMPARE(finished.count(), 1);
        const auto r = finished.at(0).at(0).value<TransferResult>();
        QCOMPARE(r.outcome, TransferOutcome::Abandoned);
        QCOMPARE(f.said(r), linktext::transferAbandoned());
        f.fromTransceiver("OK");
        f.fromTransceiver(objectReadBlock(1, 1));
        f.clock.advance(100000);
        QCOMPARE(int(f.udp->sent.size()), sent);
        QCOMPARE(wrote.count() + readDone.count(), 1);
    }
};

QTEST_GUILESS_MAIN(TestLanTransfer)
#include "test_lan_transfer.moc"
