// Whole numbers typed as text, read as the platform's integer conversion reads them. A text that is
// not one is answered with the platform's own message, which the windows show as it is.
#pragma once

#include <QString>
#include <optional>

namespace talvir {

// "'text' is not a valid integer value"
QString notAnIntegerMessage(const QString &text);

// Leading blanks and one sign are allowed, nothing after the digits, and the value must fit a signed
// 32-bit integer. Nothing otherwise, with *error (when given) set to notAnIntegerMessage(text).
std::optional<qint32> strToInt(const QString &text, QString *error = nullptr);

} // namespace talvir
