// Dotted IPv4 text and the 32-bit value the transceiver stores (first number in the low byte).
#include "core/ip_text.h"

#include <QtTest>

using namespace talvir;

class TestIpText : public QObject {
    Q_OBJECT
private slots:
    void acceptsAddresses_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<quint32>("value");
        QTest::newRow("plain") << "192.168.1.221" << 0xDD01A8C0u;
        QTest::newRow("server default") << "192.168.1.3" << 0x0301A8C0u;
        QTest::newRow("leading zeros") << "192.168.001.221" << 0xDD01A8C0u;
        QTest::newRow("long last part") << "1.2.3.0004" << 0x04030201u;
        QTest::newRow("blanks before a part") << " 1. 2.3.4" << 0x04030201u;
        QTest::newRow("plus sign") << "+1.2.3.4" << 0x04030201u;
        QTest::newRow("three parts") << "192.168.1" << 0u;
        QTest::newRow("four digits first") << "1234.1.1.1" << 0u;
        QTest::newRow("last above 255") << "1.2.3.256" << 0u;
        QTest::newRow("first above 255") << "256.1.1.1" << 0u;
        QTest::newRow("all zero") << "0.0.0.0" << 0u;
        QTest::newRow("minus sign") << "1.-2.3.4" << 0u;
        QTest::newRow("minus last") << "1.2.3.-4" << 0u;
        QTest::newRow("empty text") << "" << 0u;
        QTest::newRow("length decides before reading") << "1.2.3" << 0u;
    }
    void acceptsAddresses()
    {
        QFETCH(QString, text);
        QFETCH(quint32, value);
        QCOMPARE(ipFromText(text), std::optional<quint32>(value));
    }

    void conversionError_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QTest::newRow("letters") << "x.1" << "'x' is not a valid integer value";
        QTest::newRow("empty part") << "1..2.3" << "'' is not a valid integer value";
        QTest::newRow("trailing dot") << "1.2.3." << "'' is not a valid integer value";
        QTest::newRow("five parts") << "1.2.3.4.5" << "'4.5' is not a valid integer value";
        QTest::newRow("blank after digits") << "1 .2.3.4" << "'1 ' is not a valid integer value";
        QTest::newRow("three dots") << "..." << "'' is not a valid integer value";
        QTest::newRow("huge last part") << "1.2.3.99999999999" << "'99999999999' is not a valid integer value";
    }
    void conversionError()
    {
        QFETCH(QString, text);
        QFETCH(QString, message);
        QString error;
        QCOMPARE(ipFromText(text, &error), std::nullopt);
        QCOMPARE(error, message);
    }

    void showsAddresses_data()
    {
        QTest::addColumn<quint32>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("server") << 0x0301A8C0u << "192.168.1.3";
        QTest::newRow("transceiver") << 0xDD01A8C0u << "192.168.1.221";
        QTest::newRow("zero") << 0u << "0.0.0.0";
        QTest::newRow("all ones") << 0xFFFFFFFFu << "255.255.255.255";
    }
    void showsAddresses()
    {
        QFETCH(quint32, value);
        QFETCH(QString, text);
        QCOMPARE(talvir::ipToText(value), text);
    }

    void octetsFollowTheText()
    {
        unsigned char o[4];
        ipToOctets(*ipFromText("192.168.1.3"), o);
        QCOMPARE(QByteArray(reinterpret_cast<char *>(o), 4), QByteArray("\xC0\xA8\x01\x03", 4));
        QCOMPARE(ipFromOctets(o), *ipFromText("192.168.1.3"));
    }
};

QTEST_GUILESS_MAIN(TestIpText)
#include "test_ip_text.moc"
