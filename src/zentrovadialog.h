#ifndef ZENTROVA_ZENTROVADIALOG_H
#define ZENTROVA_ZENTROVADIALOG_H

#include "calibration.h"

#include <QDialog>
#include <QMessageBox>
#include <QString>
#include <QtGlobal>

#include <memory>
#include <vector>

class QCloseEvent;
class QResizeEvent;
class QLabel;
class QLayout;
class TSettingsStore;
class QTextEdit;
class QToolButton;
class THexEditWidget;
class TInputWidget;
class TRecordDialog;
class TSettingsDialog;
struct Main_Window_State;
class TRecordModel;

// The program's one window: the existing codes, the sample table, the new
// codes with the data range, a legend and a help panel. Every edit of a
// code or of the table recomputes the results; closing the window saves the
// whole state, which the next start loads again.
class TZentrovaDialog : public QDialog
{
    Q_OBJECT

public:
    explicit TZentrovaDialog(QWidget *parent = nullptr, Qt::WindowFlags flags = Qt::WindowFlags());
    ~TZentrovaDialog() override;

    // Ordinary least squares y = slope * x + offset. Returns false, leaving
    // the outputs untouched, for fewer than two points. offset may be null.
    static bool Fit_Line(const std::vector<Vector2> &points, double *slope, double *offset);

    // e1 and e2 are the existing codes as the code fields read them (with
    // their half-count bias), scaled by 10000 and 1000.
    static Calibration_Result Compute_Calibration(const Sample_List &samples, double e1, double e2);

    static QString Format_Code(quint16 code);
    static QString Format_Data_Range(double data_range);

    // Escape, too, closes the window through the close event, so that the
    // user's samples and codes are saved. A plain QDialog's Escape hides the
    // window without a close event, and as the last window that ends the
    // program without saving.
    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private slots:
    void Data_Changed();
    void Settings();
    void Toggle_Help(bool);

private:
    void Open_Settings();
    void Load_Settings();
    // Returns why the save failed, or nothing when it was written.
    QString Save_Settings();
    // Why no new codes can be shown now, or nothing.
    QString Why_No_Codes() const;
    // Takes any edit in progress, so that what is reported next shows
    // samples and codes that belong together.
    void Take_Edits();
    void Mark_Code_Field(THexEditWidget *field);
    void Keep_On_Screen();
    // Opens the record window (built when first opened, beside this one).
    void Open_Record();
    // What the record follows: the samples, the codes and the results.
    Main_Window_State Current_State() const;
    // Puts the calibration record on the clipboard, as text and as HTML.
    void Copy_Record();
    QMessageBox::StandardButton Ask_After_Failed_Save(const QString &failure);
    QLayout *Build_Top_Bar(const QFont &dialog_font);
    QLayout *Build_Legend();
    QLayout *Build_Codes_Panel(const QFont &dialog_font);
    QLayout *Build_Bottom_Bar();

    TSettingsStore *d_settings;
    QLabel *d_new_code1_label;
    QLabel *d_new_code2_label;
    QLabel *d_data_range_label;
    QToolButton *d_help_button;
    QTextEdit *d_help_textedit;
    THexEditWidget *d_code1_hexedit;
    THexEditWidget *d_code2_hexedit;
    TInputWidget *d_input_widget;
    TSettingsDialog *d_settings_dialog;
    // The calibration in progress, which the record window shows; loaded
    // with the settings, saved with them.
    TRecordModel *d_record_model;
    bool d_example_rows = false;
    // A window of its own (no Qt parent, so that this one can come in
    // front of it), deleted with this one.
    std::unique_ptr<TRecordDialog> d_record_dialog;
    Calibration_Result d_result;
    QString d_why_no_codes; // with d_result: why it shows no codes, or nothing
};

#endif
