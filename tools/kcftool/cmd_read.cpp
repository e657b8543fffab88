// kcftool read: the transceiver's configuration read over LAN and saved as a configuration file, as
// the window's "Прочитать" followed by "Сохранить" would.
#include "commands.h"
#include "link_options.h"
#include "link_session.h"
#include "read_image_file.h"

using namespace talvir;

namespace kcftool {

int cmdRead(QStringList args)
{
    const QString usage = QStringLiteral(
        "kcftool read [--variant 600r|duziv] --lan IP [--bind ADDR] [--port P] [--remote-port P] OUT.kcf");
    CommandLine line(usage, linkOptionSpecs());
    line.parse(args);
    const Variant &variant = line.variant();
    const LinkOptions options = linkOptionsFrom(linkValues(line), false, usage);
    line.expectOperands(1);
    args = line.operands();

    // A read that could not be saved would be lost: the output is tried before anything is asked.
    if (const QString refusal = readOutputRefusal(args[0]); !refusal.isEmpty()) {
        printErr(refusal);
        return ExitRefused;
    }
    LinkSession session(variant, options);
    return session.read(args[0]);
}

} // namespace kcftool
