#include "judging.h"

#include "calibration.h"
#include "numbertext.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace
{
// The values on a page are decimals; compared as doubles, 0.013 + 0.087
// need not equal 0.1. Compared in whole billionths, they do: a double holds
// whole numbers exactly up to 2^53, beyond any temperature, and a value
// beyond that (1e20 typed) is compared as near as a double can, with no
// conversion to an integer that could overflow.
double Billionths(double value)
{
    return std::round(value * 1e9);
}
} // namespace

double Code_Change(quint16 new_code, quint16 existing_code, double scale)
{
    return static_cast<double>(Signed_Code(new_code) - Signed_Code(existing_code)) / scale;
}

double Predicted_Reading(double reading, double slope_change, double offset_change)
{
    return reading + slope_change * reading + offset_change;
}

Residual_Spread Fit_Residual_Spread(const QList<double> &actuals, const QList<double> &readings)
{
    Residual_Spread spread;
    const int count = std::min(actuals.size(), readings.size());
    if (count < 3)
        return spread;
    std::vector<Vector2> points;
    for (int index = 0; index < count; ++index)
        points.push_back(Vector2{readings.at(index), actuals.at(index) - readings.at(index)});
    double slope = 0.0;
    double offset = 0.0;
    if (!Fit_Line(points, &slope, &offset) || !std::isfinite(slope) || !std::isfinite(offset))
        return spread;
    double sum = 0.0;
    for (const Vector2 &point : points)
    {
        const double residual = point.y - (slope * point.x + offset);
        sum += residual * residual;
    }
    spread.degrees_of_freedom = count - 2;
    spread.s = std::sqrt(sum / spread.degrees_of_freedom);
    spread.valid = std::isfinite(spread.s);
    return spread;
}

Uncertainty_Budget Budget(double reference_uncertainty_k2, double s, double resolution)
{
    Uncertainty_Budget budget;
    budget.reference = reference_uncertainty_k2 / 2.0;
    budget.repeatability = s;
    budget.resolution = resolution / (2.0 * std::sqrt(3.0));
    budget.combined = std::sqrt(budget.reference * budget.reference + s * s +
                                budget.resolution * budget.resolution);
    budget.expanded = 2.0 * budget.combined;
    return budget;
}

double Expanded_Uncertainty(double reference_uncertainty_k2, double s, double resolution)
{
    return Budget(reference_uncertainty_k2, s, resolution).expanded;
}

Stated_Uncertainty Round_Uncertainty(double uncertainty)
{
    Stated_Uncertainty stated;
    if (!std::isfinite(uncertainty) || uncertainty <= 0.0)
        return stated;
    // The second significant digit's place, then up to it; a quotient a
    // hair above a whole number (0.087 / 0.001) is that whole number.
    int place = static_cast<int>(std::floor(std::log10(uncertainty))) - 1;
    double counts = std::ceil(uncertainty / std::pow(10.0, place) - 1e-9);
    if (counts >= 100.0) // 0.0995 rounds up to 0.100: two digits are 0.10
    {
        counts /= 10.0;
        ++place;
    }
    stated.decimals = std::max(0, -place);
    stated.value = Stated_Value(counts * std::pow(10.0, place), stated.decimals);
    stated.text = Number_Text(stated.value, stated.decimals);
    stated.valid = true;
    return stated;
}

double Stated_Value(double value, int decimals)
{
    double stated = value;
    if (!std::isfinite(value) || !Read_Number_Text(Number_Text(value, decimals), &stated))
        return value;
    // "-0.000" is zero.
    return stated == 0.0 ? 0.0 : stated;
}

Verdict Judge(double stated_error, const Judging_Limits &limits)
{
    if (!limits.has_tolerance || !std::isfinite(stated_error))
        return Verdict::None;
    const double error = std::fabs(Billionths(stated_error));
    const double tolerance = Billionths(limits.tolerance);
    const double uncertainty = Billionths(limits.uncertainty);
    if (limits.rule == Decision_Rule::Guard_Band)
    {
        if (error + uncertainty <= tolerance)
            return Verdict::Pass;
        if (error - uncertainty > tolerance)
            return Verdict::Fail;
        return Verdict::Conditional;
    }
    if (error > tolerance)
        return Verdict::Fail;
    if (error + uncertainty > tolerance)
        return Verdict::Pass_Within_Uncertainty;
    return Verdict::Pass;
}

QString Verdict_Text(Verdict verdict)
{
    switch (verdict)
    {
    case Verdict::Pass:
        return QStringLiteral("Pass");
    case Verdict::Pass_Within_Uncertainty:
        return QStringLiteral("Pass, within the uncertainty of the limit");
    case Verdict::Conditional:
        return QStringLiteral("Conditional, within the uncertainty of the limit");
    case Verdict::Fail:
        return QStringLiteral("Fail");
    case Verdict::None:
        break;
    }
    return QString();
}

Verdict Overall_Verdict(const QList<Verdict> &verdicts)
{
    if (verdicts.isEmpty())
        return Verdict::None;
    Verdict overall = Verdict::Pass;
    for (Verdict verdict : verdicts)
    {
        if (verdict == Verdict::None)
            return Verdict::None;
        overall = std::max(overall, verdict);
    }
    return overall;
}

Drift Compute_Drift(const QList<Nominal_Error> &found_now, const QList<Nominal_Error> &left_last)
{
    // Asked at every change of the record, with up to a thousand rows on
    // either side: the last errors are looked up by nominal, not scanned.
    constexpr double same_nominal = 1e-9;
    std::vector<std::pair<double, int>> by_nominal; // nominal, place in left_last
    for (int index = 0; index < left_last.size(); ++index)
        if (std::isfinite(left_last.at(index).nominal) && std::isfinite(left_last.at(index).error))
            by_nominal.emplace_back(left_last.at(index).nominal, index);
    std::sort(by_nominal.begin(), by_nominal.end());
    Drift drift;
    for (const Nominal_Error &found : found_now)
    {
        if (!std::isfinite(found.nominal) || !std::isfinite(found.error))
            continue;
        // The first of the last rows at this nominal, as they were listed.
        int first = -1;
        for (auto left = std::lower_bound(by_nominal.begin(), by_nominal.end(),
                                          std::make_pair(found.nominal - same_nominal, -1));
             left != by_nominal.end() && left->first - found.nominal < same_nominal; ++left)
            if (std::fabs(left->first - found.nominal) < same_nominal &&
                (first < 0 || left->second < first))
                first = left->second;
        if (first < 0)
            continue;
        const double change = found.error - left_last.at(first).error;
        drift.points << qMakePair(found.nominal, change);
        if (std::fabs(change) > std::fabs(drift.largest))
            drift.largest = change;
    }
    return drift;
}
