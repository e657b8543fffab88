#include "config_image.h"

#include "core/cp1251.h"
#include "core/ip_text.h"

#include <algorithm>
#include <cstring>

namespace talvir {

namespace PanelSlot {

void encode(const PanelRecord &row, unsigned char *slot)
{
    std::memset(slot, 0, kSlotSize);
    char *text = reinterpret_cast<char *>(slot);
    toCp1251Field(row.phone1, text + P1, PhoneWidth);
    toCp1251Field(row.phone2, text + P2, PhoneWidth);
    toCp1251Field(row.account, text + Account, AccountWidth);
    toCp1251Field(row.obj, text + Obj, ObjWidth);
    const quint16 type = quint16(row.typeId);
    slot[TypeLow] = static_cast<unsigned char>(type & 0xFF);
    slot[TypeHigh] = static_cast<unsigned char>(type >> 8);
    slot[Prot] = static_cast<unsigned char>(quint16(row.protocolCode) & 0xFF);
    // The transceiver counts the wait in seconds in 32 bits; minutes beyond that would wrap round to
    // a short wait, so they are held at the longest wait it can keep.
    constexpr qint64 kMaxMinutes = 0xFFFFFFFFll / 60;
    const qint64 minutes = std::clamp<qint64>(row.testWait, 0, kMaxMinutes);
    writeU32(slot + WaitSeconds, quint32(minutes * 60));
}

std::optional<PanelRecord> decode(const unsigned char *slot, int slotNumber, int lastCode)
{
    if (slot[Account] == 0)
        return std::nullopt;
    const char *text = reinterpret_cast<const char *>(slot);
    PanelRecord row;
    row.slot = slotNumber;
    row.phone1 = fromCp1251Field(text + P1, PhoneWidth);
    row.phone2 = fromCp1251Field(text + P2, PhoneWidth);
    row.obj = fromCp1251Field(text + Obj, ObjWidth);
    row.account = fromCp1251Field(text + Account, AccountWidth);
    row.testWait = qint32(readU32(slot + WaitSeconds) / 60);
    row.alarmFlag = slot[TypeHigh];
    row.protocolCode = slot[Prot];
    row.format = slot[Frmt];
    row.typeId = qint16(quint16(LegacyTypeMap::translate(slot[TypeHigh] * 256 + slot[TypeLow], lastCode)));
    return row;
}

} // namespace PanelSlot

namespace LegacyTypeMap {

int translate(int code, int lastCode)
{
    if (code < 1 || code > lastCode)
        return code;
    switch (code) {
    case 1: case 5: case 15: return 30;
    case 2: return 41;
    case 3: case 7: case 17: return 72;
    case 4: case 8: case 12: case 14: case 18: case 24: return 201;
    case 6: case 16: return 48;
    case 9: case 19: case 23: return 200;
    case 10: return 80;
    case 11: case 13: return 100;
    case 20: case 22: return 400;
    default: return code; // 21
    }
}

} // namespace LegacyTypeMap

namespace {
struct FieldInfo {
    SettingField field;
    int offset;
    int width;
};
constexpr FieldInfo kFields[] = {
    {SettingField::ServerIp, SettingsBlock::ServerIp, 4},
    {SettingField::LocalIp, SettingsBlock::LocalIp, 4},
    {SettingField::GatewayIp, SettingsBlock::GatewayIp, 4},
    {SettingField::FactoryNumber, SettingsBlock::FactoryNumber, 4},
    {SettingField::ServerPort, SettingsBlock::ServerPort, 2},
    {SettingField::LocalPort, SettingsBlock::LocalPort, 2},
    {SettingField::Apn, SettingsBlock::Apn, SettingsBlock::ApnWidth},
    {SettingField::Baud, SettingsBlock::Baud, SettingsBlock::BaudWidth},
    {SettingField::TestPeriod, SettingsBlock::TestPeriod, 4},
    {SettingField::ModeByte, SettingsBlock::ModeByte, 1},
    {SettingField::Reserve, SettingsBlock::Reserve, SettingsBlock::ReserveWidth},
};
const FieldInfo &info(SettingField field)
{
    return kFields[static_cast<int>(field)];
}
QString ipText(const unsigned char *bytes)
{
    return ipToText(ipFromOctets(bytes));
}
} // namespace

int settingOffset(SettingField field) { return info(field).offset; }
int settingWidth(SettingField field) { return info(field).width; }

std::optional<SettingField> settingAt(int offset)
{
    for (const FieldInfo &f : kFields) {
        if (f.offset == offset)
            return f.field;
    }
    return std::nullopt;
}

namespace ModeByte {

unsigned char encode(int protocol, int conversion, int mode, bool modeControlEnabled)
{
    unsigned b = unsigned(protocol) & 0x0F;
    if (modeControlEnabled)
        b |= (unsigned(mode) << 7) & 0x80; // -1 (no choice) sets the bit as well
    switch (conversion) {
    case 0: b |= 0x10; break;
    case 1: b |= 0x20; break;
    case 2: b |= 0x30; break;
    default: break; // none selected
    }
    return static_cast<unsigned char>(b);
}

void applyProtocolChange(int protocol, TransceiverConfig &config, const Variant &variant)
{
    config.conversion = protocol == 1 ? 0 : -1;
    if (variant.modeAlwaysVisible) {
        if (protocol == 2)
            config.mode = -1; // the type switch is disabled and loses its choice
    } else if (protocol != 1) {
        config.mode = 0; // hidden: back to the first choice
    }
}

void decodeInto(unsigned char b, TransceiverConfig &config, const Variant &variant)
{
    const int lastProtocol = int(variant.protocolItems.size()) - 1;
    const int protocol = std::min(int(b & 0x0F), lastProtocol);
    if (protocol != config.protocol) {
        config.protocol = protocol;
        applyProtocolChange(protocol, config, variant);
    }
    const int code = (b & 0x30) >> 4;
    // A code naming an item the switch does not have leaves the switch as it is.
    if (code - 1 < int(variant.conversionItems.size()))
        config.conversion = code - 1;
    config.mode = modeControlEnabled(config, variant) ? (b >> 7) : -1;
}

} // namespace ModeByte

bool modeControlEnabled(const TransceiverConfig &config, const Variant &variant)
{
    return !variant.modeAlwaysVisible || config.protocol != 2;
}

void applySetting(SettingField field, const unsigned char *bytes, TransceiverConfig &config, const Variant &variant)
{
    const char *text = reinterpret_cast<const char *>(bytes);
    switch (field) {
    case SettingField::ServerIp: config.serverIp = ipText(bytes); break;
    case SettingField::LocalIp: config.localIp = ipText(bytes); break;
    case SettingField::GatewayIp: config.gatewayIp = ipText(bytes); break;
    case SettingField::FactoryNumber: config.factoryNumber = QString::number(readU32(bytes)); break;
    case SettingField::ServerPort: {
        const quint16 port = readU16(bytes);
        config.serverPort = port == 0 ? QStringLiteral("9999") : QString::number(port);
        break;
    }
    case SettingField::LocalPort: config.localPort = QString::number(readU16(bytes)); break;
    case SettingField::Apn: config.apn = fromCp1251Field(text, SettingsBlock::ApnWidth); break;
    case SettingField::Baud: config.baudText = fromCp1251Field(text, SettingsBlock::BaudWidth); break;
    case SettingField::TestPeriod:
        // The period box takes a value beyond its limits as its nearest limit.
        config.testPeriod = int(std::clamp<quint32>(readU32(bytes), kTestPeriodMin, kTestPeriodMax));
        break;
    case SettingField::ModeByte: ModeByte::decodeInto(bytes[0], config, variant); break;
    case SettingField::Reserve: break;
    }
}

QList<quint32> reserveAddresses(const unsigned char *bytes)
{
    QList<quint32> list;
    for (int k = 0; k < kReserveServers; ++k) {
        const quint32 ip = ipFromOctets(bytes + 4 * k);
        if (ip != 0)
            list.append(ip);
    }
    return list;
}

ConfigImage::ConfigImage(const Variant &variant)
    : variant_(&variant), bytes_(std::size_t(variant.imageSize()), 0)
{
}

void ConfigImage::clear() { std::fill(bytes_.begin(), bytes_.end(), 0); }

void ConfigImage::clearPanelArea()
{
    std::fill(bytes_.begin(), bytes_.begin() + settingsBase(), 0);
}

void ConfigImage::clearSettings()
{
    std::fill(bytes_.begin() + settingsBase(), bytes_.end(), 0);
}

QList<PanelRecord> ConfigImage::panelRows(int lastCode) const
{
    QList<PanelRecord> rows;
    for (int n = 1; n <= maxPanels(); ++n) {
        if (auto row = PanelSlot::decode(slot(n), n, lastCode))
            rows.append(*row);
    }
    return rows;
}

void ConfigImage::decodeSettingsInto(TransceiverConfig &config) const
{
    static constexpr SettingField kReadOrder[] = {
        SettingField::Apn, SettingField::FactoryNumber, SettingField::ModeByte, SettingField::ServerPort,
        SettingField::ServerIp, SettingField::GatewayIp, SettingField::LocalIp, SettingField::LocalPort,
        SettingField::TestPeriod, SettingField::Baud,
    };
    for (SettingField f : kReadOrder)
        applySetting(f, settings() + settingOffset(f), config, *variant_);
}

TransceiverConfig ConfigImage::toConfig(TransceiverConfig config) const
{
    decodeSettingsInto(config);
    // Every used slot, its stored type code translated, sorted by object number as every posted row
    // re-sorts the table.
    config.panels = panelRows(variant_->legacyMapLastCodeOnRead);
    sortRowsAsTable(config.panels);
    const QList<quint32> reserve = reserveAddresses(settings() + settingOffset(SettingField::Reserve));
    config.reserveIps.fill(0);
    for (int k = 0; k < reserve.size() && k < kReserveServers; ++k)
        config.reserveIps[std::size_t(k)] = reserve.at(k);
    return config;
}

void ConfigImage::setBytes(const QByteArray &bytes)
{
    if (bytes.size() == size())
        std::memcpy(bytes_.data(), bytes.constData(), std::size_t(bytes.size()));
}

} // namespace talvir
