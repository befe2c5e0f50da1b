#include "historydialog.h"

#include "certificate.h"
#include "history.h"

#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSaveFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlQueryModel>
#include <QSqlRecord>
#include <QTableView>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace
{
constexpr int id_column = 0;

// The history's columns as the list shows them; the id stays hidden.
const char list_query[] =
    "SELECT c.id, c.calibration_date AS \"Date\", i.serial AS \"Serial number\", "
    "c.certificate_number AS \"Certificate\", i.model AS \"Model\", i.owner AS \"Owner\", "
    "c.technician AS \"Technician\", c.existing_code1 AS \"Existing Code 1\", "
    "c.existing_code2 AS \"Existing Code 2\", c.new_code1 AS \"New Code 1\", "
    "c.new_code2 AS \"New Code 2\", c.verdict_as_left AS \"Verdict as left\" "
    "FROM calibrations c JOIN instruments i ON i.id = c.instrument_id "
    "WHERE i.serial LIKE ? ESCAPE '\\' ORDER BY c.calibration_date DESC, c.id DESC";

QString Like_Prefix(QString text)
{
    text.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    text.replace(QLatin1Char('%'), QStringLiteral("\\%"));
    text.replace(QLatin1Char('_'), QStringLiteral("\\_"));
    return text + QLatin1Char('%');
}
} // namespace

QString Csv_Line(const QStringList &cells)
{
    QStringList quoted;
    for (QString cell : cells)
    {
        if (cell.contains(QLatin1Char(',')) || cell.contains(QLatin1Char('"')) ||
            cell.contains(QLatin1Char('\n')) || cell.contains(QLatin1Char('\r')))
            cell = QLatin1Char('"') + cell.replace(QLatin1Char('"'), QStringLiteral("\"\"")) +
                   QLatin1Char('"');
        quoted << cell;
    }
    return quoted.join(QLatin1Char(',')) + QStringLiteral("\r\n");
}

THistoryDialog::THistoryDialog(THistory *history, QWidget *parent)
    : QDialog(parent), d_history(history), d_model(new QSqlQueryModel(this))
{
    setWindowTitle(tr("Calibration History"));
    auto *layout = new QVBoxLayout(this);
    auto *filter_row = new QHBoxLayout();
    auto *filter_label = new QLabel(tr("Serial number"), this);
    d_filter_edit = new QLineEdit(this);
    d_filter_edit->setAccessibleName(tr("Serial number"));
    d_filter_edit->setPlaceholderText(tr("all instruments"));
    filter_label->setBuddy(d_filter_edit);
    filter_row->addWidget(filter_label);
    filter_row->addWidget(d_filter_edit);
    layout->addLayout(filter_row);

    d_table_view = new QTableView(this);
    d_table_view->setModel(d_model);
    d_table_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    d_table_view->setSelectionMode(QAbstractItemView::SingleSelection);
    d_table_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    d_table_view->setAccessibleName(tr("Stored calibrations, newest first"));
    d_table_view->horizontalHeader()->setStretchLastSection(true);
    d_table_view->verticalHeader()->hide();
    layout->addWidget(d_table_view);

    auto *buttons = new QHBoxLayout();
    d_open_button = new QPushButton(tr("Open"), this);
    d_save_button = new QPushButton(tr("Save Certificate Again..."), this);
    auto *export_button = new QPushButton(tr("Export CSV..."), this);
    auto *close_button = new QPushButton(tr("Close"), this);
    for (QPushButton *button : {d_open_button, d_save_button, export_button, close_button})
    {
        button->setAutoDefault(false);
        buttons->addWidget(button);
    }
    buttons->insertStretch(3);
    layout->addLayout(buttons);
    resize(900, 480);

    connect(d_filter_edit, &QLineEdit::textChanged, this, &THistoryDialog::Set_Filter);
    connect(d_table_view, &QTableView::doubleClicked, this, [this] { Open_Selected(); });
    connect(d_open_button, &QPushButton::clicked, this, [this] { Open_Selected(); });
    connect(d_save_button, &QPushButton::clicked, this,
            [this]
            {
                const QString number =
                    d_model->index(d_table_view->currentIndex().row(), 3).data().toString();
                const QString path = QFileDialog::getSaveFileName(
                    this, tr("Save Certificate Again"),
                    QDir::home().absoluteFilePath(number + QStringLiteral(".pdf")),
                    tr("PDF files (*.pdf)"));
                if (path.isEmpty())
                    return;
                const QString failure = Save_Certificate_Again(path);
                if (!failure.isEmpty())
                    QMessageBox::warning(this, tr("Save Certificate Again"), failure);
            });
    connect(export_button, &QPushButton::clicked, this,
            [this]
            {
                const QString path = QFileDialog::getSaveFileName(
                    this, tr("Export CSV"),
                    QDir::home().absoluteFilePath(QStringLiteral("calibration-history.csv")),
                    tr("CSV files (*.csv)"));
                if (path.isEmpty())
                    return;
                const QString failure = Export_Csv(path);
                if (!failure.isEmpty())
                    QMessageBox::warning(this, tr("Export CSV"), failure);
            });
    connect(close_button, &QPushButton::clicked, this, &QDialog::close);
    Set_Filter(QString());
}

void THistoryDialog::Set_Filter(const QString &serial)
{
    if (d_filter_edit->text() != serial)
        d_filter_edit->setText(serial); // comes back here through textChanged
    QSqlQuery query(d_history->Database());
    query.prepare(QString::fromLatin1(list_query));
    query.addBindValue(Like_Prefix(serial.trimmed()));
    query.exec();
    // The model fetches rows as they come into sight: the list is shown at
    // once however long the history is.
    d_model->setQuery(query);
    d_table_view->hideColumn(id_column);
    // From the rows fetched so far: the first screenful or so.
    d_table_view->resizeColumnsToContents();
    connect(d_table_view->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &THistoryDialog::Update_Buttons, Qt::UniqueConnection);
    if (d_model->rowCount() > 0)
        d_table_view->selectRow(0);
    Update_Buttons();
}

int THistoryDialog::Row_Count() const
{
    while (d_model->canFetchMore())
        d_model->fetchMore();
    return d_model->rowCount();
}

qint64 THistoryDialog::Selected_Id() const
{
    const QModelIndex current = d_table_view->currentIndex();
    return current.isValid() ? d_model->index(current.row(), id_column).data().toLongLong() : 0;
}

void THistoryDialog::Update_Buttons()
{
    const bool selected = Selected_Id() != 0;
    d_open_button->setEnabled(selected);
    d_save_button->setEnabled(selected);
}

void THistoryDialog::Open_Selected()
{
    QByteArray json;
    QByteArray png;
    Certificate_Content content;
    if (!d_history->Certificate_Of(Selected_Id(), &json, &png) ||
        !Certificate_From_Json(json, &content))
    {
        QMessageBox::information(this, tr("Open"),
                                 tr("This calibration was stored without its certificate."));
        return;
    }
    QImage plot;
    plot.loadFromData(png, "PNG");
    auto *viewer = new QDialog(this);
    viewer->setAttribute(Qt::WA_DeleteOnClose);
    viewer->setWindowTitle(tr("Calibration Certificate %1 (read-only)").arg(content.number));
    auto *layout = new QVBoxLayout(viewer);
    auto *browser = new QTextBrowser(viewer);
    Fill_Certificate_Document(browser->document(), content, 560, plot);
    layout->addWidget(browser);
    viewer->resize(760, 700);
    viewer->show();
}

QString THistoryDialog::Save_Certificate_Again(const QString &path)
{
    QByteArray json;
    QByteArray png;
    Certificate_Content content;
    if (!d_history->Certificate_Of(Selected_Id(), &json, &png) ||
        !Certificate_From_Json(json, &content))
        return tr("This calibration was stored without its certificate.");
    QImage plot;
    plot.loadFromData(png, "PNG");
    return Write_Certificate_Pdf(path, content, plot);
}

QString THistoryDialog::Export_Csv(const QString &path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return tr("%1 cannot be written: %2")
            .arg(QDir::toNativeSeparators(path), file.errorString());
    const int rows = Row_Count();
    QStringList header;
    for (int column = id_column + 1; column < d_model->columnCount(); ++column)
        header << d_model->headerData(column, Qt::Horizontal).toString();
    QString text = Csv_Line(header);
    for (int row = 0; row < rows; ++row)
    {
        QStringList cells;
        for (int column = id_column + 1; column < d_model->columnCount(); ++column)
            cells << d_model->index(row, column).data().toString();
        text += Csv_Line(cells);
    }
    file.write(text.toUtf8());
    if (!file.commit())
        return tr("%1 cannot be written: %2")
            .arg(QDir::toNativeSeparators(path), file.errorString());
    return QString();
}
