#include "panel_table_model.h"

namespace talvir {

PanelTableModel::PanelTableModel(QObject *parent) : QAbstractTableModel(parent)
{
    setObjectName(QStringLiteral("panelTable"));
}

int PanelTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(rows_.size());
}

int PanelTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant PanelTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rows_.size())
        return QVariant();
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return QVariant();
    const PanelRecord &r = rows_.at(index.row());
    switch (index.column()) {
    case ColRecNmb: return r.recNmb ? QVariant(*r.recNmb) : QVariant(QString());
    case ColObj: return r.obj;
    case ColAccount: return r.account;
    case ColP1: return r.p1;
    case ColP2: return r.p2;
    case ColWaitTest: return r.waitTest;
    case ColNPpk: return r.nPpk;
    default: return QVariant();
    }
}

QVariant PanelTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case ColRecNmb: return QStringLiteral("№");
    case ColObj: return QStringLiteral("Объект");
    case ColAccount: return QStringLiteral("ППК");
    case ColP1: return QStringLiteral("Телефон 1");
    case ColP2: return QStringLiteral("Телефон 2");
    case ColWaitTest: return QStringLiteral("Тест");
    case ColNPpk: return QStringLiteral("Тип ППК");
    default: return QVariant();
    }
}

void PanelTableModel::setRows(const QList<PanelRecord> &rows)
{
    beginResetModel();
    rows_ = rows;
    endResetModel();
}

void PanelTableModel::appendRow(const PanelRecord &record)
{
    const int r = int(rows_.size());
    beginInsertRows(QModelIndex(), r, r);
    rows_.append(record);
    endInsertRows();
}

void PanelTableModel::setRow(int r, const PanelRecord &record)
{
    if (r < 0 || r >= rows_.size())
        return;
    rows_[r] = record;
    emit dataChanged(index(r, 0), index(r, ColumnCount - 1));
}

void PanelTableModel::removeRow(int r)
{
    if (r < 0 || r >= rows_.size())
        return;
    beginRemoveRows(QModelIndex(), r, r);
    rows_.removeAt(r);
    endRemoveRows();
}

void PanelTableModel::clear()
{
    setRows({});
}

} // namespace talvir
