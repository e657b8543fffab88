// kcftool encode: the save of the configurator from a JSON description, same checks, same order,
// same messages, same file.
#include "commands.h"
#include "config_json.h"
#include "files/bounded_read.h"
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

    // A configuration's JSON needs a few hundred KB at most; /dev/zero or a wrong pick is refused.
    constexpr qint64 kLargestJson = 1 << 20;
    QString error;
    const std::optional<QByteArray> json = readBoundedFile(args[0], kLargestJson, &error);
    if (!json) {
        printErr(error);
        return ExitRefused;
    }
    const TransceiverConfig config = configFromJson(*json, variant);

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
