#include "device_config.h"

#include "files/config_file.h"
#include "image/config_image.h"

#include <QFile>
#include <vector>

using namespace talvir;

namespace kcftool {

namespace {
QString variantOfCount(int frames)
{
    for (const Variant *v : {&Variant::mxr600r(), &Variant::mxrDuziv()}) {
        if (v->frameCount() == frames)
            return QStringLiteral(" (a configuration of %1, %2 panel slots)").arg(v->programName).arg(v->maxPanels);
    }
    return QString();
}
} // namespace

std::optional<DeviceConfig> readDeviceConfig(const QString &path, const Variant &variant, QString *error)
{
    const std::optional<QByteArray> bytes = readConfigFileBytes(path, error);
    if (!bytes)
        return std::nullopt;
    return deviceConfigFromBytes(*bytes, path, variant, error);
}

std::optional<DeviceConfig> deviceConfigFromBytes(const QByteArray &bytes, const QString &path, const Variant &variant,
                                                  QString *error)
{
    const FrameRecords records = splitRecords(bytes);
    if (records.failure == FileFailure::Format) {
        *error = QStringLiteral("%1: %2").arg(path, formatMessage());
        return std::nullopt;
    }
    const int count = int(records.frames.size());
    const int expected = variant.frameCount();
    if (count != expected) {
        *error = QStringLiteral("%1 holds %2 frame records%3; the %4 transceiver takes %5, one per byte of its "
                                "memory.")
                     .arg(path)
                     .arg(count)
                     .arg(variantOfCount(count), variant.programName)
                     .arg(expected);
        return std::nullopt;
    }

    const int first = records.hasFixedRecord ? 2 : 1; // file record of frame record 0
    DeviceConfig c;
    c.image = QByteArray(variant.imageSize(), '\0');
    std::vector<bool> seen(std::size_t(variant.imageSize()), false);
    for (int i = 0; i < count; ++i) {
        const Frame &f = records.frames[std::size_t(i)];
        QString fault;
        const int address = frameAddress(f);
        if (f[0] != kWriteCommand)
            fault = QStringLiteral("is not a write frame");
        else if (!frameCrcValid(f))
            fault = QStringLiteral("has a bad CRC");
        else if (address >= variant.imageSize())
            fault = QStringLiteral("is addressed 0x%1, outside the memory").arg(address, 4, 16, QLatin1Char('0'));
        else if (seen[std::size_t(address)])
            fault = QStringLiteral("sets address 0x%1 a second time").arg(address, 4, 16, QLatin1Char('0'));
        if (!fault.isEmpty()) {
            *error = QStringLiteral("%1: record %2 %3.").arg(path).arg(first + i).arg(fault);
            return std::nullopt;
        }
        seen[std::size_t(address)] = true;
        c.image[address] = char(frameData(f));
        // Rebuilt from its fields: with the command and the CRC checked above, the very same six bytes.
        c.frames.queueWriteFrame(std::uint16_t(address), frameData(f));
    }
    c.factoryNumber = readU32(reinterpret_cast<const unsigned char *>(c.image.constData()) + variant.settingsBase() +
                             SettingsBlock::FactoryNumber);
    return c;
}

} // namespace kcftool
