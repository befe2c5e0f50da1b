#ifndef ZENTROVA_HISTORYDIALOG_H
#define ZENTROVA_HISTORYDIALOG_H

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class THistoryClient;
class THistoryListModel;
class TSettingsStore;

// Every stored calibration, newest first, filtered by any part of the
// serial number or the owner: one can be opened read-only and its
// certificate saved again unchanged; the list, or its points, exported as
// CSV; and the shared history set. The list is fetched off the GUI thread a
// page at a time, so the window is shown at once however long the history.
class THistoryDialog : public QDialog
{
    Q_OBJECT

public:
    THistoryDialog(THistoryClient *client, TSettingsStore *store, QWidget *parent);

    // Shows the calibrations whose serial number or owner holds the text.
    void Set_Filter(const QString &text);
    THistoryListModel *Model() const;
    // What the window says above the list: why the history cannot be used,
    // that it is loading, that nothing matches; or nothing.
    QString Status_Text() const;
    void Select_Row(int row);
    // The selected calibration's certificate, as it was issued, to path.
    // Returns why it could not be written, or nothing.
    QString Save_Certificate_Again(const QString &path);
    // The list as filtered (every row, not only those fetched), or one row
    // per point of it, to path as CSV; -> Export_Finished.
    void Start_Export(const QString &path, bool points);
    // Shows the selected calibration's certificate from its top.
    QDialog *Open_Selected();

    // How long opening or saving a stored certificate may wait for it.
    static constexpr int certificate_wait_ms = 8000;

signals:
    void Export_Finished(const QString &failure);

private:
    QString Selected_Number() const;
    QString Save_Number(const QString &number, const QString &path);
    void Update_State();
    void Ask_Save_Again(const QString &number);
    void Ask_Export(bool points);
    void Open_Settings();

    THistoryClient *d_client;
    TSettingsStore *d_store;
    THistoryListModel *d_model;
    QLineEdit *d_filter_edit;
    QLabel *d_status_label;
    QTableView *d_table_view;
    QPushButton *d_open_button;
    QPushButton *d_save_button;
    QPushButton *d_export_button;
    QPushButton *d_points_button;
    quint64 d_export_request = 0;
    QString d_export_path;
    QString d_export_message;
};

#endif
