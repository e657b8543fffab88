// A configuration read from the transceiver, saved as a configuration file. Kept apart from the link
// headers: the memory map and the LAN datagrams each name the slot and settings sizes.
#pragma once

#include "core/variant.h"

#include <QByteArray>
#include <QString>

namespace kcftool {

// Saves image (variant.imageSize() bytes, as a LAN read fills it) as "Сохранить" does after the read:
// one frame per image byte, settings bytes 94-96 included as the transceiver gave them, written
// atomically. Returns an empty text on success, else the reason; an existing file then stays as it was.
QString saveReadImage(const QByteArray &image, const talvir::Variant &variant, const QString &path);

} // namespace kcftool
