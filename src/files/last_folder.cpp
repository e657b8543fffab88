#include "last_folder.h"

#include "core/variant.h"

#include <QFileInfo>
#include <QSettings>

namespace talvir {

namespace {

const QString kKey = QStringLiteral("files/lastFolder");

QSettings userSettings(const Variant &variant)
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Talvir"), variant.programName);
}

} // namespace

QString lastFileFolder(const Variant &variant)
{
    const QString folder = userSettings(variant).value(kKey).toString();
    // A folder that went away (a removed stick) is not proposed.
    return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : QString();
}

void rememberFileFolder(const Variant &variant, const QString &path)
{
    userSettings(variant).setValue(kKey, QFileInfo(path).absolutePath());
}

} // namespace talvir
