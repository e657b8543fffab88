// How kcftool shows the differences between two configurations: lines a technician reads, or JSON.
#pragma once

#include "config_diff.h"

#include <QByteArray>
#include <QJsonObject>

namespace kcftool {

// One line per difference: "settings serverIp: 172.16.5.1 -> 0.16.5.1", "reserve 2: 5.6.7.8 ->
// (empty)", "panel 3: added obj ...", "panel 7 obj: "0001" -> "0002"". Empty when there is none.
QByteArray diffText(const talvir::ConfigDiff &diff, const talvir::Variant &variant);

// {"equal": bool, "settings": [...], "reserve": [...], "panels": [...]}.
QJsonObject diffJson(const talvir::ConfigDiff &diff);

} // namespace kcftool
