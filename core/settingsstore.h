#ifndef ZENTROVA_SETTINGSSTORE_H
#define ZENTROVA_SETTINGSSTORE_H

#include <QString>
#include <QVariant>

#include <functional>
#include <memory>

class QSettings;

// The names and defaults of everything the settings file holds. Keys at the
// top level belong to the calibration window; a build that does not know a
// group ignores it, and an older file simply lacks it.
namespace Settings_Keys
{
inline const QString row_count_key = QStringLiteral("Row_Count");
inline const QString existing_code1_key = QStringLiteral("Existing_Code1");
inline const QString existing_code2_key = QStringLiteral("Existing_Code2");
inline const QString nominal_precision_key = QStringLiteral("Nominal_Precision");
inline const QString measured_precision_key = QStringLiteral("Measured_Precision");
// Beside an existing code kept as typed (fewer than four digits): its text
// is the digits, not a number.
inline QString Code_Typed_Key(const QString &code_key)
{
    return code_key + QStringLiteral("_As_Typed");
}

constexpr int default_row_count = 3;
constexpr double default_code1 = 1.0; // 2710, the non-calibrated slope
constexpr double default_code2 = 0.0; // 0000, the non-calibrated offset
constexpr int default_nominal_precision = 0;
constexpr int default_measured_precision = 3;

// The record's group: the calibration in progress (core/recordstore.cpp).
namespace Record
{
inline const QString group = QStringLiteral("Record");
// The full key, group included, as the store reads it.
inline QString Key(const QString &name)
{
    return group + QLatin1Char('/') + name;
}
} // namespace Record

enum class Row_Value
{
    Nominal,
    Actual,
    Reading
};
// Nominal_Value_%1 and its two siblings, counted from 0.
QString Row_Key(Row_Value value, int row);
// The rows that a first start shows: 15, 20, 25, ... in all three values.
double Default_Row_Value(int row);
} // namespace Settings_Keys

// The one settings file, "Settings.ini" in ".zentrova" of the home folder.
// It is read once, through one object; every save writes through an object
// of its own (see Write).
class TSettingsStore
{
public:
    // Makes the folder (with the home folder, if that is missing too) and
    // opens the file in it, or in the home folder itself where the folder
    // cannot be made. Something that is not a regular file in the file's
    // place is not read: a pipe would block the start for good.
    TSettingsStore();
    ~TSettingsStore();
    TSettingsStore(const TSettingsStore &) = delete;
    TSettingsStore &operator=(const TSettingsStore &) = delete;

    QString File_Name() const;

    bool Contains(const QString &key) const;
    QVariant Value(const QString &key, const QVariant &default_value = QVariant()) const;

    // Runs fill on a settings object over the file and writes it. Returns
    // why the write failed, or nothing when it was written. Waits at most
    // Lock_Wait_Ms for another program that holds the file's lock.
    QString Write(const std::function<void(QSettings &)> &fill) const;

    static constexpr int Lock_Wait_Ms = 2000;

private:
    // Why the file cannot be the store (something else in its place), or nothing.
    QString Unusable_Reason() const;

    QString d_file_name;
    std::unique_ptr<QSettings> d_reader;
};

// A stored value's text as typed: an unquoted comma (a decimal comma, or a
// text with one) reads back as a list, which is joined again; an absent key
// gives an empty text.
QString Stored_Text(const TSettingsStore &store, const QString &key);

#endif
