#include "certificatebuilder.h"

#include "numbertext.h"

#include <QCoreApplication>

#include <cmath>

namespace
{
QString Tr(const char *text)
{
    return QCoreApplication::translate("Certificate", text);
}

QString Unit_Header(const QString &name)
{
    return Tr("%1 (%2)").arg(name, Degrees_Celsius());
}

// The first columns of judged rows, with the verdict when there is one.
QList<QStringList> Rows_Of(const QList<Judged_Row> &rows, int columns)
{
    QList<QStringList> texts;
    for (const Judged_Row &row : rows)
        texts << row.cells.mid(0, columns);
    return texts;
}

QString Field(const Record_Evaluation &evaluation, Record_Field field)
{
    return evaluation.effective.value(field);
}

// Label and value, a row each; fields left empty are not stated.
Certificate_Table Field_Table(const QList<QPair<QString, QString>> &rows)
{
    Certificate_Table table;
    table.header = QStringList{Tr("Item"), Tr("Value")};
    for (const auto &[label, value] : rows)
        if (!value.isEmpty())
            table.rows << QStringList{label, value};
    return table;
}

QString Verdict_Statement(const QString &when, Verdict verdict)
{
    return verdict == Verdict::None ? QString()
                                    : Tr("Verdict %1: %2.").arg(when, Verdict_Text(verdict));
}

// A value the technician typed, stated as typed: rounded, 0.0125 would read
// 0.013, a value nobody gave.
QString Typed_Degrees(const Record_Evaluation &evaluation, Record_Field field)
{
    return Field(evaluation, field) + QLatin1Char(' ') + Degrees_Celsius();
}

QString Decision_Rule_Text(const Record_Evaluation &evaluation)
{
    const Judging_Limits &limits = evaluation.limits;
    // As typed: an error of 0.013 stated beside a tolerance rounded from
    // 0.0125 would fail a limit the page says it meets.
    const QString tolerance = Typed_Degrees(evaluation, Record_Field::Tolerance);
    if (limits.rule == Decision_Rule::Guard_Band)
        return Tr("Decision rule: guard band of U (ILAC-G8). An error passes when its magnitude "
                  "plus U is at most the tolerance of plus or minus %1, and fails when its "
                  "magnitude minus U exceeds the tolerance; otherwise the statement is "
                  "conditional, within the uncertainty of the limit.")
            .arg(tolerance);
    return Tr("Decision rule: simple acceptance. An error whose magnitude is at most the "
              "tolerance of plus or minus %1 passes; a pass whose magnitude plus U exceeds "
              "the tolerance is stated as a pass within the uncertainty of the limit.")
        .arg(tolerance);
}
} // namespace

QString Degrees_Text(double value, int decimals)
{
    return Number_Text(value, decimals) + QLatin1Char(' ') + Degrees_Celsius();
}

Certificate_Content Build_Certificate(const Record_Evaluation &e, const Record_State &state,
                                      const Laboratory &laboratory, const QDate &issue_date,
                                      bool draft)
{
    Certificate_Content content;
    content.title = Tr("Calibration Certificate");
    content.draft = draft;
    content.laboratory = laboratory.name.trimmed();

    Certificate_Section issuer;
    issuer.heading = Tr("Calibration laboratory");
    issuer.before << laboratory.name.trimmed();
    if (!laboratory.address.trimmed().isEmpty())
        issuer.before << laboratory.address.trimmed();
    if (!laboratory.accreditation.trimmed().isEmpty())
        issuer.before << Tr("Accreditation: %1").arg(laboratory.accreditation.trimmed());
    if (!state.replaces.isEmpty())
        issuer.after << Tr("This certificate replaces certificate %1, which is withdrawn.")
                            .arg(state.replaces);
    content.sections << issuer;

    Certificate_Section customer;
    customer.heading = Tr("Customer");
    customer.before << Field(e, Record_Field::Owner);
    if (!Field(e, Record_Field::Owner_Address).isEmpty())
        customer.before << Field(e, Record_Field::Owner_Address);
    content.sections << customer;

    Certificate_Section item;
    item.heading = Tr("Item calibrated");
    item.table = Field_Table({{Tr("Description"), Field(e, Record_Field::Description)},
                              {Tr("Maker"), Field(e, Record_Field::Maker)},
                              {Tr("Model"), Field(e, Record_Field::Model)},
                              {Tr("Serial number"), Field(e, Record_Field::Serial)},
                              {Tr("Condition as received"), Field(e, Record_Field::Condition)}});
    content.sections << item;

    Certificate_Section when;
    when.heading = Tr("Dates, place and conditions");
    QString humidity = Field(e, Record_Field::Relative_Humidity);
    if (!humidity.isEmpty())
        humidity += QStringLiteral(" %");
    QString ambient = Field(e, Record_Field::Ambient_Temperature);
    if (!ambient.isEmpty())
        ambient += QLatin1Char(' ') + Degrees_Celsius();
    when.table = Field_Table(
        {{Tr("Date of receipt"), Field(e, Record_Field::Receipt_Date)},
         {Tr("Calibration date"), Field(e, Record_Field::Calibration_Date)},
         {Tr("Date of issue"), draft ? Tr("not issued (draft)") : issue_date.toString(Qt::ISODate)},
         {Tr("Place of calibration"), Field(e, Record_Field::Place)},
         {Tr("Ambient temperature"), ambient},
         {Tr("Relative humidity"), humidity},
         {Tr("Comparison medium"), Field(e, Record_Field::Medium)}});
    content.sections << when;

    Certificate_Section method;
    method.heading = Tr("Method and traceability");
    if (!laboratory.procedure.trimmed().isEmpty())
        method.before << Tr("Procedure: %1.").arg(laboratory.procedure.trimmed());
    method.before << (state.adjusted
                          ? Tr("Comparison with a reference thermometer at the temperatures "
                               "listed below. The slope code (Code 1) and the offset code (Code "
                               "2) of the instrument were corrected by a least-squares fit of "
                               "the error of the readings against the readings.")
                          : Tr("Comparison with a reference thermometer at the temperatures "
                               "listed below. The codes of the instrument were left as found."))
                  << Tr("The measurements are traceable to national standards through the "
                        "reference thermometer %1, calibrated under certificate %2, next due "
                        "%3.")
                         .arg(Field(e, Record_Field::Reference),
                              Field(e, Record_Field::Reference_Certificate),
                              Field(e, Record_Field::Reference_Due_Date));
    content.sections << method;

    Certificate_Section codes;
    codes.heading = Tr("Calibration codes");
    const Code_Pair left = state.adjusted ? state.codes_left : e.found.codes;
    codes.table.header = QStringList{Tr("Code"), Tr("As found"), Tr("As left")};
    codes.table.rows << QStringList{Tr("Code 1 (slope)"), Format_Code(e.found.codes.code1),
                                    Format_Code(left.code1)}
                     << QStringList{Tr("Code 2 (offset)"), Format_Code(e.found.codes.code2),
                                    Format_Code(left.code2)};
    if (!state.adjusted)
        codes.after << Tr("No adjustment was made: the codes left are the codes found, and the "
                          "results as found are the results.");
    content.sections << codes;

    Certificate_Section found;
    found.heading = state.adjusted ? Tr("Results as found, before adjustment")
                                   : Tr("Results as found (no adjustment)");
    found.table.header =
        QStringList{Unit_Header(Tr("Nominal")), Unit_Header(Tr("Actual")),
                    Unit_Header(Tr("Reading")), Unit_Header(Tr("Error")), Tr("Verdict")};
    found.table.rows = Rows_Of(e.found_rows, 5);
    content.sections << found;

    const QStringList left_header{Unit_Header(Tr("Actual")), Unit_Header(Tr("Reading")),
                                  Unit_Header(Tr("Error")), Tr("Verdict")};
    Certificate_Section as_left;
    if (state.adjusted && e.left_measured)
    {
        as_left.heading = Tr("Results as left, measured after adjustment");
        as_left.table.header = left_header;
        as_left.table.rows = Rows_Of(e.left_rows, 4);
        content.sections << as_left;
    }
    else if (state.adjusted)
    {
        as_left.heading = Tr("Results as left: predicted, not measured");
        as_left.table.header =
            QStringList{Unit_Header(Tr("Actual")), Unit_Header(Tr("Predicted reading")),
                        Unit_Header(Tr("Predicted error"))};
        as_left.table.rows = Rows_Of(e.predicted_rows, 3);
        as_left.after << Tr("Nothing was measured after the adjustment: no statement of "
                            "conformity as left is made.");
        content.sections << as_left;
    }

    Certificate_Section plot;
    plot.heading = Tr("Error against actual temperature");
    plot.plot = true;
    content.plot = e.plot;
    // The prediction stands in for a measurement only where none was made.
    if (!state.adjusted || e.left_measured)
        content.plot.predicted.clear();
    content.sections << plot;

    Certificate_Section uncertainty;
    uncertainty.heading = Tr("Measurement uncertainty");
    const int places = std::max(e.decimals, e.uncertainty.decimals) + 1;
    const Uncertainty_Budget &budget = e.budget;
    uncertainty.before
        << Tr("The expanded uncertainty of each error is U = %1. It is the combined standard "
              "uncertainty multiplied by the coverage factor k = 2, which for a normal "
              "distribution gives a coverage probability of about 95 %, rounded up to two "
              "significant digits.")
               .arg(Degrees_Text(e.uncertainty.value, e.uncertainty.decimals));
    uncertainty.table.header =
        QStringList{Tr("Component"), Tr("Distribution"), Unit_Header(Tr("Standard uncertainty"))};
    uncertainty.table.rows
        << QStringList{Tr("Reference thermometer (U = %1, k = 2)")
                           .arg(Typed_Degrees(e, Record_Field::Reference_Uncertainty)),
                       Tr("normal"), Number_Text(budget.reference, places)}
        << QStringList{e.spread.valid
                           ? (e.spread.degrees_of_freedom == 1
                                  ? Tr("Repeatability of the fit, s (1 degree of freedom)")
                                  : Tr("Repeatability of the fit, s (%1 degrees of freedom)")
                                        .arg(e.spread.degrees_of_freedom))
                           : Tr("Repeatability of the fit (not estimated below three samples)"),
                       Tr("normal"), Number_Text(budget.repeatability, places)}
        << QStringList{Tr("Resolution (%1)").arg(Typed_Degrees(e, Record_Field::Resolution)),
                       Tr("rectangular"), Number_Text(budget.resolution, places)}
        << QStringList{Tr("Combined standard uncertainty"), QString(),
                       Number_Text(budget.combined, places)}
        << QStringList{Tr("Expanded uncertainty U (k = 2)"), QString(), e.uncertainty.text};
    content.sections << uncertainty;

    Certificate_Section conformity;
    conformity.heading = Tr("Decision rule and statement of conformity");
    if (!e.limits.has_tolerance)
        conformity.before << Tr("No tolerance was given: no statement of conformity is made.");
    else
    {
        conformity.before << Decision_Rule_Text(e);
        conformity.before << Tr("Test uncertainty ratio (tolerance / U): %1.")
                                 .arg(Number_Text(e.limits.tolerance / e.uncertainty.value, 1));
        conformity.before << Verdict_Statement(Tr("as found"), e.found_verdict);
        if (!state.adjusted)
            conformity.before << Verdict_Statement(Tr("as left (no adjustment)"), e.left_verdict);
        else if (e.left_measured)
            conformity.before << Verdict_Statement(Tr("as left"), e.left_verdict);
        else
            conformity.before << Tr("No statement of conformity as left is made: nothing was "
                                    "measured after the adjustment.");
    }
    content.sections << conformity;

    Certificate_Section approval;
    approval.heading = Tr("Approval");
    approval.before << Tr("Calibrated by: %1").arg(Field(e, Record_Field::Technician))
                    << Tr("Approved by: %1, %2")
                           .arg(Field(e, Record_Field::Approver),
                                Field(e, Record_Field::Approver_Function));
    approval.after << Tr("The results relate only to the item calibrated.")
                   << Tr("This certificate shall not be reproduced except in full without the "
                         "written approval of the laboratory.");
    content.sections << approval;
    content.closing = draft ? Tr("End of draft - not a certificate") : Tr("End of certificate");
    return content;
}
