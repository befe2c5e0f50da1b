#ifndef ZENTROVA_RECORDFIELDS_H
#define ZENTROVA_RECORDFIELDS_H

#include <QList>
#include <QString>

// The fields of a calibration record: who and what, when, with which
// reference, in which conditions, against which tolerance. Each is kept as
// typed, under its key in the settings file's Record group.
enum class Record_Field
{
    Serial,
    Model,
    Maker,
    Description,
    Owner,
    Owner_Address,
    Condition,
    Receipt_Date,
    Calibration_Date,
    Technician,
    Reference,
    Reference_Certificate,
    Reference_Due_Date,
    Reference_Uncertainty,
    Resolution,
    Tolerance,
    Decision_Rule,
    Ambient_Temperature,
    Relative_Humidity,
    Medium,
    Place,
    Approver,
    Approver_Function
};

enum class Field_Kind
{
    Text,
    Number,
    Date,
    Choice
};

struct Record_Field_Info
{
    Record_Field field;
    QString key;  // in the Record group
    QString name; // the field's label and accessible name
    Field_Kind kind;
    bool required;        // a certificate needs it
    bool kept;            // New Calibration keeps it: the next instrument on the same bench
    QString default_text; // a new record's text
};

// Every field, in the order the record window shows them.
const QList<Record_Field_Info> &Record_Fields();
const Record_Field_Info &Field_Info(Record_Field field);

// The decision rule's texts as the Decision_Rule field holds them.
inline QString Simple_Acceptance_Text()
{
    return QStringLiteral("simple acceptance");
}
inline QString Guard_Band_Text()
{
    return QStringLiteral("guard band");
}

#endif
