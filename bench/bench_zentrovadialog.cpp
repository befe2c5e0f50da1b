#include "fastrepaint.h"
#include "inputwidget.h"
#include "recorddialog.h"
#include "zentrovadialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include <algorithm>
#include <functional>
#include <vector>

// The window as the user meets it, shown, started from a settings file of n
// rows. Each action is timed until the event loop has laid out, repainted and
// flushed the window; run it on a real X server (scripts/bench.sh starts
// Xvfb), where painting costs what it costs on a desktop. Prints the median
// of repeated runs of each action.
class BenchZentrovaDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void edit_value_data() { Row_Counts({3, 100, 1000}); }
    void edit_value();
    void keystroke_data() { Row_Counts({3, 100, 1000}); }
    void keystroke();
    void add_row_data() { Row_Counts({10, 100, 999}); } // the 1000th row is the last
    void add_row();
    void remove_rows_data() { Row_Counts({10, 100, 1000}); }
    void remove_rows();
    void set_precision_data() { Row_Counts({10, 100, 1000}); }
    void set_precision();
    void start_up_data() { Row_Counts({3, 1000}); }
    void start_up();
    void record_window_data() { Row_Counts({100, 1000}); }
    void record_window();
    void resident_memory_data() { Row_Counts({3, 1000}); }
    void resident_memory();

private:
    static void Row_Counts(std::initializer_list<int> counts);
    void Write_Settings(int rows);
    void Open_Window();
    QToolButton *Table_Button(const QString &name) const;
    QLineEdit *Actual_Field(int row) const;
    QLineEdit *Reading_Field(int row) const;
    static void Settle();
    // Runs prepare (untimed) and then action, rounds times; prints the median.
    static void Report_Median(const char *what, const std::function<void()> &prepare,
                              const std::function<void()> &action, int rounds = 15);

    QTemporaryDir d_home;
    TZentrovaDialog *d_dialog = nullptr;
    TInputWidget *d_table = nullptr;
};

void BenchZentrovaDialog::initTestCase()
{
    QVERIFY(d_home.isValid());
    qputenv("HOME", d_home.path().toUtf8());
    // As the program's main() does.
    Enable_Fast_Repaint();
}

void BenchZentrovaDialog::Row_Counts(std::initializer_list<int> counts)
{
    QTest::addColumn<int>("rows");
    for (int rows : counts)
        QTest::addRow("%d rows", rows) << rows;
}

void BenchZentrovaDialog::init()
{
    QFETCH(int, rows);
    Write_Settings(rows);
}

void BenchZentrovaDialog::cleanup()
{
    delete d_dialog;
    d_dialog = nullptr;
    d_table = nullptr;
    Settle();
}

void BenchZentrovaDialog::Write_Settings(int rows)
{
    QDir(d_home.path()).mkpath(".zentrova");
    QFile file(d_home.path() + "/.zentrova/Settings.ini");
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QByteArray content = "[General]\nRow_Count=" + QByteArray::number(rows) + "\n";
    // Every row different, as measured samples are: a removal moves every text.
    for (int row = 0; row < rows; ++row)
    {
        const QByteArray index = QByteArray::number(row);
        const QByteArray value = QByteArray::number(15.0 + 0.125 * row);
        content += "Nominal_Value_" + index + "=" + value + "\nActual_Value_" + index + "=" +
                   value + "\nReading_Value_" + index + "=" + value + "\n";
    }
    // Everything a certificate needs, so that one can be issued.
    content += "[Record]\nSerial_Number=KX-1\nOwner=Lab A\nTechnician=A. Tester\n"
               "Reference=PRT 100\nReference_Certificate=RC-19\nReference_Due_Date=2099-12-31\n"
               "Reference_Uncertainty=0.02\nResolution=0.1\nTolerance=0.1\n"
               "Ambient_Temperature=21.5\nRelative_Humidity=45\n"
               "[Laboratory]\nName=Bench Lab\nPlace=Room 2\nApprover=Q. Manager\n"
               "Approver_Function=Quality manager\n";
    file.write(content);
}

void BenchZentrovaDialog::Open_Window()
{
    d_dialog = new TZentrovaDialog;
    d_dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(d_dialog));
    d_table = d_dialog->findChild<TInputWidget *>();
    Settle();
}

QToolButton *BenchZentrovaDialog::Table_Button(const QString &name) const
{
    for (QToolButton *button : d_table->findChildren<QToolButton *>())
        if (button->accessibleName() == name)
            return button;
    return nullptr;
}

QLineEdit *BenchZentrovaDialog::Actual_Field(int row) const
{
    auto *grid = qobject_cast<QGridLayout *>(d_table->layout());
    return qobject_cast<QLineEdit *>(grid->itemAtPosition(row + 1, 2)->widget());
}

QLineEdit *BenchZentrovaDialog::Reading_Field(int row) const
{
    auto *grid = qobject_cast<QGridLayout *>(d_table->layout());
    return qobject_cast<QLineEdit *>(grid->itemAtPosition(row + 1, 3)->widget());
}

void BenchZentrovaDialog::Settle()
{
    // Deferred deletes, layout requests, then the update request that
    // repaints the window and flushes it to the display.
    for (int pass = 0; pass < 2; ++pass)
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
}

void BenchZentrovaDialog::Report_Median(const char *what, const std::function<void()> &prepare,
                                        const std::function<void()> &action, int rounds)
{
    std::vector<double> times;
    for (int round = 0; round < rounds; ++round)
    {
        prepare();
        Settle();
        QElapsedTimer timer;
        timer.start();
        action();
        Settle();
        times.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    qInfo("%s: median %.2f ms (fastest %.2f, slowest %.2f, %d runs)", what, times[times.size() / 2],
          times.front(), times.back(), rounds);
}

void BenchZentrovaDialog::edit_value()
{
    Open_Window();
    QLineEdit *field = Actual_Field(0);
    field->setFocus();
    int round = 0;
    Report_Median(
        "one edit of an Actual field until the results are rewritten", [] {},
        [&]
        {
            field->setText(++round % 2 ? QStringLiteral("15.1") : QStringLiteral("14.9"));
            QTest::keyClick(field, Qt::Key_Return);
        });
}

void BenchZentrovaDialog::keystroke()
{
    // One key typed into a Reading field, the field keeping the keyboard:
    // the row's correction and the results follow it, and all of them are
    // repainted. The first digit is typed over, 1 and 2 in turn, so that
    // every key changes the reading by 10 degrees and the results with it.
    Open_Window();
    QLineEdit *field = Reading_Field(0);
    field->setFocus();
    QLabel *new_code2 = nullptr;
    for (QLabel *label : d_dialog->findChildren<QLabel *>())
        if (label->accessibleName() == "New Code 2")
            new_code2 = label;
    QVERIFY(new_code2);
    const QString found = new_code2->text();
    int round = 0;
    Report_Median(
        "one keystroke in a Reading field until the results are repainted",
        [&] { field->setSelection(0, 1); },
        [&] { QTest::keyClick(field, ++round % 2 ? '2' : '1'); }, 31);
    QCOMPARE(d_dialog->focusWidget(), field);
    // The last key was a 2: the results belong to a reading 10 degrees up.
    QCOMPARE(field->text().left(2), QStringLiteral("25"));
    QVERIFY(new_code2->text() != found);
}

void BenchZentrovaDialog::add_row()
{
    QFETCH(int, rows);
    Open_Window();
    QToolButton *add = Table_Button("Add row");
    QToolButton *remove = Table_Button("Remove ticked rows");
    // Each added row is taken away again, untimed, so that every run starts
    // from the same table.
    Report_Median(
        "Add_Row",
        [&]
        {
            if (d_table->Get_Samples().size() > rows)
            {
                d_table->findChildren<QCheckBox *>().last()->setChecked(true);
                remove->click();
            }
        },
        [&] { add->click(); });
    QCOMPARE(d_table->Get_Samples().size(), rows + 1);
}

void BenchZentrovaDialog::remove_rows()
{
    QFETCH(int, rows);
    Open_Window();
    QToolButton *add = Table_Button("Add row");
    QToolButton *remove = Table_Button("Remove ticked rows");
    Report_Median(
        "Remove_Rows, one ticked row",
        [&]
        {
            if (d_table->Get_Samples().size() < rows)
                add->click();
            d_table->findChildren<QCheckBox *>().first()->setChecked(true);
        },
        [&] { remove->click(); });
    QCOMPARE(d_table->Get_Samples().size(), std::max(rows - 1, 1));
}

void BenchZentrovaDialog::set_precision()
{
    Open_Window();
    int round = 0;
    Report_Median(
        "Set_Precision", [] {},
        [&] { ++round % 2 ? d_table->Set_Precision(2, 4) : d_table->Set_Precision(0, 3); });
}

void BenchZentrovaDialog::start_up()
{
    Report_Median(
        "window built, loaded, shown and painted", [this] { cleanup(); }, [this] { Open_Window(); },
        5);
}

void BenchZentrovaDialog::record_window()
{
    // The record window is a window of its own, which goes with the main one.
    const auto record_window = []() -> TRecordDialog *
    {
        for (QWidget *widget : QApplication::topLevelWidgets())
            if (auto *record = qobject_cast<TRecordDialog *>(widget))
                return record;
        return nullptr;
    };
    const auto open_record = [this]
    {
        for (QPushButton *button : d_dialog->findChildren<QPushButton *>())
            if (button->text() == "Record...")
                button->click();
    };
    // Built at its first opening; each run opens a new one.
    Report_Median(
        "record window first shown (built, filled, plotted, painted)",
        [this]
        {
            cleanup();
            Open_Window();
        },
        open_record, 5);
    TRecordDialog *record = record_window();
    QVERIFY(record && record->isVisible());

    // The record follows every keystroke in the main window while it is shown.
    QLineEdit *field = Reading_Field(0);
    field->setFocus();
    int round = 0;
    Report_Median(
        "one keystroke in a Reading field, both windows repainted",
        [&] { field->setSelection(0, 1); },
        [&] { QTest::keyClick(field, ++round % 2 ? '2' : '1'); }, 31);
    QLineEdit *actual = Actual_Field(0);
    Report_Median(
        "record window updated after an edit, plot included", [] {},
        [&]
        {
            actual->setText(++round % 2 ? QStringLiteral("15.1") : QStringLiteral("14.9"));
            emit actual->editingFinished();
        });
    const QString path = d_home.path() + "/certificate.pdf";
    QCOMPARE(record->Save_Certificate(path), QString());
    Report_Median(
        "issued certificate written again", [] {},
        [&] { QCOMPARE(record->Save_Certificate(path), QString()); }, 5);
}

void BenchZentrovaDialog::resident_memory()
{
    Open_Window();
    QFile status("/proc/self/status");
    QVERIFY(status.open(QIODevice::ReadOnly));
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            qInfo("resident memory with the window shown: %s", line.mid(6).trimmed().constData());
}

QTEST_MAIN(BenchZentrovaDialog)
#include "bench_zentrovadialog.moc"
