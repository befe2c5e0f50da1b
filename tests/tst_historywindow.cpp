#include "history.h"
#include "historyclient.h"
#include "historydialog.h"
#include "historylistmodel.h"
#include "recordhelpers.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTableView>
#include <QTextBrowser>

// The history as the windows show it: the record window issues through it,
// the history window lists, opens and exports what it holds.
class TestHistoryWindow : public QObject
{
    Q_OBJECT

private slots:
    void certificates_are_issued_and_listed();
    void mistyped_code_is_named_data();
    void mistyped_code_is_named();
    void an_amendment_is_not_compared_with_what_it_replaces();
    void a_known_serial_fills_in_model_and_owner();
    void history_that_cannot_be_written_issues_nothing_data();
    void history_that_cannot_be_written_issues_nothing();
    void history_window_says_why_it_is_empty();
    void history_window_fetches_as_it_scrolls();
    void locked_history_freezes_no_window();
};

namespace
{
QString History_Path(const Home_Folder &home)
{
    return home.Path() + "/.zentrova/History.sqlite";
}

QString History_Words(const TRecordDialog &record)
{
    return record.History_Text();
}

// The next instrument on the bench is the same one again, found as typed.
void Calibrate_Again(TRecordDialog &record)
{
    record.New_Calibration();
    for (const auto &[name, text] :
         {std::pair<const char *, const char *>{"Serial number", "KX-0042"},
          {"Ambient temperature", "21.0"},
          {"Relative humidity", "40"}})
    {
        QLineEdit *field = Named<QLineEdit>(record, name);
        field->setText(text);
        emit field->textEdited(text);
    }
}

QByteArray File_Bytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

History_Connection Bench_History(const Home_Folder &home)
{
    History_Connection connection;
    connection.sqlite_path = History_Path(home);
    return connection;
}
} // namespace

void TestHistoryWindow::certificates_are_issued_and_listed()
{
    Record_Bench bench;
    QVERIFY(bench.Open());
    const Home_Folder &home = bench.home;
    TZentrovaDialog &dialog = *bench.dialog;
    TRecordDialog *record = bench.record;
    QCOMPARE(record->Save_Certificate(home.Path() + "/first.pdf"), QString());
    Calibrate_Again(*record);
    Measure_Next_Instrument(dialog);
    QCOMPARE(record->Save_Certificate(home.Path() + "/second.pdf"), QString());
    const QString date = QDate::currentDate().toString("yyyyMMdd");
    // The first is the second's last calibration: never itself.
    QTRY_VERIFY(History_Words(*record).contains("KX-0042-" + date + "-1"));
    QVERIFY(record->Status().contains("KX-0042-" + date + "-2"));
    QVERIFY(!History_Words(*record).contains("KX-0042-" + date + "-2"));

    THistoryClient client(Bench_History(home), nullptr);
    THistoryDialog view(&client, nullptr, nullptr);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    // The keyboard starts in the filter.
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(Named<QLineEdit>(view, "Find")));
    THistoryListModel *model = view.Model();
    QTRY_VERIFY(model->Complete());
    QCOMPARE(model->rowCount(), 2);
    QCOMPARE(model->Row(0).certificate_number, "KX-0042-" + date + "-2");
    view.Set_Filter("004"); // any part of the serial number
    QTRY_VERIFY(model->Complete() && model->rowCount() == 2);
    view.Set_Filter("KX-1");
    QTRY_VERIFY(model->Complete());
    QCOMPARE(model->rowCount(), 0);
    QVERIFY2(view.Status_Text().contains("No stored calibration has \"KX-1\""),
             qPrintable(view.Status_Text()));
    view.Set_Filter(QString());
    QTRY_VERIFY(model->Complete() && model->rowCount() == 2);

    QSignalSpy exported(&view, &THistoryDialog::Export_Finished);
    const QString csv = home.Path() + "/history.csv";
    view.Start_Export(csv, false);
    QVERIFY(exported.wait(10000));
    QCOMPARE(exported.first().at(0).toString(), QString());
    QCOMPARE(view.Status_Text(), "Exported to " + csv + ".");
    const QList<QByteArray> lines = File_Bytes(csv).trimmed().split('\n');
    QCOMPARE(lines.size(), 3);
    QVERIFY(lines.at(1).contains("KX-0042-" + date.toLatin1() + "-2"));

    // Opened from its top, with its two buttons.
    view.Select_Row(1);
    QDialog *viewer = view.Open_Selected();
    QVERIFY(viewer);
    QVERIFY(QTest::qWaitForWindowExposed(viewer));
    auto *browser = viewer->findChild<QTextBrowser *>();
    QCOMPARE(browser->verticalScrollBar()->value(), 0);
    QVERIFY2(browser->toPlainText().contains("Item calibrated"),
             qPrintable(browser->toPlainText()));
    QStringList buttons;
    for (const QPushButton *button : viewer->findChildren<QPushButton *>())
        buttons << button->text().remove('&');
    buttons.sort();
    QCOMPARE(buttons, (QStringList{"Close", "Save Certificate Again..."}));
    viewer->close();
    QCOMPARE(view.Save_Certificate_Again(home.Path() + "/again.pdf"), QString());
    QVERIFY(File_Bytes(home.Path() + "/again.pdf").startsWith("%PDF"));
}

void TestHistoryWindow::mistyped_code_is_named_data()
{
    QTest::addColumn<bool>("measured");
    QTest::newRow("measured as left last time") << true;
    QTest::newRow("nothing measured as left last time") << false;
}

void TestHistoryWindow::mistyped_code_is_named()
{
    QFETCH(bool, measured);
    Record_Bench bench;
    QVERIFY(bench.Open());
    const Home_Folder &home = bench.home;
    TZentrovaDialog &dialog = *bench.dialog;
    TRecordDialog *record = bench.record;
    record->Codes_Keyed_In();
    if (measured)
    {
        // As the codes left predict: errors 0.008, -0.017 and 0.008.
        QAbstractItemModel *rows = Named<QTableView>(*record, "As left (measured)")->model();
        const char *cells[][2] = {{"15.0", "15.008"}, {"20.0", "19.983"}, {"25.0", "25.008"}};
        for (int row = 0; row < 3; ++row)
        {
            Push_Button(*record, "&Add Row")->click();
            for (int column = 0; column < 2; ++column)
                QVERIFY(rows->setData(rows->index(row, column), cells[row][column]));
        }
    }
    QCOMPARE(record->Save_Certificate(home.Path() + "/first.pdf"), QString());
    // The codes left were 27A8 / FE59; one digit of Code 2 is mistyped now.
    Calibrate_Again(*record);
    Retype(Code_Field(dialog, 1), "27A8");
    Retype(Code_Field(dialog, 2), "fe5a"); // lower case is the same code
    QTRY_VERIFY2(
        History_Words(*record).contains("Existing Code 2 is FE5A; the last calibration left FE59"),
        qPrintable(History_Words(*record)));
    QVERIFY(!History_Words(*record).contains("Existing Code 1 is"));
    QVERIFY(Named<QLabel>(*record, "History warning")->isVisible());
    const QAbstractItemModel *drift =
        Named<QTableView>(*record, "Drift since the last calibration")->model();
    if (!measured)
    {
        // Drift against a prediction would be a value nobody measured.
        QVERIFY2(History_Words(*record).contains("measured nothing as left: no drift"),
                 qPrintable(History_Words(*record)));
        QCOMPARE(drift->rowCount(), 0);
        return;
    }
    // The same samples as found again, typed for this instrument, against the
    // errors measured as left last time, a row a nominal temperature.
    Measure_Next_Instrument(dialog, {"0", "0", "0"});
    Measure_Next_Instrument(dialog, {"15.2", "20.1", "25.05"});
    QVERIFY2(History_Words(*record).contains("the largest 0.192"),
             qPrintable(History_Words(*record)));
    QCOMPARE(drift->rowCount(), 3);
    QCOMPARE(drift->index(1, 1).data().toString(), QStringLiteral("0.117"));
}

void TestHistoryWindow::an_amendment_is_not_compared_with_what_it_replaces()
{
    Record_Bench bench;
    QVERIFY(bench.Open());
    TRecordDialog *record = bench.record;
    QCOMPARE(record->Save_Certificate(bench.home.Path() + "/first.pdf"), QString());
    const QString first = "KX-0042-" + QDate::currentDate().toString("yyyyMMdd") + "-1";
    QVERIFY(Push_Button(*record, "A&mend")->isVisible());
    Push_Button(*record, "A&mend")->click();
    // Opened again, the amendment has no last calibration: the one it
    // replaces is not its own past.
    record->close();
    Open_Record(*bench.dialog);
    QTest::qWait(300);
    QVERIFY2(!History_Words(*record).contains("Last calibration"),
             qPrintable(History_Words(*record)));
    QCOMPARE(record->Save_Certificate(bench.home.Path() + "/amended.pdf"), QString());
    QVERIFY(record->Status().contains(first + "-R1"));
    QVERIFY(Pdf_Text(bench.home.Path() + "/amended.pdf").contains("replaces certificate " + first));
    // Listed, the first says it was withdrawn, and by which.
    {
        THistoryClient client(Bench_History(bench.home), nullptr);
        THistoryDialog view(&client, nullptr, nullptr);
        THistoryListModel *model = view.Model();
        QTRY_VERIFY(model->Complete() && model->rowCount() == 2);
        QStringList listed;
        for (int row = 0; row < 2; ++row)
            listed << model->index(row, THistoryListModel::Certificate_Column).data().toString();
        QVERIFY2(listed.contains(first + " (withdrawn, replaced by " + first + "-R1)"),
                 qPrintable(listed.join('|')));
        QVERIFY(listed.contains(first + "-R1"));
    }
    // The next calibration's last one is the amendment, never the withdrawn first.
    Calibrate_Again(*record);
    Measure_Next_Instrument(*bench.dialog);
    QTRY_VERIFY2(History_Words(*record).contains("certificate " + first + "-R1"),
                 qPrintable(History_Words(*record)));
}

void TestHistoryWindow::a_known_serial_fills_in_model_and_owner()
{
    Home_Folder home;
    home.Write_Settings(Worked_Samples() + Record_Group());
    {
        QDir(home.Path()).mkpath(".zentrova");
        THistory history(Bench_History(home));
        History_Record earlier;
        earlier.calibration_id = "earlier";
        earlier.serial = "KX-0077";
        earlier.model = "KX310-B";
        earlier.owner = "Lab B";
        earlier.calibration_date = "2025-06-01";
        earlier.content = "{}";
        QCOMPARE(history.Issue(earlier).failure, QString());
    }
    TZentrovaDialog dialog;
    QVERIFY(Show_Active(dialog));
    TRecordDialog *record = Open_Record(dialog);
    QVERIFY(QTest::qWaitForWindowActive(record));
    record->New_Calibration();
    QTest::keyClicks(Named<QLineEdit>(*record, "Serial number"), "KX-0077");
    QTRY_COMPARE(Named<QLineEdit>(*record, "Owner")->text(), QStringLiteral("Lab B"));
    QCOMPARE(Named<QLineEdit>(*record, "Model")->text(), QStringLiteral("KX310-B"));
    QVERIFY2(record->Status().contains("From the history of KX-0077"),
             qPrintable(record->Status()));
    QTRY_VERIFY(History_Words(*record).contains("Last calibration: 2025-06-01"));
}

void TestHistoryWindow::history_that_cannot_be_written_issues_nothing_data()
{
    QTest::addColumn<QString>("failure");
    QTest::addColumn<QString>("said");
    QTest::newRow("a folder in the history's place") << "folder"
                                                     << "a folder stands where";
    QTest::newRow("a second copy holds the history") << "busy"
                                                     << "busy for more than 2 seconds";
}

void TestHistoryWindow::history_that_cannot_be_written_issues_nothing()
{
    QFETCH(QString, failure);
    QFETCH(QString, said);
    Home_Folder home;
    home.Write_Settings(Worked_Samples() + Record_Group());
    std::unique_ptr<QSqlDatabase> other;
    if (failure == "folder")
        QVERIFY(QDir().mkpath(History_Path(home)));
    else
    {
        THistory(Bench_History(home)).Open();
        {
            QSqlDatabase raw = QSqlDatabase::addDatabase("QSQLITE", "other");
            raw.setDatabaseName(History_Path(home));
            QVERIFY(raw.open());
            QVERIFY(QSqlQuery(raw).exec("BEGIN IMMEDIATE"));
        }
    }
    const auto undo = qScopeGuard(
        [&]
        {
            if (QSqlDatabase::contains("other"))
            {
                QSqlDatabase::database("other").close();
                QSqlDatabase::removeDatabase("other");
            }
        });
    TZentrovaDialog dialog;
    QVERIFY(Show_Active(dialog));
    TRecordDialog *record = Open_Record(dialog);
    const QString pdf = home.Path() + "/c.pdf";
    const QString why = record->Save_Certificate(pdf);
    QVERIFY2(why.contains("No certificate was issued") && why.contains(said), qPrintable(why));
    QVERIFY(!QFile::exists(pdf)); // nothing issued, nothing written
    QVERIFY2(record->Status().contains(said), qPrintable(record->Status()));
    // Mended: the same calibration is issued, with the day's first number.
    if (failure == "folder")
        QVERIFY(QDir(History_Path(home)).removeRecursively());
    else
    {
        QSqlDatabase::database("other").close();
        QSqlDatabase::removeDatabase("other");
    }
    QCOMPARE(record->Save_Certificate(pdf), QString());
    QVERIFY(QFile::exists(pdf));
    THistory history(Bench_History(home));
    QCOMPARE(history.Last_For("KX-0042", QString()).certificate_number,
             "KX-0042-" + QDate::currentDate().toString("yyyyMMdd") + "-1");
}

void TestHistoryWindow::history_window_says_why_it_is_empty()
{
    Home_Folder home;
    QVERIFY(QDir().mkpath(History_Path(home)));
    THistoryClient client(Bench_History(home), nullptr);
    THistoryDialog view(&client, nullptr, nullptr);
    QTRY_VERIFY(view.Model()->Complete());
    QVERIFY2(view.Status_Text().contains("cannot be used: a folder stands where"),
             qPrintable(view.Status_Text()));
    QVERIFY(QDir(History_Path(home)).removeRecursively());
    view.Set_Filter("x");
    QTRY_VERIFY(view.Model()->Complete() && view.Model()->Failure().isEmpty());
    QVERIFY2(view.Status_Text().contains("No stored calibration has \"x\""),
             qPrintable(view.Status_Text()));
}

void TestHistoryWindow::history_window_fetches_as_it_scrolls()
{
    Home_Folder home;
    constexpr int stored = 2 * THistoryListModel::page_size + 50;
    {
        THistory history(Bench_History(home));
        for (int index = 0; index < stored; ++index)
        {
            History_Record record;
            record.calibration_id = QString("id-%1").arg(index);
            record.serial = QString("KX-%1").arg(index % 40);
            record.calibration_date = QDate(2020, 1, 1).addDays(index / 3).toString(Qt::ISODate);
            record.content = "{}";
            QCOMPARE(history.Issue(record).failure, QString());
        }
    }
    THistoryClient client(Bench_History(home), nullptr);
    THistoryDialog view(&client, nullptr, nullptr);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    THistoryListModel *model = view.Model();
    QTRY_COMPARE(model->rowCount(), int(THistoryListModel::page_size)); // what is in view
    QVERIFY(!model->Complete());
    // Scrolled to the end, page after page, each row once, newest first.
    auto *table = view.findChild<QTableView *>();
    while (!model->Complete())
    {
        table->scrollToBottom();
        QTest::qWait(20);
    }
    QCOMPARE(model->rowCount(), stored);
    QSet<QString> numbers;
    for (int row = 0; row < model->rowCount(); ++row)
    {
        numbers.insert(model->Row(row).certificate_number);
        if (row > 0)
            QVERIFY(model->Row(row - 1).calibration_date >= model->Row(row).calibration_date);
    }
    QCOMPARE(numbers.size(), stored);
}

void TestHistoryWindow::locked_history_freezes_no_window()
{
    Home_Folder home;
    home.Write_Settings(Worked_Samples() + Record_Group());
    {
        THistory history(Bench_History(home));
        QCOMPARE(history.Open(), QString());
    }
    // Another program holds a lock that blocks even reading the file.
    {
        QSqlDatabase raw = QSqlDatabase::addDatabase("QSQLITE", "locker");
        raw.setDatabaseName(History_Path(home));
        QVERIFY(raw.open());
        QSqlQuery query(raw);
        QVERIFY(query.exec("PRAGMA journal_mode=DELETE"));
        QVERIFY(query.exec("BEGIN EXCLUSIVE"));
        QVERIFY(query.exec("INSERT INTO instruments (serial) VALUES ('LOCK')"));
    }
    const auto unlock = qScopeGuard(
        []
        {
            QSqlDatabase::database("locker").close();
            QSqlDatabase::removeDatabase("locker");
        });
    TZentrovaDialog dialog;
    QVERIFY(Show_Active(dialog));
    QElapsedTimer timer;
    timer.start();
    TRecordDialog *record = Open_Record(dialog);
    QTest::qWait(50); // the history is asked for once the window is shown
    QVERIFY2(timer.elapsed() < 1000, qPrintable(QString::number(timer.elapsed())));
    QLineEdit *serial = Named<QLineEdit>(*record, "Serial number");
    serial->setFocus();
    serial->clear();
    for (const char key : QByteArray("KX-0042"))
    {
        timer.restart();
        QTest::keyClick(serial, key);
        QVERIFY2(timer.elapsed() < 200, qPrintable(QString::number(timer.elapsed())));
    }
    QCOMPARE(serial->text(), QString("KX-0042"));
}

QTEST_MAIN(TestHistoryWindow)
#include "tst_historywindow.moc"
