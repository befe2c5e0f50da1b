#include "historypanel.h"

#include "numbertext.h"
#include "recordparts.h"
#include "resultstablemodel.h"
#include "sample.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QStyle>
#include <QTableView>
#include <QVBoxLayout>

#include <cmath>

THistoryPanel::THistoryPanel(QWidget *parent) : QWidget(parent)
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
    Update();
}

void THistoryPanel::Set_Messages(const QStringList &messages)
{
    d_messages = messages;
    Update();
}

void THistoryPanel::Set_Last(const Last_Calibration &last)
{
    d_last = last;
    Update();
}

void THistoryPanel::Set_Current(bool codes_complete, const Code_Pair &codes_found,
                                const QList<Nominal_Error> &found_now, int decimals)
{
    d_codes_complete = codes_complete;
    d_codes_found = codes_found;
    d_found_now = found_now;
    d_decimals = decimals;
    Update();
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
    QStringList lines = d_messages;
    if (d_last.found)
        lines << tr("Last calibration: %1, certificate %2, codes left %3 / %4%5.")
                     .arg(d_last.calibration_date, d_last.certificate_number, d_last.new_code1,
                          d_last.new_code2,
                          d_last.verdict_as_left.isEmpty()
                              ? QString()
                              : tr(", verdict as left: %1").arg(d_last.verdict_as_left));
    d_text_label->setText(lines.join(QLatin1Char('\n')));
    d_text_label->setHidden(lines.isEmpty());

    const QStringList warnings = Warnings();
    d_warning_label->setText(warnings.join(QLatin1Char('\n')));
    d_warning_box->setHidden(warnings.isEmpty());

    QList<Nominal_Error> left_then;
    for (const History_Point &point : d_last.as_left)
        left_then << Nominal_Error{point.nominal, point.error};
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
