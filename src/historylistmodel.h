#ifndef ZENTROVA_HISTORYLISTMODEL_H
#define ZENTROVA_HISTORYLISTMODEL_H

#include "history.h"

#include <QAbstractTableModel>

class THistoryClient;

// The history window's list: the calibrations that match the filter,
// newest first, fetched a page at a time off the GUI thread as the view
// scrolls to them. However long the history, the first page is all the
// window waits for.
class THistoryListModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column
    {
        Date_Column,
        Serial_Column,
        Certificate_Column,
        Model_Column,
        Owner_Column,
        Technician_Column,
        Existing_Code1_Column,
        Existing_Code2_Column,
        New_Code1_Column,
        New_Code2_Column,
        Verdict_Found_Column,
        Verdict_Left_Column,
        Column_Count
    };
    static constexpr int page_size = 200;

    THistoryListModel(THistoryClient *client, QObject *parent);

    // Starts the list again with another filter (or the same, to reload).
    void Set_Filter(const History_Filter &filter);
    History_Filter Filter() const;
    const History_Row &Row(int row) const;
    // Why the history cannot be listed, or nothing.
    QString Failure() const;
    // A page is being fetched.
    bool Loading() const;
    // Every row is in (no page is being fetched and none is left).
    bool Complete() const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;

signals:
    // A page came in, or the list could not be had: the window says so.
    void State_Changed();

private:
    void Take_Page(quint64 request, const History_Page &page);

    THistoryClient *d_client;
    History_Filter d_filter;
    QList<History_Row> d_rows;
    quint64 d_pending = 0;
    bool d_more = true;
    QString d_failure;
};

#endif
