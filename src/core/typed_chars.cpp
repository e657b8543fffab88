#include "typed_chars.h"

namespace talvir {

bool keyFilterAccepts(KeyFilter kind, QChar c)
{
    if (c == QLatin1Char('\b'))
        return true;
    const ushort u = c.unicode();
    const bool digit = u >= '0' && u <= '9';
    switch (kind) {
    case KeyFilter::digits: return digit;
    case KeyFilter::ipv4Chars: return digit || u == '.';
    case KeyFilter::hexDigits: return digit || (u >= 'A' && u <= 'F');
    case KeyFilter::phoneDigits: return digit || u == '+';
    }
    return false;
}

} // namespace talvir
