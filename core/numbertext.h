#ifndef ZENTROVA_NUMBERTEXT_H
#define ZENTROVA_NUMBERTEXT_H

#include <QString>

// Numbers as the table shows and reads them: fixed-point with a set number
// of decimals, read back in the C locale with a point as decimal separator.

// Reads a field's text; false for a text that is not a finite number (a
// comma, letters, "nan", "inf", or one too large for a double). value may
// be null; it is left alone when the text does not read.
bool Read_Number_Text(const QString &text, double *value);

// Exactly `precision` decimals.
QString Number_Text(double value, int precision);

// At least `precision` decimals, and as many more as the value needs to be
// read back unchanged: a value typed or stored with more digits than the
// column shows keeps them (15.0012 at three decimals stays 15.0012).
QString Value_Text(double value, int precision);

#endif
