#include "recordform.h"

#include "fieldmark.h"
#include "recordmodel.h"

#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QVBoxLayout>

namespace
{
struct Group
{
    const char *title;
    QList<Record_Field> fields;
};

// The label with its mnemonic and, for a value, its unit; the accessible
// name stays the field's name.
QString Label_Of(Record_Field field)
{
    using F = Record_Field;
    // The buttons of the record window have K, A, W, H, L, N, M, D, S, P and
    // C; the fields share the other letters, so that Alt and a button's
    // letter always presses the button.
    static const QMap<Record_Field, const char *> labels{
        {F::Serial, "Se&rial number"},
        {F::Model, "M&odel"},
        {F::Maker, "Mak&er"},
        {F::Description, "Descr&iption"},
        {F::Owner, "Own&er"},
        {F::Owner_Address, "Owner's add&ress"},
        {F::Condition, "Condition as recei&ved"},
        {F::Receipt_Date, "Date o&f receipt"},
        {F::Calibration_Date, "Calibra&tion date"},
        {F::Technician, "Techn&ician"},
        {F::Place, "Place of cali&bration"},
        {F::Ambient_Temperature, "Ambient temperat&ure (\u00B0C)"},
        {F::Relative_Humidity, "Relative humidit&y (%)"},
        {F::Medium, "Comparison med&ium"},
        {F::Reference, "Re&ference thermometer"},
        {F::Reference_Certificate, "Reference cer&tificate number"},
        {F::Reference_Due_Date, "Reference calibration d&ue"},
        {F::Reference_Uncertainty, "Reference uncertaint&y (k=2) (\u00B0C)"},
        {F::Resolution, "Res&olution (\u00B0C)"},
        {F::Tolerance, "T&olerance (\u00B1 \u00B0C)"},
        {F::Decision_Rule, "Decision r&ule"},
        {F::Approver, "Appro&ved by"},
        {F::Approver_Function, "Approver's functi&on"}};
    return TRecordForm::tr(labels.value(field));
}
} // namespace

TRecordForm::TRecordForm(TRecordModel *record, QWidget *parent)
    : QWidget(parent), d_record(record), d_rule_box(nullptr)
{
    using F = Record_Field;
    const Group groups[] = {
        {QT_TR_NOOP("Instrument and customer"),
         {F::Serial, F::Model, F::Maker, F::Description, F::Owner, F::Owner_Address, F::Condition,
          F::Receipt_Date}},
        {QT_TR_NOOP("Calibration"),
         {F::Calibration_Date, F::Technician, F::Place, F::Ambient_Temperature,
          F::Relative_Humidity, F::Medium}},
        {QT_TR_NOOP("Reference and limits"),
         {F::Reference, F::Reference_Certificate, F::Reference_Due_Date, F::Reference_Uncertainty,
          F::Resolution, F::Tolerance, F::Decision_Rule}},
        {QT_TR_NOOP("Approval"), {F::Approver, F::Approver_Function}}};
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    for (const Group &group : groups)
    {
        auto *box = new QGroupBox(tr(group.title), this);
        auto *form = new QFormLayout(box);
        for (Record_Field field : group.fields)
        {
            QWidget *widget = New_Field(Field_Info(field));
            form->addRow(Label_Of(field), widget);
        }
        layout->addWidget(box);
    }
    d_edits.value(F::Tolerance)->setPlaceholderText(tr("empty: no verdict"));
    Refresh();
}

QWidget *TRecordForm::New_Field(const Record_Field_Info &info)
{
    if (info.kind == Field_Kind::Choice)
    {
        d_rule_box = new QComboBox(this);
        // The wheel scrolls the record; it changes the rule only once the
        // box has been chosen.
        d_rule_box->setFocusPolicy(Qt::StrongFocus);
        d_rule_box->installEventFilter(this);
        d_rule_box->addItems({Simple_Acceptance_Text(), Guard_Band_Text()});
        d_rule_box->setAccessibleName(info.name);
        connect(d_rule_box, &QComboBox::textActivated, this,
                [this, field = info.field](const QString &text)
                { d_record->Set_Field(field, text); });
        return d_rule_box;
    }
    auto *edit = new QLineEdit(this);
    edit->setAccessibleName(info.name);
    if (info.kind == Field_Kind::Date)
        edit->setPlaceholderText(QStringLiteral("yyyy-MM-dd"));
    connect(edit, &QLineEdit::textEdited, this,
            [this, field = info.field](const QString &text) { d_record->Set_Field(field, text); });
    d_edits.insert(info.field, edit);
    return edit;
}

bool TRecordForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == d_rule_box && event->type() == QEvent::Wheel && !d_rule_box->hasFocus())
    {
        event->ignore();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

QWidget *TRecordForm::Field_Widget(Record_Field field) const
{
    if (field == Record_Field::Decision_Rule)
        return d_rule_box;
    return d_edits.value(field);
}

QWidget *TRecordForm::First_Needed() const
{
    const Record_Evaluation &evaluation = d_record->Evaluation();
    for (const Record_Field_Info &info : Record_Fields())
        if (evaluation.field_problems.contains(info.field) ||
            evaluation.missing.contains(info.name))
            return Field_Widget(info.field);
    return Field_Widget(Record_Field::Serial);
}

void TRecordForm::Refresh()
{
    const Record_Evaluation &evaluation = d_record->Evaluation();
    const bool read_only = evaluation.read_only;
    for (auto edit = d_edits.cbegin(); edit != d_edits.cend(); ++edit)
    {
        QLineEdit *field = edit.value();
        const QString text = d_record->Field(edit.key());
        // Only a change made elsewhere (a new calibration, a restart) is
        // written: rewriting a field being typed in would move its cursor.
        if (field->text() != text)
            field->setText(text);
        field->setReadOnly(read_only);
        Show_Field_Mark(field, evaluation.field_problems.contains(edit.key())
                                   ? tr("%1 %2.").arg(Field_Info(edit.key()).name,
                                                      evaluation.field_problems.value(edit.key()))
                                   : QString());
    }
    // What is not typed comes from the laboratory, or from the calibration date.
    const Laboratory &laboratory = d_record->Get_Laboratory();
    d_edits.value(Record_Field::Place)->setPlaceholderText(laboratory.place);
    d_edits.value(Record_Field::Approver)->setPlaceholderText(laboratory.approver);
    d_edits.value(Record_Field::Approver_Function)
        ->setPlaceholderText(laboratory.approver_function);
    d_edits.value(Record_Field::Receipt_Date)
        ->setPlaceholderText(evaluation.effective.value(Record_Field::Calibration_Date));
    d_rule_box->setCurrentText(d_record->Field(Record_Field::Decision_Rule));
    d_rule_box->setEnabled(!read_only);
}
