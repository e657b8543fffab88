#include "config_file_harness.h"

#include "fuzz_require.h"

#include "core/config_model.h"
#include "core/variant.h"
#include "files/config_file.h"
#include "files/panel_append.h"
#include "link/frames.h"

#include <QByteArray>

namespace talvir {

namespace {
// Returns what the load made of the bytes, for the caller's own checks.
ConfigFileContents checkOne(const QByteArray &bytes, const Variant &variant)
{
    ConfigFileContents c = decodeConfigFile(bytes, variant);
    FUZZ_REQUIRE(c.ok() == c.message.isEmpty());
    FUZZ_REQUIRE(c.reserveIps.size() <= kReserveServers);
    FUZZ_REQUIRE(!c.reserveIps.contains(0u));
    if (c.failure == FileFailure::Format) {
        FUZZ_REQUIRE(c.settings.isEmpty() && c.rows.isEmpty() && !c.reserveListEmptied);
        return c;
    }
    if (c.failure == FileFailure::None || c.reserveListEmptied) {
        FUZZ_REQUIRE(c.slotCount == 300 || c.slotCount == 600);
        FUZZ_REQUIRE(c.slotCount <= variant.maxPanels);
        FUZZ_REQUIRE(c.panelArea.size() == c.slotCount * 47);
    }
    if (!c.ok())
        FUZZ_REQUIRE(c.rows.isEmpty());
    int lastSlot = 0;
    for (const PanelRecord &row : c.rows) {
        FUZZ_REQUIRE(row.slot && *row.slot > lastSlot && *row.slot <= c.slotCount);
        FUZZ_REQUIRE(!row.account.isEmpty() && row.account.size() <= 4 && row.obj.size() <= 4);
        FUZZ_REQUIRE(row.phone1.size() <= 13 && row.phone2.size() <= 13);
        lastSlot = *row.slot;
    }
    int lastRecord = -1;
    for (const LoadedSetting &s : c.settings) {
        FUZZ_REQUIRE(s.record > lastRecord && s.bytes.size() == settingWidth(s.field));
        lastRecord = s.record;
    }

    TransceiverConfig config = TransceiverConfig::defaults(variant, false);
    c.applyTo(config, variant);
    FUZZ_REQUIRE(config.protocol >= 0 && config.protocol < variant.protocolItems.size());
    FUZZ_REQUIRE(config.conversion >= -1 && config.conversion < variant.conversionItems.size());
    FUZZ_REQUIRE(config.mode >= -1 && config.mode <= 1);
    FUZZ_REQUIRE(config.testPeriod >= 1 && config.testPeriod <= 3600);
    FUZZ_REQUIRE(config.panels.size() <= variant.maxPanels);

    // The appending of panels walks the same records its own way, into a table with room for 50.
    const int existing = variant.maxPanels - 50;
    const PanelAppend a = decodePanelAppend(bytes, variant, existing, nullptr);
    FUZZ_REQUIRE(a.ok() == a.message.isEmpty());
    FUZZ_REQUIRE((a.failure == FileFailure::Format) == (c.failure == FileFailure::Format));
    FUZZ_REQUIRE(a.rows.size() <= 50 && (a.leftOut == 0 || a.rows.size() == 50));
    int lastNumber = existing;
    for (const PanelRecord &row : a.rows) {
        FUZZ_REQUIRE(row.slot && *row.slot > lastNumber && *row.slot <= existing + a.slotCount);
        FUZZ_REQUIRE(row.typeName == QStringLiteral("Тип ППК не определен"));
        lastNumber = *row.slot;
    }
    return c;
}

// An input at least as long as a memory image is also taken as one (the larger of the two it covers)
// and saved the way the configurator saves it: complete files with arbitrary slot and settings
// bytes, which random file bytes rarely reach (a complete panel block needs 14100 well-formed
// records). The file is six times the image, so the work stays proportional to the input.
void checkAsImage(const std::uint8_t *data, std::size_t size)
{
    const Variant &v = size >= std::size_t(Variant::mxr600r().imageSize()) ? Variant::mxr600r() : Variant::mxrDuziv();
    if (size < std::size_t(v.imageSize()))
        return;
    SendList list;
    for (int a = 0; a < v.imageSize(); ++a)
        list.queueWriteFrame(std::uint16_t(a), data[a]);
    const QByteArray file = configFileBytes(list);
    int used = 0;
    for (int n = 1; n <= v.maxPanels; ++n)
        used += data[std::size_t(n - 1) * 47 + 26] != 0 ? 1 : 0;
    for (const Variant *reader : {&Variant::mxr600r(), &Variant::mxrDuziv()}) {
        if (v.maxPanels > reader->maxPanels) {
            // A 600-slot file does not fit a 300-slot transceiver.
            FUZZ_REQUIRE(!slotsOfFileIn(list.size(), *reader));
            continue;
        }
        const ConfigFileContents c = checkOne(file, *reader);
        FUZZ_REQUIRE(c.ok() && c.slotCount == v.maxPanels && c.settings.size() == 10 && c.reserveReached);
        FUZZ_REQUIRE(c.rows.size() == used);
    }
}
} // namespace

int fuzzConfigFile(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    checkOne(bytes, Variant::mxr600r());
    checkOne(bytes, Variant::mxrDuziv());
    checkAsImage(data, size);
    return 0;
}

} // namespace talvir
