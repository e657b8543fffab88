// The panel table's editing rules, without widgets: the check a row passes before it is stored and
// what follows a stored row, the navigator's commands with their follow-up in standalone and in
// console mode, the capacity of the variant, and the checks taken off while the console's object
// list is open. The panel view shows what it announces: the counter, the type selector's lock, the
// row's type and which box takes the focus.
#pragma once

#include "core/config_model.h"
#include "tables/dataset.h"
#include "tables/dataset_command.h"

#include <QList>
#include <QObject>
#include <functional>
#include <optional>

namespace talvir {

class PanelTable;
class PromptService;
struct Variant;

class PanelEditing : public QObject {
    Q_OBJECT
public:
    PanelEditing(const Variant &variant, PanelTable *table, PromptService &prompts, QObject *parent = nullptr);

    PanelTable *table() const { return table_; }
    // Console mode changes the navigator's follow-up (Insert opens the object list, Delete keeps the
    // next row open and counts "Объектов N").
    void setConsoleMode(bool on) { consoleMode_ = on; }

    // A type the technician chose: its TypeId and its name in the type list.
    struct TypeChoice {
        int typeId;
        QString name;
    };
    // Where a row without a type selector of its own (MXR_duziv's type grid) takes its type from
    // when it is stored.
    void setTypeSource(std::function<std::optional<TypeChoice>()> source) { typeSource_ = std::move(source); }
    // The type chosen in the selector goes into the current row.
    void chooseType(const TypeChoice &choice);

    // Runs a navigator command and its follow-up.
    void run(DatasetCommand command);
    // Stores a row being inserted or edited through the check (an untouched new row is dropped);
    // false when the check refused it (its message was shown). Commands that take the table call
    // this first, so nothing typed is lost.
    bool settle();
    // The same even while the checks are suspended.
    bool settleChecked();
    // Empties the table without checking a row that is being edited; the check stays attached.
    void emptyTable();
    // Ctrl+Shift+D: empties the table once the technician agrees.
    void askToEmptyTable();
    // While the console's object list is open rows are stored unchecked and unsorted; then the
    // checks come back.
    void suspendChecks();
    void resumeChecks();
    // After a read, a load or an append: the counter and the first row.
    void showFilledTable();
    // The rows of a console import: the table takes them as they are, the counter tells them, the
    // first row is current.
    void takeImported(const QList<PanelRecord> &rows);
    // The counter says nothing until the table is shown again.
    void clearCount() { emit countText(QString()); }
    // Announces the current row's type (not while a row is being typed).
    void showRowType();

signals:
    void countText(const QString &text);
    void typeSelectorLocked(bool locked);
    // The row's type, for the selector to show (-1 in the drop-down: no type).
    void rowTypeShown(int typeId);
    // The type grid goes to this type (an edit begins).
    void typeListMoved(int typeId);
    // The box of this field takes the focus.
    void focusRequested(int field);
    // Console mode's Insert opened a row: the window checks the factory number and opens the
    // object list in add mode.
    void consoleInsertOpened();

private:
    bool checkRow();
    void afterStored();
    void followUpStandalone(DatasetCommand command);
    void followUpConsole(DatasetCommand command);
    bool refuseInsertAtCapacity();
    void showCount();

    const Variant &variant_;
    PanelTable *table_;
    PromptService &prompts_;
    std::function<std::optional<TypeChoice>()> typeSource_;
    bool consoleMode_ = false;
    QList<Dataset::Hook> suspended_; // the checks the open object list took off
};

} // namespace talvir
