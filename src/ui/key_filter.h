// Per-key filters of the edit boxes: a filtered character is discarded before the box sees it, so
// it is neither shown nor moves the caret. Backspace always passes; other control characters
// (Ctrl+V among them) are discarded; keys that insert nothing (arrows, Delete, Tab, Enter, Escape)
// pass.
// Text pasted through the context menu is not filtered (it does not come as key presses); the
// commands that use a box's text check it.
#pragma once

#include "core/typed_chars.h"

class QLineEdit;

namespace talvir {

// Filters the box's key presses from now on; the filter lives as long as the box. maxTyped > 0:
// typing stops at that many characters, while a text set by the program is shown whole.
void installKeyFilter(QLineEdit *edit, KeyFilter kind, int maxTyped = 0);

} // namespace talvir
