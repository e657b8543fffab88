// The main window's file commands: "Сохранить" writes the configuration the window shows into a
// configuration file through the write command, "Загрузить" fills the window from such a file.
// Neither touches the transceiver. The file format itself is files/config_file.h.
#include "main_window.h"

#include "tables/panel_editing.h"

#include "core/ip_text.h"
#include "core/prompts.h"
#include "core/variant.h"
#include "ui/dataset_navigator.h"
#include "files/last_folder.h"
#include "ui/panel_table_view.h"
#include "ui/settings_panel.h"
#include "tables/reserve_list.h"
#include "files/config_file.h"
#include "image/config_writer.h"

#include <QLabel>
#include <QLineEdit>
#include <QTableView>

namespace talvir {

namespace {

QString saveFilter() { return QStringLiteral("Файлы трансивера \"Талвир-MXR\" (*.kcf);;Все файлы (*.*)"); }

QString saveTitle() { return QStringLiteral("Конфигурирование"); }
QString loadTitle() { return QStringLiteral("Загрузка конфигурации"); }

bool holdsLocalAddress(const ConfigFileContents &contents)
{
    for (const LoadedSetting &s : contents.settings)
        if (s.field == SettingField::LocalIp)
            return true;
    return false;
}

QStringList addressTexts(const QList<quint32> &ips)
{
    QStringList texts;
    for (quint32 ip : ips)
        texts << ipToText(ip);
    return texts;
}

} // namespace

std::optional<QString> MainWindow::askConfigFileToOpen()
{
    FileRequest request;
    // The description lacks its closing quote, as the technician has always seen it.
    request.filter = QStringLiteral("Файлы трансивера \"Талвир-MXR (*.kcf);;Все файлы (*.*)");
    request.defaultSuffix = QStringLiteral("kcf");
    request.folder = lastFileFolder(variant_);
    const std::optional<QString> path = prompts_.openFile(request);
    if (path)
        rememberFileFolder(variant_, *path);
    return path;
}

void MainWindow::saveFile()
{
    whenIdle([&] {
        // A row being typed is stored first, so the file holds what the technician sees.
        if (!panelEditing_->settle())
            return;
        const QString factoryNumber = settings_->factoryNumber();
        if (factoryNumber.isEmpty()) {
            prompts_.message(saveTitle(), noFactoryNumberMessage(), MessageIcon::Error);
            return;
        }
        FileRequest request;
        request.filter = saveFilter();
        request.defaultSuffix = QStringLiteral("kcf");
        request.proposedName = factoryNumber;
        request.folder = lastFileFolder(variant_);
        const std::optional<QString> path = prompts_.saveFile(request);
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
        panelEditing_->clearCount();
                const std::optional<QString> path = askConfigFileToOpen();
        if (!path)
            return;

        // The whole file is read and decoded before the window changes, so nothing else runs in the
        // middle of a load and a second load cannot start inside it.
        const ConfigFileContents contents = loadConfigFile(*path, variant_);
        if (contents.failure == FileFailure::Format) {
            prompts_.message(loadTitle(), contents.message, MessageIcon::Warning, MessageButtons::YesNo);
            return;
        }

        // Past the signature the reserve list is made anew from the file, also when the load
        // fails later on: it stays empty unless the reserve field was reached.
        TransceiverConfig config = currentConfig();
        contents.applyTo(config, variant_);
        reserveServers_->setAddressTexts(contents.reserveReached ? addressTexts(contents.reserveIps) : QStringList());
        if (holdsLocalAddress(contents))
            link_->proposeAddress(config.localIp); // the LAN connection proposes it next time

        if (!contents.ok()) {
            // The settings met before the failure are shown; the panel table and the stored reserve
            // entries stay as they were, and "Импорт" is not offered.
            settings_->setConfig(config);
            prompts_.message(loadTitle(), contents.message, MessageIcon::Error);
            return;
        }

        showTakenConfig(config);

        if (variant_.importEnabledByLoad)
            importAction->setEnabled(true);
    });
}

} // namespace talvir
