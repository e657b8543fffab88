// The simulator's serial end where there are no pseudo-terminals and no termios (Windows): every
// opening is refused with the reason, and the LAN end works as everywhere.
#include "serial_endpoint.h"


namespace talvir {

namespace {
const QString kUnavailable = QStringLiteral("the simulator's serial end needs pseudo-terminals and termios "
                                            "(Linux); on Windows it serves LAN only");
} // namespace

SerialEndpoint::SerialEndpoint(QObject *parent) : QObject(parent) {}

SerialEndpoint::~SerialEndpoint() = default;

bool SerialEndpoint::openPty(const QString &, QString *error)
{
    *error = kUnavailable;
    return false;
}

bool SerialEndpoint::openDevice(const QString &, QString *error)
{
    *error = kUnavailable;
    return false;
}

void SerialEndpoint::close() {}

bool SerialEndpoint::write(const QByteArray &) { return false; }

void SerialEndpoint::onReadable() {}

void SerialEndpoint::watch() {}

} // namespace talvir
