#include "childprocess.h"
#include "dialoghelpers.h"
#include "fieldmark.h"
#include "numbertext.h"
#include "tablehelpers.h"

#include <QtTest>

using Rows = QList<QStringList>;
Q_DECLARE_METATYPE(Rows)

namespace
{
const QString unit = QString(QChar(0x02DA)) + QLatin1Char('C');

// A shown, active table with the three rows 15, 20, 25 at precisions 0 and 2.
struct Three_Row_Table
{
    TInputWidget table;
    Three_Row_Table()
    {
        for (double value : {15.0, 20.0, 25.0})
            table.Add_Sample(value, value, value);
        table.show();
        table.activateWindow();
    }
};
} // namespace

class TestInputWidget : public QObject
{
    Q_OBJECT

private slots:
    void construction();
    void adding_rows_data();
    void adding_rows();
    void editing_data();
    void editing();
    void keystrokes_reach_the_results_data();
    void keystrokes_reach_the_results();
    void rows_after_an_unreadable_one_are_corrected();
    void ticking_rows();
    void removing_rows_data();
    void removing_rows();
    void removal_hears_nothing_from_removed_rows();
    void set_precision_data();
    void set_precision();
    void clear_rows();
    void get_sample_out_of_range_ends_the_process();
};

void TestInputWidget::construction()
{
    TInputWidget table;
    QVERIFY(table.Get_Samples().isEmpty());
    QVERIFY(Shown_Rows(table).isEmpty());
    QVERIFY(!Remove_Button(table)->isEnabled());
    QVERIFY(Add_Button(table)->isEnabled());
    QCOMPARE(table.Get_Nominal_Precision(), 0);
    QCOMPARE(table.Get_Measured_Precision(), 2);
    auto *grid = qobject_cast<QGridLayout *>(table.layout());
    QCOMPARE(grid->spacing(), 3);
    QCOMPARE(qobject_cast<QLabel *>(grid->itemAtPosition(0, 4)->widget())->text(),
             QStringLiteral("Correction\n(Error)"));
    QVERIFY(grid->itemAtPosition(1, 0)->spacerItem());
    QVERIFY(grid->itemAtPosition(2, 0)->layout());
}

void TestInputWidget::adding_rows_data()
{
    QTest::addColumn<int>("nominal_precision");
    QTest::addColumn<int>("measured_precision");
    QTest::addColumn<bool>("by_button");
    QTest::addColumn<QList<double>>("values");
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("add button at start precisions")
        << 0 << 2 << true << QList<double>{} << QStringList{"20", "20.00", "20.00", "0.00"};
    QTest::newRow("add button at 2 and 4") << 2 << 4 << true << QList<double>{}
                                           << QStringList{"20.00", "20.0000", "20.0000", "0.0000"};
    QTest::newRow("sample with negative correction")
        << 0 << 2 << false << QList<double>{15, 15.04, 14.98}
        << QStringList{"15", "15.04", "14.98", "-0.06"};
    QTest::newRow("rounding half up at 1 decimal")
        << 1 << 1 << false << QList<double>{21.456, 21.456, 20.956}
        << QStringList{"21.5", "21.5", "21.0", "-0.5"};
    QTest::newRow("no decimal point at 0") << 0 << 0 << false << QList<double>{-5.4, 100.0, 99.5}
                                           << QStringList{"-5", "100", "100", "-1"};
    QTest::newRow("negative value keeps its sign")
        << 0 << 2 << false << QList<double>{-10, -0.5, -1.0}
        << QStringList{"-10", "-0.50", "-1.00", "-0.50"};
}

void TestInputWidget::adding_rows()
{
    QFETCH(int, nominal_precision);
    QFETCH(int, measured_precision);
    QFETCH(bool, by_button);
    QFETCH(QList<double>, values);
    QFETCH(QStringList, texts);

    TInputWidget table;
    table.Set_Precision(nominal_precision, measured_precision);
    QSignalSpy spy(&table, &TInputWidget::Data_Changed);
    if (by_button)
        QTest::mouseClick(Add_Button(table), Qt::LeftButton);
    else
        table.Add_Sample(values[0], values[1], values[2]);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(Shown_Rows(table), Rows{texts});
    QCOMPARE(qobject_cast<QLabel *>(Cell(table, 0, Unit_Column))->text(), unit);
    QVERIFY(Field(table, 0, Correction_Column)->isReadOnly());
    QVERIFY(!Tick_Box(table, 0)->isChecked());
}

void TestInputWidget::editing_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("press_enter"); // otherwise the focus moves on
    QTest::addColumn<QString>("correction");
    QTest::addColumn<int>("reports"); // while typing; ending the edit adds none
    QTest::addColumn<bool>("marked");
    QTest::addColumn<double>("read_back");

    QTest::newRow("actual, Enter")
        << int(Actual_Column) << "21.5" << true << "-1.50" << 4 << false << 21.5;
    QTest::newRow("reading, focus leaves")
        << int(Reading_Column) << "20.25" << false << "0.25" << 5 << false << 20.25;
    QTest::newRow("reading with exponent and blanks")
        << int(Reading_Column) << " 2.1e1 " << true << "1.00" << 7 << false << 21.0;
    // A text that does not read leaves its row without a correction, even
    // where a keystroke on the way read ("20" of "20,5", "1e40" of "1e400").
    QTest::newRow("letters clear the correction")
        << int(Reading_Column) << "abc" << false << "" << 3 << true << 0.0;
    QTest::newRow("comma is not a decimal point")
        << int(Actual_Column) << "20,5" << true << "" << 4 << true << 0.0;
    QTest::newRow("emptied field") << int(Actual_Column) << "" << true << "" << 1 << true << 0.0;
    QTest::newRow("number beyond a double reads as 0")
        << int(Reading_Column) << "1e400" << true << "" << 5 << true << 0.0;
    QTest::newRow("nan reads as 0")
        << int(Actual_Column) << "nan" << true << "" << 3 << true << 0.0;
    QTest::newRow("nominal edit says nothing")
        << int(Nominal_Column) << "22" << true << "0.00" << 0 << false << 22.0;
}

void TestInputWidget::editing()
{
    QFETCH(int, column);
    QFETCH(QString, typed);
    QFETCH(bool, press_enter);
    QFETCH(QString, correction);
    QFETCH(int, reports);
    QFETCH(bool, marked);
    QFETCH(double, read_back);

    Three_Row_Table fixture;
    TInputWidget &table = fixture.table;
    QVERIFY(QTest::qWaitForWindowActive(&table));
    QLineEdit *field = Field(table, 1, column);
    field->setFocus();
    field->selectAll();
    QSignalSpy spy(&table, &TInputWidget::Data_Changed);
    if (typed.isEmpty())
        QTest::keyClick(field, Qt::Key_Delete);
    else
        QTest::keyClicks(field, typed);
    // Each keystroke in a measured value reports, and the row's correction
    // follows it; the mark waits for the end of the edit.
    QCOMPARE(spy.count(), reports);
    QCOMPARE(Field(table, 1, Correction_Column)->text(), correction);
    QVERIFY(!Is_Field_Marked(field));
    if (press_enter)
        QTest::keyClick(field, Qt::Key_Return);
    else
        Field(table, 2, Nominal_Column)->setFocus();

    // Every change was reported as it was typed: ending the edit adds none.
    QCOMPARE(spy.count(), reports);
    QCOMPARE(Is_Field_Marked(field), marked);
    QCOMPARE(field->text(), typed); // left exactly as typed
    QCOMPARE(Field(table, 1, Correction_Column)->text(), correction);
    const Sample sample = table.Get_Samples().at(1);
    const double values[] = {sample.nominal, sample.actual, sample.reading};
    QCOMPARE(values[column - Nominal_Column], read_back);
    // The other rows are untouched.
    QCOMPARE(Shown_Rows(table).at(0), (QStringList{"15", "15.00", "15.00", "0.00"}));
    QCOMPARE(Shown_Rows(table).at(2), (QStringList{"25", "25.00", "25.00", "0.00"}));
}

void TestInputWidget::keystrokes_reach_the_results_data()
{
    QTest::addColumn<int>("column"); // in the second row, 20 / 20 / 20.1
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("correction"); // before the field is left
    QTest::addColumn<bool>("readable");

    QTest::newRow("Reading 20.15 over 20.1") << int(Reading_Column) << "20.15"
                                             << "0.150" << true;
    QTest::newRow("Actual 19.95 over 20") << int(Actual_Column) << "19.95"
                                          << "0.150" << true;
    QTest::newRow("through a lone minus sign to -20.1") << int(Reading_Column) << "-20.1"
                                                        << "-40.100" << true;
    QTest::newRow("a lone minus sign") << int(Reading_Column) << "-"
                                       << "" << false;
    QTest::newRow("a decimal comma, through 19") << int(Actual_Column) << "19,9"
                                                 << "" << false;
    QTest::newRow("an exponent not finished") << int(Reading_Column) << "2e"
                                              << "" << false;
}

void TestInputWidget::keystrokes_reach_the_results()
{
    QFETCH(int, column);
    QFETCH(QString, typed);
    QFETCH(QString, correction);
    QFETCH(bool, readable);

    const QStringList no_results{"----", "----", "---- " + Unit()};
    Home_Folder home;
    home.Write_Settings(Worked_Samples());
    QStringList shown;
    {
        TZentrovaDialog dialog;
        QVERIFY(Show_Active(dialog));
        TInputWidget &table = *Table(dialog);
        const QStringList found = Results(dialog);
        QLineEdit *field = Field(table, 1, column);
        field->setFocus();
        field->selectAll();
        for (const QChar character : typed)
        {
            QTest::keyClick(field, character.toLatin1());
            // A text that does not read holds the results back at once, but
            // is not marked while it is typed ("-" on the way to "-5").
            if (!Read_Number_Text(field->text(), nullptr))
                QCOMPARE(Results(dialog), no_results);
            QVERIFY(!Is_Field_Marked(field));
        }
        QVERIFY(field->hasFocus());
        QCOMPARE(Field(table, 1, Correction_Column)->text(), correction);
        shown = Results(dialog);
        if (readable)
            QVERIFY(shown != found && shown != no_results);
        else
            QCOMPARE(shown, no_results);

        QTest::keyClick(field, Qt::Key_Tab);
        QVERIFY(!field->hasFocus());
        QCOMPARE(Is_Field_Marked(field), !readable);
        QCOMPARE(Results(dialog), shown);
        QVERIFY(dialog.close());
    }
    // A new start computes the results from the saved texts: they are the
    // ones shown while the field still had the keyboard.
    TZentrovaDialog reloaded;
    // (Written with the column's three decimals when it reads.)
    const QString kept = Shown_Rows(*Table(reloaded)).at(1).at(column - Nominal_Column);
    QCOMPARE(readable ? kept.toDouble() : 0.0, readable ? typed.toDouble() : 0.0);
    QCOMPARE(kept == typed, !readable);
    QCOMPARE(Results(reloaded), shown);
}

void TestInputWidget::rows_after_an_unreadable_one_are_corrected()
{
    Three_Row_Table fixture;
    TInputWidget &table = fixture.table;
    QVERIFY(QTest::qWaitForWindowActive(&table));
    QCOMPARE(table.First_Unreadable_Row(), -1);
    Field(table, 0, Actual_Column)->setText("abc");
    Field(table, 1, Reading_Column)->setText("20,5");
    QCOMPARE(table.First_Unreadable_Row(), 0);

    QLineEdit *field = Field(table, 2, Actual_Column);
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, "24");
    QTest::keyClick(field, Qt::Key_Return);
    QCOMPARE(Shown_Rows(table), (Rows{{"15", "abc", "15.00", ""},
                                      {"20", "20.00", "20,5", ""},
                                      {"25", "24", "25.00", "1.00"}}));
    // Every unreadable field is marked, whichever was edited.
    QVERIFY(!Field(table, 0, Actual_Column)->toolTip().isEmpty());
    QVERIFY(!Field(table, 1, Reading_Column)->toolTip().isEmpty());
    QVERIFY(Field(table, 1, Actual_Column)->toolTip().isEmpty());
}

void TestInputWidget::ticking_rows()
{
    Three_Row_Table fixture;
    TInputWidget &table = fixture.table;
    QSignalSpy spy(&table, &TInputWidget::Data_Changed);
    QToolButton *remove = Remove_Button(table);

    Click_Tick_Box(table, 0);
    QVERIFY(Tick_Box(table, 0)->isChecked());
    QVERIFY(remove->isEnabled());
    Click_Tick_Box(table, 2);
    Click_Tick_Box(table, 0);
    QVERIFY(remove->isEnabled()); // row 2 is still ticked
    Click_Tick_Box(table, 2);
    QVERIFY(!remove->isEnabled());
    QCOMPARE(spy.count(), 0);
    QCOMPARE(table.Get_Samples().size(), 3);
}

void TestInputWidget::removing_rows_data()
{
    QTest::addColumn<QList<int>>("ticked");
    QTest::addColumn<QString>("second_actual"); // typed into row 1 first, if not empty
    QTest::addColumn<Rows>("rows");
    const QStringList first{"15", "15.00", "15.00", "0.00"};
    const QStringList third{"25", "25.00", "25.00", "0.00"};
    QTest::newRow("middle row") << QList<int>{1} << "" << Rows{first, third};
    QTest::newRow("first and last")
        << QList<int>{0, 2} << "" << Rows{{"20", "20.00", "20.00", "0.00"}};
    QTest::newRow("every row leaves one at 20")
        << QList<int>{0, 1, 2} << "" << Rows{{"20", "20.00", "20.00", "0.00"}};
    QTest::newRow("survivor keeps its letters")
        << QList<int>{0} << "abc" << Rows{{"20", "abc", "20.00", ""}, third};
    QTest::newRow("survivor keeps its digits")
        << QList<int>{2} << "20.256" << Rows{first, {"20", "20.256", "20.00", "-0.26"}};
}

void TestInputWidget::removing_rows()
{
    QFETCH(QList<int>, ticked);
    QFETCH(QString, second_actual);
    QFETCH(Rows, rows);

    Three_Row_Table fixture;
    TInputWidget &table = fixture.table;
    if (!second_actual.isEmpty())
        Field(table, 1, Actual_Column)->setText(second_actual);
    for (int row : ticked)
        Click_Tick_Box(table, row);

    QSignalSpy spy(&table, &TInputWidget::Data_Changed);
    QTest::mouseClick(Remove_Button(table), Qt::LeftButton);
    Flush_Deleted_Widgets();
    QCOMPARE(spy.count(), 1);
    QCOMPARE(Shown_Rows(table), rows);
    QCOMPARE(table.Get_Samples().size(), rows.size());
    QCOMPARE(table.findChildren<QLineEdit *>().size(), 4 * rows.size());
    for (int row = 0; row < rows.size(); ++row)
    {
        QVERIFY(!Tick_Box(table, row)->isChecked());
        // A screen reader names the rows as they now stand.
        QCOMPARE(Field(table, row, Actual_Column)->accessibleName(),
                 QStringLiteral("Actual, row %1").arg(row + 1));
    }
    QVERIFY(!Remove_Button(table)->isEnabled());
}

void TestInputWidget::removal_hears_nothing_from_removed_rows()
{
    // The user types into a field of a ticked row and, without leaving it,
    // presses remove: the field loses the focus as it goes away, and that
    // must not reach the table.
    Three_Row_Table fixture;
    TInputWidget &table = fixture.table;
    QVERIFY(QTest::qWaitForWindowActive(&table));
    Click_Tick_Box(table, 2);
    QLineEdit *doomed = Field(table, 2, Reading_Column);
    doomed->setFocus();
    QTest::keyClicks(doomed, "9");
    QVERIFY(doomed->hasFocus());

    QSignalSpy spy(&table, &TInputWidget::Data_Changed);
    QTest::mouseClick(Remove_Button(table), Qt::LeftButton);
    QCOMPARE(spy.count(), 1);
    QVERIFY(!doomed->isVisible());
    QPointer<QLineEdit> watch(doomed);
    Flush_Deleted_Widgets();
    QVERIFY(watch.isNull());
    QCOMPARE(spy.count(), 1);
    QCOMPARE(table.Get_Samples().size(), 2);

    // The rows that are left still report their edits.
    QLineEdit *kept = Field(table, 1, Actual_Column);
    kept->setFocus();
    kept->selectAll();
    QTest::keyClicks(kept, "19.5");
    QTest::keyClick(kept, Qt::Key_Return);
    QCOMPARE(spy.count(), 1 + 4); // a report a keystroke
    QCOMPARE(Field(table, 1, Correction_Column)->text(), QStringLiteral("0.50"));
}

void TestInputWidget::set_precision_data()
{
    QTest::addColumn<int>("nominal");
    QTest::addColumn<int>("measured");
    QTest::addColumn<QStringList>("row"); // row 0 before the call
    QTest::addColumn<int>("kept_nominal");
    QTest::addColumn<int>("kept_measured");
    QTest::addColumn<QStringList>("shown");
    const QStringList plain{"20", "20.123456", "20", "0"};
    QTest::newRow("nominal above range kept")
        << 3 << 2 << plain << 0 << 2 << QStringList{"20", "20.12", "20.00", "-0.12"};
    QTest::newRow("negative measured refused")
        << 1 << -1 << plain << 1 << 2 << QStringList{"20.0", "20.12", "20.00", "-0.12"};
    QTest::newRow("both out of range, still reformats")
        << -1 << 5 << plain << 0 << 2 << QStringList{"20", "20.12", "20.00", "-0.12"};
    QTest::newRow("1 and 3") << 1 << 3 << plain << 1 << 3
                             << QStringList{"20.0", "20.123", "20.000", "-0.123"};
    QTest::newRow("largest") << 2 << 4 << plain << 2 << 4
                             << QStringList{"20.00", "20.1235", "20.0000", "-0.1235"};
    QTest::newRow("letters stay, no correction") << 0 << 2 << QStringList{"20", "abc", "20", "x"}
                                                 << 0 << 2 << QStringList{"20", "abc", "20.00", ""};
    QTest::newRow("correction from unrounded values")
        << 0 << 0 << QStringList{"20", "20.4", "20.6", ""} << 0 << 0
        << QStringList{"20", "20", "21", "0"};
}

void TestInputWidget::set_precision()
{
    QFETCH(int, nominal);
    QFETCH(int, measured);
    QFETCH(QStringList, row);
    QFETCH(int, kept_nominal);
    QFETCH(int, kept_measured);
    QFETCH(QStringList, shown);

    TInputWidget table;
    table.Add_Sample(0, 0, 0);
    for (int column = Nominal_Column; column <= Correction_Column; ++column)
        Field(table, 0, column)->setText(row[column - Nominal_Column]);
    QSignalSpy spy(&table, &TInputWidget::Data_Changed);
    table.Set_Precision(nominal, measured);
    QCOMPARE(spy.count(), 0);
    QCOMPARE(table.Get_Nominal_Precision(), kept_nominal);
    QCOMPARE(table.Get_Measured_Precision(), kept_measured);
    QCOMPARE(Shown_Rows(table), Rows{shown});
}

void TestInputWidget::clear_rows()
{
    Three_Row_Table fixture;
    TInputWidget &table = fixture.table;
    Click_Tick_Box(table, 0);
    QSignalSpy spy(&table, &TInputWidget::Data_Changed);
    table.Clear_Rows();
    Flush_Deleted_Widgets();
    QCOMPARE(spy.count(), 0);
    QVERIFY(table.Get_Samples().isEmpty());
    QVERIFY(table.findChildren<QLineEdit *>().isEmpty());
    QVERIFY(Remove_Button(table)->isEnabled()); // left as it was

    // Filling it again puts the rows back above the buttons.
    table.Add_Sample(30, 31, 32);
    QCOMPARE(Shown_Rows(table), (Rows{{"30", "31.00", "32.00", "1.00"}}));
    auto *grid = qobject_cast<QGridLayout *>(table.layout());
    QVERIFY(grid->itemAtPosition(2, 0)->spacerItem());
    QVERIFY(grid->itemAtPosition(3, 0)->layout());
    QCOMPARE(spy.count(), 1);
}

void TestInputWidget::get_sample_out_of_range_ends_the_process()
{
    TInputWidget table;
    table.Add_Sample(15, 15.5, 16);
    const Sample sample = table.Get_Sample(0);
    QCOMPARE(sample.correction, 0.5);
    QCOMPARE(sample.actual, 15.5);
    for (int index : {1, -1})
    {
        const Child_Outcome outcome = Run_In_Child([&table, index] { table.Get_Sample(index); });
        QVERIFY(outcome.aborted);
        QVERIFY2(outcome.error_output.contains("src/inputwidget.cpp:"),
                 outcome.error_output.constData());
        QVERIFY2(outcome.error_output.contains(
                     "`static_cast<unsigned int>(index) < d_entry_lines.size()' failed"),
                 outcome.error_output.constData());
    }
}

QTEST_MAIN(TestInputWidget)
#include "tst_inputwidget.moc"
