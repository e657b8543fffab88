// kcftool dump: what loading a file into the program would show, as JSON on stdout.
#include "command_line.h"
#include "commands.h"
#include "config_json.h"
#include "files/config_file.h"

#include <QJsonDocument>

using namespace talvir;

namespace kcftool {

int cmdDump(QStringList args)
{
    CommandLine line(QStringLiteral("kcftool dump [--variant 600r|duziv] FILE.kcf"), {});
    line.parse(args);
    line.expectOperands(1);
    const Variant &variant = line.variant();

    const ConfigFileContents contents = loadConfigFile(line.operands().at(0), variant);
    if (!contents.readError.isEmpty()) {
        printErr(contents.readError);
        return ExitRefused;
    }
    if (contents.failure == FileFailure::Format) {
        printErr(contents.message);
        // Past the signature only the record count refuses a file: say which count it has.
        if (contents.frameRecords > kFrameRecords300)
            printErr(QStringLiteral("the file holds %1 frame records; %2 reads a file of %3 or fewer%4")
                         .arg(contents.frameRecords)
                         .arg(variant.programName)
                         .arg(kFrameRecords300)
                         .arg(variant.fileAlways300Slots ? QString() : QStringLiteral(", or exactly %1").arg(kFrameRecords600)));
        return ExitRefused;
    }
    // A load that stops half-way still shows what it took before the failure.
    printOut(QJsonDocument(contentsToJson(contents, variant)).toJson(QJsonDocument::Indented));
    if (!contents.ok()) {
        printErr(contents.message);
        if (contents.failedAtRecord < 0)
            printErr(QStringLiteral("%1: the file ends after its signature \"TransP\": the fixed record it "
                                    "announces and every frame record are missing")
                         .arg(line.operands().at(0)));
        else
            printErr(QStringLiteral("the records end inside the field that starts at frame record %1 (address %2)")
                         .arg(contents.failedAtRecord)
                         .arg(contents.failedAtAddress));
        return ExitRefused;
    }
    return ExitOk;
}

} // namespace kcftool
