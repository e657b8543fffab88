#include "prompts.h"

namespace talvir {

QString promptIconName(PromptIcon icon)
{
    switch (icon) {
    case PromptIcon::None: return QStringLiteral("none");
    case PromptIcon::Information: return QStringLiteral("information");
    case PromptIcon::Warning: return QStringLiteral("warning");
    case PromptIcon::Error: return QStringLiteral("error");
    case PromptIcon::Question: return QStringLiteral("question");
    }
    return QString();
}

QString promptButtonsName(PromptButtons buttons)
{
    switch (buttons) {
    case PromptButtons::Ok: return QStringLiteral("OK");
    case PromptButtons::OkCancel: return QStringLiteral("OK+Cancel");
    case PromptButtons::YesNo: return QStringLiteral("Yes+No");
    case PromptButtons::YesNoCancel: return QStringLiteral("Yes+No+Cancel");
    case PromptButtons::RetryCancel: return QStringLiteral("Retry+Cancel");
    case PromptButtons::AbortRetryIgnore: return QStringLiteral("Abort+Retry+Ignore");
    }
    return QString();
}

QString promptAnswerName(PromptAnswer answer)
{
    switch (answer) {
    case PromptAnswer::None: return QStringLiteral("none");
    case PromptAnswer::Ok: return QStringLiteral("OK");
    case PromptAnswer::Cancel: return QStringLiteral("Cancel");
    case PromptAnswer::Yes: return QStringLiteral("Yes");
    case PromptAnswer::No: return QStringLiteral("No");
    case PromptAnswer::Retry: return QStringLiteral("Retry");
    case PromptAnswer::Abort: return QStringLiteral("Abort");
    case PromptAnswer::Ignore: return QStringLiteral("Ignore");
    }
    return QString();
}

} // namespace talvir
