#include "resultstablemodel.h"

TResultsTableModel::TResultsTableModel(const QStringList &header, QObject *parent)
    : QAbstractTableModel(parent), d_header(header)
{
}

void TResultsTableModel::Set_Rows(const QList<QStringList> &rows)
{
    if (rows.size() != d_rows.size())
    {
        beginResetModel();
        d_rows = rows;
        endResetModel();
        return;
    }
    // Typing one value changes a few cells; the view keeps its place.
    for (int row = 0; row < rows.size(); ++row)
        if (rows.at(row) != d_rows.at(row))
        {
            d_rows[row] = rows.at(row);
            emit dataChanged(index(row, 0), index(row, columnCount() - 1));
        }
}

int TResultsTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : d_rows.size();
}

int TResultsTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : d_header.size();
}

QVariant TResultsTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= d_rows.size())
        return QVariant();
    // The tool tip: the whole text of a cell too narrow to show it.
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole || role == Qt::ToolTipRole)
        return d_rows.at(index.row()).value(index.column());
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignCenter);
    return QVariant();
}

QVariant TResultsTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return QVariant();
    if (orientation == Qt::Horizontal)
        return d_header.value(section);
    return section + 1;
}
