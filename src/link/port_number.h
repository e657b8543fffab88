// The number the caption shows for the open serial port: "COM3" -> "3", "/dev/ttyUSB0" -> "0",
// "/dev/pts/3" -> "3". A name that does not end in digits (a link such as /tmp/ttyTalvir) is shown
// whole, so the technician still sees which port is open.
#pragma once

#include <QString>

namespace talvir {

QString portNumberText(const QString &portName);

} // namespace talvir
