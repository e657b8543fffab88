#include "bounded_read.h"

#include <QFile>

namespace talvir {

std::optional<QByteArray> readBoundedFile(const QString &path, qint64 limit, QString *error)
{
    auto fail = [&](const QString &reason) -> std::optional<QByteArray> {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, reason);
        return std::nullopt;
    };
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(file.errorString());
    // A device or a pipe reports no size: the read itself stops one byte past the limit.
    if (file.size() > limit)
        return fail(QStringLiteral("%1 bytes, larger than any correct input (%2 bytes at most); nothing was read")
                        .arg(file.size())
                        .arg(limit));
    const QByteArray bytes = file.read(limit + 1);
    if (file.error() != QFileDevice::NoError)
        return fail(file.errorString());
    if (bytes.size() > limit)
        return fail(QStringLiteral("more than %1 bytes, larger than any correct input; nothing was read").arg(limit));
    return bytes;
}

} // namespace talvir
