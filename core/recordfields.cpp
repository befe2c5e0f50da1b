#include "recordfields.h"

#include "check.h"

#include <QCoreApplication>

namespace
{
QString Tr(const char *text)
{
    return QCoreApplication::translate("Record_Field", text);
}

QList<Record_Field_Info> Make_Fields()
{
    using F = Record_Field;
    using K = Field_Kind;
    // required, kept, default
    return {
        {F::Serial, QStringLiteral("Serial_Number"), Tr("Serial number"), K::Text, true, false, {}},
        {F::Model, QStringLiteral("Model"), Tr("Model"), K::Text, true, true,
         QStringLiteral("KX310")},
        {F::Maker, QStringLiteral("Maker"), Tr("Maker"), K::Text, true, true,
         QStringLiteral("Zentrova")},
        {F::Description, QStringLiteral("Description"), Tr("Description"), K::Text, true, true,
         Tr("hand-held thermometer")},
        {F::Owner, QStringLiteral("Owner"), Tr("Owner"), K::Text, true, true, {}},
        {F::Owner_Address,
         QStringLiteral("Owner_Address"),
         Tr("Owner's address"),
         K::Text,
         false,
         true,
         {}},
        {F::Condition, QStringLiteral("Condition"), Tr("Condition as received"), K::Text, true,
         false, Tr("in working order")},
        {F::Receipt_Date,
         QStringLiteral("Receipt_Date"),
         Tr("Date of receipt"),
         K::Date,
         false,
         false,
         {}},
        {F::Calibration_Date,
         QStringLiteral("Calibration_Date"),
         Tr("Calibration date"),
         K::Date,
         true,
         false,
         {}},
        {F::Technician, QStringLiteral("Technician"), Tr("Technician"), K::Text, true, true, {}},
        {F::Reference,
         QStringLiteral("Reference"),
         Tr("Reference thermometer"),
         K::Text,
         true,
         true,
         {}},
        {F::Reference_Certificate,
         QStringLiteral("Reference_Certificate"),
         Tr("Reference certificate number"),
         K::Text,
         true,
         true,
         {}},
        {F::Reference_Due_Date,
         QStringLiteral("Reference_Due_Date"),
         Tr("Reference calibration due"),
         K::Date,
         true,
         true,
         {}},
        {F::Reference_Uncertainty,
         QStringLiteral("Reference_Uncertainty"),
         Tr("Reference uncertainty (k=2)"),
         K::Number,
         true,
         true,
         {}},
        {F::Resolution, QStringLiteral("Resolution"), Tr("Resolution"), K::Number, true, true,
         QStringLiteral("0.1")},
        {F::Tolerance, QStringLiteral("Tolerance"), Tr("Tolerance"), K::Number, false, true, {}},
        {F::Decision_Rule, QStringLiteral("Decision_Rule"), Tr("Decision rule"), K::Choice, true,
         true, Simple_Acceptance_Text()},
        {F::Ambient_Temperature,
         QStringLiteral("Ambient_Temperature"),
         Tr("Ambient temperature"),
         K::Number,
         true,
         false,
         {}},
        {F::Relative_Humidity,
         QStringLiteral("Relative_Humidity"),
         Tr("Relative humidity"),
         K::Number,
         true,
         false,
         {}},
        {F::Medium, QStringLiteral("Medium"), Tr("Comparison medium"), K::Text, false, true, {}},
        {F::Place, QStringLiteral("Place"), Tr("Place of calibration"), K::Text, true, true, {}},
        {F::Approver, QStringLiteral("Approver"), Tr("Approved by"), K::Text, true, true, {}},
        {F::Approver_Function,
         QStringLiteral("Approver_Function"),
         Tr("Approver's function"),
         K::Text,
         true,
         true,
         {}},
    };
}
} // namespace

const QList<Record_Field_Info> &Record_Fields()
{
    static const QList<Record_Field_Info> fields = Make_Fields();
    return fields;
}

const Record_Field_Info &Field_Info(Record_Field field)
{
    const QList<Record_Field_Info> &fields = Record_Fields();
    const int index = static_cast<int>(field);
    ZENTROVA_CHECK(index >= 0 && index < fields.size() && fields.at(index).field == field);
    return fields.at(index);
}
