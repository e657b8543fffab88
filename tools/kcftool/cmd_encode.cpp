// kcftool encode: the save of the configurator from a JSON description, same checks, same order,
// same messages, same file.
#include "commands.h"
#include "config_json.h"
#include "files/config_file.h"
#include "image/config_image.h"
#include "image/config_writer.h"

#include <QFile>

using namespace talvir;

namespace kcftool {

int cmdEncode(QStringList args)
{
    const Variant &variant = takeVariant(args);
    expectOperands(args, 2, QStringLiteral("kcftool encode [--variant 600r|duziv] CONFIG.json OUT.kcf"));

    QFile in(args[0]);
    if (!in.open(QIODevice::ReadOnly)) {
        printErr(QStringLiteral("%1: %2").arg(args[0], in.errorString()));
        return ExitRefused;
    }
    const TransceiverConfig config = configFromJson(in.readAll(), variant);

    // Nothing has been read from a transceiver: bytes 94-96 of the settings are zero, as at start.
    ConfigImage image(variant);
    SendList list;
    if (auto refusal = prepareWrite(image, config, modeControlEnabled(config, variant), list)) {
        printErr(refusal->message);
        return ExitRefused;
    }
    const QString error = saveConfigFile(args[1], list);
    if (!error.isEmpty()) {
        printErr(error);
        return ExitRefused;
    }
    return ExitOk;
}

} // namespace kcftool
