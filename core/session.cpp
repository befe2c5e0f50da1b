#include "session.h"

#include "blockreader.h"
#include "calibration.h"
#include "numbertext.h"
#include "settingsstore.h"

#include <QRegularExpression>
#include <QSettings>

#include <algorithm>

namespace
{
const double code_scales[] = {Code1_Scale, Code2_Scale};

// Row_Count read wide enough to bound it: a count beyond the int range
// loads the most rows, not what toInt() would wrap it to.
int Stored_Row_Count(const QVariant &value)
{
    bool ok = false;
    const QString text = value.toString().trimmed();
    qlonglong count = text.toLongLong(&ok);
    static const QRegularExpression digits(QStringLiteral("^\\+?[0-9]+$"));
    if (!ok && digits.match(text).hasMatch())
        count = Maximum_Table_Rows;
    return static_cast<int>(std::clamp<qlonglong>(count, 1, Maximum_Table_Rows));
}

// A field's text as the file keeps it: a number as a number, so that every
// build reads it; any other text as typed, so that it is not lost (a build
// that does not keep texts reads it as 0, as it always has).
QVariant Text_To_Store(const QString &text)
{
    double value = 0.0;
    if (Read_Number_Text(text, &value))
        return value;
    return text;
}

// A stored existing code. A whole code is a number (the code over its scale,
// with its half-count bias), as every build has written it; digits kept as
// typed carry a flag, since "12" would read as a number too. Anything else
// (a damaged or hand-edited file) is shown as the hexadecimal digits it
// holds, never as a made-up code.
QString Stored_Code_Text(const TSettingsStore &store, const QString &key, double scale)
{
    using namespace Settings_Keys;
    const QString text = Stored_Text(store, key).trimmed();
    if (!store.Contains(key))
        return Format_Code(
            Code_From_Value(key == existing_code1_key ? default_code1 : default_code2, scale));
    static const QRegularExpression hex_digits(QStringLiteral("^[0-9A-Fa-f]{0,4}$"));
    const bool typed = store.Value(Code_Typed_Key(key)).toBool();
    double value = 0.0;
    if (!typed && Read_Number_Text(text, &value))
        return Format_Code(Code_From_Value(value, scale));
    return hex_digits.match(text).hasMatch() ? text : QString();
}
} // namespace

Main_Session Load_Main_Session(const TSettingsStore &store)
{
    using namespace Settings_Keys;
    Main_Session session;
    session.nominal_precision =
        store.Value(nominal_precision_key, default_nominal_precision).toInt();
    session.measured_precision =
        store.Value(measured_precision_key, default_measured_precision).toInt();
    const int row_count = Stored_Row_Count(store.Value(row_count_key, default_row_count));
    // Without a row count the file holds no table (a first start): its rows
    // are 15, 20, 25, ... Otherwise a row or a value that the file lacks is
    // an empty field, never a made-up sample that would take part in the fit.
    const bool first_start = !store.Contains(row_count_key);
    session.example_rows = first_start;
    for (int row = 0; row < row_count; ++row)
    {
        QStringList texts;
        bool stored = false;
        for (Row_Value value : {Row_Value::Nominal, Row_Value::Actual, Row_Value::Reading})
        {
            texts << Stored_Text(store, Row_Key(value, row));
            stored = stored || store.Contains(Row_Key(value, row));
        }
        if (first_start && !stored)
        {
            const QString text = QString::number(Default_Row_Value(row));
            texts = QStringList{text, text, text};
        }
        session.rows << texts;
    }
    const QString keys[] = {existing_code1_key, existing_code2_key};
    for (int code = 0; code < 2; ++code)
        session.code_text[code] = Stored_Code_Text(store, keys[code], code_scales[code]);
    return session;
}

void Save_Main_Session(QSettings &settings, const Main_Session &session)
{
    using namespace Settings_Keys;
    settings.setValue(row_count_key, session.rows.size());
    for (int row = 0; row < session.rows.size(); ++row)
    {
        const QStringList &texts = session.rows.at(row);
        settings.setValue(Row_Key(Row_Value::Actual, row), Text_To_Store(texts.value(1)));
        settings.setValue(Row_Key(Row_Value::Reading, row), Text_To_Store(texts.value(2)));
        settings.setValue(Row_Key(Row_Value::Nominal, row), Text_To_Store(texts.value(0)));
    }
    const QString keys[] = {existing_code1_key, existing_code2_key};
    for (int code = 0; code < 2; ++code)
    {
        quint16 value = 0;
        if (Parse_Code(session.code_text[code], &value))
        {
            settings.setValue(keys[code], Code_Value(value, code_scales[code]));
            settings.remove(Code_Typed_Key(keys[code]));
        }
        else
        {
            settings.setValue(keys[code], session.code_text[code]);
            settings.setValue(Code_Typed_Key(keys[code]), true);
        }
    }
    settings.setValue(nominal_precision_key, session.nominal_precision);
    settings.setValue(measured_precision_key, session.measured_precision);
}

namespace
{
const QString laboratory_group = QStringLiteral("Laboratory");

// Each text of the laboratory with its key, in one place for loading and saving.
template <typename Laboratory_Type, typename Action>
void For_Each_Laboratory_Text(Laboratory_Type &laboratory, Action action)
{
    action(QStringLiteral("Name"), laboratory.name);
    action(QStringLiteral("Address"), laboratory.address);
    action(QStringLiteral("Accreditation"), laboratory.accreditation);
    action(QStringLiteral("Place"), laboratory.place);
    action(QStringLiteral("Approver"), laboratory.approver);
    action(QStringLiteral("Approver_Function"), laboratory.approver_function);
    action(QStringLiteral("Procedure"), laboratory.procedure);
}
} // namespace

bool Laboratory::operator==(const Laboratory &other) const
{
    return name == other.name && address == other.address && accreditation == other.accreditation &&
           place == other.place && approver == other.approver &&
           approver_function == other.approver_function && procedure == other.procedure;
}

Laboratory Load_Laboratory(const TSettingsStore &store)
{
    Laboratory laboratory;
    For_Each_Laboratory_Text(
        laboratory, [&](const QString &key, QString &text)
        { text = Stored_Text(store, laboratory_group + QLatin1Char('/') + key); });
    return laboratory;
}

void Save_Laboratory(QSettings &settings, const Laboratory &laboratory)
{
    settings.beginGroup(laboratory_group);
    For_Each_Laboratory_Text(laboratory, [&](const QString &key, const QString &text)
                             { settings.setValue(key, text); });
    settings.endGroup();
}
