#include "numbertext.h"

#include <QLocale>

#include <cmath>

bool Read_Number_Text(const QString &text, double *value)
{
    bool converted = false;
    const double number = text.toDouble(&converted);
    if (!converted || !std::isfinite(number))
        return false;
    if (value)
        *value = number;
    return true;
}

QString Number_Text(double value, int precision)
{
    return QStringLiteral("%1").arg(value, 0, 'f', precision);
}

QString Value_Text(double value, int precision)
{
    const QString rounded = Number_Text(value, precision);
    double read_back = 0.0;
    if (!std::isfinite(value) || (Read_Number_Text(rounded, &read_back) && read_back == value))
        return rounded;
    return QString::number(value, 'f', QLocale::FloatingPointShortest);
}
