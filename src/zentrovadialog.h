#ifndef ZENTROVA_ZENTROVADIALOG_H
#define ZENTROVA_ZENTROVADIALOG_H

#include "sample.h"
#include "vector2.h"

#include <QString>
#include <QtGlobal>

#include <vector>

struct Calibration_Result
{
    bool valid = false; // when false the other fields mean nothing
    quint16 new_code1 = 0;
    quint16 new_code2 = 0;
    double data_range = 0.0; // degrees Celsius
};

class TZentrovaDialog
{
public:
    // Ordinary least squares y = slope * x + offset. Returns false, leaving
    // the outputs untouched, for fewer than two points. offset may be null.
    static bool Fit_Line(const std::vector<Vector2> &points, double *slope, double *offset);

    // e1 and e2 are the existing codes as the code fields read them (with
    // their half-count bias), scaled by 10000 and 1000.
    static Calibration_Result Compute_Calibration(const Sample_List &samples, double e1, double e2);

    static QString Format_Code(quint16 code);
    static QString Format_Data_Range(double data_range);
};

#endif
