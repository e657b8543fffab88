#include "sim_image_harness.h"

#include "fuzz_require.h"

#include "core/variant.h"
#include "sim/sim_memory.h"

#include <QByteArray>
#include <QString>

namespace talvir {

namespace {
void checkLoad(const QByteArray &bytes, int memorySize)
{
    SimMemory memory(memorySize);
    QString error;
    QString warning = QStringLiteral("stale");
    const bool ok = memory.loadBytes(bytes, QStringLiteral("fuzz.kcf"), &error, &warning);
    FUZZ_REQUIRE(memory.size() == memorySize);
    FUZZ_REQUIRE(ok == error.isEmpty());
    if (!ok) {
        // A refused file leaves the memory as it was: zero.
        FUZZ_REQUIRE(memory.bytes() == QByteArray(memorySize, '\0'));
        return;
    }
    if (bytes.size() == memorySize) {
        FUZZ_REQUIRE(memory.bytes() == bytes && warning.isEmpty());
        return;
    }
    // Anything else that loads is a configuration file with at least one frame after its signature.
    FUZZ_REQUIRE(bytes.startsWith("Trans") && bytes.size() >= 12);
}
} // namespace

int fuzzSimImage(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    for (const Variant *v : {&Variant::mxr600r(), &Variant::mxrDuziv()})
        checkLoad(bytes, v->imageSize());
    return 0;
}

} // namespace talvir
