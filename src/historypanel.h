#ifndef ZENTROVA_HISTORYPANEL_H
#define ZENTROVA_HISTORYPANEL_H

#include "calibration.h"
#include "history.h"
#include "judging.h"

#include <QStringList>
#include <QWidget>

class QLabel;
class QTableView;
class TResultsTableModel;

// What the history says of the instrument in the record window: its last
// calibration, a warning where an existing code found now is not the code
// left then (a mistyped code gives a plausible wrong new code), and the
// drift since, a row a nominal temperature.
class THistoryPanel : public QWidget
{
    Q_OBJECT

public:
    explicit THistoryPanel(QWidget *parent);

    // Failures and notices of the history itself, as plain text.
    void Set_Messages(const QStringList &messages);
    void Set_Last(const Last_Calibration &last);
    // The calibration in progress: its codes found and its as-found errors.
    void Set_Current(bool codes_complete, const Code_Pair &codes_found,
                     const QList<Nominal_Error> &found_now, int decimals);

    // Everything the panel says, as one text (for a screen reader, and tests).
    QString Text() const;
    QStringList Warnings() const;

private:
    void Update();

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
