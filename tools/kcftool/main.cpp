// kcftool: builds configuration files as the configurator saves them, shows what a load would give,
// and writes or reads a transceiver, without a window. Subcommands are dispatched from the table below.
#include "commands.h"

#include <QCoreApplication>
#include <cstdio>

namespace kcftool {

namespace {
struct Command {
    const char *name;
    int (*run)(QStringList args);
    const char *usage;
};
constexpr Command kCommands[] = {
    {"encode", cmdEncode, "kcftool encode [--variant 600r|duziv] [--panels FILE.csv] CONFIG.json OUT.kcf"},
    {"dump", cmdDump, "kcftool dump [--variant 600r|duziv] FILE.kcf"},
    {"write", cmdWrite, "kcftool write [--variant 600r|duziv] [--verify --lan IP] --usb PORT FILE.kcf\n"
                        "  kcftool write [--variant 600r|duziv] [--verify] --lan IP [--bind ADDR] [--port P] [--remote-port P] FILE.kcf"},
    {"console", cmdConsole, "kcftool console [--variant 600r|duziv] [--serial N]\n"
                            "  kcftool console --table FILE.db"},
    {"read", cmdRead, "kcftool read [--variant 600r|duziv] --lan IP [--bind ADDR] [--port P] [--remote-port P] OUT.kcf"},
    {"diff", cmdDiff, "kcftool diff [--variant 600r|duziv] [--json] [--all] (FILE.kcf | --lan IP) (FILE.kcf | --lan IP)\n"
                      "    [--bind ADDR] [--port P] [--remote-port P]"},
    {"fleet", cmdFleet, "kcftool fleet [--variant 600r|duziv] [--parallel N] [--report FILE.csv|FILE.json]\n"
                        "    [--bind ADDR] [--port P] [--remote-port P] PLAN.csv"},
    {"panels", cmdPanels, "kcftool panels [--variant 600r|duziv] --csv [--sep ';'|','] FILE.kcf"},
};

QString usageText()
{
    QString text = QStringLiteral("usage:");
    for (const Command &c : kCommands)
        text += QStringLiteral("\n  ") + QString::fromUtf8(c.usage);
    return text;
}
} // namespace

void printOut(const QByteArray &utf8)
{
    std::fwrite(utf8.constData(), 1, std::size_t(utf8.size()), stdout);
    std::fflush(stdout);
}

void printErr(const QString &text)
{
    const QByteArray line = (QStringLiteral("kcftool: ") + text + QLatin1Char('\n')).toUtf8();
    std::fwrite(line.constData(), 1, std::size_t(line.size()), stderr);
}

} // namespace kcftool

int main(int argc, char **argv)
{
    using namespace kcftool;
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty() || args.first() == QLatin1String("--help") || args.first() == QLatin1String("-h")) {
        printErr(usageText());
        return args.isEmpty() ? ExitUsage : ExitOk;
    }
    if (args.first() == QLatin1String("--version")) {
        printOut("kcftool " TALVIR_VERSION "\n");
        return ExitOk;
    }
    const QString name = args.takeFirst();
    for (const Command &c : kCommands) {
        if (name == QLatin1String(c.name)) {
            try {
                return c.run(args);
            } catch (const UsageError &e) {
                printErr(e.text());
                return ExitUsage;
            }
        }
    }
    printErr(QStringLiteral("unknown command '%1'\n%2").arg(name, usageText()));
    return ExitUsage;
}
