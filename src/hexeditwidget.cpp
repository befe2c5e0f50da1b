#include "hexeditwidget.h"

#include "calibration.h"

THexEditWidget::THexEditWidget(QWidget *parent) : QLineEdit(parent)
{
    setInputMask(QStringLiteral("HHHH"));
    connect(this, &QLineEdit::textEdited, this, &THexEditWidget::Changed);
}

double THexEditWidget::Get_Value(const double &scale) const
{
    // text() leaves out the mask's blanks: the digits present, as they stand;
    // the empty field reads as the code 0.
    return Code_Value(static_cast<quint16>(text().toUInt(nullptr, 16)), scale);
}

void THexEditWidget::Set_Value(const double &value, const double &scale)
{
    setText(Format_Code(Code_From_Value(value, scale)));
}

bool THexEditWidget::Is_Complete() const
{
    // The mask takes only hexadecimal digits, so four characters are four digits.
    return text().size() == 4;
}
