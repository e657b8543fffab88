#include "link_options.h"

#include "core/ip_text.h"
#include "commands.h"
#include "link/link_texts.h"

#include <optional>

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

std::optional<QString> takeOptionValue(QStringList &args, const QString &name)
{
    std::optional<QString> value;
    const QString prefix = name + QLatin1Char('=');
    for (int i = 0; i < args.size();) {
        if (args[i] == name) {
            if (i + 1 >= args.size())
                throw UsageError(QStringLiteral("%1 needs a value").arg(name));
            value = args[i + 1];
            args.remove(i, 2);
        } else if (args[i].startsWith(prefix)) {
            value = args[i].mid(prefix.size());
            args.remove(i);
        } else {
            ++i;
        }
    }
    return value;
}

bool takeFlag(QStringList &args, const QString &name)
{
    return args.removeAll(name) > 0;
}

LinkOptions takeLinkOptions(QStringList &args, bool usbAllowed, const QString &usage)
{
    const auto usb = takeOptionValue(args, QStringLiteral("--usb"));
    const auto lan = takeOptionValue(args, QStringLiteral("--lan"));
    const auto bind = takeOptionValue(args, QStringLiteral("--bind"));
    const auto port = takeOptionValue(args, QStringLiteral("--port"));
    const auto remotePort = takeOptionValue(args, QStringLiteral("--remote-port"));

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
    if (bind) {
        const QHostAddress a(*bind);
        if (a.isNull() || a.protocol() != QAbstractSocket::IPv4Protocol)
            throw UsageError(QStringLiteral("--bind '%1': give a local IPv4 address").arg(*bind));
        o.bindAddress = a;
    }
    if (port)
        o.localPort = portNumber(QStringLiteral("--port"), *port, 0);
    if (remotePort)
        o.remotePort = portNumber(QStringLiteral("--remote-port"), *remotePort, 1);
    return o;
}

} // namespace kcftool
