#include "encode_json_harness.h"

#include "fuzz_require.h"

#include "config_json.h"
#include "panel_csv.h"
#include "files/config_file.h"
#include "image/config_image.h"
#include "image/config_writer.h"

#include <QByteArray>
#include <algorithm>
#include <optional>

namespace talvir {

namespace {

// The configuration as kcftool encode saves it, or nothing when the save refuses it (with a reason).
std::optional<ConfigImage> encode(const TransceiverConfig &config, const Variant &variant, QByteArray &file)
{
    ConfigImage image(variant);
    SendList list;
    if (const auto refusal = prepareWrite(image, config, modeControlEnabled(config, variant), list)) {
        FUZZ_REQUIRE(!refusal->message.isEmpty());
        return std::nullopt;
    }
    file = configFileBytes(list);
    return image;
}

// The used slots of an image in byte order: the table may sort its rows, the slots stay the same. The
// type code is left out: the load takes codes 1 to 24 for an older transceiver's and translates them.
QList<QByteArray> usedSlots(const ConfigImage &image)
{
    QList<QByteArray> used;
    for (int n = 1; n <= image.maxPanels(); ++n) {
        QByteArray slot(reinterpret_cast<const char *>(image.slot(n)), kSlotSize);
        slot[PanelSlot::TypeLow] = slot[PanelSlot::TypeHigh] = 0;
        if (slot.at(PanelSlot::Account) != 0)
            used.append(slot);
    }
    std::sort(used.begin(), used.end());
    return used;
}

void checkJson(const QByteArray &json, const Variant &variant)
{
    QString error;
    const std::optional<TransceiverConfig> parsed = kcftool::configFromJson(json, variant, &error);
    if (!parsed) {
        FUZZ_REQUIRE(!error.isEmpty());
        return;
    }
    const TransceiverConfig &config = *parsed;
    QByteArray file;
    const std::optional<ConfigImage> image = encode(config, variant, file);
    if (!image)
        return;
    // The load reads the file whole, and a second save of what it shows writes the same settings and
    // the same panels.
    const ConfigFileContents loaded = decodeConfigFile(file, variant);
    FUZZ_REQUIRE(loaded.ok() && loaded.slotCount == variant.maxPanels && loaded.reserveReached);
    TransceiverConfig reloaded = TransceiverConfig::defaults(variant, false);
    loaded.applyTo(reloaded, variant);
    QByteArray again;
    const std::optional<ConfigImage> image2 = encode(reloaded, variant, again);
    FUZZ_REQUIRE(image2.has_value());
    // A server port written as 0 is shown as 9999, the transceiver's default.
    QByteArray settings(reinterpret_cast<const char *>(image->settings()), kSettingsSize);
    if (settings.at(SettingsBlock::ServerPort) == 0 && settings.at(SettingsBlock::ServerPort + 1) == 0)
        settings.replace(SettingsBlock::ServerPort, 2, QByteArray("\x0F\x27", 2));
    FUZZ_REQUIRE(settings == QByteArray(reinterpret_cast<const char *>(image2->settings()), kSettingsSize));
    FUZZ_REQUIRE(usedSlots(*image) == usedSlots(*image2));
}

// A CSV's rows, written out again and read back, are the same rows.
void checkCsv(const QByteArray &csv, const Variant &variant)
{
    const kcftool::PanelCsv read = kcftool::panelsFromCsv(csv, variant.maxPanels);
    for (const kcftool::CsvFault &f : read.faults)
        FUZZ_REQUIRE(f.line >= 1 && !f.text.isEmpty());
    if (!read.faults.isEmpty())
        return;
    FUZZ_REQUIRE(read.rows.size() <= variant.maxPanels);
    for (QChar separator : {QLatin1Char(';'), QLatin1Char(',')}) {
        const kcftool::PanelCsv back = kcftool::panelsFromCsv(kcftool::panelsToCsv(read.rows, separator), variant.maxPanels);
        FUZZ_REQUIRE(back.faults.isEmpty() && back.rows.size() == read.rows.size());
        for (qsizetype i = 0; i < read.rows.size(); ++i) {
            const PanelRecord &a = read.rows[i];
            const PanelRecord &b = back.rows[i];
            FUZZ_REQUIRE(a.obj == b.obj && a.account == b.account && a.phone1 == b.phone1 && a.phone2 == b.phone2);
            FUZZ_REQUIRE(a.typeId == b.typeId && a.protocolCode == b.protocolCode && a.testWait == b.testWait);
        }
    }
}

} // namespace

int fuzzEncodeJson(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    const Variant &variant = data[0] & 1 ? Variant::mxrDuziv() : Variant::mxr600r();
    const QByteArray text(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    if (data[0] & 2)
        checkCsv(text, variant);
    else
        checkJson(text, variant);
    return 0;
}

} // namespace talvir
