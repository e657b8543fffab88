// The write up to its frames: the seven checks in order, what the image holds after each, the
// settings bytes, the slots and the send list. Wire values are written out on purpose.
#include "core/variant.h"
#include "image/config_image.h"
#include "image/config_writer.h"

#include <QtTest>

using namespace talvir;

namespace {
const Variant &variantNamed(bool duziv) { return duziv ? Variant::mxrDuziv() : Variant::mxr600r(); }

TransceiverConfig complete()
{
    TransceiverConfig c;
    c.factoryNumber = "12345";
    c.serverPort = "9999";
    c.localPort = "5000";
    c.serverIp = "192.168.1.3";
    c.localIp = "10.0.0.5";
    c.gatewayIp = "10.0.0.1";
    c.apn = "internet";
    return c;
}

QByteArray settingsOf(const ConfigImage &image)
{
    return QByteArray(reinterpret_cast<const char *>(image.settings()), 422);
}

PanelRecord row(const char *obj, const char *account)
{
    PanelRecord r;
    r.obj = obj;
    r.account = account;
    r.typeId = 30;
    r.protocolCode = 10;
    r.testWait = 1;
    return r;
}
} // namespace

class TestConfigWriter : public QObject {
    Q_OBJECT
private slots:
    void checksInOrder_data()
    {
        QTest::addColumn<int>("emptyFrom");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("control");
        // Every field from emptyFrom on is empty: the first of them decides.
        QTest::newRow("all empty") << 0 << QString::fromUtf8("Не определен заводской номер") << "factoryNumberEdit";
        QTest::newRow("server port") << 1 << QString::fromUtf8("Не определен IP - порт приемника") << "serverPortEdit";
        QTest::newRow("local port") << 2 << QString::fromUtf8("Не определен локальный порт") << "localPortEdit";
        QTest::newRow("server address") << 3 << QString::fromUtf8("Не определен IP - адрес приемника") << "serverIpEdit";
        QTest::newRow("local address") << 4 << QString::fromUtf8("Не определен локальный IP - адрес") << "localIpEdit";
        QTest::newRow("gateway") << 5 << QString::fromUtf8("Не определен  IP - адрес шлюза") << "gatewayIpEdit";
        QTest::newRow("apn") << 6 << QString::fromUtf8("Не определен APN GPRS - канала") << "apnEdit";
    }
    void checksInOrder()
    {
        QFETCH(int, emptyFrom);
        QFETCH(QString, message);
        QFETCH(QString, control);
        for (bool duziv : {false, true}) {
            TransceiverConfig c = complete();
            QString *fields[] = {&c.factoryNumber, &c.serverPort, &c.localPort, &c.serverIp, &c.localIp, &c.gatewayIp, &c.apn};
            for (int i = emptyFrom; i < 7; ++i)
                fields[i]->clear();
            c.panels.append(row("0001", "0001"));
            ConfigImage image(variantNamed(duziv));
            image.slot(1)[0] = 0x55; // the panel area is not reached
            SendList list;
            list.queueWriteFrame(0, 0);
            const auto refusal = prepareWrite(image, c, true, list);
            QVERIFY(refusal);
            QCOMPARE(refusal->message, message);
            QCOMPARE(refusal->control, control);
            QVERIFY(list.isEmpty());
            QCOMPARE(int(image.slot(1)[0]), 0x55);
        }
    }

    void addressTextThatIsNoAddressIsRefused_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("three parts") << "10.0.0";
        QTest::newRow("octet too big") << "10.0.0.256";
        QTest::newRow("zero") << "0.0.0.0";
    }
    void addressTextThatIsNoAddressIsRefused()
    {
        QFETCH(QString, text);
        TransceiverConfig c = complete();
        c.gatewayIp = text;
        ConfigImage image(Variant::mxr600r());
        QCOMPARE(fillImage(image, c, true)->control, QString("gatewayIpEdit"));
    }

    void conversionErrorPropagates()
    {
        TransceiverConfig c = complete();
        c.localIp = "10..0.5";
        ConfigImage image(Variant::mxr600r());
        const WriteRefusal notANumber{QStringLiteral("'' is not a valid integer value"), QString(), WriteRefusal::NotANumber};
        QCOMPARE(fillImage(image, c, true), std::optional(notANumber));
        // What passed before the failing address is already in the image.
        QCOMPARE(settingsOf(image).mid(2, 4), QByteArray::fromHex("c0a80103"));
        QCOMPARE(settingsOf(image).mid(6, 4), QByteArray(4, '\0'));
    }

    void refusalKeepsWhatPassed()
    {
        TransceiverConfig c = complete();
        c.localIp.clear();
        c.dhcp = 1;
        ConfigImage image(Variant::mxr600r());
        std::memset(image.settings(), 0xAA, 422);
        QVERIFY(fillImage(image, c, true));
        const QByteArray s = settingsOf(image);
        QCOMPARE(s.left(2), QByteArray::fromHex("0001"));      // zero, Dhcp
        QCOMPARE(s.mid(2, 4), QByteArray::fromHex("c0a80103"));  // server address passed
        QCOMPARE(s.mid(6, 4), QByteArray::fromHex("aaaaaaaa"));  // local address refused
        QCOMPARE(s.mid(10, 4), QByteArray::fromHex("aaaaaaaa")); // gateway never reached
        QCOMPARE(s.mid(14, 4), QByteArray::fromHex("39300000")); // 12345
        QCOMPARE(s.mid(18, 2), QByteArray::fromHex("0f27"));
        QCOMPARE(s.mid(20, 2), QByteArray::fromHex("8813"));
        QCOMPARE(s.mid(86, 2), QByteArray::fromHex("aaaa")); // the constant comes after the checks
    }

    void settingsBlockBytes()
    {
        TransceiverConfig c = complete();
        c.baudText = "115200";
        c.testPeriod = 3600;
        c.protocol = 1;
        c.conversion = 1;
        c.mode = 1;
        c.reserveIps[0] = 0x04030201;
        c.reserveIps[79] = 0x08070605;
        ConfigImage image(Variant::mxr600r());
        std::memset(image.settings(), 0xAA, 422);
        QVERIFY(!fillImage(image, c, true));
        const QByteArray s = settingsOf(image);
        QCOMPARE(s.left(22), QByteArray::fromHex("0000" "c0a80103" "0a000005" "0a000001" "39300000" "0f27" "8813"));
        QCOMPARE(s.mid(22, 64), QByteArray("internet").append(QByteArray(56, '\0')));
        QCOMPARE(s.mid(86, 2), QByteArray::fromHex("0f27"));
        QCOMPARE(s.mid(88, 6), QByteArray("115200"));
        QCOMPARE(s.mid(94, 3), QByteArray::fromHex("aaaaaa")); // the transceiver's own bytes stay
        QCOMPARE(s.mid(97, 4), QByteArray::fromHex("100e0000"));
        QCOMPARE(quint8(s[101]), quint8(0xA1));
        QCOMPARE(s.mid(102, 4), QByteArray::fromHex("01020304"));
        QCOMPARE(s.mid(106, 312), QByteArray(312, '\0'));
        QCOMPARE(s.mid(418, 4), QByteArray::fromHex("05060708"));
    }

    void modeBitFollowsTheModeControl()
    {
        TransceiverConfig c = complete();
        c.protocol = 2;
        c.conversion = -1;
        c.mode = 1;
        ConfigImage image(Variant::mxrDuziv());
        QVERIFY(!fillImage(image, c, modeControlEnabled(c, Variant::mxrDuziv())));
        QCOMPARE(int(image.settings()[101]), 0x02);
        QVERIFY(!fillImage(image, c, true));
        QCOMPARE(int(image.settings()[101]), 0x82);
    }

    void numbersAsTheWriteTakesThem_data()
    {
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("serial");
        QTest::addColumn<QByteArray>("portBytes");
        QTest::addColumn<QByteArray>("serialBytes");
        QTest::newRow("70000 -> 4464") << "70000" << "99999" << QByteArray::fromHex("7011") << QByteArray::fromHex("9f860100");
        QTest::newRow("65535") << "65535" << "0" << QByteArray::fromHex("ffff") << QByteArray::fromHex("00000000");
        QTest::newRow("65536 -> 0") << "65536" << "4294967295" << QByteArray::fromHex("0000") << QByteArray::fromHex("ffffffff");
        QTest::newRow("2147483648") << "1" << "2147483648" << QByteArray::fromHex("0100") << QByteArray::fromHex("00000080");
    }
    void numbersAsTheWriteTakesThem()
    {
        QFETCH(QString, port);
        QFETCH(QString, serial);
        TransceiverConfig c = complete();
        c.serverPort = port;
        c.localPort = port;
        c.factoryNumber = serial;
        ConfigImage image(Variant::mxr600r());
        QVERIFY(!fillImage(image, c, true));
        QTEST(settingsOf(image).mid(18, 2), "portBytes");
        QTEST(settingsOf(image).mid(20, 2), "portBytes");
        QTEST(settingsOf(image).mid(14, 4), "serialBytes");
    }

    void numberTextsThatAreNoNumbers()
    {
        QString error;
        QCOMPARE(portValue("12a", &error), std::nullopt);
        QCOMPARE(error, QString("'12a' is not a valid integer value"));
        QCOMPARE(serialNumberValue("4294967296"), std::nullopt);
        QCOMPARE(serialNumberValue("1 2"), std::nullopt);
    }

    void rowsGoToSlotsInTableOrder()
    {
        TransceiverConfig c = complete();
        c.panels = {row("0009", "0001"), row("0001", "0002")};
        c.panels[1].slot = 17; // not consulted
        ConfigImage image(Variant::mxr600r());
        std::memset(image.slot(3), 0x77, 47); // a stale slot from an earlier write
        std::memset(image.slot(600), 0x77, 47);
        QVERIFY(!fillImage(image, c, true));
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(image.slot(1)) + 30, 4), QByteArray("0009"));
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(image.slot(2)) + 30, 4), QByteArray("0001"));
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(image.slot(3)), 47), QByteArray(47, '\0'));
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(image.slot(600)), 47), QByteArray(47, '\0'));
    }

    void moreRowsThanSlotsAreRefused()
    {
        TransceiverConfig c = complete();
        for (int i = 0; i < 301; ++i)
            c.panels.append(row("0001", "0001"));
        ConfigImage duziv(Variant::mxrDuziv());
        const auto refusal = fillImage(duziv, c, true);
        QVERIFY(refusal);
        QCOMPARE(refusal->message, QString::fromUtf8("Превышено максимально-допустимое число объектов"));
        ConfigImage big(Variant::mxr600r());
        QVERIFY(!fillImage(big, c, true));
    }

    void sendListOfAnEmptyTable_data()
    {
        QTest::addColumn<bool>("duziv");
        QTest::addColumn<int>("panelFrames");
        QTest::addColumn<int>("lastAddress");
        QTest::newRow("600r") << false << 28200 << 0x6FCD;
        QTest::newRow("duziv") << true << 14100 << 0x38B9;
    }
    void sendListOfAnEmptyTable()
    {
        QFETCH(bool, duziv);
        QFETCH(int, panelFrames);
        QFETCH(int, lastAddress);
        TransceiverConfig c = complete();
        c.reserveIps[79] = 0xDDCCBBAA;
        ConfigImage image(variantNamed(duziv));
        SendList list;
        QVERIFY(!prepareWrite(image, c, true, list));
        QCOMPARE(list.size(), panelFrames + 422);
        QCOMPARE(frameBytes(list.at(0)), QByteArray::fromHex("3B00000032F6"));
        for (int i = 0; i < list.size(); ++i) {
            const Frame &f = list.at(i);
            QCOMPARE(int(f[0]), 0x3B);
            QCOMPARE(int(frameAddress(f)), i);
            QVERIFY(frameCrcValid(f));
            if (i < panelFrames)
                QCOMPARE(int(f[3]), 0);
        }
        QCOMPARE(int(frameAddress(list.at(panelFrames))), panelFrames); // settings byte 0
        QCOMPARE(int(list.at(panelFrames)[3]), 0);
        QCOMPARE(int(frameAddress(list.at(list.size() - 1))), lastAddress);
        QCOMPARE(int(list.at(list.size() - 1)[3]), 0xDD); // byte 3 of reserve entry 80
    }

    void firstFrameCarriesFirstCharacterOfP1()
    {
        TransceiverConfig c = complete();
        PanelRecord r = row("0001", "0001");
        r.phone1 = "+38";
        c.panels = {r};
        ConfigImage image(Variant::mxr600r());
        SendList list;
        QVERIFY(!prepareWrite(image, c, true, list));
        QCOMPARE(frameBytes(list.at(0)).left(4), QByteArray::fromHex("3B00002B"));
        // The first settings frame of MXR_600r: address 0x6E28.
        QCOMPARE(frameBytes(list.at(28200)).left(4), QByteArray::fromHex("3B286E00"));
    }
};

QTEST_GUILESS_MAIN(TestConfigWriter)
#include "test_config_writer.moc"
