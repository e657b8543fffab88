// The console installation's database aliases ("TraficDB", "EditDB"): each names the folder that
// holds a group of its Paradox tables. They are kept in the installation's alias file, section
// [Aliases], one NAME=folder line each, among the system-wide settings of organisation "Talvir",
// application "console".
#pragma once

#include <QString>

namespace talvir {

// Where the alias file is looked for: Qt's system-scope INI location for Talvir/console
// (QSettings::setPath(IniFormat, SystemScope, ...) moves it, as the tests do).
QString consoleAliasFile();

// The demo console shipped with the programs: its alias file is used when no console's alias
// file is installed (an installed one always wins). Off until a program or test turns it on;
// an empty folder means the program's data folder (beside it, else ../share/talvir).
void useDemoConsole(const QString &folder = {});
void noDemoConsole();
// The demo's alias file (folder/demo_console.ini), or empty while the demo is off.
QString demoAliasFile();
// The alias file the aliases are read from: the console's when it exists, else the demo's when
// that exists; empty when neither does.
QString aliasFileInUse();
// Every place looked for, in order (the console's first), for messages to the technician.
QStringList aliasFilesLookedFor();

// The folder of an alias (name compared without regard to letter case, as the console does).
// A relative folder is taken from the alias file's own folder (the demo's is relative).
// False with a message when the file or the alias is missing or the alias names no folder.
bool resolveAlias(const QString &alias, QString &folder, QString &error);

// The path of a table in a folder. The console's files were made on Windows, where names ignore
// letter case, so "CentralType.db" also finds "CENTRALTYPE.DB". Without a match: folder/table.
QString tablePath(const QString &folder, const QString &table);

} // namespace talvir
