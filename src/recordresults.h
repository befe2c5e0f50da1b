#ifndef ZENTROVA_RECORDRESULTS_H
#define ZENTROVA_RECORDRESULTS_H

#include <QWidget>

class QLabel;
class QPushButton;
class QTableView;
class TAsLeftModel;
class TErrorPlot;
class TRecordModel;
class TResultsTableModel;

// The results of a calibration in the record window: as found, the codes
// left with the prediction, the rows measured as left, the uncertainty and
// the verdicts, and the plot, as the record evaluates them.
class TRecordResults : public QWidget
{
    Q_OBJECT

public:
    TRecordResults(TRecordModel *record, QWidget *parent);

    // Takes a cell being edited in the as-left table.
    void Take_Edit();
    // Shows the record's evaluation as it is now.
    void Refresh();

signals:
    void Codes_Keyed_In();
    // Something to tell the user (lines left out of a paste).
    void Said(const QString &words);

private:
    TRecordModel *d_record;
    QLabel *d_found_codes_label;
    TResultsTableModel *d_found_model;
    QTableView *d_found_view;
    QLabel *d_codes_left_label;
    QPushButton *d_keyed_in_button;
    TResultsTableModel *d_predicted_model;
    QLabel *d_predicted_label;
    TAsLeftModel *d_left_model;
    QTableView *d_left_view;
    QPushButton *d_add_button;
    QPushButton *d_remove_button;
    QLabel *d_uncertainty_label;
    TErrorPlot *d_plot;
};

#endif
