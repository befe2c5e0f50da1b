#ifndef ZENTROVA_JUDGING_H
#define ZENTROVA_JUDGING_H

#include <QList>
#include <QPair>
#include <QString>
#include <QtGlobal>

// Finishing a calibration: the as-left prediction, the uncertainty, its
// rounding and the verdicts. Plain values in degrees Celsius; no widget.

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
    int degrees_of_freedom = 0; // n - 2
};
Residual_Spread Fit_Residual_Spread(const QList<double> &actuals, const QList<double> &readings);

// The standard uncertainties that make up U, each as it enters the sum.
struct Uncertainty_Budget
{
    double reference = 0.0;     // U_ref / 2 (its certificate's k = 2)
    double repeatability = 0.0; // s of the fit, 0 below three samples
    double resolution = 0.0;    // resolution / (2 sqrt 3), rectangular
    double combined = 0.0;      // root sum of squares
    double expanded = 0.0;      // k = 2
};
Uncertainty_Budget Budget(double reference_uncertainty_k2, double s, double resolution);
// U = 2 sqrt((U_ref / 2)^2 + s^2 + (resolution / (2 sqrt 3))^2), k = 2.
double Expanded_Uncertainty(double reference_uncertainty_k2, double s, double resolution);

// U as a certificate states it: two significant digits, rounded up, so that
// the uncertainty stated is never smaller than the one worked out (0.0869
// gives 0.087, 0.2118 gives 0.22, 1.05 gives 1.1).
struct Stated_Uncertainty
{
    bool valid = false;
    double value = 0.0;
    int decimals = 0;
    QString text;
};
Stated_Uncertainty Round_Uncertainty(double uncertainty);

// A value as the page states it: rounded to the decimals shown, so that a
// verdict is judged on what can be read (20.1 - 20.0 is 0.10000000000000142).
double Stated_Value(double value, int decimals);

enum class Decision_Rule
{
    Simple_Acceptance, // |error| <= tolerance passes
    Guard_Band // pass only when |error| + U <= tolerance, fail only when |error| - U > tolerance
};

enum class Verdict
{
    None,
    Pass,
    Pass_Within_Uncertainty, // simple acceptance: a pass within U of the limit
    Conditional,             // guard band: within U of the limit on either side
    Fail
};

struct Judging_Limits
{
    bool has_tolerance = false;
    double tolerance = 0.0;
    double uncertainty = 0.0; // as stated
    Decision_Rule rule = Decision_Rule::Simple_Acceptance;
};
// The error as stated. No verdict without a tolerance or for an error that
// is not a number.
Verdict Judge(double stated_error, const Judging_Limits &limits);
QString Verdict_Text(Verdict verdict);
// The worst of a list: any Fail, else any Conditional, else any pass near
// the limit, else Pass; none when the list is empty or a point has none.
Verdict Overall_Verdict(const QList<Verdict> &verdicts);

// One point of a calibration at its nominal temperature, for the drift.
struct Nominal_Error
{
    double nominal; // NaN where the point has none
    double error;
};
// Drift since the last calibration: at each nominal temperature measured
// both times, this as-found error minus the last as-left error.
struct Drift
{
    QList<QPair<double, double>> points; // nominal, drift
    double largest = 0.0;                // the largest in magnitude, with its sign
};
Drift Compute_Drift(const QList<Nominal_Error> &found_now, const QList<Nominal_Error> &left_last);

#endif
