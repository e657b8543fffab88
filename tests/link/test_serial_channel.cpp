// The serial channel on a fake port and a fake clock: identification, keep-alive watchdog, the
// reply table, exit, and a port that goes away.
#include "link_fixture.h"

#include <QtTest>

using namespace talvir;

namespace {
const QByteArray kIdent = QByteArray::fromHex("230101 01B8B2");
QByteArray bytes(const char *hex) { return QByteArray::fromHex(hex); }
} // namespace

class TestSerialChannel : public QObject {
    Q_OBJECT
private slots:
    void openSendsIdentificationAndArmsWatchdog()
    {
        LinkFixture f;
        QVERIFY(f.serial->open(QStringLiteral("/dev/ttyFAKE")));
        QCOMPARE(f.port->portName, QStringLiteral("/dev/ttyFAKE"));
        QCOMPARE(f.port->sent, QList<QByteArray>{kIdent});
        QVERIFY(f.serial->isWatchdogArmed());
        QCOMPARE(f.timer("watchdog")->starts().last(), 110);
        QVERIFY(!f.serial->isLinkUp());
    }

    void openFailureLeavesPortClosed()
    {
        LinkFixture f;
        f.port->openError = QStringLiteral("Permission denied");
        QVERIFY(!f.serial->open(QStringLiteral("/dev/ttyS9")));
        QCOMPARE(f.serial->lastError(), QStringLiteral("Permission denied"));
        QVERIFY(!f.serial->isOpen());
        QVERIFY(f.port->sent.isEmpty());
        QVERIFY(!f.serial->isWatchdogArmed());
    }

    void identificationOnlyWhenSixBytesFit()
    {
        LinkFixture f;
        f.port->queuedOut = 4091;
        QVERIFY(f.serial->open(QStringLiteral("/dev/ttyFAKE")));
        QVERIFY(f.port->sent.isEmpty());
        QVERIFY(f.serial->isWatchdogArmed()); // the keep-alive retries it
        f.port->queuedOut = 4090;
        f.clock.advance(110);
        QCOMPARE(f.port->sent, QList<QByteArray>{kIdent});
    }

    void acknowledgementKeepsLinkUp()
    {
        LinkFixture f;
        QSignalSpy up(f.serial, &SerialChannel::linkUp);
        QSignalSpy lost(f.serial, &SerialChannel::linkLost);
        f.serial->open(QStringLiteral("/dev/ttyFAKE"));
        f.port->sent.clear();

        f.clock.advance(100);
        f.port->feed(bytes("01"));
        QCOMPARE(up.count(), 1);
        QVERIFY(f.serial->isLinkUp());
        QCOMPARE(f.port->sent, QList<QByteArray>{kIdent});
        QCOMPARE(f.timer("watchdog")->starts().last(), 110);

        // Each answer within 110 ms keeps it up.
        for (int i = 0; i < 5; ++i) {
            f.clock.advance(109);
            f.port->feed(bytes("01"));
        }
        QCOMPARE(up.count(), 6);
        QCOMPARE(lost.count(), 0);
        QCOMPARE(f.port->sent.size(), 6);
    }

    void watchdogExpiryLosesLinkAndRepeatsEvery275ms()
    {
        LinkFixture f;
        QSignalSpy lost(f.serial, &SerialChannel::linkLost);
        f.serialLinkUp();
        f.clock.advance(109);
        QCOMPARE(lost.count(), 0);
        f.clock.advance(1);
        QCOMPARE(lost.count(), 1);
        QVERIFY(!f.serial->isLinkUp());
        QCOMPARE(f.port->sent, QList<QByteArray>{kIdent});
        QCOMPARE(f.timer("watchdog")->starts().last(), 275);

        f.clock.advance(274);
        QCOMPARE(lost.count(), 1);
        f.clock.advance(1);
        QCOMPARE(lost.count(), 2);
        QCOMPARE(f.port->sent.size(), 2);

        // The first answer brings it back.
        QSignalSpy up(f.serial, &SerialChannel::linkUp);
        f.port->feed(bytes("01"));
        QCOMPARE(up.count(), 1);
        QCOMPARE(f.timer("watchdog")->starts().last(), 110);
    }

    void replyTable_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<bool>("linkUpSignal");
        QTest::addColumn<bool>("identSent");
        QTest::addColumn<int>("watchdogDueIn"); // -1: disarmed; 60: the arming of the opening runs on
        QTest::addColumn<bool>("portOpen");
        QTest::addColumn<bool>("typeRejected");
        QTest::addColumn<bool>("storeFailed");
        QTest::newRow("0x01 link up") << bytes("01") << true << true << 110 << true << false << false;
        QTest::newRow("0x02 type rejected") << bytes("02") << false << false << -1 << false << true << false;
        QTest::newRow("0x15 re-arms") << bytes("15") << false << false << 110 << true << false << false;
        QTest::newRow("0x25 store failed") << bytes("25") << false << false << 60 << true << false << true;
        QTest::newRow("0x00 ignored") << bytes("00") << false << false << 60 << true << false << false;
        QTest::newRow("'1' ignored") << bytes("31") << false << false << 60 << true << false << false;
        QTest::newRow("15 15 01 one ack") << bytes("151501") << true << true << 110 << true << false << false;
        QTest::newRow("01 15 last counts") << bytes("0115") << false << false << 110 << true << false << false;
        QTest::newRow("01 02 last counts") << bytes("0102") << false << false << -1 << false << true << false;
        QTest::newRow("01 ff ignored") << bytes("01ff") << false << false << 60 << true << false << false;
    }
    void replyTable()
    {
        QFETCH(QByteArray, reply);
        QFETCH(bool, linkUpSignal);
        QFETCH(bool, identSent);
        QFETCH(int, watchdogDueIn);
        QFETCH(bool, portOpen);
        QFETCH(bool, typeRejected);
        QFETCH(bool, storeFailed);

        LinkFixture f;
        QSignalSpy up(f.serial, &SerialChannel::linkUp);
        QSignalSpy rejected(f.serial, &SerialChannel::typeRejected);
        QSignalSpy store(f.serial, &SerialChannel::storeFailed);
        f.serial->open(QStringLiteral("/dev/ttyFAKE"));
        f.port->sent.clear();
        f.clock.advance(50);

        f.port->feed(reply);
        QCOMPARE(f.port->reads, 1);
        QCOMPARE(up.count(), linkUpSignal ? 1 : 0);
        QCOMPARE(f.port->sent, identSent ? QList<QByteArray>{kIdent} : QList<QByteArray>{});
        QCOMPARE(f.serial->isOpen(), portOpen);
        QCOMPARE(f.port->closes, portOpen ? 0 : 1);
        QCOMPARE(rejected.count(), typeRejected ? 1 : 0);
        QCOMPARE(store.count(), storeFailed ? 1 : 0);
        QCOMPARE(f.serial->isWatchdogArmed(), watchdogDueIn >= 0);
        if (watchdogDueIn >= 0)
            QCOMPARE(f.timer("watchdog")->due() - f.clock.now(), qint64(watchdogDueIn));
    }

    void nakWithoutWriteOnlyRearms()
    {
        LinkFixture f;
        f.serialLinkUp();
        f.clock.advance(100);
        f.port->feed(bytes("15"));
        QCOMPARE(f.timer("watchdog")->due() - f.clock.now(), qint64(110));
        QVERIFY(f.port->sent.isEmpty());
        QVERIFY(f.serial->isLinkUp());
    }

    void inputNotReadWhileClosing()
    {
        LinkFixture f;
        QSignalSpy up(f.serial, &SerialChannel::linkUp);
        QSignalSpy lost(f.serial, &SerialChannel::linkLost);
        f.serial->open(QStringLiteral("/dev/ttyFAKE"));
        f.port->sent.clear();
        const int readsBefore = f.port->reads;
        f.link->shutDown();
        f.port->feed(bytes("01"));
        f.port->feed(bytes("02"));
        QCOMPARE(f.port->reads, readsBefore);
        QCOMPARE(f.port->inbox, bytes("0102"));
        QCOMPARE(up.count(), 0);
        f.clock.advance(1000);
        QCOMPARE(lost.count(), 0);
        QVERIFY(f.port->sent.isEmpty());
        QVERIFY(!f.serial->isOpen());
    }

    void portErrorClosesOnceAndLosesLinkOnce()
    {
        LinkFixture f;
        QSignalSpy lost(f.serial, &SerialChannel::linkLost);
        QSignalSpy portLost(f.serial, &SerialChannel::portLost);
        f.serialLinkUp();
        f.port->lose(SerialError::ReadError, QStringLiteral("Input/output error"));
        // The port reports the same loss again, as QSerialPort does in a loop.
        f.port->lose(SerialError::ReadError, QStringLiteral("Input/output error"));
        f.port->lose(SerialError::ResourceError, QStringLiteral("gone"));
        QCOMPARE(f.port->closes, 1);
        QCOMPARE(lost.count(), 1);
        QCOMPARE(portLost.count(), 1);
        QCOMPARE(portLost.at(0).at(0).toString(), QStringLiteral("Input/output error"));
        QVERIFY(!f.serial->isOpen());
        QVERIFY(!f.serial->isLinkUp());
        QVERIFY(!f.serial->isWatchdogArmed());
        f.clock.advance(1000);
        QCOMPARE(lost.count(), 1);
        QVERIFY(f.port->sent.isEmpty());
    }

    void closeStopsEverything()
    {
        LinkFixture f;
        QSignalSpy lost(f.serial, &SerialChannel::linkLost);
        f.serialLinkUp();
        f.serial->close();
        QCOMPARE(f.port->closes, 1);
        QVERIFY(!f.serial->isLinkUp());
        f.clock.advance(1000);
        QCOMPARE(lost.count(), 0);
        // Chosen again: the identification goes out again.
        QVERIFY(f.serial->open(QStringLiteral("/dev/ttyFAKE")));
        QCOMPARE(f.port->sent, QList<QByteArray>{kIdent});
    }
};

QTEST_GUILESS_MAIN(TestSerialChannel)
#include "test_serial_channel.moc"
