// The prompt service of the tests: every prompt is recorded, and each is answered from a queue of
// expected prompts. A prompt that nobody expected, or one whose title or text differ from what was
// expected, is recorded as a failure; the test checks with QVERIFY_PROMPTS at its end.
#pragma once

#include "core/prompts.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace talvir {

enum class PromptKind { Message, Input, OpenFile, SaveFile, SerialPort };

QString promptKindName(PromptKind kind);

struct PromptRecord {
    PromptKind kind = PromptKind::Message;
    QString title;
    QString text;
    MessageIcon icon = MessageIcon::None;
    MessageButtons buttons = MessageButtons::Ok;
    MessageAnswer defaultButton = MessageAnswer::None;
    bool onTop = false;
    FileRequest file; // file dialogs
    QString initialText; // input box
};

class ScriptedPrompts : public PromptService {
public:
    struct Expected {
        PromptKind kind = PromptKind::Message;
        std::optional<QString> title; // checked when given
        std::optional<QString> text;  // checked when given
        MessageAnswer answer = MessageAnswer::Ok;
        std::optional<QString> textAnswer; // input box, file dialogs, port picker; nothing = cancelled
        std::function<void()> action;      // runs while the prompt is "open" (before it answers)
    };

    // Queue the next expected prompts. Empty title or text: not checked.
    ScriptedPrompts &expectMessage(const QString &title, const QString &text, MessageAnswer answer = MessageAnswer::Ok);
    ScriptedPrompts &expectInput(const QString &title, std::optional<QString> answer);
    ScriptedPrompts &expectOpenFile(std::optional<QString> path);
    ScriptedPrompts &expectSaveFile(std::optional<QString> path);
    ScriptedPrompts &expectSerialPort(std::optional<QString> port);
    ScriptedPrompts &expect(const Expected &expected);

    using PromptService::message;
    MessageAnswer message(const UserMessage &request) override;
    std::optional<QString> inputBox(const QString &caption, const QString &prompt, const QString &initialText) override;
    std::optional<QString> openFile(const FileRequest &request) override;
    std::optional<QString> saveFile(const FileRequest &request) override;
    std::optional<QString> pickSerialPort(const QString &title) override;

    const QList<PromptRecord> &records() const { return records_; }
    const PromptRecord &last() const { return records_.constLast(); }
    QStringList failures() const { return failures_; }
    int pending() const { return int(queue_.size()); }
    // Failures and expected prompts that never came, as one text; empty when all is well.
    QString problems() const;
    void reset();

private:
    // Takes the next expected prompt of this kind, checking title and text; nullopt when unexpected.
    std::optional<Expected> take(const PromptRecord &record);

    QList<Expected> queue_;
    QList<PromptRecord> records_;
    QStringList failures_;
};

} // namespace talvir

// Fails the test when a prompt was unexpected or mismatched, or an expected one never came.
#define QVERIFY_PROMPTS(prompts)                                                                             \
    do {                                                                                                     \
        const QString problems_ = (prompts).problems();                                                      \
        QVERIFY2(problems_.isEmpty(), qPrintable(problems_));                                                \
    } while (false)
