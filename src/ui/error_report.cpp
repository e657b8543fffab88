#include "error_report.h"

#include "core/variant.h"

namespace talvir {

QString errorReportTitle(const Variant &variant)
{
    return variant.applicationTitle.isEmpty() ? variant.programName : variant.applicationTitle;
}

void reportError(PromptService &prompts, const QString &title, const QString &text)
{
    prompts.message(title, text, PromptIcon::Error, PromptButtons::Ok);
}

} // namespace talvir
