// CRC-16/XMODEM and the serial frames. Wire constants are written out here on purpose.
#include "link/crc16.h"
#include "link/frames.h"

#include <QtTest>

using namespace talvir;

namespace {
QByteArray hex(const char *h) { return QByteArray::fromHex(h); }
std::uint16_t crcOf(const QByteArray &b)
{
    return Crc16(reinterpret_cast<const unsigned char *>(b.constData()), int(b.size()));
}
} // namespace

class TestFrames : public QObject {
    Q_OBJECT
private slots:
    void crc_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("crc");
        QTest::newRow("catalogue check value") << QByteArray("123456789") << 0x31C3;
        QTest::newRow("identification") << hex("23010101") << 0xB8B2;
        QTest::newRow("write address 0 data 0") << hex("3B000000") << 0x32F6;
        QTest::newRow("first settings byte 600r") << hex("3B286E05") << 0x6511;
        QTest::newRow("empty") << QByteArray() << 0;
    }
    void crc()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, crc);
        QCOMPARE(int(crcOf(bytes)), crc);
    }

    void crcOfNothingIsZero()
    {
        const unsigned char b[1] = {0xFF};
        QCOMPARE(int(Crc16(b, 0)), 0);
        QCOMPARE(int(Crc16(b, -5)), 0);
    }

    void identificationFrame() { QCOMPARE(frameBytes(talvir::identificationFrame()), hex("230101 01B8B2")); }

    void writeFrames_data()
    {
        QTest::addColumn<int>("address");
        QTest::addColumn<int>("data");
        QTest::addColumn<QByteArray>("frame");
        QTest::newRow("address 0, data 0") << 0 << 0 << hex("3B00000032F6");
        QTest::newRow("settings base 600r") << 0x6E28 << 5 << hex("3B286E056511");
    }
    void writeFrames()
    {
        QFETCH(int, address);
        QFETCH(int, data);
        QFETCH(QByteArray, frame);
        const Frame f = makeWriteFrame(std::uint16_t(address), static_cast<unsigned char>(data));
        QCOMPARE(frameBytes(f), frame);
        QVERIFY(frameCrcValid(f));
        QCOMPARE(int(frameAddress(f)), address);
    }

    void sendListKeepsOrderAndFrees()
    {
        SendList list;
        for (int a = 0; a < 3; ++a)
            list.queueWriteFrame(std::uint16_t(a), static_cast<unsigned char>(a + 1));
        QCOMPARE(list.size(), 3);
        QCOMPARE(int(frameAddress(list.at(2))), 2);
        QCOMPARE(int(frameData(list.at(0))), 1);
        list.clear();
        QVERIFY(list.isEmpty());
    }

    void replies_data()
    {
        QTest::addColumn<int>("byte");
        QTest::addColumn<int>("reply");
        QTest::newRow("ack") << 0x01 << int(Reply::Ack);
        QTest::newRow("type rejected") << 0x02 << int(Reply::TypeRejected);
        QTest::newRow("nak") << 0x15 << int(Reply::Nak);
        QTest::newRow("store failed") << 0x25 << int(Reply::StoreFailed);
        QTest::newRow("zero") << 0x00 << int(Reply::Other);
        QTest::newRow("ascii 1") << 0x31 << int(Reply::Other);
        QTest::newRow("ff") << 0xFF << int(Reply::Other);
    }
    void replies()
    {
        QFETCH(int, byte);
        QFETCH(int, reply);
        QCOMPARE(int(classifyReply(static_cast<unsigned char>(byte))), reply);
    }
};

QTEST_GUILESS_MAIN(TestFrames)
#include "test_frames.moc"
