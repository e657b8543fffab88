// The command-line options of the transfer commands: which channel reaches the transceiver (a serial
// port or an IPv4 address) and, over LAN, the local and remote UDP endpoints.
#pragma once

#include "command_line.h"

#include "link/transceiver_link.h"

#include <QHostAddress>
#include <QList>
#include <QString>
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

// The options as given: "--usb PORT", "--lan IP", "--bind ADDR", "--port P", "--remote-port P".
struct LinkValues {
    std::optional<QString> usb, lan, bind, port, remotePort;
};

// The five options, for a command's CommandLine (--usb too where the command refuses it, so that the
// refusal can say why).
QList<OptionSpec> linkOptionSpecs();
LinkValues linkValues(const CommandLine &line);

// Exactly one of --usb and --lan must be given (--usb only when usbAllowed); the UDP options go with
// --lan only. The address must be one the window accepts (ipFromText not 0). Throws UsageError naming
// what is wrong (with the usage line when the channel is missing or given twice).
LinkOptions linkOptionsFrom(const LinkValues &given, bool usbAllowed, const QString &usage);
// Real ports and timers; over LAN the endpoint and the transceiver's port the options name. Links
// built from one such value share one UDP endpoint.
talvir::LinkParts lanParts(const LinkOptions &options);
// --bind, --port and --remote-port alone into o (UsageError for a bad one).
void setLanEndpoints(const LinkValues &given, LinkOptions &o);

} // namespace kcftool
