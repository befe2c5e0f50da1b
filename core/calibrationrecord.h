#ifndef ZENTROVA_CALIBRATIONRECORD_H
#define ZENTROVA_CALIBRATIONRECORD_H

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

// What a technician keeps of one calibration: when, with which program, the
// codes as found, the samples, and the codes as left, each text exactly as
// the window shows it.
struct Calibration_Record
{
    QDateTime when;
    QString program;
    QString existing_code1;
    QString existing_code2;
    QList<QStringList> samples; // Nominal, Actual, Reading, Correction
    QString new_code1;
    QString new_code2;
    QString data_range;
};

// Lines of tab-separated cells, as a spreadsheet takes them.
QString Record_Text(const Calibration_Record &record);
// The same cells as an HTML table, as a document takes them.
QString Record_Html(const Calibration_Record &record);

// ---- Finishing the calibration: the as-left prediction, the uncertainty
// and the verdicts. Plain values in degrees Celsius; no widget.

// A code's change from the existing to the new one, as the instrument
// applies it: signed 16-bit counts over the code's scale.
double Code_Change(quint16 new_code, quint16 existing_code, double scale);

// The instrument corrects a reading r by slope x r + offset, so new codes
// that change the slope by slope_change and the offset by offset_change
// turn a reading r into r + slope_change x r + offset_change.
double Predicted_Reading(double reading, double slope_change, double offset_change);

// s = sqrt(sum of squared residuals of the least-squares line of error
// against reading / (n - 2)); valid for three points or more.
struct Residual_Spread
{
    bool valid = false;
    double s = 0.0;
};
Residual_Spread Fit_Residual_Spread(const QList<double> &actuals, const QList<double> &readings);

// U = 2 sqrt((U_ref / 2)^2 + s^2 + (resolution / (2 sqrt 3))^2), k = 2.
double Expanded_Uncertainty(double reference_uncertainty_k2, double s, double resolution);

// Simple acceptance: |error| <= tolerance passes. A pass whose |error| + U
// exceeds the tolerance says so. Without a tolerance there is no verdict.
enum class Verdict
{
    None,
    Pass,
    Pass_Within_Uncertainty,
    Fail
};
Verdict Judge(double error, bool has_tolerance, double tolerance, double uncertainty);
QString Verdict_Text(Verdict verdict);
// The worst of a list: any Fail, else any pass near the limit, else Pass.
Verdict Overall_Verdict(const QList<Verdict> &verdicts);

// <serial>-<yyyyMMdd>-<n>
QString Certificate_Number(const QString &serial, const QDate &date, int count);

#endif
