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

FileRequest configFileToOpen(const Variant &variant)
{
    FileRequest request;
    // The description lacks its closing quote, as the technician has always seen it.
    request.filter = QStringLiteral("Файлы трансивера \"Талвир-MXR (*.kcf);;Все файлы (*.*)");
    request.defaultSuffix = QStringLiteral("kcf");
    request.folder = lastFileFolder(variant);
    return request;
}

FileRequest configFileToSave(const Variant &variant, const QString &factoryNumber)
{
    FileRequest request;
    request.filter = QStringLiteral("Файлы трансивера \"Талвир-MXR\" (*.kcf);;Все файлы (*.*)");
    request.defaultSuffix = QStringLiteral("kcf");
    request.proposedName = factoryNumber;
    request.folder = lastFileFolder(variant);
    return request;
}

} // namespace talvir
