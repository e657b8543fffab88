// What stands between the configurator and the console's database: where the alias file was
// looked for, the folders of "TraficDB" and "EditDB", and whether each of the four tables reads.
// The technician sees it as the second paragraph of the box that says console mode cannot run,
// and in full from `kcftool console`.
#pragma once

#include "paradox_table.h"
#include "core/user_message.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace talvir {

struct ConsoleTableCheck {
    QString alias;
    QString table;    // as the queries name it
    QString path;     // empty when the alias has no folder
    bool readable = false;
    QString error;
    int records = 0;
    QList<ParadoxField> fields;
};

struct ConsoleAliasCheck {
    QString alias;
    QString folder; // empty when it cannot be resolved
    QString error;
};

struct ConsoleCheck {
    QStringList aliasFilesLookedFor;
    QString aliasFileInUse; // empty when none was found
    QList<ConsoleAliasCheck> aliases;
    QList<ConsoleTableCheck> tables;
    bool ok() const;
};

// Resolves both aliases and reads each table (read-only).
ConsoleCheck checkConsole();

// The cause for the technician: the first alias or table that cannot be opened and why, then the
// alias file that was looked for. Empty when everything opens.
QString consoleFailureCause(const ConsoleCheck &check);
QString consoleFailureCause();

// The box that says console mode cannot run, under its title: the cause above, else fallbackCause
// (the error of whatever failed first).
UserMessage consoleNotRunning(const QString &title, MessageIcon icon, MessageButtons buttons,
                              const QString &fallbackCause);

} // namespace talvir
