#ifndef ZENTROVA_CALIBRATION_H
#define ZENTROVA_CALIBRATION_H

#include "sample.h"
#include "vector2.h"

#include <QString>
#include <QtGlobal>

#include <vector>

// The computation that turns samples and the two codes stored in the
// instrument into the two new codes. Plain values; no widget.

// Code 1 counts 10000 per unit of slope, Code 2 1000 per degree.
constexpr double Code1_Scale = 10000.0;
constexpr double Code2_Scale = 1000.0;

struct Calibration_Result
{
    bool valid = false; // when false the other fields mean nothing
    quint16 new_code1 = 0;
    quint16 new_code2 = 0;
    double data_range = 0.0; // degrees Celsius
};

// The two codes of an instrument, as four hexadecimal digits each hold them.
struct Code_Pair
{
    quint16 code1 = 0x2710;
    quint16 code2 = 0x0000;
    bool operator==(const Code_Pair &other) const
    {
        return code1 == other.code1 && code2 == other.code2;
    }
    bool operator!=(const Code_Pair &other) const { return !(*this == other); }
};

// Ordinary least squares y = slope * x + offset. Returns false, leaving the
// outputs untouched, for fewer than two points. offset may be null.
bool Fit_Line(const std::vector<Vector2> &points, double *slope, double *offset);

// e1 and e2 are the existing codes as Code_Value reads them (with their
// half-count bias), scaled by 10000 and 1000.
Calibration_Result Compute_Calibration(const Sample_List &samples, double e1, double e2);

// Exactly four upper-case hexadecimal digits, leading zeros kept.
QString Format_Code(quint16 code);
// "27A8 / FE59"
QString Format_Codes(const Code_Pair &codes);
QString Format_Data_Range(double data_range);

// The code as the signed 16-bit number it is (bit 15 is the sign).
int Signed_Code(quint16 code);
// The code over the scale, moved half a count away from zero (zero counting
// as negative), so that Code_From_Value gives the same code back.
double Code_Value(quint16 code, double scale);
// The low 16 bits of trunc(value * scale).
quint16 Code_From_Value(double value, double scale);
// Exactly four hexadecimal digits, either case; false for anything else.
bool Parse_Code(const QString &text, quint16 *code);
// "27A8 / FE59" back into its two codes; false for anything else.
bool Parse_Codes(const QString &text, Code_Pair *codes);

#endif
