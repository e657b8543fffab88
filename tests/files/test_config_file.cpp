// Reading configuration files: signature, fixed record, the 600/300 layouts, the walk by address,
// the failures and what is kept at a failure. Files are built byte by byte here, independently of
// the writer, except where the writer's own output is the point.
#include "core/ip_text.h"
#include "core/variant.h"
#include "files/config_file.h"
#include "image/config_image.h"
#include "image/config_writer.h"
#include "files/kcf_builder.h"

#include <QtTest>

using namespace talvir;

namespace {
const Variant &variantNamed(bool duziv) { return duziv ? Variant::mxrDuziv() : Variant::mxr600r(); }

QByteArray settingsBlock()
{
    QByteArray b(422, '\0');
    b.replace(2, 4, QByteArray::fromHex("c0a80103"));
    b.replace(6, 4, QByteArray::fromHex("0a000005"));
    b.replace(10, 4, QByteArray::fromHex("0a000001"));
    b.replace(14, 4, QByteArray::fromHex("39300000"));
    b.replace(18, 2, QByteArray::fromHex("0000"));
    b.replace(20, 2, QByteArray::fromHex("0000"));
    b.replace(22, 8, "internet");
    b.replace(88, 5, "19200");
    b.replace(97, 4, QByteArray::fromHex("1e000000"));
    b[101] = char(0x91);
    b.replace(102, 4, QByteArray::fromHex("01020304"));
    b.replace(110, 4, QByteArray::fromHex("05060708"));
    return b;
}

TransceiverConfig applied(const ConfigFileContents &c, const Variant &v)
{
    TransceiverConfig config = TransceiverConfig::defaults(v, false);
    c.applyTo(config, v);
    return config;
}

QList<SettingField> fieldsOf(const ConfigFileContents &c)
{
    QList<SettingField> list;
    for (const LoadedSetting &s : c.settings)
        list.append(s.field);
    return list;
}

TransceiverConfig complete()
{
    TransceiverConfig c;
    c.factoryNumber = "12345";
    c.localPort = "5000";
    c.localIp = "10.0.0.5";
    c.gatewayIp = "10.0.0.1";
    c.apn = "internet";
    return c;
}

QByteArray savedBytes(const TransceiverConfig &c, const Variant &v)
{
    ConfigImage image(v);
    SendList list;
    if (prepareWrite(image, c, modeControlEnabled(c, v), list))
        return QByteArray();
    return configFileBytes(list);
}
} // namespace

class TestConfigFile : public QObject {
    Q_OBJECT
private slots:
    void savedFileLayout_data()
    {
        QTest::addColumn<bool>("duziv");
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("settingsRecord");
        QTest::addColumn<int>("settingsAddress");
        QTest::newRow("600r") << false << 171744 << 28202 << 28200;
        QTest::newRow("duziv") << true << 87144 << 14102 << 14100;
    }
    void savedFileLayout()
    {
        QFETCH(bool, duziv);
        QFETCH(int, settingsRecord);
        const QByteArray f = savedBytes(complete(), variantNamed(duziv));
        QTEST(int(f.size()), "size");
        QCOMPARE(f.left(6), QByteArray("TransP"));
        QCOMPARE(f.mid(12, 6), QByteArray::fromHex("3B00000032F6")); // record 2: empty table
        const QByteArray r = f.mid(settingsRecord * 6, 6);
        QCOMPARE(quint8(r[0]), quint8(0x3B));
        QTEST(quint8(r[1]) | (quint8(r[2]) << 8), "settingsAddress");
    }

    void roundTrip_data()
    {
        QTest::addColumn<bool>("duziv");
        QTest::newRow("600r") << false;
        QTest::newRow("duziv") << true;
    }
    void roundTrip()
    {
        QFETCH(bool, duziv);
        const Variant &v = variantNamed(duziv);
        TransceiverConfig c = complete();
        c.serverIp = "172.16.0.9";
        c.serverPort = "10001";
        c.baudText = "115200";
        c.testPeriod = 3600;
        c.protocol = 1;
        c.conversion = 1;
        c.mode = 1;
        c.reserveIps[0] = *ipFromText("1.2.3.4");
        c.reserveIps[1] = *ipFromText("5.6.7.8");
        PanelRecord a;
        a.obj = "00b1";
        a.account = "0120";
        a.typeId = 400;
        a.protocolCode = 128;
        a.phone1 = "+380441234567";
        a.testWait = 10;
        PanelRecord b = a;
        b.obj = "00A2";
        b.typeId = 30;
        b.protocolCode = 10;
        b.phone2 = "777";
        c.panels = {a, b};

        const ConfigFileContents loaded = decodeConfigFile(savedBytes(c, v), v);
        QVERIFY(loaded.ok());
        QCOMPARE(loaded.slotCount, v.maxPanels);
        TransceiverConfig back = applied(loaded, v);
        // Rows come back in the table's order (by Obj, case-insensitive) with their slots.
        QCOMPARE(back.panels.size(), 2);
        QCOMPARE(back.panels[0].obj, QString("00A2"));
        QCOMPARE(*back.panels[0].slot, 2);
        QCOMPARE(*back.panels[1].slot, 1);
        QCOMPARE(int(back.panels[1].alarmFlag), 1);
        for (PanelRecord &r : back.panels) {
            r.slot.reset();
            r.alarmFlag = 0;
        }
        c.panels = {b, a};
        QCOMPARE(back, c);
    }

    void settingsOrderInFile()
    {
        // Fields come in file order; the walk takes whatever address it meets. A small file is a
        // 300-slot file: MXR_600r moves its addresses above 14100 up to its own.
        const QByteArray s = settingsBlock();
        FileBuilder f;
        f.field(14197, s.mid(97, 4)).field(14102, s.mid(2, 4)).frame(14201, 0x91).frame(5, 1).field(14122, s.mid(22, 64));
        const ConfigFileContents c = decodeConfigFile(f.bytes, Variant::mxr600r());
        QVERIFY(c.ok());
        QCOMPARE(fieldsOf(c), (QList<SettingField>{SettingField::TestPeriod, SettingField::ServerIp,
                                                    SettingField::ModeByte, SettingField::Apn}));
        QCOMPARE(c.settings[1].record, 4);
        QVERIFY(!c.panelBlockFound);
        QVERIFY(c.rows.isEmpty());
        const TransceiverConfig t = applied(c, Variant::mxr600r());
        QCOMPARE(t.testPeriod, 30);
        QCOMPARE(t.apn, QString("internet"));
        QCOMPARE(t.factoryNumber, QString()); // not in the file: keeps its value
        QCOMPARE(t.baudText, QString("9600"));
    }

    void portsAndModeByteFromFile_data()
    {
        QTest::addColumn<bool>("duziv");
        QTest::addColumn<int>("modeByte");
        QTest::addColumn<int>("protocol");
        QTest::addColumn<int>("conversion");
        QTest::addColumn<int>("mode");
        QTest::newRow("600r 0x91") << false << 0x91 << 1 << 0 << 1;
        QTest::newRow("600r 0x00") << false << 0x00 << 0 << -1 << 0;
        QTest::newRow("duziv 0x91") << true << 0x91 << 1 << 0 << 1;
        QTest::newRow("duziv 0x00") << true << 0x00 << 0 << -1 << 0;
        QTest::newRow("duziv 0xB2") << true << 0xB2 << 2 << -1 << -1;
        QTest::newRow("600r 0x31") << false << 0x31 << 1 << 2 << 0;
    }
    void portsAndModeByteFromFile()
    {
        QFETCH(bool, duziv);
        QFETCH(int, modeByte);
        const Variant &v = variantNamed(duziv);
        QByteArray s = settingsBlock();
        s[101] = char(modeByte);
        FileBuilder f;
        f.panels(v.maxPanels).settings(v.settingsBase(), s);
        const ConfigFileContents c = decodeConfigFile(f.bytes, v);
        QVERIFY(c.ok());
        const TransceiverConfig t = applied(c, v);
        QTEST(t.protocol, "protocol");
        QTEST(t.conversion, "conversion");
        QTEST(t.mode, "mode");
        QCOMPARE(t.serverPort, QString("9999"));
        QCOMPARE(t.localPort, QString("0"));
        QCOMPARE(t.serverIp, QString("192.168.1.3"));
        QCOMPARE(t.localIp, QString("10.0.0.5"));
        QCOMPARE(t.gatewayIp, QString("10.0.0.1"));
        QCOMPARE(t.factoryNumber, QString("12345"));
        QCOMPARE(t.baudText, QString("19200"));
    }

    void duzivFileIn600r()
    {
        QByteArray s = settingsBlock();
        s.replace(2, 4, QByteArray::fromHex("0b0c0d0e"));
        FileBuilder f;
        f.panels(300, {{300, slotWith("0300")}}).settings(14100, s);
        QCOMPARE(f.bytes.size(), 87144);
        const ConfigFileContents c = decodeConfigFile(f.bytes, Variant::mxr600r());
        QVERIFY(c.ok());
        QCOMPARE(c.frameRecords, 14522);
        QCOMPARE(c.slotCount, 300);
        QCOMPARE(c.shift, 14100);
        QCOMPARE(c.settings.first().field, SettingField::ServerIp);
        QCOMPARE(c.settings.first().record, 14102);
        QCOMPARE(applied(c, Variant::mxr600r()).serverIp, QString("11.12.13.14"));
        QCOMPARE(c.rows.size(), 1);
        QCOMPARE(*c.rows[0].slot, 300);
        QCOMPARE(c.reserveIps.size(), 2);
    }

    void sixHundredSlotFileIn600r()
    {
        FileBuilder f;
        f.panels(600, {{600, slotWith("0600")}}).settings(28200, settingsBlock());
        QCOMPARE(f.bytes.size(), 171744);
        const ConfigFileContents c = decodeConfigFile(f.bytes, Variant::mxr600r());
        QVERIFY(c.ok());
        QCOMPARE(c.slotCount, 600);
        QCOMPARE(c.shift, 0);
        QCOMPARE(*c.rows.last().slot, 600);
        QCOMPARE(c.settings.size(), 10);
    }

    void duzivRefusesASixHundredSlotFile()
    {
        // Slots 301-600 carry the addresses of MXR_duziv's settings; they must not be taken as such.
        FileBuilder f;
        QByteArray slot = slotWith("0301");
        slot.replace(2, 4, QByteArray::fromHex("01010101")); // lands on address 14102
        f.panels(600, {{301, slot}}).settings(28200, settingsBlock());
        const ConfigFileContents c = decodeConfigFile(f.bytes, Variant::mxrDuziv());
        QCOMPARE(c.failure, FileFailure::Format);
        QCOMPARE(c.message, QString::fromUtf8("Формат файла не соответствует типу устройства!"));
        QVERIFY(!c.reserveListEmptied);
        QVERIFY(c.settings.isEmpty());
        TransceiverConfig t = TransceiverConfig::defaults(Variant::mxrDuziv(), false);
        const TransceiverConfig before = t;
        c.applyTo(t, Variant::mxrDuziv());
        QCOMPARE(t, before);
    }

    void recordCounts_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("duziv");
        QTest::addColumn<int>("slotCount"); // 0: refused with the format message, nothing taken
        QTest::newRow("14100 in duziv") << 14100 << true << 300;
        QTest::newRow("14522 in 600r") << 14522 << false << 300;
        QTest::newRow("14523 in duziv") << 14523 << true << 0;
        QTest::newRow("100000 bytes in 600r") << 100000 / 6 - 2 << false << 0;
        QTest::newRow("28621 in 600r") << 28621 << false << 0;
        QTest::newRow("28622 in 600r") << 28622 << false << 600;
        QTest::newRow("28623 in 600r") << 28623 << false << 0;
    }
    void recordCounts()
    {
        // Neither program writes a count between the two: read as a 300-slot file, a 600-slot file
        // that lost its tail would give slot 301 (addresses 14100 and up) as settings.
        QFETCH(int, count);
        QFETCH(bool, duziv);
        QFETCH(int, slotCount);
        FileBuilder f;
        f.panels(count >= 28200 ? 600 : 300, {{301, QByteArray(47, '\x01')}}).fillTo(count);
        const ConfigFileContents c = decodeConfigFile(f.bytes, variantNamed(duziv));
        QCOMPARE(c.frameRecords, count);
        QCOMPARE(c.failure, slotCount ? FileFailure::None : FileFailure::Format);
        QCOMPARE(c.slotCount, slotCount);
        QVERIFY(c.settings.isEmpty());
    }

    void duzivAlwaysReadsThreeHundredSlots()
    {
        // MXR_duziv takes no shift, and translates the loader's whole table of type codes.
        FileBuilder f;
        f.panels(300, {{2, slotWith("0002", 24)}}).settings(14100, settingsBlock());
        const ConfigFileContents c = decodeConfigFile(f.bytes, Variant::mxrDuziv());
        QVERIFY(c.ok());
        QCOMPARE(c.slotCount, 300);
        QCOMPARE(c.rows.size(), 1);
        QCOMPARE(int(c.rows[0].typeId), 201); // the file loader translates 24 in both programs
        QCOMPARE(c.settings.size(), 10);
    }

    void signature_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("failure");
        QTest::addColumn<int>("frames");
        const QByteArray frame = QByteArray::fromHex("3B0500413333");
        QTest::newRow("empty") << QByteArray() << int(FileFailure::Format) << 0;
        QTest::newRow("T but not Trans") << QByteArray("TranzP").append(frame) << int(FileFailure::Format) << 0;
        QTest::newRow("lower case") << QByteArray("transP").append(frame) << int(FileFailure::Format) << 0;
        QTest::newRow("shorter than a record") << QByteArray("Trans") << int(FileFailure::Format) << 0;
        QTest::newRow("Trans and another byte") << QByteArray("TransX").append(frame) << int(FileFailure::None) << 1;
        QTest::newRow("Trans alone") << QByteArray("TransQ") << int(FileFailure::None) << 0;
        QTest::newRow("TransP without fixed record") << QByteArray("TransP") << int(FileFailure::Fatal) << 0;
        QTest::newRow("TransP, fixed, frame") << QByteArray("TransP").append(frame).append(frame) << int(FileFailure::None) << 1;
        QTest::newRow("final fragment ignored") << QByteArray("TransX").append(frame).append("\x3B\x00", 2)
                                                << int(FileFailure::None) << 1;
    }
    void signature()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, failure);
        QFETCH(int, frames);
        const FrameRecords r = splitRecords(bytes);
        QCOMPARE(int(r.failure), failure);
        QCOMPARE(int(r.frames.size()), frames);
        const ConfigFileContents c = decodeConfigFile(bytes, Variant::mxr600r());
        QCOMPARE(int(c.failure), failure);
        if (failure == int(FileFailure::Format))
            QCOMPARE(c.message, QString::fromUtf8("Формат файла не соответствует типу устройства!"));
        if (failure == int(FileFailure::Fatal)) {
            QCOMPARE(c.message, QString::fromUtf8("Возникла фатальная ошибка. Часть данных не загружена."));
            QVERIFY(!c.reserveListEmptied);
        }
    }

    void framesFromRecordOneWithoutP()
    {
        // Record 1 is a frame when record 0 does not end in "P": here it opens the panel block.
        FileBuilder f("TransX", false);
        f.panels(300, {{1, slotWith("0001")}});
        const ConfigFileContents c = decodeConfigFile(f.bytes, Variant::mxr600r());
        QVERIFY(c.ok());
        QVERIFY(!c.hasFixedRecord);
        QCOMPARE(c.rows.size(), 1);
        QCOMPARE(c.rows[0].account, QString("0001"));
    }

    void cutInsideThePanelBlock_data()
    {
        QTest::addColumn<bool>("duziv");
        QTest::newRow("600r") << false;
        QTest::newRow("duziv") << true;
    }
    void cutInsideThePanelBlock()
    {
        QFETCH(bool, duziv);
        const Variant &v = variantNamed(duziv);
        FileBuilder f;
        // A 300-slot file in both programs: MXR_600r moves 14102 to its server address.
        f.field(14102, QByteArray::fromHex("01020304")).panels(300, {{1, slotWith("0001")}});
        f.bytes.chop(6 * 100);
        const ConfigFileContents c = decodeConfigFile(f.bytes, v);
        QCOMPARE(c.failure, FileFailure::Fatal);
        QCOMPARE(c.message, QString::fromUtf8("Возникла фатальная ошибка. Часть данных не загружена."));
        QCOMPARE(c.failedAtRecord, 4);
        QCOMPARE(c.failedAtAddress, 0);
        QVERIFY(c.reserveListEmptied);
        QVERIFY(!c.reserveReached);
        QVERIFY(c.reserveIps.isEmpty());
        QVERIFY(c.rows.isEmpty());
        // The model: settings met before are set; the table and ReserveIps stay as they were.
        TransceiverConfig t = TransceiverConfig::defaults(v, false);
        t.panels = {PanelRecord{}};
        t.reserveIps[0] = 99;
        c.applyTo(t, v);
        QCOMPARE(t.panels.size(), 1);
        QCOMPARE(t.reserveIps[0], 99u);
        QCOMPARE(t.serverIp, QString("1.2.3.4"));
    }

    void cutInsideAField()
    {
        const QByteArray s = settingsBlock();
        ConfigFileContents c;
        FileBuilder g;
        g.panels(300, {{1, slotWith("0001")}}).settings(14100, s);
        g.bytes.chop(6 * 399); // ends one record into the APN field
        c = decodeConfigFile(g.bytes, Variant::mxr600r());
        QCOMPARE(c.failure, FileFailure::Fatal);
        QCOMPARE(c.failedAtAddress, 28222);
        QCOMPARE(fieldsOf(c), (QList<SettingField>{SettingField::ServerIp, SettingField::LocalIp, SettingField::GatewayIp,
                                                    SettingField::FactoryNumber, SettingField::ServerPort,
                                                    SettingField::LocalPort}));
        QVERIFY(c.panelBlockFound); // complete, yet the load stopped before the table is rebuilt
        QVERIFY(c.rows.isEmpty());
        const TransceiverConfig t = applied(c, Variant::mxr600r());
        QCOMPARE(t.factoryNumber, QString("12345"));
        QCOMPARE(t.apn, QString());
        QVERIFY(t.panels.isEmpty());
    }

    void cutInsideTheReserveField()
    {
        FileBuilder f;
        f.panels(300).settings(14100, settingsBlock());
        f.bytes.chop(6);
        const ConfigFileContents c = decodeConfigFile(f.bytes, Variant::mxr600r());
        QCOMPARE(c.failure, FileFailure::Fatal);
        QCOMPARE(c.failedAtAddress, 28302);
        QVERIFY(!c.reserveReached);
        QVERIFY(c.reserveIps.isEmpty());
        QCOMPARE(c.settings.size(), 10);
    }

    void typeCodesFromFile_data()
    {
        QTest::addColumn<int>("low");
        QTest::addColumn<int>("high");
        QTest::addColumn<int>("typeId");
        QTest::addColumn<int>("aF");
        QTest::newRow("24/0") << 24 << 0 << 201 << 0;
        QTest::newRow("8/2") << 8 << 2 << 520 << 2;
        QTest::newRow("21/0") << 21 << 0 << 21 << 0;
        QTest::newRow("0/0") << 0 << 0 << 0 << 0;
        QTest::newRow("5/0") << 5 << 0 << 30 << 0;
        QTest::newRow("0x90/1") << 0x90 << 1 << 400 << 1;
    }
    void typeCodesFromFile()
    {
        QFETCH(int, low);
        QFETCH(int, high);
        for (bool duziv : {false, true}) {
            FileBuilder f;
            f.panels(300, {{1, slotWith("0001", low, high)}});
            const ConfigFileContents c = decodeConfigFile(f.bytes, variantNamed(duziv));
            QVERIFY(c.ok());
            QCOMPARE(c.rows.size(), 1);
            QTEST(int(c.rows[0].typeId), "typeId");
            QTEST(int(c.rows[0].alarmFlag), "aF");
        }
    }

    void waitsFromFile()
    {
        FileBuilder f;
        f.panels(300, {{1, slotWith("0001", 0, 0, 300)}, {2, slotWith("0002", 0, 0, 59)}});
        const ConfigFileContents c = decodeConfigFile(f.bytes, Variant::mxr600r());
        QCOMPARE(c.rows[0].testWait, 5);
        QCOMPARE(c.rows[1].testWait, 0);
    }

    void usedSlotsOnly()
    {
        QByteArray ghost(47, 'Z');
        ghost[26] = 0; // byte 26 zero: empty, whatever else it holds
        FileBuilder f;
        f.panels(300, {{1, slotWith("0001")}, {3, ghost}, {5, slotWith("0005")}});
        const ConfigFileContents c = decodeConfigFile(f.bytes, Variant::mxr600r());
        QCOMPARE(c.rows.size(), 2);
        QCOMPARE(*c.rows[0].slot, 1);
        QCOMPARE(*c.rows[1].slot, 5);
    }

    void panelBlockTakesRecordsWhateverTheirAddresses()
    {
        FileBuilder f;
        f.frame(0, '1');
        for (int k = 1; k < 300 * 47; ++k)
            f.frame(28202, k == 26 ? '9' : 0); // addresses that would be settings elsewhere
        const ConfigFileContents c = decodeConfigFile(f.bytes, Variant::mxr600r());
        QVERIFY(c.ok());
        QVERIFY(c.settings.isEmpty());
        QCOMPARE(c.rows.size(), 1);
        QCOMPARE(c.rows[0].phone1, QString("1"));
        QCOMPARE(c.rows[0].account, QString("9"));
    }

    void reserveList()
    {
        QByteArray field(320, '\0');
        field.replace(0, 4, QByteArray::fromHex("01020304"));
        field.replace(8, 4, QByteArray::fromHex("05060708"));
        FileBuilder f;
        f.field(14202, field);
        const ConfigFileContents c = decodeConfigFile(f.bytes, Variant::mxr600r());
        QVERIFY(c.reserveReached);
        QCOMPARE(c.reserveIps.size(), 2);
        QCOMPARE(ipToText(c.reserveIps[0]), QString("1.2.3.4"));
        QCOMPARE(ipToText(c.reserveIps[1]), QString("5.6.7.8"));
        TransceiverConfig t;
        t.reserveIps.fill(0x01010101);
        c.applyTo(t, Variant::mxr600r());
        QCOMPARE(t.reserveIps[0], 0x04030201u);
        QCOMPARE(t.reserveIps[1], 0x08070605u);
        for (int k = 2; k < 80; ++k)
            QCOMPARE(t.reserveIps[std::size_t(k)], 0u);
    }

    void repeatedReserveFieldStopsAtEighty()
    {
        QByteArray field(320, '\x01');
        FileBuilder f;
        f.field(14202, field).field(14202, field);
        const ConfigFileContents c = decodeConfigFile(f.bytes, Variant::mxr600r());
        QCOMPARE(c.reserveIps.size(), 80);
        QCOMPARE(c.reserveDropped, 80);
    }

    void appendingHelpers()
    {
        FileBuilder f;
        f.frame(5, 1).frame(28202, 1).panels(300, {{4, slotWith("0004")}});
        const FrameRecords r = splitRecords(f.bytes);
        QCOMPARE(firstPanelRecord(r.frames), 2);
        QCOMPARE(slotsOfFile(int(r.frames.size())), 300);
        QCOMPARE(slotsOfFile(28622), 600);
        QByteArray area;
        QVERIFY(takePanelBlock(r.frames, 2, 300, area));
        QCOMPARE(area.size(), 14100);
        const QList<PanelRecord> rows = panelRowsOf(area);
        QCOMPARE(rows.size(), 1);
        QCOMPARE(*rows[0].slot, 4);
        QVERIFY(!takePanelBlock(r.frames, 3, 300, area));
        QCOMPARE(firstPanelRecord(splitRecords(FileBuilder().frame(7, 0).bytes).frames), -1);
    }

    void fromPath()
    {
        QTemporaryDir dir;
        const QString missing = dir.filePath("none.kcf");
        QCOMPARE(loadConfigFile(missing, Variant::mxr600r()).failure, FileFailure::Format);
        QCOMPARE(loadConfigFile(dir.path(), Variant::mxr600r()).failure, FileFailure::Format);
        const QString path = dir.filePath("a.kcf");
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(savedBytes(complete(), Variant::mxrDuziv()));
        out.close();
        const ConfigFileContents c = loadConfigFile(path, Variant::mxr600r());
        QVERIFY(c.ok());
        QCOMPARE(c.slotCount, 300);
        QCOMPARE(applied(c, Variant::mxr600r()).apn, QString("internet"));
    }

    void tableOrder()
    {
        QList<PanelRecord> rows(4);
        const char *objs[] = {"00b1", "00A1", "00B1", "0001"};
        for (int i = 0; i < 4; ++i) {
            rows[i].obj = objs[i];
            rows[i].slot = i + 1;
        }
        sortRowsAsTable(rows);
        QCOMPARE(*rows[0].slot, 4);
        QCOMPARE(*rows[1].slot, 2);
        QCOMPARE(*rows[2].slot, 1); // "00b1" and "00B1" keep their order
        QCOMPARE(*rows[3].slot, 3);
    }
};

QTEST_GUILESS_MAIN(TestConfigFile)
#include "test_config_file.moc"
