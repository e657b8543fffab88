// The configurator's copy of the transceiver's configuration memory: MaxPanels panel slots of 47 bytes
// followed by the 422-byte settings block, with the encodings of every field stored there.
#pragma once

#include "core/config_model.h"
#include "core/little_endian.h"
#include "core/memory_layout.h"
#include "core/variant.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

namespace talvir {

// The panel slot's encoding (its offsets are in core/memory_layout.h).
namespace PanelSlot {
// Fills the 47 bytes at slot from the row: texts cut or zero-filled, TypeId low/high at 34/45,
// Prot low byte at 35, WaitTest in seconds at 36. A WaitTest whose seconds do not fit 32 bits is
// stored as the largest whole minute that fits; a negative one as 0.
void encode(const PanelRecord &row, unsigned char *slot);

// The row stored in a slot, or nothing when byte 26 is 0. lastCode is the last stored type code
// that LegacyTypeMap translates (24, or 23 when MXR_duziv reads a transceiver). nPpk stays empty:
// the type list names the type.
std::optional<PanelRecord> decode(const unsigned char *slot, int slotNumber, int lastCode);
} // namespace PanelSlot

// Stored panel-type codes 1..24 of older transceivers stand for types of the panel-type table.
namespace LegacyTypeMap {
// Codes 1..lastCode are translated (0, 21 and codes above lastCode are taken unchanged).
int translate(int code, int lastCode);
} // namespace LegacyTypeMap

// The settings fields that are decoded back into the controls; each knows its offset and width.
enum class SettingField { ServerIp, LocalIp, GatewayIp, FactoryNumber, ServerPort, LocalPort, Apn, Baud, TestPeriod, ModeByte, Reserve };
int settingOffset(SettingField field);
int settingWidth(SettingField field);
// The field that starts at this settings offset, if any is decoded.
std::optional<SettingField> settingAt(int offset);

// ModeByte: protocol in bits 0-3, conversion code in bits 4-5, mode in bit 7.
namespace ModeByte {
// The mode bit is taken only while the mode control is enabled; mode -1 sets it too.
unsigned char encode(int protocol, int conversion, int mode, bool modeControlEnabled);

// Sets protocol, conversion and mode in this order, as the switches take a byte read back: a
// protocol beyond the last item selects the last item; a protocol that differs from the current one
// runs the protocol switch's resets first (conversion "A->0" for Sur-Gard, else none; the mode
// control's reset); conversion code c gives item c - 1, except code 3 in MXR_duziv, which leaves
// conversion as it is; mode is bit 7, or -1 when MXR_duziv's protocol is 2.
void decodeInto(unsigned char b, TransceiverConfig &config, const Variant &variant);

// The protocol switch's own resets when its choice changes to protocol (the settings panel rules).
void applyProtocolChange(int protocol, TransceiverConfig &config, const Variant &variant);
} // namespace ModeByte

// Whether the mode control takes part in the write: always in MXR_600r (it is only hidden there);
// in MXR_duziv it is disabled while the protocol is 2 ("Автономный режим").
bool modeControlEnabled(const TransceiverConfig &config, const Variant &variant);

// One decoded settings field applied to the configuration as the controls take it. bytes holds the
// field's settingWidth() bytes. Reserve fields are not handled here (the reserve list takes them).
void applySetting(SettingField field, const unsigned char *bytes, TransceiverConfig &config, const Variant &variant);

// The non-zero addresses of a 320-byte reserve field, in entry order.
QList<quint32> reserveAddresses(const unsigned char *bytes);

class ConfigImage {
public:
    explicit ConfigImage(const Variant &variant);

    const Variant &variant() const { return *variant_; }
    int size() const { return int(bytes_.size()); }
    int maxPanels() const { return variant_->maxPanels; }
    int settingsBase() const { return variant_->settingsBase(); }

    unsigned char *data() { return bytes_.data(); }
    const unsigned char *data() const { return bytes_.data(); }
    unsigned char at(int address) const { return bytes_.at(std::size_t(address)); }

    // Slot n counted from 1.
    unsigned char *slot(int n) { return bytes_.data() + std::size_t(n - 1) * kSlotSize; }
    const unsigned char *slot(int n) const { return bytes_.data() + std::size_t(n - 1) * kSlotSize; }
    unsigned char *settings() { return bytes_.data() + settingsBase(); }
    const unsigned char *settings() const { return bytes_.data() + settingsBase(); }

    void clear();          // all zero, as at start
    void clearPanelArea(); // every slot zero
    void clearSettings();  // the 422 settings bytes zero

    // The rows of the used slots, in slot order, RecNmb = slot number.
    QList<PanelRecord> panelRows(int lastCode) const;

    // The settings as the read fills the controls: APN, factory number, protocol / conversion / mode,
    // server port (0 -> "9999"), server, gateway and local addresses, local port, test period, speed.
    // Dhcp is not changed; neither are the reserve servers (reserveAddresses of the reserve field).
    void decodeSettingsInto(TransceiverConfig &config) const;

    // The whole memory as a read found it, as the window shows it: base's settings overwritten as
    // decodeSettingsInto does, the used slots as rows in the table's order (type names left empty),
    // the reserve servers' non-zero entries closed up.
    TransceiverConfig toConfig(TransceiverConfig base) const;

    QByteArray bytes() const { return QByteArray(reinterpret_cast<const char *>(bytes_.data()), size()); }
    // Takes bytes of exactly the image's size; anything else leaves the image as it was.
    void setBytes(const QByteArray &bytes);

private:
    const Variant *variant_;
    std::vector<unsigned char> bytes_;
};

} // namespace talvir
