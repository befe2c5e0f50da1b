#include "calibrationrecord.h"

#include "calibration.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace
{
// The record's cells, row by row; an empty row separates the parts.
QList<QStringList> Record_Rows(const Calibration_Record &record)
{
    QDateTime when = record.when;
    // ISO 8601 with the offset from UTC written out.
    when.setOffsetFromUtc(when.offsetFromUtc());
    QList<QStringList> rows{{QStringLiteral("Calibration record"), QString()},
                            {QStringLiteral("Date"), when.toString(Qt::ISODate)},
                            {QStringLiteral("Program"), record.program},
                            {QStringLiteral("Existing Code 1"), record.existing_code1},
                            {QStringLiteral("Existing Code 2"), record.existing_code2},
                            {},
                            {QStringLiteral("Nominal"), QStringLiteral("Actual"),
                             QStringLiteral("Reading"), QStringLiteral("Correction")}};
    rows << record.samples;
    rows << QStringList() << QStringList{QStringLiteral("New Code 1"), record.new_code1}
         << QStringList{QStringLiteral("New Code 2"), record.new_code2}
         << QStringList{QStringLiteral("Data Range"), record.data_range};
    return rows;
}

// A typed cell may hold a tab, which would split it in two.
QString Plain_Cell(QString cell)
{
    return cell.replace(QLatin1Char('\t'), QLatin1Char(' '));
}
} // namespace

QString Record_Text(const Calibration_Record &record)
{
    QStringList lines;
    for (const QStringList &row : Record_Rows(record))
    {
        QStringList cells;
        for (const QString &cell : row)
            cells << Plain_Cell(cell);
        lines << cells.join(QLatin1Char('\t'));
    }
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

QString Record_Html(const Calibration_Record &record)
{
    QString html = QStringLiteral("<table>\n");
    for (const QStringList &row : Record_Rows(record))
    {
        html += QStringLiteral("<tr>");
        for (const QString &cell : row)
            html += QStringLiteral("<td>") + cell.toHtmlEscaped() + QStringLiteral("</td>");
        html += QStringLiteral("</tr>\n");
    }
    return html + QStringLiteral("</table>\n");
}

double Code_Change(quint16 new_code, quint16 existing_code, double scale)
{
    const auto signed_code = [](quint16 code)
    { return static_cast<double>(static_cast<qint16>(code)); };
    return (signed_code(new_code) - signed_code(existing_code)) / scale;
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
    spread.s = std::sqrt(sum / (count - 2));
    spread.valid = std::isfinite(spread.s);
    return spread;
}

double Expanded_Uncertainty(double reference_uncertainty_k2, double s, double resolution)
{
    const double reference = reference_uncertainty_k2 / 2.0;
    const double rounding = resolution / (2.0 * std::sqrt(3.0));
    return 2.0 * std::sqrt(reference * reference + s * s + rounding * rounding);
}

Verdict Judge(double error, bool has_tolerance, double tolerance, double uncertainty)
{
    if (!has_tolerance || !std::isfinite(error))
        return Verdict::None;
    if (std::fabs(error) > tolerance)
        return Verdict::Fail;
    if (std::fabs(error) + uncertainty > tolerance)
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
    case Verdict::Fail:
        return QStringLiteral("Fail");
    case Verdict::None:
        break;
    }
    return QString();
}

Verdict Overall_Verdict(const QList<Verdict> &verdicts)
{
    Verdict overall = Verdict::None;
    for (Verdict verdict : verdicts)
        if (static_cast<int>(verdict) > static_cast<int>(overall))
            overall = verdict;
    return overall;
}

QString Certificate_Number(const QString &serial, const QDate &date, int count)
{
    return QStringLiteral("%1-%2-%3")
        .arg(serial, date.toString(QStringLiteral("yyyyMMdd")))
        .arg(count);
}
