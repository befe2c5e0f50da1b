// The record's state in the settings file's Record group.
#include "recordmodel.h"

#include "blockreader.h"
#include "settingsstore.h"

#include <QSettings>

#include <algorithm>

namespace
{
QString Key(const QString &name)
{
    return Settings_Keys::Record::Key(name);
}

QString Text(const TSettingsStore &store, const QString &name)
{
    return Stored_Text(store, Key(name));
}

const char *Phase_Text(Record_Phase phase)
{
    switch (phase)
    {
    case Record_Phase::Keyed_In:
        return "keyed_in";
    case Record_Phase::Issued:
        return "issued";
    case Record_Phase::Found:
        break;
    }
    return "found";
}

Record_Phase Phase_Of(const QString &text)
{
    if (text == QLatin1String("keyed_in"))
        return Record_Phase::Keyed_In;
    if (text == QLatin1String("issued"))
        return Record_Phase::Issued;
    return Record_Phase::Found;
}

QString Indexed(const char *name, int row)
{
    return QStringLiteral("%1_%2").arg(QLatin1String(name)).arg(row);
}

// Rows kept under <prefix>_Count, <prefix>_Actual_%1, <prefix>_Reading_%1
// and <prefix>_Codes_%1. Only rows the file holds are made, at most the
// bound, whatever the count says.
QList<As_Left_Row> Load_Rows(const TSettingsStore &store, const QString &prefix)
{
    QList<As_Left_Row> rows;
    const int count = std::clamp(store.Value(Key(prefix + QStringLiteral("_Count")), 0).toInt(), 0,
                                 Maximum_Table_Rows);
    for (int row = 0; row < count; ++row)
    {
        const QString actual = prefix + QStringLiteral("_Actual_%1").arg(row);
        const QString reading = prefix + QStringLiteral("_Reading_%1").arg(row);
        if (!store.Contains(Key(actual)) && !store.Contains(Key(reading)))
            continue;
        As_Left_Row left;
        left.actual = Text(store, actual);
        left.reading = Text(store, reading);
        left.codes_known =
            Parse_Codes(Text(store, prefix + QStringLiteral("_Codes_%1").arg(row)), &left.codes);
        rows << left;
    }
    return rows;
}

void Save_Rows(QSettings &settings, const QString &prefix, const QList<As_Left_Row> &rows)
{
    settings.setValue(prefix + QStringLiteral("_Count"), rows.size());
    for (int row = 0; row < rows.size(); ++row)
    {
        const As_Left_Row &left = rows.at(row);
        settings.setValue(prefix + QStringLiteral("_Actual_%1").arg(row), left.actual);
        settings.setValue(prefix + QStringLiteral("_Reading_%1").arg(row), left.reading);
        if (left.codes_known)
            settings.setValue(prefix + QStringLiteral("_Codes_%1").arg(row),
                              Format_Codes(left.codes));
        else
            settings.remove(prefix + QStringLiteral("_Codes_%1").arg(row));
    }
}
} // namespace

Record_State Load_Record_State(const TSettingsStore &store)
{
    Record_State state;
    for (const Record_Field_Info &info : Record_Fields())
        state.fields.insert(info.field, store.Contains(Key(info.key)) ? Text(store, info.key)
                                                                      : info.default_text);
    if (!store.Contains(Key(Field_Info(Record_Field::Calibration_Date).key)))
        state.fields.insert(Record_Field::Calibration_Date,
                            QDate::currentDate().toString(Qt::ISODate));
    state.calibration_id = Text(store, QStringLiteral("Calibration_Id"));
    state.phase = Phase_Of(Text(store, QStringLiteral("State")));
    state.adjusted = store.Value(Key(QStringLiteral("Adjusted")), false).toBool() &&
                     Parse_Codes(Text(store, QStringLiteral("Codes_Left")), &state.codes_left);
    state.found_frozen =
        store.Value(Key(QStringLiteral("Found_Kept")), false).toBool() &&
        Parse_Codes(Text(store, QStringLiteral("Found_Codes")), &state.found.codes);
    if (state.found_frozen)
    {
        state.found.codes_complete = true;
        state.found.has_new_codes =
            Parse_Codes(Text(store, QStringLiteral("Found_New_Codes")), &state.found.new_codes);
        const int count = std::clamp(store.Value(Key(QStringLiteral("Found_Row_Count")), 0).toInt(),
                                     0, Maximum_Table_Rows);
        for (int row = 0; row < count; ++row)
            state.found.samples << QStringList{Text(store, Indexed("Found_Nominal", row)),
                                               Text(store, Indexed("Found_Actual", row)),
                                               Text(store, Indexed("Found_Reading", row))};
    }
    // A state that does not hold together (a hand-edited or damaged file) is
    // a calibration as found, never one with codes or a found part made up.
    if (!state.found_frozen)
        state.adjusted = false;
    if (state.phase == Record_Phase::Keyed_In && !state.adjusted)
        state.phase = Record_Phase::Found;
    state.number = Text(store, QStringLiteral("Certificate_Number"));
    state.issue_date = Text(store, QStringLiteral("Issue_Date"));
    state.issued_content = store.Value(Key(QStringLiteral("Issued_Content"))).toByteArray();
    if (state.phase == Record_Phase::Issued &&
        (state.number.isEmpty() || !state.found_frozen || state.issued_content.isEmpty()))
        state.phase = Record_Phase::Found;
    state.replaces = Text(store, QStringLiteral("Replaces"));
    state.window_at_start = Text(store, QStringLiteral("Window_At_Start"));
    state.as_left = Load_Rows(store, QStringLiteral("As_Left"));
    state.set_aside = Load_Rows(store, QStringLiteral("Set_Aside"));
    return state;
}

void Save_Record_State(QSettings &settings, const Record_State &state)
{
    settings.beginGroup(Settings_Keys::Record::group);
    for (const Record_Field_Info &info : Record_Fields())
        settings.setValue(info.key, state.fields.value(info.field));
    settings.setValue(QStringLiteral("Calibration_Id"), state.calibration_id);
    settings.setValue(QStringLiteral("State"), QLatin1String(Phase_Text(state.phase)));
    settings.setValue(QStringLiteral("Adjusted"), state.adjusted);
    settings.setValue(QStringLiteral("Codes_Left"),
                      state.adjusted ? Format_Codes(state.codes_left) : QString());
    settings.setValue(QStringLiteral("Found_Kept"), state.found_frozen);
    const Found_Part &found = state.found;
    settings.setValue(QStringLiteral("Found_Codes"),
                      state.found_frozen ? Format_Codes(found.codes) : QString());
    settings.setValue(QStringLiteral("Found_New_Codes"), state.found_frozen && found.has_new_codes
                                                             ? Format_Codes(found.new_codes)
                                                             : QString());
    settings.setValue(QStringLiteral("Found_Row_Count"),
                      state.found_frozen ? found.samples.size() : 0);
    for (int row = 0; state.found_frozen && row < found.samples.size(); ++row)
    {
        settings.setValue(Indexed("Found_Nominal", row), found.samples.at(row).value(0));
        settings.setValue(Indexed("Found_Actual", row), found.samples.at(row).value(1));
        settings.setValue(Indexed("Found_Reading", row), found.samples.at(row).value(2));
    }
    settings.setValue(QStringLiteral("Certificate_Number"), state.number);
    settings.setValue(QStringLiteral("Issue_Date"), state.issue_date);
    settings.setValue(QStringLiteral("Issued_Content"), state.issued_content);
    settings.setValue(QStringLiteral("Replaces"), state.replaces);
    settings.setValue(QStringLiteral("Window_At_Start"), state.window_at_start);
    Save_Rows(settings, QStringLiteral("As_Left"), state.as_left);
    Save_Rows(settings, QStringLiteral("Set_Aside"), state.set_aside);
    // The number of the day's next certificate is the history's to count;
    // an earlier version kept a count here.
    for (const char *name :
         {"Last_Certificate_Serial", "Last_Certificate_Date", "Last_Certificate_Count"})
        settings.remove(QLatin1String(name));
    settings.endGroup();
}
