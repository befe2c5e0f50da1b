#include "issuing.h"

#include "certificatebuilder.h"
#include "historyclient.h"
#include "settingsstore.h"

#include <QCoreApplication>
#include <QDir>
#include <QSettings>

#include <cmath>
#include <limits>

namespace
{
constexpr double not_a_number = std::numeric_limits<double>::quiet_NaN();
// How long issuing waits for the history (a busy file, a server away).
constexpr int issue_wait_ms = 8000;

QString Tr(const char *text)
{
    return QCoreApplication::translate("TCertificateIssuer", text);
}

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

TCertificateIssuer::TCertificateIssuer(TRecordModel *record, TSettingsStore *store,
                                       THistoryClient *history)
    : d_record(record), d_store(store), d_history(history)
{
}

QString TCertificateIssuer::Keep_State()
{
    return d_store->Write([this](QSettings &settings)
                          { Save_Record_State(settings, d_record->State()); });
}

QString TCertificateIssuer::Issue(Certificate_Content *content)
{
    const Record_State &state = d_record->State();
    if (state.phase == Record_Phase::Issued)
        return Certificate_From_Json(state.issued_content, content)
                   ? QString()
                   : Tr("The certificate %1 issued could not be read back.").arg(state.number);
    const Record_Evaluation &e = d_record->Evaluation();
    if (!e.reasons.isEmpty())
        return e.reasons.join(QLatin1Char('\n'));
    const QDate today = d_record->Today();
    *content = Build_Certificate(e, state, d_record->Get_Laboratory(), today, false);
    Issue_Result result =
        d_history->Issue(History_Of(e, state, today, Certificate_Json(*content)), issue_wait_ms);
    if (result.failure.isEmpty() && result.issued_before)
    {
        // Issued before (the program ended before it knew): the certificate
        // is the one the history holds.
        const Stored_Certificate stored = d_history->Certificate(result.number, issue_wait_ms);
        if (!stored.found || !Certificate_From_Json(stored.content, content))
            result.failure =
                Tr("certificate %1 was issued before but cannot be read back").arg(result.number);
    }
    if (!result.failure.isEmpty())
        return Tr("No certificate was issued: the history %1 cannot keep it now (%2). The "
                  "calibration stays as it is; Save Draft writes the document for review.")
            .arg(QDir::toNativeSeparators(d_history->Location()), result.failure);
    content->number = result.number;
    d_record->Mark_Issued(result.number, today, Certificate_Json(*content));
    const QString not_kept = Keep_State();
    if (!not_kept.isEmpty())
        qWarning("Zentrova Calibrator: the issued calibration could not be kept in %s: %s",
                 qUtf8Printable(d_store->File_Name()), qUtf8Printable(not_kept));
    return QString();
}
