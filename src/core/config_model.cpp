#include "config_model.h"

#include <algorithm>
#include "variant.h"

namespace talvir {

TransceiverConfig TransceiverConfig::defaults(const Variant &variant, bool consoleMode)
{
    TransceiverConfig c;
    if (variant.modeUnsetInConsoleMode && consoleMode)
        c.mode = -1;
    return c;
}

void sortRowsAsTable(QList<PanelRecord> &rows)
{
    std::stable_sort(rows.begin(), rows.end(), [](const PanelRecord &a, const PanelRecord &b) {
        return a.obj.compare(b.obj, Qt::CaseInsensitive) < 0;
    });
}

} // namespace talvir
