// kcftool write: a configuration file written into the transceiver over USB or LAN, as the window's
// "Записать" does after loading the file.
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
