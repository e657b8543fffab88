// The command-line options of the transfer commands: which channel reaches the transceiver (a serial
// port or an IPv4 address) and, over LAN, the local and remote UDP endpoints.
#pragma once

#include <QHostAddress>
#include <QString>
#include <QStringList>
#include <optional>

namespace kcftool {

struct LinkOptions {
    enum class Channel { Usb, Lan };
    Channel channel = Channel::Lan;
    QString port;    // --usb: the serial port (a device path or a name such as ttyUSB0)
    QString address; // --lan: the transceiver's address as typed; answers must come from exactly it
    QHostAddress bindAddress = QHostAddress(QHostAddress::AnyIPv4); // --bind
    quint16 localPort = 9999;  // --port; 0 takes any free port
    quint16 remotePort = 9999; // --remote-port
};

// Takes "--usb PORT", "--lan IP", "--bind ADDR", "--port P" and "--remote-port P" (also in the
// "--name=value" form) out of args. Exactly one of --usb and --lan must be given (--usb only when
// usbAllowed); the UDP options go with --lan only. The address must be one the window accepts
// (ipFromText not 0). Throws UsageError naming what is wrong (with the usage line when the channel is
// missing or given twice).
LinkOptions takeLinkOptions(QStringList &args, bool usbAllowed, const QString &usage);

// The value of "--name VALUE" or "--name=VALUE", removed from args (the last one given wins); nothing
// when absent. Throws UsageError when the value is missing.
std::optional<QString> takeOptionValue(QStringList &args, const QString &name);
// Whether the flag "--name" is in args; every copy is removed.
bool takeFlag(QStringList &args, const QString &name);

} // namespace kcftool
