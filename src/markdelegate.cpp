#include "markdelegate.h"

#include "asleftmodel.h"

TMarkDelegate::TMarkDelegate(QObject *parent) : QStyledItemDelegate(parent) {}

void TMarkDelegate::initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    if (index.data(TAsLeftModel::Set_Aside_Role).toBool())
        option->palette.setColor(QPalette::Text, Qt::gray);
    if (index.data(TAsLeftModel::Unreadable_Role).toBool())
    {
        option->backgroundBrush = QBrush(QColor(255, 200, 200));
        option->palette.setColor(QPalette::Text, Qt::black);
    }
}
