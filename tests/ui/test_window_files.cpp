// The main window's "Сохранить" and "Загрузить": the save through the write command into a real file
// (refusals, cancel, an existing file kept intact, a folder that cannot take the file), and the load
// back into the window in both programs and across them (settings, rows with their slots, the reserve
// list, "Импорт"), with the format and fatal-error answers to files that are not right.
#include "gui_fixture.h"

#include "files/kcf_builder.h"

#include "core/ip_text.h"
#include "tables/panel_table.h"
#include "ui/panel_table_view.h"
#include "ui/settings_panel.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

using namespace guitest;

namespace {

const QString kLoadTitle = QStringLiteral("Загрузка конфигурации");
const QString kFormatText = QStringLiteral("Формат файла не соответствует типу устройства!");
const QString kFatalText = QStringLiteral("Возникла фатальная ошибка. Часть данных не загружена.");

// A configuration every check of the write accepts, with every switch away from its default.
TransceiverConfig savedConfig(const Variant &v)
{
    TransceiverConfig c = TransceiverConfig::defaults(v, false);
    c.factoryNumber = QStringLiteral("40213");
    c.baudText = QStringLiteral("19200");
    c.testPeriod = 77;
    c.apn = QStringLiteral("internet.mts.ru");
    c.serverIp = QStringLiteral("10.20.30.40");
    c.serverPort = QStringLiteral("5001");
    c.localIp = QStringLiteral("192.168.7.15");
    c.localPort = QStringLiteral("1025");
    c.gatewayIp = QStringLiteral("192.168.7.1");
    c.protocol = 1;
    c.conversion = 1; // "0->A" in both programs
    c.mode = 1;       // "Пожарный"
    // A gap in the stored entries: the load closes it up.
    c.reserveIps[0] = *ipFromText(QStringLiteral("1.2.3.4"));
    c.reserveIps[2] = *ipFromText(QStringLiteral("5.6.7.8"));
    return c;
}

PanelRecord row(const QString &obj, const QString &account, int typeId, const QString &name, int wait)
{
    PanelRecord r;
    r.obj = obj;
    r.account = account;
    r.typeId = qint16(typeId);
    r.typeName = name;
    r.phone1 = QStringLiteral("89001234567");
    r.phone2 = obj == QStringLiteral("0001") ? QStringLiteral("89117654321") : QString();
    r.testWait = wait;
    r.protocolCode = 3;
    return r;
}

// Rows in the order a technician left them: the table's position is the slot, not the object number.
QList<PanelRecord> savedRows()
{
    return {row(QStringLiteral("0030"), QStringLiteral("3000"), 400, QStringLiteral("Type 400"), 5),
            row(QStringLiteral("0001"), QStringLiteral("1000"), 250, QStringLiteral("Type 250"), 0),
            row(QStringLiteral("0002"), QStringLiteral("2000"), 530, QStringLiteral("Contact GSM-5"), 120)};
}

// Fills a started window as the technician would before saving.
void fillWindow(Windows &w, const TransceiverConfig &c, const QStringList &reserveTexts)
{
    showConfig(*w.main, c);
    reserveServersOf(*w.main).setAddressTexts(reserveTexts);
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

// One frame record as the loader reads it; it does not look at the check bytes.
QByteArray record(int address, int data)
{
    QByteArray r(6, '\0');
    r[0] = char(0x3B);
    r[1] = char(address & 0xFF);
    r[2] = char(address >> 8);
    r[3] = char(data);
    return r;
}

QByteArray addressRecords(int address, const QList<int> &octets)
{
    QByteArray out;
    for (int k = 0; k < octets.size(); ++k)
        out += record(address + k, octets.at(k));
    return out;
}

// Everything a load may change, as the window shows it.
struct Shown {
    TransceiverConfig config;
    QStringList reserveTexts;
    QString counter;
    bool importEnabled;
    QString transceiverAddress;
};

Shown shown(Windows &w)
{
    return {configOf(*w.main), reserveServersOf(*w.main).addressTexts(), PanelViewParts(*w.main).panelCountLabel->text(),
            MainParts(*w.main).importAction->isEnabled(), linkOf(*w.main).address()};
}

// A window in standalone mode holding a configuration of its own, to be overwritten (or not) by a load.
void fillBeforeLoad(Windows &w)
{
    TransceiverConfig c = TransceiverConfig::defaults(w.variant, false);
    c.factoryNumber = QStringLiteral("777");
    c.apn = QStringLiteral("before");
    c.serverIp = QStringLiteral("172.16.0.9");
    for (int k = 0; k < 5; ++k)
        c.reserveIps[std::size_t(k)] = *ipFromText(QStringLiteral("9.9.9.%1").arg(k + 1));
    c.panels = {row(QStringLiteral("0500"), QStringLiteral("5000"), 101, QStringLiteral("Type 101"), 9)};
    c.panels[0].slot = 4;
    fillWindow(w, c, {QStringLiteral("9.9.9.1"), QStringLiteral("9.9.9.2")});
    PanelViewParts(*w.main).panelCountLabel->setText(QStringLiteral("Количество объектов 1"));
}

} // namespace

class TestWindowFiles : public WindowTest {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> files_; // a fresh folder for every test

    QString path(const QString &name) const { return files_->filePath(name); }
    QString folder() const { return files_->path(); }

    // Saves a configuration from a fresh window of that program; empty on failure.
    QString saveFrom(const Variant &v, const QString &name, const QList<PanelRecord> &rows = savedRows())
    {
        Windows w(v, types_.path());
        w.start(2);
        TransceiverConfig c = savedConfig(v);
        c.panels = rows;
        fillWindow(w, c, {QStringLiteral("1.2.3.4"), QStringLiteral("5.6.7.8")});
        const QString target = path(name);
        w.prompts.expectSaveFile(target);
        MainParts(*w.main).saveAction->trigger();
        if (!w.prompts.problems().isEmpty())
            return QString();
        return QFile::exists(target) ? target : QString();
    }

private slots:
    void init()
    {
        files_ = std::make_unique<QTemporaryDir>();
        QVERIFY(files_->isValid());
    }

    // ---- Saving ------------------------------------------------------------------------------

    void saveWithoutSerialNumber_data() { variants(); }
    void saveWithoutSerialNumber()
    {
        const Variant &v = fetchVariant();
        Windows w(v, types_.path());
        w.start(2);
        TransceiverConfig c = savedConfig(v);
        c.factoryNumber.clear();
        showConfig(*w.main, c);
        // No file dialog follows: the script holds the box only.
        w.prompts.expectMessage(QStringLiteral("Конфигурирование"), QStringLiteral("Не определен заводской номер"));
        MainParts(*w.main).saveAction->trigger();
        QVERIFY_PROMPTS(w.prompts);
        QCOMPARE(w.prompts.records().size(), 1);
        QCOMPARE(w.prompts.last().icon, MessageIcon::Error);
        QCOMPARE(w.prompts.last().buttons, MessageButtons::Ok);
        QVERIFY(QDir(folder()).isEmpty());
    }

    void saveCancelled()
    {
        Windows w(Variant::mxr600r(), types_.path());
        w.start(2);
        showConfig(*w.main, savedConfig(Variant::mxr600r()));
        w.prompts.expectSaveFile(std::nullopt);
        MainParts(*w.main).saveAction->trigger();
        QVERIFY_PROMPTS(w.prompts);
        const FileRequest &asked = w.prompts.last().file;
        QCOMPARE(asked.proposedName, QStringLiteral("40213"));
        QCOMPARE(asked.defaultSuffix, QStringLiteral("kcf"));
        QCOMPARE(asked.filter, QStringLiteral("Файлы трансивера \"Талвир-MXR\" (*.kcf);;Все файлы (*.*)"));
        QVERIFY(QDir(folder()).isEmpty());
        // The write never ran: the commands are as they were.
        QVERIFY(MainParts(*w.main).saveAction->isEnabled());
        QVERIFY(MainParts(*w.main).loadAction->isEnabled());
    }

    void saveRefusedKeepsExistingFile_data()
    {
        QTest::addColumn<QString>("emptied");
        QTest::addColumn<QString>("message");
        QTest::newRow("APN") << "apnEdit" << "Не определен APN GPRS - канала";
        QTest::newRow("gateway") << "gatewayIpEdit" << "Не определен  IP - адрес шлюза";
        QTest::newRow("server port") << "serverPortEdit" << "Не определен IP - порт приемника";
    }
    void saveRefusedKeepsExistingFile()
    {
        QFETCH(QString, emptied);
        QFETCH(QString, message);
        const Variant &v = Variant::mxr600r();
        const QString target = path(QStringLiteral("kept.kcf"));
        const QByteArray before = QByteArray("TransP") + QByteArray(600, '\x5A');
        QVERIFY(writeFile(target, before));

        Windows w(v, types_.path());
        w.start(2);
        showConfig(*w.main, savedConfig(v));
        w.main->findChild<QLineEdit *>(emptied)->clear();
        w.prompts.expectSaveFile(target);
        w.prompts.expectMessage(QStringLiteral("Ошибка"), message);
        MainParts(*w.main).saveAction->trigger();
        QVERIFY_PROMPTS(w.prompts);
        QCOMPARE(readFile(target), before);
        QCOMPARE(QDir(folder()).entryList(QDir::Files), QStringList{QStringLiteral("kept.kcf")});
    }

    void saveWritesTheFile_data()
    {
        QTest::addColumn<QString>("variant");
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("settingsRecord"); // the record of the first settings frame
        QTest::addColumn<int>("settingsAddress");
        QTest::newRow("600r") << "600r" << 171744 << 28202 << 28200;
        QTest::newRow("duziv") << "duziv" << 87144 << 14102 << 14100;
    }
    void saveWritesTheFile()
    {
        QFETCH(QString, variant);
        QFETCH(int, size);
        QFETCH(int, settingsRecord);
        QFETCH(int, settingsAddress);
        const Variant &v = variantByName(variant);
        const QString target = path(QStringLiteral("40213.kcf"));
        // An existing file is replaced whole.
        QVERIFY(writeFile(target, QByteArray(200000, 'x')));

        Windows w(v, types_.path());
        w.start(2);
        TransceiverConfig c = savedConfig(v);
        c.panels = {row(QStringLiteral("0001"), QStringLiteral("1000"), 400, QStringLiteral("Type 400"), 0)};
        c.panels[0].phone1.clear();
        showConfig(*w.main, c);
        w.prompts.expectSaveFile(target);
        MainParts(*w.main).saveAction->trigger();
        QVERIFY_PROMPTS(w.prompts);

        const QByteArray file = readFile(target);
        QCOMPARE(file.size(), size);
        QCOMPARE(file.left(6), QByteArray("TransP"));
        // Record 2 is the first frame: slot 1 byte 0 (an empty phone1Edit) at address 0.
        QCOMPARE(file.mid(12, 6), QByteArray::fromHex("3B00000032F6"));
        const QByteArray settings = file.mid(settingsRecord * 6, 6);
        QCOMPARE(int(quint8(settings[1]) | quint8(settings[2]) << 8), settingsAddress);
        // The factory number 40213 = 0x9D15, at settings offset 14.
        QCOMPARE(quint8(file.at((settingsRecord + 14) * 6 + 3)), quint8(0x15));
        QCOMPARE(quint8(file.at((settingsRecord + 15) * 6 + 3)), quint8(0x9D));

        // No link: nothing can be written or read, the files and the link choice can.
        MainWindow &f = *w.main;
        verifyNoLinkCommands(f);
    }

    void saveIntoMissingFolder()
    {
        const Variant &v = Variant::mxrDuziv();
        Windows w(v, types_.path());
        w.start(2);
        showConfig(*w.main, savedConfig(v));
        const QString target = path(QStringLiteral("no such folder/40213.kcf"));
        w.prompts.expectSaveFile(target);
        w.prompts.expectMessage(QStringLiteral("Конфигурирование"), QString());
        MainParts(*w.main).saveAction->trigger();
        QVERIFY_PROMPTS(w.prompts);
        QCOMPARE(w.prompts.last().icon, MessageIcon::Error);
        QVERIFY2(w.prompts.last().text.contains(QStringLiteral("40213.kcf")), qPrintable(w.prompts.last().text));
        QVERIFY(!QFile::exists(target));
        QVERIFY(MainParts(*w.main).saveAction->isEnabled());
        QVERIFY(MainParts(*w.main).loadAction->isEnabled());
        QVERIFY(MainParts(*w.main).linkMenuAction->isEnabled());
    }

    // ---- Loading -----------------------------------------------------------------------------

    void saveThenLoad_data()
    {
        QTest::addColumn<QString>("saver");
        QTest::addColumn<QString>("loader");
        QTest::addColumn<bool>("importBefore"); // "Импорт" before the load
        QTest::addColumn<bool>("importAfter");
        QTest::newRow("600r") << "600r" << "600r" << false << true;
        QTest::newRow("duziv") << "duziv" << "duziv" << false << false;
        QTest::newRow("duziv, import on before") << "duziv" << "duziv" << true << true;
        // A 300-slot file in the 600-slot program: its settings lie 14100 lower.
        QTest::newRow("duziv file in 600r") << "duziv" << "600r" << false << true;
    }
    void saveThenLoad()
    {
        QFETCH(QString, saver);
        QFETCH(QString, loader);
        QFETCH(bool, importBefore);
        QFETCH(bool, importAfter);
        const Variant &from = variantByName(saver);
        const Variant &to = variantByName(loader);
        const QString file = saveFrom(from, QStringLiteral("40213.kcf"));
        QVERIFY(!file.isEmpty());

        Windows w(to, types_.path());
        w.start(2);
        fillBeforeLoad(w);
        MainParts(*w.main).importAction->setEnabled(importBefore);
        w.prompts.expectOpenFile(file);
        MainParts(*w.main).loadAction->trigger();
        QVERIFY_PROMPTS(w.prompts);
        const FileRequest &asked = w.prompts.last().file;
        QCOMPARE(asked.filter, QStringLiteral("Файлы трансивера \"Талвир-MXR (*.kcf);;Все файлы (*.*)"));
        QCOMPARE(asked.defaultSuffix, QStringLiteral("kcf"));

        const Shown after = shown(w);
        TransceiverConfig expected = savedConfig(to);
        expected.reserveIps.fill(0);
        expected.reserveIps[0] = *ipFromText(QStringLiteral("1.2.3.4"));
        expected.reserveIps[1] = *ipFromText(QStringLiteral("5.6.7.8"));
        // Sorted by object number, each with the slot it came from and the type list's name.
        QList<PanelRecord> rows = savedRows();
        rows[0].slot = 1;
        rows[1].slot = 2;
        rows[2].slot = 3;
        expected.panels = {rows[1], rows[2], rows[0]};
        // Taken from the file unchecked: the protocol code stays the stored one; the high byte of the
        // type code comes back as A_F.
        for (PanelRecord &r : expected.panels) {
            r.protocolCode = 3;
            r.alarmFlag = qint16(r.typeId >> 8);
        }
        const TransceiverConfig &got = after.config;
        QCOMPARE(got.factoryNumber, expected.factoryNumber);
        QCOMPARE(got.baudText, expected.baudText);
        QCOMPARE(got.testPeriod, expected.testPeriod);
        QCOMPARE(got.apn, expected.apn);
        QCOMPARE(got.serverIp, expected.serverIp);
        QCOMPARE(got.serverPort, expected.serverPort);
        QCOMPARE(got.localIp, expected.localIp);
        QCOMPARE(got.localPort, expected.localPort);
        QCOMPARE(got.gatewayIp, expected.gatewayIp);
        QCOMPARE(got.protocol, 1);
        QCOMPARE(got.conversion, 1);
        QCOMPARE(got.mode, 1);
        QCOMPARE(got.reserveIps, expected.reserveIps);
        QCOMPARE(got.panels.size(), expected.panels.size());
        for (int i = 0; i < expected.panels.size(); ++i)
            QCOMPARE(got.panels.at(i), expected.panels.at(i));
        QCOMPARE(after.reserveTexts, (QStringList{QStringLiteral("1.2.3.4"), QStringLiteral("5.6.7.8")}));
        QCOMPARE(after.counter, QStringLiteral("Количество объектов 3"));
        QCOMPARE(panelViewOf(*w.main)->currentRow(), 0);
        QCOMPARE(after.transceiverAddress, QStringLiteral("192.168.7.15"));
        QCOMPARE(after.importEnabled, importAfter);
    }

    void loadMarksUnknownTypes()
    {
        const Variant &v = Variant::mxr600r();
        QList<PanelRecord> rows = {row(QStringLiteral("0007"), QStringLiteral("0700"), 999, QString(), 1)};
        const QString file = saveFrom(v, QStringLiteral("unknown.kcf"), rows);
        QVERIFY(!file.isEmpty());
        Windows w(v, types_.path());
        w.start(2);
        w.prompts.expectOpenFile(file);
        MainParts(*w.main).loadAction->trigger();
        QVERIFY_PROMPTS(w.prompts);
        QCOMPARE(panelTableOf(*w.main)->rowCount(), 1);
        QCOMPARE(panelTableOf(*w.main)->row(0).typeId, qint16(999));
        QCOMPARE(panelTableOf(*w.main)->row(0).typeName, QStringLiteral("Тип ППК не определен"));
    }

    // The window writes what it shows, not the file it loaded: rows in table order, settings bytes
    // from its controls. kcftool write sends a file's frames as they are (test_kcftool_usb).
    void windowReencodesALoadedFile()
    {
        const Variant &v = Variant::mxr600r();
        const QString loaded = saveFrom(v, QStringLiteral("loaded.kcf")); // slots 1..3: 0030, 0001, 0002
        QVERIFY(!loaded.isEmpty());
        QByteArray file = readFile(loaded);
        const int settings = 28200;
        const int at86 = 6 * (2 + settings + 86); // the record of the constant 9999 (0x270F, low byte first)
        QCOMPARE(file.mid(at86 + 3, 1), QByteArray("\x0F"));
        file.replace(at86, 6, record(settings + 86, 0x55));
        QVERIFY(writeFile(loaded, file));

        Windows w(v, types_.path());
        w.start(2);
        w.prompts.expectOpenFile(loaded);
        MainParts(*w.main).loadAction->trigger();
        const QString again = path(QStringLiteral("again.kcf"));
        w.prompts.expectSaveFile(again);
        MainParts(*w.main).saveAction->trigger();
        QVERIFY_PROMPTS(w.prompts);

        const QByteArray written = readFile(again);
        QCOMPARE(written.size(), file.size());
        const auto objOfSlot1 = [](const QByteArray &f) {
            QByteArray obj;
            for (int k = 0; k < 4; ++k)
                obj += f.at(6 * (2 + 30 + k) + 3); // slot 1, object number at byte 30
            return obj;
        };
        QCOMPARE(objOfSlot1(file), QByteArray("0030"));
        QCOMPARE(objOfSlot1(written), QByteArray("0001"));
        QCOMPARE(written.mid(at86 + 3, 1), QByteArray("\x0F"));
    }

    // Open and save start where the technician last took a file; save still proposes the number.
    void dialogsStartInTheLastFolder()
    {
        const Variant &v = Variant::mxr600r();
        const QString saved = saveFrom(v, QStringLiteral("first.kcf"));
        QVERIFY(!saved.isEmpty());

        Windows w(v, types_.path());
        w.start(2);
        w.prompts.expectOpenFile(saved);
        MainParts(*w.main).loadAction->trigger();
        QCOMPARE(w.prompts.last().file.folder, folder());

        QVERIFY(QDir(folder()).mkdir(QStringLiteral("site")));
        w.prompts.expectSaveFile(path(QStringLiteral("site/second.kcf")));
        MainParts(*w.main).saveAction->trigger();
        QCOMPARE(w.prompts.last().file.folder, folder());
        QCOMPARE(w.prompts.last().file.proposedName, SettingsParts(*w.main).factoryNumberEdit->text());

        w.prompts.expectOpenFile(std::nullopt);
        MainParts(*w.main).loadAction->trigger();
        QCOMPARE(w.prompts.last().file.folder, path(QStringLiteral("site")));
        QVERIFY_PROMPTS(w.prompts);
    }

    void loadCancelled()
    {
        Windows w(Variant::mxr600r(), types_.path());
        w.start(2);
        fillBeforeLoad(w);
        const Shown before = shown(w);
        w.prompts.expectOpenFile(std::nullopt);
        MainParts(*w.main).loadAction->trigger();
        QVERIFY_PROMPTS(w.prompts);
        const Shown after = shown(w);
        QVERIFY(after.counter.isEmpty());
        QCOMPARE(after.config, before.config);
        QCOMPARE(after.reserveTexts, before.reserveTexts);
        QCOMPARE(after.importEnabled, before.importEnabled);
        QCOMPARE(after.transceiverAddress, before.transceiverAddress);
    }

    void loadOfAForeignFile_data()
    {
        QTest::addColumn<QString>("variant");
        QTest::addColumn<QByteArray>("content"); // empty with missing: no file at all
        QTest::addColumn<bool>("missing");
        QTest::addColumn<int>("answer");
        const QByteArray frames = record(28202, 10).repeated(4);
        QTest::newRow("empty file") << "600r" << QByteArray() << false << int(MessageAnswer::Yes);
        QTest::newRow("no such file") << "600r" << QByteArray() << true << int(MessageAnswer::No);
        QTest::newRow("T but not rans") << "600r" << QByteArray("TrxnsP") + frames << false << int(MessageAnswer::Yes);
        QTest::newRow("shorter than a record") << "duziv" << QByteArray("Trans") << false << int(MessageAnswer::No);
        QTest::newRow("text file") << "duziv" << QByteArray("hello, world\n").repeated(20) << false
                                   << int(MessageAnswer::Yes);
        // A 600-slot file that lost its tail is no program's file: refused, not read as 300 slots.
        QTest::newRow("28621 records") << "600r" << FileBuilder().fillTo(28621).bytes << false << int(MessageAnswer::No);
    }
    void loadOfAForeignFile()
    {
        QFETCH(QString, variant);
        QFETCH(QByteArray, content);
        QFETCH(bool, missing);
        QFETCH(int, answer);
        const QString file = path(QStringLiteral("foreign.kcf"));
        if (!missing)
            QVERIFY(writeFile(file, content));
        Windows w(variantByName(variant), types_.path());
        w.start(2);
        fillBeforeLoad(w);
        const Shown before = shown(w);
        w.prompts.expectOpenFile(file);
        w.prompts.expectMessage(kLoadTitle, kFormatText, MessageAnswer(answer));
        MainParts(*w.main).loadAction->trigger();
        QVERIFY_PROMPTS(w.prompts);
        QCOMPARE(w.prompts.last().icon, MessageIcon::Warning);
        QCOMPARE(w.prompts.last().buttons, MessageButtons::YesNo);
        const Shown after = shown(w);
        QVERIFY(after.counter.isEmpty());
        QCOMPARE(after.config, before.config);
        QCOMPARE(after.reserveTexts, before.reserveTexts);
        QCOMPARE(after.importEnabled, before.importEnabled);
    }

    void duzivRefusesA600SlotFile()
    {
        const QString file = saveFrom(Variant::mxr600r(), QStringLiteral("big.kcf"));
        QVERIFY(!file.isEmpty());
        Windows w(Variant::mxrDuziv(), types_.path());
        w.start(2);
        fillBeforeLoad(w);
        const Shown before = shown(w);
        w.prompts.expectOpenFile(file);
        w.prompts.expectMessage(kLoadTitle, kFormatText, MessageAnswer::No);
        MainParts(*w.main).loadAction->trigger();
        QVERIFY_PROMPTS(w.prompts);
        QCOMPARE(shown(w).config, before.config);
        QCOMPARE(shown(w).reserveTexts, before.reserveTexts);
    }

    void loadCutShort_data()
    {
        QTest::addColumn<QString>("variant");
        QTest::addColumn<bool>("settingsFirst"); // settings and reserve records ahead of the panel block
        QTest::newRow("600r, cut in the panel block") << "600r" << false;
        QTest::newRow("duziv, cut in the panel block") << "duziv" << false;
        QTest::newRow("600r, settings first") << "600r" << true;
        QTest::newRow("duziv, settings first") << "duziv" << true;
    }
    void loadCutShort()
    {
        QFETCH(QString, variant);
        QFETCH(bool, settingsFirst);
        const Variant &v = variantByName(variant);
        // A short file is a 300-slot file in both programs: its settings lie at 14100 + offset.
        const int base = 14100;
        QByteArray content = QByteArray("TransP") + QByteArray(6, '\0');
        if (settingsFirst) {
            content += addressRecords(base + 2, {10, 1, 1, 9});            // server address
            content += addressRecords(base + 102, {1, 2, 3, 4, 0, 0, 0, 0}); // reserve entries 1, 2
            content += addressRecords(base + 110, QList<int>(312, 0));
            content += addressRecords(base + 6, {192, 168, 5, 5});         // local address
        }
        // The panel block begins but ends after 1000 of its records.
        for (int k = 0; k < 1000; ++k)
            content += record(k, k % 47 == 26 ? '1' : 0);
        const QString file = path(QStringLiteral("cut.kcf"));
        QVERIFY(writeFile(file, content));

        Windows w(v, types_.path());
        w.start(2);
        fillBeforeLoad(w);
        const Shown before = shown(w);
        w.prompts.expectOpenFile(file);
        w.prompts.expectMessage(kLoadTitle, kFatalText);
        MainParts(*w.main).loadAction->trigger();
        QVERIFY_PROMPTS(w.prompts);
        QCOMPARE(w.prompts.last().icon, MessageIcon::Error);
        QCOMPARE(w.prompts.last().buttons, MessageButtons::Ok);

        const Shown after = shown(w);
        QCOMPARE(after.config.panels, before.config.panels);
        QVERIFY(after.counter.isEmpty());
        QCOMPARE(after.importEnabled, before.importEnabled);
        // The stored entries are taken from the list only by a load that succeeds.
        QCOMPARE(after.config.reserveIps, before.config.reserveIps);
        QCOMPARE(after.config.apn, before.config.apn);
        if (settingsFirst) {
            QCOMPARE(after.config.serverIp, QStringLiteral("10.1.1.9"));
            QCOMPARE(after.config.localIp, QStringLiteral("192.168.5.5"));
            QCOMPARE(after.transceiverAddress, QStringLiteral("192.168.5.5"));
            QCOMPARE(after.reserveTexts, (QStringList{QStringLiteral("1.2.3.4")}));
        } else {
            QCOMPARE(after.config.serverIp, before.config.serverIp);
            QCOMPARE(after.transceiverAddress, before.transceiverAddress);
            QVERIFY(after.reserveTexts.isEmpty());
        }
    }
};

QTEST_MAIN(TestWindowFiles)
#include "test_window_files.moc"
