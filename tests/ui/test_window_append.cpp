// "Импорт" in MXR_600r's standalone mode: the panels of another configuration file appended to the
// panel table, as the window binds the decoded file (the decoding itself is pinned in tests/files).
#include "gui_fixture.h"

#include "files/kcf_builder.h"
#include "tables/panel_table.h"
#include "ui/panel_table_view.h"

#include <QLabel>

using namespace guitest;

namespace {

const QString kQuestionTitle = QStringLiteral("Загрузка списка объектов");
const QString kQuestion = QStringLiteral("Будем добавлять из файла?");
const QString kLoadTitle = QStringLiteral("Загрузка конфигурации");

QList<PanelRecord> rowsBefore(int n)
{
    QList<PanelRecord> rows;
    for (int i = 0; i < n; ++i) {
        PanelRecord r;
        r.obj = QStringLiteral("%1").arg(i, 4, 10, QLatin1Char('0'));
        r.account = QStringLiteral("0001");
        r.slot = i + 1;
        rows.append(r);
    }
    return rows;
}

// A 300-slot file whose slots in `used` hold a panel.
QByteArray fileWithSlots(const QList<int> &used)
{
    QMap<int, QByteArray> used_;
    for (int s : used)
        used_.insert(s, slotWith("0120", 24));
    return FileBuilder().panels(300, used_).fillTo(14522).bytes;
}

} // namespace

class TestWindowAppend : public WindowTest {
    Q_OBJECT

private slots:
    void append_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("question");  // the answer
        QTest::addColumn<bool>("picked");   // the open dialog returns the file
        QTest::addColumn<int>("times");
        QTest::addColumn<QString>("box");   // title of the box after the dialog, empty for none
        QTest::addColumn<QStringList>("recNmbs"); // "№" of the rows added, in table order
        const QByteArray slots1and4 = fileWithSlots({1, 4});
        QTest::newRow("No to the question") << 3 << slots1and4 << int(MessageAnswer::No) << false << 1 << ""
                                            << QStringList();
        QTest::newRow("dialog cancelled") << 3 << slots1and4 << int(MessageAnswer::Yes) << false << 1 << ""
                                          << QStringList();
        QTest::newRow("slots 1 and 4 after 3 rows, twice")
            << 3 << slots1and4 << int(MessageAnswer::Yes) << true << 2 << "" << QStringList({"4", "7", "6", "9"});
        QTest::newRow("T but not Trans") << 3 << QByteArray("TrxnsP") + slots1and4.mid(6) << int(MessageAnswer::Yes)
                                         << true << 1 << kLoadTitle << QStringList();
        QTest::newRow("no record addressed 0") << 3 << FileBuilder().fillTo(100).bytes << int(MessageAnswer::Yes)
                                               << true << 1 << "" << QStringList();
        QList<int> hundred;
        for (int s = 1; s <= 100; ++s)
            hundred << s;
        QStringList fifty;
        for (int s = 1; s <= 50; ++s)
            fifty << QString::number(550 + s);
        QTest::newRow("550 rows and 100 panels") << 550 << fileWithSlots(hundred) << int(MessageAnswer::Yes) << true
                                                 << 1 << "Ошибка выбора ППК" << fifty;
    }
    void append()
    {
        QFETCH(int, rows);
        QFETCH(QByteArray, file);
        QFETCH(int, question);
        QFETCH(bool, picked);
        QFETCH(int, times);
        QFETCH(QString, box);
        QFETCH(QStringList, recNmbs);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("other.kcf"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(file) == file.size());
        f.close();

        Windows w(Variant::mxr600r(), types_.path());
        w.start(2);
        MainParts(*w.main).importAction->setEnabled(true); // as after the first load
        PanelTable &table = *panelTableOf(*w.main);
        table.setRows(rowsBefore(rows));
        for (int i = 0; i < times; ++i) {
            w.prompts.expectMessage(kQuestionTitle, kQuestion, MessageAnswer(question));
            if (MessageAnswer(question) == MessageAnswer::Yes)
                w.prompts.expectOpenFile(picked ? std::optional<QString>(path) : std::nullopt);
            if (!box.isEmpty())
                w.prompts.expectMessage(box, QString(), MessageAnswer::Yes);
            MainParts(*w.main).importAction->trigger();
            QVERIFY_PROMPTS(w.prompts);
        }
        if (box == kLoadTitle)
            QCOMPARE(w.prompts.last().icon, MessageIcon::Error);
        if (!box.isEmpty() && box != kLoadTitle)
            QVERIFY(w.prompts.last().text.startsWith(QStringLiteral("Превышение допустимого числа ППК")));

        QStringList added;
        for (const PanelRecord &r : table.rows())
            if (r.slot && *r.slot > rows)
                added << QString::number(*r.slot);
        QCOMPARE(added, recNmbs);
        QCOMPARE(table.rowCount(), rows + recNmbs.size());
        QCOMPARE(table.isAttached(Dataset::Hook::BeforePost), true);
        const bool counted = picked && box != kLoadTitle;
        QCOMPARE(PanelViewParts(*w.main).panelCountLabel->text(),
                 counted ? panelCountText(table.rowCount()) : QString());
    }

    // A row being typed that the row check refuses: its message, then the append goes on without
    // that row, as the console import does in add mode.
    void halfTypedRowIsLeftOut()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("other.kcf"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(fileWithSlots({1, 4})) > 0);
        f.close();
        Windows w(Variant::mxr600r(), types_.path());
        w.start(2);
        MainParts(*w.main).importAction->setEnabled(true);
        PanelTable &table = *panelTableOf(*w.main);
        table.setRows(rowsBefore(3));
        table.insert();
        table.setFieldValue(PanelTable::Obj, QStringLiteral("12")); // not the 4 digits the check wants

        w.prompts.expectMessage(kQuestionTitle, kQuestion, MessageAnswer::Yes);
        w.prompts.expectOpenFile(path);
        w.prompts.expectMessage(QStringLiteral("Ошибка"), QString());
        MainParts(*w.main).importAction->trigger();
        QVERIFY_PROMPTS(w.prompts);
        QCOMPARE(table.state(), Dataset::State::Browse);
        QCOMPARE(table.rowCount(), 5);
        for (const PanelRecord &r : table.rows())
            QVERIFY(r.obj != QStringLiteral("12"));
    }
};

QTEST_MAIN(TestWindowAppend)
#include "test_window_append.moc"
