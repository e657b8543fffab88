// kcftool write: a configuration file's frames sent into the transceiver over USB or LAN as they are,
// with no re-encoding (the window's "Записать" re-encodes what it shows: rows re-sorted, settings
// bytes from its controls) and no checks beyond the file's own.
#include "commands.h"
#include "device_config.h"
#include "link_options.h"
#include "link_session.h"

using namespace talvir;

namespace kcftool {

int cmdWrite(QStringList args)
{
    const QString usage = QStringLiteral(
        "kcftool write [--variant 600r|duziv] (--usb PORT | --lan IP [--bind ADDR] [--port P] [--remote-port P]) FILE.kcf");
    const Variant &variant = takeVariant(args);
    const LinkOptions options = takeLinkOptions(args, true, usage);
    expectOperands(args, 1, usage);

    // The whole file is checked before the port is opened: a refused file sends nothing at all.
    QString error;
    const auto config = readDeviceConfig(args[0], variant, &error);
    if (!config) {
        printErr(error);
        return ExitRefused;
    }
    LinkSession session(variant, options);
    return session.write(*config);
}

} // namespace kcftool
