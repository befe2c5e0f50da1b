#ifndef ZENTROVA_MARKDELEGATE_H
#define ZENTROVA_MARKDELEGATE_H

#include <QStyledItemDelegate>

// Draws the as-left table's marks: a row set aside grey, a cell that does
// not read on the same tinted ground as a marked field.
class TMarkDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    explicit TMarkDelegate(QObject *parent);

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;
};

#endif
