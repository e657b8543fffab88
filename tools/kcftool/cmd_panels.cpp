// kcftool panels: the panel rows of a configuration file as the window's table shows them, as CSV on
// stdout for a spreadsheet.
#include "commands.h"
#include "command_line.h"
#include "panel_csv.h"

#include "files/config_file.h"

using namespace talvir;

namespace kcftool {

int cmdPanels(QStringList args)
{
    const QString usage = QStringLiteral("kcftool panels [--variant 600r|duziv] --csv [--sep ';'|','] FILE.kcf");
    CommandLine line(usage, {{QStringLiteral("csv"), false}, {QStringLiteral("sep")}});
    line.parse(args);
    const Variant &variant = line.variant();
    if (!line.isSet(QStringLiteral("csv")))
        throw UsageError(QStringLiteral("say the form: --csv\nusage: ") + usage);
    const QString sep = line.value(QStringLiteral("sep")).value_or(QStringLiteral(";"));
    if (sep != QLatin1String(";") && sep != QLatin1String(","))
        throw UsageError(QStringLiteral("--sep '%1': give ';' or ','").arg(sep));
    line.expectOperands(1);
    args = line.operands();

    const ConfigFileContents contents = loadConfigFile(args[0], variant);
    if (!contents.readError.isEmpty()) {
        printErr(contents.readError);
        return ExitRefused;
    }
    if (!contents.ok()) {
        printErr(QStringLiteral("%1: %2").arg(args[0], contents.message));
        return ExitRefused;
    }
    // kcftool has no panel-type table: "Тип ППК" stays empty (the transceiver does not store names).
    TransceiverConfig config = TransceiverConfig::defaults(variant, false);
    contents.applyTo(config, variant);
    printOut(panelsToCsv(config.panels, sep.at(0)));
    return ExitOk;
}

} // namespace kcftool
