// One interface for every question the configurator puts to the technician: message boxes, the
// input box, the file dialogs and the serial-port picker. Windows call it; the Qt implementation
// shows real dialogs, the test implementation answers from a script.
#pragma once

#include "core/user_message.h"

#include <QString>
#include <QStringList>
#include <exception>
#include <optional>

namespace talvir {

struct Variant;

struct FileRequest {
    QString title;
    QString filter;          // Qt's form: "Description (*.kcf);;Description (*.*)"
    QString defaultSuffix;   // appended when the technician types a name without one
    QString proposedName;    // file name (or path) the dialog starts with
    QString folder;          // the folder the dialog starts in; empty: the current folder
};

class PromptService {
public:
    virtual ~PromptService() = default;

    virtual MessageAnswer message(const UserMessage &request) = 0;
    // The text the technician confirmed, or nothing when the box was cancelled.
    virtual std::optional<QString> inputBox(const QString &caption, const QString &prompt,
                                            const QString &initialText) = 0;
    virtual std::optional<QString> openFile(const FileRequest &request) = 0;
    virtual std::optional<QString> saveFile(const FileRequest &request) = 0;
    // A port name from the machine's list or a device path typed by the technician (pseudo-terminals
    // are not listed); nothing when cancelled.
    virtual std::optional<QString> pickSerialPort(const QString &title) = 0;

    // Short forms for the common boxes.
    MessageAnswer message(const QString &title, const QString &text, MessageIcon icon,
                         MessageButtons buttons = MessageButtons::Ok,
                         MessageAnswer defaultButton = MessageAnswer::None, bool onTop = false)
    {
        return message(UserMessage{title, text, icon, buttons, defaultButton, onTop});
    }
};

// The general error report: a box with the failure's text under the application title (the program's
// name when it sets none), as every command shows a text that is not a whole number.
QString errorReportTitle(const Variant &variant);
void reportError(PromptService &prompts, const QString &title, const QString &text);

// Runs a command's handler under the general error report: an error that escapes it is shown with
// its text, the command stops there and the program goes on. True when it ran to the end.
template <typename F>
bool guarded(PromptService &prompts, const QString &title, F &&fn)
{
    try {
        fn();
        return true;
    } catch (const std::exception &e) {
        reportError(prompts, title, QString::fromUtf8(e.what()));
    }
    return false;
}

QString promptIconName(MessageIcon icon);
QString promptButtonsName(MessageButtons buttons);
QString promptAnswerName(MessageAnswer answer);

} // namespace talvir
