#include "inputwidget.h"

#include <QCheckBox>
#include <QToolButton>
#include <QtTest>

// Each figure is one user action on a shown table, including the layout and
// paint work that the event loop does after it.
class BenchInputWidget : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void add_row_data() { Row_Counts(); }
    void add_row();
    void remove_rows_data() { Row_Counts(); }
    void remove_rows();
    void set_precision_data() { Row_Counts(); }
    void set_precision();
    void get_samples_data() { Row_Counts(); }
    void get_samples();

private:
    static void Row_Counts();
    void Fill(int rows);
    QToolButton *Button(const QString &name) const;
    static void Settle();

    TInputWidget *d_table = nullptr;
};

void BenchInputWidget::Row_Counts()
{
    QTest::addColumn<int>("rows");
    for (int rows : {10, 100, 1000})
        QTest::addRow("%d rows", rows) << rows;
}

void BenchInputWidget::init()
{
    d_table = new TInputWidget;
}

void BenchInputWidget::cleanup()
{
    delete d_table;
    d_table = nullptr;
    Settle();
}

void BenchInputWidget::Fill(int rows)
{
    for (int row = 0; row < rows; ++row)
        d_table->Add_Sample(15.0 + row, 15.01 + row, 15.02 + row);
    d_table->show();
    QVERIFY(QTest::qWaitForWindowExposed(d_table));
    Settle();
}

QToolButton *BenchInputWidget::Button(const QString &name) const
{
    for (QToolButton *button : d_table->findChildren<QToolButton *>())
        if (button->accessibleName() == name)
            return button;
    return nullptr;
}

void BenchInputWidget::Settle()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

void BenchInputWidget::add_row()
{
    QFETCH(int, rows);
    Fill(rows);
    QToolButton *add = Button("Add row");
    QBENCHMARK_ONCE
    {
        add->click();
        Settle();
    }
    QCOMPARE(d_table->Get_Samples().size(), rows + 1);
}

void BenchInputWidget::remove_rows()
{
    QFETCH(int, rows);
    Fill(rows);
    d_table->findChildren<QCheckBox *>().first()->setChecked(true);
    QToolButton *remove = Button("Remove ticked rows");
    QBENCHMARK_ONCE
    {
        remove->click();
        Settle();
    }
    QCOMPARE(d_table->Get_Samples().size(), rows - 1);
}

void BenchInputWidget::set_precision()
{
    QFETCH(int, rows);
    Fill(rows);
    int precision = 0;
    QBENCHMARK
    {
        precision = (precision + 1) % 5;
        d_table->Set_Precision(precision % 3, precision);
        Settle();
    }
}

void BenchInputWidget::get_samples()
{
    QFETCH(int, rows);
    Fill(rows);
    Sample_List samples;
    QBENCHMARK
    {
        samples = d_table->Get_Samples();
    }
    QCOMPARE(samples.size(), rows);
}

QTEST_MAIN(BenchInputWidget)
#include "bench_inputwidget.moc"
