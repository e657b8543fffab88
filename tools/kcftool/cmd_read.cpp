// kcftool read: the transceiver's configuration read over LAN and saved as a configuration file, as
// the window's "Прочитать" followed by "Сохранить" would.
#include "commands.h"
#include "link_options.h"
#include "link_session.h"

#include <QFileInfo>
#include <QSaveFile>

using namespace talvir;

namespace kcftool {

namespace {

// Why the read's file could not be saved at path, or an empty text. The save goes through a
// temporary file beside path that is renamed over it, so that file is created here and dropped.
QString outputRefusal(const QString &path)
{
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        return QStringLiteral("%1: not a regular file (a folder, a pipe or a device); nothing was read").arg(path);
    QSaveFile probe(path);
    if (!probe.open(QIODevice::WriteOnly))
        return QStringLiteral("%1: cannot be saved there: %2; nothing was read").arg(path, probe.errorString());
    probe.cancelWriting();
    return {};
}

} // namespace

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
    if (const QString refusal = outputRefusal(args[0]); !refusal.isEmpty()) {
        printErr(refusal);
        return ExitRefused;
    }
    LinkSession session(variant, options);
    return session.read(args[0]);
}

} // namespace kcftool
