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

// Why a read's file could not be saved at path, or an empty text: asked before the read, so that no
// read is lost. The save goes through a temporary file beside path that is renamed over it, so that
// file is created here and dropped.
QString readOutputRefusal(const QString &path);

} // namespace kcftool
