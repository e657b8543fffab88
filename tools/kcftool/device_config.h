// A configuration file taken for a write to the transceiver: its frame records as the send list, the
// memory image they make up, and the factory number the completion message names.
#pragma once

#include "core/variant.h"
#include "link/frames.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace kcftool {

struct DeviceConfig {
    talvir::SendList frames; // the file's frame records, in file order, byte for byte
    QByteArray image;        // variant.imageSize() bytes: every address set by exactly one frame
    quint32 factoryNumber = 0; // settings offset 14, unsigned 32-bit little-endian
};

// Reads FILE for a transceiver of this variant (a write's source, or a side of a diff). Nothing when the file cannot be read, has no
// signature, holds another number of frame records than the variant's memory has bytes (a file of the
// other program included), or holds a record that is not a write frame with a good CRC to an address
// of the memory not set before; *error then says why.
std::optional<DeviceConfig> readDeviceConfig(const QString &path, const talvir::Variant &variant, QString *error);
// The same checks on a file's bytes already read; path only names the file in *error.
std::optional<DeviceConfig> deviceConfigFromBytes(const QByteArray &bytes, const QString &path,
                                                  const talvir::Variant &variant, QString *error);

} // namespace kcftool
