// The panel table as the technician edits it: the boxes bound to the current row, the navigator and
// its follow-up, the row check, the type selector, the capacity and emptying the table.
#include "gui_fixture.h"

#include "tables/panel_table.h"
#include "ui/dataset_navigator.h"
#include "ui/panel_table_view.h"
#include "ui/settings_panel.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QToolButton>

using namespace guitest;

namespace {

struct Table {
    Windows &w;
    PanelTableView &v;
    PanelTable &t;
    PanelViewParts p;

    explicit Table(Windows &windows)
        : w(windows), v(*panelViewOf(*windows.main)), t(*panelTableOf(*windows.main)), p(*windows.main) {}

    void press(DatasetNavigator::Button b) { p.panelNavigator->button(b)->click(); }
    void type(QLineEdit *box, const QString &text)
    {
        box->setFocus();
        QTest::keyClicks(box, text);
    }
    // Insert, the two numbers, Post.
    void addRow(const QString &obj, const QString &account)
    {
        press(DatasetNavigator::Insert);
        type(p.objectEdit, obj);
        type(p.accountEdit, account);
        press(DatasetNavigator::Post);
    }
    QStringList column(int field) const
    {
        QStringList out;
        for (int r = 0; r < t.rowCount(); ++r)
            out << t.index(r, field).data().toString();
        return out;
    }
    void fill(int rows)
    {
        QList<PanelRecord> records;
        for (int n = 0; n < rows; ++n) {
            PanelRecord r;
            r.obj = QStringLiteral("%1").arg(n, 4, 16, QLatin1Char('0')).toUpper();
            r.account = QStringLiteral("0001");
            records.append(r);
        }
        t.setRows(records);
    }
};

} // namespace

class TestPanelTable : public WindowTest {
    Q_OBJECT

private slots:
    // The check runs on Post: the object number first, then the panel number; a refused new row
    // disappears and the box that lacks its number gets the focus.
    void rowCheck_data()
    {
        QTest::addColumn<QString>("obj");
        QTest::addColumn<QString>("account");
        QTest::addColumn<QString>("message");
        QTest::newRow("3-character object") << "012" << "0001" << "Не опрелен номер объекта!";
        QTest::newRow("both missing: object only") << "" << "" << "Не опрелен номер объекта!";
        QTest::newRow("3-character panel") << "0001" << "01" << "Не опрелен номер ППК!";
        QTest::newRow("00A1 accepted") << "00A1" << "0120" << "";
    }
    void rowCheck()
    {
        QFETCH(QString, obj);
        QFETCH(QString, account);
        QFETCH(QString, message);
        Windows w(Variant::mxr600r(), types_.path());
        w.start(2);
        Table t(w);
        if (!message.isEmpty())
            w.prompts.expectMessage(QStringLiteral("Ошибка"), message);
        t.addRow(obj, account);
        QVERIFY_PROMPTS(w.prompts);
        QCOMPARE(t.t.rowCount(), message.isEmpty() ? 1 : 0);
        QCOMPARE(t.t.state(), Dataset::State::Browse);
        if (message.isEmpty()) {
            QCOMPARE(t.t.row(0).obj, obj);
            QCOMPARE(t.p.panelCountLabel->text(), QStringLiteral("Количество объектов 1"));
            return;
        }
        QCOMPARE(w.prompts.last().icon, MessageIcon::Error);
        const bool objectMissing = message.contains(QStringLiteral("объекта"));
        QCOMPARE(w.main->focusWidget(), objectMissing ? t.p.objectEdit : t.p.accountEdit);
    }

    // A refused change gets its stored values back; Cancel does the same without a word.
    void refusedOrCancelledChangeRestoresTheRow()
    {
        Windows w(Variant::mxr600r(), types_.path());
        w.start(2);
        Table t(w);
        t.addRow(QStringLiteral("0001"), QStringLiteral("0002"));
        t.p.objectEdit->selectAll();
        QTest::keyClick(t.p.objectEdit, Qt::Key_Backspace);
        QCOMPARE(t.t.state(), Dataset::State::Edit);
        w.prompts.expectMessage(QStringLiteral("Ошибка"), QStringLiteral("Не опрелен номер объекта!"));
        t.press(DatasetNavigator::Post);
        QVERIFY_PROMPTS(w.prompts);
        QCOMPARE(t.t.row(0).obj, QStringLiteral("0001"));
        QCOMPARE(t.p.objectEdit->text(), QStringLiteral("0001"));

        t.type(t.p.phone1Edit, QStringLiteral("+380"));
        t.press(DatasetNavigator::Cancel);
        QCOMPARE(t.t.row(0).phone1, QString());
        QCOMPARE(t.p.phone1Edit->text(), QString());
    }

    // Every post sorts by object number (letter case ignored); "№" stays with its row, and the
    // row just stored stays current.
    void postedRowsAreSorted()
    {
        Windows w(Variant::mxr600r(), types_.path());
        w.start(2);
        Table t(w);
        PanelRecord loaded;
        loaded.obj = QStringLiteral("000b");
        loaded.account = QStringLiteral("0001");
        loaded.slot = 9;
        t.t.setRows({loaded});
        for (const char *obj : {"0005", "0002", "0010"})
            t.addRow(QLatin1String(obj), QStringLiteral("0001"));
        QCOMPARE(t.column(PanelTable::Obj), QStringList({"0002", "0005", "000b", "0010"}));
        QCOMPARE(t.column(PanelTable::RecNmb), QStringList({"", "", "9", ""}));
        QCOMPARE(t.t.currentRow(), 3);
        QCOMPARE(t.p.panelGrid->currentIndex().row(), 3);
        QCOMPARE(t.p.objectEdit->text(), QStringLiteral("0010"));
    }

    // Moving to another row stores the row being typed through the check; a click on a row goes
    // to that row wherever the sort put the stored one.
    void movingStoresThePendingRow()
    {
        Windows w(Variant::mxr600r(), types_.path());
        w.start(2);
        Table t(w);
        t.fill(3); // 0000, 0001, 0002
        t.t.first();
        t.p.objectEdit->selectAll();
        t.type(t.p.objectEdit, QStringLiteral("0009"));
        t.p.panelGrid->selectRow(2); // "0002
        QCOMPARE(t.column(PanelTable::Obj), QStringList({"0001", "0002", "0009"}));
        QCOMPARE(t.p.objectEdit->text(), QStringLiteral("0002"));
        QCOMPARE(t.t.state(), Dataset::State::Browse);
    }

    // Insert at 599 rows makes 600; at 600 the limit box, the insertion abandoned (duziv: 300).
    void capacity_data()
    {
        QTest::addColumn<QString>("variant");
        QTest::addColumn<int>("consoleMode");
        QTest::newRow("600r") << "600r" << 0;
        QTest::newRow("duziv") << "duziv" << 0;
        QTest::newRow("600r console") << "600r" << 1;
    }
    void capacity()
    {
        QFETCH(QString, variant);
        QFETCH(int, consoleMode);
        const Variant &v = variantByName(variant);
        Windows w(v, types_.path());
        w.start(2);
        Table t(w);
        panelEditingOf(*t.w.main).setConsoleMode(consoleMode);
        t.fill(v.maxPanels - 1);
        t.t.last();
        if (consoleMode) // the insertion stays open to be filled by hand
            w.prompts.expectMessage(QStringLiteral("Загрузка списка объектов"),
                                    QStringLiteral("Необходимо определить заводской номер!"));
        t.addRow(QStringLiteral("FFFF"), QStringLiteral("0001"));
        QCOMPARE(t.t.recordCount(), v.maxPanels);
        w.prompts.expectMessage(QStringLiteral("Ошибка"), QStringLiteral("Превышено максимально-допустимое число объектов"));
        t.press(DatasetNavigator::Insert);
        QVERIFY_PROMPTS(w.prompts);
        QVERIFY(w.prompts.last().onTop);
        QCOMPARE(t.t.state(), Dataset::State::Browse);
        QCOMPARE(t.t.rowCount(), v.maxPanels);
        if (t.p.panelTypeCombo)
            QVERIFY(!t.p.panelTypeCombo->isEnabled());
    }

    // The type selector: locked at start, unlocked by typing or Edit, locked by Post; a close-up
    // copies the type, Post codes it; an unknown type shows an empty selector.
    void typeSelector600r()
    {
        Windows w(Variant::mxr600r(), types_.path());
        w.start(2);
        Table t(w);
        QComboBox *combo = t.p.panelTypeCombo;
        PanelRecord unknown;
        unknown.obj = QStringLiteral("0001");
        unknown.account = QStringLiteral("0001");
        unknown.typeId = 999;
        PanelRecord known = unknown;
        known.obj = QStringLiteral("0002");
        known.typeId = 24;
        t.t.setRows({known, unknown});
        t.v.showFilledTable();
        QCOMPARE(combo->currentText(), QStringLiteral("Type 24"));
        t.press(DatasetNavigator::Next);
        QCOMPARE(combo->currentText(), QString());
        QVERIFY(!combo->isEnabled());

        t.press(DatasetNavigator::Edit);
        QVERIFY(combo->isEnabled());
        const int entry = combo->findData(400);
        combo->setCurrentIndex(entry);
        emit combo->activated(entry);
        QCOMPARE(t.t.state(), Dataset::State::Edit);
        t.press(DatasetNavigator::Post);
        QVERIFY(!combo->isEnabled());
        const PanelRecord stored = t.t.row(t.t.currentRow());
        QCOMPARE(stored.typeId, qint16(400));
        QCOMPARE(stored.typeName, QStringLiteral("Type 400"));
        QCOMPARE(stored.protocolCode, qint16(128));

        // After a post the selector shows the posted row's own type, not the one it showed before.
        t.press(DatasetNavigator::Insert);
        t.type(t.p.objectEdit, QStringLiteral("0003"));
        t.type(t.p.accountEdit, QStringLiteral("0001"));
        t.press(DatasetNavigator::Post);
        const PanelRecord posted = t.t.row(t.t.currentRow());
        QCOMPARE(posted.obj, QStringLiteral("0003"));
        QCOMPARE(combo->currentIndex(), combo->findData(posted.typeId));
    }

    // MXR_duziv: every post takes the type grid's current record; following a row moves the grid
    // to its type and leaves it where it is for an unknown type.
    void typeGridDuziv()
    {
        Windows w(Variant::mxrDuziv(), types_.path());
        w.start(2);
        Table t(w);
        QTableView *grid = t.p.panelTypeGrid;
        PanelRecord known;
        known.obj = QStringLiteral("0001");
        known.account = QStringLiteral("0001");
        known.typeId = 101;
        PanelRecord unknown = known;
        unknown.obj = QStringLiteral("0002");
        unknown.typeId = 999;
        t.t.setRows({known, unknown});
        t.v.showFilledTable();
        QCOMPARE(grid->currentIndex().data().toString(), QStringLiteral("Type 101"));
        t.press(DatasetNavigator::Next);
        QCOMPARE(grid->currentIndex().data().toString(), QStringLiteral("Type 101"));
        t.p.typeNavigator->button(DatasetNavigator::Next)->click(); // Type 70
        t.type(t.p.phone1Edit, QStringLiteral("1"));
        t.press(DatasetNavigator::Post);
        const PanelRecord stored = t.t.row(1);
        QCOMPARE(stored.typeId, qint16(70));
        QCOMPARE(stored.typeName, QStringLiteral("Type 70"));
        QCOMPARE(stored.protocolCode, qint16(1));
    }

    // Ctrl+Shift+D released in the grid asks first (No is the default); Yes empties the table and
    // the send list. With Alt nothing happens.
    void emptyingTheTable_data()
    {
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("asks");
        QTest::newRow("No") << int(Qt::ControlModifier | Qt::ShiftModifier) << int(MessageAnswer::No) << true;
        QTest::newRow("Yes") << int(Qt::ControlModifier | Qt::ShiftModifier) << int(MessageAnswer::Yes) << true;
        QTest::newRow("with Alt") << int(Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier) << 0 << false;
    }
    void emptyingTheTable()
    {
        QFETCH(int, modifiers);
        QFETCH(int, answer);
        QFETCH(bool, asks);
        Windows w(Variant::mxr600r(), types_.path());
        w.start(2);
        Table t(w);
        t.fill(3);
        t.type(t.p.phone1Edit, QStringLiteral("5")); // a row being edited is not checked
        if (asks)
            w.prompts.expectMessage(QStringLiteral("Список ППК"),
                                    QStringLiteral("Вы действительно хотите очистить список ППК?"), MessageAnswer(answer));
        QTest::keyRelease(t.p.panelGrid, Qt::Key_D, Qt::KeyboardModifiers(modifiers));
        QVERIFY_PROMPTS(w.prompts);
        const bool emptied = MessageAnswer(answer) == MessageAnswer::Yes;
        if (asks) {
            QCOMPARE(w.prompts.last().icon, MessageIcon::Warning);
            QCOMPARE(w.prompts.last().defaultButton, MessageAnswer::No);
        }
        QCOMPARE(t.t.rowCount(), emptied ? 0 : 3);
        QVERIFY(t.t.isAttached(Dataset::Hook::BeforePost));
        if (emptied)
            QCOMPARE(t.p.panelCountLabel->text(), QStringLiteral("Количество объектов 0"));
    }

    // Delete asks "Delete record?"; console mode keeps the next row open and counts "Объектов N";
    // console Insert without a factory number says so and leaves the new row open.
    void consoleFollowUp()
    {
        Windows w(Variant::mxr600r(), types_.path());
        w.start(2);
        Table t(w);
        panelEditingOf(*t.w.main).setConsoleMode(true);
        t.fill(3);
        w.prompts.expectMessage(QStringLiteral("Confirm"), QStringLiteral("Delete record?"), MessageAnswer::Cancel);
        t.press(DatasetNavigator::Delete);
        QCOMPARE(t.t.rowCount(), 3);
        w.prompts.expectMessage(QStringLiteral("Confirm"), QStringLiteral("Delete record?"), MessageAnswer::Ok);
        t.press(DatasetNavigator::Delete);
        QVERIFY_PROMPTS(w.prompts);
        QCOMPARE(w.prompts.last().buttons, MessageButtons::OkCancel);
        QCOMPARE(t.t.rowCount(), 2);
        QCOMPARE(t.t.state(), Dataset::State::Edit);
        QCOMPARE(t.p.panelCountLabel->text(), QStringLiteral("Объектов 2"));

        w.prompts.expectMessage(QStringLiteral("Загрузка списка объектов"),
                                QStringLiteral("Необходимо определить заводской номер!"));
        t.press(DatasetNavigator::Insert);
        QVERIFY_PROMPTS(w.prompts);
        QCOMPARE(t.t.state(), Dataset::State::Insert);
    }
};

QTEST_MAIN(TestPanelTable)
#include "test_panel_table.moc"
