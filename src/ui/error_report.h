// The application's general error report: a command handler runs inside `guarded`, and an error
// that escapes it (the conversion error of a text that is not a whole number, or any other) is shown
// to the technician in a message box with its text; the command stops there and the program goes on.
#pragma once

#include "core/prompts.h"

#include <QString>
#include <exception>
#include <stdexcept>

namespace talvir {

// A window's command stops at a text that is not a whole number; guarded() shows the message.
class ConversionError : public std::runtime_error {
public:
    explicit ConversionError(const QString &message) : std::runtime_error(message.toStdString()) {}
    QString text() const { return QString::fromStdString(what()); }
};

// The address a window's text stands for (0 = not an address); a part that is not a whole number
// throws ConversionError, so the command stops in the general error report.
quint32 addressOrStop(const QString &text);
// The same for a whole number.
qint32 numberOrStop(const QString &text);

// Runs fn; true when it ran to the end, false when an error was reported.
template <typename F>
bool guarded(PromptService &prompts, const QString &title, F &&fn)
{
    try {
        fn();
        return true;
    } catch (const ConversionError &e) {
        reportError(prompts, title, e.text());
    } catch (const std::exception &e) {
        reportError(prompts, title, QString::fromUtf8(e.what()));
    }
    return false;
}

} // namespace talvir
