#include "app_main.h"

#include "ui/qt_prompts.h"
#include "ui/main_window.h"
#include "ui/object_list_dialog.h"
#include "ui/startup_dialog.h"
#include "core/data_folder.h"
#include "core/variant.h"
#include "ui/reserve_server_dialog.h"
#include "ui/russian_texts.h"

#include <QApplication>

namespace talvir {

int runApplication(int &argc, char **argv, const Variant &variant)
{
    QApplication app(argc, argv);
    // The title names the program in the task bar and in the error report. It is not the display
    // name, which the platform would append to every window caption.
    if (!variant.applicationTitle.isEmpty())
        QApplication::setApplicationName(variant.applicationTitle);
    // The program ends when the main window's exit is confirmed or start-up fails, not when the
    // start-up window closes before the main window is on screen.
    QApplication::setQuitOnLastWindowClosed(false);
    installRussianQtTexts(app);

    QtPrompts prompts;
    MainWindow mainForm(variant, prompts, dataFolderOf(QStringLiteral("CentralType.db")));
    prompts.setParent(&mainForm);
    ReserveServerDialog reserveList(mainForm.reserveServers(), prompts);
    ObjectListDialog objectList(variant, prompts);
    StartupDialog startup(variant);
    mainForm.setCompanions(&reserveList, &objectList);
    mainForm.setStartupChooser([&startup] { return startup.exec(); });

    QObject::connect(&mainForm, &MainWindow::terminateRequested, &app, [&mainForm](int code) {
        // Start-up runs before the event loop does: end the loop as soon as it starts.
        QMetaObject::invokeMethod(
            &mainForm,
            [&mainForm, code] {
                mainForm.hide();
                QCoreApplication::exit(code);
            },
            Qt::QueuedConnection);
    });
    QObject::connect(&mainForm, &MainWindow::finished, &app, &QCoreApplication::quit, Qt::QueuedConnection);

    mainForm.show();
    return app.exec();
}

} // namespace talvir
