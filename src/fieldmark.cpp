#include "fieldmark.h"

#include <QColor>
#include <QLineEdit>
#include <QPalette>
#include <QVariant>

namespace
{
const char marked_property[] = "unreadable";
}

void Show_Field_Mark(QLineEdit *field, const QString &reason)
{
    const bool marked = !reason.isEmpty();
    if (Is_Field_Marked(field) == marked && field->toolTip() == reason)
        return;
    field->setProperty(marked_property, marked);
    field->setToolTip(reason);
    field->setAccessibleDescription(reason);
    if (!marked)
    {
        field->setPalette(QPalette());
        return;
    }
    QPalette palette = field->palette();
    palette.setColor(QPalette::Base, QColor(255, 200, 200));
    palette.setColor(QPalette::Text, Qt::black);
    field->setPalette(palette);
}

bool Is_Field_Marked(const QLineEdit *field)
{
    return field->property(marked_property).toBool();
}
