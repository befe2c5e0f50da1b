#ifndef ZENTROVA_RESULTSTABLEMODEL_H
#define ZENTROVA_RESULTSTABLEMODEL_H

#include <QAbstractTableModel>
#include <QList>
#include <QStringList>

// Rows of finished texts under a header, read-only: the as-found and the
// predicted results as the record evaluates them.
class TResultsTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    TResultsTableModel(const QStringList &header, QObject *parent);

    // Replaces the rows; cells that did not change are not reported.
    void Set_Rows(const QList<QStringList> &rows);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    QStringList d_header;
    QList<QStringList> d_rows;
};

#endif
