#ifndef ZENTROVA_HISTORYPANEL_H
#define ZENTROVA_HISTORYPANEL_H

#include "calibration.h"
#include "history.h"
#include "judging.h"

#include <QStringList>
#include <QWidget>

class QLabel;
class QLineEdit;
class QTableView;
class THistoryClient;
class TRecordModel;
class TResultsTableModel;

// What the history says of the instrument in the record window: its last
// calibration, a warning where an existing code found now is not the code
// left then (a mistyped code gives a plausible wrong new code), and the
// drift since, a row a nominal temperature. It asks the history as the
// serial number changes, completes the serial number, and fills in the
// model and owner the history knows of a serial number typed.
class THistoryPanel : public QWidget
{
    Q_OBJECT

public:
    THistoryPanel(TRecordModel *record, THistoryClient *history, QLineEdit *serial_field,
                  QWidget *parent);

    // Shows the record's calibration against its history; asks the history
    // again when the serial number changed.
    void Refresh();

    // Everything the panel says, as one text (for a screen reader, and tests).
    QString Text() const;
    QStringList Warnings() const;

signals:
    // Something to tell the user (fields filled in from the history).
    void Said(const QString &words);

private:
    void Update();
    void Last_Found(const QString &serial, const Last_Calibration &last);

    TRecordModel *d_record;
    THistoryClient *d_history;
    QString d_failure;
    QString d_notice;
    QString d_asked_serial;
    bool d_fill_from_history = false;

    QStringList d_messages;
    Last_Calibration d_last;
    bool d_codes_complete = false;
    Code_Pair d_codes_found;
    QList<Nominal_Error> d_found_now;
    int d_decimals = 3;

    QLabel *d_text_label;
    QWidget *d_warning_box;
    QLabel *d_warning_label;
    QLabel *d_drift_label;
    QTableView *d_drift_view;
    TResultsTableModel *d_drift_model;
};

#endif
