#include "config_model.h"
#include "variant.h"

namespace talvir {

TransceiverConfig TransceiverConfig::defaults(const Variant &variant, bool consoleMode)
{
    TransceiverConfig c;
    if (variant.modeUnsetInConsoleMode && consoleMode)
        c.mode = -1;
    return c;
}

} // namespace talvir
