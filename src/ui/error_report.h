// The application's general error report: a command handler runs inside `guarded`, and an error
// that escapes it (the conversion error of a text that is not a whole number, or any other) is shown
// to the technician in a message box with its text; the command stops there and the program goes on.
#pragma once

#include "core/conversion_error.h"
#include "ui/prompts.h"

#include <exception>

namespace talvir {

struct Variant;

// Caption of the report: the application title, or the program's name when it sets none.
QString errorReportTitle(const Variant &variant);

void reportError(PromptService &prompts, const QString &title, const QString &text);

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
