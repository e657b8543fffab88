// kcftool diff: what differs between two configurations, each a configuration file or a transceiver
// read over LAN.
#include "commands.h"
#include "device_config.h"
#include "diff_report.h"
#include "link_options.h"
#include "link_session.h"

#include <QJsonDocument>

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

// The operands in the order given: files and "--lan IP"; the UDP options go to udpOptions.
QList<Side> takeSides(QStringList &args, QStringList &udpOptions)
{
    QList<Side> sides;
    const QStringList udpNames{QStringLiteral("--bind"), QStringLiteral("--port"), QStringLiteral("--remote-port")};
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        const QString name = a.section(QLatin1Char('='), 0, 0);
        const bool inlineValue = a.contains(QLatin1Char('='));
        if (name == QLatin1String("--lan") || udpNames.contains(name)) {
            if (!inlineValue && i + 1 >= args.size())
                throw UsageError(QStringLiteral("%1 needs a value").arg(name));
            const QString value = inlineValue ? a.section(QLatin1Char('='), 1) : args[++i];
            if (name == QLatin1String("--lan"))
                sides.append({true, value});
            else
                udpOptions << name << value;
        } else if (a.startsWith(QLatin1String("--"))) {
            throw UsageError(QStringLiteral("unknown option '%1'\nusage: %2").arg(a, kUsage));
        } else {
            sides.append({false, a});
        }
    }
    if (sides.size() != 2)
        throw UsageError(QStringLiteral("usage: ") + kUsage);
    if (!udpOptions.isEmpty() && !sides[0].lan && !sides[1].lan)
        throw UsageError(QStringLiteral("--bind, --port and --remote-port go with --lan only"));
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
    const Variant &variant = takeVariant(args);
    const bool json = takeFlag(args, QStringLiteral("--json"));
    const bool all = takeFlag(args, QStringLiteral("--all"));
    QStringList udpOptions;
    const QList<Side> sides = takeSides(args, udpOptions);
    // Both addresses checked before either side is read.
    QList<LinkOptions> links;
    for (const Side &side : sides) {
        QStringList linkArgs = udpOptions;
        linkArgs << QStringLiteral("--lan") << (side.lan ? side.name : QStringLiteral("127.0.0.1"));
        links.append(takeLinkOptions(linkArgs, false, kUsage));
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
