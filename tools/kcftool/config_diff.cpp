#include "config_diff.h"

#include "core/cp1251.h"
#include "core/ip_text.h"
#include "core/memory_layout.h"
#include "image/config_image.h"

#include <cstring>

namespace talvir {

namespace {

// The file loader's LegacyTypeMap: what a loaded file shows.
constexpr int kLastLegacyCode = 24;

using Bytes = const unsigned char *;

Bytes bytesOf(const QByteArray &image) { return reinterpret_cast<Bytes>(image.constData()); }

bool sameBytes(Bytes a, Bytes b, int width) { return std::memcmp(a, b, std::size_t(width)) == 0; }

QVariant textValue(Bytes p, int width) { return fromCp1251Field(reinterpret_cast<const char *>(p), width); }
QVariant ipValue(Bytes p) { return ipToText(ipFromOctets(p)); }

// Compares the bytes of each field of one region (a slot or the settings block) and collects the
// fields that differ, with the values shown.
struct RegionDiff {
    Bytes a;
    Bytes b;
    int base;
    QList<FieldChange> changes;

    template <typename Show>
    void field(const char *name, int offset, int width, Show show)
    {
        if (!sameBytes(a + offset, b + offset, width))
            add(QString::fromLatin1(name), show(a + offset), show(b + offset), offset);
    }
    void rawBytes(int from, int to) // offsets from..to-1, each on its own
    {
        for (int k = from; k < to; ++k) {
            if (a[k] != b[k])
                add(QStringLiteral("byte %1").arg(k), int(a[k]), int(b[k]), k);
        }
    }
    void add(const QString &name, const QVariant &before, const QVariant &after, int offset)
    {
        changes.append({name, before, after, base + offset});
    }
};

int typeCode(Bytes slot) { return slot[PanelSlot::TypeHigh] * 256 + slot[PanelSlot::TypeLow]; }

void diffSlotFields(RegionDiff &d)
{
    using namespace PanelSlot;
    d.field("obj", Obj, ObjWidth, [](Bytes p) { return textValue(p, ObjWidth); });
    d.field("account", Account, AccountWidth, [](Bytes p) { return textValue(p, AccountWidth); });
    d.field("p1", P1, PhoneWidth, [](Bytes p) { return textValue(p, PhoneWidth); });
    d.field("p2", P2, PhoneWidth, [](Bytes p) { return textValue(p, PhoneWidth); });
    const int codeA = typeCode(d.a), codeB = typeCode(d.b);
    if (codeA != codeB) {
        const int typeA = LegacyTypeMap::translate(codeA, kLastLegacyCode);
        const int typeB = LegacyTypeMap::translate(codeB, kLastLegacyCode);
        if (typeA != typeB)
            d.add(QStringLiteral("typeId"), typeA, typeB, TypeLow);
        else
            d.add(QStringLiteral("typeCode"), codeA, codeB, TypeLow);
    }
    d.field("prot", Prot, 1, [](Bytes p) { return int(p[0]); });
    const quint32 secondsA = readU32(d.a + WaitSeconds), secondsB = readU32(d.b + WaitSeconds);
    if (secondsA != secondsB) {
        if (secondsA / 60 != secondsB / 60)
            d.add(QStringLiteral("waitTest"), qint64(secondsA / 60), qint64(secondsB / 60), WaitSeconds);
        else
            d.add(QStringLiteral("waitSeconds"), qint64(secondsA), qint64(secondsB), WaitSeconds);
    }
    d.rawBytes(WaitSeconds + 4, TypeHigh);
    d.field("frmt", Frmt, 1, [](Bytes p) { return int(p[0]); });
}

void diffPanels(Bytes a, Bytes b, const Variant &variant, QList<SlotChange> &out)
{
    for (int n = 1; n <= variant.maxPanels; ++n) {
        const int base = (n - 1) * kSlotSize;
        if (sameBytes(a + base, b + base, kSlotSize))
            continue;
        SlotChange change;
        change.slot = n;
        change.before = PanelSlot::decode(a + base, n, kLastLegacyCode);
        change.after = PanelSlot::decode(b + base, n, kLastLegacyCode);
        if (change.before && !change.after) {
            change.kind = SlotChange::Kind::Removed;
        } else if (!change.before && change.after) {
            change.kind = SlotChange::Kind::Added;
        } else {
            // Both in use, or both unused with stray bytes the window never shows.
            RegionDiff d{a + base, b + base, base, {}};
            diffSlotFields(d);
            change.fields = d.changes;
        }
        out.append(change);
    }
}

void diffSettings(Bytes a, Bytes b, const Variant &variant, KeptBytes kept, QList<FieldChange> &out)
{
    using namespace SettingsBlock;
    RegionDiff d{a, b, variant.settingsBase(), {}};
    auto u32 = [](Bytes p) { return QVariant(qint64(readU32(p))); };
    auto u16 = [](Bytes p) { return QVariant(int(readU16(p))); };
    auto ip = [](Bytes p) { return ipValue(p); };

    d.field("serialNo", FactoryNumber, 4, u32);
    constexpr int kModeByte = SettingsBlock::ModeByte;
    const unsigned char modeA = a[kModeByte], modeB = b[kModeByte];
    if ((modeA & 0x0F) != (modeB & 0x0F))
        d.add(QStringLiteral("protocol"), modeA & 0x0F, modeB & 0x0F, kModeByte);
    if ((modeA & 0x30) != (modeB & 0x30))
        d.add(QStringLiteral("conversion"), ((modeA >> 4) & 3) - 1, ((modeB >> 4) & 3) - 1, kModeByte);
    if ((modeA & 0x80) != (modeB & 0x80))
        d.add(QStringLiteral("mode"), modeA >> 7, modeB >> 7, kModeByte);
    if ((modeA & 0x40) != (modeB & 0x40))
        d.rawBytes(kModeByte, kModeByte + 1);
    d.field("baud", Baud, BaudWidth, [](Bytes p) { return textValue(p, BaudWidth); });
    d.field("testPeriod", TestPeriod, 4, u32);
    d.field("apn", Apn, ApnWidth, [](Bytes p) { return textValue(p, ApnWidth); });
    d.field("serverIp", ServerIp, 4, ip);
    d.field("localIp", LocalIp, 4, ip);
    d.field("gatewayIp", GatewayIp, 4, ip);
    d.field("serverPort", ServerPort, 2, u16);
    d.field("localPort", LocalPort, 2, u16);
    d.field("dhcp", Dhcp, 1, [](Bytes p) { return int(p[0]); });
    // Written as constants: a difference there is no setting of the window, but still a difference.
    d.rawBytes(Zero, Zero + 1);
    d.rawBytes(Constant9999, Constant9999 + 2);
    if (kept == KeptBytes::Compare)
        d.rawBytes(Kept, Kept + KeptWidth);
    out = d.changes;
}

} // namespace

ConfigDiff diffImages(const QByteArray &before, const QByteArray &after, const Variant &variant, KeptBytes kept)
{
    Q_ASSERT(before.size() == variant.imageSize() && after.size() == variant.imageSize());
    ConfigDiff diff;
    const int base = variant.settingsBase();
    Bytes a = bytesOf(before), b = bytesOf(after);
    diffSettings(a + base, b + base, variant, kept, diff.settings);
    for (int k = 1; k <= kReserveServers; ++k) {
        const int offset = base + SettingsBlock::Reserve + (k - 1) * 4;
        if (!sameBytes(a + offset, b + offset, 4))
            diff.reserve.append({k, ipFromOctets(a + offset), ipFromOctets(b + offset)});
    }
    diffPanels(a, b, variant, diff.panels);
    return diff;
}

} // namespace talvir
