#ifndef ZENTROVA_SAMPLE_H
#define ZENTROVA_SAMPLE_H

#include <QString>
#include <QVector>

// One row of the sample table as the table hands it out, in degrees Celsius.
// Each value is what the row's field shows, read as a number (0 when it
// does not read as one).
struct Sample
{
    double nominal;
    double actual;
    double reading;
    double correction; // reading minus actual, as the row shows it
};

using Sample_List = QVector<Sample>;

// The unit after every row and in the data range. Its first character is
// U+02DA RING ABOVE, not the degree sign; spelled as an escape so that no
// source encoding can change it.
inline QString Temperature_Unit()
{
    return QStringLiteral("\u02DAC");
}

// The record window and the certificate write the unit with the degree
// sign itself, U+00B0.
inline QString Degrees_Celsius()
{
    return QStringLiteral("\u00B0C");
}

#endif
