#include "inputwidget.h"
#include "zentrovadialog.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QGridLayout>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

// The window as the user meets it, shown, with a settings file of n rows.
// "edit" is what one edit of a value costs until the three result labels are
// rewritten; the other figures include the layout and paint work that the
// event loop does afterwards.
class BenchZentrovaDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void edit_value_data();
    void edit_value();
    void start_up_data() { Row_Counts({3, 1000}); }
    void start_up();
    void add_row_data() { Row_Counts({3, 100, 1000}); }
    void add_row();
    void remove_rows_data() { Row_Counts({3, 100, 1000}); }
    void remove_rows();
    void set_precision_data() { Row_Counts({3, 100, 1000}); }
    void set_precision();

private:
    static void Row_Counts(std::initializer_list<int> counts);
    void Write_Settings(int rows);
    void Open_Window();
    QToolButton *Table_Button(const QString &name) const;
    QLineEdit *Actual_Field(int row) const;
    static void Settle();

    QTemporaryDir d_home;
    TZentrovaDialog *d_dialog = nullptr;
    TInputWidget *d_table = nullptr;
};

void BenchZentrovaDialog::initTestCase()
{
    QVERIFY(d_home.isValid());
    qputenv("HOME", d_home.path().toUtf8());
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
    file.write(QByteArray("[General]\nRow_Count=") + QByteArray::number(rows) + "\n");
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

void BenchZentrovaDialog::Settle()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

void BenchZentrovaDialog::edit_value_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<bool>("painted");
    for (bool painted : {false, true})
        for (int rows : {3, 100, 1000})
            QTest::addRow("%d rows%s", rows, painted ? ", repainted" : "") << rows << painted;
}

void BenchZentrovaDialog::edit_value()
{
    QFETCH(bool, painted);
    Open_Window();
    QLineEdit *field = Actual_Field(0);
    int round = 0;
    QBENCHMARK
    {
        field->setText(++round % 2 ? QStringLiteral("15.1") : QStringLiteral("14.9"));
        QTest::keyClick(field, Qt::Key_Return);
        if (painted)
            Settle();
    }
}

void BenchZentrovaDialog::start_up()
{
    QBENCHMARK_ONCE
    {
        Open_Window();
    }
}

void BenchZentrovaDialog::add_row()
{
    QFETCH(int, rows);
    Open_Window();
    QToolButton *add = Table_Button("Add row");
    QBENCHMARK_ONCE
    {
        add->click();
        Settle();
    }
    QCOMPARE(d_table->Get_Samples().size(), rows + 1);
}

void BenchZentrovaDialog::remove_rows()
{
    QFETCH(int, rows);
    Open_Window();
    d_table->findChildren<QCheckBox *>().first()->setChecked(true);
    QToolButton *remove = Table_Button("Remove ticked rows");
    QBENCHMARK_ONCE
    {
        remove->click();
        Settle();
    }
    QCOMPARE(d_table->Get_Samples().size(), std::max(rows - 1, 1));
}

void BenchZentrovaDialog::set_precision()
{
    Open_Window();
    QBENCHMARK_ONCE
    {
        d_table->Set_Precision(2, 4);
        Settle();
    }
}

QTEST_MAIN(BenchZentrovaDialog)
#include "bench_zentrovadialog.moc"
