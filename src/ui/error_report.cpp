#include "error_report.h"

#include "core/int_text.h"
#include "core/ip_text.h"

namespace talvir {

quint32 addressOrStop(const QString &text)
{
    QString error;
    const std::optional<quint32> address = ipFromText(text, &error);
    if (!address)
        throw ConversionError(error);
    return *address;
}

qint32 numberOrStop(const QString &text)
{
    QString error;
    const std::optional<qint32> number = strToInt(text, &error);
    if (!number)
        throw ConversionError(error);
    return *number;
}

} // namespace talvir
