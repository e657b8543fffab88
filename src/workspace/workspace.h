// What the technician works on in one run of the configurator, without widgets: the panel table
// with its editing rules, the reserve servers, the memory image of the last write or read, the
// panel-type table and the mode start-up chose. The main window shows it and keeps the settings in
// its settings panel; a configuration is the panel's settings with this workspace's tables.
#pragma once

#include "console/panel_type_table.h"
#include "core/config_model.h"
#include "core/user_message.h"
#include "files/config_file.h"
#include "files/panel_append.h"
#include "image/config_image.h"

#include <QObject>
#include <optional>

namespace talvir {

class PanelEditing;
class PanelTable;
class PromptService;
class ReserveServers;
struct Variant;

class Workspace : public QObject {
    Q_OBJECT
public:
    Workspace(const Variant &variant, PromptService &prompts, QObject *parent = nullptr);

    PanelTable &panels() const { return *panels_; }
    PanelEditing &editing() const { return *editing_; }
    ReserveServers &reserveServers() const { return *reserveServers_; }
    ConfigImage &image() { return image_; }
    const PanelTypeTable &typeTable() const { return typeTable_; }
    PanelTypeTable &typeTable() { return typeTable_; }
    // Chosen at start-up: the console's database, not the type table of the program's folder.
    bool consoleMode() const { return consoleMode_; }

    // Start-up in the chosen mode: the type table opened (the console's, or CentralType.db in
    // typeTableFolder, which becomes the current folder) and every table emptied. The box to show
    // when the type table cannot be opened: the program then ends.
    std::optional<UserMessage> start(bool consoleMode, const QString &typeTableFolder);
    // The program ends: the type table closes, the tables are emptied.
    void close();

    // The configuration of these settings with the workspace's reserve addresses and panels.
    TransceiverConfig configWith(const TransceiverConfig &settings) const;
    // The reserve addresses and the panels of a configuration, the rows as they are.
    void setTables(const TransceiverConfig &config);
    // Rows taken from a transceiver or a file are named from the type list.
    void nameRows(QList<PanelRecord> &rows) const;

    // A read starts: the image's settings and slots, the tables and the stored reserve addresses
    // are emptied.
    void clearForRead();
    // A read ended: its blocks go into the image (also when it failed half-way).
    void takeReadImage(const QByteArray &bytes) { image_.setBytes(bytes); }
    // A read that succeeded: the configuration of its image (the settings the image lacks from
    // shown), and the reserve list made anew from its addresses, closed up.
    TransceiverConfig takeRead(const TransceiverConfig &shown);

    // A configuration file loaded over the settings shown. Past the signature the reserve list is
    // made anew from the file, also when the load fails later on (empty unless the reserve field was
    // reached). A failed load's box: Format changes nothing; Fatal keeps the settings met before the
    // failure in config, the panel table and the stored reserve entries untouched.
    struct FileLoad {
        FileFailure failure = FileFailure::None;
        UserMessage box;
        TransceiverConfig config;
        bool holdsLocalAddress = false; // the LAN connection proposes config.localIp next time
    };
    FileLoad loadFile(const QString &path, const TransceiverConfig &shown);

    // Appends the panels of a configuration file, stored unchecked; the outcome says what to show.
    PanelAppend appendFromFile(const QString &path);

private:
    const Variant &variant_;
    PanelTable *panels_;
    PanelEditing *editing_;
    ReserveServers *reserveServers_;
    ConfigImage image_;
    PanelTypeTable typeTable_;
    bool consoleMode_ = false;
};

} // namespace talvir
