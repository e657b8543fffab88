// kcftool write: a configuration file's frames sent into the transceiver over USB or LAN as they are,
// with no re-encoding (the window's "Записать" re-encodes what it shows: rows re-sorted, settings
// bytes from its controls) and no checks beyond the file's own. With --verify the configuration is
// read back over LAN and compared with what was written.
#include "commands.h"
#include "device_config.h"
#include "diff_report.h"
#include "link_options.h"
#include "link_session.h"


using namespace talvir;

namespace kcftool {

namespace {

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
    CommandLine line(usage, linkOptionSpecs() << OptionSpec{QStringLiteral("verify"), false});
    line.parse(args);
    const Variant &variant = line.variant();
    const bool verifying = line.isSet(QStringLiteral("verify"));
    LinkValues given = linkValues(line);
    std::optional<LinkOptions> readBack;
    if (verifying && given.usb) {
        // After a USB write the read-back goes over LAN: "--lan IP" and the UDP options are its own,
        // so that the write's options hold --usb alone.
        if (!given.lan)
            throw UsageError(QStringLiteral("--verify after a USB write needs --lan IP: the transceiver gives its "
                                            "configuration over LAN only"));
        readBack = linkOptionsFrom({std::nullopt, given.lan, given.bind, given.port, given.remotePort}, false, usage);
        given = {given.usb, std::nullopt, std::nullopt, std::nullopt, std::nullopt};
    }
    const LinkOptions options = linkOptionsFrom(given, true, usage);
    if (verifying && !readBack)
        readBack = options;
    line.expectOperands(1);
    args = line.operands();

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
