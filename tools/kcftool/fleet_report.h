// What `kcftool fleet --report FILE` leaves: one line (or JSON object) per target, in plan order.
#pragma once

#include "fleet_job.h"

#include <QList>
#include <QString>

namespace kcftool {

// CSV (";"-separated, UTF-8 with the byte-order mark, as the panel lists) or, for a name ending in
// ".json", a JSON array. Written atomically; an empty text on success, else the reason.
QString writeFleetReport(const QString &path, const QList<const FleetJob *> &jobs);

} // namespace kcftool
