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

enum class KeyFilterKind {
    Digits,     // EditMACKeyPress: 0-9
    DigitsDot,  // EditIP1_PCNKeyPress: 0-9 and "."
    Hex,        // ObjIdKeyPress: 0-9 and capital A-F
    Phone,      // P1KeyPress: 0-9 and "+"
};

// True when the typed character passes the filter.
bool keyFilterAccepts(KeyFilterKind kind, QChar c);

// Filters the box's key presses from now on; the filter lives as long as the box.
void installKeyFilter(QLineEdit *edit, KeyFilterKind kind);

} // namespace talvir
