#ifndef ZENTROVA_ASLEFTMODEL_H
#define ZENTROVA_ASLEFTMODEL_H

#include <QAbstractTableModel>

class TRecordModel;

// The rows measured as left, as an editable table over the record: first
// the rows of the codes left (Actual and Reading take typed text as it
// stands), then the rows set aside, measured with other codes, shown grey
// and read-only. Error, verdict and codes are the record's evaluation.
class TAsLeftModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column
    {
        Actual_Column,
        Reading_Column,
        Error_Column,
        Verdict_Column,
        Codes_Column,
        Column_Count
    };

    // What the view shows apart: a row set aside, a cell that does not read.
    enum Role
    {
        Set_Aside_Role = Qt::UserRole + 1,
        Unreadable_Role
    };

    explicit TAsLeftModel(TRecordModel *record, QObject *parent = nullptr);

    // Whether a row of the table is one of the codes left's rows.
    bool Is_Set_Aside(int row) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    void Record_Changed();

    TRecordModel *d_record;
    int d_rows = 0;
};

#endif
