// One interface for every question the configurator puts to the technician: message boxes, the
// input box, the file dialogs and the serial-port picker. Windows call it; the Qt implementation
// shows real dialogs, the test implementation answers from a script.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace talvir {

enum class PromptIcon { None, Information, Warning, Error, Question };

enum class PromptButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel, AbortRetryIgnore };

// The button that closed a message box. None: the box was closed without a button (Escape on a
// box that has no Cancel or No).
enum class PromptAnswer { None, Ok, Cancel, Yes, No, Retry, Abort, Ignore };

struct MessageRequest {
    QString title;
    QString text;
    PromptIcon icon = PromptIcon::None;
    PromptButtons buttons = PromptButtons::Ok;
    PromptAnswer defaultButton = PromptAnswer::None; // None: the first button of the set
    bool onTop = false;
};

struct FileRequest {
    QString title;
    QString filter;          // "Description|*.kcf|Description|*.*", or Qt's "Description (*.kcf)" form
    QString defaultSuffix;   // appended when the technician types a name without one
    QString proposedName;    // file name (or path) the dialog starts with
    QString folder;          // the folder the dialog starts in; empty: the current folder
};

class PromptService {
public:
    virtual ~PromptService() = default;

    virtual PromptAnswer message(const MessageRequest &request) = 0;
    // The text the technician confirmed, or nothing when the box was cancelled.
    virtual std::optional<QString> inputBox(const QString &caption, const QString &prompt,
                                            const QString &initialText) = 0;
    virtual std::optional<QString> openFile(const FileRequest &request) = 0;
    virtual std::optional<QString> saveFile(const FileRequest &request) = 0;
    // A port name from the machine's list or a device path typed by the technician (pseudo-terminals
    // are not listed); nothing when cancelled.
    virtual std::optional<QString> pickSerialPort(const QString &title) = 0;

    // Short forms for the common boxes.
    PromptAnswer message(const QString &title, const QString &text, PromptIcon icon,
                         PromptButtons buttons = PromptButtons::Ok,
                         PromptAnswer defaultButton = PromptAnswer::None, bool onTop = false)
    {
        return message(MessageRequest{title, text, icon, buttons, defaultButton, onTop});
    }
};

QString promptIconName(PromptIcon icon);
QString promptButtonsName(PromptButtons buttons);
QString promptAnswerName(PromptAnswer answer);

} // namespace talvir
