// Where a program finds the files it ships with (CentralType.db, the demo console, Qt's Russian
// texts): beside the executable in a build tree or a Windows install, ../share/talvir in a package.
#pragma once

#include <QString>
#include <QStringList>

namespace talvir {

// The folders looked in, in order: the executable's own folder, then ../share/talvir relative to it.
// Empty before a QCoreApplication exists.
QStringList dataFolders();

// The first of dataFolders() that holds the file or folder name; the first folder when none does,
// so a message about the missing file names the place a build tree has it.
QString dataFolderOf(const QString &name);

} // namespace talvir
