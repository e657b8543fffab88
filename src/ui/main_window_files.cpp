// The main window's file commands: "Сохранить" writes the configuration the window shows into a
// configuration file through the write command, "Загрузить" fills the window from such a file.
// Neither touches the transceiver. The file format itself is files/config_file.h.
#include "main_window.h"

#include "tables/panel_editing.h"
#include "workspace/workspace.h"

#include "core/prompts.h"
#include "files/last_folder.h"
#include "image/config_writer.h"
#include "ui/settings_panel.h"


namespace talvir {

namespace {

QString saveTitle() { return QStringLiteral("Конфигурирование"); }
} // namespace

std::optional<QString> MainWindow::askConfigFileToOpen()
{
    const std::optional<QString> path = prompts_.openFile(configFileToOpen(variant_));
    if (path)
        rememberFileFolder(variant_, *path);
    return path;
}

void MainWindow::saveFile()
{
    whenIdle([&] {
        // A row being typed is stored first, so the file holds what the technician sees.
        if (!workspace_->editing().settle())
            return;
        const QString factoryNumber = settings_->factoryNumber();
        if (factoryNumber.isEmpty()) {
            prompts_.message(saveTitle(), noFactoryNumberMessage(), MessageIcon::Error);
            return;
        }
        const std::optional<QString> path = prompts_.saveFile(configFileToSave(variant_, factoryNumber));
        if (!path || path->isEmpty())
            return;
        rememberFileFolder(variant_, *path);

        // The file is written only once every check of the write has passed, and then through a
        // temporary file: a refused or failed save leaves an existing file as it was.
        const QString target = *path;
        runWrite([&](const SendList &list) {
            const QString failure = saveConfigFile(target, list);
            if (!failure.isEmpty())
                prompts_.message(saveTitle(), failure, MessageIcon::Error);
        });
    });
}

void MainWindow::loadFile()
{
    whenIdle([&] {
        workspace_->editing().clearCount();
                const std::optional<QString> path = askConfigFileToOpen();
        if (!path)
            return;

        // The whole file is read and decoded before the window changes, so nothing else runs in the
        // middle of a load and a second load cannot start inside it.
        const Workspace::FileLoad load = workspace_->loadFile(*path, currentConfig());
        if (load.failure == FileFailure::Format) {
            prompts_.message(load.box);
            return;
        }
        if (load.holdsLocalAddress)
            link_->proposeAddress(load.config.localIp);
        if (load.failure != FileFailure::None) {
            // The settings met before the failure are shown; "Импорт" is not offered.
            settings_->setConfig(load.config);
            prompts_.message(load.box);
            return;
        }
        showTakenConfig(load.config);

        if (variant_.importEnabledByLoad)
            importAction->setEnabled(true);
    });
}

} // namespace talvir
