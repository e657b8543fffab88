#include "app_main.h"

#include "app/ui/qt_prompts.h"
#include "app/ui/ta_form.h"
#include "app/ui/ta_form1.h"
#include "app/ui/tb_form.h"
#include "app/variant.h"
#include "edit/ui/tform_al.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

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
    // The standard buttons of the message boxes speak the language of the system, where Qt has it.
    QTranslator qtTexts;
    if (qtTexts.load(QLocale::system(), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);

    QtPrompts prompts;
    TA_Form mainForm(variant, prompts, QCoreApplication::applicationDirPath());
    prompts.setParent(&mainForm);
    TForm_AL reserveList(variant, prompts);
    TA_Form1 objectList(variant);
    TB_Form startup(variant);
    mainForm.setCompanions(&reserveList, &objectList, &startup);

    QObject::connect(&mainForm, &TA_Form::terminateRequested, &app, [&mainForm](int code) {
        // Start-up runs before the event loop does: end the loop as soon as it starts.
        QMetaObject::invokeMethod(
            &mainForm,
            [&mainForm, code] {
                mainForm.hide();
                QCoreApplication::exit(code);
            },
            Qt::QueuedConnection);
    });
    QObject::connect(&mainForm, &TA_Form::finished, &app, &QCoreApplication::quit, Qt::QueuedConnection);

    mainForm.show();
    return app.exec();
}

} // namespace talvir
