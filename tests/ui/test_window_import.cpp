// Console mode's "Импорт": the object list window over real Paradox tables (written by pxlib into a
// temporary console, or the demo console the build makes), the import into the panel table, and the
// imported rows written to the simulated transceiver.
#include "link_window_fixture.h"

#include "console/console_aliases.h"
#include "console/console_import.h"
#include "console/console_tables.h"
#include "image/config_writer.h"
#include "tables/panel_table.h"
#include "ui/dataset_navigator.h"
#include "ui/panel_table_view.h"
#include "ui/settings_panel.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QToolButton>

using namespace guitest;
using namespace dbtest;

namespace {

const QString kDuplicateTitle = QStringLiteral("Дублирование номера ППК");

// Every file under dir with a hash of its bytes.
QMap<QString, QByteArray> snapshot(const QString &dir)
{
    QMap<QString, QByteArray> out;
    QDirIterator it(dir, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile f(it.next());
        if (f.open(QIODevice::ReadOnly))
            out.insert(f.fileName(), QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha1));
    }
    return out;
}

// A console of five objects (1, 2, 3, 10, 11) on transceiver 777; object 2 has three panels, the
// others one each; object 3's panel repeats object 1's account.
void writeSmallConsole(const QString &folder)
{
    QList<QVariantList> objects, links, panels;
    for (int id : {1, 2, 3, 10, 11}) {
        objects.append({id, QStringLiteral("Объект %1").arg(id), true});
        links.append({id, QStringLiteral("N777"), 1});
    }
    panels.append({1, QStringLiteral("0001"), 101, false, QString(), QString(), 10, true});
    for (const char *account : {"0021", "0022", "0023"})
        panels.append({2, QLatin1String(account), 101, false, QString(), QString(), 10, true});
    panels.append({3, QStringLiteral("0001"), 101, false, QString(), QString(), 20, true});
    panels.append({10, QStringLiteral("0100"), 101, false, QString(), QString(), 10, true});
    panels.append({11, QStringLiteral("0110"), 101, false, QString(), QString(), 10, true});
    DBTEST_WRITE(folder + "/ObjList.db", objListFields(), objects);
    DBTEST_WRITE(folder + "/TrnObj.db", trnObjFields(), links);
    DBTEST_WRITE(folder + "/CentralList.db", centralListFields(), panels);
    DBTEST_WRITE(folder + "/CentralType.db", centralTypeFields(), (QList<QVariantList>{{101, QStringLiteral("Type 101")}}));
}

} // namespace

class TestWindowImport : public WindowTest {
    Q_OBJECT

    QTemporaryDir settings_;
    QTemporaryDir console_;

    // The main window in console mode on the small console, factory number 777.
    void startOnSmallConsole(Windows &w)
    {
        if (!QFile::exists(console_.filePath(QStringLiteral("ObjList.db"))))
            writeSmallConsole(console_.path());
        QVERIFY(writeAliasFile(settings_.path(), "[Aliases]\nTraficDB=" + console_.path().toUtf8() +
                                                     "\nEditDB=" + console_.path().toUtf8() + "\n"));
        w.start(1);
        SettingsParts(*w.main).factoryNumberEdit->setText(QStringLiteral("777"));
    }

private slots:
    void cleanup() { noDemoConsole(); }

    // Lines sorted as text (1, 10, 11, 2, 3); Shift+End on the third line ticks lines 3 to 5; the
    // status line counts clicks and the buttons, not the keyboard.
    void listAndTicking()
    {
        Windows w(Variant::mxr600r(), types_.path());
        startOnSmallConsole(w);
        MainParts(*w.main).importAction->trigger();
        ObjectListDialog &d = *w.objectList;
        QVERIFY(d.isVisible());
        QStringList lines;
        for (int i = 0; i < ObjectListParts(d).objectList->count(); ++i)
            lines << ObjectListParts(d).objectList->item(i)->text();
        QCOMPARE(lines, QStringList({"1, Объект 1", "10, Объект 10", "11, Объект 11", "2, Объект 2", "3, Объект 3"}));
        QCOMPARE(ObjectListParts(d).totalLabel->text(), QStringLiteral("Всего объектов - 5"));
        QCOMPARE(ObjectListParts(d).totalLabel->font().family(), QStringLiteral("Times New Roman"));
        ObjectListParts(d).objectList->setCurrentRow(2);
        QTest::keyClick(ObjectListParts(d).objectList, Qt::Key_End, Qt::ShiftModifier);
        QList<bool> ticked;
        for (int i = 0; i < ObjectListParts(d).objectList->count(); ++i)
            ticked << (ObjectListParts(d).objectList->item(i)->checkState() == Qt::Checked);
        QCOMPARE(ticked, QList<bool>({false, false, true, true, true}));
        QCOMPARE(ObjectListParts(d).selectedLabel->text(), QStringLiteral("Выбрано объектов - 0"));
        ObjectListParts(d).selectAllButton->click();
        QCOMPARE(ObjectListParts(d).selectedLabel->text(), QStringLiteral("Выбрано объектов - 5"));
        ObjectListParts(d).unselectAllButton->click();
        QCOMPARE(ObjectListParts(d).selectedLabel->text(), QStringLiteral("Выбрано объектов - 0"));
    }

    // Replace mode keeps the rows until the import runs: a list closed without "Выполнить" (Escape or
    // its close button) leaves the table as it was, rows, order and current row; the counter tells the
    // rows there are. Opening the list again while it is open keeps its ticks and the table.
    void replaceModeKeepsRowsUntilItRuns_data()
    {
        QTest::addColumn<bool>("escape");
        QTest::newRow("Escape") << true;
        QTest::newRow("close button") << false;
    }
    void replaceModeKeepsRowsUntilItRuns()
    {
        QFETCH(bool, escape);
        Windows w(Variant::mxr600r(), types_.path());
        startOnSmallConsole(w);
        QList<PanelRecord> rows;
        for (const char *n : {"0009", "0002", "0005"}) {
            PanelRecord r;
            r.obj = r.account = QString::fromLatin1(n);
            rows << r;
        }
        PanelTable &table = *panelTableOf(*w.main);
        table.setRows(rows);
        table.moveTo(1);
        MainParts(*w.main).importAction->trigger();
        ObjectListDialog &d = *w.objectList;
        QVERIFY(d.isVisible());
        QCOMPARE(table.rows(), rows);
        ObjectListParts(d).objectList->item(1)->setCheckState(Qt::Checked);
        MainParts(*w.main).importAction->trigger(); // again, while open
        QCOMPARE(ObjectListParts(d).objectList->item(1)->checkState(), Qt::Checked);
        QCOMPARE(table.rows(), rows);

        if (escape)
            QTest::keyClick(&d, Qt::Key_Escape);
        else
            d.close();
        QVERIFY(!d.isVisible());
        QCOMPARE(table.rows(), rows);
        QCOMPARE(table.currentRow(), 1);
        QVERIFY(table.isAttached(Dataset::Hook::BeforePost));
        QVERIFY(table.isAttached(Dataset::Hook::AfterPost));
        QVERIFY_PROMPTS(w.prompts);
    }

    // "Выполнить" with nothing ticked closes the window and leaves replace mode's table empty; the
    // row check is attached again when the window closes.
    void runWithNothingTicked()
    {
        Windows w(Variant::mxr600r(), types_.path());
        startOnSmallConsole(w);
        PanelRecord old;
        old.obj = old.account = QStringLiteral("0009");
        panelTableOf(*w.main)->setRows({old});
        MainParts(*w.main).importAction->trigger();
        ObjectListParts(*w.objectList).runButton->click();
        QVERIFY(!w.objectList->isVisible());
        QCOMPARE(panelTableOf(*w.main)->rowCount(), 0);
        QVERIFY(panelTableOf(*w.main)->isAttached(Dataset::Hook::BeforePost));
        QVERIFY(panelTableOf(*w.main)->isAttached(Dataset::Hook::AfterPost));
    }

    // A duplicate answered No keeps the old row, and the object's line stays ticked; the limit stops
    // the import after the rows that fit, the window staying open.
    void duplicateAndLimit()
    {
        Windows w(Variant::mxr600r(), types_.path());
        startOnSmallConsole(w);
        MainParts(*w.main).importAction->trigger();
        ObjectListDialog &d = *w.objectList;
        ObjectListParts(d).objectList->item(0)->setCheckState(Qt::Checked); // object 1: 0001
        ObjectListParts(d).objectList->item(4)->setCheckState(Qt::Checked); // object 3: 0001 again
        w.prompts.expectMessage(kDuplicateTitle, QStringLiteral("ППК № 0001, объект № 3 уже существует. Перезаписать?"),
                                MessageAnswer::No);
        ObjectListParts(d).runButton->click();
        QVERIFY_PROMPTS(w.prompts);
        PanelTable &table = *panelTableOf(*w.main);
        QCOMPARE(table.rowCount(), 1);
        QCOMPARE(table.row(0).testWait, 10);
        QCOMPARE(table.row(0).slot, std::optional<qint32>(0));
        QCOMPARE(ObjectListParts(d).objectList->item(4)->checkState(), Qt::Checked);
        QCOMPARE(PanelViewParts(*w.main).panelCountLabel->text(), QStringLiteral("O\u0431\u044a\u0435\u043a\u0442\u043e\u0432 1"));

        // Add mode into 599 rows: object 2's three panels give one row, then the limit box.
        QList<PanelRecord> full;
        for (int n = 0; n < 599; ++n) {
            PanelRecord r;
            r.obj = QStringLiteral("%1").arg(n, 4, 10, QLatin1Char('0'));
            r.account = QStringLiteral("9999");
            full.append(r);
        }
        table.setRows(full);
        table.first();
        PanelViewParts(*w.main).panelNavigator->button(DatasetNavigator::Insert)->click();
        QVERIFY(d.isVisible());
        ObjectListParts(d).objectList->item(3)->setCheckState(Qt::Checked); // object 2
        w.prompts.expectMessage(QStringLiteral("Ошибка выбора ППК"), QStringLiteral("Превышение допустимого числа ППК"));
        ObjectListParts(d).runButton->click();
        QVERIFY_PROMPTS(w.prompts);
        QCOMPARE(w.prompts.last().icon, MessageIcon::None);
        QCOMPARE(table.rowCount(), 600);
        QVERIFY(d.isVisible());
    }

    // The demo console, as a fresh build runs it: console mode, 12345, every object, and a write to
    // the simulated transceiver. The console's files stay byte for byte as they were, with nothing
    // new beside them.
    void demoConsoleToTheTransceiver()
    {
        const Variant &v = Variant::mxr600r();
        QVERIFY(writeAliasFile(settings_.path() + QStringLiteral("/none"), QByteArray())); // no console installed
        QFile::remove(settings_.path() + QStringLiteral("/none/Talvir/console.ini"));
        useDemoConsole(QStringLiteral(TALVIR_BIN_DIR));
        const QString demo = QStringLiteral(TALVIR_BIN_DIR "/demo_console");
        const QMap<QString, QByteArray> before = snapshot(demo);
        QVERIFY(before.size() >= 4);

        // The rows the mapping gives, with every duplicate answered Yes (the later panel replaces).
        ConsoleImport import(v);
        QVERIFY2(import.openObjectList(12345), qPrintable(import.error()));
        QList<PanelRecord> expected;
        int duplicates = 0;
        for (int i = 0; i < import.objects().size(); ++i) {
            QList<ConsolePanel> panels;
            QVERIFY(import.panelsOf(import.objects().at(i).id, panels));
            for (const ConsolePanel &p : panels) {
                const std::optional<PanelRecord> row = panelRecordFrom(p, i, v);
                if (!row)
                    continue;
                const auto same = std::find_if(expected.begin(), expected.end(),
                                               [&](const PanelRecord &r) { return r.account == p.account; });
                if (same != expected.end()) {
                    expected.erase(same);
                    ++duplicates;
                }
                expected.append(*row);
            }
        }
        import.close();
        QVERIFY(duplicates > 0);

        SimRig rig(v);
        QVERIFY2(rig.startUdp(), qPrintable(rig.error));
        LinkWindows w(v, types_.path(), loopbackLink(rig.sim.udpPort()));
        w.main->setStartupChooser([] { return 1; });
        w.main->show();
        TransceiverConfig settings = validConfig(v);
        settings.mode = -1;
        showConfig(*w.main, settings);
        MainParts(*w.main).importAction->trigger();
        ObjectListParts(*w.objectList).selectAllButton->click();
        for (int k = 0; k < duplicates; ++k)
            w.prompts.expectMessage(kDuplicateTitle, QString(), MessageAnswer::Yes);
        ObjectListParts(*w.objectList).runButton->click();
        QVERIFY_PROMPTS(w.prompts);
        QVERIFY(!w.objectList->isVisible());
        QCOMPARE(panelTableOf(*w.main)->rows(), expected);

        QVERIFY(bringLanUp(w));
        w.prompts.expectMessage(QStringLiteral("Конфигурирование трансивера"),
                                QStringLiteral("Запись конфигурации трансивера № 12345 выполнена"));
        MainParts(*w.main).writeButton->click();
        QVERIFY_PROMPTS(w.prompts);
        TransceiverConfig written = configOf(*w.main);
        written.panels = expected;
        ConfigImage image(v);
        QVERIFY(!fillImage(image, written, modeControlEnabled(written, v)));
        QCOMPARE(rig.sim.memory().bytes(), QByteArray(reinterpret_cast<const char *>(image.data()), image.size()));
        QCOMPARE(snapshot(demo), before);
    }
};

QTEST_MAIN(TestWindowImport)
#include "test_window_import.moc"
