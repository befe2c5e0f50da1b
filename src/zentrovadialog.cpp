#include "zentrovadialog.h"

#include "calibrationrecord.h"
#include "check.h"
#include "codetruncation.h"
#include "fieldmark.h"
#include "helptext.h"
#include "hexeditwidget.h"
#include "inputwidget.h"
#include "numbertext.h"
#include "recorddialog.h"
#include "recordmodel.h"
#include "samplescrollarea.h"
#include "session.h"
#include "settingsdialog.h"
#include "settingsstore.h"
#include "windowframe.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>
#include <QSettings>
#include <QShortcut>
#include <QShowEvent>
#include <QSpacerItem>
#include <QTextEdit>
#include <QToolButton>

#include <algorithm>
#include <cmath>

namespace
{
constexpr int code_max_width = 100;
constexpr QSize meter_size(196, 196);

const QString no_code = QStringLiteral("----");

// A screen reader gets each result as the label's description, with the
// unit spoken, and hears of a change once, only when the text changed.
void Show_Result(QLabel *label, const QString &text)
{
    if (label->text() == text)
        return;
    label->setText(text);
    QString spoken = text;
    spoken.replace(Temperature_Unit(), TZentrovaDialog::tr("degrees Celsius"));
    if (text.startsWith(no_code))
        spoken = TZentrovaDialog::tr("no result");
    label->setAccessibleDescription(spoken);
}

QString Copy_Hint()
{
    return TZentrovaDialog::tr("Ctrl+Shift+C copies the calibration record: the codes as "
                               "found, the samples and the codes as left.");
}

QLabel *New_Caption(const QString &text, QWidget *parent)
{
    auto *caption = new QLabel(text, parent);
    caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return caption;
}

QFrame *New_Line(QFrame::Shape shape, QWidget *parent)
{
    auto *line = new QFrame(parent);
    line->setFrameShape(shape);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

// Changes the two policies only: the widget's height-for-width flag stays.
QSizePolicy Keep_Height_For_Width(const QWidget *widget, QSizePolicy::Policy horizontal,
                                  QSizePolicy::Policy vertical)
{
    QSizePolicy policy = widget->sizePolicy();
    policy.setHorizontalPolicy(horizontal);
    policy.setVerticalPolicy(vertical);
    return policy;
}

// What the window's first column needs besides the table: the table's cell
// may have what the screen leaves of it.
int Height_Beside_Table(const QGridLayout *grid)
{
    const QMargins margins = grid->contentsMargins();
    int height = margins.top() + margins.bottom();
    for (int row = 0; row < grid->rowCount(); ++row)
    {
        if (row > 0)
            height += grid->verticalSpacing();
        if (row == 1) // the table's own cell
            continue;
        if (const QLayoutItem *item = grid->itemAtPosition(row, 0))
            height += item->sizeHint().height();
    }
    return height;
}

} // namespace

TZentrovaDialog::TZentrovaDialog(QWidget *parent, Qt::WindowFlags flags)
    : QDialog(parent, flags), d_settings(nullptr), d_settings_dialog(nullptr),
      d_record_model(new TRecordModel(this))
{
    Open_Settings();

    const QFont dialog_font(QStringLiteral("Verdana"), 16, QFont::Medium);

    auto *main_grid = new QGridLayout(this);
    main_grid->setSizeConstraint(QLayout::SetFixedSize);
    QLayout *top_bar = Build_Top_Bar(dialog_font);
    main_grid->addLayout(top_bar, 0, 0, 1, 1);
    d_input_widget = new TInputWidget(this);
    auto *table_area = new TSampleScrollArea(d_input_widget, d_input_widget->Header_Labels(), this);
    main_grid->addWidget(table_area, 1, 0, 1, 1);
    main_grid->addLayout(Build_Legend(), 2, 0, 1, 1);
    main_grid->addWidget(New_Line(QFrame::VLine, this), 0, 1, 3, 1);
    main_grid->addLayout(Build_Codes_Panel(dialog_font), 0, 2, 3, 1);

    d_help_textedit = new QTextEdit(this);
    d_help_textedit->setReadOnly(true);
    d_help_textedit->setMinimumWidth(500);
    d_help_textedit->setSizePolicy(Keep_Height_For_Width(
        d_help_textedit, QSizePolicy::MinimumExpanding, QSizePolicy::Expanding));
    d_help_textedit->setHtml(Help_Html());
    d_help_textedit->setAccessibleName(tr("Recommended calibration procedure"));
    main_grid->addWidget(d_help_textedit, 0, 3, 5, 1);

    main_grid->addWidget(New_Line(QFrame::HLine, this), 3, 0, 1, 3);
    QLayout *bottom_bar = Build_Bottom_Bar();
    main_grid->addLayout(bottom_bar, 4, 0, 1, 3);

    // The keyboard follows the procedure in the help panel: the existing
    // codes first, then the samples (the table keeps its own rows, add and
    // remove buttons in order), then the rest. Each bar's button is its last
    // item.
    const auto last_widget = [](QLayout *bar) { return bar->itemAt(bar->count() - 1)->widget(); };
    d_help_textedit->setTabChangesFocus(true);
    table_area->setFocusPolicy(Qt::NoFocus);
    QList<QWidget *> tab_order{d_code1_hexedit, d_code2_hexedit};
    for (QWidget *widget = nextInFocusChain(); widget != this; widget = widget->nextInFocusChain())
        if (d_input_widget->isAncestorOf(widget) && widget->focusPolicy() != Qt::NoFocus)
            tab_order << widget;
    tab_order << last_widget(top_bar) << d_help_button << d_help_textedit
              << bottom_bar->itemAt(bottom_bar->count() - 2)->widget() // Record...
              << last_widget(bottom_bar);
    for (int index = 1; index < tab_order.size(); ++index)
        setTabOrder(tab_order[index - 1], tab_order[index]);
    d_code1_hexedit->setFocus();

    // The calibration record goes to the clipboard from anywhere in the window.
    auto *copy_record = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C), this);
    connect(copy_record, &QShortcut::activated, this, &TZentrovaDialog::Copy_Record);

    d_help_textedit->hide();
    table_area->Set_Reserved_Height(Height_Beside_Table(main_grid));

    Load_Settings();
    d_record_model->Restore(Load_Record_State(*d_settings));
    d_record_model->Set_Laboratory(Load_Laboratory(*d_settings));
    Data_Changed();
    // A first start's rows are examples: no certificate is made of them.
    if (d_example_rows)
        d_record_model->Hold_Samples_Shown();

    setWindowTitle(QStringLiteral("Zentrova Calibrator Version 2.1"));

    connect(d_input_widget, &TInputWidget::Data_Changed, this, &TZentrovaDialog::Data_Changed);
    connect(d_code1_hexedit, &THexEditWidget::Changed, this, &TZentrovaDialog::Data_Changed);
    connect(d_code2_hexedit, &THexEditWidget::Changed, this, &TZentrovaDialog::Data_Changed);
    // Marked when its editing ends (not while the user types the four
    // digits), unmarked as soon as it is complete again.
    for (THexEditWidget *field : {d_code1_hexedit, d_code2_hexedit})
    {
        connect(field, &QLineEdit::editingFinished, this,
                [this, field] { Mark_Code_Field(field); });
        connect(field, &QLineEdit::textChanged, this,
                [this, field]
                {
                    if (field->Is_Complete())
                        Mark_Code_Field(field);
                });
    }
    // Qt sends no editingFinished for digits that do not fill the input
    // mask, which is just when the mark is wanted: it comes when the
    // keyboard leaves the field instead.
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget *old)
            {
                for (THexEditWidget *field : {d_code1_hexedit, d_code2_hexedit})
                    if (old == field)
                        Mark_Code_Field(field);
            });
    connect(d_help_button, &QToolButton::toggled, this, &TZentrovaDialog::Toggle_Help);

    Data_Changed();
}

TZentrovaDialog::~TZentrovaDialog()
{
    // The record window shows this window's record model and store.
    d_record_dialog.reset();
    // Deleted while shown, the window is hidden by QDialog's destructor; a
    // field losing the focus then reports an edit, which must not reach a
    // dialog that is no longer one; nor must the application's focus change
    // that a child window hidden on its way out reports.
    for (QObject *sender :
         {static_cast<QObject *>(d_input_widget), static_cast<QObject *>(d_code1_hexedit),
          static_cast<QObject *>(d_code2_hexedit)})
        disconnect(sender, nullptr, this, nullptr);
    disconnect(qApp, nullptr, this, nullptr);
    // Every save has already been written (or given up) by closeEvent, so
    // releasing the settings object has nothing left to write and cannot
    // wait on a lock.
    delete d_settings;
}

QLayout *TZentrovaDialog::Build_Top_Bar(const QFont &dialog_font)
{
    auto *bar = new QHBoxLayout();
    auto *caption = new QLabel(QStringLiteral("Input Temperature Samples:"), this);
    caption->setFont(dialog_font);
    caption->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    bar->addWidget(caption);
    bar->addItem(new QSpacerItem(0, 0, QSizePolicy::Expanding, QSizePolicy::Minimum));
    auto *settings_button = new QToolButton(this);
    settings_button->setFixedSize(22, 22);
    settings_button->setIcon(QIcon(QStringLiteral(":/gui/settings_22x22.png")));
    settings_button->setAccessibleName(QStringLiteral("Settings"));
    bar->addWidget(settings_button);
    connect(settings_button, &QToolButton::clicked, this, &TZentrovaDialog::Settings);
    return bar;
}

QLayout *TZentrovaDialog::Build_Legend()
{
    auto *legend = new QGridLayout();
    legend->setVerticalSpacing(1);
    legend->addWidget(new QLabel(QStringLiteral("Where:"), this), 0, 0);
    const char *const explanations[][2] = {
        {"Nominal", " is the nominal test temperature."},
        {"Actual", " is the known or reference temperature of the sample."},
        {"Reading", " is the temperature reported from the thermometer under test."}};
    int row = 1;
    for (const auto &explanation : explanations)
    {
        const QString html = QStringLiteral("<p><span style=\" font-weight:600;\">%1</span>%2</p>")
                                 .arg(QLatin1String(explanation[0]), QLatin1String(explanation[1]));
        legend->addWidget(new QLabel(html, this), row++, 0);
    }
    return legend;
}

QLayout *TZentrovaDialog::Build_Codes_Panel(const QFont &dialog_font)
{
    auto *panel = new QGridLayout();
    const char *const captions[] = {
        "Existing Code 1:", "Existing Code 2:", "New Code 1:", "New Code 2:", "Data Range:"};
    for (int row = 0; row < 5; ++row)
    {
        QLabel *caption = New_Caption(QLatin1String(captions[row]), this);
        if (row < 4) // the data range keeps the default font
            caption->setFont(dialog_font);
        panel->addWidget(caption, row, 0);
    }

    const auto new_code_field = [&](const char *accessible_name, int row)
    {
        auto *field = new THexEditWidget(this);
        field->setAlignment(Qt::AlignCenter);
        field->setFont(dialog_font);
        field->setMaximumWidth(code_max_width);
        field->setAccessibleName(QLatin1String(accessible_name));
        panel->addWidget(field, row, 1);
        return field;
    };
    d_code1_hexedit = new_code_field("Existing Code 1", 0);
    d_code2_hexedit = new_code_field("Existing Code 2", 1);

    const auto new_result_label = [&](const char *accessible_name, int row)
    {
        auto *label = new QLabel(this);
        label->setMinimumSize(100, 0);
        label->setFont(dialog_font);
        label->setAlignment(Qt::AlignCenter);
        label->setMaximumWidth(code_max_width);
        label->setFrameShape(QFrame::StyledPanel);
        label->setAccessibleName(QLatin1String(accessible_name));
        label->setToolTip(Copy_Hint());
        panel->addWidget(label, row, 1);
        return label;
    };
    d_new_code1_label = new_result_label("New Code 1", 2);
    d_new_code2_label = new_result_label("New Code 2", 3);

    d_data_range_label = new QLabel(this);
    d_data_range_label->setAlignment(Qt::AlignCenter);
    d_data_range_label->setMaximumWidth(code_max_width);
    d_data_range_label->setAccessibleName(QStringLiteral("Data Range"));
    panel->addWidget(d_data_range_label, 4, 1);

    auto *meter = new QLabel(this);
    // Through QIcon, which takes the @2x file on a screen at 2x.
    meter->setPixmap(QIcon(QStringLiteral(":/images/meter.png")).pixmap(meter_size));
    meter->setAccessibleName(tr("Picture of the Zentrova KX310 thermometer"));
    meter->setSizePolicy(
        Keep_Height_For_Width(meter, QSizePolicy::Preferred, QSizePolicy::MinimumExpanding));
    panel->addWidget(meter, 5, 0);

    d_help_button = new QToolButton(this);
    d_help_button->setCheckable(true);
    d_help_button->setText(QStringLiteral("Show Help"));
    d_help_button->setSizePolicy(
        Keep_Height_For_Width(d_help_button, QSizePolicy::Preferred, QSizePolicy::Fixed));
    panel->addWidget(d_help_button, 5, 1);
    return panel;
}

QLayout *TZentrovaDialog::Build_Bottom_Bar()
{
    auto *bar = new QHBoxLayout();
    bar->addItem(new QSpacerItem(0, 0, QSizePolicy::Expanding, QSizePolicy::Minimum));
    // The record window: as-left results, verdicts and the certificate.
    auto *record_button = new QPushButton(tr("Record..."), this);
    record_button->setAutoDefault(false);
    record_button->setToolTip(tr("The calibration record and its certificate (Ctrl+R)"));
    bar->addWidget(record_button);
    connect(record_button, &QPushButton::clicked, this, &TZentrovaDialog::Open_Record);
    auto *record_shortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_R), this);
    connect(record_shortcut, &QShortcut::activated, this, &TZentrovaDialog::Open_Record);
    auto *close_button = new QPushButton(QStringLiteral("Close"), this);
    // Enter in a field must not close the window.
    close_button->setAutoDefault(false);
    bar->addWidget(close_button);
    connect(close_button, &QPushButton::clicked, this, &QWidget::close);
    return bar;
}

QString TZentrovaDialog::Why_No_Codes() const
{
    // A code field with fewer than four digits reads as a smaller code, and
    // a table field that is not a number reads as 0: a code computed from
    // either would look as plausible as any other, and the technician would
    // key it in.
    const std::pair<const THexEditWidget *, int> fields[] = {{d_code1_hexedit, 1},
                                                             {d_code2_hexedit, 2}};
    for (const auto &[field, code] : fields)
        if (!field->Is_Complete())
            return tr("Existing Code %1 holds fewer than four digits: no new codes until it is "
                      "complete.")
                .arg(code);
    const int unreadable_row = d_input_widget->First_Unreadable_Row();
    if (unreadable_row >= 0)
        return tr("Row %1 holds text that is not a number in its Actual or Reading field: "
                  "no new codes until it is corrected (the decimal separator is a point).")
            .arg(unreadable_row + 1);
    return QString();
}

void TZentrovaDialog::Data_Changed()
{
    QString new_code1 = no_code;
    QString new_code2 = no_code;
    QString data_range = no_code + QLatin1Char(' ') + Temperature_Unit();
    // Kept for the record model: it reads every row, once a keystroke.
    d_why_no_codes = Why_No_Codes();
    const QString &why_not = d_why_no_codes;
    d_data_range_label->setToolTip(
        why_not.isEmpty() ? Copy_Hint() : why_not + QStringLiteral("\n\n") + Copy_Hint());
    d_result = Calibration_Result();
    if (why_not.isEmpty())
    {
        d_result = Compute_Calibration(d_input_widget->Get_Samples(),
                                       d_code1_hexedit->Get_Value(Code1_Scale),
                                       d_code2_hexedit->Get_Value(Code2_Scale));
        if (d_result.valid)
        {
            new_code1 = Format_Code(d_result.new_code1);
            new_code2 = Format_Code(d_result.new_code2);
            data_range = Format_Data_Range(d_result.data_range);
        }
    }
    Show_Result(d_new_code1_label, new_code1);
    Show_Result(d_new_code2_label, new_code2);
    Show_Result(d_data_range_label, data_range);
    d_record_model->Set_Main_Window(Current_State());
}

Main_Window_State TZentrovaDialog::Current_State() const
{
    Main_Window_State state;
    for (const QStringList &row : d_input_widget->Get_Texts())
        state.samples << row.mid(0, 3);
    state.codes_complete = d_code1_hexedit->Is_Complete() && d_code2_hexedit->Is_Complete();
    if (state.codes_complete)
    {
        Parse_Code(d_code1_hexedit->text(), &state.codes.code1);
        Parse_Code(d_code2_hexedit->text(), &state.codes.code2);
    }
    state.has_result = d_result.valid;
    state.new_codes = Code_Pair{d_result.new_code1, d_result.new_code2};
    state.why_no_codes = d_why_no_codes;
    state.measured_precision = d_input_widget->Get_Measured_Precision();
    return state;
}

void TZentrovaDialog::Open_Record()
{
    if (!d_record_dialog)
    {
        d_record_dialog = std::make_unique<TRecordDialog>(d_record_model, d_settings);
        connect(d_record_dialog.get(), &TRecordDialog::Current_State_Wanted, this,
                &TZentrovaDialog::Take_Edits);
        d_record_dialog->Place_Beside(this);
    }
    d_record_dialog->show();
    d_record_dialog->raise();
    d_record_dialog->activateWindow();
}

void TZentrovaDialog::Take_Edits()
{
    d_input_widget->Commit_Edits();
    for (THexEditWidget *field : {d_code1_hexedit, d_code2_hexedit})
        Mark_Code_Field(field);
    Data_Changed();
}

void TZentrovaDialog::Mark_Code_Field(THexEditWidget *field)
{
    Show_Field_Mark(field, field->Is_Complete()
                               ? QString()
                               : tr("Fewer than four digits: no new codes until the code is "
                                    "complete, exactly as the thermometer shows it."));
}

void TZentrovaDialog::Copy_Record()
{
    // The samples and the codes on the record always belong together.
    Take_Edits();
    Calibration_Record record;
    record.when = QDateTime::currentDateTime();
    record.program = windowTitle();
    record.existing_code1 = d_code1_hexedit->text();
    record.existing_code2 = d_code2_hexedit->text();
    record.samples = d_input_widget->Get_Texts();
    record.new_code1 = d_result.valid ? Format_Code(d_result.new_code1) : no_code;
    record.new_code2 = d_result.valid ? Format_Code(d_result.new_code2) : no_code;
    record.data_range = d_result.valid ? Format_Data_Range(d_result.data_range)
                                       : no_code + QLatin1Char(' ') + Temperature_Unit();
    auto *data = new QMimeData;
    data->setText(Record_Text(record));
    data->setHtml(Record_Html(record));
    QApplication::clipboard()->setMimeData(data);
}

void TZentrovaDialog::Settings()
{
    if (!d_settings_dialog)
        d_settings_dialog = new TSettingsDialog(this);
    d_settings_dialog->Set_Precision(d_input_widget->Get_Nominal_Precision(),
                                     d_input_widget->Get_Measured_Precision());
    if (d_settings_dialog->exec() != QDialog::Accepted)
        return;
    d_input_widget->Set_Precision(d_settings_dialog->Get_Nominal_Precision(),
                                  d_settings_dialog->Get_Measured_Precision());
    // Fewer decimals round the table's texts (20.125 shows 20.1): the codes
    // shown must belong to the texts shown, which the next edit would
    // otherwise be the first to use.
    Data_Changed();
}

void TZentrovaDialog::Toggle_Help(bool shown)
{
    d_help_button->setText(shown ? QStringLiteral("Hide Help") : QStringLiteral("Show Help"));
    d_help_textedit->setVisible(shown);
}

void TZentrovaDialog::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    Keep_On_Screen();
}

void TZentrovaDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // Placed before the window manager framed it, the window stands by its
    // client area: with many rows its title bar may be above the screen,
    // out of reach. The frame is known some moments later; no event says so.
    if (!event->spontaneous())
        When_Framed(this, [this] { Fit_Frame_On_Screen(this); });
}

void TZentrovaDialog::Keep_On_Screen()
{
    // The window grows by itself (rows added or pasted, the help panel
    // shown) from where it stands; it moves up and left as far as needed so
    // that Close and the rows never end up beyond the screen's edge. The
    // frame is asked of the window system each time: Qt's own record of it
    // can be one measured while the window manager was still building it.
    Keep_Frame_On_Screen(this);
}

void TZentrovaDialog::reject()
{
    close();
}

void TZentrovaDialog::closeEvent(QCloseEvent *event)
{
    // The file holds the user's whole session: a failed save is said where
    // the user looks, and the window stays open if the user wants it to.
    for (;;)
    {
        const QString failure = Save_Settings();
        if (failure.isEmpty())
            break;
        qWarning("Zentrova Calibrator: could not save the settings to %s: %s",
                 qUtf8Printable(d_settings->File_Name()), qUtf8Printable(failure));
        const QMessageBox::StandardButton answer = Ask_After_Failed_Save(failure);
        if (answer == QMessageBox::Retry)
            continue;
        if (answer == QMessageBox::Discard)
            break;
        event->ignore();
        return;
    }
    // The record window is a window of its own; it goes with this one.
    if (d_record_dialog)
        d_record_dialog->close();
    event->accept();
}

QMessageBox::StandardButton TZentrovaDialog::Ask_After_Failed_Save(const QString &failure)
{
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Zentrova Calibrator"),
                    tr("The samples and codes could not be saved."),
                    QMessageBox::Retry | QMessageBox::Discard | QMessageBox::Cancel, this);
    box.setInformativeText(
        tr("File: %1\nReason: %2\n\nTry again once the folder is mended, close without saving "
           "(this session's samples and codes are lost), or cancel to keep the window open.")
            .arg(QDir::toNativeSeparators(d_settings->File_Name()), failure));
    box.button(QMessageBox::Retry)->setText(tr("Try Again"));
    box.button(QMessageBox::Discard)->setText(tr("Close Without Saving"));
    box.setDefaultButton(QMessageBox::Retry);
    box.setEscapeButton(QMessageBox::Cancel);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

void TZentrovaDialog::Open_Settings()
{
    d_settings = new TSettingsStore();
}

void TZentrovaDialog::Load_Settings()
{
    const Main_Session session = Load_Main_Session(*d_settings);
    d_example_rows = session.example_rows;
    d_input_widget->Clear_Rows();
    d_input_widget->Set_Precision(session.nominal_precision, session.measured_precision);
    for (const QStringList &texts : session.rows)
        d_input_widget->Add_Sample_Texts(texts);
    // As typed: a code kept with fewer than four digits comes back marked.
    THexEditWidget *const fields[] = {d_code1_hexedit, d_code2_hexedit};
    for (int code = 0; code < 2; ++code)
    {
        fields[code]->setText(session.code_text[code]);
        Mark_Code_Field(fields[code]);
    }
}

QString TZentrovaDialog::Save_Settings()
{
    Main_Session session;
    for (const QStringList &texts : d_input_widget->Get_Texts())
        session.rows << texts.mid(0, 3);
    session.code_text[0] = d_code1_hexedit->text();
    session.code_text[1] = d_code2_hexedit->text();
    session.nominal_precision = d_input_widget->Get_Nominal_Precision();
    session.measured_precision = d_input_widget->Get_Measured_Precision();
    return d_settings->Write(
        [&](QSettings &store)
        {
            Save_Main_Session(store, session);
            Save_Record_State(store, d_record_model->State());
        });
}

bool TZentrovaDialog::Fit_Line(const std::vector<Vector2> &points, double *slope, double *offset)
{
    return ::Fit_Line(points, slope, offset);
}

Calibration_Result TZentrovaDialog::Compute_Calibration(const Sample_List &samples, double e1,
                                                        double e2)
{
    return ::Compute_Calibration(samples, e1, e2);
}

QString TZentrovaDialog::Format_Code(quint16 code)
{
    return ::Format_Code(code);
}

QString TZentrovaDialog::Format_Data_Range(double data_range)
{
    return ::Format_Data_Range(data_range);
}
