// A Qt generic plugin that the package test loads into an installed program
// (QT_QPA_GENERIC_PLUGINS=talvirsmoke): it closes the start-up choice without choosing, which is
// standalone mode, waits for the main window and prints the folder standalone mode opened
// CentralType.db in (the program makes it the current folder), then quits. A message box on the
// way (e.g. "Отсутствует таблица типов ППК!") is printed and ends the program with exit code 3.
// Classes are recognised by name: the program's own copies of them are not this plugin's.
#include <QApplication>
#include <QDir>
#include <QGenericPlugin>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstdlib>

namespace {

class SmokeDriver : public QObject {
public:
    SmokeDriver()
    {
        auto *poll = new QTimer(this);
        connect(poll, &QTimer::timeout, this, &SmokeDriver::look);
        poll->start(200);
    }

private:
    void look()
    {
        QWidget *mainWindow = nullptr;
        bool dialogShown = false;
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (!w->isVisible())
                continue;
            if (auto *box = qobject_cast<QMessageBox *>(w)) {
                std::printf("message box: %s: %s\n", qPrintable(box->windowTitle()), qPrintable(box->text()));
                std::fflush(stdout);
                std::_Exit(3);
            }
            if (w->inherits("talvir::StartupDialog")) {
                w->close();
                startupClosed_ = true;
                dialogShown = true;
            } else if (w->inherits("talvir::MainWindow")) {
                mainWindow = w;
            } else if (w->inherits("QDialog")) {
                dialogShown = true;
            }
        }
        if (!startupClosed_ || dialogShown || !mainWindow)
            return;
        std::printf("standalone: %s\ncaption: %s\n", qPrintable(QDir::currentPath()),
                    qPrintable(mainWindow->windowTitle()));
        std::fflush(stdout);
        QCoreApplication::exit(0);
    }

    bool startupClosed_ = false;
};

} // namespace

class SmokePlugin : public QGenericPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "smoke_plugin.json")
public:
    QObject *create(const QString &key, const QString &) override
    {
        return key.compare(QLatin1String("talvirsmoke"), Qt::CaseInsensitive) == 0 ? new SmokeDriver : nullptr;
    }
};

#include "smoke_plugin.moc"
