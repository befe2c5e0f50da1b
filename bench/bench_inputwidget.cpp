#include "inputwidget.h"

#include <QtTest>

// What the computation asks of the table on every edit, and the settings
// store on every save: reading every row back. The row actions as the user
// meets them, in the window, are timed in bench_zentrovadialog.
class BenchInputWidget : public QObject
{
    Q_OBJECT

private slots:
    void get_samples_data();
    void get_samples();
    void first_unreadable_row_data() { get_samples_data(); }
    void first_unreadable_row();

private:
    static void Fill(TInputWidget &table, int rows);
};

void BenchInputWidget::get_samples_data()
{
    QTest::addColumn<int>("rows");
    for (int rows : {10, 100, 1000})
        QTest::addRow("%d rows", rows) << rows;
}

void BenchInputWidget::Fill(TInputWidget &table, int rows)
{
    for (int row = 0; row < rows; ++row)
        table.Add_Sample(15.0 + row, 15.01 + row, 15.02 + row);
}

void BenchInputWidget::get_samples()
{
    QFETCH(int, rows);
    TInputWidget table;
    Fill(table, rows);
    Sample_List samples;
    QBENCHMARK
    {
        samples = table.Get_Samples();
    }
    QCOMPARE(samples.size(), rows);
}

void BenchInputWidget::first_unreadable_row()
{
    QFETCH(int, rows);
    TInputWidget table;
    Fill(table, rows);
    int row = 0;
    QBENCHMARK
    {
        row = table.First_Unreadable_Row();
    }
    QCOMPARE(row, -1);
}

QTEST_MAIN(BenchInputWidget)
#include "bench_inputwidget.moc"
