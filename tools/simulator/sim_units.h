// From the ends on the command line to the transceivers that serve them: one per LAN address and one
// per serial line (one for both when only one of each is given), each with its factory number, its
// own image files and its own faults.
#pragma once

#include "sim_options.h"

namespace talvir {

// Fills options.units from the ends, the shared settings and the --fault values. False with a message
// naming the option at fault.
bool resolveSimUnits(SimOptions &options, QString *error);

// A file name for one transceiver: {addr} becomes its LAN address, {link} the file name of its serial
// link (or device), {serial} its factory number; a name without them is the same for every transceiver.
// False when pattern holds a {...} of another name; bad is set to it.
bool expandUnitPattern(const QString &pattern, const SimUnit &unit, QString *path, QString *bad);

} // namespace talvir
