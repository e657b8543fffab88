#include "grid_follower.h"

#include "tables/dataset.h"

#include <QTableView>

namespace talvir {

GridFollower::GridFollower(QTableView *grid, Dataset &data, int column, std::function<void(int row)> move)
    : QObject(grid), grid_(grid), data_(data), column_(column), move_(std::move(move))
{
    connect(&data_, &QAbstractItemModel::modelReset, this, [this] { sync(); });
    connect(&data_, &QAbstractItemModel::layoutChanged, this, [this] { sync(); });
    connect(&data_, &QAbstractItemModel::rowsInserted, this, [this] { sync(); });
    connect(&data_, &QAbstractItemModel::rowsRemoved, this, [this] { sync(); });
    connect(&data_, &Dataset::currentRowChanged, this, [this] { sync(); });
    connect(grid_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) { picked(current.isValid() ? current.row() : -1); });
}

void GridFollower::sync()
{
    const int row = data_.currentRow();
    syncing_ = true;
    if (row < 0)
        grid_->selectionModel()->clear();
    else if (grid_->currentIndex().row() != row)
        grid_->selectionModel()->setCurrentIndex(data_.index(row, column_), QItemSelectionModel::ClearAndSelect |
                                                                                QItemSelectionModel::Rows);
    if (row >= 0 && grid_->hasFocus())
        grid_->scrollTo(data_.index(row, column_));
    syncing_ = false;
}

void GridFollower::picked(int row)
{
    if (syncing_ || row < 0 || row == data_.currentRow())
        return;
    move_(row);
    sync();
}

} // namespace talvir
