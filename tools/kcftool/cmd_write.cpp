// kcftool write: a configuration file's frames sent into the transceiver over USB or LAN as they are,
// with no re-encoding (the window's "Записать" re-encodes what it shows: rows re-sorted, settings
// bytes from its controls) and no checks beyond the file's own. With --verify the configuration is
// read back over LAN and compared with what was written.
#include "commands.h"
#include "device_config.h"
#include "diff_report.h"
#include "link_options.h"
#include "link_session.h"

#include <algorithm>

using namespace talvir;

namespace kcftool {

namespace {

// After a USB write the read-back goes over LAN: "--lan IP" and the UDP options are taken out for it,
// so that the write's own options hold --usb alone.
LinkOptions takeReadBackOptions(QStringList &args, const QString &usage)
{
    QStringList lanArgs;
    for (const char *name : {"--lan", "--bind", "--port", "--remote-port"}) {
        if (const auto value = takeOptionValue(args, QString::fromLatin1(name)))
            lanArgs << QString::fromLatin1(name) << *value;
    }
    if (!lanArgs.contains(QStringLiteral("--lan")))
        throw UsageError(QStringLiteral("--verify after a USB write needs --lan IP: the transceiver gives its "
                                        "configuration over LAN only"));
    return takeLinkOptions(lanArgs, false, usage);
}

// Reads the transceiver back and compares it with what was written, settings bytes 94-96 excepted
// (the transceiver keeps its own there).
int verify(const DeviceConfig &written, const Variant &variant, const LinkOptions &lan)
{
    QByteArray back;
    LinkSession session(variant, lan);
    if (session.readImage(&back) != ExitOk) {
        printErr(QStringLiteral("verify: the configuration could not be read back"));
        return ExitRefused;
    }
    if (back.size() != written.image.size()) {
        printErr(QStringLiteral("verify: the read gave %1 bytes instead of %2").arg(back.size()).arg(written.image.size()));
        return ExitRefused;
    }
    const ConfigDiff diff = diffImages(written.image, back, variant, KeptBytes::Skip);
    if (!diff.isEmpty()) {
        printOut(diffText(diff, variant));
        printErr(QStringLiteral("verify: the transceiver holds something other than what was written"));
        return ExitRefused;
    }
    printErr(QStringLiteral("verify: the transceiver holds what was written"));
    return ExitOk;
}

} // namespace

int cmdWrite(QStringList args)
{
    const QString usage = QStringLiteral(
        "kcftool write [--variant 600r|duziv] [--verify] (--usb PORT [--lan IP] | --lan IP) [--bind ADDR] [--port P] "
        "[--remote-port P] FILE.kcf");
    const Variant &variant = takeVariant(args);
    const bool verifying = takeFlag(args, QStringLiteral("--verify"));
    const bool usb = args.contains(QStringLiteral("--usb")) ||
                     std::any_of(args.cbegin(), args.cend(), [](const QString &a) { return a.startsWith(QLatin1String("--usb=")); });
    std::optional<LinkOptions> readBack;
    if (verifying && usb)
        readBack = takeReadBackOptions(args, usage);
    const LinkOptions options = takeLinkOptions(args, true, usage);
    if (verifying && !readBack)
        readBack = options;
    expectOperands(args, 1, usage);

    // The whole file is checked before the port is opened: a refused file sends nothing at all.
    QString error;
    const auto config = readDeviceConfig(args[0], variant, &error);
    if (!config) {
        printErr(error + QStringLiteral(" Nothing was sent."));
        return ExitRefused;
    }
    int code = ExitRefused;
    {
        LinkSession session(variant, options);
        code = session.write(*config);
    }
    if (code != ExitOk || !readBack)
        return code;
    return verify(*config, variant, *readBack);
}

} // namespace kcftool
