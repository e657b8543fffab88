#include "read_image_file.h"

#include "files/config_file.h"
#include "image/config_image.h"
#include "image/config_writer.h"

#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>

using namespace talvir;

namespace kcftool {

QString saveReadImage(const QByteArray &image, const Variant &variant, const QString &path)
{
    if (image.size() != variant.imageSize())
        return QStringLiteral("%1: the read gave %2 bytes instead of %3; nothing was written")
            .arg(path)
            .arg(image.size())
            .arg(variant.imageSize());
    ConfigImage memory(variant);
    std::copy(image.cbegin(), image.cend(), reinterpret_cast<char *>(memory.data()));
    SendList list;
    buildSendList(memory, list);
    return saveConfigFile(path, list);
}

QString readOutputRefusal(const QString &path)
{
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        return QStringLiteral("%1: not a regular file (a folder, a pipe or a device); nothing was read").arg(path);
    QSaveFile probe(path);
    if (!probe.open(QIODevice::WriteOnly))
        return QStringLiteral("%1: cannot be saved there: %2; nothing was read").arg(path, probe.errorString());
    probe.cancelWriting();
    return {};
}

} // namespace kcftool
