// PanelTypeTable: the console's panel-type table "CentralType.db" (TypeId, NameCentral), read-only.
// Console mode opens it through the alias "EditDB"; standalone mode from the program's own folder.
#pragma once

#include <QList>
#include <QString>

namespace talvir {

struct PanelType {
    int typeId = 0;
    QString nameCentral;
};

class PanelTypeTable {
public:
    // Every open closes first; on failure the table stays closed and empty, lastError() says why.
    // Console mode: the folder of alias "EditDB" (console installation's alias file). False on failure.
    bool openConsole();
    // Standalone mode: folder + "/CentralType.db". False on failure.
    bool openStandalone(const QString &folder);
    // Any Paradox file path (used by the two above and by tests).
    bool openFile(const QString &path);
    void close();
    bool isOpen() const { return open_; }
    QString lastError() const { return error_; }

    // The walk, in the table's own order.
    void first() { pos_ = 0; }
    void next() { if (pos_ < records_.size()) ++pos_; }
    bool eof() const { return pos_ >= records_.size(); }
    int recordCount() const { return int(records_.size()); }
    int current() const { return pos_; }
    // Out-of-range indexes are clamped: below 0 to the first record, beyond the last to eof.
    void setCurrent(int index) { pos_ = index < 0 ? 0 : (index > records_.size() ? int(records_.size()) : index); }
    int typeId() const { return eof() ? 0 : records_.at(pos_).typeId; }
    QString nameCentral() const { return eof() ? QString() : records_.at(pos_).nameCentral; }

    // The first record with this TypeId becomes current; false (current unchanged) if none.
    bool locate(int typeId);
    // The first record with this TypeId, or nullptr; the current record does not move.
    const PanelType *find(int typeId) const;

    const QList<PanelType> &records() const { return records_; }

private:
    QList<PanelType> records_;
    int pos_ = 0;
    bool open_ = false;
    QString error_;
};

} // namespace talvir
