// The main window of both programs: commands and indicators as created, the link-control helpers,
// the exit question and the general error report.
#include "gui_fixture.h"

#include "core/ip_text.h"
#include "link/serial_channel.h"
#include "ui/status_light.h"
#include "ui/dataset_navigator.h"
#include "tables/panel_table.h"
#include "ui/panel_table_view.h"
#include "ui/radio_group.h"
#include "ui/settings_panel.h"

#include <QComboBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QRadioButton>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolButton>

using namespace guitest;

namespace {

QStringList menuNames(MainWindow &form)
{
    QStringList out;
    for (QAction *a : form.menuBar()->actions())
        out << a->objectName();
    return out;
}

// A command's caption as shown and as assistive tools read it: without its mnemonic mark.
QString shown(QAction *a)
{
    QString t = a->text();
    return t.remove(QLatin1Char('&'));
}

} // namespace

class TestMainWindow : public WindowTest {
    Q_OBJECT

private slots:
    void menuOrderAndCaptions_data()
    {
        QTest::addColumn<QString>("variant");
        QTest::addColumn<QStringList>("order");
        QTest::addColumn<QString>("linkCaption");
        QTest::newRow("600r") << "600r"
                              << QStringList{"linkMenuAction", "readAction", "writeAction", "loadAction", "saveAction", "importAction",
                                             "codeAction", "exitAction"}
                              << QStringLiteral("Канал связи с трансивером");
        QTest::newRow("duziv") << "duziv"
                               << QStringList{"linkMenuAction", "writeAction", "readAction", "loadAction", "saveAction", "importAction",
                                              "codeAction", "exitAction"}
                               << QStringLiteral("Связи с трансивером");
    }

    void menuOrderAndCaptions()
    {
        QFETCH(QString, variant);
        QFETCH(QStringList, order);
        QFETCH(QString, linkCaption);
        Windows w(variantByName(variant), types_.path());
        MainWindow &f = *w.main;
        QCOMPARE(menuNames(f), order);
        QCOMPARE(shown(MainParts(f).linkMenuAction), linkCaption);
        QCOMPARE(MainParts(f).linkMenu->actions(), QList<QAction *>({MainParts(f).usbAction, MainParts(f).lanAction}));
        QCOMPARE(shown(MainParts(f).usbAction), QStringLiteral("USB"));
        QCOMPARE(shown(MainParts(f).lanAction), QStringLiteral("LAN"));
        QCOMPARE(shown(MainParts(f).readAction), QStringLiteral("Прочитать"));
        QCOMPARE(shown(MainParts(f).writeAction), QStringLiteral("Записать"));
        QCOMPARE(shown(MainParts(f).loadAction), QStringLiteral("Загрузить"));
        QCOMPARE(shown(MainParts(f).saveAction), QStringLiteral("Сохранить"));
        QCOMPARE(shown(MainParts(f).importAction), QStringLiteral("Импорт"));
        QCOMPARE(shown(MainParts(f).codeAction), QStringLiteral("Таблица перекодировки"));
        QCOMPARE(shown(MainParts(f).exitAction), QStringLiteral("Выход"));
        QCOMPARE(MainParts(f).writeButton->text(), QStringLiteral("Записать"));
        QCOMPARE(SettingsParts(f).reserveServersButton->text(), QStringLiteral("Список IP-адресов резервных СИ"));
    }

    void statesAtCreation_data()
    {
        QTest::addColumn<QString>("variant");
        QTest::addColumn<bool>("importEnabled");
        QTest::addColumn<QString>("designCaption");
        QTest::newRow("600r") << "600r" << true << QStringLiteral("Трансивер \"Талвир ЗКР\" (версия 26.04.18)");
        QTest::newRow("duziv") << "duziv" << false << QStringLiteral("Трансивер \"Талвир-MXR\" (версия 31.05.16)");
    }

    void statesAtCreation()
    {
        QFETCH(QString, variant);
        QFETCH(bool, importEnabled);
        QFETCH(QString, designCaption);
        const Variant &v = variantByName(variant);
        Windows w(v, types_.path());
        MainWindow &f = *w.main;
        QCOMPARE(f.windowTitle(), designCaption);
        verifyNoLinkCommands(f);
        QCOMPARE(MainParts(f).importAction->isEnabled(), importEnabled);
        QVERIFY(!MainParts(f).codeAction->isEnabled());
        QVERIFY(!MainParts(f).codeAction->isVisible());
        QVERIFY(MainParts(f).exitAction->isEnabled());
        QVERIFY(MainParts(f).writeButton->isHidden());
        QVERIFY(MainParts(f).progressBar->isHidden());
        QCOMPARE(MainParts(f).progressBar->value(), 0);
        QCOMPARE(MainParts(f).progressBar->text(), QStringLiteral("0%"));
        QVERIFY(MainParts(f).statusText->text().isEmpty());
        QCOMPARE(int(linkOf(f).channel()), 0);
        QVERIFY(!linkOf(f).serialChannel().isLinkUp());
        QCOMPARE(consoleModeOf(f), 0);
        if (v.hasStatusLight) {
            QVERIFY(MainParts(f).linkLight);
            QCOMPARE(MainParts(f).linkLight->objectName(), QStringLiteral("linkLight"));
            QCOMPARE(MainParts(f).linkLight->color(), QColor(Qt::white));
            QVERIFY(MainParts(f).linkLight->isLit());
            QVERIFY(!MainParts(f).linkLight->isHidden());
        } else {
            QVERIFY(!MainParts(f).linkLight);
            QVERIFY(!f.findChild<StatusLight *>());
        }
        // The type selector of MXR_600r, the type grid of MXR_duziv.
        PanelTableView *p = panelViewOf(f);
        QCOMPARE(PanelViewParts(*p).panelTypeCombo != nullptr, v.hasTypeSelector);
        QCOMPARE(PanelViewParts(*p).panelTypeGrid != nullptr, !v.hasTypeSelector);
        QCOMPARE(PanelViewParts(*p).typeNavigator != nullptr, !v.hasTypeSelector);
        QCOMPARE(f.findChild<QComboBox *>(QStringLiteral("panelTypeCombo")) != nullptr, v.hasTypeSelector);
        if (PanelViewParts(*p).panelTypeGrid) {
            QCOMPARE(PanelViewParts(*p).panelTypeGrid->toolTip(), QStringLiteral("Выбор типа ППК"));
            QVERIFY(PanelViewParts(*p).typeNavigator->button(DatasetNavigator::Prior));
            QVERIFY(PanelViewParts(*p).typeNavigator->button(DatasetNavigator::Next));
            QVERIFY(!PanelViewParts(*p).typeNavigator->button(DatasetNavigator::Insert));
        }
        QVERIFY_PROMPTS(w.prompts);
    }

    void panelTableLayout_data() { variants(); }

    void panelTableLayout()
    {
        QFETCH(QString, variant);
        Windows w(variantByName(variant), types_.path());
        PanelTableView *p = panelViewOf(*w.main);
        QCOMPARE(PanelViewParts(*p).panelGrid->model(), panelTableOf(*w.main));
        QCOMPARE(panelTableOf(*w.main)->objectName(), QStringLiteral("panelTable"));
        QStringList headers;
        for (int c = 0; c < PanelTable::kGridColumns; ++c)
            headers << panelTableOf(*w.main)->headerData(c, Qt::Horizontal).toString();
        QCOMPARE(headers, QStringList({QStringLiteral("№"), QStringLiteral("Объект"), QStringLiteral("ППК"),
                                       QStringLiteral("Телефон 1"), QStringLiteral("Телефон 2"), QStringLiteral("Тест"),
                                       QStringLiteral("Тип ППК")}));
        QCOMPARE(PanelViewParts(*p).panelGrid->editTriggers(), QAbstractItemView::NoEditTriggers);
        QCOMPARE(PanelViewParts(*p).panelGrid->selectionBehavior(), QAbstractItemView::SelectRows);
        QCOMPARE(PanelViewParts(*p).objectEdit->maxLength(), 4);
        QCOMPARE(PanelViewParts(*p).accountEdit->maxLength(), 4);
        QCOMPARE(PanelViewParts(*p).phone1Edit->maxLength(), 13);
        QCOMPARE(PanelViewParts(*p).phone2Edit->maxLength(), 13);
        QCOMPARE(PanelViewParts(*p).testWaitEdit->toolTip(), QStringLiteral("Период ожидания теста  GSM-канала "));
        QVERIFY(PanelViewParts(*p).panelCountLabel->text().isEmpty());
        const QStringList hints{"Первая запись",   "Предыдущая запись", "Следующая запись",
                                "Последняя запись", "Добавить запись",   "Удалить запись",
                                "Изменить запись", "Сохранить запись",  "Отказ от изменений"};
        const QList<DatasetNavigator::Button> order = DatasetNavigator::allButtons();
        for (int i = 0; i < order.size(); ++i)
            QCOMPARE(PanelViewParts(*p).panelNavigator->button(order.at(i))->toolTip(), hints.at(i));
    }

    // The grid shows a row's fields in the columns' order; a row typed by hand has an empty "№".
    void gridShowsRows()
    {
        Windows w(Variant::mxr600r(), types_.path());
        PanelRecord read;
        read.obj = QStringLiteral("00A1");
        read.account = QStringLiteral("0123");
        read.phone1 = QStringLiteral("+380501234567");
        read.phone2 = QStringLiteral("+380");
        read.testWait = 90;
        read.typeName = QStringLiteral("Type 24");
        read.typeId = 24;
        read.slot = 17;
        PanelRecord typed = read;
        typed.slot.reset();
        panelTableOf(*w.main)->setRows({read, typed});
        auto cell = [&](int row, int col) { return panelTableOf(*w.main)->index(row, col).data().toString(); };
        QCOMPARE(cell(0, 0), QStringLiteral("17"));
        QCOMPARE(cell(0, 1), QStringLiteral("00A1"));
        QCOMPARE(cell(0, 2), QStringLiteral("0123"));
        QCOMPARE(cell(0, 3), QStringLiteral("+380501234567"));
        QCOMPARE(cell(0, 4), QStringLiteral("+380"));
        QCOMPARE(cell(0, 5), QStringLiteral("90"));
        QCOMPARE(cell(0, 6), QStringLiteral("Type 24"));
        QCOMPARE(cell(1, 0), QString());
    }

    // Every control fits the window's default size in its fullest state: every switch group shown,
    // the write button and the gauge in view.
    void defaultSizeHoldsEveryControl_data()
    {
        QTest::addColumn<QString>("variant");
        QTest::addColumn<int>("protocol");
        QTest::newRow("600r Sur-Gard") << "600r" << 1;
        QTest::newRow("duziv first protocol") << "duziv" << 0;
        QTest::newRow("duziv Sur-Gard") << "duziv" << 1;
    }

    void defaultSizeHoldsEveryControl()
    {
        QFETCH(QString, variant);
        QFETCH(int, protocol);
        Windows w(variantByName(variant), types_.path());
        w.start(2);
        SettingsParts(*w.main).protocolGroup->button(protocol)->click();
        MainParts(*w.main).writeButton->setVisible(true); // as with the link up
        MainParts(*w.main).progressBar->setVisible(true);
        const QSize needed = w.main->minimumSizeHint();
        // Usable on a 1024 x 600 screen; by default within what a 1366 x 768 laptop with a task bar
        // leaves inside the window frame.
        QVERIFY2(needed.height() <= 600 && needed.width() <= 1024,
                 qPrintable(QStringLiteral("%1x%2").arg(needed.width()).arg(needed.height())));
        QVERIFY(w.main->width() <= 1280 && w.main->height() <= 680);
        // No caption is cut: every visible label and button has at least the width its text needs.
        QCoreApplication::processEvents();
        w.main->centralWidget()->layout()->activate();
        QStringList cut;
        for (QWidget *c : w.main->centralWidget()->findChildren<QWidget *>()) {
            if (!c->isVisible() || !(qobject_cast<QLabel *>(c) || qobject_cast<QAbstractButton *>(c)))
                continue;
            if (c->width() < c->sizeHint().width())
                cut << QStringLiteral("%1 \"%2\" %3<%4")
                           .arg(c->metaObject()->className(), c->property("text").toString())
                           .arg(c->width())
                           .arg(c->sizeHint().width());
        }
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QStringLiteral("; "))));
        QVERIFY_PROMPTS(w.prompts);
    }

    // The keys of a technician's Windows PC: Tab leaves the read-only panel grid, the settings area is
    // no Tab stop of its own, the usual shortcuts, the editable speed box named for assistive tools.
    void keyboard()
    {
        Windows w(Variant::mxr600r(), types_.path());
        w.start(2);
        QApplication::setActiveWindow(w.main.get());
        const PanelViewParts view(*w.main);
        view.panelGrid->setFocus();
        QTest::keyClick(view.panelGrid, Qt::Key_Tab);
        QVERIFY(w.main->focusWidget() != view.panelGrid);
        view.panelGrid->setFocus();
        QTest::keyClick(view.panelGrid, Qt::Key_Backtab);
        QVERIFY(w.main->focusWidget() != view.panelGrid);
        QCOMPARE(part<QWidget>(*w.main, "settingsScroll")->focusPolicy(), Qt::NoFocus);

        const MainParts parts(*w.main);
        QCOMPARE(parts.loadAction->shortcut(), QKeySequence(QKeySequence::Open));
        QCOMPARE(parts.saveAction->shortcut(), QKeySequence(QKeySequence::Save));
        QCOMPARE(parts.writeAction->shortcut(), QKeySequence(Qt::Key_F9));

        // F10 and Alt alone open the menu bar; each command has its own letter.
        QTest::keyClick(w.main.get(), Qt::Key_F10);
        QCOMPARE(w.main->menuBar()->activeAction(), parts.linkMenuAction);
        QTest::keyClick(parts.linkMenu, Qt::Key_Escape);
        QTest::keyClick(w.main->menuBar(), Qt::Key_Escape);
        view.panelGrid->setFocus();
        QCOMPARE(w.main->menuBar()->activeAction(), nullptr);
        QTest::keyPress(view.panelGrid, Qt::Key_Alt, Qt::AltModifier);
        QTest::keyRelease(view.panelGrid, Qt::Key_Alt);
        QVERIFY(w.main->menuBar()->activeAction() != nullptr);
        QTest::keyClick(w.main->menuBar(), Qt::Key_Escape);
        QString letters;
        for (QAction *a : w.main->menuBar()->actions()) {
            const qsizetype mark = a->text().indexOf(QLatin1Char('&'));
            QVERIFY2(mark >= 0 && !letters.contains(a->text().at(mark + 1).toLower()), qPrintable(a->text()));
            letters += a->text().at(mark + 1).toLower();
        }

        // In the grid Insert starts a row and Ctrl+Delete asks before it deletes; in the boxes Enter
        // posts the row through the check and Escape cancels it.
        PanelTable &table = *panelTableOf(*w.main);
        const int rows = table.rowCount();
        view.panelGrid->setFocus();
        QTest::keyClick(view.panelGrid, Qt::Key_Insert);
        QCOMPARE(int(table.state()), int(Dataset::State::Insert));
        QTest::keyClick(view.objectEdit, Qt::Key_Escape);
        QCOMPARE(int(table.state()), int(Dataset::State::Browse));
        QCOMPARE(table.rowCount(), rows);
        QTest::keyClick(view.panelGrid, Qt::Key_Insert);
        QTest::keyClicks(view.objectEdit, QStringLiteral("0AB1"));
        QTest::keyClicks(view.accountEdit, QStringLiteral("0001"));
        QTest::keyClick(view.accountEdit, Qt::Key_Return);
        QCOMPARE(int(table.state()), int(Dataset::State::Browse));
        QCOMPARE(table.rowCount(), rows + 1);
        w.prompts.expectMessage(QStringLiteral("Confirm"), QStringLiteral("Delete record?"), MessageAnswer::Cancel);
        QTest::keyClick(view.panelGrid, Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(table.rowCount(), rows + 1);
        w.prompts.expectMessage(QStringLiteral("Confirm"), QStringLiteral("Delete record?"), MessageAnswer::Ok);
        QTest::keyClick(view.panelGrid, Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(table.rowCount(), rows);

        const SettingsParts settings(*w.main);
        QCOMPARE(settings.baudCombo->accessibleName(), QStringLiteral("Скорость передачи"));
        QCOMPARE(settings.baudCombo->lineEdit()->accessibleName(), QStringLiteral("Скорость передачи"));
        QVERIFY_PROMPTS(w.prompts);
    }

    void captionSuffix()
    {
        QCOMPARE(Variant::mxr600r().caption(QStringLiteral("      Канал USB Com3")),
                 QStringLiteral("Трансивер ЦЛКС \"Талвир ЗКР\" 600 (вер. 13.12.19)      Канал USB Com3"));
    }

    void exitQuestion_data()
    {
        QTest::addColumn<QString>("variant");
        QTest::addColumn<bool>("viaMenu");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("closes");
        QTest::newRow("600r close, Yes") << "600r" << false << int(MessageAnswer::Yes) << true;
        QTest::newRow("600r close, No") << "600r" << false << int(MessageAnswer::No) << false;
        QTest::newRow("600r Выход, Yes") << "600r" << true << int(MessageAnswer::Yes) << true;
        QTest::newRow("600r Выход, No") << "600r" << true << int(MessageAnswer::No) << false;
        QTest::newRow("duziv close, Yes") << "duziv" << false << int(MessageAnswer::Yes) << true;
        QTest::newRow("duziv Выход, No") << "duziv" << true << int(MessageAnswer::No) << false;
        QTest::newRow("box closed without a button") << "600r" << false << int(MessageAnswer::None) << false;
    }

    void exitQuestion()
    {
        QFETCH(QString, variant);
        QFETCH(bool, viaMenu);
        QFETCH(int, answer);
        QFETCH(bool, closes);
        Windows w(variantByName(variant), types_.path());
        w.start(2);
        PanelRecord row;
        row.obj = QStringLiteral("0001");
        panelTableOf(*w.main)->setRows({row});
        QSignalSpy finished(w.main.get(), &MainWindow::finished);
        w.prompts.expectMessage(QStringLiteral("Завершение работы"), QStringLiteral("Завершить работу приложения?"),
                                MessageAnswer(answer));
        if (viaMenu)
            MainParts(*w.main).exitAction->trigger();
        else
            w.main->close();
        QVERIFY_PROMPTS(w.prompts);
        const PromptRecord &box = w.prompts.last();
        QCOMPARE(box.icon, MessageIcon::Warning);
        QCOMPARE(box.buttons, MessageButtons::YesNo);

        QCOMPARE(w.main->isVisible(), !closes);
        QCOMPARE(finished.count(), closes ? 1 : 0);
        QCOMPARE(workspaceOf(*w.main).typeTable().isOpen(), !closes);
        QCOMPARE(panelTableOf(*w.main)->rowCount(), closes ? 0 : 1);
    }

    void conversionErrorIsReported_data()
    {
        QTest::addColumn<QString>("variant");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        QTest::newRow("600r x.1") << "600r" << "x.1" << QStringLiteral("Талвир ЗКР") << "'x' is not a valid integer value";
        QTest::newRow("600r 1..2.3") << "600r" << "1..2.3" << QStringLiteral("Талвир ЗКР")
                                     << "'' is not a valid integer value";
        QTest::newRow("duziv 1.2.3.4.5") << "duziv" << "1.2.3.4.5" << "MXR_duziv" << "'4.5' is not a valid integer value";
    }

    void conversionErrorIsReported()
    {
        QFETCH(QString, variant);
        QFETCH(QString, address);
        QFETCH(QString, title);
        QFETCH(QString, text);
        Windows w(variantByName(variant), types_.path());
        w.start(2);
        // The transceiver's address typed for LAN: the command stops at the report, no channel chosen.
        w.prompts.expectInput(QStringLiteral("Работа по ЛВС"), address);
        w.prompts.expectMessage(title, text);
        MainParts(*w.main).lanAction->trigger();
        QCOMPARE(int(linkOf(*w.main).channel()), 0);
        QVERIFY_PROMPTS(w.prompts);
        QCOMPARE(w.prompts.last().icon, MessageIcon::Error);
        QCOMPARE(w.prompts.last().buttons, MessageButtons::Ok);
        // The program goes on.
        QVERIFY(w.main->isVisible());
    }

    void guardedCommandWithoutErrorShowsNothing()
    {
        Windows w(Variant::mxr600r(), types_.path());
        quint32 value = 0;
        QVERIFY(guarded(w.prompts, errorReportTitle(w.variant), [&] { value = *ipFromText(QStringLiteral("192.168.1.3")); }));
        QCOMPARE(value, quint32(0x0301A8C0));
        QVERIFY_PROMPTS(w.prompts);
    }

    void otherErrorsAreReportedToo()
    {
        Windows w(Variant::mxr600r(), types_.path());
        w.prompts.expectMessage(QStringLiteral("Талвир ЗКР"), QStringLiteral("disk gone"));
        QVERIFY(!guarded(w.prompts, errorReportTitle(w.variant), [] { throw std::runtime_error("disk gone"); }));
        QVERIFY_PROMPTS(w.prompts);
    }

    // The configuration goes out of the window as it went in, panels and reserve servers included.
    void configRoundTrip_data() { variants(); }

    void configRoundTrip()
    {
        const Variant &v = fetchVariant();
        Windows w(v, types_.path());
        w.start(2);
        TransceiverConfig c = TransceiverConfig::defaults(v, false);
        c.factoryNumber = QStringLiteral("99999");
        c.baudText = QStringLiteral("115200");
        c.testPeriod = 3600;
        c.apn = QStringLiteral("internet.example");
        c.serverIp = QStringLiteral("10.1.2.3");
        c.serverPort = QStringLiteral("5000");
        c.localIp = QStringLiteral("10.1.2.4");
        c.localPort = QStringLiteral("6000");
        c.gatewayIp = QStringLiteral("10.1.2.1");
        c.protocol = 1;
        c.conversion = 1;
        c.mode = 1;
        c.reserveIps[0] = 0x0301A8C0;
        c.reserveIps[79] = 0x01010101;
        PanelRecord r;
        r.obj = QStringLiteral("0002");
        r.account = QStringLiteral("00A1");
        r.typeId = 530;
        r.typeName = QStringLiteral("Contact GSM-5");
        r.slot = 3;
        c.panels = {r};
        // Setting the mode while the protocol is Sur-Gard shows no console-kind message.
        showConfig(*w.main, c);
        QCOMPARE(configOf(*w.main), c);
        QVERIFY_PROMPTS(w.prompts);
    }

    // A speed the list lacks is kept as typed.
    void typedSpeedIsKept()
    {
        Windows w(Variant::mxr600r(), types_.path());
        w.start(2);
        TransceiverConfig c = configOf(*w.main);
        c.baudText = QStringLiteral("14400");
        showConfig(*w.main, c);
        QCOMPARE(configOf(*w.main).baudText, QStringLiteral("14400"));
    }

    void scriptedPromptsCatchTheUnexpected()
    {
        ScriptedPrompts p;
        QCOMPARE(p.message(QStringLiteral("T"), QStringLiteral("surprise"), MessageIcon::Error), MessageAnswer::None);
        QVERIFY(!p.problems().isEmpty());
        p.reset();
        p.expectMessage(QStringLiteral("T"), QStringLiteral("expected"), MessageAnswer::No);
        QCOMPARE(p.message(QStringLiteral("T"), QStringLiteral("other"), MessageIcon::Error), MessageAnswer::No);
        QVERIFY(p.problems().contains(QStringLiteral("expected text")));
        p.reset();
        p.expectOpenFile(QStringLiteral("/tmp/a.kcf"));
        QVERIFY(!p.problems().isEmpty()); // expected but never came
        QCOMPARE(p.openFile({}), std::optional<QString>(QStringLiteral("/tmp/a.kcf")));
        QVERIFY(p.problems().isEmpty());
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
