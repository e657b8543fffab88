// The platform's conversion error: a text that should hold a whole number does not.
// Raised by ipFromText; the application's general error report shows its text and the command stops.
#pragma once

#include <QString>
#include <stdexcept>

namespace talvir {

class ConversionError : public std::runtime_error {
public:
    explicit ConversionError(const QString &offending)
        : std::runtime_error(QStringLiteral("'%1' is not a valid integer value").arg(offending).toStdString())
    {}
    QString text() const { return QString::fromStdString(what()); }
};

// Reads a whole decimal number as the platform's integer conversion does: leading blanks and one
// sign are allowed, nothing after the digits, and the value must fit a signed 32-bit integer.
// Throws ConversionError otherwise.
qint32 strToInt(const QString &text);

} // namespace talvir
