// kcftool encode: the save of the configurator from a JSON description, same checks, same order,
// same messages, same file.
#include "commands.h"
#include "config_json.h"
#include "files/bounded_read.h"
#include "command_line.h"
#include "panel_csv.h"
#include "files/config_file.h"
#include "image/config_image.h"
#include "image/config_writer.h"

#include <QFile>

using namespace talvir;

namespace kcftool {

namespace {

// A configuration's JSON, or a CSV of 600 panels, needs a few hundred KB at most; /dev/zero or a
// wrong pick is refused at once.
constexpr qint64 kLargestInput = 1 << 20;

// The rows of a panel CSV, or false with every bad cell on stderr (nothing is written then).
bool readCsvPanels(const QString &path, const Variant &variant, QList<PanelRecord> &rows)
{
    QString error;
    const std::optional<QByteArray> bytes = readBoundedFile(path, kLargestInput, &error);
    if (!bytes) {
        printErr(error);
        return false;
    }
    const PanelCsv csv = panelsFromCsv(*bytes, variant.maxPanels);
    for (const CsvFault &f : csv.faults) {
        const QString where = f.column.isEmpty() ? QStringLiteral("line %1").arg(f.line)
                                                 : QStringLiteral("line %1, column \"%2\"").arg(f.line).arg(f.column);
        printErr(QStringLiteral("%1: %2: %3").arg(path, where, f.text));
    }
    if (!csv.faults.isEmpty()) {
        printErr(QStringLiteral("%1: refused (%2 faults); nothing was written").arg(path).arg(csv.faults.size()));
        return false;
    }
    rows = csv.rows;
    return true;
}

} // namespace

int cmdEncode(QStringList args)
{
    const QString usage = QStringLiteral("kcftool encode [--variant 600r|duziv] [--panels FILE.csv] CONFIG.json OUT.kcf");
    CommandLine line(usage, {{QStringLiteral("panels")}});
    line.parse(args);
    line.expectOperands(2);
    const Variant &variant = line.variant();
    const std::optional<QString> csvPath = line.value(QStringLiteral("panels"));
    args = line.operands();

    QString error;
    const std::optional<QByteArray> json = readBoundedFile(args[0], kLargestInput, &error);
    if (!json) {
        printErr(error);
        return ExitRefused;
    }
    std::optional<TransceiverConfig> parsed = configFromJson(*json, variant, &error);
    if (!parsed)
        throw UsageError(error);
    TransceiverConfig config = std::move(*parsed);
    if (csvPath) {
        if (!config.panels.isEmpty())
            throw UsageError(QStringLiteral("give the panels either in %1 or with --panels, not both").arg(args[0]));
        if (!readCsvPanels(*csvPath, variant, config.panels))
            return ExitRefused;
    }

    // Nothing has been read from a transceiver: bytes 94-96 of the settings are zero, as at start.
    ConfigImage image(variant);
    SendList list;
    if (auto refusal = prepareWrite(image, config, modeControlEnabled(config, variant), list)) {
        printErr(refusal->message);
        return ExitRefused;
    }
    error = saveConfigFile(args[1], list);
    if (!error.isEmpty()) {
        printErr(error);
        return ExitRefused;
    }
    return ExitOk;
}

} // namespace kcftool
