// A grid over a dataset whose current row is the dataset's: the grid follows every move, insertion,
// removal and reset of the dataset, and a row the technician picks in the grid is handed to the
// dataset as a move, which may refuse it (a pending row its check refused): the grid then goes back.
#pragma once

#include <QObject>
#include <functional>

class QTableView;

namespace talvir {

class Dataset;

class GridFollower : public QObject {
public:
    // move: the dataset's move to a row picked in the grid; column: the cell the grid's cursor takes.
    GridFollower(QTableView *grid, Dataset &data, int column, std::function<void(int row)> move);

    // Puts the grid's cursor on the dataset's current row (none when the dataset is empty); the
    // row stays in view while the grid has the focus.
    void sync();

private:
    void picked(int row);

    QTableView *grid_;
    Dataset &data_;
    int column_;
    std::function<void(int)> move_;
    bool syncing_ = false; // the grid follows the dataset: its change is not a move
};

} // namespace talvir
