#include "recordmodel.h"

#include "blockreader.h"
#include "numbertext.h"
#include "safetext.h"

#include <QCoreApplication>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QUuid>

#include <algorithm>
#include <cmath>
#include <limits>

namespace
{
QString Tr(const char *text)
{
    return QCoreApplication::translate("TRecordModel", text);
}

constexpr double not_a_number = std::numeric_limits<double>::quiet_NaN();

Found_Part Found_From(const Main_Window_State &main)
{
    Found_Part found;
    found.samples = main.samples;
    found.codes_complete = main.codes_complete;
    found.codes = main.codes;
    found.has_new_codes = main.has_result;
    found.new_codes = main.new_codes;
    found.why_no_codes = main.why_no_codes;
    return found;
}

// yyyy-MM-dd and a real day; anything else does not read as a date.
QDate Read_Date(const QString &text)
{
    static const QRegularExpression shape(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}$"));
    if (!shape.match(text).hasMatch())
        return QDate();
    return QDate::fromString(text, Qt::ISODate);
}

double Read_Or_Nan(const QString &text)
{
    double value = not_a_number;
    Read_Number_Text(text, &value);
    return value;
}

// The names of fields, as a sentence lists them: "the technician and the
// reference thermometer".
QString Listed(QStringList names)
{
    for (QString &name : names)
        name = Tr("the %1").arg(name.toLower());
    if (names.size() == 1)
        return names.first();
    const QString last = names.takeLast();
    return Tr("%1 and %2").arg(names.join(QStringLiteral(", ")), last);
}

// Why a number field's text is not a value in its range, or nothing.
QString Number_Problem(Record_Field field, const QString &text, double *value)
{
    if (!Read_Number_Text(text, value))
    {
        // The technician's own value, with a point, if that is all it lacks.
        QString pointed = text.trimmed();
        pointed.replace(QLatin1Char(','), QLatin1Char('.'));
        return Read_Number_Text(pointed, nullptr) && pointed.count(QLatin1Char('.')) == 1
                   ? Tr("not a number (the decimal separator is a point: %1)").arg(pointed)
                   : Tr("not a number");
    }
    switch (field)
    {
    case Record_Field::Reference_Uncertainty:
    case Record_Field::Resolution:
    case Record_Field::Tolerance:
        return *value > 0.0 ? QString() : Tr("must be greater than 0");
    case Record_Field::Relative_Humidity:
        return *value >= 0.0 && *value <= 100.0 ? QString() : Tr("must be from 0 to 100 (%)");
    default:
        return QString();
    }
}

// The row's cells, its numbers and its verdict, as stated. A typed value
// keeps any further digits it was typed with; a computed one (a predicted
// reading) is stated at the decimals.
Judged_Row Judge_Values(double actual, double reading, int decimals, const Judging_Limits &limits,
                        bool judged, bool reading_typed = true)
{
    Judged_Row row;
    row.nominal = not_a_number;
    row.readable = true;
    row.actual = actual;
    row.reading = reading;
    row.error = Stated_Value(reading - actual, decimals);
    if (judged)
        row.verdict = Judge(row.error, limits);
    row.cells << Value_Text(actual, decimals)
              << (reading_typed ? Value_Text(reading, decimals) : Number_Text(reading, decimals))
              << Number_Text(row.error, decimals) << Verdict_Text(row.verdict);
    return row;
}

Judged_Row Judge_Texts(const QString &actual_text, const QString &reading_text, int decimals,
                       const Judging_Limits &limits, bool judged)
{
    double actual = 0.0;
    double reading = 0.0;
    if (Read_Number_Text(actual_text, &actual) && Read_Number_Text(reading_text, &reading))
        return Judge_Values(actual, reading, decimals, limits, judged);
    Judged_Row row;
    row.nominal = not_a_number;
    row.error = not_a_number;
    row.cells << actual_text << reading_text << Tr("not a number") << QString();
    return row;
}

QString Codes_Text(const As_Left_Row &row)
{
    return row.codes_known ? Format_Codes(row.codes) : Tr("not known");
}

QString Row_Problem(const As_Left_Row &row)
{
    const auto problem = [](const QString &text)
    { return text.trimmed().isEmpty() ? Tr("is empty") : Tr("is not a number"); };
    if (!Read_Number_Text(row.actual, nullptr))
        return Tr("the actual temperature %1").arg(problem(row.actual));
    if (!Read_Number_Text(row.reading, nullptr))
        return Tr("the reading %1").arg(problem(row.reading));
    return QString();
}
} // namespace

QString Window_Fingerprint(const Main_Window_State &state)
{
    QStringList parts;
    for (const QStringList &sample : state.samples)
        parts << sample.join(QLatin1Char('\t'));
    parts << (state.codes_complete ? Format_Codes(state.codes) : QStringLiteral("incomplete"));
    return parts.join(QLatin1Char('\n'));
}

namespace
{
// What tells one instrument's sample from another's: the reference and the
// instrument rarely read the same twice to the last digit typed.
QString Measured_Pair(const QStringList &sample)
{
    return sample.value(1).trimmed() + QLatin1Char('\t') + sample.value(2).trimmed();
}

// The fingerprint's samples that hold a measurement, by their measured pair.
QHash<QString, QString> Samples_Of(const QString &fingerprint)
{
    QHash<QString, QString> lines;
    for (const QString &line : fingerprint.split(QLatin1Char('\n')))
    {
        const QStringList cells = line.split(QLatin1Char('\t'));
        if (cells.size() == 3 &&
            !(cells.at(1).trimmed().isEmpty() && cells.at(2).trimmed().isEmpty()))
            lines.insert(Measured_Pair(cells), line);
    }
    return lines;
}
} // namespace

QString Row_Ranges(const QList<int> &rows)
{
    // A thousand rows held are said in a line: runs, and at most a few.
    constexpr int most_runs = 6;
    QStringList runs;
    int rows_left_out = 0;
    for (int index = 0; index < rows.size();)
    {
        int end = index;
        while (end + 1 < rows.size() && rows.at(end + 1) == rows.at(end) + 1)
            ++end;
        if (runs.size() < most_runs)
            runs << (end == index
                         ? QString::number(rows.at(index) + 1)
                         : QStringLiteral("%1-%2").arg(rows.at(index) + 1).arg(rows.at(end) + 1));
        else
            rows_left_out += end - index + 1;
        index = end + 1;
    }
    QString text = runs.join(QStringLiteral(", "));
    if (rows_left_out > 0)
        text += Tr(" and %1 more").arg(rows_left_out);
    return text;
}

QList<int> Rows_Shown_Before(const Main_Window_State &state, const QString &fingerprint)
{
    QList<int> rows;
    if (fingerprint.isEmpty())
        return rows;
    const QHash<QString, QString> before = Samples_Of(fingerprint);
    for (int row = 0; row < state.samples.size(); ++row)
        if (before.contains(Measured_Pair(state.samples.at(row))))
            rows << row;
    return rows;
}

QString New_Calibration_Id()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces);
}

TRecordModel::TRecordModel(QObject *parent) : QObject(parent), d_today(QDate::currentDate())
{
    for (const Record_Field_Info &info : Record_Fields())
        d_state.fields.insert(info.field, info.default_text);
    d_state.fields.insert(Record_Field::Calibration_Date, d_today.toString(Qt::ISODate));
    d_state.calibration_id = New_Calibration_Id();
}

void TRecordModel::Set_Main_Window(const Main_Window_State &state)
{
    d_main = state;
    // A sample counts as this instrument's once it has been typed over, even
    // when it was typed back to the same digits: only the samples untouched
    // since the calibration began stay held.
    if (!d_state.window_at_start.isEmpty())
    {
        QSet<QString> shown;
        for (const QStringList &sample : std::as_const(d_main.samples))
            shown.insert(Measured_Pair(sample));
        QStringList still;
        const QHash<QString, QString> before = Samples_Of(d_state.window_at_start);
        for (auto line = before.cbegin(); line != before.cend(); ++line)
            if (shown.contains(line.key()))
                still << line.value();
        still.sort();
        d_state.window_at_start = still.join(QLatin1Char('\n'));
    }
    Update();
}

void TRecordModel::Set_Laboratory(const Laboratory &laboratory)
{
    if (laboratory == d_laboratory)
        return;
    d_laboratory = laboratory;
    Update();
}

const Laboratory &TRecordModel::Get_Laboratory() const
{
    return d_laboratory;
}

void TRecordModel::Set_Today(const QDate &today)
{
    d_today = today;
    Update();
}

QDate TRecordModel::Today() const
{
    return d_today;
}

QString TRecordModel::Field(Record_Field field) const
{
    return d_state.fields.value(field);
}

void TRecordModel::Set_Field(Record_Field field, const QString &text)
{
    if (d_state.phase == Record_Phase::Issued || d_state.fields.value(field) == text)
        return;
    d_state.fields.insert(field, text);
    Update();
}

int TRecordModel::As_Left_Count() const
{
    return d_state.as_left.size();
}

bool TRecordModel::Can_Measure_As_Left() const
{
    return d_state.adjusted && d_state.phase != Record_Phase::Issued;
}

void TRecordModel::Set_As_Left(int row, int column, const QString &text)
{
    if (!Can_Measure_As_Left() || row < 0 || row >= d_state.as_left.size())
        return;
    QString &cell = column == 0 ? d_state.as_left[row].actual : d_state.as_left[row].reading;
    if (cell == text)
        return;
    cell = text;
    Update();
}

bool TRecordModel::Add_As_Left_Row()
{
    if (!Can_Measure_As_Left() || d_state.as_left.size() >= Maximum_Table_Rows)
        return false;
    d_state.as_left << As_Left_Row{QString(), QString(), true, d_state.codes_left};
    emit As_Left_Reset();
    Update();
    return true;
}

void TRecordModel::Remove_As_Left_Row(int row)
{
    if (!Can_Measure_As_Left() || row < 0 || row >= d_state.as_left.size())
        return;
    d_state.as_left.removeAt(row);
    emit As_Left_Reset();
    Update();
}

void TRecordModel::Remove_Set_Aside_Row(int row)
{
    if (d_state.phase == Record_Phase::Issued || row < 0 || row >= d_state.set_aside.size())
        return;
    d_state.set_aside.removeAt(row);
    emit As_Left_Reset();
    Update();
}

int TRecordModel::Paste_As_Left(int row, int column, const QString &text)
{
    if (!Can_Measure_As_Left())
        return 0;
    static const QStringList names{QStringLiteral("Actual"), QStringLiteral("Reading"),
                                   QStringLiteral("Error"), QStringLiteral("Verdict"),
                                   QStringLiteral("Measured with")};
    const QList<QStringList> lines = Read_Block(text, names);
    const int first_row = std::clamp(row, 0, d_state.as_left.size());
    const int first_column = std::clamp(column, 0, 1);
    int left_out = 0;
    for (int index = 0; index < lines.size(); ++index)
    {
        const int target = first_row + index;
        if (target >= Maximum_Table_Rows)
        {
            left_out = lines.size() - index;
            break;
        }
        while (d_state.as_left.size() <= target)
            d_state.as_left << As_Left_Row{QString(), QString(), true, d_state.codes_left};
        const QStringList &cells = lines.at(index);
        for (int cell = 0; cell < cells.size() && first_column + cell < 2; ++cell)
        {
            As_Left_Row &left = d_state.as_left[target];
            (first_column + cell == 0 ? left.actual : left.reading) = cells.at(cell);
        }
    }
    emit As_Left_Reset();
    Update();
    return left_out;
}

bool TRecordModel::Codes_Keyed_In()
{
    if (!Evaluation().can_key_in)
        return false;
    if (!d_state.found_frozen)
    {
        d_state.found = Found_From(d_main);
        d_state.found_frozen = true;
    }
    if (d_state.adjusted)
    {
        // Measured with the codes left before: kept, marked, not used.
        d_state.set_aside = d_state.as_left + d_state.set_aside;
        d_state.as_left.clear();
    }
    d_state.codes_left = d_main.new_codes;
    d_state.adjusted = true;
    d_state.phase = Record_Phase::Keyed_In;
    emit As_Left_Reset();
    Update();
    return true;
}

void TRecordModel::New_Calibration()
{
    Record_State next;
    for (const Record_Field_Info &info : Record_Fields())
        next.fields.insert(info.field,
                           info.kept ? d_state.fields.value(info.field) : info.default_text);
    next.fields.insert(Record_Field::Calibration_Date, d_today.toString(Qt::ISODate));
    next.calibration_id = New_Calibration_Id();
    d_state = next;
    emit As_Left_Reset();
    // The calibration window still shows the last instrument's samples.
    Hold_Samples_Shown();
}

void TRecordModel::Hold_Samples_Shown()
{
    if (d_state.found_frozen || d_state.phase != Record_Phase::Found)
        return;
    d_state.window_at_start = Window_Fingerprint(d_main);
    Update();
}

void TRecordModel::Mark_Issued(const QString &number, const QDate &issue_date,
                               const QByteArray &content)
{
    // What was issued no longer follows the calibration window.
    if (!d_state.found_frozen)
    {
        d_state.found = Evaluation().found;
        d_state.found_frozen = true;
    }
    d_state.phase = Record_Phase::Issued;
    d_state.number = number;
    d_state.issue_date = issue_date.toString(Qt::ISODate);
    d_state.issued_content = content;
    emit As_Left_Reset();
    Update();
}

bool TRecordModel::Amend()
{
    if (d_state.phase != Record_Phase::Issued)
        return false;
    d_state.replaces = d_state.number;
    d_state.number.clear();
    d_state.issue_date.clear();
    d_state.issued_content.clear();
    d_state.calibration_id = New_Calibration_Id();
    d_state.phase = d_state.adjusted ? Record_Phase::Keyed_In : Record_Phase::Found;
    emit As_Left_Reset();
    Update();
    return true;
}

const Record_State &TRecordModel::State() const
{
    return d_state;
}

void TRecordModel::Restore(const Record_State &state)
{
    d_state = state;
    if (d_state.calibration_id.isEmpty())
        d_state.calibration_id = New_Calibration_Id();
    // Rows belong to the codes left; any other row is set aside.
    QList<As_Left_Row> current;
    for (const As_Left_Row &row : std::as_const(d_state.as_left))
        if (d_state.adjusted && row.codes_known && row.codes == d_state.codes_left)
            current << row;
        else
            d_state.set_aside << row;
    d_state.as_left = current;
    emit As_Left_Reset();
    Update();
}

const Record_Evaluation &TRecordModel::Evaluation() const
{
    if (!d_evaluated)
    {
        Evaluate();
        d_evaluated = true;
    }
    return d_evaluation;
}

const Main_Window_State &TRecordModel::Main_Window() const
{
    return d_main;
}

void TRecordModel::Update()
{
    d_evaluated = false;
    emit Changed();
}

void TRecordModel::Evaluate() const
{
    Record_Evaluation e;
    const Record_State &state = d_state;
    e.read_only = state.phase == Record_Phase::Issued;
    e.decimals = std::max(3, d_main.measured_precision);

    // The fields: defaults from the laboratory, then what does not read.
    for (const Record_Field_Info &info : Record_Fields())
        e.effective.insert(info.field, state.fields.value(info.field).trimmed());
    const std::pair<Record_Field, QString> from_laboratory[] = {
        {Record_Field::Place, d_laboratory.place},
        {Record_Field::Approver, d_laboratory.approver},
        {Record_Field::Approver_Function, d_laboratory.approver_function}};
    for (const auto &[field, text] : from_laboratory)
        if (e.effective.value(field).isEmpty())
            e.effective.insert(field, text.trimmed());
    if (e.effective.value(Record_Field::Receipt_Date).isEmpty())
        e.effective.insert(Record_Field::Receipt_Date,
                           e.effective.value(Record_Field::Calibration_Date));

    QMap<Record_Field, double> numbers;
    for (const Record_Field_Info &info : Record_Fields())
    {
        const QString text = e.effective.value(info.field);
        // What was typed, and what stands in for it (the laboratory's place
        // and approver).
        QString problem = Unsafe_Text_Reason(state.fields.value(info.field));
        if (problem.isEmpty())
            problem = Unsafe_Text_Reason(text);
        // A date left empty stands in for itself with another field's, which
        // is marked where it was typed.
        const bool date_stands_in =
            info.kind == Field_Kind::Date && state.fields.value(info.field).trimmed().isEmpty();
        if (problem.isEmpty() && !text.isEmpty() && !date_stands_in)
        {
            if (info.kind == Field_Kind::Number)
            {
                double value = 0.0;
                problem = Number_Problem(info.field, text, &value);
                if (problem.isEmpty())
                    numbers.insert(info.field, value);
            }
            else if (info.kind == Field_Kind::Date && !Read_Date(text).isValid())
                problem =
                    Tr("not a date (type it as yyyy-MM-dd: %1)").arg(d_today.toString(Qt::ISODate));
            else if (info.kind == Field_Kind::Choice && text != Simple_Acceptance_Text() &&
                     text != Guard_Band_Text())
                problem = Tr("neither %1 nor %2").arg(Simple_Acceptance_Text(), Guard_Band_Text());
        }
        if (!problem.isEmpty())
            e.field_problems.insert(info.field, problem);
        else if (info.required && text.isEmpty())
            e.missing << info.name;
    }
    e.calibration_date = Read_Date(e.effective.value(Record_Field::Calibration_Date));
    if (e.calibration_date.isValid())
    {
        if (e.calibration_date > d_today)
            e.field_problems.insert(Record_Field::Calibration_Date, Tr("is after today"));
        const QDate receipt = Read_Date(e.effective.value(Record_Field::Receipt_Date));
        if (receipt.isValid() && receipt > e.calibration_date)
            e.field_problems.insert(Record_Field::Receipt_Date,
                                    Tr("is after the calibration date"));
        const QDate due = Read_Date(e.effective.value(Record_Field::Reference_Due_Date));
        if (due.isValid() && due < e.calibration_date)
            e.field_problems.insert(Record_Field::Reference_Due_Date,
                                    Tr("has passed: the reference was due for calibration "
                                       "before the calibration date"));
    }

    // The uncertainty and the limits against which each error is judged.
    const QList<int> held_rows =
        state.found_frozen ? QList<int>() : Rows_Shown_Before(d_main, state.window_at_start);
    const bool last_instrument = !held_rows.isEmpty();
    e.found = state.found_frozen ? state.found : Found_From(d_main);
    if (last_instrument)
    {
        e.found = Found_Part();
        // The codes are typed first: the history compares them at once.
        e.found.codes_complete = d_main.codes_complete;
        e.found.codes = d_main.codes;
        e.found.why_no_codes =
            (held_rows.size() == 1 ? Tr("its sample in row %1 was")
                                   : Tr("its samples in rows %1 were"))
                .arg(Row_Ranges(held_rows)) +
            Tr(" there before this calibration began, not measured on this instrument");
    }
    QList<double> actuals;
    QList<double> readings;
    for (const QStringList &sample : std::as_const(e.found.samples))
    {
        double actual = 0.0;
        double reading = 0.0;
        if (Read_Number_Text(sample.value(1), &actual) &&
            Read_Number_Text(sample.value(2), &reading))
        {
            actuals << actual;
            readings << reading;
        }
    }
    e.spread = Fit_Residual_Spread(actuals, readings);
    e.has_limits = numbers.contains(Record_Field::Reference_Uncertainty) &&
                   numbers.contains(Record_Field::Resolution);
    if (e.has_limits)
    {
        e.reference_uncertainty = numbers.value(Record_Field::Reference_Uncertainty);
        e.resolution = numbers.value(Record_Field::Resolution);
        e.budget = Budget(e.reference_uncertainty, e.spread.valid ? e.spread.s : 0.0, e.resolution);
        e.uncertainty = Round_Uncertainty(e.budget.expanded);
        e.has_limits = e.uncertainty.valid;
    }
    e.limits.has_tolerance = e.has_limits && numbers.contains(Record_Field::Tolerance);
    e.limits.tolerance = numbers.value(Record_Field::Tolerance);
    e.limits.uncertainty = e.uncertainty.value;
    e.limits.rule = e.effective.value(Record_Field::Decision_Rule) == Guard_Band_Text()
                        ? Decision_Rule::Guard_Band
                        : Decision_Rule::Simple_Acceptance;

    // As found.
    QList<Verdict> found_verdicts;
    for (const QStringList &sample : std::as_const(e.found.samples))
    {
        Judged_Row row =
            Judge_Texts(sample.value(1), sample.value(2), e.decimals, e.limits, e.has_limits);
        row.nominal = Read_Or_Nan(sample.value(0));
        row.cells.prepend(sample.value(0));
        found_verdicts << row.verdict;
        e.found_rows << row;
    }
    e.found_verdict = Overall_Verdict(found_verdicts);

    // The codes left: keyed in, or the ones the calibration window proposes.
    e.has_plan = state.adjusted || e.found.has_new_codes;
    e.codes_left = state.adjusted ? state.codes_left : e.found.new_codes;
    if (e.has_plan && e.found.codes_complete)
    {
        const double slope_change =
            Code_Change(e.codes_left.code1, e.found.codes.code1, Code1_Scale);
        const double offset_change =
            Code_Change(e.codes_left.code2, e.found.codes.code2, Code2_Scale);
        for (const Judged_Row &found : std::as_const(e.found_rows))
        {
            if (!found.readable)
                continue;
            const double predicted = Predicted_Reading(found.reading, slope_change, offset_change);
            Judged_Row row =
                Judge_Values(found.actual, predicted, e.decimals, e.limits, e.has_limits, false);
            row.nominal = found.nominal;
            e.predicted_rows << row;
        }
    }

    // As left: measured with the codes left; rows measured with others are set aside.
    QList<Verdict> left_verdicts;
    for (int index = 0; index < state.as_left.size(); ++index)
    {
        const As_Left_Row &left = state.as_left.at(index);
        Judged_Row row = Judge_Texts(left.actual, left.reading, e.decimals, e.limits, e.has_limits);
        row.cells << Codes_Text(left);
        const QString problem = Row_Problem(left);
        if (!problem.isEmpty())
            e.row_problems << Tr("As left row %1: %2").arg(index + 1).arg(problem);
        left_verdicts << row.verdict;
        e.left_rows << row;
    }
    for (const As_Left_Row &aside : state.set_aside)
    {
        Judged_Row row;
        row.error = not_a_number;
        row.cells << aside.actual << aside.reading << Tr("set aside") << QString()
                  << Codes_Text(aside);
        e.set_aside_rows << row;
    }
    e.left_measured = state.adjusted && !e.left_rows.isEmpty();
    if (e.left_measured)
        e.left_verdict = Overall_Verdict(left_verdicts);
    else if (!state.adjusted)
        e.left_verdict = e.found_verdict; // no adjustment: as found is as left

    // Why there is no certificate now, and what comes next.
    if (!e.read_only)
    {
        if (!e.found.has_new_codes && !state.adjusted)
            e.reasons << Tr("The calibration window shows no new codes%1")
                             .arg(e.found.why_no_codes.isEmpty()
                                      ? QStringLiteral(".")
                                      : QStringLiteral(": ") + e.found.why_no_codes);
        if (!e.missing.isEmpty())
            e.reasons << Tr("Not filled in: %1.").arg(e.missing.join(QStringLiteral(", ")));
        for (auto problem = e.field_problems.cbegin(); problem != e.field_problems.cend();
             ++problem)
            e.reasons << Tr("%1 %2.").arg(Field_Info(problem.key()).name, problem.value());
        e.reasons << e.row_problems;
        if (d_laboratory.name.trimmed().isEmpty())
            e.reasons << Tr("No laboratory name: set it with Laboratory...");
        // The laboratory's texts go onto the certificate too; its address
        // alone may have lines.
        const std::pair<const char *, QString> laboratory_texts[] = {
            {QT_TR_NOOP("name"), d_laboratory.name},
            {QT_TR_NOOP("address"), QString(d_laboratory.address).remove(QLatin1Char('\n'))},
            {QT_TR_NOOP("accreditation"), d_laboratory.accreditation},
            {QT_TR_NOOP("procedure"), d_laboratory.procedure}};
        for (const auto &[name, text] : laboratory_texts)
            if (!Unsafe_Text_Reason(text).isEmpty())
                e.reasons << Tr("The laboratory's %1 %2 (Laboratory...).")
                                 .arg(Tr(name), Unsafe_Text_Reason(text));
    }
    // A refinement is new codes from samples measured with the codes left:
    // the codes left typed over the existing codes with the as-found samples
    // still in the table would correct the same error twice.
    const bool refined = state.adjusted && d_main.new_codes != state.codes_left &&
                         d_main.samples != state.found.samples;
    // An amendment corrects a certificate; the codes in the instrument are
    // what was measured, not something it can change.
    e.can_key_in = !e.read_only && state.replaces.isEmpty() && !last_instrument &&
                   d_main.has_result && (!state.adjusted || refined);

    const QString codes = Format_Codes(d_main.new_codes);
    const bool within =
        e.found_verdict == Verdict::Pass || e.found_verdict == Verdict::Pass_Within_Uncertainty;
    if (e.read_only)
        e.next_step = Tr("Issued as %1 on %2. New Calibration (Ctrl+N) starts the next one.")
                          .arg(state.number, state.issue_date);
    else if (state.phase == Record_Phase::Found && !state.found_frozen && last_instrument)
        e.next_step = Tr("Type this instrument's codes found and samples in the calibration "
                         "window: %1.")
                          .arg(e.found.why_no_codes);
    else if (state.phase == Record_Phase::Found && !state.found_frozen && !d_main.has_result)
        e.next_step = Tr("Type the codes found and the samples in the calibration window: it "
                         "shows no new codes yet.");
    else if (state.phase == Record_Phase::Found && e.can_key_in && !within)
        e.next_step = Tr("Key %1 into the instrument, then press Codes Keyed In.").arg(codes);
    else if (state.phase == Record_Phase::Found && e.can_key_in)
        e.next_step = Tr("Found within tolerance: issue the certificate without adjustment, or "
                         "key %1 into the instrument, then press Codes Keyed In.")
                          .arg(codes);
    else if (state.adjusted && e.can_key_in && d_main.codes_complete &&
             d_main.codes == state.codes_left)
        e.next_step =
            Tr("Refined: key %1 into the instrument, then press Codes Keyed In.").arg(codes);
    else if (state.adjusted && state.as_left.isEmpty())
        e.next_step = Tr("Measure as left and type the readings (codes left %1).")
                          .arg(Format_Codes(state.codes_left));
    else if (!e.row_problems.isEmpty())
        e.next_step = Tr("Correct %1.").arg(e.row_problems.first());
    else if (!e.missing.isEmpty())
        e.next_step = Tr("Fill in %1.").arg(Listed(e.missing));
    else if (!e.reasons.isEmpty())
        e.next_step = Tr("Correct this before issuing: %1").arg(e.reasons.first());
    else
        e.next_step = Tr("Ready: Save Certificate (Ctrl+S) issues the certificate.");
    if (!e.read_only && !state.replaces.isEmpty())
        e.next_step = Tr("Amending %1: the fields and the rows measured as left can be "
                         "corrected; the results as found stay as issued. ")
                          .arg(state.replaces) +
                      e.next_step;

    // The plot's numbers, as stated.
    for (const Judged_Row &row : std::as_const(e.found_rows))
        if (row.readable)
            e.plot.found << QPointF(row.actual, row.error);
    std::vector<Vector2> points;
    for (const QPointF &point : std::as_const(e.plot.found))
        points.push_back(Vector2(point.x(), point.y()));
    double slope = 0.0;
    double offset = 0.0;
    if (Fit_Line(points, &slope, &offset) && std::isfinite(slope) && std::isfinite(offset))
    {
        const auto [low, high] =
            std::minmax_element(e.plot.found.cbegin(), e.plot.found.cend(),
                                [](const QPointF &a, const QPointF &b) { return a.x() < b.x(); });
        e.plot.fit << QPointF(low->x(), slope * low->x() + offset)
                   << QPointF(high->x(), slope * high->x() + offset);
    }
    if (state.adjusted || !e.read_only)
        for (const Judged_Row &row : std::as_const(e.predicted_rows))
            e.plot.predicted << QPointF(row.actual, row.error);
    for (const Judged_Row &row : std::as_const(e.left_rows))
        if (row.readable)
            e.plot.left << QPointF(row.actual, row.error);
    e.plot.has_tolerance = e.limits.has_tolerance;
    e.plot.tolerance = e.limits.tolerance;

    d_evaluation = e;
}
