#include "historydialog.h"

#include "certificate.h"
#include "historyclient.h"
#include "historylistmodel.h"
#include "historysettingsdialog.h"
#include "safetext.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTextBrowser>
#include <QVBoxLayout>

THistoryDialog::THistoryDialog(THistoryClient *client, TSettingsStore *store, QWidget *parent)
    : QDialog(parent), d_client(client), d_store(store),
      d_model(new THistoryListModel(client, this))
{
    setWindowTitle(tr("Calibration History"));
    auto *layout = new QVBoxLayout(this);
    auto *filter_row = new QHBoxLayout();
    auto *filter_label = new QLabel(tr("&Find"), this);
    d_filter_edit = new QLineEdit(this);
    d_filter_edit->setAccessibleName(tr("Find"));
    d_filter_edit->setPlaceholderText(tr("any part of a serial number or an owner"));
    filter_label->setBuddy(d_filter_edit);
    filter_row->addWidget(filter_label);
    filter_row->addWidget(d_filter_edit);
    layout->addLayout(filter_row);

    d_status_label = new QLabel(this);
    d_status_label->setTextFormat(Qt::PlainText);
    d_status_label->setWordWrap(true);
    d_status_label->setAccessibleName(tr("History status"));
    layout->addWidget(d_status_label);

    d_table_view = new QTableView(this);
    d_table_view->setModel(d_model);
    d_table_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    d_table_view->setSelectionMode(QAbstractItemView::SingleSelection);
    d_table_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    d_table_view->setTabKeyNavigation(false);
    d_table_view->setAccessibleName(tr("Stored calibrations, newest first"));
    d_table_view->horizontalHeader()->setStretchLastSection(true);
    d_table_view->verticalHeader()->hide();
    // Rows of one height: the view need not ask each row for its size.
    d_table_view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    d_table_view->verticalHeader()->setDefaultSectionSize(d_table_view->fontMetrics().height() + 8);
    layout->addWidget(d_table_view, 1);

    auto *buttons = new QHBoxLayout();
    d_open_button = new QPushButton(tr("&Open"), this);
    d_save_button = new QPushButton(tr("&Save Certificate Again..."), this);
    d_export_button = new QPushButton(tr("&Export CSV..."), this);
    d_points_button = new QPushButton(tr("Export &Points CSV..."), this);
    auto *settings_button = new QPushButton(tr("S&hared History..."), this);
    auto *close_button = new QPushButton(tr("&Close"), this);
    for (QPushButton *button : {d_open_button, d_save_button, d_export_button, d_points_button,
                                settings_button, close_button})
    {
        button->setAutoDefault(false);
        buttons->addWidget(button);
    }
    buttons->insertStretch(4);
    settings_button->setEnabled(store != nullptr);
    layout->addLayout(buttons);
    resize(960, 520);

    connect(d_filter_edit, &QLineEdit::textChanged, this, &THistoryDialog::Set_Filter);
    connect(d_table_view, &QTableView::activated, this, [this] { Open_Selected(); });
    connect(d_open_button, &QPushButton::clicked, this, [this] { Open_Selected(); });
    connect(d_save_button, &QPushButton::clicked, this,
            [this] { Ask_Save_Again(Selected_Number()); });
    connect(d_export_button, &QPushButton::clicked, this, [this] { Ask_Export(false); });
    connect(d_points_button, &QPushButton::clicked, this, [this] { Ask_Export(true); });
    connect(settings_button, &QPushButton::clicked, this, &THistoryDialog::Open_Settings);
    connect(close_button, &QPushButton::clicked, this, &QDialog::close);
    connect(d_model, &THistoryListModel::State_Changed, this, &THistoryDialog::Update_State);
    connect(d_model, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex &, int first)
            {
                if (first == 0)
                {
                    d_table_view->resizeColumnsToContents();
                    Select_Row(0);
                }
            });
    connect(d_table_view->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &THistoryDialog::Update_State);
    connect(d_client, &THistoryClient::Exported, this,
            [this](quint64 request, const QString &failure)
            {
                if (request != d_export_request)
                    return;
                d_export_request = 0;
                d_export_message =
                    failure.isEmpty()
                        ? tr("Exported to %1.").arg(QDir::toNativeSeparators(d_export_path))
                        : tr("Not exported: %1").arg(failure);
                Update_State();
                emit Export_Finished(failure);
            });
    d_filter_edit->setFocus();
    d_model->Set_Filter(History_Filter());
}

THistoryListModel *THistoryDialog::Model() const
{
    return d_model;
}

void THistoryDialog::Set_Filter(const QString &text)
{
    if (d_filter_edit->text() != text)
    {
        d_filter_edit->setText(text); // comes back here through textChanged
        return;
    }
    d_model->Set_Filter(History_Filter{text});
}

QString THistoryDialog::Status_Text() const
{
    return d_status_label->text();
}

void THistoryDialog::Select_Row(int row)
{
    if (row >= 0 && row < d_model->rowCount())
        d_table_view->selectRow(row);
}

QString THistoryDialog::Selected_Number() const
{
    const QModelIndex current = d_table_view->currentIndex();
    return current.isValid() && current.row() < d_model->rowCount()
               ? d_model->Row(current.row()).certificate_number
               : QString();
}

void THistoryDialog::Update_State()
{
    QString text;
    if (!d_model->Failure().isEmpty())
        text = tr("The history (%1) cannot be used: %2.")
                   .arg(d_client->Location(), d_model->Failure());
    else if (d_model->rowCount() == 0 && d_model->Loading())
        text = tr("Reading the history...");
    else if (d_model->rowCount() == 0)
        text =
            d_model->Filter().text.trimmed().isEmpty()
                ? tr("No calibration is stored in the history (%1) yet.").arg(d_client->Location())
                : tr("No stored calibration has \"%1\" in its serial number or owner.")
                      .arg(d_model->Filter().text.trimmed());
    const QModelIndex current = d_table_view->currentIndex();
    if (text.isEmpty() && current.isValid() && current.row() < d_model->rowCount() &&
        !d_model->Row(current.row()).replaced_by.isEmpty())
        text = tr("Certificate %1 was withdrawn and replaced by %2; saved again, it is the "
                  "withdrawn certificate as it was issued.")
                   .arg(d_model->Row(current.row()).certificate_number,
                        d_model->Row(current.row()).replaced_by);
    if (d_export_request != 0)
        text = tr("Exporting...");
    else if (!d_export_message.isEmpty())
        text = d_export_message;
    d_status_label->setText(text);
    d_status_label->setVisible(!text.isEmpty());
    const bool selected = !Selected_Number().isEmpty();
    d_open_button->setEnabled(selected);
    d_save_button->setEnabled(selected);
    d_export_button->setEnabled(d_export_request == 0);
    d_points_button->setEnabled(d_export_request == 0);
}

namespace
{
// A stored certificate as the page shows it, or why there is none.
QString Read_Certificate(THistoryClient *client, const QString &number,
                         Certificate_Content *content, QImage *plot)
{
    const Stored_Certificate stored =
        client->Certificate(number, THistoryDialog::certificate_wait_ms);
    if (!stored.found || !Certificate_From_Json(stored.content, content))
        return QCoreApplication::translate("THistoryDialog",
                                           "The certificate %1 is not in the history (%2): it was "
                                           "stored without it, or the history did not answer.")
            .arg(number, client->Location());
    if (!stored.plot_png.isEmpty())
        plot->loadFromData(stored.plot_png, "PNG");
    return QString();
}
} // namespace

QDialog *THistoryDialog::Open_Selected()
{
    const QString number = Selected_Number();
    if (number.isEmpty())
        return nullptr;
    Certificate_Content content;
    QImage plot;
    const QString failure = Read_Certificate(d_client, number, &content, &plot);
    if (!failure.isEmpty())
    {
        QMessageBox::information(this, tr("Open"), failure);
        return nullptr;
    }
    auto *viewer = new QDialog(this);
    viewer->setObjectName(QStringLiteral("Certificate viewer"));
    viewer->setAttribute(Qt::WA_DeleteOnClose);
    viewer->setWindowTitle(tr("Calibration Certificate %1 (read-only)").arg(number));
    auto *layout = new QVBoxLayout(viewer);
    auto *browser = new QTextBrowser(viewer);
    browser->setAccessibleName(tr("Certificate %1").arg(number));
    Fill_Certificate_Document(browser->document(), content, 560, plot);
    layout->addWidget(browser);
    auto *box = new QDialogButtonBox(viewer);
    auto *save = box->addButton(tr("&Save Certificate Again..."), QDialogButtonBox::ActionRole);
    box->addButton(QDialogButtonBox::Close);
    layout->addWidget(box);
    connect(box, &QDialogButtonBox::rejected, viewer, &QDialog::close);
    connect(save, &QPushButton::clicked, viewer, [this, number] { Ask_Save_Again(number); });
    viewer->resize(760, 700);
    viewer->show();
    // From its top, whatever the document's layout did to the scroll bar.
    browser->moveCursor(QTextCursor::Start);
    browser->verticalScrollBar()->setValue(0);
    browser->setFocus();
    return viewer;
}

QString THistoryDialog::Save_Certificate_Again(const QString &path)
{
    return Save_Number(Selected_Number(), path);
}

QString THistoryDialog::Save_Number(const QString &number, const QString &path)
{
    if (number.isEmpty())
        return tr("No calibration is selected.");
    Certificate_Content content;
    QImage plot;
    const QString failure = Read_Certificate(d_client, number, &content, &plot);
    if (!failure.isEmpty())
        return failure;
    return Write_Certificate_Pdf(path, content, plot);
}

void THistoryDialog::Ask_Save_Again(const QString &number)
{
    if (number.isEmpty())
        return;
    const QString name = File_Name_Part(number);
    const QString path = QFileDialog::getSaveFileName(
        this, tr("Save Certificate Again"),
        QDir::home().absoluteFilePath(name + QStringLiteral(".pdf")), tr("PDF files (*.pdf)"));
    if (path.isEmpty())
        return;
    const QString failure = Save_Number(number, path);
    if (!failure.isEmpty())
        QMessageBox::warning(this, tr("Save Certificate Again"), failure);
}

void THistoryDialog::Start_Export(const QString &path, bool points)
{
    d_export_message.clear();
    d_export_path = path;
    d_export_request = d_client->Export(d_model->Filter(), path, points);
    Update_State();
}

void THistoryDialog::Ask_Export(bool points)
{
    const QString path = QFileDialog::getSaveFileName(
        this, points ? tr("Export Points CSV") : tr("Export CSV"),
        QDir::home().absoluteFilePath(points ? QStringLiteral("calibration-points.csv")
                                             : QStringLiteral("calibration-history.csv")),
        tr("CSV files (*.csv)"));
    if (!path.isEmpty())
        Start_Export(path, points);
}

void THistoryDialog::Open_Settings()
{
    THistorySettingsDialog settings(d_store, this);
    if (settings.exec() != QDialog::Accepted)
        return;
    d_client->Set_Connection(settings.Connection());
    d_model->Set_Filter(d_model->Filter());
}
