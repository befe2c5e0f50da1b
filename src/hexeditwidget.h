#ifndef ZENTROVA_HEXEDITWIDGET_H
#define ZENTROVA_HEXEDITWIDGET_H

#include <QLineEdit>

// A calibration code exactly as the thermometer shows it: four hexadecimal
// digits, a signed 16-bit number whose real value is the code over a scale.
class THexEditWidget : public QLineEdit
{
    Q_OBJECT

public:
    explicit THexEditWidget(QWidget *parent = nullptr);

    // The code over the scale, moved half a count away from zero (zero
    // counting as negative) so that Set_Value of the result gives the same
    // digits back. The settings file stores these biased values.
    double Get_Value(const double &scale) const;

    // Shows the low 16 bits of trunc(value * scale); emits nothing.
    void Set_Value(const double &value, const double &scale);

    // All four digits are there: a shorter code reads as another code.
    bool Is_Complete() const;

signals:
    // Every change the user makes to the text; never a change by the program.
    void Changed();
};

#endif
