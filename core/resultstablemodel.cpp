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
    // The view keeps its place, and hears once of the rows that changed
    // (a new code changes every predicted row).
    int first = -1;
    int last = -1;
    for (int row = 0; row < rows.size(); ++row)
        if (rows.at(row) != d_rows.at(row))
        {
            d_rows[row] = rows.at(row);
            first = first < 0 ? row : first;
            last = row;
        }
    if (first >= 0)
        emit dataChanged(index(first, 0), index(last, columnCount() - 1));
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
