#include "link_options.h"

#include "core/ip_text.h"
#include "commands.h"
#include "link/link_texts.h"

using namespace talvir;

namespace kcftool {

namespace {

quint16 portNumber(const QString &name, const QString &text, int lowest)
{
    bool ok = false;
    const uint value = text.toUInt(&ok, 10);
    if (!ok || value > 65535 || int(value) < lowest)
        throw UsageError(QStringLiteral("%1 '%2': give a port number %3..65535").arg(name, text).arg(lowest));
    return quint16(value);
}

} // namespace

QList<OptionSpec> linkOptionSpecs()
{
    return {{QStringLiteral("usb")}, {QStringLiteral("lan")}, {QStringLiteral("bind")}, {QStringLiteral("port")},
            {QStringLiteral("remote-port")}};
}

LinkValues linkValues(const CommandLine &line)
{
    return {line.value(QStringLiteral("usb")), line.value(QStringLiteral("lan")), line.value(QStringLiteral("bind")),
            line.value(QStringLiteral("port")), line.value(QStringLiteral("remote-port"))};
}

LinkOptions linkOptionsFrom(const LinkValues &given, bool usbAllowed, const QString &usage)
{
    const auto &[usb, lan, bind, port, remotePort] = given;

    LinkOptions o;
    if (usb && !usbAllowed)
        throw UsageError(QStringLiteral("--usb: the transceiver gives its configuration over LAN only; use --lan IP"));
    if (usb && lan)
        throw UsageError(QStringLiteral("give either --usb PORT or --lan IP, not both\nusage: ") + usage);
    if (!usb && !lan)
        throw UsageError((usbAllowed ? QStringLiteral("say how to reach the transceiver: --usb PORT or --lan IP")
                                     : QStringLiteral("say where the transceiver is: --lan IP")) +
                         QStringLiteral("\nusage: ") + usage);
    if (usb) {
        if (usb->isEmpty())
            throw UsageError(QStringLiteral("--usb needs a serial port"));
        if (bind || port || remotePort)
            throw UsageError(QStringLiteral("--bind, --port and --remote-port go with --lan only"));
        o.channel = LinkOptions::Channel::Usb;
        o.port = *usb;
        return o;
    }

    o.channel = LinkOptions::Channel::Lan;
    o.address = *lan;
    // The same acceptance as the window's address box.
    QString notANumber;
    const std::optional<quint32> address = ipFromText(o.address, &notANumber);
    if (!address)
        throw UsageError(QStringLiteral("--lan '%1': %2").arg(o.address, notANumber));
    if (*address == 0)
        throw UsageError(QStringLiteral("--lan '%1': %2").arg(o.address, linktext::badTransceiverAddress().text));
    setLanEndpoints(given, o);
    return o;
}

void setLanEndpoints(const LinkValues &given, LinkOptions &o)
{
    if (given.bind) {
        const QHostAddress a(*given.bind);
        if (a.isNull() || a.protocol() != QAbstractSocket::IPv4Protocol)
            throw UsageError(QStringLiteral("--bind '%1': give a local IPv4 address").arg(*given.bind));
        o.bindAddress = a;
    }
    if (given.port)
        o.localPort = portNumber(QStringLiteral("--port"), *given.port, 0);
    if (given.remotePort)
        o.remotePort = portNumber(QStringLiteral("--remote-port"), *given.remotePort, 1);
}

LinkParts lanParts(const LinkOptions &options)
{
    LinkParts parts = LinkParts::real();
    parts.lanLocalAddress = options.bindAddress;
    parts.lanLocalPort = options.localPort;
    parts.lanRemotePort = options.remotePort;
    return parts;
}

} // namespace kcftool
