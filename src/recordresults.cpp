#include "recordresults.h"

#include "asleftmodel.h"
#include "blockreader.h"
#include "certificatebuilder.h"
#include "errorplot.h"
#include "markdelegate.h"
#include "numbertext.h"
#include "recordmodel.h"
#include "recordparts.h"
#include "resultstablemodel.h"

#include <QApplication>
#include <QClipboard>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace
{
QList<QStringList> Cells(const QList<Judged_Row> &rows)
{
    QList<QStringList> cells;
    for (const Judged_Row &row : rows)
        cells << row.cells;
    return cells;
}

} // namespace

TRecordResults::TRecordResults(TRecordModel *record, QWidget *parent)
    : QWidget(parent), d_record(record)
{
    QWidget *results = this;
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);

    auto *found_box = new QGroupBox(tr("As found"), results);
    auto *found_layout = new QVBoxLayout(found_box);
    d_found_codes_label = New_Plain_Label(found_box);
    found_layout->addWidget(d_found_codes_label);
    d_found_model = new TResultsTableModel({Unit_Header(tr("Nominal")), Unit_Header(tr("Actual")),
                                            Unit_Header(tr("Reading")), Unit_Header(tr("Error")),
                                            tr("Verdict")},
                                           this);
    d_found_view = New_Table_View(d_found_model, tr("As found"), found_box);
    found_layout->addWidget(d_found_view);
    layout->addWidget(found_box);

    auto *left_codes_box = new QGroupBox(tr("Codes left"), results);
    auto *codes_layout = new QVBoxLayout(left_codes_box);
    auto *codes_row = new QHBoxLayout();
    d_codes_left_label = New_Plain_Label(left_codes_box);
    codes_row->addWidget(d_codes_left_label, 1);
    d_keyed_in_button = New_Button(tr("Codes &Keyed In"), left_codes_box);
    d_keyed_in_button->setToolTip(
        tr("Press once the new codes are in the instrument: the as-found part is kept."));
    codes_row->addWidget(d_keyed_in_button);
    codes_layout->addLayout(codes_row);
    d_predicted_model =
        new TResultsTableModel({Unit_Header(tr("Actual")), Unit_Header(tr("Predicted reading")),
                                Unit_Header(tr("Predicted error")), tr("Verdict")},
                               this);
    codes_layout->addWidget(
        New_Table_View(d_predicted_model, tr("Predicted as left"), left_codes_box));
    d_predicted_label = New_Plain_Label(left_codes_box);
    codes_layout->addWidget(d_predicted_label);
    layout->addWidget(left_codes_box);
    connect(d_keyed_in_button, &QPushButton::clicked, this, &TRecordResults::Codes_Keyed_In);

    auto *left_box = new QGroupBox(tr("As left (measured)"), results);
    auto *left_layout = new QVBoxLayout(left_box);
    d_left_model = new TAsLeftModel(d_record, this);
    d_left_view = New_Table_View(d_left_model, tr("As left (measured)"), left_box);
    d_left_view->setItemDelegate(new TMarkDelegate(d_left_view));
    left_layout->addWidget(d_left_view);
    auto *left_buttons = new QHBoxLayout();
    d_add_button = New_Button(tr("&Add Row"), left_box);
    d_remove_button = New_Button(tr("Remove Ro&w"), left_box);
    left_buttons->addWidget(d_add_button);
    left_buttons->addWidget(d_remove_button);
    left_buttons->addStretch();
    left_layout->addLayout(left_buttons);
    layout->addWidget(left_box);
    connect(d_add_button, &QPushButton::clicked, this,
            [this]
            {
                if (!d_record->Add_As_Left_Row())
                    return;
                // The keyboard goes where the reading is typed next, not back to
                // whichever field it came from.
                const QModelIndex cell = d_left_model->index(d_record->As_Left_Count() - 1, 0);
                d_left_view->setFocus(Qt::OtherFocusReason);
                d_left_view->setCurrentIndex(cell);
                d_left_view->scrollTo(cell);
                d_left_view->edit(cell);
            });
    connect(d_remove_button, &QPushButton::clicked, this,
            [this]
            {
                int row = d_left_view->currentIndex().row();
                if (row < 0)
                    row = d_record->As_Left_Count() - 1;
                if (d_left_model->Is_Set_Aside(row))
                    d_record->Remove_Set_Aside_Row(row - d_record->As_Left_Count());
                else
                    d_record->Remove_As_Left_Row(row);
            });
    // A spreadsheet's block of actual and reading cells, as in the main table.
    auto *paste = new QShortcut(QKeySequence::Paste, d_left_view, nullptr, nullptr,
                                Qt::WidgetWithChildrenShortcut);
    connect(paste, &QShortcut::activated, this,
            [this]
            {
                const QModelIndex current = d_left_view->currentIndex();
                const int left_out = d_record->Paste_As_Left(
                    current.isValid() ? current.row() : d_record->As_Left_Count(),
                    current.isValid() ? current.column() : 0, QApplication::clipboard()->text());
                if (left_out > 0)
                    emit Said(tr("%n pasted line(s) left out: the table holds at most %1 rows.",
                                 nullptr, left_out)
                                  .arg(Maximum_Table_Rows));
            });

    d_uncertainty_label = New_Plain_Label(results);
    d_uncertainty_label->setAccessibleName(tr("Uncertainty and conformity"));
    layout->addWidget(d_uncertainty_label);
    d_plot = new TErrorPlot(results);
    d_plot->setAccessibleName(tr("Error against actual temperature"));
    d_plot->setMinimumHeight(280);
    layout->addWidget(d_plot);
    Refresh();
}

void TRecordResults::Refresh()
{
    const Record_Evaluation &e = d_record->Evaluation();
    const Record_State &state = d_record->State();
    const QString found_codes =
        e.found.codes_complete ? Format_Codes(e.found.codes) : tr("not complete");
    d_found_codes_label->setText(
        (state.found_frozen ? tr("Codes found %1; kept as found when the codes were keyed in.")
                            : tr("Codes found %1; following the calibration window."))
            .arg(found_codes));
    d_found_model->Set_Rows(Cells(e.found_rows));
    d_codes_left_label->setText(
        state.adjusted ? tr("Codes left in the instrument: %1.").arg(Format_Codes(state.codes_left))
        : e.has_plan
            ? tr("New codes to key in: %1 (not yet keyed in).").arg(Format_Codes(e.codes_left))
            : tr("No new codes yet."));
    d_keyed_in_button->setEnabled(e.can_key_in);
    d_predicted_model->Set_Rows(Cells(e.predicted_rows));
    double largest = 0.0;
    for (const Judged_Row &row : e.predicted_rows)
        largest = std::max(largest, std::fabs(row.error));
    d_predicted_label->setText(
        e.predicted_rows.isEmpty()
            ? QString()
            : tr("Predicted, not measured. Largest predicted error %1; residual standard "
                 "deviation of the fit %2.")
                  .arg(Degrees_Text(largest, e.decimals),
                       e.spread.valid ? Degrees_Text(e.spread.s, e.decimals + 1)
                                      : tr("not estimated below three samples")));
    d_add_button->setEnabled(d_record->Can_Measure_As_Left() &&
                             d_record->As_Left_Count() < Maximum_Table_Rows);
    d_remove_button->setEnabled(!e.read_only && d_left_model->rowCount() > 0);
    d_add_button->setToolTip(d_record->Can_Measure_As_Left()
                                 ? QString()
                                 : tr("Rows are measured as left once the codes are keyed in."));

    QStringList words;
    if (!e.has_limits)
        words << tr("No uncertainty and no verdict: the reference uncertainty and the "
                    "resolution are needed.");
    else
    {
        words << tr("Expanded uncertainty U = %1 (k = 2, about 95 %). Standard uncertainties: "
                    "reference %2, repeatability of the fit %3, resolution %4.")
                     .arg(Degrees_Text(e.uncertainty.value, e.uncertainty.decimals),
                          Number_Text(e.budget.reference, 4),
                          e.spread.valid ? Number_Text(e.spread.s, 4) : tr("not estimated"),
                          Number_Text(e.budget.resolution, 4));
        if (!e.limits.has_tolerance)
            words << tr("No tolerance given: no verdict.");
        else
            words << tr("%1 against plus or minus %2; test uncertainty ratio %3. Verdict as "
                        "found: %4. Verdict as left: %5.")
                         .arg(e.limits.rule == Decision_Rule::Guard_Band ? tr("Guard band of U")
                                                                         : tr("Simple acceptance"),
                              e.effective.value(Record_Field::Tolerance) + QLatin1Char(' ') +
                                  Degrees_Celsius(),
                              Number_Text(e.limits.tolerance / e.uncertainty.value, 1),
                              e.found_verdict == Verdict::None ? tr("none")
                                                               : Verdict_Text(e.found_verdict),
                              e.left_verdict == Verdict::None
                                  ? (!state.adjusted         ? tr("none")
                                     : e.left_rows.isEmpty() ? tr("none: nothing measured after "
                                                                  "the adjustment")
                                                             : tr("none: an as-left row does not "
                                                                  "read"))
                                  : Verdict_Text(e.left_verdict));
    }
    d_uncertainty_label->setText(words.join(QLatin1Char(' ')));
    d_plot->Set_Data(e.plot);
}

void TRecordResults::Take_Edit()
{
    // Moving off the cell being edited commits it.
    d_left_view->setCurrentIndex(QModelIndex());
}
