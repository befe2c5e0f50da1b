#include "issuing.h"

#include "numbertext.h"

#include <cmath>
#include <limits>

namespace
{
constexpr double not_a_number = std::numeric_limits<double>::quiet_NaN();

void Add_Points(History_Record *record, const QString &kind, const QList<Judged_Row> &rows)
{
    for (const Judged_Row &row : rows)
        record->points << History_Point{kind,        row.nominal, row.actual,
                                        row.reading, row.error,   Verdict_Text(row.verdict)};
}
} // namespace

History_Record History_Of(const Record_Evaluation &e, const Record_State &state,
                          const QDate &issue_date, const QByteArray &content)
{
    History_Record record;
    const auto field = [&](Record_Field which) { return e.effective.value(which); };
    record.calibration_id = state.calibration_id;
    record.replaces = state.replaces;
    record.serial = field(Record_Field::Serial);
    record.model = field(Record_Field::Model);
    record.owner = field(Record_Field::Owner);
    record.calibration_date = field(Record_Field::Calibration_Date);
    record.issue_date = issue_date.toString(Qt::ISODate);
    record.technician = field(Record_Field::Technician);
    record.reference = field(Record_Field::Reference);
    record.approver = field(Record_Field::Approver);
    record.approver_function = field(Record_Field::Approver_Function);
    record.reference_uncertainty = e.has_limits ? e.reference_uncertainty : not_a_number;
    record.resolution = e.has_limits ? e.resolution : not_a_number;
    record.tolerance = e.limits.has_tolerance ? e.limits.tolerance : not_a_number;
    record.uncertainty = e.uncertainty.valid ? e.uncertainty.value : not_a_number;
    const Code_Pair left = state.adjusted ? state.codes_left : e.found.codes;
    record.existing_code1 = Format_Code(e.found.codes.code1);
    record.existing_code2 = Format_Code(e.found.codes.code2);
    record.new_code1 = Format_Code(left.code1);
    record.new_code2 = Format_Code(left.code2);
    record.verdict_as_found = Verdict_Text(e.found_verdict);
    record.verdict_as_left = Verdict_Text(e.left_verdict);
    // Without an adjustment the as-found points were measured as left too.
    record.as_left_measured = e.left_measured || !state.adjusted;
    Add_Points(&record, QStringLiteral("found"), e.found_rows);
    if (state.adjusted)
        Add_Points(&record, QStringLiteral("predicted"), e.predicted_rows);
    if (e.left_measured)
    {
        // A measured point belongs to the nominal temperature of the sample
        // whose actual temperature is nearest, within a degree.
        QList<Judged_Row> left = e.left_rows;
        for (Judged_Row &row : left)
        {
            double nearest = 1.0;
            for (const Judged_Row &found : e.found_rows)
                if (found.readable && std::fabs(found.actual - row.actual) <= nearest)
                {
                    nearest = std::fabs(found.actual - row.actual);
                    row.nominal = found.nominal;
                }
        }
        Add_Points(&record, QStringLiteral("left"), left);
    }
    else if (!state.adjusted)
        // No adjustment: what was found is what was left.
        Add_Points(&record, QStringLiteral("left"), e.found_rows);
    record.content = content;
    return record;
}
