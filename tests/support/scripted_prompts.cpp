#include "scripted_prompts.h"

namespace talvir {

QString promptKindName(PromptKind kind)
{
    switch (kind) {
    case PromptKind::Message: return QStringLiteral("message");
    case PromptKind::Input: return QStringLiteral("input box");
    case PromptKind::OpenFile: return QStringLiteral("open-file dialog");
    case PromptKind::SaveFile: return QStringLiteral("save-file dialog");
    case PromptKind::SerialPort: return QStringLiteral("serial-port picker");
    }
    return QString();
}

namespace {

QString describe(const PromptRecord &r)
{
    return QStringLiteral("%1 [%2] \"%3\" (%4, %5)")
        .arg(promptKindName(r.kind), r.title, r.text, promptIconName(r.icon), promptButtonsName(r.buttons));
}

} // namespace

ScriptedPrompts &ScriptedPrompts::expect(const Expected &expected)
{
    queue_.append(expected);
    return *this;
}

ScriptedPrompts &ScriptedPrompts::expectMessage(const QString &title, const QString &text, MessageAnswer answer)
{
    Expected e;
    e.kind = PromptKind::Message;
    if (!title.isEmpty())
        e.title = title;
    if (!text.isEmpty())
        e.text = text;
    e.answer = answer;
    return expect(e);
}

ScriptedPrompts &ScriptedPrompts::expectInput(const QString &title, std::optional<QString> answer)
{
    Expected e;
    e.kind = PromptKind::Input;
    if (!title.isEmpty())
        e.title = title;
    e.textAnswer = std::move(answer);
    return expect(e);
}

ScriptedPrompts &ScriptedPrompts::expectOpenFile(std::optional<QString> path)
{
    Expected e;
    e.kind = PromptKind::OpenFile;
    e.textAnswer = std::move(path);
    return expect(e);
}

ScriptedPrompts &ScriptedPrompts::expectSaveFile(std::optional<QString> path)
{
    Expected e;
    e.kind = PromptKind::SaveFile;
    e.textAnswer = std::move(path);
    return expect(e);
}

ScriptedPrompts &ScriptedPrompts::expectSerialPort(std::optional<QString> port)
{
    Expected e;
    e.kind = PromptKind::SerialPort;
    e.textAnswer = std::move(port);
    return expect(e);
}

std::optional<ScriptedPrompts::Expected> ScriptedPrompts::take(const PromptRecord &record)
{
    records_.append(record);
    if (queue_.isEmpty() || queue_.constFirst().kind != record.kind) {
        failures_ << QStringLiteral("unexpected %1").arg(describe(record));
        return std::nullopt;
    }
    Expected e = queue_.takeFirst();
    if (e.title && *e.title != record.title)
        failures_ << QStringLiteral("expected title \"%1\", got %2").arg(*e.title, describe(record));
    if (e.text && *e.text != record.text)
        failures_ << QStringLiteral("expected text \"%1\", got %2").arg(*e.text, describe(record));
    if (e.action)
        e.action();
    return e;
}

MessageAnswer ScriptedPrompts::message(const UserMessage &request)
{
    PromptRecord r;
    r.kind = PromptKind::Message;
    r.title = request.title;
    r.text = request.text;
    r.icon = request.icon;
    r.buttons = request.buttons;
    r.defaultButton = request.defaultButton;
    r.onTop = request.onTop;
    const std::optional<Expected> e = take(r);
    // An unexpected box is closed without a button: no command takes that as consent.
    return e ? e->answer : MessageAnswer::None;
}

std::optional<QString> ScriptedPrompts::inputBox(const QString &caption, const QString &prompt,
                                                 const QString &initialText)
{
    PromptRecord r;
    r.kind = PromptKind::Input;
    r.title = caption;
    r.text = prompt;
    r.initialText = initialText;
    const std::optional<Expected> e = take(r);
    return e ? e->textAnswer : std::nullopt;
}

std::optional<QString> ScriptedPrompts::openFile(const FileRequest &request)
{
    PromptRecord r;
    r.kind = PromptKind::OpenFile;
    r.title = request.title;
    r.file = request;
    const std::optional<Expected> e = take(r);
    return e ? e->textAnswer : std::nullopt;
}

std::optional<QString> ScriptedPrompts::saveFile(const FileRequest &request)
{
    PromptRecord r;
    r.kind = PromptKind::SaveFile;
    r.title = request.title;
    r.file = request;
    const std::optional<Expected> e = take(r);
    return e ? e->textAnswer : std::nullopt;
}

std::optional<QString> ScriptedPrompts::pickSerialPort(const QString &title)
{
    PromptRecord r;
    r.kind = PromptKind::SerialPort;
    r.title = title;
    const std::optional<Expected> e = take(r);
    return e ? e->textAnswer : std::nullopt;
}

QString ScriptedPrompts::problems() const
{
    QStringList out = failures_;
    for (const Expected &e : queue_) {
        out << QStringLiteral("expected %1 [%2] \"%3\" never came")
                   .arg(promptKindName(e.kind), e.title.value_or(QString()), e.text.value_or(QString()));
    }
    return out.join(QLatin1Char('\n'));
}

void ScriptedPrompts::reset()
{
    queue_.clear();
    records_.clear();
    failures_.clear();
}

} // namespace talvir
