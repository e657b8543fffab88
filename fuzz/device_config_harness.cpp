#include "device_config_harness.h"

#include "fuzz_require.h"

#include "device_config.h"
#include "config_diff.h"
#include "files/config_file.h"

#include <QByteArray>

using namespace talvir;

namespace kcftool {

int fuzzDeviceConfig(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    for (const Variant *variant : {&Variant::mxr600r(), &Variant::mxrDuziv()}) {
        QString error;
        const std::optional<DeviceConfig> config = deviceConfigFromBytes(bytes, QStringLiteral("fuzz.kcf"), *variant, &error);
        // A refusal always says why (and names the file), an acceptance never does.
        FUZZ_REQUIRE(config.has_value() == error.isEmpty());
        if (!config) {
            FUZZ_REQUIRE(error.contains(QStringLiteral("fuzz.kcf")));
            continue;
        }
        // What is sent is the file's own records, one per byte of the memory, nothing re-encoded.
        FUZZ_REQUIRE(config->image.size() == variant->imageSize());
        FUZZ_REQUIRE(config->frames.size() == variant->frameCount());
        const QByteArray records = configFileBytes(config->frames).mid(2 * kRecordSize);
        FUZZ_REQUIRE(bytes.size() - bytes.size() % kRecordSize >= records.size());
        FUZZ_REQUIRE(bytes.left(bytes.size() - bytes.size() % kRecordSize).endsWith(records));
        // The diff of a configuration with itself finds nothing, even in the bytes a diff may skip.
        FUZZ_REQUIRE(diffImages(config->image, config->image, *variant, KeptBytes::Compare).isEmpty());
    }
    return 0;
}

} // namespace kcftool
