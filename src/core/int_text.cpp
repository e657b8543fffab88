#include "int_text.h"

namespace talvir {

QString notAnIntegerMessage(const QString &text)
{
    return QStringLiteral("'%1' is not a valid integer value").arg(text);
}

std::optional<qint32> strToInt(const QString &text, QString *error)
{
    const auto fail = [&]() -> std::optional<qint32> {
        if (error)
            *error = notAnIntegerMessage(text);
        return std::nullopt;
    };
    int i = 0;
    const int n = text.size();
    while (i < n && text.at(i) == QLatin1Char(' '))
        ++i;
    bool negative = false;
    if (i < n && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+'))) {
        negative = text.at(i) == QLatin1Char('-');
        ++i;
    }
    if (i == n)
        return fail();
    qint64 value = 0;
    for (; i < n; ++i) {
        const QChar c = text.at(i);
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return fail();
        value = value * 10 + (c.unicode() - '0');
        if (value > qint64(2147483648))
            return fail();
    }
    if (negative)
        value = -value;
    if (value > 2147483647)
        return fail();
    return qint32(value);
}

} // namespace talvir
