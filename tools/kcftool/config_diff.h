// What differs between two configuration memories of one variant, named as the technician knows the
// fields: the settings, the reserve servers entry by entry and the panel slots slot by slot.
#pragma once

#include "core/config_model.h"
#include "core/variant.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVariant>
#include <optional>

namespace talvir {

// One field whose bytes differ. Values as the window shows them: a number or a text. A field whose
// bytes differ but whose shown values would not (a stored type code that translates to the same
// type, seconds under a whole minute) is named by its raw form instead ("typeCode", "waitSeconds"),
// and a byte that no field holds is "byte N" (N counted from the start of its slot or of the settings
// block) with its raw value.
struct FieldChange {
    QString field;
    QVariant before;
    QVariant after;
    int address = 0; // the field's first address in the memory

    bool operator==(const FieldChange &) const = default;
};

// Entry k (from 1) of the reserve server field, by its position in the memory; 0 is an empty entry.
struct ReserveChange {
    int entry = 0;
    quint32 before = 0;
    quint32 after = 0;

    bool operator==(const ReserveChange &) const = default;
};

// Panel slot n (from 1). A slot is in use when its byte 26 is not 0 (as the read and the load take it).
struct SlotChange {
    enum class Kind { Added, Removed, Changed };
    int slot = 0;
    Kind kind = Kind::Changed;
    std::optional<PanelRecord> before; // the row the slot holds, when in use
    std::optional<PanelRecord> after;
    QList<FieldChange> fields;         // Changed: what differs (also bytes of two unused slots)

    bool operator==(const SlotChange &) const = default;
};

struct ConfigDiff {
    QList<FieldChange> settings;
    QList<ReserveChange> reserve;
    QList<SlotChange> panels;

    bool isEmpty() const { return settings.isEmpty() && reserve.isEmpty() && panels.isEmpty(); }
};

// Whether settings bytes 94-96 take part: the transceiver keeps its own values there, so a write
// does not decide them and a read-back is not expected to match.
enum class KeptBytes { Skip, Compare };

// Compares two memories of variant.imageSize() bytes every byte (bytes 94-96 of the settings only
// with KeptBytes::Compare). Type codes are translated as the file loader does (codes 1-24).
ConfigDiff diffImages(const QByteArray &before, const QByteArray &after, const Variant &variant, KeptBytes kept);

} // namespace talvir
