#ifndef ZENTROVA_RECORDMODEL_H
#define ZENTROVA_RECORDMODEL_H

#include "calibration.h"
#include "certificatecontent.h"
#include "judging.h"
#include "recordfields.h"
#include "session.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QMap>
#include <QObject>
#include <QString>
#include <QStringList>

// What the calibration window shows, as numbers and the texts typed: the
// record follows it until the codes are keyed in.
struct Main_Window_State
{
    QList<QStringList> samples;  // Nominal, Actual, Reading texts as typed
    bool codes_complete = false; // both existing codes have four digits
    Code_Pair codes;             // the existing codes (when complete)
    bool has_result = false;     // the window shows new codes
    Code_Pair new_codes;
    QString why_no_codes; // why it shows none, when it shows none
    int measured_precision = 3;
};

// The as-found part of a calibration: the samples and the codes found in
// the instrument, with the codes the window computed from them.
struct Found_Part
{
    QList<QStringList> samples; // Nominal, Actual, Reading texts
    bool codes_complete = false;
    Code_Pair codes;
    bool has_new_codes = false;
    Code_Pair new_codes;
    QString why_no_codes;
};

// A row measured after the codes were keyed in, with the codes it was
// measured with (unknown for a row kept by a version that did not say).
struct As_Left_Row
{
    QString actual;
    QString reading;
    bool codes_known = false;
    Code_Pair codes;
};

enum class Record_Phase
{
    Found,    // as found: the record follows the calibration window
    Keyed_In, // the codes are in the instrument: as-found kept, as left measured
    Issued    // a certificate was issued: read-only until New Calibration
};

// Everything a calibration is, and is kept between runs.
struct Record_State
{
    QString calibration_id; // made when it began: one certificate per calibration
    Record_Phase phase = Record_Phase::Found;
    bool adjusted = false;              // Codes Keyed In was pressed
    bool found_frozen = false;          // the as-found part is kept as it was (keyed in, or issued)
    Found_Part found;                   // when frozen
    Code_Pair codes_left;               // when adjusted
    QList<As_Left_Row> as_left;         // measured with the codes left
    QList<As_Left_Row> set_aside;       // measured with other codes: kept, not used
    QMap<Record_Field, QString> fields; // as typed
    QString number;                     // when issued
    QString issue_date;                 // ISO 8601, when issued
    QString replaces;                   // an amendment: the number it replaces
    QByteArray issued_content;          // the certificate issued, as JSON
    // The samples of the calibration window that were there before this
    // calibration began and have not been touched since: they are the last
    // instrument's (or made up at a first start), never this one's.
    QString window_at_start;
};

// One row of a results table as the window and the certificate state it.
struct Judged_Row
{
    QStringList cells;    // what is shown, errors at the decimals stated
    double nominal = 0.0; // NaN where there is none
    double actual = 0.0;
    double reading = 0.0;
    double error = 0.0; // NaN where the row does not read
    bool readable = false;
    Verdict verdict = Verdict::None;
};

// The one evaluation of the record that the window, the plot, the
// certificate and the history all read: worked out once per change.
struct Record_Evaluation
{
    int decimals = 3;                           // of results and errors
    QMap<Record_Field, QString> effective;      // the texts that count (defaults filled in)
    QMap<Record_Field, QString> field_problems; // why a field's text does not read
    QStringList missing;                        // the names of required fields left empty
    QDate calibration_date;                     // when it reads

    bool has_limits = false; // U worked out: reference uncertainty and resolution read
    double reference_uncertainty = 0.0;
    double resolution = 0.0;
    Residual_Spread spread;
    Uncertainty_Budget budget;
    Stated_Uncertainty uncertainty;
    Judging_Limits limits;

    Found_Part found;      // as used: live or kept
    bool has_plan = false; // codes to leave are known (keyed in, or the window's new codes)
    Code_Pair codes_left;  // keyed in, or planned
    QList<Judged_Row> found_rows;
    QList<Judged_Row> predicted_rows;
    QList<Judged_Row> left_rows;      // measured with the codes left
    QList<Judged_Row> set_aside_rows; // shown, not used
    QStringList row_problems;         // as-left rows that do not read, by row
    Verdict found_verdict = Verdict::None;
    Verdict left_verdict = Verdict::None;
    bool left_measured = false;

    QStringList reasons;     // why there is no certificate now
    QString next_step;       // one line: what comes next
    bool can_key_in = false; // Codes Keyed In would take new codes now
    bool read_only = false;  // issued
    Plot_Data plot;
};

// One calibration with a beginning and an end. It follows the calibration
// window until the codes are keyed in, keeps the as-found part from then
// on, takes the rows measured as left, and ends when a certificate is
// issued. Every change is evaluated once; the windows only show it.
class TRecordModel : public QObject
{
    Q_OBJECT

public:
    explicit TRecordModel(QObject *parent = nullptr);

    // Inputs from the other windows.
    void Set_Main_Window(const Main_Window_State &state);
    void Set_Laboratory(const Laboratory &laboratory);
    const Laboratory &Get_Laboratory() const;
    // The day that counts as today (tests set another).
    void Set_Today(const QDate &today);
    QDate Today() const;

    QString Field(Record_Field field) const;
    // Ignored while issued.
    void Set_Field(Record_Field field, const QString &text);

    // The rows measured as left with the codes left, as typed; ignored
    // while issued or before the codes are keyed in.
    int As_Left_Count() const;
    void Set_As_Left(int row, int column, const QString &text); // column 0 Actual, 1 Reading
    bool Add_As_Left_Row();
    void Remove_As_Left_Row(int row);
    void Remove_Set_Aside_Row(int row);
    // A spreadsheet's block from (row, column) on, rows added up to the
    // bound; returns how many lines did not fit.
    int Paste_As_Left(int row, int column, const QString &text);
    bool Can_Measure_As_Left() const;

    // The life of a calibration.
    // The codes shown in the calibration window are in the instrument: the
    // first time, the as-found part is kept as it is; each time, the codes
    // left become the window's new codes, and rows measured with earlier
    // codes are set aside. False, changing nothing, when there are no codes.
    bool Codes_Keyed_In();
    // The next instrument on the same bench: a new id, today's date, no
    // serial number, no as-left rows; the bench's fields stay.
    void New_Calibration();
    // The samples the calibration window shows now were not measured on this
    // instrument: nothing is judged while any of them is still shown.
    void Hold_Samples_Shown();
    // The certificate was issued with this number and content.
    void Mark_Issued(const QString &number, const QDate &issue_date, const QByteArray &content);
    // An issued calibration opened again to be corrected: its certificate
    // will be replaced by one with a new number.
    bool Amend();

    const Record_State &State() const;
    void Restore(const Record_State &state);
    const Record_Evaluation &Evaluation() const;
    const Main_Window_State &Main_Window() const;

signals:
    // After every change; the evaluation is worked out anew when asked for.
    void Changed();
    // The rows of the as-left table were replaced (not only edited).
    void As_Left_Reset();

private:
    void Evaluate() const;
    void Update();

    Record_State d_state;
    Main_Window_State d_main;
    Laboratory d_laboratory;
    QDate d_today;
    // Worked out when first asked for after a change: the calibration
    // window reports every keystroke, and while the record window is closed
    // nobody asks.
    mutable Record_Evaluation d_evaluation;
    mutable bool d_evaluated = false;
};

// A new calibration's id.
QString New_Calibration_Id();
// The calibration window's samples and codes, in one text as the settings
// file keeps it: a line a sample, Nominal, Actual and Reading by tabs.
QString Window_Fingerprint(const Main_Window_State &state);
// The rows (from 0) of the window whose Actual and Reading are, as typed,
// among those of the fingerprint's samples.
QList<int> Rows_Shown_Before(const Main_Window_State &state, const QString &fingerprint);
// Rows (from 0, ascending) as a reader counts them, in runs: "1-3, 5".
QString Row_Ranges(const QList<int> &rows);

// The record's state as the settings file's Record group holds it: every
// key an earlier version wrote stays readable (its as-left rows, which did
// not say which codes they were measured with, are set aside).
Record_State Load_Record_State(const TSettingsStore &store);
void Save_Record_State(QSettings &settings, const Record_State &state);

#endif
