// Reading a whole file that must stay under a size limit: a device (/dev/zero), a pipe or a wrong
// pick is refused after limit + 1 bytes instead of being read into memory without end.
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace talvir {

// The file's bytes, or nullopt with the reason in *error (when given): it cannot be opened or read,
// or it holds more than limit bytes ("larger than ..." names the limit).
std::optional<QByteArray> readBoundedFile(const QString &path, qint64 limit, QString *error);

} // namespace talvir
