#include "calibration.h"

#include "check.h"
#include "codetruncation.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>

bool Fit_Line(const std::vector<Vector2> &points, double *slope, double *offset)
{
    const std::size_t count = points.size();
    if (count < 2)
        return false;
    ZENTROVA_CHECK(slope);

    double sum_x = 0.0;
    double sum_y = 0.0;
    double sum_xy = 0.0;
    double sum_xx = 0.0;
    for (const Vector2 &point : points)
    {
        sum_x += point.x;
        sum_y += point.y;
        sum_xy += point.x * point.y;
        sum_xx += point.x * point.x;
    }

    const double n = static_cast<double>(count);
    *slope = (n * sum_xy - sum_x * sum_y) / (n * sum_xx - sum_x * sum_x);
    if (offset)
        *offset = (sum_y - *slope * sum_x) / n;
    return true;
}

Calibration_Result Compute_Calibration(const Sample_List &samples, double e1, double e2)
{
    Calibration_Result result;

    std::vector<Vector2> points;
    points.reserve(static_cast<std::size_t>(samples.size()));
    double max_actual = 0.0;
    double min_actual = 0.0;
    double max_reading = 0.0;
    double min_reading = 0.0;
    for (const Sample &sample : samples)
    {
        // A code computed from infinity or NaN would be nonsense keyed into an
        // instrument; such a table has no result.
        if (!std::isfinite(sample.actual) || !std::isfinite(sample.reading))
            return result;
        Vector2 point;
        point.x = sample.reading;
        point.y = sample.actual - sample.reading;
        if (points.empty())
        {
            max_actual = min_actual = sample.actual;
            max_reading = min_reading = sample.reading;
        }
        else
        {
            max_actual = std::max(max_actual, sample.actual);
            min_actual = std::min(min_actual, sample.actual);
            max_reading = std::max(max_reading, sample.reading);
            min_reading = std::min(min_reading, sample.reading);
        }
        points.push_back(point);
    }

    double slope = 0.0;
    double offset = 0.0;
    double data_range = 0.0;
    const bool single = points.size() == 1;
    if (single)
    {
        offset = points.front().y;
    }
    else
    {
        constexpr double minimum_spread = 1e-6;
        if (!(max_actual - min_actual > minimum_spread &&
              max_reading - min_reading > minimum_spread))
            return result;
        if (!Fit_Line(points, &slope, &offset))
            return result;
    }

    const double code1_value = (e1 - 1.0) + slope;
    const double code2_value = e2 + offset;

    if (!single)
    {
        double max_d = points.front().y - code2_value;
        double min_d = max_d;
        for (const Vector2 &point : points)
        {
            const double d = point.y - code2_value;
            max_d = std::max(max_d, d);
            min_d = std::min(min_d, d);
        }
        data_range = max_d - min_d;
    }

    // Sums that overflow give an infinite or NaN fit; no code comes from it.
    if (!std::isfinite(slope) || !std::isfinite(offset) || !std::isfinite(data_range))
        return result;

    result.new_code1 = Truncate_To_Code((1.0 + code1_value) * Code1_Scale);
    result.new_code2 = Truncate_To_Code(code2_value * Code2_Scale);
    result.data_range = data_range;
    result.valid = true;
    return result;
}

QString Format_Code(quint16 code)
{
    // At most FFFF, so always exactly four digits, leading zeros kept.
    return QStringLiteral("%1").arg(code, 4, 16, QLatin1Char('0')).toUpper();
}

QString Format_Codes(const Code_Pair &codes)
{
    return Format_Code(codes.code1) + QStringLiteral(" / ") + Format_Code(codes.code2);
}

QString Format_Data_Range(double data_range)
{
    return QStringLiteral("%1 ").arg(data_range, 0, 'f', 3) + Temperature_Unit();
}

int Signed_Code(quint16 code)
{
    return (code & 0x8000u) ? static_cast<int>(code) - 65536 : static_cast<int>(code);
}

double Code_Value(quint16 code, double scale)
{
    double value = static_cast<double>(Signed_Code(code)) / scale;
    if (std::fabs(scale) > 1e-6)
        value += value > 0.0 ? 0.5 / scale : -0.5 / scale;
    return value;
}

quint16 Code_From_Value(double value, double scale)
{
    return Truncate_To_Code(value * scale);
}

bool Parse_Code(const QString &text, quint16 *code)
{
    static const QRegularExpression four_digits(QStringLiteral("^[0-9A-Fa-f]{4}$"));
    if (!four_digits.match(text).hasMatch())
        return false;
    if (code)
        *code = static_cast<quint16>(text.toUInt(nullptr, 16));
    return true;
}

bool Parse_Codes(const QString &text, Code_Pair *codes)
{
    const QStringList parts = text.split(QLatin1Char('/'));
    Code_Pair parsed;
    if (parts.size() != 2 || !Parse_Code(parts.at(0).trimmed(), &parsed.code1) ||
        !Parse_Code(parts.at(1).trimmed(), &parsed.code2))
        return false;
    if (codes)
        *codes = parsed;
    return true;
}
