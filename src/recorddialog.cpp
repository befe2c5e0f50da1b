#include "recorddialog.h"

#include "historydialog.h"
#include "inputwidget.h"
#include "numbertext.h"
#include "sample.h"
#include "settingsstore.h"
#include "vector2.h"
#include "zentrovadialog.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QCompleter>
#include <QDateEdit>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QShortcut>
#include <QStringListModel>
#include <QTableWidget>
#include <QTimer>
#include <QUuid>
#include <QVBoxLayout>

#include <qwt_legend.h>
#include <qwt_plot.h>
#include <qwt_plot_curve.h>
#include <qwt_plot_marker.h>
#include <qwt_plot_renderer.h>
#include <qwt_plot_zoneitem.h>
#include <qwt_symbol.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace
{
constexpr double code1_scale = 10000.0;
constexpr double code2_scale = 1000.0;
constexpr int shown_decimals = 3;

QString Degrees(double value)
{
    return Number_Text(value, shown_decimals) + QLatin1Char(' ') + Temperature_Unit();
}

quint16 Code_Of(const QString &text)
{
    return static_cast<quint16>(text.toUInt(nullptr, 16));
}

// A computed cell: read-only, centred, made when first needed.
QTableWidgetItem *Computed_Item(QTableWidget *table, int row, int column)
{
    QTableWidgetItem *item = table->item(row, column);
    if (!item)
    {
        item = new QTableWidgetItem;
        item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
        item->setTextAlignment(Qt::AlignCenter);
        table->setItem(row, column, item);
    }
    return item;
}

void Fill_Table(QTableWidget *table, const QList<QStringList> &rows)
{
    table->setRowCount(rows.size());
    for (int row = 0; row < rows.size(); ++row)
        for (int column = 0; column < rows.at(row).size(); ++column)
            Computed_Item(table, row, column)->setText(rows.at(row).at(column));
}

QStringList Result_Cells(const QList<QString> &leading, double error, Verdict verdict)
{
    QStringList cells = leading;
    cells << Number_Text(error, shown_decimals) << Verdict_Text(verdict);
    return cells;
}

QVector<QPointF> Points(const QList<double> &xs, const QList<double> &ys)
{
    QVector<QPointF> points;
    for (int index = 0; index < xs.size(); ++index)
        points << QPointF(xs.at(index), ys.at(index));
    return points;
}

QwtPlotCurve *New_Points_Curve(const QString &title, QwtSymbol::Style style, const QColor &colour,
                               QwtPlot *plot)
{
    auto *curve = new QwtPlotCurve(title);
    curve->setStyle(QwtPlotCurve::NoCurve);
    curve->setSymbol(new QwtSymbol(style, QBrush(colour), QPen(colour.darker()), QSize(8, 8)));
    curve->setLegendAttribute(QwtPlotCurve::LegendShowSymbol);
    curve->attach(plot);
    return curve;
}
} // namespace

TRecordDialog::TRecordDialog(TSettingsStore *store, QWidget *parent)
    : QDialog(parent), d_store(store), d_updating(false), d_history(nullptr),
      d_calibration_id(QUuid::createUuid().toString(QUuid::WithoutBraces)),
      d_serial_completer(nullptr), d_history_label(nullptr), d_history_dialog(nullptr)
{
    setWindowTitle(tr("Calibration Record"));
    // On a small screen the record scrolls; its buttons stay in sight below.
    auto *outer = new QVBoxLayout(this);
    auto *scroll = new QScrollArea(this);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    auto *content = new QWidget(scroll);
    auto *layout = new QGridLayout(content);

    auto *identification = new QGroupBox(tr("Identification"), this);
    auto *form = new QFormLayout(identification);
    d_serial_edit = Add_Field(form, tr("Serial number"), Settings_Keys::Record::serial_number);
    Add_Field(form, tr("Model"), Settings_Keys::Record::model,
              Settings_Keys::Record::default_model);
    Add_Field(form, tr("Owner"), Settings_Keys::Record::owner);
    d_technician_edit = Add_Field(form, tr("Technician"), Settings_Keys::Record::technician);
    d_date_edit = new QDateEdit(QDate::currentDate(), identification);
    d_date_edit->setCalendarPopup(true);
    d_date_edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    d_date_edit->setAccessibleName(tr("Calibration date"));
    form->addRow(tr("Calibration date"), d_date_edit);
    Add_Field(form, tr("Reference thermometer"), Settings_Keys::Record::reference);
    d_reference_uncertainty_edit = Add_Field(form, tr("Reference uncertainty (k=2)"),
                                             Settings_Keys::Record::reference_uncertainty);
    d_resolution_edit = Add_Field(form, tr("Resolution"), Settings_Keys::Record::resolution,
                                  Settings_Keys::Record::default_resolution);
    d_tolerance_edit = Add_Field(form, tr("Tolerance"), Settings_Keys::Record::tolerance);
    d_tolerance_edit->setPlaceholderText(tr("plus or minus degrees; empty: no verdict"));
    // The instrument's history: its last calibration, a warning where the
    // existing codes typed are not those it left, and the drift since.
    d_history_label = new QLabel(identification);
    d_history_label->setWordWrap(true);
    d_history_label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    d_history_label->setAccessibleName(tr("Instrument history"));
    form->addRow(d_history_label);
    layout->addWidget(identification, 0, 0);

    auto *found_box = new QGroupBox(tr("As found"), this);
    auto *found_layout = new QVBoxLayout(found_box);
    d_codes_label = new QLabel(found_box);
    found_layout->addWidget(d_codes_label);
    d_found_table =
        New_Table({tr("Nominal"), tr("Actual"), tr("Reading"), tr("Error"), tr("Verdict")}, false);
    d_found_table->setAccessibleName(tr("As found"));
    found_layout->addWidget(d_found_table);
    layout->addWidget(found_box, 1, 0);

    auto *predicted_box = new QGroupBox(tr("Predicted as left"), this);
    auto *predicted_layout = new QVBoxLayout(predicted_box);
    d_predicted_table = New_Table(
        {tr("Actual"), tr("Predicted reading"), tr("Predicted error"), tr("Verdict")}, false);
    d_predicted_table->setAccessibleName(tr("Predicted as left"));
    predicted_layout->addWidget(d_predicted_table);
    d_predicted_label = new QLabel(predicted_box);
    d_predicted_label->setWordWrap(true);
    predicted_layout->addWidget(d_predicted_label);
    layout->addWidget(predicted_box, 2, 0);

    auto *left_box = new QGroupBox(tr("As left (measured)"), this);
    auto *left_layout = new QVBoxLayout(left_box);
    d_left_table = New_Table({tr("Actual"), tr("Reading"), tr("Error"), tr("Verdict")}, true);
    d_left_table->setAccessibleName(tr("As left (measured)"));
    left_layout->addWidget(d_left_table);
    auto *left_buttons = new QHBoxLayout();
    auto *add_button = new QPushButton(tr("Add Row"), left_box);
    auto *remove_button = new QPushButton(tr("Remove Row"), left_box);
    // Return in a field (of this window or of the main window, whose own
    // search for a default button finds this window's buttons) presses none.
    add_button->setAutoDefault(false);
    remove_button->setAutoDefault(false);
    left_buttons->addWidget(add_button);
    left_buttons->addWidget(remove_button);
    left_buttons->addStretch();
    left_layout->addLayout(left_buttons);
    layout->addWidget(left_box, 3, 0);
    connect(add_button, &QPushButton::clicked, this,
            [this] { Add_As_Left_Row(QString(), QString()); });
    connect(remove_button, &QPushButton::clicked, this,
            [this]
            {
                const int row = d_left_table->currentRow();
                d_left_table->removeRow(row >= 0 ? row : d_left_table->rowCount() - 1);
                Update();
            });
    // A spreadsheet's block of actual and reading cells, as in the main table.
    auto *paste = new QShortcut(QKeySequence::Paste, d_left_table, nullptr, nullptr,
                                Qt::WidgetWithChildrenShortcut);
    connect(paste, &QShortcut::activated, this, &TRecordDialog::Paste_As_Left);
    connect(d_left_table, &QTableWidget::itemChanged, this, [this] { Update(); });

    d_plot = new QwtPlot(this);
    d_plot->setAccessibleName(tr("Error against actual temperature"));
    d_plot->setCanvasBackground(Qt::white);
    d_plot->setAxisTitle(QwtPlot::xBottom, tr("Actual temperature (%1)").arg(Temperature_Unit()));
    d_plot->setAxisTitle(QwtPlot::yLeft, tr("Error (%1)").arg(Temperature_Unit()));
    d_plot->insertLegend(new QwtLegend(), QwtPlot::BottomLegend);
    d_plot->setMinimumSize(420, 300);
    d_tolerance_zone = new QwtPlotZoneItem();
    d_tolerance_zone->setTitle(tr("Tolerance band"));
    d_tolerance_zone->setOrientation(Qt::Horizontal);
    d_tolerance_zone->setBrush(QColor(120, 200, 120, 60));
    d_tolerance_zone->setItemAttribute(QwtPlotItem::Legend, true);
    d_tolerance_zone->attach(d_plot);
    d_zero_marker = new QwtPlotMarker(tr("Zero"));
    d_zero_marker->setLineStyle(QwtPlotMarker::HLine);
    d_zero_marker->setLinePen(QPen(Qt::gray, 0, Qt::DashLine));
    d_zero_marker->setYValue(0.0);
    d_zero_marker->attach(d_plot);
    d_found_curve =
        New_Points_Curve(tr("As found"), QwtSymbol::Ellipse, QColor(200, 60, 40), d_plot);
    d_fit_curve = new QwtPlotCurve(tr("Fitted error"));
    d_fit_curve->setPen(QPen(QColor(200, 60, 40), 1));
    d_fit_curve->attach(d_plot);
    d_predicted_curve =
        New_Points_Curve(tr("Predicted as left"), QwtSymbol::Triangle, QColor(40, 90, 200), d_plot);
    d_left_curve =
        New_Points_Curve(tr("Measured as left"), QwtSymbol::Rect, QColor(30, 140, 60), d_plot);
    layout->addWidget(d_plot, 0, 1, 3, 1);

    d_uncertainty_label = new QLabel(this);
    d_uncertainty_label->setWordWrap(true);
    layout->addWidget(d_uncertainty_label, 3, 1);

    auto *buttons = new QHBoxLayout();
    d_save_button = new QPushButton(tr("Save Certificate..."), this);
    d_print_button = new QPushButton(tr("Print..."), this);
    auto *history_button = new QPushButton(tr("History..."), this);
    auto *close_button = new QPushButton(tr("Close"), this);
    for (QPushButton *button : {history_button, d_save_button, d_print_button, close_button})
        button->setAutoDefault(false);
    buttons->addWidget(history_button);
    buttons->addStretch();
    buttons->addWidget(d_save_button);
    buttons->addWidget(d_print_button);
    buttons->addWidget(close_button);
    scroll->setWidget(content);
    outer->addWidget(scroll);
    outer->addLayout(buttons);
    connect(d_save_button, &QPushButton::clicked, this, &TRecordDialog::Save_Certificate_As);
    connect(d_print_button, &QPushButton::clicked, this, &TRecordDialog::Print_Certificate);
    connect(close_button, &QPushButton::clicked, this, &QDialog::close);
    connect(history_button, &QPushButton::clicked, this, &TRecordDialog::Open_History);

    d_history = new THistoryClient(History_Connection::From_Settings(*d_store), this);
    d_serial_completer = new QCompleter(this);
    d_serial_completer->setCaseSensitivity(Qt::CaseInsensitive);
    d_serial_completer->setModel(new QStringListModel(d_serial_completer));
    d_serial_edit->setCompleter(d_serial_completer);
    connect(d_history, &THistoryClient::Opened, this,
            [this](const QString &failure, const QString &notice)
            {
                d_history_failure = failure;
                if (!notice.isEmpty())
                {
                    d_history_notice = notice;
                    qWarning("Zentrova Calibrator: %s", qUtf8Printable(notice));
                }
                d_last_serial.clear();
                Update();
            });
    connect(d_history, &THistoryClient::Completed, this,
            [this](const QString &, const QStringList &serials)
            {
                auto *model = static_cast<QStringListModel *>(d_serial_completer->model());
                if (model->stringList() != serials)
                    model->setStringList(serials);
            });
    connect(d_history, &THistoryClient::Last_Found, this,
            [this](const QString &serial, const Last_Calibration &last)
            {
                if (serial != d_serial_edit->text().trimmed())
                    return;
                d_last = last;
                const QString text = History_Text();
                d_history_label->setText(text);
                d_history_label->setVisible(!text.isEmpty());
            });
    // After the window is first shown.
    QTimer::singleShot(0, this, [this] { d_history->Open(); });

    // As large as the record wants, as far as the screen allows.
    const QScreen *screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    QSize wanted = content->sizeHint() +
                   QSize(scroll->verticalScrollBar()->sizeHint().width(),
                         buttons->sizeHint().height() + outer->spacing()) +
                   QSize(outer->contentsMargins().left() + outer->contentsMargins().right(),
                         outer->contentsMargins().top() + outer->contentsMargins().bottom());
    if (screen)
    {
        // Room for the window's title bar and frame.
        constexpr int frame_allowance = 60;
        wanted = wanted.boundedTo(screen->availableGeometry().size() -
                                  QSize(frame_allowance / 3, frame_allowance));
    }
    resize(wanted);

    Load();
    for (const auto &field : d_fields)
        connect(field.first, &QLineEdit::textChanged, this, [this] { Update(); });
    connect(d_date_edit, &QDateEdit::dateChanged, this, [this] { Update(); });
    Update();
}

QLineEdit *TRecordDialog::Add_Field(QFormLayout *form, const QString &label, const QString &key,
                                    const QString &default_text)
{
    auto *field = new QLineEdit(default_text, form->parentWidget());
    field->setAccessibleName(label);
    form->addRow(label, field);
    d_fields << qMakePair(field, key);
    return field;
}

QTableWidget *TRecordDialog::New_Table(const QStringList &header, bool editable)
{
    auto *table = new QTableWidget(0, header.size(), this);
    table->setHorizontalHeaderLabels(header);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    // The verdict is words, never colour alone; it gets the room it needs.
    table->horizontalHeader()->setSectionResizeMode(header.size() - 1,
                                                    QHeaderView::ResizeToContents);
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
    if (!editable)
        table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // As tall as its rows, up to a screenful's share; then it scrolls.
    table->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
    table->setMinimumHeight(90);
    table->setMaximumHeight(260);
    table->setMinimumWidth(560);
    return table;
}

void TRecordDialog::Load()
{
    using namespace Settings_Keys;
    for (const auto &[field, key] : d_fields)
    {
        const QVariant value = d_store->Value(Record::Key(key));
        if (value.isValid())
            field->setText(value.toString());
    }
    const QDate date = QDate::fromString(
        d_store->Value(Record::Key(Record::calibration_date)).toString(), Qt::ISODate);
    if (date.isValid())
        d_date_edit->setDate(date);
    const int rows = std::clamp(d_store->Value(Record::Key(Record::as_left_count), 0).toInt(), 0,
                                TInputWidget::Maximum_Rows);
    for (int row = 0; row < rows; ++row)
        Add_As_Left_Row(d_store->Value(Record::Key(Record::As_Left_Key(true, row))).toString(),
                        d_store->Value(Record::Key(Record::As_Left_Key(false, row))).toString());
}

void TRecordDialog::Save(QSettings &settings) const
{
    using namespace Settings_Keys;
    settings.beginGroup(Record::group);
    for (const auto &[field, key] : d_fields)
        settings.setValue(key, field->text());
    settings.setValue(Record::calibration_date, d_date_edit->date().toString(Qt::ISODate));
    settings.setValue(Record::as_left_count, d_left_table->rowCount());
    for (int row = 0; row < d_left_table->rowCount(); ++row)
        for (int column : {0, 1})
        {
            const QTableWidgetItem *item = d_left_table->item(row, column);
            settings.setValue(Record::As_Left_Key(column == 0, row),
                              item ? item->text() : QString());
        }
    settings.endGroup();
}

void TRecordDialog::Set_Calibration(const Calibration_State &state)
{
    d_state = state;
    Update();
}

double TRecordDialog::Number(const QLineEdit *field, double fallback) const
{
    double value = fallback;
    Read_Number_Text(field->text(), &value);
    return value;
}

bool TRecordDialog::Tolerance(double *tolerance) const
{
    return Read_Number_Text(d_tolerance_edit->text(), tolerance) && *tolerance >= 0.0;
}

Residual_Spread TRecordDialog::Spread() const
{
    QList<double> actuals;
    QList<double> readings;
    for (const QStringList &sample : d_state.samples)
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
    return Fit_Residual_Spread(actuals, readings);
}

TRecordDialog::Judging TRecordDialog::Current_Judging() const
{
    Judging judging;
    judging.has_tolerance = Tolerance(&judging.tolerance);
    judging.spread = Spread();
    judging.uncertainty = Expanded_Uncertainty(Number(d_reference_uncertainty_edit, 0.0),
                                               judging.spread.valid ? judging.spread.s : 0.0,
                                               Number(d_resolution_edit, 0.0));
    return judging;
}

QList<TRecordDialog::Row_Result> TRecordDialog::As_Found(const Judging &judging) const
{
    QList<Row_Result> rows;
    for (const QStringList &sample : d_state.samples)
    {
        Row_Result row{0.0, 0.0, std::nan(""), Verdict::None};
        if (Read_Number_Text(sample.value(1), &row.actual) &&
            Read_Number_Text(sample.value(2), &row.reading))
            row.error = row.reading - row.actual;
        row.verdict = judging.Of(row.error);
        rows << row;
    }
    return rows;
}

QList<TRecordDialog::Row_Result> TRecordDialog::Predicted(const QList<Row_Result> &found,
                                                          const Judging &judging) const
{
    QList<Row_Result> rows;
    if (!d_state.has_codes)
        return rows;
    const double slope_change =
        Code_Change(Code_Of(d_state.new_code1), Code_Of(d_state.existing_code1), code1_scale);
    const double offset_change =
        Code_Change(Code_Of(d_state.new_code2), Code_Of(d_state.existing_code2), code2_scale);
    for (const Row_Result &sample : found)
    {
        Row_Result row{sample.actual,
                       Predicted_Reading(sample.reading, slope_change, offset_change), 0.0,
                       Verdict::None};
        row.error = row.reading - row.actual;
        row.verdict = judging.Of(row.error);
        rows << row;
    }
    return rows;
}

QList<TRecordDialog::Row_Result> TRecordDialog::As_Left_Measured(const Judging &judging) const
{
    QList<Row_Result> rows;
    for (int index = 0; index < d_left_table->rowCount(); ++index)
    {
        const QTableWidgetItem *actual = d_left_table->item(index, 0);
        const QTableWidgetItem *reading = d_left_table->item(index, 1);
        Row_Result row{0.0, 0.0, std::nan(""), Verdict::None};
        if (actual && reading && Read_Number_Text(actual->text(), &row.actual) &&
            Read_Number_Text(reading->text(), &row.reading))
            row.error = row.reading - row.actual;
        row.verdict = judging.Of(row.error);
        rows << row;
    }
    return rows;
}

void TRecordDialog::Update()
{
    if (d_updating)
        return;
    d_updating = true;
    d_codes_label->setText(tr("Existing codes %1 / %2; new codes %3 / %4")
                               .arg(d_state.existing_code1, d_state.existing_code2,
                                    d_state.new_code1, d_state.new_code2));

    const Judging judging = Current_Judging();
    const QList<Row_Result> found = As_Found(judging);
    QList<QStringList> rows;
    for (int index = 0; index < found.size(); ++index)
    {
        const QStringList &sample = d_state.samples.at(index);
        rows << (std::isfinite(found.at(index).error)
                     ? Result_Cells({sample.value(0), sample.value(1), sample.value(2)},
                                    found.at(index).error, found.at(index).verdict)
                     : QStringList{sample.value(0), sample.value(1), sample.value(2),
                                   tr("not a number"), QString()});
    }
    Fill_Table(d_found_table, rows);

    const QList<Row_Result> predicted = Predicted(found, judging);
    rows.clear();
    double largest = 0.0;
    for (const Row_Result &row : predicted)
    {
        rows << Result_Cells(
            {Number_Text(row.actual, shown_decimals), Number_Text(row.reading, shown_decimals)},
            row.error, row.verdict);
        largest = std::max(largest, std::fabs(row.error));
    }
    Fill_Table(d_predicted_table, rows);
    const Residual_Spread &spread = judging.spread;
    if (!d_state.has_codes)
        d_predicted_label->setText(
            tr("No prediction: the calibration window shows no new codes.") +
            (d_state.why_no_codes.isEmpty() ? QString() : QLatin1Char(' ') + d_state.why_no_codes));
    else
        d_predicted_label->setText(
            tr("Largest predicted error: %1. Residual standard deviation of the fit: %2.")
                .arg(Degrees(largest), spread.valid ? Degrees(spread.s)
                                                    : tr("none below three samples (taken as 0)")));

    const QList<Row_Result> left = As_Left_Measured(judging);
    {
        const QSignalBlocker blocker(d_left_table);
        for (int index = 0; index < left.size(); ++index)
            for (int column : {2, 3})
            {
                QTableWidgetItem *item = Computed_Item(d_left_table, index, column);
                const Row_Result &row = left.at(index);
                item->setText(column == 2 ? (std::isfinite(row.error)
                                                 ? Number_Text(row.error, shown_decimals)
                                                 : tr("not a number"))
                                          : Verdict_Text(row.verdict));
            }
    }

    QString statement =
        tr("Expanded uncertainty of the as-left errors U = %1 (k = 2, about 95 %), from the "
           "reference (%2, k = 2), the resolution (%3) and the fit's residual standard "
           "deviation (%4).")
            .arg(Degrees(judging.uncertainty), Degrees(Number(d_reference_uncertainty_edit, 0.0)),
                 Degrees(Number(d_resolution_edit, 0.0)),
                 spread.valid ? Degrees(spread.s) : tr("taken as 0 below three samples"));
    statement +=
        QLatin1Char(' ') + (judging.has_tolerance
                                ? tr("Decision rule: simple acceptance, |error| <= %1 passes.")
                                      .arg(Degrees(judging.tolerance))
                                : tr("No tolerance given: no verdict."));
    d_uncertainty_label->setText(statement);

    Update_Plot(found, predicted, left, judging);

    const QString why_not = Why_No_Certificate();
    for (QPushButton *button : {d_save_button, d_print_button})
    {
        button->setEnabled(why_not.isEmpty());
        button->setToolTip(why_not);
    }
    Update_History();
    d_updating = false;
}

void TRecordDialog::Update_Plot(const QList<Row_Result> &found, const QList<Row_Result> &predicted,
                                const QList<Row_Result> &left, const Judging &judging)
{
    const auto set_points = [](QwtPlotCurve *curve, const QList<Row_Result> &rows)
    {
        QList<double> xs;
        QList<double> ys;
        for (const Row_Result &row : rows)
            if (std::isfinite(row.error))
            {
                xs << row.actual;
                ys << row.error;
            }
        curve->setSamples(Points(xs, ys));
        return std::make_pair(xs, ys);
    };
    const auto [found_x, found_y] = set_points(d_found_curve, found);
    set_points(d_predicted_curve, predicted);
    set_points(d_left_curve, left);

    // The as-found error as the least-squares line over the actual temperature.
    std::vector<Vector2> points;
    for (int index = 0; index < found_x.size(); ++index)
        points.push_back(Vector2(found_x.at(index), found_y.at(index)));
    double slope = 0.0;
    double offset = 0.0;
    QVector<QPointF> line;
    if (TZentrovaDialog::Fit_Line(points, &slope, &offset) && std::isfinite(slope) &&
        std::isfinite(offset))
    {
        const auto [low, high] = std::minmax_element(found_x.begin(), found_x.end());
        line << QPointF(*low, slope * *low + offset) << QPointF(*high, slope * *high + offset);
    }
    d_fit_curve->setSamples(line);

    d_tolerance_zone->setVisible(judging.has_tolerance);
    if (judging.has_tolerance)
        d_tolerance_zone->setInterval(-judging.tolerance, judging.tolerance);
    d_plot->replot();

    // The ranges in words, for whoever cannot see the plot.
    QList<double> errors;
    QList<double> actuals;
    for (const QList<Row_Result> *rows : {&found, &predicted, &left})
        for (const Row_Result &row : *rows)
            if (std::isfinite(row.error))
            {
                errors << row.error;
                actuals << row.actual;
            }
    QString description;
    if (errors.isEmpty())
        description = tr("No points.");
    else
        description = tr("Errors from %1 to %2 over actual temperatures from %3 to %4.")
                          .arg(Degrees(*std::min_element(errors.begin(), errors.end())),
                               Degrees(*std::max_element(errors.begin(), errors.end())),
                               Degrees(*std::min_element(actuals.begin(), actuals.end())),
                               Degrees(*std::max_element(actuals.begin(), actuals.end())));
    if (judging.has_tolerance)
        description +=
            QLatin1Char(' ') + tr("Tolerance plus or minus %1.").arg(Degrees(judging.tolerance));
    d_plot->setAccessibleDescription(description);
}

void TRecordDialog::Add_As_Left_Row(const QString &actual, const QString &reading)
{
    const QSignalBlocker blocker(d_left_table);
    const int row = d_left_table->rowCount();
    d_left_table->insertRow(row);
    d_left_table->setItem(row, 0, new QTableWidgetItem(actual));
    d_left_table->setItem(row, 1, new QTableWidgetItem(reading));
    Update();
}

void TRecordDialog::Paste_As_Left()
{
    QString text = QApplication::clipboard()->text();
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    const int first_row = std::max(0, d_left_table->currentRow());
    const int first_column = std::clamp(d_left_table->currentColumn(), 0, 1);
    const QStringList lines = text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    {
        const QSignalBlocker blocker(d_left_table);
        for (int index = 0; index < lines.size(); ++index)
        {
            const QStringList cells = lines.at(index).split(QLatin1Char('\t'));
            // A first line of column names is left out.
            double ignored = 0.0;
            if (index == 0 && !Read_Number_Text(cells.value(0), &ignored) &&
                cells.value(0).trimmed().toLower() == QStringLiteral("actual"))
                continue;
            const int row = first_row + index;
            while (d_left_table->rowCount() <= row)
                d_left_table->insertRow(d_left_table->rowCount());
            for (int cell = 0; cell < cells.size() && first_column + cell < 2; ++cell)
                d_left_table->setItem(row, first_column + cell,
                                      new QTableWidgetItem(cells.at(cell)));
        }
    }
    Update();
}

QString TRecordDialog::Why_No_Certificate() const
{
    if (d_serial_edit->text().trimmed().isEmpty())
        return tr("No certificate without a serial number.");
    if (!d_state.has_codes)
        return tr("No certificate while the calibration window shows no new codes.");
    return QString();
}

QString TRecordDialog::Next_Certificate_Number() const
{
    using namespace Settings_Keys;
    const QString serial = d_serial_edit->text().trimmed();
    const QDate date = d_date_edit->date();
    int count = 1;
    if (d_store->Value(Record::Key(Record::last_certificate_serial)).toString() == serial &&
        d_store->Value(Record::Key(Record::last_certificate_date)).toString() ==
            date.toString(Qt::ISODate))
        count = d_store->Value(Record::Key(Record::last_certificate_count), 0).toInt() + 1;
    return Certificate_Number(serial, date, count);
}

Certificate_Content TRecordDialog::Content() const
{
    Certificate_Content content;
    content.title = tr("Calibration Certificate");
    content.number = Next_Certificate_Number();
    QList<QPair<QString, QString>> identification;
    for (const auto &[field, key] : d_fields)
    {
        Q_UNUSED(key)
        if (field == d_technician_edit)
            continue;
        identification << qMakePair(field->accessibleName(), field->text());
    }
    identification.insert(
        3, qMakePair(tr("Calibration date"), d_date_edit->date().toString(Qt::ISODate)));
    Certificate_Section item;
    item.heading = tr("Item calibrated");
    item.table.header = QStringList{tr("Field"), tr("Value"), tr("Field"), tr("Value")};
    for (int index = 0; index < identification.size(); index += 2)
    {
        QStringList row{identification.at(index).first, identification.at(index).second};
        if (index + 1 < identification.size())
            row << identification.at(index + 1).first << identification.at(index + 1).second;
        item.table.rows << row;
    }
    content.sections << item;
    Certificate_Section method;
    method.heading = tr("Method");
    method.before
        << tr("Comparison with a reference thermometer at the temperatures listed below. The "
              "slope code (Code 1) and the offset code (Code 2) are corrected by a least-squares "
              "fit of the error of the readings against the readings. Temperatures in %1.")
               .arg(Temperature_Unit());
    content.sections << method;
    Certificate_Section codes;
    codes.heading = tr("Calibration codes");
    codes.table.header = QStringList{tr("Code"), tr("As found (existing)"), tr("As left (new)")};
    codes.table.rows << QStringList{tr("Code 1 (slope)"), d_state.existing_code1, d_state.new_code1}
                     << QStringList{tr("Code 2 (offset)"), d_state.existing_code2,
                                    d_state.new_code2};
    content.sections << codes;

    const Judging judging = Current_Judging();
    const QList<Row_Result> found = As_Found(judging);
    Certificate_Section found_section;
    found_section.heading = tr("Results as found, before adjustment");
    found_section.table.header =
        QStringList{tr("Nominal"), tr("Actual"), tr("Reading"), tr("Error"), tr("Verdict")};
    for (int index = 0; index < found.size(); ++index)
    {
        const QStringList &sample = d_state.samples.at(index);
        found_section.table.rows << Result_Cells(
            {sample.value(0), sample.value(1), sample.value(2)}, found.at(index).error,
            found.at(index).verdict);
    }
    content.sections << found_section;
    Certificate_Section left_section;
    QList<Row_Result> left = As_Left_Measured(judging);
    if (!left.isEmpty())
        left_section.heading = tr("Results as left, measured after adjustment");
    else
    {
        left = Predicted(found, judging);
        left_section.heading = tr("Results as left: predicted, not measured");
    }
    left_section.table.header =
        QStringList{tr("Actual"), tr("Reading"), tr("Error"), tr("Verdict")};
    QList<Verdict> verdicts;
    for (const Row_Result &row : left)
    {
        left_section.table.rows << Result_Cells(
            {Number_Text(row.actual, shown_decimals), Number_Text(row.reading, shown_decimals)},
            row.error, row.verdict);
        verdicts << row.verdict;
    }
    left_section.plot = true;
    content.sections << left_section;
    Certificate_Section uncertainty;
    uncertainty.heading = tr("Measurement uncertainty");
    uncertainty.before << d_uncertainty_label->text();
    content.sections << uncertainty;
    Certificate_Section verdict;
    verdict.heading = tr("Decision rule and verdict");
    verdict.before
        << (judging.has_tolerance
                ? tr("Simple acceptance: an error whose magnitude is at most the tolerance of "
                     "plus or minus %1 passes; a pass whose magnitude plus U exceeds the tolerance "
                     "is stated as a pass within the uncertainty of the limit.")
                      .arg(Degrees(judging.tolerance))
                : tr("No tolerance was given: no statement of conformity is made."));
    const Verdict overall = Overall_Verdict(verdicts);
    if (overall != Verdict::None)
        verdict.before << tr("Verdict as left: %1.").arg(Verdict_Text(overall));
    verdict.before << tr("The results relate only to the item calibrated.")
                   << tr("Calibrated by: %1").arg(d_technician_edit->text());
    content.sections << verdict;
    content.closing = tr("End of certificate");
    return content;
}

QImage TRecordDialog::Plot_Picture() const
{
    QImage plot(800, 460, QImage::Format_RGB32);
    plot.fill(Qt::white);
    QPainter painter(&plot);
    QwtPlotRenderer renderer;
    renderer.setDiscardFlag(QwtPlotRenderer::DiscardBackground);
    renderer.render(d_plot, &painter, QRectF(plot.rect()));
    return plot;
}

QString TRecordDialog::Save_Certificate(const QString &path)
{
    // The samples and codes on a certificate belong together: any edit in
    // progress in either window is taken first (moving off the cell being
    // edited commits it).
    d_left_table->setCurrentIndex(QModelIndex());
    emit Current_State_Wanted();
    Update();
    const QString why_not = Why_No_Certificate();
    if (!why_not.isEmpty())
        return why_not;
    Certificate_Content content = Content();
    const QString not_issued = Issue(&content);
    if (!not_issued.isEmpty())
        return not_issued;
    const QString failure = Write_Certificate_Pdf(path, content, Plot_Picture());
    if (!failure.isEmpty())
        return failure;
    Count_Certificate(content.number);
    // The next save is the next calibration.
    d_calibration_id = QUuid::createUuid().toString(QUuid::WithoutBraces);
    d_last_serial.clear();
    Update();
    return QString();
}

QString TRecordDialog::Issue(Certificate_Content *content)
{
    constexpr int issue_wait_ms = 10000;
    content->number.clear();
    const Issue_Result result = d_history->Issue(History_Of(*content), issue_wait_ms);
    d_history_message.clear();
    if (!result.failure.isEmpty())
    {
        d_history_message = tr("No certificate was issued: %1.").arg(result.failure);
        qWarning("Zentrova Calibrator: %s", qUtf8Printable(d_history_message));
        Update_History();
        return d_history_message;
    }
    d_history_failure.clear();
    content->number = result.number;
    return QString();
}

void TRecordDialog::Count_Certificate(const QString &number)
{
    using namespace Settings_Keys;
    const int count = number.section(QLatin1Char('-'), -1).toInt();
    const QString serial = d_serial_edit->text().trimmed();
    const QString date = d_date_edit->date().toString(Qt::ISODate);
    // Kept at once, so that the next certificate of the day counts on even
    // if the program does not get to close normally.
    d_store->Write(
        [&](QSettings &settings)
        {
            settings.setValue(Record::Key(Record::last_certificate_serial), serial);
            settings.setValue(Record::Key(Record::last_certificate_date), date);
            settings.setValue(Record::Key(Record::last_certificate_count), count);
        });
}

void TRecordDialog::Save_Certificate_As()
{
    emit Current_State_Wanted();
    const QString suggested =
        QDir::home().absoluteFilePath(Next_Certificate_Number() + QStringLiteral(".pdf"));
    // The file dialog asks before it replaces an existing file.
    const QString path = QFileDialog::getSaveFileName(this, tr("Save Certificate"), suggested,
                                                      tr("PDF files (*.pdf)"));
    if (path.isEmpty())
        return;
    const QString failure = Save_Certificate(path);
    if (!failure.isEmpty())
        QMessageBox::warning(this, tr("Save Certificate"),
                             tr("The certificate was not saved.\n\n%1").arg(failure));
}

void TRecordDialog::Print_Certificate()
{
    emit Current_State_Wanted();
    Update();
    if (!Why_No_Certificate().isEmpty())
        return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    Certificate_Content content = Content();
    const QString not_issued = Issue(&content);
    if (!not_issued.isEmpty())
    {
        QMessageBox::warning(this, tr("Print"), not_issued);
        return;
    }
    if (!Paint_Certificate(&printer, content, Plot_Picture()))
        QMessageBox::warning(this, tr("Print"), tr("The certificate could not be printed."));
}

History_Record TRecordDialog::History_Of(const Certificate_Content &content) const
{
    const Judging judging = Current_Judging();
    const QList<Row_Result> found = As_Found(judging);
    const QList<Row_Result> predicted = Predicted(found, judging);
    const QList<Row_Result> left = As_Left_Measured(judging);
    History_Record record;
    record.calibration_id = d_calibration_id;
    record.issue_date = QDate::currentDate().toString(Qt::ISODate);
    record.serial = d_serial_edit->text().trimmed();
    const auto field_text = [this](const QString &key)
    {
        for (const auto &[field, field_key] : d_fields)
            if (field_key == key)
                return field->text();
        return QString();
    };
    record.model = field_text(Settings_Keys::Record::model);
    record.owner = field_text(Settings_Keys::Record::owner);
    record.reference = field_text(Settings_Keys::Record::reference);
    record.calibration_date = d_date_edit->date().toString(Qt::ISODate);
    record.technician = d_technician_edit->text();
    record.reference_uncertainty = Number(d_reference_uncertainty_edit, std::nan(""));
    record.resolution = Number(d_resolution_edit, std::nan(""));
    record.tolerance = judging.has_tolerance ? judging.tolerance : std::nan("");
    record.existing_code1 = d_state.existing_code1;
    record.existing_code2 = d_state.existing_code2;
    record.new_code1 = d_state.new_code1;
    record.new_code2 = d_state.new_code2;
    record.uncertainty = judging.uncertainty;
    record.as_left_measured = !left.isEmpty();

    QList<double> nominals;
    QList<Verdict> found_verdicts;
    for (int index = 0; index < found.size(); ++index)
    {
        double nominal = std::nan("");
        Read_Number_Text(d_state.samples.at(index).value(0), &nominal);
        nominals << nominal;
        const Row_Result &row = found.at(index);
        record.points << History_Point{
            QStringLiteral("found"),  nominal, row.actual, row.reading, row.error,
            Verdict_Text(row.verdict)};
        found_verdicts << row.verdict;
    }
    QList<Verdict> left_verdicts;
    for (int index = 0; index < predicted.size(); ++index)
    {
        const Row_Result &row = predicted.at(index);
        record.points << History_Point{
            QStringLiteral("predicted"), nominals.value(index), row.actual, row.reading, row.error,
            Verdict_Text(row.verdict)};
        if (left.isEmpty())
            left_verdicts << row.verdict;
    }
    for (const Row_Result &row : left)
    {
        // A measured point belongs to the nominal temperature of the sample
        // whose actual temperature is nearest, within a degree.
        double nominal = std::nan("");
        double nearest = 1.0;
        for (int index = 0; index < found.size(); ++index)
            if (std::fabs(found.at(index).actual - row.actual) <= nearest)
            {
                nearest = std::fabs(found.at(index).actual - row.actual);
                nominal = nominals.at(index);
            }
        record.points << History_Point{
            QStringLiteral("left"),   nominal, row.actual, row.reading, row.error,
            Verdict_Text(row.verdict)};
        left_verdicts << row.verdict;
    }
    record.verdict_as_found = Verdict_Text(Overall_Verdict(found_verdicts));
    record.verdict_as_left = Verdict_Text(Overall_Verdict(left_verdicts));
    record.content = Certificate_Json(content);
    return record;
}

QString TRecordDialog::History_Text() const
{
    QStringList lines;
    if (!d_history_failure.isEmpty())
        lines << tr("The history cannot be used: %1.").arg(d_history_failure);
    for (const QString &message : {d_history_notice, d_history_message})
        if (!message.isEmpty())
            lines << message;
    if (d_last.found)
    {
        lines << tr("Last calibration: %1, certificate %2, codes left %3 / %4%5.")
                     .arg(d_last.calibration_date, d_last.certificate_number, d_last.new_code1,
                          d_last.new_code2,
                          d_last.verdict_as_left.isEmpty()
                              ? QString()
                              : tr(", verdict as left: %1").arg(d_last.verdict_as_left));
        // A mistyped existing code gives a plausible wrong new code.
        const std::pair<QString, QString> codes[] = {{d_state.existing_code1, d_last.new_code1},
                                                     {d_state.existing_code2, d_last.new_code2}};
        for (int index = 0; index < 2; ++index)
            if (codes[index].first.compare(codes[index].second, Qt::CaseInsensitive) != 0)
                lines << tr("Warning: Existing Code %1 is %2; the last calibration left %3.")
                             .arg(index + 1)
                             .arg(codes[index].first.toUpper(), codes[index].second);
        QList<History_Point> found_now;
        const QList<Row_Result> found = As_Found(Current_Judging());
        for (int index = 0; index < found.size(); ++index)
        {
            double nominal = std::nan("");
            Read_Number_Text(d_state.samples.at(index).value(0), &nominal);
            found_now << History_Point{QStringLiteral("found"), nominal,
                                       found.at(index).actual,  found.at(index).reading,
                                       found.at(index).error,   QString()};
        }
        const Drift drift = Compute_Drift(found_now, d_last.as_left);
        if (!drift.points.isEmpty())
        {
            QStringList each;
            for (const auto &[nominal, change] : drift.points)
                each << tr("%1: %2").arg(QString::number(nominal),
                                         Number_Text(change, shown_decimals));
            lines << tr("Drift since then (this as-found error minus the last as-left error) at "
                        "%1; the largest %2.")
                         .arg(each.join(QStringLiteral(", ")), Degrees(drift.largest));
        }
    }
    return lines.join(QLatin1Char('\n'));
}

void TRecordDialog::Update_History()
{
    const QString serial = d_serial_edit->text().trimmed();
    if (serial != d_last_serial || serial.isEmpty())
    {
        // Answered with Last_Found; until then no last calibration is shown.
        d_last_serial = serial;
        d_last = Last_Calibration();
        if (!serial.isEmpty())
        {
            d_history->Find_Last(serial, d_calibration_id);
            d_history->Complete(serial);
        }
    }
    const QString text = History_Text();
    d_history_label->setText(text);
    d_history_label->setVisible(!text.isEmpty());
}

void TRecordDialog::Open_History()
{
    if (!d_history_dialog)
        d_history_dialog = new THistoryDialog(d_history, d_store, this);
    d_history_dialog->Set_Filter(d_serial_edit->text().trimmed());
    d_history_dialog->show();
    d_history_dialog->raise();
    d_history_dialog->activateWindow();
}
