#include "laboratorydialog.h"

#include "settingsstore.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QVBoxLayout>

#include <algorithm>

namespace
{
// The address as typed, without blank lines or trailing spaces around it.
QString Address_Text(const QString &text)
{
    QStringList lines;
    for (const QString &line : text.split(QLatin1Char('\n')))
        lines << line.trimmed();
    while (!lines.isEmpty() && lines.first().isEmpty())
        lines.removeFirst();
    while (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines.join(QLatin1Char('\n'));
}
} // namespace

TLaboratoryDialog::TLaboratoryDialog(const TSettingsStore *store, QWidget *parent)
    : QDialog(parent), d_store(store)
{
    setWindowTitle(tr("Laboratory"));
    auto *layout = new QVBoxLayout(this);
    auto *intro = new QLabel(
        tr("Every certificate states the laboratory that issues it. These texts are kept in "
           "the settings file and used for every calibration."),
        this);
    intro->setTextFormat(Qt::PlainText);
    intro->setWordWrap(true);
    layout->addWidget(intro);

    auto *form = new QFormLayout();
    layout->addLayout(form);
    const auto add = [&](QWidget *field, const QString &label, const QString &accessible_name,
                         const QString &hint)
    {
        auto *caption = new QLabel(label, this);
        caption->setBuddy(field);
        field->setAccessibleName(accessible_name);
        field->setToolTip(hint);
        form->addRow(caption, field);
    };
    d_name_edit = new QLineEdit(this);
    add(d_name_edit, tr("&Name:"), tr("Laboratory name"),
        tr("The laboratory's name; without it there is no certificate."));
    d_address_edit = new QPlainTextEdit(this);
    // Tab moves on to the next field, as everywhere else in the dialog.
    d_address_edit->setTabChangesFocus(true);
    d_address_edit->setFixedHeight(d_address_edit->fontMetrics().lineSpacing() * 4 + 12);
    add(d_address_edit, tr("&Address:"), tr("Laboratory address"),
        tr("The laboratory's postal address, on as many lines as it needs."));
    d_accreditation_edit = new QLineEdit(this);
    d_accreditation_edit->setPlaceholderText(tr("Optional"));
    add(d_accreditation_edit, tr("Accre&ditation:"), tr("Accreditation"),
        tr("The accreditation body and the laboratory's accreditation number, if it is "
           "accredited."));
    d_place_edit = new QLineEdit(this);
    add(d_place_edit, tr("&Place of calibration:"), tr("Place of calibration"),
        tr("Where calibrations are made: the laboratory, or the customer's site."));
    d_approver_edit = new QLineEdit(this);
    add(d_approver_edit, tr("App&rover:"), tr("Approver"),
        tr("The person who authorises the certificates."));
    d_function_edit = new QLineEdit(this);
    add(d_function_edit, tr("Approver's &function:"), tr("Approver's function"),
        tr("The approver's function, for example Head of the laboratory."));
    d_procedure_edit = new QLineEdit(this);
    add(d_procedure_edit, tr("Pr&ocedure:"), tr("Procedure"),
        tr("The calibration procedure's identification and version."));

    d_failure_label = new QLabel(this);
    d_failure_label->setTextFormat(Qt::PlainText);
    d_failure_label->setWordWrap(true);
    d_failure_label->setAccessibleName(tr("Save failed"));
    d_failure_label->setStyleSheet(QStringLiteral("color: #b00000"));
    d_failure_label->hide();
    layout->addWidget(d_failure_label);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Save | QDialogButtonBox::Cancel, this);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &TLaboratoryDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TLaboratoryDialog::reject);

    // Top to bottom, then the buttons.
    QWidget *previous = d_name_edit;
    for (QWidget *next : std::initializer_list<QWidget *>{
             d_address_edit, d_accreditation_edit, d_place_edit, d_approver_edit, d_function_edit,
             d_procedure_edit, buttons->button(QDialogButtonBox::Save),
             buttons->button(QDialogButtonBox::Cancel)})
    {
        setTabOrder(previous, next);
        previous = next;
    }

    Set_Laboratory(Load_Laboratory(*d_store));
    d_name_edit->setFocus();
    resize(sizeHint().expandedTo(QSize(460, 0)));
}

Laboratory TLaboratoryDialog::Current_Laboratory() const
{
    Laboratory laboratory;
    laboratory.name = d_name_edit->text().trimmed();
    laboratory.address = Address_Text(d_address_edit->toPlainText());
    laboratory.accreditation = d_accreditation_edit->text().trimmed();
    laboratory.place = d_place_edit->text().trimmed();
    laboratory.approver = d_approver_edit->text().trimmed();
    laboratory.approver_function = d_function_edit->text().trimmed();
    laboratory.procedure = d_procedure_edit->text().trimmed();
    return laboratory;
}

void TLaboratoryDialog::Set_Laboratory(const Laboratory &laboratory)
{
    d_name_edit->setText(laboratory.name);
    d_address_edit->setPlainText(laboratory.address);
    d_accreditation_edit->setText(laboratory.accreditation);
    d_place_edit->setText(laboratory.place);
    d_approver_edit->setText(laboratory.approver);
    d_function_edit->setText(laboratory.approver_function);
    d_procedure_edit->setText(laboratory.procedure);
}

QString TLaboratoryDialog::Save()
{
    const Laboratory laboratory = Current_Laboratory();
    const QString failure =
        d_store->Write([&](QSettings &settings) { Save_Laboratory(settings, laboratory); });
    if (!failure.isEmpty())
    {
        d_failure_label->setText(
            tr("The laboratory was not saved: %1. Everything typed is still here.").arg(failure));
        d_failure_label->show();
        // Taller by the message, so that no field is squeezed under it.
        layout()->activate();
        const int needed = layout()->hasHeightForWidth() ? layout()->totalHeightForWidth(width())
                                                         : sizeHint().height();
        resize(width(), std::max(height(), needed));
        return failure;
    }
    d_failure_label->hide();
    d_failure_label->clear();
    emit Laboratory_Changed(laboratory);
    return QString();
}

void TLaboratoryDialog::accept()
{
    if (Save().isEmpty())
        QDialog::accept();
}
