// The reserve notification servers: the list as the technician edits it (one field, the address as
// typed, at most 20 characters: the width of the list's column; a longer text is cut where typed)
// and the 80 stored addresses the configuration holds. The list is saved into the stored addresses
// only when the technician agrees, so a write or a save sends what was last agreed.
#pragma once

#include "core/config_model.h"
#include "tables/dataset.h"

#include <QObject>
#include <array>

namespace talvir {

class PromptService;
struct Variant;

constexpr int kReserveAddressField = 0;
constexpr int kReserveAddressChars = 20;

// The list's table alone, without its checks.
Dataset *newReserveList(QObject *parent);

class ReserveServers : public QObject {
    Q_OBJECT
public:
    using Addresses = std::array<quint32, kReserveServers>;

    ReserveServers(const Variant &variant, PromptService &prompts, QObject *parent = nullptr);

    // The list: a row is inserted only while fewer than 80 are stored, and stored only when its text
    // is an address other than 0.0.0.0 (a part that is not a whole number keeps it open).
    Dataset *list() const { return list_; }
    // Address texts of the stored rows, in list order.
    QStringList addressTexts() const;
    // Empties the list (start-up, exit, a read starting); the stored addresses stay.
    void clearList();
    // The list made anew (a read or a load): emptied, then each text appended through the row
    // checks, in order; a text that is not an address stays out.
    void setAddressTexts(const QStringList &texts);

    const Addresses &stored() const { return stored_; }
    void setStored(const Addresses &addresses) { stored_ = addresses; }

    // Stores a changed row through the checks and drops an untouched new one; false when the row
    // stays open for correction.
    bool settle();
    // The list's texts into the stored addresses, all converted before any is stored; false (and
    // nothing stored) when a text is not an address.
    bool saveList();
    // Empties the list and the stored addresses once the pending row is settled; false when it
    // stays open.
    bool clearAll();

signals:
    // The number of stored rows changed.
    void countChanged(int rows);
    // A row check refused (false: the navigator waits) or let a row through (true).
    void navigationAllowed(bool allowed);

private:
    bool allowInsert();
    bool checkAddressRow();

    const Variant &variant_;
    PromptService &prompts_;
    Dataset *list_;
    Addresses stored_{};
};

} // namespace talvir
