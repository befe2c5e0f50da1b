#include "asleftmodel.h"

#include "numbertext.h"
#include "recordmodel.h"
#include "sample.h"

TAsLeftModel::TAsLeftModel(TRecordModel *record, QObject *parent)
    : QAbstractTableModel(parent), d_record(record)
{
    d_rows = rowCount();
    connect(d_record, &TRecordModel::As_Left_Reset, this,
            [this]
            {
                beginResetModel();
                d_rows = rowCount();
                endResetModel();
            });
    connect(d_record, &TRecordModel::Changed, this, &TAsLeftModel::Record_Changed);
}

void TAsLeftModel::Record_Changed()
{
    // An edit changes the computed cells of its row and the verdicts of all
    // (U may change with it); the rows themselves stay. The marks of the
    // typed cells follow their own edits.
    if (rowCount() != d_rows)
    {
        beginResetModel();
        d_rows = rowCount();
        endResetModel();
        return;
    }
    // The typed columns change only through setData (or a reset): a cell
    // being edited keeps what is typed in it whatever else changes.
    if (d_rows > 0)
        emit dataChanged(index(0, Error_Column), index(d_rows - 1, Column_Count - 1));
}

bool TAsLeftModel::Is_Set_Aside(int row) const
{
    return row >= d_record->As_Left_Count();
}

int TAsLeftModel::rowCount(const QModelIndex &parent) const
{
    // Counted from the state: a change that no view looks at is not
    // evaluated for it.
    if (parent.isValid())
        return 0;
    return d_record->State().as_left.size() + d_record->State().set_aside.size();
}

int TAsLeftModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : Column_Count;
}

QVariant TAsLeftModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return QVariant();
    const Record_Evaluation &evaluation = d_record->Evaluation();
    const int row = index.row();
    const bool aside = Is_Set_Aside(row);
    const Judged_Row &judged = aside ? evaluation.set_aside_rows.at(row - d_record->As_Left_Count())
                                     : evaluation.left_rows.at(row);
    // The one cell of the two that does not read is marked, not its row.
    const bool unreadable = !aside && index.column() <= Reading_Column &&
                            !Read_Number_Text(index.column() == Actual_Column
                                                  ? d_record->State().as_left.at(row).actual
                                                  : d_record->State().as_left.at(row).reading,
                                              nullptr);
    switch (role)
    {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return judged.cells.value(index.column());
    case Qt::EditRole:
        if (aside)
            return QVariant();
        return index.column() == Actual_Column ? d_record->State().as_left.at(row).actual
                                               : d_record->State().as_left.at(row).reading;
    case Qt::TextAlignmentRole:
        return int(Qt::AlignCenter);
    case Set_Aside_Role:
        return aside;
    case Unreadable_Role:
        return unreadable;
    case Qt::ToolTipRole:
        if (aside)
            return tr("Set aside: measured with the codes %1, not the codes left. Not used.")
                .arg(judged.cells.value(Codes_Column));
        if (unreadable)
            return tr("Not a number: this row holds the certificate back. Use a point as the "
                      "decimal separator (15.2).");
        return QVariant();
    default:
        return QVariant();
    }
}

bool TAsLeftModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable))
        return false;
    d_record->Set_As_Left(index.row(), index.column(), value.toString());
    emit dataChanged(index, index);
    return true;
}

Qt::ItemFlags TAsLeftModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    if (index.column() <= Reading_Column && !Is_Set_Aside(index.row()) &&
        d_record->Can_Measure_As_Left())
        flags |= Qt::ItemIsEditable;
    return flags;
}

QVariant TAsLeftModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return QVariant();
    if (orientation == Qt::Vertical)
        return section + 1;
    const QString unit = QStringLiteral("\n(%1)").arg(Degrees_Celsius());
    switch (section)
    {
    case Actual_Column:
        return tr("Actual") + unit;
    case Reading_Column:
        return tr("Reading") + unit;
    case Error_Column:
        return tr("Error") + unit;
    case Verdict_Column:
        return tr("Verdict");
    case Codes_Column:
        return tr("Measured with");
    default:
        return QVariant();
    }
}
