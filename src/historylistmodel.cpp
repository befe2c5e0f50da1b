#include "historylistmodel.h"

#include "historyclient.h"

THistoryListModel::THistoryListModel(THistoryClient *client, QObject *parent)
    : QAbstractTableModel(parent), d_client(client)
{
    connect(d_client, &THistoryClient::Listed, this, &THistoryListModel::Take_Page);
}

void THistoryListModel::Set_Filter(const History_Filter &filter)
{
    beginResetModel();
    d_filter = filter;
    d_rows.clear();
    d_more = true;
    d_failure.clear();
    d_pending = 0;
    endResetModel();
    fetchMore(QModelIndex());
}

History_Filter THistoryListModel::Filter() const
{
    return d_filter;
}

const History_Row &THistoryListModel::Row(int row) const
{
    return d_rows.at(row);
}

QString THistoryListModel::Failure() const
{
    return d_failure;
}

bool THistoryListModel::Loading() const
{
    return d_pending != 0;
}

bool THistoryListModel::Complete() const
{
    return d_pending == 0 && (!d_more || !d_failure.isEmpty());
}

int THistoryListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : d_rows.size();
}

int THistoryListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : Column_Count;
}

QVariant THistoryListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= d_rows.size() ||
        (role != Qt::DisplayRole && role != Qt::AccessibleTextRole))
        return QVariant();
    const History_Row &row = d_rows.at(index.row());
    switch (index.column())
    {
    case Date_Column:
        return row.calibration_date;
    case Serial_Column:
        return row.serial;
    case Certificate_Column:
        // A withdrawn certificate says so wherever it is listed.
        return row.replaced_by.isEmpty() ? row.certificate_number
                                         : tr("%1 (withdrawn, replaced by %2)")
                                               .arg(row.certificate_number, row.replaced_by);
    case Model_Column:
        return row.model;
    case Owner_Column:
        return row.owner;
    case Technician_Column:
        return row.technician;
    case Existing_Code1_Column:
        return row.existing_code1;
    case Existing_Code2_Column:
        return row.existing_code2;
    case New_Code1_Column:
        return row.new_code1;
    case New_Code2_Column:
        return row.new_code2;
    case Verdict_Found_Column:
        return row.verdict_as_found;
    case Verdict_Left_Column:
        return row.verdict_as_left;
    default:
        return QVariant();
    }
}

QVariant THistoryListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    static const char *const titles[Column_Count] = {QT_TR_NOOP("Date"),
                                                     QT_TR_NOOP("Serial number"),
                                                     QT_TR_NOOP("Certificate"),
                                                     QT_TR_NOOP("Model"),
                                                     QT_TR_NOOP("Owner"),
                                                     QT_TR_NOOP("Technician"),
                                                     QT_TR_NOOP("Existing Code 1"),
                                                     QT_TR_NOOP("Existing Code 2"),
                                                     QT_TR_NOOP("New Code 1"),
                                                     QT_TR_NOOP("New Code 2"),
                                                     QT_TR_NOOP("Verdict as found"),
                                                     QT_TR_NOOP("Verdict as left")};
    return section >= 0 && section < Column_Count ? tr(titles[section]) : QVariant();
}

bool THistoryListModel::canFetchMore(const QModelIndex &parent) const
{
    return !parent.isValid() && d_more && d_pending == 0 && d_failure.isEmpty();
}

void THistoryListModel::fetchMore(const QModelIndex &parent)
{
    if (!canFetchMore(parent))
        return;
    d_pending =
        d_client->List(d_filter, d_rows.isEmpty() ? History_Row() : d_rows.last(), page_size);
    emit State_Changed();
}

void THistoryListModel::Take_Page(quint64 request, const History_Page &page)
{
    if (request != d_pending)
        return; // a page for a filter typed over since
    d_pending = 0;
    d_failure = page.failure;
    d_more = page.more && page.failure.isEmpty();
    if (!page.rows.isEmpty())
    {
        beginInsertRows(QModelIndex(), d_rows.size(), d_rows.size() + page.rows.size() - 1);
        d_rows += page.rows;
        endInsertRows();
    }
    emit State_Changed();
}
