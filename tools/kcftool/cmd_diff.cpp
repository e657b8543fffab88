// kcftool diff: what differs between two configurations, each a configuration file or a transceiver
// read over LAN.
#include "command_line.h"
#include "commands.h"
#include "device_config.h"
#include "diff_report.h"
#include "link_options.h"
#include "link_session.h"

#include <QJsonDocument>
#include <QRegularExpression>

using namespace talvir;

namespace kcftool {

namespace {

const QString kUsage = QStringLiteral(
    "kcftool diff [--variant 600r|duziv] [--json] [--all] (FILE.kcf | --lan IP) (FILE.kcf | --lan IP)\n"
    "  [--bind ADDR] [--port P] [--remote-port P]");

struct Side {
    bool lan = false;
    QString name; // the file's path or the transceiver's address
};

// The two sides in the order given: operand files and "--lan IP" values. QCommandLineParser keeps
// each kind in order but not the two kinds among each other, so the arguments it accepted are walked
// once more for that order alone.
QList<Side> sidesInOrder(const CommandLine &line)
{
    const QStringList files = line.operands();
    const QStringList lans = line.values(QStringLiteral("lan"));
    QList<Side> sides;
    int file = 0;
    int lan = 0;
    const QStringList &args = line.arguments();
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == QLatin1String("--")) { // the rest are operands
            while (file < files.size())
                sides.append({false, files[file++]});
            break;
        }
        if (!a.startsWith(QLatin1Char('-')) || a == QLatin1String("-")) {
            if (file < files.size())
                sides.append({false, files[file++]});
            continue;
        }
        const QString name = QString(a).remove(QRegularExpression(QStringLiteral("^--?"))).section(QLatin1Char('='), 0, 0);
        if (name == QLatin1String("lan") && lan < lans.size())
            sides.append({true, lans[lan++]});
        if (!a.contains(QLatin1Char('=')) && line.takesValue(name))
            ++i;
    }
    return sides;
}

// The memory a side holds, or nothing (the reason already on stderr).
std::optional<QByteArray> readSide(const Side &side, const LinkOptions &lan, const Variant &variant)
{
    if (!side.lan) {
        QString error;
        const auto file = readDeviceConfig(side.name, variant, &error);
        if (!file) {
            printErr(error);
            return std::nullopt;
        }
        return file->image;
    }
    QByteArray image;
    LinkSession session(variant, lan);
    if (session.readImage(&image) != ExitOk)
        return std::nullopt;
    if (image.size() != variant.imageSize()) {
        printErr(QStringLiteral("%1: the read gave %2 bytes instead of %3").arg(side.name).arg(image.size()).arg(variant.imageSize()));
        return std::nullopt;
    }
    return image;
}

} // namespace

int cmdDiff(QStringList args)
{
    QList<OptionSpec> options = linkOptionSpecs();
    options.removeFirst(); // no --usb: a diff reads over LAN only
    CommandLine line(kUsage, options << OptionSpec{QStringLiteral("json"), false} << OptionSpec{QStringLiteral("all"), false});
    line.parse(args);
    const Variant &variant = line.variant();
    const bool json = line.isSet(QStringLiteral("json"));
    const bool all = line.isSet(QStringLiteral("all"));
    const QList<Side> sides = sidesInOrder(line);
    if (sides.size() != 2)
        throw UsageError(QStringLiteral("usage: ") + kUsage);
    const LinkValues given = linkValues(line);
    if ((given.bind || given.port || given.remotePort) && !sides[0].lan && !sides[1].lan)
        throw UsageError(QStringLiteral("--bind, --port and --remote-port go with --lan only"));
    // Both addresses checked before either side is read.
    QList<LinkOptions> links;
    for (const Side &side : sides) {
        const QString address = side.lan ? side.name : QStringLiteral("127.0.0.1");
        links.append(linkOptionsFrom({std::nullopt, address, given.bind, given.port, given.remotePort}, false, kUsage));
    }

    QList<QByteArray> images;
    for (int i = 0; i < 2; ++i) {
        const auto image = readSide(sides[i], links[i], variant);
        if (!image)
            return ExitUsage;
        images.append(*image);
    }
    const ConfigDiff diff = diffImages(images[0], images[1], variant, all ? KeptBytes::Compare : KeptBytes::Skip);
    if (json)
        printOut(QJsonDocument(diffJson(diff)).toJson(QJsonDocument::Indented));
    else
        printOut(diffText(diff, variant));
    return diff.isEmpty() ? ExitOk : ExitRefused;
}

} // namespace kcftool
