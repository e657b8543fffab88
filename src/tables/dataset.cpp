#include "dataset.h"

#include <algorithm>
#include <numeric>

namespace talvir {

Dataset::Dataset(const QStringList &fieldNames, QObject *parent)
    : QAbstractTableModel(parent), fieldNames_(fieldNames), captions_(fieldNames)
{
}

int Dataset::fieldIndex(const QString &name) const
{
    return int(fieldNames_.indexOf(name));
}

void Dataset::setFieldCaption(int field, const QString &caption)
{
    if (field < 0 || field >= fieldCount())
        return;
    captions_[field] = caption;
    emit headerDataChanged(Qt::Horizontal, field, field);
}

int Dataset::recordCount() const
{
    return int(rows_.size()) - (state_ == State::Insert ? 1 : 0);
}

QVariant Dataset::value(int row, int field) const
{
    if (row < 0 || row >= int(rows_.size()) || field < 0 || field >= fieldCount())
        return {};
    if (row == current_ && state_ != State::Browse)
        return buffer_.value(field);
    return rows_.at(row).value(field);
}

QList<Dataset::Row> Dataset::storedRows() const
{
    QList<Row> out = rows_;
    if (state_ == State::Insert)
        out.removeAt(current_);
    return out;
}

void Dataset::setState(State state)
{
    if (state_ == state)
        return;
    state_ = state;
    if (!rows_.isEmpty())
        emit headerDataChanged(Qt::Vertical, 0, int(rows_.size()) - 1);
    emit stateChanged(state);
}

void Dataset::setCurrent(int row)
{
    current_ = row;
    if (!rows_.isEmpty())
        emit headerDataChanged(Qt::Vertical, 0, int(rows_.size()) - 1);
    emit currentRowChanged(row);
}

void Dataset::emitRowChanged(int row)
{
    if (row >= 0 && row < int(rows_.size()))
        emit dataChanged(index(row, 0), index(row, fieldCount() - 1));
}

bool Dataset::checkBrowseMode()
{
    if (state_ == State::Browse)
        return true;
    if (modified_)
        return post();
    cancel();
    return true;
}

bool Dataset::moveTo(int row)
{
    if (rows_.isEmpty())
        return true;
    const bool droppedNew = state_ == State::Insert && !modified_;
    const int pendingAt = current_;
    if (!checkBrowseMode())
        return false;
    // An untouched new row was dropped: rows below it moved up by one.
    if (droppedNew && row > pendingAt)
        --row;
    if (rows_.isEmpty()) {
        setCurrent(-1);
        return true;
    }
    row = std::clamp(row, 0, int(rows_.size()) - 1);
    if (row == current_)
        return true;
    if (runs(Hook::BeforeScroll) && beforeScroll_)
        beforeScroll_();
    setCurrent(row);
    if (runs(Hook::AfterScroll) && afterScroll_)
        afterScroll_();
    return true;
}

bool Dataset::insert()
{
    return beginInsertAt(-1);
}

bool Dataset::append()
{
    return beginInsertAt(-2);
}

// where: -1 before the current row, -2 after the last row.
bool Dataset::beginInsertAt(int where)
{
    if (!checkBrowseMode())
        return false;
    if (runs(Hook::BeforeInsert) && beforeInsert_ && !beforeInsert_())
        return false;
    if (runs(Hook::BeforeScroll) && beforeScroll_)
        beforeScroll_();
    const int row = (where == -2 || current_ < 0) ? int(rows_.size()) : current_;
    beginInsertRows(QModelIndex(), row, row);
    rows_.insert(row, Row(fieldCount()));
    endInsertRows();
    buffer_ = Row(fieldCount());
    modified_ = false;
    setState(State::Insert);
    setCurrent(row);
    if (runs(Hook::AfterScroll) && afterScroll_)
        afterScroll_();
    return true;
}

bool Dataset::edit()
{
    if (state_ != State::Browse)
        return true;
    if (current_ < 0)
        return false;
    buffer_ = rows_.at(current_);
    modified_ = false;
    setState(State::Edit);
    return true;
}

void Dataset::setFieldWidth(int field, int characters)
{
    if (widths_.size() < fieldCount())
        widths_.resize(fieldCount());
    if (field >= 0 && field < fieldCount())
        widths_[field] = characters;
}

bool Dataset::setFieldValue(int field, const QVariant &value)
{
    if (field < 0 || field >= fieldCount() || !edit())
        return false;
    const int width = widths_.value(field);
    const bool cut = width > 0 && value.typeId() == QMetaType::QString && value.toString().size() > width;
    buffer_[field] = cut ? QVariant(value.toString().left(width)) : value;
    modified_ = true;
    emitRowChanged(current_);
    return true;
}

bool Dataset::post()
{
    if (state_ == State::Browse)
        return false;
    keepPending_ = false;
    if (runs(Hook::BeforePost) && beforePost_ && !beforePost_()) {
        if (!keepPending_)
            cancel();
        keepPending_ = false;
        return false;
    }
    rows_[current_] = buffer_;
    buffer_.clear();
    modified_ = false;
    setState(State::Browse);
    emitRowChanged(current_);
    if (runs(Hook::AfterPost) && afterPost_)
        afterPost_();
    return true;
}

void Dataset::cancel()
{
    if (state_ == State::Browse)
        return;
    const int row = current_;
    const bool inserting = state_ == State::Insert;
    buffer_.clear();
    modified_ = false;
    setState(State::Browse);
    if (inserting) {
        beginRemoveRows(QModelIndex(), row, row);
        rows_.removeAt(row);
        endRemoveRows();
        setCurrent(rows_.isEmpty() ? -1 : std::min(row, int(rows_.size()) - 1));
    } else {
        emitRowChanged(row);
    }
}

bool Dataset::remove()
{
    if (state_ == State::Insert) {
        cancel();
        return true;
    }
    if (current_ < 0)
        return false;
    if (state_ == State::Edit)
        cancel();
    if (runs(Hook::BeforeScroll) && beforeScroll_)
        beforeScroll_();
    const int row = current_;
    beginRemoveRows(QModelIndex(), row, row);
    rows_.removeAt(row);
    endRemoveRows();
    setCurrent(rows_.isEmpty() ? -1 : std::min(row, int(rows_.size()) - 1));
    if (runs(Hook::AfterDelete) && afterDelete_)
        afterDelete_();
    if (runs(Hook::AfterScroll) && afterScroll_)
        afterScroll_();
    return true;
}

void Dataset::clear()
{
    beginResetModel();
    rows_.clear();
    buffer_.clear();
    modified_ = false;
    endResetModel();
    setState(State::Browse);
    setCurrent(-1);
}

void Dataset::setRows(const QList<Row> &rows)
{
    beginResetModel();
    rows_ = rows;
    for (Row &row : rows_)
        row.resize(fieldCount());
    buffer_.clear();
    modified_ = false;
    endResetModel();
    setState(State::Browse);
    setCurrent(rows_.isEmpty() ? -1 : 0);
}

void Dataset::sortRows(const std::function<bool(const Row &, const Row &)> &less)
{
    if (state_ != State::Browse || rows_.size() < 2)
        return;
    QList<int> order(rows_.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return less(rows_.at(a), rows_.at(b)); });
    if (std::is_sorted(order.begin(), order.end()))
        return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    QList<Row> sorted;
    sorted.reserve(rows_.size());
    int newCurrent = -1;
    for (int i = 0; i < order.size(); ++i) {
        sorted.append(std::move(rows_[order.at(i)]));
        if (order.at(i) == current_)
            newCurrent = i;
    }
    rows_ = std::move(sorted);
    // Persistent indexes (a view's current cell) follow their rows.
    const QModelIndexList from = persistentIndexList();
    QList<int> where(order.size());
    for (int i = 0; i < order.size(); ++i)
        where[order.at(i)] = i;
    QModelIndexList to;
    to.reserve(from.size());
    for (const QModelIndex &i : from)
        to.append(index(where.at(i.row()), i.column()));
    changePersistentIndexList(from, to);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    if (newCurrent != current_)
        setCurrent(newCurrent);
}

int Dataset::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(rows_.size());
}

int Dataset::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : fieldCount();
}

QVariant Dataset::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    return value(index.row(), index.column());
}

bool Dataset::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::EditRole || index.row() != current_)
        return false;
    return setFieldValue(index.column(), value);
}

Qt::ItemFlags Dataset::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable;
}

QVariant Dataset::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return captions_.value(section);
    // The row indicator of the grid: the pending row is marked as being inserted or edited.
    if (section == current_ && state_ == State::Insert)
        return QStringLiteral("*");
    if (section == current_ && state_ == State::Edit)
        return QStringLiteral("I");
    return section == current_ ? QStringLiteral("\u25B6") : QString();
}

DetachedHooks::DetachedHooks(Dataset &dataset, std::initializer_list<Dataset::Hook> hooks) : dataset_(dataset)
{
    // Only what was attached is attached again: a hook detached by the caller's caller stays so.
    for (Dataset::Hook h : hooks) {
        if (dataset_.isAttached(h)) {
            hooks_.append(h);
            dataset_.detach(h);
        }
    }
}

DetachedHooks::~DetachedHooks()
{
    for (Dataset::Hook h : hooks_)
        dataset_.attach(h);
}

} // namespace talvir
