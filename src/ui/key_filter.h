// Per-key filters of the edit boxes: a filtered character is discarded before the box sees it, so
// it is neither shown nor moves the caret. Backspace always passes; other control characters
// (Ctrl+V among them) are discarded; keys that insert nothing (arrows, Delete, Tab, Enter, Escape)
// pass.
// Text pasted through the context menu is not filtered (it does not come as key presses); the
// commands that use a box's text check it.
#pragma once

#include <QObject>

class QLineEdit;

namespace talvir {

enum class KeyFilter {
    digits,      // 0-9: factory number, ports, test periods
    ipv4Chars,   // 0-9 and ".": address boxes
    hexDigits,   // 0-9 and capital A-F: object and panel numbers
    phoneDigits, // 0-9 and "+": phone numbers
};

// True when the typed character passes the filter.
bool keyFilterAccepts(KeyFilter kind, QChar c);

// Filters the box's key presses from now on; the filter lives as long as the box. maxTyped > 0:
// typing stops at that many characters, while a text set by the program is shown whole.
void installKeyFilter(QLineEdit *edit, KeyFilter kind, int maxTyped = 0);

} // namespace talvir
