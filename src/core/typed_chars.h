// Which characters the technician may type into each kind of box; the boxes' key filters discard
// the rest before the box sees them. Backspace always passes.
#pragma once

#include <QChar>

namespace talvir {

enum class KeyFilter {
    digits,      // 0-9: factory number, ports, test periods
    ipv4Chars,   // 0-9 and ".": address boxes
    hexDigits,   // 0-9 and capital A-F: object and panel numbers
    phoneDigits, // 0-9 and "+": phone numbers
};

// True when the typed character passes the filter.
bool keyFilterAccepts(KeyFilter kind, QChar c);

} // namespace talvir
