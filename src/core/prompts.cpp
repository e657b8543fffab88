#include "prompts.h"

#include "core/variant.h"

namespace talvir {

QString errorReportTitle(const Variant &variant)
{
    return variant.applicationTitle.isEmpty() ? variant.programName : variant.applicationTitle;
}

void reportError(PromptService &prompts, const QString &title, const QString &text)
{
    prompts.message(title, text, MessageIcon::Error, MessageButtons::Ok);
}

QString promptIconName(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::None: return QStringLiteral("none");
    case MessageIcon::Information: return QStringLiteral("information");
    case MessageIcon::Warning: return QStringLiteral("warning");
    case MessageIcon::Error: return QStringLiteral("error");
    case MessageIcon::Question: return QStringLiteral("question");
    }
    return QString();
}

QString promptButtonsName(MessageButtons buttons)
{
    switch (buttons) {
    case MessageButtons::Ok: return QStringLiteral("OK");
    case MessageButtons::OkCancel: return QStringLiteral("OK+Cancel");
    case MessageButtons::YesNo: return QStringLiteral("Yes+No");
    case MessageButtons::YesNoCancel: return QStringLiteral("Yes+No+Cancel");
    case MessageButtons::RetryCancel: return QStringLiteral("Retry+Cancel");
    case MessageButtons::AbortRetryIgnore: return QStringLiteral("Abort+Retry+Ignore");
    }
    return QString();
}

QString promptAnswerName(MessageAnswer answer)
{
    switch (answer) {
    case MessageAnswer::None: return QStringLiteral("none");
    case MessageAnswer::Ok: return QStringLiteral("OK");
    case MessageAnswer::Cancel: return QStringLiteral("Cancel");
    case MessageAnswer::Yes: return QStringLiteral("Yes");
    case MessageAnswer::No: return QStringLiteral("No");
    case MessageAnswer::Retry: return QStringLiteral("Retry");
    case MessageAnswer::Abort: return QStringLiteral("Abort");
    case MessageAnswer::Ignore: return QStringLiteral("Ignore");
    }
    return QString();
}

} // namespace talvir
