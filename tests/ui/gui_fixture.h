// Builds the program's four windows as the entry point does, on the offscreen platform, with the
// scripted prompt service and a panel-type table written into a temporary folder.
#pragma once

#include "console/paradox_writer.h"
#include "ui/main_window.h"
#include "window_parts.h"
#include "ui/object_list_dialog.h"
#include "ui/startup_dialog.h"
#include "core/variant.h"
#include "support/scripted_prompts.h"
#include "ui/reserve_server_dialog.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace guitest {

using namespace talvir;

struct TypeRow {
    int typeId;
    QString name;
};

// A table in deliberately unsorted order, so that "the table's order" is visible.
inline QList<TypeRow> sampleTypes()
{
    return {{530, QStringLiteral("Contact GSM-5")}, {24, QStringLiteral("Type 24")},
            {101, QStringLiteral("Type 101")},      {70, QStringLiteral("Type 70")},
            {400, QStringLiteral("Type 400")},      {26, QStringLiteral("Type 26")},
            {250, QStringLiteral("Type 250")}};
}

inline bool writeTypeTable(const QString &folder, const QList<TypeRow> &rows, QString &error)
{
    QList<QVariantList> data;
    for (const TypeRow &r : rows)
        data.append(QVariantList{r.typeId, r.name});
    return writeParadoxTable(folder + QStringLiteral("/CentralType.db"),
                             {{QStringLiteral("TypeId"), ParadoxType::Long, 4},
                              {QStringLiteral("NameCentral"), ParadoxType::Alpha, 40}},
                             data, error);
}

// Points the console installation's alias file (system-scope settings of Talvir/console) at
// settingsDir and lets "EditDB" name editDbFolder.
inline bool writeEditDbAlias(const QString &settingsDir, const QString &editDbFolder)
{
    QSettings::setPath(QSettings::IniFormat, QSettings::SystemScope, settingsDir);
    if (!QDir(settingsDir).mkpath(QStringLiteral("Talvir")))
        return false;
    QFile f(settingsDir + QStringLiteral("/Talvir/console.ini"));
    const QByteArray content = "[Aliases]\nEditDB=" + QDir::toNativeSeparators(editDbFolder).toUtf8() + "\n";
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(content) == content.size();
}

struct Windows {
    ScriptedPrompts prompts; // outlives the windows
    const Variant &variant;
    std::unique_ptr<MainWindow> main;
    std::unique_ptr<ReserveServerDialog> reserveList;
    std::unique_ptr<ObjectListDialog> objectList;
    std::unique_ptr<StartupDialog> startup;
    int exitCode = 0; // asked for by a failed start-up

    Windows(const Variant &v, const QString &typeFolder) : variant(v)
    {
        main = std::make_unique<MainWindow>(variant, prompts, typeFolder);
        reserveList = std::make_unique<ReserveServerDialog>(main->reserveServers(), prompts);
        objectList = std::make_unique<ObjectListDialog>(variant, prompts);
        startup = std::make_unique<StartupDialog>(variant);
        main->setCompanions(reserveList.get(), objectList.get());
        main->setStartupChooser([this] { return startup->exec(); }); // as the program does
        QObject::connect(main.get(), &MainWindow::terminateRequested, [this](int code) { exitCode = code; });
    }

    // Shows the main window with a scripted start-up result (1 console mode, 2 standalone, 0 none).
    void start(int choice)
    {
        main->setStartupChooser([choice] { return choice; });
        main->show();
    }

    ~Windows()
    {
        // The test answers nothing at destruction: no exit question is asked for a window that is
        // only deleted.
        startup.reset();
        objectList.reset();
        reserveList.reset();
        main.reset();
    }
};

inline const Variant &variantByName(const QString &name)
{
    return *Variant::byName(name);
}

// What the window test classes share: the sample panel-type table written once into a temporary
// folder, and the variant column of their data-driven cases.
class WindowTest : public QObject {
    Q_OBJECT

protected:
    QTemporaryDir types_;

    static void variants()
    {
        QTest::addColumn<QString>("variant");
        QTest::newRow("600r") << "600r";
        QTest::newRow("duziv") << "duziv";
    }

    // The variant of the current data row's "variant" column.
    static const Variant &fetchVariant()
    {
        QFETCH(QString, variant);
        return variantByName(variant);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(types_.isValid());
        // The user's settings (the last file folder) go to a folder of the test's own.
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, types_.path() + QStringLiteral("/user"));
        QString error;
        QVERIFY2(writeTypeTable(types_.path(), sampleTypes(), error), qPrintable(error));
    }
};

// The window's commands with no link to the transceiver: no write button, no write or read, and the
// link menu, load and save offered. Fails the test where one differs.
inline void verifyNoLinkCommands(const MainWindow &window)
{
    const MainParts parts(window);
    QVERIFY(parts.writeButton->isHidden());
    QVERIFY(!parts.writeAction->isEnabled());
    QVERIFY(!parts.readAction->isEnabled());
    for (QAction *a : {parts.linkMenuAction, parts.loadAction, parts.saveAction})
        QVERIFY2(a->isEnabled(), qPrintable(a->objectName()));
}

} // namespace guitest
