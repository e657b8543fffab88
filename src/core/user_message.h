// What the technician is shown, as data: a message box's title, text, icon, buttons, default
// button and whether it stays on top. The core and the links compose them; the window shows them
// through its prompt service, a command-line tool prints their text.
#pragma once

#include <QString>

namespace talvir {

enum class MessageIcon { None, Information, Warning, Error, Question };

enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel, AbortRetryIgnore };

// The button that closed a message box. None: the box was closed without a button (Escape on a
// box that has no Cancel or No).
enum class MessageAnswer { None, Ok, Cancel, Yes, No, Retry, Abort, Ignore };

struct UserMessage {
    QString title;
    QString text;
    MessageIcon icon = MessageIcon::None;
    MessageButtons buttons = MessageButtons::Ok;
    MessageAnswer defaultButton = MessageAnswer::None; // None: the first button of the set
    bool onTop = false;

    bool isEmpty() const { return text.isEmpty(); }
    bool operator==(const UserMessage &) const = default;
};

} // namespace talvir
