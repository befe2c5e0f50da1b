#ifndef ZENTROVA_HISTORYSETTINGSDIALOG_H
#define ZENTROVA_HISTORYSETTINGSDIALOG_H

#include "history.h"

#include <QDialog>

#include <memory>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class THistoryClient;
class TSettingsStore;

// Where the history is kept: this bench's file, or a laboratory's
// PostgreSQL server shared by every bench. Tests the connection as typed,
// copies this bench's file to the server, and keeps the choice in the
// group "History" of the settings file (never a password).
class THistorySettingsDialog : public QDialog
{
    Q_OBJECT

public:
    THistorySettingsDialog(TSettingsStore *store, QWidget *parent);
    ~THistorySettingsDialog() override;

    // The connection as the fields say now.
    History_Connection Connection() const;
    void Set_Connection(const History_Connection &connection);
    // What the last test or copy said.
    QString Result_Text() const;

    void Test_Connection(); // -> Tested
    void Copy_To_Server();  // -> Copied
    // Writes the group; returns why it could not, or nothing.
    QString Save();

signals:
    void Tested(const QString &failure);
    void Copied(const Copy_Result &result);

private:
    void Update_Fields();
    void Start(const QString &doing);
    void Finish(const QString &text);

    TSettingsStore *d_store;
    QString d_sqlite_path;
    QRadioButton *d_bench_button;
    QRadioButton *d_server_button;
    QLineEdit *d_host_edit;
    QSpinBox *d_port_box;
    QLineEdit *d_database_edit;
    QLineEdit *d_user_edit;
    QComboBox *d_ssl_box;
    QPushButton *d_test_button;
    QPushButton *d_copy_button;
    QLabel *d_result_label;
    bool d_ssl_chosen = false;
    std::unique_ptr<THistoryClient> d_client;
    quint64 d_copy_request = 0;
};

#endif
