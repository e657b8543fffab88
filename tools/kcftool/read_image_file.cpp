#include "read_image_file.h"

#include "files/config_file.h"
#include "image/config_image.h"
#include "image/config_writer.h"

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

} // namespace kcftool
