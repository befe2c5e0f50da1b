#include "historypanel.h"

#include "historyclient.h"
#include "numbertext.h"
#include "recordmodel.h"
#include "recordparts.h"
#include "resultstablemodel.h"
#include "safetext.h"
#include "sample.h"

#include <QCompleter>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QStringListModel>
#include <QStyle>
#include <QTableView>
#include <QVBoxLayout>

#include <cmath>

THistoryPanel::THistoryPanel(TRecordModel *record, THistoryClient *history, QLineEdit *serial_field,
                             QWidget *parent)
    : QWidget(parent), d_record(record), d_history(history)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    // Serial numbers and owners are typed text: shown as typed, never as markup.
    d_text_label = New_Plain_Label(this);
    d_text_label->setAccessibleName(tr("Instrument history"));
    layout->addWidget(d_text_label);

    d_warning_box = new QWidget(this);
    auto *warning_layout = new QHBoxLayout(d_warning_box);
    warning_layout->setContentsMargins(0, 0, 0, 0);
    auto *icon = new QLabel(d_warning_box);
    const int size = style()->pixelMetric(QStyle::PM_SmallIconSize);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(size, size));
    icon->setAlignment(Qt::AlignTop);
    warning_layout->addWidget(icon);
    d_warning_label = New_Plain_Label(d_warning_box);
    d_warning_label->setAccessibleName(tr("History warning"));
    warning_layout->addWidget(d_warning_label, 1);
    layout->addWidget(d_warning_box);

    d_drift_label = New_Plain_Label(this);
    layout->addWidget(d_drift_label);
    d_drift_model =
        new TResultsTableModel({Unit_Header(tr("Nominal")), Unit_Header(tr("Drift"))}, this);
    d_drift_view = New_Table_View(d_drift_model, tr("Drift since the last calibration"), this);
    d_drift_view->verticalHeader()->hide();
    d_drift_view->setMaximumHeight(140);
    d_drift_view->setMaximumWidth(320);
    layout->addWidget(d_drift_view);

    auto *completer = new QCompleter(this);
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    completer->setModel(new QStringListModel(completer));
    serial_field->setCompleter(completer);
    connect(d_history, &THistoryClient::Opened, this,
            [this](const QString &failure, const QString &notice)
            {
                d_failure = failure;
                if (!notice.isEmpty())
                {
                    d_notice = notice;
                    qWarning("Zentrova Calibrator: %s", qUtf8Printable(notice));
                }
                d_asked_serial.clear();
                Refresh();
            });
    connect(d_history, &THistoryClient::Completed, this,
            [completer](const QString &prefix, const QStringList &serials)
            {
                // The one completion that is the text typed offers nothing, and
                // its list would take the next click meant for another field.
                const bool complete = serials.size() == 1 &&
                                      serials.first().compare(prefix, Qt::CaseInsensitive) == 0;
                static_cast<QStringListModel *>(completer->model())
                    ->setStringList(complete ? QStringList() : serials);
            });
    connect(d_history, &THistoryClient::Last_Found, this, &THistoryPanel::Last_Found);
    // A serial number typed (not one brought back from the last run) takes
    // what the history knows of the instrument.
    connect(serial_field, &QLineEdit::textEdited, this, [this] { d_fill_from_history = true; });
    Update();
}

void THistoryPanel::Refresh()
{
    const Record_Evaluation &e = d_record->Evaluation();
    QList<Nominal_Error> found_now;
    for (const Judged_Row &row : e.found_rows)
        found_now << Nominal_Error{row.nominal, row.error};
    d_codes_complete = e.found.codes_complete;
    d_codes_found = e.found.codes;
    d_found_now = found_now;
    d_decimals = e.decimals;
    d_messages.clear();
    if (!d_failure.isEmpty())
        d_messages << tr("The history cannot be used: %1.").arg(d_failure);
    if (!d_notice.isEmpty())
        d_messages << d_notice;
    // The instrument's history, asked again when its serial number changes,
    // or the calibration (a new one, an amendment).
    const QString serial = e.effective.value(Record_Field::Serial);
    const Record_State &state = d_record->State();
    const QString asked = serial + QLatin1Char('\n') + state.calibration_id;
    if (asked != d_asked_serial)
    {
        d_asked_serial = asked;
        d_last = Last_Calibration();
        if (!serial.isEmpty() && Unsafe_Text_Reason(serial).isEmpty())
        {
            d_history->Complete(serial);
            d_history->Find_Last(serial, state.calibration_id, state.replaces);
        }
    }
    Update();
}

void THistoryPanel::Last_Found(const QString &serial, const Last_Calibration &last)
{
    if (serial != d_record->Evaluation().effective.value(Record_Field::Serial))
        return;
    d_last = last;
    Update();
    if (!d_fill_from_history || !last.found || d_record->Evaluation().read_only)
        return;
    d_fill_from_history = false;
    QStringList filled;
    const std::pair<Record_Field, QString> known[] = {{Record_Field::Model, last.model},
                                                      {Record_Field::Owner, last.owner}};
    for (const auto &[field, text] : known)
        if (!text.isEmpty() && d_record->Field(field) != text)
        {
            d_record->Set_Field(field, text);
            filled << tr("%1 %2").arg(Field_Info(field).name, text);
        }
    if (!filled.isEmpty())
        emit Said(tr("From the history of %1: %2.").arg(serial, filled.join(QStringLiteral(", "))));
}

QStringList THistoryPanel::Warnings() const
{
    QStringList warnings;
    if (!d_last.found || !d_codes_complete)
        return warnings;
    const std::pair<quint16, QString> codes[] = {{d_codes_found.code1, d_last.new_code1},
                                                 {d_codes_found.code2, d_last.new_code2}};
    for (int index = 0; index < 2; ++index)
    {
        quint16 left_then = 0;
        if (Parse_Code(codes[index].second, &left_then) && left_then != codes[index].first)
            warnings << tr("Warning: Existing Code %1 is %2; the last calibration left %3.")
                            .arg(index + 1)
                            .arg(Format_Code(codes[index].first), Format_Code(left_then));
    }
    return warnings;
}

QString THistoryPanel::Text() const
{
    QStringList lines{d_text_label->text()};
    if (!d_warning_box->isHidden())
        lines << d_warning_label->text();
    if (!d_drift_label->isHidden())
        lines << d_drift_label->text();
    lines.removeAll(QString());
    return lines.join(QLatin1Char('\n'));
}

void THistoryPanel::Update()
{
    // Drift is stated against what was measured as left then, never
    // against a prediction.
    QList<Nominal_Error> left_then;
    for (const History_Point &point : d_last.as_left)
        if (point.kind == QLatin1String("left"))
            left_then << Nominal_Error{point.nominal, point.error};

    QStringList lines = d_messages;
    if (d_last.found)
        lines << tr("Last calibration: %1, certificate %2, codes left %3 / %4%5.")
                     .arg(d_last.calibration_date, d_last.certificate_number, d_last.new_code1,
                          d_last.new_code2,
                          d_last.verdict_as_left.isEmpty()
                              ? QString()
                              : tr(", verdict as left: %1").arg(d_last.verdict_as_left));
    if (d_last.found && left_then.isEmpty() && !d_last.as_left.isEmpty())
        lines << tr("The last calibration measured nothing as left: no drift is stated.");
    d_text_label->setText(lines.join(QLatin1Char('\n')));
    d_text_label->setHidden(lines.isEmpty());

    const QStringList warnings = Warnings();
    d_warning_label->setText(warnings.join(QLatin1Char('\n')));
    d_warning_box->setHidden(warnings.isEmpty());

    const Drift drift = d_last.found ? Compute_Drift(d_found_now, left_then) : Drift();
    QList<QStringList> rows;
    for (const auto &[nominal, change] : drift.points)
        rows << QStringList{QString::number(nominal), Number_Text(change, d_decimals)};
    d_drift_model->Set_Rows(rows);
    d_drift_label->setText(
        rows.isEmpty()
            ? QString()
            : tr("Drift since then (this as-found error minus the last as-left error); the "
                 "largest %1 %2.")
                  .arg(Number_Text(drift.largest, d_decimals), Degrees_Celsius()));
    d_drift_label->setHidden(rows.isEmpty());
    d_drift_view->setHidden(rows.isEmpty());
}
