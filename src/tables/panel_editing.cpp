#include "panel_editing.h"

#include "core/prompts.h"
#include "core/variant.h"
#include "tables/panel_table.h"
#include "tables/protocol_codes.h"

namespace talvir {

PanelEditing::PanelEditing(const Variant &variant, PanelTable *table, PromptService &prompts, QObject *parent)
    : QObject(parent), variant_(variant), table_(table), prompts_(prompts)
{
    table_->setBeforePost([this] { return checkRow(); });
    table_->setAfterPost([this] { afterStored(); });
    table_->setBeforeScroll([this] { showRowType(); });
    table_->setAfterScroll([this] { showRowType(); });
}

bool PanelEditing::checkRow()
{
    const PanelRowFault fault =
        checkPanelNumbers(table_->fieldValue(PanelTable::Obj).toString(), table_->fieldValue(PanelTable::Account).toString());
    if (fault != PanelRowFault::None) {
        prompts_.message(QStringLiteral("Ошибка"), panelRowFaultText(fault), MessageIcon::Error);
        emit focusRequested(fault == PanelRowFault::ObjectNumber ? PanelTable::Obj : PanelTable::Account);
        return false; // the pending insertion or change is discarded
    }
    // Without a selector of its own the row takes the type the type grid shows at this moment.
    if (const std::optional<TypeChoice> type = typeSource_ ? typeSource_() : std::nullopt) {
        table_->setFieldValue(PanelTable::TypeId, type->typeId);
        table_->setFieldValue(PanelTable::NPpk, panelTypeText(type->name.trimmed()));
    }
    table_->setFieldValue(PanelTable::Prot, protocolCode(table_->fieldValue(PanelTable::TypeId).toInt()));
    return true;
}

void PanelEditing::afterStored()
{
    showCount();
    table_->sortByObject();
    emit typeSelectorLocked(true);
    showRowType();
}

void PanelEditing::showRowType()
{
    if (table_->isEditing() || table_->currentRow() < 0)
        return;
    emit rowTypeShown(table_->fieldValue(PanelTable::TypeId).toInt());
}

void PanelEditing::chooseType(const TypeChoice &choice)
{
    if (table_->currentRow() < 0)
        return;
    table_->setFieldValue(PanelTable::NPpk, panelTypeText(choice.name));
    table_->setFieldValue(PanelTable::TypeId, choice.typeId);
}

void PanelEditing::showCount()
{
    emit countText(panelCountText(table_->recordCount()));
}

void PanelEditing::run(DatasetCommand command)
{
    switch (command) {
    case DatasetCommand::First:
    case DatasetCommand::Prior:
    case DatasetCommand::Next:
    case DatasetCommand::Last:
        // A pending row is stored first; the move starts from where it was sorted to.
        if (table_->checkBrowseMode()) {
            const int at = table_->currentRow();
            table_->moveTo(command == DatasetCommand::First ? 0
                           : command == DatasetCommand::Prior ? at - 1
                           : command == DatasetCommand::Next  ? at + 1
                                                              : table_->rowCount() - 1);
        }
        break;
    default: runDatasetCommand(*table_, command, prompts_); break;
    }
    if (consoleMode_)
        followUpConsole(command);
    else
        followUpStandalone(command);
}

bool PanelEditing::refuseInsertAtCapacity()
{
    if (table_->recordCount() < variant_.maxPanels)
        return false;
    prompts_.message(QStringLiteral("Ошибка"), QStringLiteral("Превышено максимально-допустимое число объектов"),
                     MessageIcon::Error, MessageButtons::Ok, MessageAnswer::None, true);
    if (table_->state() == Dataset::State::Insert)
        table_->cancel();
    emit typeSelectorLocked(true);
    return true;
}

void PanelEditing::followUpStandalone(DatasetCommand command)
{
    switch (command) {
    case DatasetCommand::Insert:
        if (!refuseInsertAtCapacity())
            emit focusRequested(PanelTable::Obj);
        break;
    case DatasetCommand::Delete:
        showCount();
        emit typeSelectorLocked(true);
        break;
    case DatasetCommand::Edit:
        emit typeListMoved(table_->fieldValue(PanelTable::TypeId).toInt());
        emit typeSelectorLocked(false);
        break;
    default: emit typeSelectorLocked(true); break;
    }
}

void PanelEditing::followUpConsole(DatasetCommand command)
{
    switch (command) {
    case DatasetCommand::Insert:
        // The capacity holds here too: the transceiver has no slot beyond it.
        if (refuseInsertAtCapacity())
            break;
        emit typeSelectorLocked(false);
        emit consoleInsertOpened();
        break;
    case DatasetCommand::Delete:
        if (table_->currentRow() >= 0)
            table_->edit();
        emit countText(QStringLiteral("Объектов %1").arg(table_->recordCount()));
        emit typeSelectorLocked(true);
        break;
    case DatasetCommand::Edit:
        emit typeListMoved(table_->fieldValue(PanelTable::TypeId).toInt());
        emit typeSelectorLocked(true);
        break;
    default: emit typeSelectorLocked(true); break;
    }
}

bool PanelEditing::settle()
{
    return table_->checkBrowseMode();
}

bool PanelEditing::settleChecked()
{
    const bool suspended = !table_->isAttached(Dataset::Hook::BeforePost);
    if (suspended)
        table_->attach(Dataset::Hook::BeforePost);
    const bool settled = settle();
    if (suspended)
        table_->detach(Dataset::Hook::BeforePost);
    return settled;
}

void PanelEditing::askToEmptyTable()
{
    const MessageAnswer answer =
        prompts_.message(QStringLiteral("Список ППК"), QStringLiteral("Вы действительно хотите очистить список ППК?"),
                         MessageIcon::Warning, MessageButtons::YesNo, MessageAnswer::No, true);
    if (answer == MessageAnswer::Yes)
        emptyTable();
}

void PanelEditing::emptyTable()
{
    table_->detach(Dataset::Hook::BeforePost);
    table_->clear();
    table_->attach(Dataset::Hook::BeforePost);
    showCount();
}

void PanelEditing::suspendChecks()
{
    for (Dataset::Hook h : {Dataset::Hook::BeforePost, Dataset::Hook::AfterPost}) {
        if (table_->isAttached(h) && !suspended_.contains(h)) {
            table_->detach(h);
            suspended_.append(h);
        }
    }
}

void PanelEditing::resumeChecks()
{
    for (Dataset::Hook h : std::as_const(suspended_))
        table_->attach(h);
    suspended_.clear();
}

void PanelEditing::showFilledTable()
{
    showCount();
    table_->first();
}

void PanelEditing::takeImported(const QList<PanelRecord> &rows)
{
    table_->setRows(rows);
    emit countText(QStringLiteral("O\u0431\u044a\u0435\u043a\u0442\u043e\u0432 %1")
                       .arg(table_->recordCount())); // a Latin "O", as ever
    table_->first();
}

} // namespace talvir
