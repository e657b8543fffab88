// kcftool read: the transceiver's configuration read over LAN and saved as a configuration file, as
// the window's "Прочитать" followed by "Сохранить" would.
#include "commands.h"
#include "link_options.h"
#include "link_session.h"

using namespace talvir;

namespace kcftool {

int cmdRead(QStringList args)
{
    const QString usage = QStringLiteral(
        "kcftool read [--variant 600r|duziv] --lan IP [--bind ADDR] [--port P] [--remote-port P] OUT.kcf");
    const Variant &variant = takeVariant(args);
    const LinkOptions options = takeLinkOptions(args, false, usage);
    expectOperands(args, 1, usage);

    LinkSession session(variant, options);
    return session.read(args[0]);
}

} // namespace kcftool
