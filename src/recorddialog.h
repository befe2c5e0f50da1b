#ifndef ZENTROVA_RECORDDIALOG_H
#define ZENTROVA_RECORDDIALOG_H

#include "certificatecontent.h"
#include "issuing.h"

#include <QDialog>
#include <QString>

class QLabel;
class QPushButton;
class QScrollArea;
class QTimer;
class THistoryClient;
class THistoryDialog;
class THistoryPanel;
class TRecordForm;
class TRecordModel;
class TRecordResults;
class TSettingsStore;

// The record window: one calibration from as found to its certificate. It
// shows the record model's one evaluation (fields, tables, verdicts, the
// plot, the next step) and passes what the user does back to it; the
// history is asked off the GUI thread.
class TRecordDialog : public QDialog
{
    Q_OBJECT

public:
    // A window of its own, with no Qt parent and not a dialog to the window
    // manager: the calibration window raised with Alt+Tab comes in front of
    // it. Its owner deletes it.
    TRecordDialog(TRecordModel *record, TSettingsStore *store);
    ~TRecordDialog() override;

    // Beside the given window where the screen has room; where it has not,
    // so that the other window's codes, results and first rows stay in sight.
    void Place_Beside(QWidget *window);

    QString Status() const;
    QString History_Text() const;

public slots:
    // Issues the certificate (once: saving an issued calibration again gives
    // the same certificate and number) and saves it as a PDF at path without
    // asking anything. Returns an empty text on success, or the reason.
    QString Save_Certificate(const QString &path);
    // The same document marked "DRAFT - not a certificate", with no number;
    // stores nothing. Returns an empty text on success, or the reason.
    QString Save_Draft(const QString &path);
    void New_Calibration();
    void Codes_Keyed_In();

signals:
    // Asks the calibration window to take any edit in progress and send its
    // state before anything is decided.
    void Current_State_Wanted();

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QLayout *Build_Buttons();
    void Refresh();
    void Take_Edits();
    // Issues the calibration if it is not yet; the content issued, or why not.
    QString Issue(Certificate_Content *content);
    QString Keep_State();
    void Save_Certificate_As();
    void Save_Draft_As();
    void Print_Certificate();
    void Amend();
    void Open_History();
    void Open_Laboratory();

    TRecordModel *d_record;
    TSettingsStore *d_store;
    THistoryClient *d_history;
    TCertificateIssuer d_issuer;
    QString d_status;
    QTimer *d_refresh_timer;

    QLabel *d_next_step_label;
    QLabel *d_reasons_label;
    QLabel *d_notice_label;
    QScrollArea *d_scroll;
    TRecordForm *d_form;
    THistoryPanel *d_history_panel;
    TRecordResults *d_results;
    QLabel *d_status_label;
    QPushButton *d_save_button;
    QPushButton *d_print_button;
    QPushButton *d_draft_button;
    QPushButton *d_amend_button;
    THistoryDialog *d_history_dialog;
};

#endif
