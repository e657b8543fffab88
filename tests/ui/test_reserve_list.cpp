// The reserve server list as the technician uses it: rows typed into the grid and stored through the
// address check, the limit of 80 rows, deleting, clearing, and closing with or without saving into
// the stored addresses; and the main window's button that opens it.
#include "gui_fixture.h"

#include "core/prompts.h"
#include "tables/dataset.h"
#include "ui/dataset_navigator.h"
#include "ui/settings_panel.h"

#include <QLabel>
#include <QMap>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QToolButton>

using namespace guitest;

namespace {

const QString kListTitle = QStringLiteral("Список IP-адресов резервных СИ");
const QString kRowTitle = QStringLiteral("Запись IP - адреса");
const QString kBadFormat = QStringLiteral("Нарушен формат IP-адреса");
const QString kTooMany = QStringLiteral("Превышение допустимого числа IP - адресов");
const QString kSave = QStringLiteral("Сохранить список?");
const QString kClear = QStringLiteral("Очистить список?");

// The window on its own, shown, with its stored addresses.
struct List {
    ScriptedPrompts prompts;
    ReserveServers servers;
    ReserveServerDialog form;
    ReserveListParts parts;

    explicit List(const Variant &variant = variantByName(QStringLiteral("600r")))
        : servers(variant, prompts), form(servers, prompts), parts(form)
    {
        form.show();
    }

    void press(DatasetNavigator::Button b) { QTest::mouseClick(parts.navigator->button(b), Qt::LeftButton); }

    // Types into the grid's current cell as the technician does: the first key opens the editor,
    // Enter hands the text to the table (the row stays pending until it is left or posted).
    void type(const QString &text)
    {
        QTableView *grid = parts.addressGrid;
        grid->setFocus();
        QTest::keyClick(grid, text.at(0).toLatin1());
        QWidget *editor = grid->indexWidget(grid->currentIndex());
        QVERIFY(editor);
        QTest::keyClicks(editor, text.mid(1));
        QTest::keyClick(editor, Qt::Key_Return);
        QCoreApplication::processEvents(); // the grid hands the text over once the key is handled
    }

    void addRow(const QString &text)
    {
        press(DatasetNavigator::Insert);
        type(text);
        press(DatasetNavigator::Post);
    }

    QString count() const { return parts.countLabel->text(); }
};

// The stored values of the texts these tests type, written out byte by byte (first octet lowest).
quint32 valueOf(const QString &text)
{
    static const QMap<QString, quint32> values{{"1.1.1.1", 0x01010101}, {"2.2.2.2", 0x02020202},
                                               {"3.3.3.3", 0x03030303}, {"4.4.4.4", 0x04040404},
                                               {"5.5.5.5", 0x05050505}, {"5.6.7.8", 0x08070605}};
    return values.value(text, 0xFFFFFFFF);
}

QStringList addressList(int n)
{
    QStringList out;
    for (int k = 1; k <= n; ++k)
        out << QStringLiteral("10.0.%1.%2").arg(k / 100).arg(k % 100 + 1);
    return out;
}

} // namespace

class TestReserveList : public WindowTest {
    Q_OBJECT

private slots:
    void typedAddressIsCheckedAndStored_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<quint32>("value"); // 0: refused with the format message
        QTest::newRow("plain") << "192.168.1.3" << quint32(0x0301A8C0);
        QTest::newRow("leading zeros") << "192.168.001.003" << quint32(0x0301A8C0);
        QTest::newRow("long last part") << "1.2.3.0004" << quint32(0x04030201);
        QTest::newRow("blank before a part") << " 10.1.2.3" << quint32(0x0302010A);
        QTest::newRow("zero address") << "0.0.0.0" << quint32(0);
        QTest::newRow("first part above 255") << "256.1.1.1" << quint32(0);
        QTest::newRow("last part above 255") << "1.2.3.256" << quint32(0);
        QTest::newRow("three parts") << "1.2.3" << quint32(0);
        QTest::newRow("four digits before a dot") << "1234.1.1.1" << quint32(0);
        QTest::newRow("minus in the middle") << "1.2.-3.4" << quint32(0);
        QTest::newRow("minus at the end") << "1.2.3.-4" << quint32(0);
    }

    void typedAddressIsCheckedAndStored()
    {
        QFETCH(QString, text);
        QFETCH(quint32, value);
        List l;
        if (value == 0)
            l.prompts.expectMessage(kRowTitle, kBadFormat);
        l.addRow(text);
        QVERIFY_PROMPTS(l.prompts);
        if (value == 0) {
            const PromptRecord &box = l.prompts.last();
            QCOMPARE(box.icon, MessageIcon::Error);
            QCOMPARE(box.buttons, MessageButtons::Ok);
            QVERIFY(box.onTop);
            QCOMPARE(l.servers.list()->recordCount(), 0);
            QCOMPARE(l.servers.list()->rowCount(), 0); // the new row disappeared
            QVERIFY(!l.parts.navigator->isEnabled());
            QCOMPARE(l.count(), QString("0"));
            return;
        }
        QCOMPARE(l.servers.addressTexts(), QStringList{text}); // shown as typed
        QCOMPARE(l.count(), QString("1"));
        QVERIFY(l.parts.navigator->isEnabled());

        l.prompts.expectMessage(kListTitle, kSave, MessageAnswer::Yes);
        l.form.close();
        QVERIFY_PROMPTS(l.prompts);
        QVERIFY(!l.form.isVisible());
        QCOMPARE(l.servers.stored()[0], value);
        QCOMPARE(l.servers.stored()[1], 0u);
        QCOMPARE(l.servers.addressTexts(), QStringList{text}); // the text is not rewritten
    }

    void refusedChangeGetsItsTextBack()
    {
        List l;
        l.servers.setAddressTexts({"10.0.0.1", "10.0.0.2"});
        l.prompts.expectMessage(kRowTitle, kBadFormat);
        l.press(DatasetNavigator::Next);
        l.type("1.2.3");
        l.press(DatasetNavigator::First); // leaving the row stores it through the check
        QVERIFY_PROMPTS(l.prompts);
        QCOMPARE(l.servers.addressTexts(), (QStringList{"10.0.0.1", "10.0.0.2"}));
        QCOMPARE(l.servers.list()->state(), Dataset::State::Browse);
        QVERIFY(!l.parts.navigator->isEnabled());
        // The grid still takes changes; the next stored row enables the navigator again.
        l.type("10.9.9.9");
        QVERIFY(l.servers.list()->post());
        QVERIFY(l.parts.navigator->isEnabled());
        QCOMPARE(l.servers.addressTexts(), (QStringList{"10.0.0.1", "10.9.9.9"}));
    }

    void partThatIsNotANumberKeepsTheRowOpen_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("part");
        QTest::newRow("letter") << "x.1" << "x";
        QTest::newRow("empty part") << "1..2.3" << "";
        QTest::newRow("five parts") << "1.2.3.4.5" << "4.5";
    }

    void partThatIsNotANumberKeepsTheRowOpen()
    {
        QFETCH(QString, text);
        QFETCH(QString, part);
        const Variant &variant = variantByName(QStringLiteral("600r"));
        List l(variant);
        ReserveServers::Addresses stored{};
        stored[0] = 0x01010101;
        l.servers.setStored(stored);
        const QString report = QStringLiteral("'%1' is not a valid integer value").arg(part);

        l.prompts.expectMessage(errorReportTitle(variant), report);
        l.press(DatasetNavigator::Insert);
        l.type(text);
        l.press(DatasetNavigator::Post);
        QVERIFY_PROMPTS(l.prompts);
        QCOMPARE(l.servers.list()->state(), Dataset::State::Insert);
        QCOMPARE(l.servers.list()->fieldValue(0).toString(), text);
        QVERIFY(l.parts.navigator->isEnabled());

        // Closing fails the same way and the window stays open, nothing stored.
        l.prompts.expectMessage(errorReportTitle(variant), report);
        l.form.close();
        QVERIFY_PROMPTS(l.prompts);
        QVERIFY(l.form.isVisible());
        QCOMPARE(l.servers.stored(), stored);

        // Corrected, it is stored and the window closes.
        l.type("5.6.7.8");
        l.prompts.expectMessage(kListTitle, kSave, MessageAnswer::Yes);
        l.form.close();
        QVERIFY_PROMPTS(l.prompts);
        QVERIFY(!l.form.isVisible());
        QCOMPARE(l.servers.stored()[0], 0x08070605u);
        QCOMPARE(l.servers.stored()[1], 0u);
    }

    void eightyRowsRefuseAnInsertion()
    {
        List l;
        l.servers.setAddressTexts(addressList(80));
        QCOMPARE(l.count(), QString("80"));
        l.prompts.expectMessage(kRowTitle, kTooMany);
        l.press(DatasetNavigator::Insert);
        QVERIFY_PROMPTS(l.prompts);
        QCOMPARE(l.prompts.last().icon, MessageIcon::Error);
        QVERIFY(l.prompts.last().onTop);
        QCOMPARE(l.servers.list()->rowCount(), 80);
        QCOMPARE(l.servers.list()->state(), Dataset::State::Browse);
        QVERIFY(!l.parts.navigator->isEnabled());

        // The same from the grid's Down key on the last row.
        l.prompts.expectMessage(kRowTitle, kTooMany);
        QTest::keyClick(l.parts.addressGrid, Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(l.servers.list()->currentRow(), 79);
        QTest::keyClick(l.parts.addressGrid, Qt::Key_Down);
        QVERIFY_PROMPTS(l.prompts);
        QCOMPARE(l.servers.list()->rowCount(), 80);

        // With the navigator disabled the grid still deletes; then an insertion is allowed again.
        l.prompts.expectMessage(QString(), QStringLiteral("Delete record?"), MessageAnswer::Ok);
        QTest::keyClick(l.parts.addressGrid, Qt::Key_Delete, Qt::ControlModifier);
        QVERIFY_PROMPTS(l.prompts);
        QCOMPARE(l.count(), QString("79"));
        QTest::keyClick(l.parts.addressGrid, Qt::Key_Insert);
        QCOMPARE(l.servers.list()->state(), Dataset::State::Insert);
        QVERIFY(l.parts.navigator->isEnabled());
        l.type("192.168.1.3");
        l.press(DatasetNavigator::Post);
        QCOMPARE(l.count(), QString("80"));
        QVERIFY_PROMPTS(l.prompts);
    }

    void deletingAsksFirst_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("OK") << int(MessageAnswer::Ok)
                            << QStringList{"1.1.1.1", "2.2.2.2", "4.4.4.4", "5.5.5.5"};
        QTest::newRow("Cancel") << int(MessageAnswer::Cancel)
                                << QStringList{"1.1.1.1", "2.2.2.2", "3.3.3.3", "4.4.4.4", "5.5.5.5"};
    }

    // Closing with Yes after deleting the 3rd of 5 rows stores them closed up, the rest 0.
    void deletingAsksFirst()
    {
        QFETCH(int, answer);
        QFETCH(QStringList, expected);
        List l;
        l.servers.setAddressTexts({"1.1.1.1", "2.2.2.2", "3.3.3.3", "4.4.4.4", "5.5.5.5"});
        ReserveServers::Addresses stored;
        stored.fill(0x09090909);
        l.servers.setStored(stored);
        l.press(DatasetNavigator::Next);
        l.press(DatasetNavigator::Next);
        QCOMPARE(l.servers.list()->currentRow(), 2);
        l.prompts.expectMessage(QString(), QStringLiteral("Delete record?"), MessageAnswer(answer));
        l.press(DatasetNavigator::Delete);
        QVERIFY_PROMPTS(l.prompts);
        QCOMPARE(l.prompts.last().buttons, MessageButtons::OkCancel);
        QCOMPARE(l.servers.addressTexts(), expected);
        QCOMPARE(l.count(), QString::number(expected.size()));

        l.prompts.expectMessage(kListTitle, kSave, MessageAnswer::Yes);
        l.form.close();
        QVERIFY_PROMPTS(l.prompts);
        const PromptRecord &question = l.prompts.last();
        QCOMPARE(question.icon, MessageIcon::Question);
        QCOMPARE(question.buttons, MessageButtons::YesNo);
        QCOMPARE(question.defaultButton, MessageAnswer::Yes);
        QVERIFY(question.onTop);
        for (int n = 0; n < kReserveServers; ++n) {
            const quint32 want = n < expected.size() ? valueOf(expected.at(n)) : 0u;
            QCOMPARE(l.servers.stored()[std::size_t(n)], want);
        }
    }

    void closingSettlesThePendingRow_data()
    {
        QTest::addColumn<QString>("typed"); // empty: the new row is never typed into
        QTest::addColumn<bool>("refused");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("untouched new row dropped") << "" << false << QStringList{"1.1.1.1"};
        QTest::newRow("typed row stored") << "5.6.7.8" << false << QStringList{"5.6.7.8", "1.1.1.1"};
        QTest::newRow("bad row discarded") << "1.2.3" << true << QStringList{"1.1.1.1"};
    }

    void closingSettlesThePendingRow()
    {
        QFETCH(QString, typed);
        QFETCH(bool, refused);
        QFETCH(QStringList, expected);
        List l;
        l.servers.setAddressTexts({"1.1.1.1"});
        l.press(DatasetNavigator::Insert);
        if (!typed.isEmpty())
            l.type(typed);
        if (refused)
            l.prompts.expectMessage(kRowTitle, kBadFormat);
        l.prompts.expectMessage(kListTitle, kSave, MessageAnswer::Yes);
        l.form.close();
        QVERIFY_PROMPTS(l.prompts);
        QCOMPARE(l.servers.addressTexts(), expected);
        QCOMPARE(l.count(), QString::number(expected.size()));
        QCOMPARE(l.servers.stored()[std::size_t(expected.size() - 1)], valueOf(expected.last()));
        QCOMPARE(l.servers.stored()[std::size_t(expected.size())], 0u);
    }

    void answeringNoToSaveKeepsBoth()
    {
        List l;
        l.servers.setAddressTexts({"1.1.1.1"});
        ReserveServers::Addresses stored{};
        stored[0] = 0x01010101;
        l.servers.setStored(stored);
        l.addRow("2.2.2.2");
        l.prompts.expectMessage(kListTitle, kSave, MessageAnswer::No);
        l.form.close();
        QVERIFY_PROMPTS(l.prompts);
        QVERIFY(!l.form.isVisible());
        QCOMPARE(l.servers.stored(), stored);

        // Opened again: the edited list, the first row current, the counter.
        l.servers.list()->last();
        l.form.show();
        QCOMPARE(l.servers.addressTexts(), (QStringList{"2.2.2.2", "1.1.1.1"}));
        QCOMPARE(l.servers.list()->currentRow(), 0);
        QCOMPARE(l.parts.addressGrid->currentIndex().row(), 0);
        QCOMPARE(l.count(), QString("2"));
        QVERIFY_PROMPTS(l.prompts);
    }

    void clearingTheList_data()
    {
        QTest::addColumn<int>("answer");
        QTest::newRow("No changes nothing") << int(MessageAnswer::No);
        QTest::newRow("Yes empties both") << int(MessageAnswer::Yes);
    }

    void clearingTheList()
    {
        QFETCH(int, answer);
        const bool yes = MessageAnswer(answer) == MessageAnswer::Yes;
        List l;
        const QStringList texts{"1.1.1.1", "2.2.2.2"};
        l.servers.setAddressTexts(texts);
        ReserveServers::Addresses stored{};
        stored[0] = 0x01010101;
        stored[1] = 0x02020202;
        l.servers.setStored(stored);
        l.press(DatasetNavigator::Insert); // a pending row is settled (here: dropped) first
        l.type("3.3.3.3");
        l.prompts.expectMessage(kListTitle, kClear, MessageAnswer(answer));
        QTest::mouseClick(l.parts.clearButton, Qt::LeftButton);
        QVERIFY_PROMPTS(l.prompts);
        const PromptRecord &question = l.prompts.last();
        QCOMPARE(question.icon, MessageIcon::Question);
        QCOMPARE(question.buttons, MessageButtons::YesNo);
        QCOMPARE(question.defaultButton, MessageAnswer::No);
        QVERIFY(question.onTop);
        if (yes) {
            QCOMPARE(l.servers.list()->rowCount(), 0);
            QCOMPARE(l.servers.stored(), ReserveServers::Addresses{});
            QCOMPARE(l.count(), QString("0"));
        } else {
            QCOMPARE(l.servers.stored(), stored);
            QCOMPARE(l.servers.list()->state(), Dataset::State::Insert); // the typed row still pending
            QCOMPARE(l.count(), QString("2"));
        }
    }

    void mainWindowTakesTheSavedAddressesBack_data()
    {
        QTest::addColumn<QString>("variant");
        QTest::addColumn<int>("answer");
        QTest::newRow("600r Yes") << "600r" << int(MessageAnswer::Yes);
        QTest::newRow("600r No") << "600r" << int(MessageAnswer::No);
        QTest::newRow("duziv Yes") << "duziv" << int(MessageAnswer::Yes);
    }

    void mainWindowTakesTheSavedAddressesBack()
    {
        QFETCH(int, answer);
        Windows w(fetchVariant(), types_.path());
        w.start(2);
        QVERIFY_PROMPTS(w.prompts);
        ReserveServers &servers = reserveServersOf(*w.main);
        const ReserveListParts list(*w.reserveList);
        servers.setStored({0x01010101});
        servers.setAddressTexts({"1.1.1.1"});
        bool shown = false;
        QTimer::singleShot(0, w.reserveList.get(), [&] {
            shown = w.reserveList->isVisible() && w.reserveList->isModal();
            QTest::mouseClick(list.navigator->button(DatasetNavigator::Last), Qt::LeftButton);
            QTest::keyClick(list.addressGrid, Qt::Key_Down); // appends after the last row
            QTableView *grid = list.addressGrid;
            QTest::keyClick(grid, '1');
            QTest::keyClicks(grid->indexWidget(grid->currentIndex()), "92.168.1.3");
            QTest::keyClick(grid->indexWidget(grid->currentIndex()), Qt::Key_Return);
            QCoreApplication::processEvents();
            w.reserveList->close();
        });
        w.prompts.expectMessage(kListTitle, kSave, MessageAnswer(answer));
        QTest::mouseClick(SettingsParts(*w.main).reserveServersButton, Qt::LeftButton);
        QVERIFY(shown);
        QVERIFY_PROMPTS(w.prompts);
        QCOMPARE(servers.addressTexts(), (QStringList{"1.1.1.1", "192.168.1.3"}));
        QCOMPARE(servers.stored()[0], 0x01010101u);
        QCOMPARE(servers.stored()[1], MessageAnswer(answer) == MessageAnswer::Yes ? 0x0301A8C0u : 0u);
        QCOMPARE(configOf(*w.main).reserveIps, servers.stored());
    }
};

QTEST_MAIN(TestReserveList)
#include "test_reserve_list.moc"
