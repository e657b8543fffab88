// Why a serial port could not be opened, in words the technician can act on: the port, the system's
// reason and, when Linux refuses the user the device, the group that owns it and how to join it.
#pragma once

#include <QString>

namespace talvir {

struct SerialPortAccess {
    QString port;
    QString reason;                // the system's own words, as the serial port reported them
    bool permissionDenied = false; // the system refused this user the device
    QString group;                 // the group that owns the device; empty when unknown
    bool inGroup = false;          // the running program already holds that group
};

// Looks at a port that just failed to open: opens it once more (and closes it at once) for the
// system's error code and reads the group that owns it. Only Linux is looked at; elsewhere the port
// and the reason are all there is.
SerialPortAccess inspectSerialPort(const QString &port, const QString &reason);

// The paragraph for the technician: "Порт PORT не открывается: REASON", and for a device refused to
// a user outside its group the group's name, the command that adds the user and that a new login
// is needed. No usermod advice for a device of group root: joining it is no fix.
QString serialPortAccessText(const SerialPortAccess &access);

// Both of the above, for a port that just failed to open.
QString explainSerialPortFailure(const QString &port, const QString &reason);

} // namespace talvir
