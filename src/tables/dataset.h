// A small in-memory table as the editing windows use it (the panel table, the reserve server list):
// rows of named fields, a current row, the states Browse / Insert / Edit with one pending row, and
// hooks around inserting, storing, deleting and moving that can be detached while code fills the
// table. The dataset is its own item model, so a grid shows the pending row as it is typed.
#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QStringList>
#include <QVariant>

#include <array>
#include <functional>
#include <initializer_list>

namespace talvir {

class Dataset : public QAbstractTableModel {
    Q_OBJECT
public:
    using Row = QList<QVariant>;

    enum class State { Browse, Insert, Edit };
    enum class Hook { BeforeInsert, BeforePost, AfterPost, AfterDelete, BeforeScroll, AfterScroll, Count };

    explicit Dataset(const QStringList &fieldNames, QObject *parent = nullptr);

    int fieldCount() const { return int(fieldNames_.size()); }
    int fieldIndex(const QString &name) const; // -1 when there is no such field
    void setFieldCaption(int field, const QString &caption);
    // A text field holds at most this many characters: a longer text is cut where it is set, so
    // the grid shows what is kept. 0: no limit.
    void setFieldWidth(int field, int characters);

    State state() const { return state_; }
    bool isEditing() const { return state_ != State::Browse; }
    // True once a field of the pending row was set.
    bool isModified() const { return modified_; }
    // Stored rows; the pending new row of Insert does not count.
    int recordCount() const;
    // -1 only when there is no row at all.
    int currentRow() const { return current_; }
    // Row r as shown: the pending values for the current row while it is inserted or edited.
    QVariant value(int row, int field) const;
    QVariant fieldValue(int field) const { return value(current_, field); }
    // Stored rows in table order (without the pending new row; an edited row with its stored values).
    QList<Row> storedRows() const;

    // Hooks. beforeInsert and beforePost may refuse (return false): a refused insertion does not
    // happen, a refused post discards the pending insertion or change, unless the hook called
    // keepPendingRow() before it refused: then the pending row stays open for correction. Hooks
    // return; they do not throw.
    void setBeforeInsert(std::function<bool()> hook) { beforeInsert_ = std::move(hook); }
    // Called by a refusing beforePost hook: the refused post keeps the pending row open.
    void keepPendingRow() { keepPending_ = true; }
    void setBeforePost(std::function<bool()> hook) { beforePost_ = std::move(hook); }
    void setAfterPost(std::function<void()> hook) { afterPost_ = std::move(hook); }
    void setAfterDelete(std::function<void()> hook) { afterDelete_ = std::move(hook); }
    void setBeforeScroll(std::function<void()> hook) { beforeScroll_ = std::move(hook); }
    void setAfterScroll(std::function<void()> hook) { afterScroll_ = std::move(hook); }
    void detach(Hook hook) { attached_[std::size_t(hook)] = false; }
    void attach(Hook hook) { attached_[std::size_t(hook)] = true; }
    bool isAttached(Hook hook) const { return attached_[std::size_t(hook)]; }

    // Settles a pending row: a modified one is posted, an untouched one is cancelled. False when the
    // post was refused (the pending row is then discarded).
    bool checkBrowseMode();
    // Makes row r current, settling a pending row first; false when that was refused (nothing moves).
    bool moveTo(int row);
    bool first() { return moveTo(0); }
    bool last() { return moveTo(rowCount() - 1); }
    bool next() { return moveTo(current_ + 1); }
    bool prior() { return moveTo(current_ - 1); }

    // A new empty row before the current one (at the top of an empty table) or after the last.
    bool insert();
    bool append();
    // Opens the current row for change; false on an empty table.
    bool edit();
    // Sets a field of the pending row (opening the current row for change when browsing).
    bool setFieldValue(int field, const QVariant &value);
    // Stores the pending row; false when nothing was pending or beforePost refused.
    bool post();
    void cancel();
    // Deletes the current row. A pending new row is only cancelled; a pending change is dropped.
    bool remove();
    // Empties the table without hooks.
    void clear();
    // Replaces every row at once without hooks (a read or a load); the first row becomes current.
    void setRows(const QList<Row> &rows);
    // Reorders the stored rows by less, equal rows keeping their order; the current record stays
    // current. Only while browsing (a pending row keeps its place until it is posted).
    void sortRows(const std::function<bool(const Row &, const Row &)> &less);

    // Item model: one column per field; every cell editable. Editing a cell of another row than the
    // current one is refused (the view moves the current row first).
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

signals:
    void currentRowChanged(int row);
    void stateChanged(talvir::Dataset::State state);

private:
    bool runs(Hook hook) const { return attached_[std::size_t(hook)]; }
    bool beginInsertAt(int row);
    void setState(State state);
    void setCurrent(int row);
    void emitRowChanged(int row);

    QStringList fieldNames_;
    QStringList captions_;
    QList<int> widths_;
    QList<Row> rows_; // includes the placeholder of a pending new row
    Row buffer_;      // pending values of the current row in Insert / Edit
    State state_ = State::Browse;
    bool modified_ = false;
    bool keepPending_ = false; // the running beforePost hook refused and keeps the row open
    int current_ = -1;

    std::function<bool()> beforeInsert_, beforePost_;
    std::function<void()> afterPost_, afterDelete_, beforeScroll_, afterScroll_;
    std::array<bool, std::size_t(Hook::Count)> attached_{true, true, true, true, true, true};
};

// Detaches hooks for a scope (filling a table from a file or the transceiver) and attaches them again.
class DetachedHooks {
public:
    DetachedHooks(Dataset &dataset, std::initializer_list<Dataset::Hook> hooks);
    ~DetachedHooks();
    DetachedHooks(const DetachedHooks &) = delete;
    DetachedHooks &operator=(const DetachedHooks &) = delete;

private:
    Dataset &dataset_;
    QList<Dataset::Hook> hooks_;
};

} // namespace talvir
