// kcftool dump: what loading a file into the program would show, as JSON on stdout.
#include "commands.h"
#include "config_json.h"
#include "files/config_file.h"

#include <QJsonDocument>

using namespace talvir;

namespace kcftool {

int cmdDump(QStringList args)
{
    const Variant &variant = takeVariant(args);
    expectOperands(args, 1, QStringLiteral("kcftool dump [--variant 600r|duziv] FILE.kcf"));

    const ConfigFileContents contents = loadConfigFile(args[0], variant);
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
        printErr(QStringLiteral("the records end inside the field that starts at frame record %1 (address %2)")
                     .arg(contents.failedAtRecord)
                     .arg(contents.failedAtAddress));
        return ExitRefused;
    }
    return ExitOk;
}

} // namespace kcftool
