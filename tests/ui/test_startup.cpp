// Start-up of both programs: the start-up choice, opening the panel-type table in console and
// standalone mode, the two opening failures, and the window the technician then sees.
#include "gui_fixture.h"

#include "console/console_aliases.h"

#include "tables/panel_table.h"
#include "ui/panel_table_view.h"
#include "ui/radio_group.h"
#include "ui/settings_panel.h"

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace guitest;

class TestStartup : public QObject {
    Q_OBJECT

private:
    QTemporaryDir tmp_;
    QString typeFolder_;    // holds CentralType.db
    QString emptyFolder_;   // holds nothing
    QString settingsDir_;   // the console installation's system-scope settings

private slots:
    void initTestCase()
    {
        QVERIFY(tmp_.isValid());
        typeFolder_ = tmp_.filePath(QStringLiteral("types"));
        emptyFolder_ = tmp_.filePath(QStringLiteral("empty"));
        settingsDir_ = tmp_.filePath(QStringLiteral("settings"));
        QVERIFY(QDir().mkpath(typeFolder_));
        QVERIFY(QDir().mkpath(emptyFolder_));
        QString error;
        QVERIFY2(writeTypeTable(typeFolder_, sampleTypes(), error), qPrintable(error));
        QVERIFY(writeEditDbAlias(settingsDir_, typeFolder_));
    }

    void modes_data()
    {
        QTest::addColumn<QString>("variant");
        QTest::addColumn<int>("choice");
        QTest::addColumn<int>("consoleMode");
        QTest::addColumn<bool>("importEnabled");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("mode");
        const QString c600 = QStringLiteral("Трансивер ЦЛКС \"Талвир ЗКР\" 600 (вер. 13.12.19)      Автономный режим");
        const QString cDuz =
            QStringLiteral("Трансивер ЦЛКС \"Талвир-MXR/ЗКР vuzivOZ_300\" (версия 22.08.16)      Автономный режим");
        QTest::newRow("600r console") << "600r" << 1 << 1 << true << c600 << 0;
        QTest::newRow("600r standalone") << "600r" << 2 << 0 << false << c600 << 0;
        QTest::newRow("600r no choice") << "600r" << 0 << 0 << false << c600 << 0;
        QTest::newRow("duziv console") << "duziv" << 1 << 1 << true << cDuz << -1;
        QTest::newRow("duziv standalone") << "duziv" << 2 << 0 << false << cDuz << 0;
        QTest::newRow("duziv no choice") << "duziv" << 0 << 0 << false << cDuz << 0;
    }

    void modes()
    {
        QFETCH(QString, variant);
        QFETCH(int, choice);
        QFETCH(int, consoleMode);
        QFETCH(bool, importEnabled);
        QFETCH(QString, caption);
        QFETCH(int, mode);
        Windows w(variantByName(variant), typeFolder_);
        w.start(choice);

        QCOMPARE(consoleModeOf(*w.main), consoleMode);
        QCOMPARE(MainParts(*w.main).importAction->isEnabled(), importEnabled);
        QCOMPARE(w.main->windowTitle(), caption);
        QCOMPARE(SettingsParts(*w.main).consoleKindGroup->itemIndex(), mode);
        QCOMPARE(w.exitCode, 0);
        QVERIFY(workspaceOf(*w.main).typeTable().isOpen());
        QCOMPARE(workspaceOf(*w.main).typeTable().recordCount(), 7);
        if (consoleMode == 0)
            QCOMPARE(QDir(QDir::currentPath()).canonicalPath(), QDir(typeFolder_).canonicalPath());
        QVERIFY_PROMPTS(w.prompts);
    }

    // The type list holds every record of the table, in the table's order, each with its TypeId.
    void typeListInTableOrder_data()
    {
        QTest::addColumn<QString>("variant");
        QTest::addColumn<int>("choice");
        QTest::newRow("600r standalone") << "600r" << 2;
        QTest::newRow("600r console") << "600r" << 1;
        QTest::newRow("duziv standalone") << "duziv" << 2;
        QTest::newRow("duziv console") << "duziv" << 1;
    }

    void typeListInTableOrder()
    {
        QFETCH(QString, variant);
        QFETCH(int, choice);
        Windows w(variantByName(variant), typeFolder_);
        w.start(choice);
        PanelTableView *v = panelViewOf(*w.main);
        const QList<TypeRow> expected = sampleTypes();
        const PanelViewParts parts(*v);
        QCOMPARE(v->typeList().size(), expected.size());
        for (int i = 0; i < expected.size(); ++i) {
            QCOMPARE(v->typeList().at(i).name, expected.at(i).name);
            QCOMPARE(v->typeList().at(i).typeId, expected.at(i).typeId);
            const QString shown = parts.panelTypeCombo ? parts.panelTypeCombo->itemText(i)
                                                       : parts.panelTypeGrid->model()->index(i, 0).data().toString();
            QCOMPARE(shown, expected.at(i).name);
        }
        if (PanelViewParts(*v).panelTypeCombo) {
            QCOMPARE(PanelViewParts(*v).panelTypeCombo->maxVisibleItems(), 3); // 7 records: 7 / 2
            QVERIFY(!PanelViewParts(*v).panelTypeCombo->isEnabled());         // locked until a row is edited
        } else {
            QCOMPARE(PanelViewParts(*v).panelTypeGrid->currentIndex().row(), 0);
        }
        QVERIFY_PROMPTS(w.prompts);
    }

    void dropDownRowsAreHalfTheRecords_data()
    {
        QTest::addColumn<int>("records");
        QTest::addColumn<int>("rows");
        QTest::newRow("2") << 2 << 1;
        QTest::newRow("8") << 8 << 4;
        QTest::newRow("9") << 9 << 4;
        QTest::newRow("64") << 64 << 32;
    }

    void dropDownRowsAreHalfTheRecords()
    {
        QFETCH(int, records);
        QFETCH(int, rows);
        QTemporaryDir dir;
        QList<TypeRow> types;
        for (int i = 0; i < records; ++i)
            types.append({i + 1, QStringLiteral("T%1").arg(i + 1)});
        QString error;
        QVERIFY2(writeTypeTable(dir.path(), types, error), qPrintable(error));
        Windows w(Variant::mxr600r(), dir.path());
        w.start(2);
        QCOMPARE(PanelViewParts(*w.main).panelTypeCombo->count(), records);
        QCOMPARE(PanelViewParts(*w.main).panelTypeCombo->maxVisibleItems(), rows);
        QVERIFY_PROMPTS(w.prompts);
    }

    void openingFailures_data()
    {
        QTest::addColumn<QString>("variant");
        QTest::addColumn<int>("choice");
        QTest::addColumn<bool>("aliasToEmpty");
        QTest::addColumn<QString>("text");
        const QString console = QStringLiteral("Приложение \"Zavevo duravezad\" не выполняется!");
        const QString standalone = QStringLiteral("Отсутствует таблица типов ППК!");
        QTest::newRow("600r console") << "600r" << 1 << true << console;
        QTest::newRow("600r standalone") << "600r" << 2 << false << standalone;
        QTest::newRow("duziv console") << "duziv" << 1 << true << console;
        QTest::newRow("duziv standalone") << "duziv" << 2 << false << standalone;
    }

    void openingFailures()
    {
        QFETCH(QString, variant);
        QFETCH(int, choice);
        QFETCH(bool, aliasToEmpty);
        QFETCH(QString, text);
        QTemporaryDir settings;
        if (aliasToEmpty)
            QVERIFY(writeEditDbAlias(settings.path(), emptyFolder_));
        const Variant &v = variantByName(variant);
        Windows w(v, emptyFolder_);
        QSignalSpy terminate(w.main.get(), &MainWindow::terminateRequested);
        w.prompts.expectMessage(QStringLiteral("Завершение работы"), QString());
        w.start(choice);
        QVERIFY(writeEditDbAlias(settingsDir_, typeFolder_));

        QVERIFY_PROMPTS(w.prompts);
        const PromptRecord &box = w.prompts.last();
        QVERIFY2(box.text == text || box.text.startsWith(text + QStringLiteral("\n\n")), qPrintable(box.text));
        // Standalone mode names the table it looked for.
        if (choice == 2)
            QCOMPARE(box.text, text + QStringLiteral("\n\n") + QDir(emptyFolder_).filePath(QStringLiteral("CentralType.db")));
        QCOMPARE(box.icon, MessageIcon::Error);
        QCOMPARE(box.buttons, MessageButtons::Ok);
        QVERIFY(box.onTop);
        QCOMPARE(terminate.count(), 1);
        QVERIFY(terminate.first().first().toInt() != 0);
        QVERIFY(w.exitCode != 0);
        // The start-up stopped at the failure: the caption was not set.
        QCOMPARE(w.main->windowTitle(), v.designCaption);
        // No exit question when the failed program closes its window.
        w.main->close();
        QVERIFY_PROMPTS(w.prompts);
    }

    // A console alias file that is missing altogether is the same failure as a missing table; the
    // box's second paragraph says where the alias file was looked for.
    void consoleWithoutAliasFile()
    {
        QTemporaryDir settings;
        QSettings::setPath(QSettings::IniFormat, QSettings::SystemScope, settings.path());
        const QString aliasFile = QDir::toNativeSeparators(consoleAliasFile());
        Windows w(Variant::mxr600r(), typeFolder_);
        w.prompts.expectMessage(QStringLiteral("Завершение работы"), QString());
        w.start(1);
        QVERIFY(writeEditDbAlias(settingsDir_, typeFolder_));
        QVERIFY_PROMPTS(w.prompts);
        const QString text = w.prompts.last().text;
        QVERIFY2(text.startsWith(QStringLiteral("Приложение \"Zavevo duravezad\" не выполняется!\n\n")), qPrintable(text));
        QVERIFY2(text.contains(aliasFile) || text.contains(consoleAliasFile()), qPrintable(text));
        QCOMPARE(w.exitCode, 1);
    }

    // The real start-up window, run modally by the main window's first show.
    void startupWindow_data()
    {
        QTest::addColumn<QString>("variant");
        QTest::addColumn<int>("action"); // -1 close without choice, else item to click
        QTest::addColumn<int>("consoleMode");
        QTest::newRow("600r item 0") << "600r" << 0 << 1;
        QTest::newRow("600r item 1") << "600r" << 1 << 0;
        QTest::newRow("600r closed") << "600r" << -1 << 0;
        QTest::newRow("duziv item 0") << "duziv" << 0 << 1;
        QTest::newRow("duziv closed") << "duziv" << -1 << 0;
    }

    void startupWindow()
    {
        QFETCH(QString, variant);
        QFETCH(int, action);
        QFETCH(int, consoleMode);
        const Variant &v = variantByName(variant);
        Windows w(v, typeFolder_);
        QString seenCaption;
        QStringList seenItems;
        bool seen = false;
        bool hadCloseButton = true;
        QTimer::singleShot(0, [&] {
            auto *dialog = qobject_cast<StartupDialog *>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            seen = true;
            seenCaption = dialog->windowTitle();
            seenItems = dialog->choiceGroup->items();
            hadCloseButton = dialog->windowFlags().testFlag(Qt::WindowCloseButtonHint);
            if (action < 0)
                dialog->close();
            else
                QTest::mouseClick(dialog->choiceGroup->button(action), Qt::LeftButton);
        });
        w.main->show();
        QVERIFY(seen);
        QCOMPARE(seenCaption, variant == QLatin1String("600r")
                                  ? QStringLiteral("Конфигуратор \"Талвир ЗКР\" 600 (вер. 13.12.19)")
                                  : QStringLiteral("Запуск приложения"));
        if (variant == QLatin1String("600r"))
            QCOMPARE(seenItems, QStringList({QStringLiteral("работа с пультовым ПО \"КС-Талвир\""),
                                             QStringLiteral("работа с другими пультовыми ПО")}));
        else
            QCOMPARE(seenItems, QStringList({QStringLiteral("MXR/ЗКР-OI ЭЛТОC \"КС-Талвир\""),
                                             QStringLiteral("MXR/ ЗКР")}));
        QVERIFY(!hadCloseButton);
        QCOMPARE(consoleModeOf(*w.main), consoleMode);
        QCOMPARE(MainParts(*w.main).importAction->isEnabled(), consoleMode == 1);
        QVERIFY_PROMPTS(w.prompts);
    }

    void clickingAnItemGivesItsIndexPlusOne_data()
    {
        QTest::addColumn<int>("item");
        QTest::newRow("0") << 0;
        QTest::newRow("1") << 1;
    }

    void clickingAnItemGivesItsIndexPlusOne()
    {
        QFETCH(int, item);
        StartupDialog form(Variant::mxr600r());
        QTimer::singleShot(0, [&] { QTest::mouseClick(form.choiceGroup->button(item), Qt::LeftButton); });
        QCOMPARE(form.exec(), item + 1);
    }

    // Start-up leaves the window in its autonomous state with the defaults of a fresh configuration.
    void startupResetsTheConfiguration()
    {
        Windows w(Variant::mxr600r(), typeFolder_);
        ReserveServers::Addresses stored;
        stored.fill(0x0301A8C0);
        reserveServersOf(*w.main).setStored(stored);
        workspaceOf(*w.main).image().data()[5] = 0x55;
        reserveServersOf(*w.main).setAddressTexts({QStringLiteral("10.0.0.1")});
        w.start(2);
        QCOMPARE(configOf(*w.main), TransceiverConfig::defaults(Variant::mxr600r(), false));
        QCOMPARE(int(workspaceOf(*w.main).image().data()[5]), 0);
        QCOMPARE(reserveServersOf(*w.main).list()->recordCount(), 0);
        QCOMPARE(panelTableOf(*w.main)->rowCount(), 0);
        QVERIFY(!MainParts(*w.main).readAction->isEnabled());
        QVERIFY(!MainParts(*w.main).writeAction->isEnabled());
        QVERIFY(MainParts(*w.main).writeButton->isHidden());
        QVERIFY_PROMPTS(w.prompts);
    }
};

QTEST_MAIN(TestStartup)
#include "test_startup.moc"
