#include "hexeditwidget.h"

#include "codetruncation.h"
#include "zentrovadialog.h"

#include <cmath>

THexEditWidget::THexEditWidget(QWidget *parent) : QLineEdit(parent)
{
    setInputMask(QStringLiteral("HHHH"));
    connect(this, &QLineEdit::textEdited, this, &THexEditWidget::Changed);
}

double THexEditWidget::Get_Value(const double &scale) const
{
    // text() leaves out the mask's blanks: the digits present, as they stand.
    bool ok = false;
    const uint code = text().toUInt(&ok, 16);
    double value = 0.0;
    if (ok)
    {
        if (code & 0x8000u)
            value = -static_cast<double>(65536u - code) / scale;
        else
            value = static_cast<double>(code) / scale;
    }
    if (std::fabs(scale) > 1e-6)
    {
        if (value > 0.0)
            value += 0.5 / scale;
        else
            value -= 0.5 / scale;
    }
    return value;
}

void THexEditWidget::Set_Value(const double &value, const double &scale)
{
    setText(TZentrovaDialog::Format_Code(Truncate_To_Code(value * scale)));
}

bool THexEditWidget::Is_Complete() const
{
    // The mask takes only hexadecimal digits, so four characters are four digits.
    return text().size() == 4;
}
