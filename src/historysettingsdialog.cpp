#include "historysettingsdialog.h"

#include "historyclient.h"
#include "settingsstore.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QSpinBox>
#include <QVBoxLayout>

namespace
{
const char *const ssl_modes[] = {"disable", "allow",     "prefer",
                                 "require", "verify-ca", "verify-full"};
}

THistorySettingsDialog::THistorySettingsDialog(TSettingsStore *store, QWidget *parent)
    : QDialog(parent), d_store(store)
{
    setWindowTitle(tr("Shared History"));
    auto *layout = new QVBoxLayout(this);
    const History_Connection current = History_Connection::From_Settings(*store);
    d_sqlite_path = current.sqlite_path;

    d_bench_button = new QRadioButton(
        tr("&This bench only, in %1").arg(QDir::toNativeSeparators(d_sqlite_path)), this);
    d_server_button =
        new QRadioButton(tr("Shared by the laboratory on a &PostgreSQL server"), this);
    layout->addWidget(d_bench_button);
    layout->addWidget(d_server_button);

    auto *form = new QFormLayout();
    d_host_edit = new QLineEdit(this);
    d_host_edit->setPlaceholderText(tr("empty: this machine; or a socket folder"));
    d_port_box = new QSpinBox(this);
    d_port_box->setRange(1, 65535);
    d_database_edit = new QLineEdit(this);
    d_user_edit = new QLineEdit(this);
    d_ssl_box = new QComboBox(this);
    for (const char *mode : ssl_modes)
        d_ssl_box->addItem(QString::fromLatin1(mode));
    const std::pair<const char *, QWidget *> rows[] = {{QT_TR_NOOP("&Host"), d_host_edit},
                                                       {QT_TR_NOOP("Po&rt"), d_port_box},
                                                       {QT_TR_NOOP("&Database"), d_database_edit},
                                                       {QT_TR_NOOP("&User"), d_user_edit},
                                                       {QT_TR_NOOP("SS&L mode"), d_ssl_box}};
    for (const auto &[label, field] : rows)
    {
        form->addRow(tr(label), field);
        field->setAccessibleName(tr(label).remove(QLatin1Char('&')));
    }
    layout->addLayout(form);
    auto *password_note = new QLabel(
        tr("The password is never kept in the settings file: libpq reads it from ~/.pgpass "
           "(a line host:port:database:user:password, the file readable by you alone) or from a "
           "service file, as for any PostgreSQL client."),
        this);
    password_note->setTextFormat(Qt::PlainText);
    password_note->setWordWrap(true);
    layout->addWidget(password_note);

    auto *actions = new QHBoxLayout();
    d_test_button = new QPushButton(tr("Test &Connection"), this);
    d_copy_button = new QPushButton(tr("Cop&y This Bench's History to the Server"), this);
    for (QPushButton *button : {d_test_button, d_copy_button})
    {
        button->setAutoDefault(false);
        actions->addWidget(button);
    }
    actions->addStretch();
    layout->addLayout(actions);
    d_result_label = new QLabel(this);
    d_result_label->setTextFormat(Qt::PlainText);
    d_result_label->setWordWrap(true);
    d_result_label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    d_result_label->setAccessibleName(tr("Result"));
    layout->addWidget(d_result_label);

    auto *box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(box);
    connect(box, &QDialogButtonBox::accepted, this,
            [this]
            {
                const QString failure = Save();
                if (failure.isEmpty())
                    accept();
                else
                    QMessageBox::warning(this, windowTitle(), failure);
            });
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(d_test_button, &QPushButton::clicked, this, &THistorySettingsDialog::Test_Connection);
    connect(d_copy_button, &QPushButton::clicked, this, &THistorySettingsDialog::Copy_To_Server);
    connect(d_bench_button, &QRadioButton::toggled, this, &THistorySettingsDialog::Update_Fields);
    // SSL is required for a host elsewhere unless a mode was chosen.
    connect(d_host_edit, &QLineEdit::textEdited, this,
            [this](const QString &host)
            {
                if (!d_ssl_chosen)
                    d_ssl_box->setCurrentText(History_Connection::Default_Ssl_Mode(host));
            });
    connect(d_ssl_box, QOverload<int>::of(&QComboBox::activated), this,
            [this] { d_ssl_chosen = true; });
    Set_Connection(current);
    d_ssl_chosen = store->Contains(History_Connection::group + QLatin1Char('/') +
                                   History_Connection::ssl_mode_key);
}

THistorySettingsDialog::~THistorySettingsDialog() = default;

History_Connection THistorySettingsDialog::Connection() const
{
    History_Connection connection;
    connection.engine = d_server_button->isChecked() ? History_Connection::Engine::PostgreSQL
                                                     : History_Connection::Engine::SQLite;
    connection.sqlite_path = d_sqlite_path;
    connection.host = d_host_edit->text().trimmed();
    connection.port = d_port_box->value();
    connection.database = d_database_edit->text().trimmed();
    connection.user = d_user_edit->text().trimmed();
    connection.ssl_mode = d_ssl_box->currentText();
    return connection;
}

void THistorySettingsDialog::Set_Connection(const History_Connection &connection)
{
    const bool server = connection.engine == History_Connection::Engine::PostgreSQL;
    d_server_button->setChecked(server);
    d_bench_button->setChecked(!server);
    d_host_edit->setText(connection.host);
    d_port_box->setValue(connection.port);
    d_database_edit->setText(connection.database);
    d_user_edit->setText(connection.user);
    d_ssl_box->setCurrentText(connection.ssl_mode.isEmpty()
                                  ? History_Connection::Default_Ssl_Mode(connection.host)
                                  : connection.ssl_mode);
    Update_Fields();
}

QString THistorySettingsDialog::Result_Text() const
{
    return d_result_label->text();
}

void THistorySettingsDialog::Update_Fields()
{
    const bool server = d_server_button->isChecked();
    for (QWidget *field : std::initializer_list<QWidget *>{d_host_edit, d_port_box, d_database_edit,
                                                           d_user_edit, d_ssl_box, d_copy_button})
        field->setEnabled(server);
}

void THistorySettingsDialog::Start(const QString &doing)
{
    d_result_label->setText(doing);
    d_test_button->setEnabled(false);
    d_copy_button->setEnabled(false);
    // A client of its own, for the connection as typed: the history in use
    // stays as it is until OK.
    d_client = std::make_unique<THistoryClient>(Connection(), nullptr);
}

void THistorySettingsDialog::Finish(const QString &text)
{
    d_result_label->setText(text);
    d_test_button->setEnabled(true);
    Update_Fields();
}

void THistorySettingsDialog::Test_Connection()
{
    Start(tr("Connecting to %1...").arg(Connection().Location()));
    connect(d_client.get(), &THistoryClient::Opened, this,
            [this](const QString &failure, const QString &notice)
            {
                Finish(failure.isEmpty()
                           ? tr("The history (%1) can be used.%2")
                                 .arg(Connection().Location(),
                                      notice.isEmpty() ? QString() : QLatin1Char(' ') + notice)
                           : tr("The history (%1) cannot be used: %2.")
                                 .arg(Connection().Location(), failure));
                emit Tested(failure);
            });
    d_client->Open();
}

void THistorySettingsDialog::Copy_To_Server()
{
    if (!d_server_button->isChecked())
        return;
    Start(tr("Copying %1 to %2...")
              .arg(QDir::toNativeSeparators(d_sqlite_path), Connection().Location()));
    connect(d_client.get(), &THistoryClient::Copied, this,
            [this](quint64 request, const Copy_Result &result)
            {
                if (request != d_copy_request)
                    return;
                QString text;
                if (!result.failure.isEmpty())
                    text = tr("Nothing was copied: %1.").arg(result.failure);
                else
                {
                    text = tr("%n calibration(s) copied to the server.", nullptr, result.copied);
                    if (!result.skipped.isEmpty())
                        text +=
                            QLatin1Char(' ') +
                            tr("%n already there, left out: %1.", nullptr, result.skipped.size())
                                .arg(result.skipped.join(QStringLiteral(", ")));
                    if (!result.refused.isEmpty())
                        text +=
                            QLatin1Char(' ') + tr("%n holding control characters, left out: %1.",
                                                  nullptr, result.refused.size())
                                                   .arg(result.refused.join(QStringLiteral(", ")));
                    text += QLatin1Char(' ') + tr("This bench's file is left as it was.");
                }
                Finish(text);
                emit Copied(result);
            });
    d_copy_request = d_client->Copy_From(d_sqlite_path);
}

QString THistorySettingsDialog::Save()
{
    const History_Connection connection = Connection();
    return d_store->Write([&connection](QSettings &settings) { connection.Save(settings); });
}
