#include "recorddialog.h"

#include "certificate.h"
#include "certificatebuilder.h"
#include "historyclient.h"
#include "historydialog.h"
#include "historypanel.h"
#include "issuing.h"
#include "laboratorydialog.h"
#include "recordform.h"
#include "recordmodel.h"
#include "recordparts.h"
#include "recordresults.h"
#include "safetext.h"
#include "settingsstore.h"
#include "windowframe.h"
#include "windowplacement.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScrollArea>
#include <QSettings>
#include <QShortcut>
#include <QShowEvent>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace
{
constexpr int record_width = 600;

} // namespace

TRecordDialog::TRecordDialog(TRecordModel *record, TSettingsStore *store)
    : QDialog(nullptr, Qt::Window), d_record(record), d_store(store),
      d_history(new THistoryClient(History_Connection::From_Settings(*store), this)),
      d_issuer(record, store, d_history), d_history_dialog(nullptr)
{
    setWindowTitle(tr("Calibration Record"));
    auto *outer = new QVBoxLayout(this);
    d_next_step_label = New_Plain_Label(this);
    d_next_step_label->setAccessibleName(tr("Next step"));
    QFont bold = d_next_step_label->font();
    bold.setBold(true);
    d_next_step_label->setFont(bold);
    outer->addWidget(d_next_step_label);
    d_notice_label = New_Plain_Label(this);
    outer->addWidget(d_notice_label);

    // Why there is no certificate, in a box of its own height: a list that
    // grows or shrinks as fields are typed scrolls inside it and moves no
    // field under the pointer.
    auto *reasons = new QScrollArea(this);
    reasons->setFrameShape(QFrame::NoFrame);
    reasons->setWidgetResizable(true);
    reasons->setFocusPolicy(Qt::NoFocus);
    d_reasons_label = New_Plain_Label(reasons);
    d_reasons_label->setAccessibleName(tr("Why there is no certificate"));
    d_reasons_label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QPalette dark_red = d_reasons_label->palette();
    dark_red.setColor(QPalette::WindowText, QColor(139, 0, 0));
    d_reasons_label->setPalette(dark_red);
    reasons->setWidget(d_reasons_label);
    reasons->setFixedHeight(d_reasons_label->fontMetrics().lineSpacing() * 4 + 4);
    outer->addWidget(reasons);

    // On a small screen the record scrolls; the next step and the buttons
    // stay in sight.
    auto *scroll = new QScrollArea(this);
    d_scroll = scroll;
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    // Tab goes from field to field, not to the area that holds them.
    scroll->setFocusPolicy(Qt::NoFocus);
    auto *content = new QWidget(scroll);
    // Tab scrolls to the field it reaches; a mnemonic or Add Row must too,
    // or typing goes into a field out of sight. A click is left alone: the
    // record does not move under the pointer.
    connect(qApp, &QApplication::focusChanged, this,
            [scroll, content](QWidget *, QWidget *now)
            {
                if (now && content->isAncestorOf(now) &&
                    QApplication::mouseButtons() == Qt::NoButton)
                    scroll->ensureWidgetVisible(now);
            });
    auto *layout = new QVBoxLayout(content);
    d_form = new TRecordForm(d_record, content);
    layout->addWidget(d_form);
    d_history_panel = new THistoryPanel(
        d_record, d_history, qobject_cast<QLineEdit *>(d_form->Field_Widget(Record_Field::Serial)),
        content);
    connect(d_history_panel, &THistoryPanel::Said, this,
            [this](const QString &words)
            {
                d_status = words;
                Refresh();
            });
    layout->addWidget(d_history_panel);
    d_results = new TRecordResults(d_record, content);
    layout->addWidget(d_results);
    connect(d_results, &TRecordResults::Codes_Keyed_In, this, &TRecordDialog::Codes_Keyed_In);
    connect(d_results, &TRecordResults::Said, this,
            [this](const QString &words)
            {
                d_status = words;
                Refresh();
            });
    scroll->setWidget(content);
    outer->addWidget(scroll, 1);

    d_status_label = New_Plain_Label(this);
    d_status_label->setAccessibleName(tr("Status"));
    outer->addWidget(d_status_label);
    outer->addLayout(Build_Buttons());

    // Every change is shown once the event loop comes back: the keystroke
    // in the calibration window that made it is painted first, and a run of
    // changes is shown once. A hidden window shows it when it is shown.
    d_refresh_timer = new QTimer(this);
    d_refresh_timer->setSingleShot(true);
    d_refresh_timer->setInterval(0);
    connect(d_refresh_timer, &QTimer::timeout, this, &TRecordDialog::Refresh);
    connect(d_record, &TRecordModel::Changed, this,
            [this]
            {
                if (isVisible())
                    d_refresh_timer->start();
            });
    resize(record_width, 700);
    Refresh();
}

TRecordDialog::~TRecordDialog() = default;

QLayout *TRecordDialog::Build_Buttons()
{
    auto *rows = new QVBoxLayout();
    auto *first = new QHBoxLayout();
    auto *history_button = New_Button(tr("&History..."), this);
    auto *laboratory_button = New_Button(tr("&Laboratory..."), this);
    auto *new_button = New_Button(tr("&New Calibration"), this);
    d_amend_button = New_Button(tr("A&mend"), this);
    d_amend_button->setToolTip(tr("Correct an issued certificate: the new one gets a number of "
                                  "its own and replaces it."));
    for (QPushButton *button : {history_button, laboratory_button, new_button, d_amend_button})
        first->addWidget(button);
    first->addStretch();
    auto *second = new QHBoxLayout();
    d_draft_button = New_Button(tr("Save &Draft..."), this);
    d_save_button = New_Button(tr("&Save Certificate..."), this);
    d_print_button = New_Button(tr("&Print..."), this);
    auto *close_button = New_Button(tr("&Close"), this);
    second->addStretch();
    for (QPushButton *button : {d_draft_button, d_save_button, d_print_button, close_button})
        second->addWidget(button);
    rows->addLayout(first);
    rows->addLayout(second);

    connect(history_button, &QPushButton::clicked, this, &TRecordDialog::Open_History);
    connect(laboratory_button, &QPushButton::clicked, this, &TRecordDialog::Open_Laboratory);
    connect(new_button, &QPushButton::clicked, this, &TRecordDialog::New_Calibration);
    connect(d_amend_button, &QPushButton::clicked, this, &TRecordDialog::Amend);
    connect(d_draft_button, &QPushButton::clicked, this, &TRecordDialog::Save_Draft_As);
    connect(d_save_button, &QPushButton::clicked, this, &TRecordDialog::Save_Certificate_As);
    connect(d_print_button, &QPushButton::clicked, this, &TRecordDialog::Print_Certificate);
    connect(close_button, &QPushButton::clicked, this, &QDialog::close);
    const std::pair<QKeySequence, void (TRecordDialog::*)()> keys[] = {
        {QKeySequence(Qt::CTRL | Qt::Key_S), &TRecordDialog::Save_Certificate_As},
        {QKeySequence(Qt::CTRL | Qt::Key_P), &TRecordDialog::Print_Certificate},
        {QKeySequence(Qt::CTRL | Qt::Key_N), &TRecordDialog::New_Calibration},
        {QKeySequence(Qt::CTRL | Qt::Key_H), &TRecordDialog::Open_History}};
    for (const auto &[sequence, slot] : keys)
        connect(new QShortcut(sequence, this), &QShortcut::activated, this, slot);
    return rows;
}

void TRecordDialog::Refresh()
{
    d_refresh_timer->stop();
    d_form->Refresh();
    d_results->Refresh();
    const Record_Evaluation &e = d_record->Evaluation();
    const Record_State &state = d_record->State();
    d_next_step_label->setText(e.next_step);
    QStringList notices;
    if (e.calibration_date.isValid() && e.calibration_date != d_record->Today())
        notices << tr("The calibration date is %1, not today (%2).")
                       .arg(e.calibration_date.toString(Qt::ISODate),
                            d_record->Today().toString(Qt::ISODate));
    if (!state.replaces.isEmpty() && !e.read_only)
        notices << tr("Amending certificate %1: the certificate issued now replaces it.")
                       .arg(state.replaces);
    d_notice_label->setText(notices.join(QLatin1Char('\n')));
    d_notice_label->setHidden(notices.isEmpty());
    d_reasons_label->setText(
        e.read_only ? QString()
        : e.reasons.isEmpty()
            ? tr("Nothing holds the certificate back.")
            : tr("No certificate yet:\n%1").arg(e.reasons.join(QLatin1Char('\n'))));
    d_status_label->setText(d_status);
    d_status_label->setHidden(d_status.isEmpty());

    const QString why_not = e.reasons.join(QLatin1Char('\n'));
    for (QPushButton *button : {d_save_button, d_print_button})
    {
        button->setEnabled(e.read_only || e.reasons.isEmpty());
        button->setToolTip(e.read_only ? tr("The certificate issued, again: the same number.")
                                       : why_not);
    }
    d_draft_button->setEnabled(e.found.has_new_codes || state.adjusted);
    d_amend_button->setVisible(e.read_only);

    d_history_panel->Refresh();
}

void TRecordDialog::keyPressEvent(QKeyEvent *event)
{
    // Escape closes a dialog; this is a window one works in, and Escape
    // there (to leave a completion, say) must not take it away.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier)
    {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TRecordDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    Refresh();
    // Placed with the calibration window's frame; its own (a resizable
    // window's has a handle) is known once the window manager has framed it.
    if (!event->spontaneous())
        When_Framed(this, [this] { Fit_Frame_On_Screen(this); });
    // Opened once the window is there: checking a large file takes a while.
    d_history->Open();
    if (QWidget *field = d_form->First_Needed())
    {
        field->setFocus(Qt::OtherFocusReason);
        d_scroll->ensureWidgetVisible(field);
    }
}

void TRecordDialog::Take_Edits()
{
    // The samples and codes on a certificate belong together: any edit in
    // progress in either window is taken first. The as-left cell being
    // edited goes first: the main window's state that follows changes the
    // record, and a cell still open then would be set back to what it held.
    d_results->Take_Edit();
    emit Current_State_Wanted();
}

QString TRecordDialog::Keep_State()
{
    return d_issuer.Keep_State();
}

QString TRecordDialog::Issue(Certificate_Content *content)
{
    Take_Edits();
    return d_issuer.Issue(content);
}

QString TRecordDialog::Save_Certificate(const QString &path)
{
    Certificate_Content content;
    QString failure = Issue(&content);
    if (failure.isEmpty())
    {
        failure = Write_Certificate_Pdf(path, content, QImage());
        if (!failure.isEmpty())
            failure = tr("Issued as %1, but %2. Save Certificate again writes the same "
                         "certificate.")
                          .arg(content.number, failure);
    }
    d_status =
        failure.isEmpty()
            ? tr("Saved as %1 (number %2).").arg(QDir::toNativeSeparators(path), content.number)
            : failure;
    Refresh();
    return failure;
}

QString TRecordDialog::Save_Draft(const QString &path)
{
    Take_Edits();
    const Record_Evaluation &e = d_record->Evaluation();
    const Record_State &state = d_record->State();
    QString failure;
    if (!e.found.has_new_codes && !state.adjusted)
        failure = tr("No draft while the calibration window shows no new codes.");
    else
        failure = Write_Certificate_Pdf(
            path, Build_Certificate(e, state, d_record->Get_Laboratory(), d_record->Today(), true),
            QImage());
    d_status =
        failure.isEmpty()
            ? tr("Draft saved as %1; nothing was issued.").arg(QDir::toNativeSeparators(path))
            : failure;
    Refresh();
    return failure;
}

void TRecordDialog::Save_Certificate_As()
{
    Take_Edits();
    const Record_State &state = d_record->State();
    const Record_Evaluation &e = d_record->Evaluation();
    if (state.phase != Record_Phase::Issued && !e.reasons.isEmpty())
    {
        QMessageBox::information(this, tr("Save Certificate"), e.reasons.join(QLatin1Char('\n')));
        return;
    }
    // The number is issued when the certificate is saved; the name suggested
    // holds no character that a file name cannot, and stays in the folder.
    const QString name = state.phase == Record_Phase::Issued
                             ? state.number
                             : e.effective.value(Record_Field::Serial) + QLatin1Char('-') +
                                   e.calibration_date.toString(QStringLiteral("yyyyMMdd"));
    const QString path = QFileDialog::getSaveFileName(
        this, tr("Save Certificate"),
        QDir::home().absoluteFilePath(File_Name_Part(name) + QStringLiteral(".pdf")),
        tr("PDF files (*.pdf)"));
    if (path.isEmpty())
        return;
    const QString failure = Save_Certificate(path);
    if (!failure.isEmpty())
        QMessageBox::warning(this, tr("Save Certificate"), failure);
}

void TRecordDialog::Save_Draft_As()
{
    // A draft may come before the serial number: then it is just "draft".
    const QString serial = d_record->Evaluation().effective.value(Record_Field::Serial);
    const QString name = serial.isEmpty() ? QStringLiteral("draft")
                                          : File_Name_Part(serial) + QStringLiteral("-draft");
    const QString path = QFileDialog::getSaveFileName(
        this, tr("Save Draft"), QDir::home().absoluteFilePath(name + QStringLiteral(".pdf")),
        tr("PDF files (*.pdf)"));
    if (path.isEmpty())
        return;
    const QString failure = Save_Draft(path);
    if (!failure.isEmpty())
        QMessageBox::warning(this, tr("Save Draft"), failure);
}

void TRecordDialog::Print_Certificate()
{
    Take_Edits();
    if (d_record->State().phase != Record_Phase::Issued &&
        !d_record->Evaluation().reasons.isEmpty())
    {
        d_status = d_record->Evaluation().reasons.join(QLatin1Char('\n'));
        Refresh();
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    // Printing issues the certificate, as saving does: no number that the
    // history does not hold.
    Certificate_Content content;
    QString failure = Issue(&content);
    if (failure.isEmpty() && !Paint_Certificate(&printer, content, QImage()))
        failure = tr("Certificate %1 was issued, but it could not be printed.").arg(content.number);
    d_status = failure.isEmpty() ? tr("Printed certificate %1.").arg(content.number) : failure;
    Refresh();
    if (!failure.isEmpty())
        QMessageBox::warning(this, tr("Print"), failure);
}

void TRecordDialog::New_Calibration()
{
    Take_Edits();
    const Record_State &state = d_record->State();
    if (state.phase != Record_Phase::Issued && (state.adjusted || !state.as_left.isEmpty()))
    {
        const auto answer = QMessageBox::question(
            this, tr("New Calibration"),
            tr("The calibration in progress has not been issued. Start a new one and discard "
               "it?"),
            QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Cancel);
        if (answer != QMessageBox::Discard)
            return;
    }
    d_record->New_Calibration();
    d_status = Keep_State();
    Refresh();
    d_form->Field_Widget(Record_Field::Serial)->setFocus(Qt::OtherFocusReason);
}

void TRecordDialog::Codes_Keyed_In()
{
    Take_Edits();
    const Record_State &state = d_record->State();
    const Main_Window_State &main = d_record->Main_Window();
    if (d_record->Codes_Keyed_In())
        d_status = Keep_State();
    else if (state.phase == Record_Phase::Issued)
        d_status = tr("Issued: New Calibration starts the next one.");
    else if (main.has_result && state.adjusted && main.new_codes == state.codes_left)
        d_status = tr("The codes left are %1 already: nothing new to take.")
                       .arg(Format_Codes(state.codes_left));
    else
        d_status = tr("The calibration window shows no new codes to take.");
    Refresh();
}

void TRecordDialog::Amend()
{
    if (!d_record->Amend())
        return;
    d_status = Keep_State();
    Refresh();
}

void TRecordDialog::Open_History()
{
    if (!d_history_dialog)
        d_history_dialog = new THistoryDialog(d_history, d_store, this);
    d_history_dialog->Set_Filter(d_record->Evaluation().effective.value(Record_Field::Serial));
    d_history_dialog->show();
    d_history_dialog->raise();
    d_history_dialog->activateWindow();
}

void TRecordDialog::Open_Laboratory()
{
    auto *dialog = new TLaboratoryDialog(d_store, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &TLaboratoryDialog::Laboratory_Changed, d_record,
            &TRecordModel::Set_Laboratory);
    dialog->open();
}

QString TRecordDialog::Status() const
{
    return d_status;
}

QString TRecordDialog::History_Text() const
{
    return d_history_panel->Text();
}

void TRecordDialog::Place_Beside(QWidget *window)
{
    ::Place_Beside(this, window, std::max(record_width, sizeHint().width()));
}
