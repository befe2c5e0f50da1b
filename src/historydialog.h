#ifndef ZENTROVA_HISTORYDIALOG_H
#define ZENTROVA_HISTORYDIALOG_H

#include <QDialog>

class QLineEdit;
class QPushButton;
class QSqlQueryModel;
class QTableView;
class THistory;

// Every stored calibration, newest first, filtered by serial number: one
// can be opened read-only, its certificate saved again unchanged, and the
// list exported as CSV.
class THistoryDialog : public QDialog
{
    Q_OBJECT

public:
    THistoryDialog(THistory *history, QWidget *parent);

    // Shows the calibrations whose serial number begins with the text.
    void Set_Filter(const QString &serial);
    int Row_Count() const;
    // The selected calibration's certificate, as it was saved, to path.
    // Returns why it could not be written, or nothing.
    QString Save_Certificate_Again(const QString &path);
    // The list as shown (every row, not only those fetched) to path as CSV.
    QString Export_Csv(const QString &path);

private:
    qint64 Selected_Id() const;
    void Open_Selected();
    void Update_Buttons();

    THistory *d_history;
    QLineEdit *d_filter_edit;
    QTableView *d_table_view;
    QSqlQueryModel *d_model;
    QPushButton *d_open_button;
    QPushButton *d_save_button;
};

// One line of CSV: cells quoted where they hold a comma, a quote or a line break.
QString Csv_Line(const QStringList &cells);

#endif
