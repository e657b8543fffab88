#include "workspace.h"

#include "console/console_check.h"
#include "core/ip_text.h"
#include "tables/panel_editing.h"
#include "tables/panel_table.h"
#include "tables/reserve_list.h"

#include <QDir>

namespace talvir {

namespace {

// The reserve list's rows for these addresses, in their order, the empty entries left out.
template <typename Addresses>
QStringList reserveTexts(const Addresses &addresses)
{
    QStringList texts;
    for (quint32 ip : addresses)
        if (ip != 0)
            texts << ipToText(ip);
    return texts;
}

} // namespace

Workspace::Workspace(const Variant &variant, PromptService &prompts, QObject *parent)
    : QObject(parent), variant_(variant), panels_(new PanelTable(this)),
      editing_(new PanelEditing(variant, panels_, prompts, this)),
      reserveServers_(new ReserveServers(variant, prompts, this)), image_(variant)
{
    panels_->setObjectName(QStringLiteral("panelTable"));
    editing_->setObjectName(QStringLiteral("panelEditing"));
    reserveServers_->setObjectName(QStringLiteral("reserveServers"));
}

std::optional<UserMessage> Workspace::start(bool consoleMode, const QString &typeTableFolder)
{
    consoleMode_ = consoleMode;
    editing_->setConsoleMode(consoleMode);
    typeTable_.close();
    std::optional<UserMessage> failure;
    if (consoleMode) {
        if (!typeTable_.openConsole()) {
            // The second paragraph tells the technician what to fix: the alias or table that could
            // not be opened and where the alias file was looked for.
            failure = consoleNotRunning(QStringLiteral("Завершение работы"), MessageIcon::Error, MessageButtons::Ok,
                                        typeTable_.lastError());
        }
    } else {
        QDir::setCurrent(typeTableFolder);
        if (!typeTable_.openStandalone(typeTableFolder)) {
            // The second paragraph says where the table was looked for, as the console-mode boxes do.
            failure = UserMessage{QStringLiteral("Завершение работы"),
                                  QStringLiteral("Отсутствует таблица типов ППК!\n\n") +
                                      QDir(typeTableFolder).filePath(QStringLiteral("CentralType.db")),
                                  MessageIcon::Error, MessageButtons::Ok, MessageAnswer::None, true};
        }
    }
    if (failure)
        return failure;
    image_.clearPanelArea();
    reserveServers_->setStored({});
    panels_->clear();
    reserveServers_->clearList();
    return std::nullopt;
}

void Workspace::close()
{
    typeTable_.close();
    panels_->clear();
    reserveServers_->clearList();
}

TransceiverConfig Workspace::configWith(const TransceiverConfig &settings) const
{
    TransceiverConfig c = settings;
    c.reserveIps = reserveServers_->stored();
    c.panels = panels_->rows();
    return c;
}

void Workspace::setTables(const TransceiverConfig &config)
{
    reserveServers_->setStored(config.reserveIps);
    panels_->setRows(config.panels);
}

void Workspace::nameRows(QList<PanelRecord> &rows) const
{
    // The type name keeps 20 characters; a type the list does not know is still read and named so.
    for (PanelRecord &row : rows) {
        const PanelType *type = typeTable_.find(row.typeId);
        row.typeName = type ? panelTypeText(type->nameCentral) : unknownPanelTypeText();
    }
}

void Workspace::clearForRead()
{
    image_.clearSettings();
    image_.clearPanelArea();
    editing_->emptyTable();
    editing_->clearCount();
    reserveServers_->clearList();
    reserveServers_->setStored({});
}

TransceiverConfig Workspace::takeRead(const TransceiverConfig &shown)
{
    const TransceiverConfig config = image_.toConfig(shown);
    // The stored reserve entries follow the list, closed up.
    reserveServers_->setAddressTexts(reserveTexts(config.reserveIps));
    return config;
}

Workspace::FileLoad Workspace::loadFile(const QString &path, const TransceiverConfig &shown)
{
    const QString title = QStringLiteral("Загрузка конфигурации");
    FileLoad load;
    // The whole file is read and decoded before anything changes.
    const ConfigFileContents contents = loadConfigFile(path, variant_);
    load.failure = contents.failure;
    if (contents.failure == FileFailure::Format) {
        load.box = {title, contents.message, MessageIcon::Warning, MessageButtons::YesNo};
        return load;
    }
    load.config = shown;
    contents.applyTo(load.config, variant_);
    reserveServers_->setAddressTexts(contents.reserveReached ? reserveTexts(contents.reserveIps) : QStringList());
    for (const LoadedSetting &setting : contents.settings)
        load.holdsLocalAddress = load.holdsLocalAddress || setting.field == SettingField::LocalIp;
    if (!contents.ok())
        load.box = {title, contents.message, MessageIcon::Error};
    return load;
}

PanelAppend Workspace::appendFromFile(const QString &path)
{
    // The file is decoded whole before the table changes.
    const PanelAppend found =
        appendPanelsFromFile(path, variant_, panels_->recordCount(), [this](int typeId) -> std::optional<QString> {
            const PanelType *type = typeTable_.find(typeId);
            return type ? std::optional<QString>(type->nameCentral) : std::nullopt;
        });
    if (found.ok()) {
        DetachedHooks unchecked(*panels_, {Dataset::Hook::BeforePost});
        for (const PanelRecord &row : found.rows)
            panels_->appendRow(row);
    }
    return found;
}

} // namespace talvir
