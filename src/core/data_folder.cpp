#include "data_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace talvir {

QStringList dataFolders()
{
    if (!QCoreApplication::instance())
        return {};
    const QString own = QCoreApplication::applicationDirPath();
    return {own, QDir::cleanPath(own + QStringLiteral("/../share/talvir"))};
}

QString dataFolderOf(const QString &name)
{
    const QStringList folders = dataFolders();
    for (const QString &folder : folders) {
        if (QFileInfo::exists(QDir(folder).filePath(name)))
            return folder;
    }
    return folders.value(0);
}

} // namespace talvir
