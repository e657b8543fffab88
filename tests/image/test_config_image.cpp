// The memory image: panel slots, legacy type codes, the ModeByte and the settings as the read decodes
// them. Byte values are written out on purpose.
#include "core/variant.h"
#include "image/config_image.h"

#include <QtTest>

using namespace talvir;

namespace {
QByteArray slotBytes(const unsigned char *slot) { return QByteArray(reinterpret_cast<const char *>(slot), 47); }

PanelRecord row400()
{
    PanelRecord r;
    r.obj = "0001";
    r.account = "0120";
    r.typeId = 400;
    r.protocolCode = 128;
    r.testWait = 10;
    r.phone1 = "+380441234567";
    return r;
}
} // namespace

class TestConfigImage : public QObject {
    Q_OBJECT
private slots:
    void imageSizes()
    {
        ConfigImage a(Variant::mxr600r());
        QCOMPARE(a.size(), 28622);
        QCOMPARE(a.settingsBase(), 0x6E28);
        ConfigImage b(Variant::mxrDuziv());
        QCOMPARE(b.size(), 14522);
        QCOMPARE(b.settingsBase(), 0x3714);
    }

    void slotOfType400()
    {
        unsigned char slot[47];
        std::memset(slot, 0xEE, sizeof slot);
        PanelSlot::encode(row400(), slot);
        const QByteArray b = slotBytes(slot);
        QCOMPARE(b.left(13), QByteArray("+380441234567")); // 13 characters: no terminating zero
        QCOMPARE(b.mid(13, 13), QByteArray(13, '\0'));       // empty P2
        QCOMPARE(b.mid(26, 4), QByteArray("0120"));
        QCOMPARE(b.mid(30, 4), QByteArray("0001"));
        QCOMPARE(quint8(b[34]), quint8(0x90));
        QCOMPARE(quint8(b[35]), quint8(0x80));
        QCOMPARE(b.mid(36, 4), QByteArray::fromHex("58020000"));
        QCOMPARE(b.mid(40, 5), QByteArray(5, '\0'));
        QCOMPARE(quint8(b[45]), quint8(0x01));
        QCOMPARE(quint8(b[46]), quint8(0x00));

        const auto back = PanelSlot::decode(slot, 7, 24);
        QVERIFY(back);
        QCOMPARE(int(back->typeId), 400);
        QCOMPARE(int(back->alarmFlag), 1);
        QCOMPARE(int(back->protocolCode), 128);
        QCOMPARE(back->testWait, 10);
        QCOMPARE(back->phone1, QString("+380441234567"));
        QCOMPARE(back->phone2, QString());
        QCOMPARE(back->slot, std::optional<qint32>(7));
    }

    void longTextsAreCut()
    {
        PanelRecord r = row400();
        r.phone1 = "12345678901234567";
        r.obj = "ABCDEF";
        unsigned char slot[47];
        PanelSlot::encode(r, slot);
        QCOMPARE(slotBytes(slot).left(13), QByteArray("1234567890123"));
        QCOMPARE(slotBytes(slot).mid(30, 4), QByteArray("ABCD"));
        QCOMPARE(PanelSlot::decode(slot, 1, 24)->obj, QString("ABCD"));
    }

    void cyrillicPhoneTextIsWindows1251()
    {
        PanelRecord r = row400();
        r.phone2 = QString::fromUtf8("Дом");
        unsigned char slot[47];
        PanelSlot::encode(r, slot);
        QCOMPARE(slotBytes(slot).mid(13, 4), QByteArray::fromHex("c4eeec00"));
        QCOMPARE(PanelSlot::decode(slot, 1, 24)->phone2, QString::fromUtf8("Дом"));
    }

    void waitTest_data()
    {
        QTest::addColumn<quint32>("seconds");
        QTest::addColumn<int>("minutes");
        QTest::newRow("300 s") << 300u << 5;
        QTest::newRow("59 s") << 59u << 0;
        QTest::newRow("119 s") << 119u << 1;
        QTest::newRow("largest") << 0xFFFFFFFFu << 71582788;
    }
    void waitTest()
    {
        QFETCH(quint32, seconds);
        QFETCH(int, minutes);
        unsigned char slot[47] = {};
        slot[26] = '1';
        writeU32(slot + 36, seconds);
        QCOMPARE(PanelSlot::decode(slot, 1, 24)->testWait, minutes);
    }

    void waitBeyond32BitsIsHeldAtTheLongest()
    {
        PanelRecord r = row400();
        r.testWait = 80000000; // 4.8e9 seconds
        unsigned char slot[47];
        PanelSlot::encode(r, slot);
        QCOMPARE(slotBytes(slot).mid(36, 4), QByteArray::fromHex("f0ffffff")); // 71582788 * 60
        r.testWait = -5;
        PanelSlot::encode(r, slot);
        QCOMPARE(slotBytes(slot).mid(36, 4), QByteArray(4, '\0'));
    }

    void emptySlotGivesNoRow()
    {
        unsigned char slot[47];
        std::memset(slot, '7', sizeof slot);
        slot[26] = 0;
        QVERIFY(!PanelSlot::decode(slot, 1, 24));
    }

    void slotCarriesFrmtAndAf()
    {
        unsigned char slot[47] = {};
        slot[26] = 'A';
        slot[34] = 8;
        slot[45] = 2;
        slot[46] = 0x33;
        const auto row = PanelSlot::decode(slot, 1, 24);
        QCOMPARE(int(row->typeId), 520);
        QCOMPARE(int(row->alarmFlag), 2);
        QCOMPARE(int(row->format), 0x33);
    }

    void legacyTypes_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("typeId");
        const QList<QPair<QList<int>, int>> table = {
            {{1, 5, 15}, 30}, {{2}, 41}, {{3, 7, 17}, 72}, {{4, 8, 12, 14, 18, 24}, 201}, {{6, 16}, 48},
            {{9, 19, 23}, 200}, {{10}, 80}, {{11, 13}, 100}, {{20, 22}, 400}, {{0}, 0}, {{21}, 21},
            {{25}, 25}, {{520}, 520}, {{400}, 400},
        };
        for (const auto &[codes, type] : table) {
            for (int c : codes)
                QTest::addRow("%d", c) << c << type;
        }
    }
    void legacyTypes()
    {
        QFETCH(int, code);
        QFETCH(int, typeId);
        QCOMPARE(LegacyTypeMap::translate(code, 24), typeId);
    }

    void code24OnReadDiffersBetweenPrograms()
    {
        unsigned char slot[47] = {};
        slot[26] = '1';
        slot[34] = 24;
        QCOMPARE(Variant::mxr600r().legacyMapLastCodeOnRead, 24);
        QCOMPARE(Variant::mxrDuziv().legacyMapLastCodeOnRead, 23);
        QCOMPARE(int(PanelSlot::decode(slot, 1, Variant::mxr600r().legacyMapLastCodeOnRead)->typeId), 201);
        QCOMPARE(int(PanelSlot::decode(slot, 1, Variant::mxrDuziv().legacyMapLastCodeOnRead)->typeId), 24);
        slot[34] = 23;
        QCOMPARE(int(PanelSlot::decode(slot, 1, 23)->typeId), 200);
    }

    void modeByteEncoding_data()
    {
        QTest::addColumn<int>("protocol");
        QTest::addColumn<int>("conversion");
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("modeEnabled");
        QTest::addColumn<int>("byte");
        QTest::newRow("Sur-Gard, A->0, fire") << 1 << 0 << 1 << true << 0x91;
        QTest::newRow("nothing") << 0 << -1 << 0 << true << 0x00;
        QTest::newRow("start values") << 0 << 0 << 0 << true << 0x10;
        QTest::newRow("0->A") << 1 << 1 << 0 << true << 0x21;
        QTest::newRow("Нет") << 1 << 2 << 1 << true << 0xB1;
        QTest::newRow("mode control disabled") << 2 << 1 << 1 << false << 0x22;
        QTest::newRow("no mode chosen sets the bit") << 0 << -1 << -1 << true << 0x80;
        QTest::newRow("no mode, control disabled") << 2 << -1 << -1 << false << 0x02;
    }
    void modeByteEncoding()
    {
        QFETCH(int, protocol);
        QFETCH(int, conversion);
        QFETCH(int, mode);
        QFETCH(bool, modeEnabled);
        QFETCH(int, byte);
        QCOMPARE(int(ModeByte::encode(protocol, conversion, mode, modeEnabled)), byte);
    }

    void modeByteDecoding_data()
    {
        QTest::addColumn<bool>("duziv");
        QTest::addColumn<int>("byte");
        QTest::addColumn<int>("protocolBefore");
        QTest::addColumn<int>("conversionBefore");
        QTest::addColumn<int>("modeBefore");
        QTest::addColumn<int>("protocol");
        QTest::addColumn<int>("conversion");
        QTest::addColumn<int>("mode");
        for (bool d : {false, true}) {
            const char *v = d ? "duziv" : "600r";
            QTest::addRow("%s 0x91", v) << d << 0x91 << 0 << 0 << 0 << 1 << 0 << 1;
            QTest::addRow("%s 0x00", v) << d << 0x00 << 1 << 1 << 1 << 0 << -1 << 0;
            QTest::addRow("%s 0x21", v) << d << 0x21 << 0 << 0 << 0 << 1 << 1 << 0;
        }
        QTest::newRow("600r code 3 is Нет") << false << 0x31 << 0 << 0 << 0 << 1 << 2 << 0;
        QTest::newRow("600r protocol beyond last") << false << 0x05 << 0 << 0 << 0 << 1 << -1 << 0;
        QTest::newRow("600r mode bit kept with protocol 0") << false << 0x80 << 1 << 0 << 0 << 0 << -1 << 1;
        QTest::newRow("600r protocol 15 selects the last") << false << 0x0F << 0 << 0 << 0 << 1 << -1 << 0;
        QTest::newRow("duziv 15 selects autonomous") << true << 0x8F << 0 << 0 << 0 << 2 << -1 << -1;
        QTest::newRow("duziv autonomous has no type") << true << 0x92 << 0 << 0 << 1 << 2 << 0 << -1;
        // Code 3 names no conversion item in MXR_duziv: the switch keeps what the protocol left.
        QTest::newRow("duziv code 3 after a protocol change") << true << 0x31 << 0 << -1 << 0 << 1 << 0 << 0;
        QTest::newRow("duziv code 3, same protocol") << true << 0x31 << 1 << 1 << 0 << 1 << 1 << 0;
        QTest::newRow("duziv code 3, protocol 0 kept") << true << 0x30 << 0 << 0 << 0 << 0 << 0 << 0;
        QTest::newRow("duziv code 3 into autonomous") << true << 0x32 << 0 << 0 << 0 << 2 << -1 << -1;
    }
    void modeByteDecoding()
    {
        QFETCH(bool, duziv);
        QFETCH(int, byte);
        QFETCH(int, protocolBefore);
        QFETCH(int, conversionBefore);
        QFETCH(int, modeBefore);
        const Variant &v = duziv ? Variant::mxrDuziv() : Variant::mxr600r();
        TransceiverConfig c;
        c.protocol = protocolBefore;
        c.conversion = conversionBefore;
        c.mode = modeBefore;
        ModeByte::decodeInto(static_cast<unsigned char>(byte), c, v);
        QTEST(c.protocol, "protocol");
        QTEST(c.conversion, "conversion");
        QTEST(c.mode, "mode");
    }

    void protocolChangeResets()
    {
        TransceiverConfig c;
        c.mode = 1;
        ModeByte::applyProtocolChange(0, c, Variant::mxr600r());
        QCOMPARE(c.conversion, -1);
        QCOMPARE(c.mode, 0); // hidden: back to "Охранный"
        c.mode = 1;
        ModeByte::applyProtocolChange(1, c, Variant::mxr600r());
        QCOMPARE(c.conversion, 0);
        QCOMPARE(c.mode, 1);
        ModeByte::applyProtocolChange(0, c, Variant::mxrDuziv());
        QCOMPARE(c.mode, 1); // the type switch stays enabled
        ModeByte::applyProtocolChange(2, c, Variant::mxrDuziv());
        QCOMPARE(c.mode, -1);
    }

    void modeControl()
    {
        TransceiverConfig c;
        for (int p : {0, 1, 2}) {
            c.protocol = p;
            QVERIFY(modeControlEnabled(c, Variant::mxr600r()));
            QCOMPARE(modeControlEnabled(c, Variant::mxrDuziv()), p != 2);
        }
    }

    void settingsAsTheReadFillsThem_data()
    {
        QTest::addColumn<bool>("duziv");
        QTest::newRow("600r") << false;
        QTest::newRow("duziv") << true;
    }
    void settingsAsTheReadFillsThem()
    {
        QFETCH(bool, duziv);
        const Variant &v = duziv ? Variant::mxrDuziv() : Variant::mxr600r();
        ConfigImage image(v);
        unsigned char *s = image.settings();
        const QByteArray block = QByteArray::fromHex(
            "0001" "c0a80103" "0a000005" "0a000001" "ffffffff" "0000" "0000");
        std::memcpy(s, block.constData(), size_t(block.size()));
        std::memcpy(s + 22, "internet", 8);
        std::memcpy(s + 88, "115200", 6);
        writeU32(s + 97, 60);
        s[101] = 0x91;
        TransceiverConfig c = TransceiverConfig::defaults(v, false);
        c.dhcp = 1;
        image.decodeSettingsInto(c);
        QCOMPARE(c.serverIp, QString("192.168.1.3"));
        QCOMPARE(c.localIp, QString("10.0.0.5"));
        QCOMPARE(c.gatewayIp, QString("10.0.0.1"));
        QCOMPARE(c.factoryNumber, QString("4294967295")); // unsigned
        QCOMPARE(c.serverPort, QString("9999"));      // 0 shows the default port
        QCOMPARE(c.localPort, QString("0"));
        QCOMPARE(c.apn, QString("internet"));
        QCOMPARE(c.baudText, QString("115200"));
        QCOMPARE(c.testPeriod, 60);
        QCOMPARE(c.protocol, 1);
        QCOMPARE(c.conversion, 0);
        QCOMPARE(c.mode, 1);
        QCOMPARE(c.dhcp, 1); // never decoded

        writeU16(s + 18, 5000);
        writeU16(s + 20, 0xFFFF);
        image.decodeSettingsInto(c);
        QCOMPARE(c.serverPort, QString("5000"));
        QCOMPARE(c.localPort, QString("65535"));
    }

    void testPeriodOutsideTheBoxRange_data()
    {
        QTest::addColumn<quint32>("stored");
        QTest::addColumn<int>("shown");
        QTest::newRow("0") << 0u << 1;
        QTest::newRow("3600") << 3600u << 3600;
        QTest::newRow("3601") << 3601u << 3600;
        QTest::newRow("huge") << 0xFFFFFFFFu << 3600;
    }
    void testPeriodOutsideTheBoxRange()
    {
        QFETCH(quint32, stored);
        unsigned char b[4];
        writeU32(b, stored);
        TransceiverConfig c;
        applySetting(SettingField::TestPeriod, b, c, Variant::mxr600r());
        QTEST(c.testPeriod, "shown");
    }

    void reserveSkipsEmptyEntries()
    {
        unsigned char field[320] = {};
        const unsigned char a[] = {1, 2, 3, 4}, b[] = {5, 6, 7, 8};
        std::memcpy(field, a, 4);
        std::memcpy(field + 8, b, 4);
        std::memcpy(field + 316, a, 4);
        const QList<quint32> list = reserveAddresses(field);
        QCOMPARE(list.size(), 3);
        QCOMPARE(list[0], 0x04030201u);
        QCOMPARE(list[1], 0x08070605u);
        QCOMPARE(list[2], 0x04030201u);
    }

    void panelRowsInSlotOrder()
    {
        ConfigImage image(Variant::mxrDuziv());
        PanelRecord r = row400();
        PanelSlot::encode(r, image.slot(1));
        r.obj = "0000";
        PanelSlot::encode(r, image.slot(300));
        image.slot(5)[26] = 'X';
        image.slot(5)[34] = 24;
        const QList<PanelRecord> rows = image.panelRows(23);
        QCOMPARE(rows.size(), 3);
        QCOMPARE(*rows[0].slot, 1);
        QCOMPARE(*rows[1].slot, 5);
        QCOMPARE(int(rows[1].typeId), 24);
        QCOMPARE(*rows[2].slot, 300);
        QCOMPARE(rows[2].obj, QString("0000"));
    }

    void settingFieldsAtTheirOffsets()
    {
        QCOMPARE(settingAt(2), std::optional(SettingField::ServerIp));
        QCOMPARE(settingAt(18), std::optional(SettingField::ServerPort));
        QCOMPARE(settingAt(97), std::optional(SettingField::TestPeriod));
        QCOMPARE(settingAt(101), std::optional(SettingField::ModeByte));
        QCOMPARE(settingAt(102), std::optional(SettingField::Reserve));
        QCOMPARE(settingWidth(SettingField::Reserve), 320);
        QCOMPARE(settingWidth(SettingField::Apn), 64);
        QVERIFY(!settingAt(0));
        QVERIFY(!settingAt(1));
        QVERIFY(!settingAt(86));
        QVERIFY(!settingAt(94));
        QVERIFY(!settingAt(3));
    }
};

QTEST_GUILESS_MAIN(TestConfigImage)
#include "test_config_image.moc"
