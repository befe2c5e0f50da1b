#ifndef ZENTROVA_RECORDDIALOG_H
#define ZENTROVA_RECORDDIALOG_H

#include "calibrationrecord.h"
#include "certificate.h"

#include "history.h"
#include "historyclient.h"

#include <QDialog>

#include <memory>
#include <QList>
#include <QStringList>

class QCompleter;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QSettings;
class QTableWidget;
class QwtPlot;
class QwtPlotCurve;
class QwtPlotMarker;
class QwtPlotZoneItem;
class THistoryDialog;
class TSettingsStore;

// What the calibration window shows, as the record window follows it.
struct Calibration_State
{
    QString existing_code1;
    QString existing_code2;
    bool has_codes = false; // the new codes are shown
    QString new_code1;
    QString new_code2;
    QString why_no_codes;
    QList<QStringList> samples; // Nominal, Actual, Reading texts
};

// Finishes a calibration: who and what, the samples as found, the readings
// the new codes should give (predicted as left), the readings measured after
// the codes were keyed in (as left), the uncertainty and the verdicts
// against a tolerance, a plot of it all, and the certificate.
class TRecordDialog : public QDialog
{
    Q_OBJECT

public:
    TRecordDialog(TSettingsStore *store, QWidget *parent);

    // Follows the calibration window: every change of its codes or samples.
    void Set_Calibration(const Calibration_State &state);
    // Writes the record's fields and as-left rows into the "Record" group.
    void Save(QSettings &settings) const;

    // The number the next certificate gets.
    QString Next_Certificate_Number() const;
    // Why there is no certificate now (no serial number, no codes), or nothing.
    QString Why_No_Certificate() const;
    Certificate_Content Content() const;
    QImage Plot_Picture() const;
    // What the record says of the instrument's history: its last
    // calibration, codes that differ from those it left, the drift since.
    QString History_Text() const;

public slots:
    // Saves the certificate as a PDF at path without asking anything.
    // Returns an empty text on success, or the reason; writes nothing
    // without a serial number or while the calibration window shows no codes.
    QString Save_Certificate(const QString &path);

signals:
    // Asks the calibration window to take any edit in progress and send its
    // state (Set_Calibration) before anything is reported.
    void Current_State_Wanted();

private:
    struct Row_Result
    {
        double actual;
        double reading;
        double error;
        Verdict verdict;
    };

    // The tolerance, the fit's spread and U, worked out once per update.
    struct Judging
    {
        bool has_tolerance = false;
        double tolerance = 0.0;
        Residual_Spread spread;
        double uncertainty = 0.0;
        Verdict Of(double error) const
        {
            return Judge(error, has_tolerance, tolerance, uncertainty);
        }
    };

    void Load();
    QLineEdit *Add_Field(class QFormLayout *form, const QString &label, const QString &key,
                         const QString &default_text = QString());
    QTableWidget *New_Table(const QStringList &header, bool editable);
    void Update();
    void Update_Plot(const QList<Row_Result> &found, const QList<Row_Result> &predicted,
                     const QList<Row_Result> &left, const Judging &judging);
    Judging Current_Judging() const;
    QList<Row_Result> As_Found(const Judging &judging) const;
    QList<Row_Result> Predicted(const QList<Row_Result> &found, const Judging &judging) const;
    QList<Row_Result> As_Left_Measured(const Judging &judging) const;
    bool Tolerance(double *tolerance) const;
    double Number(const QLineEdit *field, double fallback) const;
    Residual_Spread Spread() const;
    void Add_As_Left_Row(const QString &actual, const QString &reading);
    void Paste_As_Left();
    void Save_Certificate_As();
    void Print_Certificate();
    void Count_Certificate(const QString &number);
    History_Record History_Of(const Certificate_Content &content) const;
    // Issues the certificate's number in the history; returns why it was
    // not issued, or nothing (content then carries its number).
    QString Issue(Certificate_Content *content);
    void Update_History();
    void Open_History();

    TSettingsStore *d_store;
    Calibration_State d_state;
    QList<QPair<QLineEdit *, QString>> d_fields; // field, key
    QLineEdit *d_serial_edit;
    QLineEdit *d_technician_edit;
    QLineEdit *d_reference_uncertainty_edit;
    QLineEdit *d_resolution_edit;
    QLineEdit *d_tolerance_edit;
    QDateEdit *d_date_edit;
    QLabel *d_codes_label;
    QTableWidget *d_found_table;
    QTableWidget *d_predicted_table;
    QLabel *d_predicted_label;
    QTableWidget *d_left_table;
    QLabel *d_uncertainty_label;
    QwtPlot *d_plot;
    QwtPlotCurve *d_found_curve;
    QwtPlotCurve *d_fit_curve;
    QwtPlotCurve *d_predicted_curve;
    QwtPlotCurve *d_left_curve;
    QwtPlotZoneItem *d_tolerance_zone;
    QwtPlotMarker *d_zero_marker;
    QPushButton *d_save_button;
    QPushButton *d_print_button;
    bool d_updating;

    // Opened with the record window, never with the main window; asked
    // off the GUI thread.
    THistoryClient *d_history;
    // The calibration in progress: issued once.
    QString d_calibration_id;
    QString d_history_failure;
    QString d_history_message;
    // What the user is told once and keeps seeing: a damaged history moved aside.
    QString d_history_notice;
    QCompleter *d_serial_completer;
    QString d_last_serial;
    Last_Calibration d_last;
    QLabel *d_history_label;
    THistoryDialog *d_history_dialog;
};

#endif
