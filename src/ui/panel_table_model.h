// The in-memory panel table, one PanelRecord per row, as the grid panelGrid shows it
// (read-only; rows change through the edit boxes, the type selector and the navigator).
#pragma once

#include "core/config_model.h"

#include <QAbstractTableModel>

namespace talvir {

class PanelTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { ColRecNmb, ColObj, ColAccount, ColP1, ColP2, ColWaitTest, ColNPpk, ColumnCount };

    explicit PanelTableModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    const QList<PanelRecord> &rows() const { return rows_; }
    const PanelRecord &row(int r) const { return rows_.at(r); }
    void setRows(const QList<PanelRecord> &rows);
    void appendRow(const PanelRecord &record);
    void setRow(int r, const PanelRecord &record);
    void removeRow(int r);
    void clear();

private:
    QList<PanelRecord> rows_;
};

} // namespace talvir
