// The import of objects and panels from the console's database: the object query of a transceiver's
// factory number, the panel query of each ticked object, and how a console panel becomes a row of
// the panel table. The four tables are read once per opening of the object list into one in-memory
// database; the console's files are only read.
#pragma once

#include "console_database.h"
#include "console_query.h"
#include "core/config_model.h"

#include <QList>
#include <QString>

#include <optional>

namespace talvir {

class PromptService;
struct Variant;

// The console's query texts, as the object-list window holds them.
QString objectQueryText();
QString panelQueryText(const Variant &variant); // MXR_duziv fetches no L.DefCId

// PTN: the decimal text of the factory number taken as an integer (00123 asks for 123).
QString factoryNumberParameter(qint32 factoryNumber);

// One line of the object list.
struct ConsoleObject {
    int id = 0;
    QString name;
    QString line; // "%.30s, %.100s" of the number and the name
};

// The list's line of an object: at most 30 characters of the number, ", ", at most 100 of the name.
QString objectLine(int id, const QString &name);
// Sorts as the list keeps its lines: by text, letter case ignored (object 10 before object 2).
void sortByLine(QList<ConsoleObject> &objects);

// One row of the panel query.
struct ConsolePanel {
    int objRef = 0;
    QString account;   // as the console keeps it; the duplicate question quotes it so
    int typeRef = 0;
    bool defCId = false; // always false in MXR_duziv, whose query has no DefCId
    QString phoneM;
    QString phoneM1;
    int wtGsm = 0;
    QString nameCentral;
};

// The panel-table row of a console panel whose object has position recNmb in the list; nothing for
// a panel whose type has no protocol code in this variant's import table (it is not imported).
std::optional<PanelRecord> panelRecordFrom(const ConsolePanel &panel, int recNmb, const Variant &variant);

class ConsoleImport {
public:
    explicit ConsoleImport(const Variant &variant);

    // Opens the object list of a transceiver: reads ObjList.db and TrnObj.db (alias "TraficDB")
    // afresh and runs the object query. False with error() naming the alias or table that failed.
    bool openObjectList(qint32 factoryNumber);
    // The objects in list order (sorted by line); position i is the RecNmb of its panels.
    const QList<ConsoleObject> &objects() const { return objects_; }

    // The panels of an object as the panel query gives them, in query order. The first call after
    // opening reads CentralList.db and CentralType.db (alias "EditDB") and indexes the columns the
    // query joins on; later calls read no file.
    bool panelsOf(int objectId, QList<ConsolePanel> &panels);

    // Imports the panels of the object on list line `line` into rows (RecNmb = line): a panel whose
    // number a row already has replaces that row when the technician agrees ("Дублирование номера
    // ППК"). Stops with its box when the table is full or the console cannot be read.
    struct ObjectImport {
        bool appended = false; // at least one row: the line is unticked
        bool stopped = false;  // the import ends here, the window stays open
    };
    ObjectImport importObject(int line, QList<PanelRecord> &rows, PromptService &prompts);

    // Releases the tables and the list.
    void close();
    QString error() const { return error_; }

private:
    bool loadTables(const QString &alias, const QStringList &tables);

    const Variant &variant_;
    ConsoleDatabase database_;
    ConsoleQuery panelQuery_;
    QList<ConsoleObject> objects_;
    bool panelTablesLoaded_ = false;
    QString error_;
};

} // namespace talvir
