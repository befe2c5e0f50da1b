#include "dialoghelpers.h"
#include "windowframe.h"

#include <QApplication>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTextEdit>

// The window with many samples: it stays on its screen, the table scrolls
// inside it, and the keyboard and the mouse still reach everything.
class TestManyRows : public QObject
{
    Q_OBJECT

private slots:
    void window_fits_its_screen_data();
    void window_fits_its_screen();
    void position_on_screen_data();
    void position_on_screen();
    void growing_window_stays_on_its_screen_data();
    void growing_window_stays_on_its_screen();
    void last_row_and_close_are_reachable();
    void added_row_comes_into_sight();
    void removal_keeps_the_focus_in_the_table_data();
    void removal_keeps_the_focus_in_the_table();
    void removal_leaves_no_undo_history();
    void row_bound_for_adding_and_loading();
    void tab_order_follows_the_procedure();
};

namespace
{
QScrollArea *Table_Area(const QWidget &window)
{
    return window.findChild<QScrollArea *>();
}

// True when the widget can be seen: inside the table's visible part.
bool In_Sight(const QWidget *widget)
{
    const QWidget *viewport = Table_Area(*widget->window())->viewport();
    const QRect rect(widget->mapTo(viewport, QPoint(0, 0)), widget->size());
    return viewport->rect().contains(rect);
}

int Available_Height(const QWidget &window)
{
    return window.screen()->availableGeometry().height();
}
} // namespace

void TestManyRows::window_fits_its_screen_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<bool>("scrolls");
    QTest::addColumn<int>("point_size"); // of the application's font; 0 keeps it
    QTest::newRow("3 rows: the table as it is") << 3 << false << 0;
    QTest::newRow("40 rows: the table scrolls") << 40 << true << 0;
    QTest::newRow("1000 rows") << 1000 << true << 0;
    QTest::newRow("1000 rows at a small font") << 1000 << true << 6;
}

void TestManyRows::window_fits_its_screen()
{
    QFETCH(int, rows);
    QFETCH(bool, scrolls);
    QFETCH(int, point_size);
    const QFont font = QApplication::font();
    const auto restore_font = qScopeGuard([font] { QApplication::setFont(font); });
    if (point_size > 0)
    {
        QFont small = font;
        small.setPointSize(point_size);
        QApplication::setFont(small);
    }
    Home_Folder home;
    home.Write_Settings("Row_Count=" + QByteArray::number(rows) + "\n");
    TZentrovaDialog dialog;
    QVERIFY(Show_Active(dialog));
    QScrollArea *area = Table_Area(dialog);
    TInputWidget &table = *Table(dialog);

    QVERIFY(dialog.frameGeometry().height() <= Available_Height(dialog));
    QCOMPARE(area->verticalScrollBar()->isVisible(), scrolls);
    if (!scrolls)
        QCOMPARE(table.size(), area->size()); // drawn exactly as without the area
    else                                      // the scroll bar takes none of the table's width
        QVERIFY(area->viewport()->width() >= table.sizeHint().width());
    // The table keeps its full row height; it is not squeezed to fit.
    QCOMPARE(table.height(), std::max(table.sizeHint().height(), area->viewport()->height()));

    // Scrolled to the end, the column captions are still in sight, each
    // over its own column.
    area->verticalScrollBar()->setValue(area->verticalScrollBar()->maximum());
    QCoreApplication::processEvents();
    for (QLabel *caption : table.Header_Labels())
    {
        QLabel *twin = nullptr;
        for (QLabel *label : area->viewport()->findChildren<QLabel *>())
            if (!table.isAncestorOf(label) && label->text() == caption->text())
                twin = label;
        QCOMPARE(twin && twin->isVisibleTo(&dialog), scrolls);
        if (scrolls)
        {
            QVERIFY(In_Sight(twin));
            QCOMPARE(twin->mapTo(&dialog, QPoint()).x(), caption->mapTo(&dialog, QPoint()).x());
            QCOMPARE(twin->width(), caption->width());
        }
    }

    const QSize before = dialog.size();
    Help_Button(dialog)->click();
    QVERIFY(dialog.findChild<QTextEdit *>()->isVisible());
    Help_Button(dialog)->click();
    QCoreApplication::processEvents();
    QCOMPARE(dialog.size(), before);
}

void TestManyRows::position_on_screen_data()
{
    QTest::addColumn<QRect>("frame");
    QTest::addColumn<QRect>("available");
    QTest::addColumn<QPoint>("position");
    const QRect screen(0, 0, 1366, 738); // a panel takes the bottom 30 pixels
    QTest::newRow("inside stays") << QRect(268, 103, 810, 459) << screen << QPoint(268, 103);
    QTest::newRow("touching the corner stays")
        << QRect(29, 279, 1337, 459) << screen << QPoint(29, 279);
    QTest::newRow("one pixel beyond the right edge")
        << QRect(30, 103, 1337, 459) << screen << QPoint(29, 103);
    QTest::newRow("help panel shown, 237 pixels beyond")
        << QRect(266, 103, 1337, 459) << screen << QPoint(29, 103);
    QTest::newRow("beyond the bottom, into the panel")
        << QRect(268, 300, 810, 459) << screen << QPoint(268, 279);
    QTest::newRow("beyond both") << QRect(900, 500, 810, 459) << screen << QPoint(556, 279);
    QTest::newRow("wider than the screen keeps its left edge in sight")
        << QRect(200, 103, 1500, 459) << screen << QPoint(0, 103);
    QTest::newRow("taller than the screen keeps its title bar in sight")
        << QRect(268, 40, 810, 800) << screen << QPoint(268, 0);
    QTest::newRow("a title bar above the screen comes down")
        << QRect(-1, -20, 825, 768) << QRect(0, 0, 1366, 768) << QPoint(-1, 0);
    QTest::newRow("left of the screen is left alone")
        << QRect(-50, 103, 810, 459) << screen << QPoint(-50, 103);
    QTest::newRow("second screen to the right")
        << QRect(2300, 103, 810, 459) << QRect(1366, 0, 1280, 1024) << QPoint(1836, 103);
}

void TestManyRows::position_on_screen()
{
    QFETCH(QRect, frame);
    QFETCH(QRect, available);
    QFETCH(QPoint, position);
    QCOMPARE(Position_On_Screen(frame, available), position);
}

void TestManyRows::growing_window_stays_on_its_screen_data()
{
    QTest::addColumn<QString>("growth");
    QTest::newRow("25 rows added") << "add";
    QTest::newRow("a long block pasted") << "paste";
    QTest::newRow("the help panel shown") << "help";
}

void TestManyRows::growing_window_stays_on_its_screen()
{
    QFETCH(QString, growth);
    Home_Folder home;
    TZentrovaDialog dialog;
    QVERIFY(Show_Active(dialog));
    // Low down and to the right, as a user may have left it.
    const QRect available = dialog.screen()->availableGeometry();
    dialog.move(std::max(0, available.right() - dialog.frameGeometry().width() - 5),
                available.bottom() - dialog.frameGeometry().height() - 5);
    QCoreApplication::processEvents();
    TInputWidget &table = *Table(dialog);
    if (growth == "add")
        for (int count = 0; count < 25; ++count)
            Add_Button(table)->click();
    else if (growth == "paste")
        table.Paste_Block(Field(table, 0, Nominal_Column), QString("20\t20\t20\n").repeated(40));
    else
        Help_Button(dialog)->click();
    QCoreApplication::processEvents();
    // Inside the screen; a window larger than the screen (offscreen's is
    // 800 x 600) starts at its top left edge.
    const QRect frame = dialog.frameGeometry();
    const auto inside = [](int start, int size, int available_start, int available_size)
    {
        return size > available_size
                   ? start == available_start
                   : start >= available_start && start + size <= available_start + available_size;
    };
    QVERIFY2(inside(frame.x(), frame.width(), available.x(), available.width()) &&
                 inside(frame.y(), frame.height(), available.y(), available.height()),
             qPrintable(QStringLiteral("%1,%2 %3x%4")
                            .arg(frame.x())
                            .arg(frame.y())
                            .arg(frame.width())
                            .arg(frame.height())));
}

void TestManyRows::last_row_and_close_are_reachable()
{
    Home_Folder home;
    home.Write_Settings("Row_Count=40\n");
    TZentrovaDialog dialog;
    QVERIFY(Show_Active(dialog));
    TInputWidget &table = *Table(dialog);
    QLineEdit *last = Field(table, 39, Reading_Column);
    QVERIFY(!In_Sight(last));

    // By keyboard: Tab through the rows; each field comes into sight as it
    // gets the focus.
    while (QApplication::focusWidget() != last)
    {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget *focused = QApplication::focusWidget();
        QVERIFY(!table.isAncestorOf(focused) || In_Sight(focused));
    }
    QVERIFY(In_Sight(last));
    Retype(last, "21.5");
    QCOMPARE(table.Get_Samples().at(39).reading, 21.5);

    // By mouse: scrolled back to the top, then down with the scroll bar.
    QScrollBar *bar = Table_Area(dialog)->verticalScrollBar();
    bar->setValue(0);
    QVERIFY(!In_Sight(Tick_Box(table, 39)));
    bar->setValue(bar->maximum());
    QVERIFY(In_Sight(Tick_Box(table, 39)));
    Click_Tick_Box(table, 39);
    QVERIFY(Tick_Box(table, 39)->isChecked());

    QPushButton *close = Push_Button(dialog, "Close");
    QVERIFY(dialog.rect().contains(QRect(close->mapTo(&dialog, QPoint(0, 0)), close->size())));
    QTest::mouseClick(close, Qt::LeftButton);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(home.Read_Settings().value("Reading_Value_39"), QStringLiteral("21.5"));
}

void TestManyRows::added_row_comes_into_sight()
{
    Home_Folder home;
    home.Write_Settings("Row_Count=40\n");
    TZentrovaDialog dialog;
    QVERIFY(Show_Active(dialog));
    TInputWidget &table = *Table(dialog);
    Table_Area(dialog)->verticalScrollBar()->setValue(0);
    QToolButton *add = Add_Button(table);
    add->click();
    QCOMPARE(table.Get_Samples().size(), 41);
    QVERIFY(In_Sight(Field(table, 40, Nominal_Column)));
    QVERIFY(In_Sight(add));
    QVERIFY(In_Sight(Remove_Button(table)));
}

void TestManyRows::removal_keeps_the_focus_in_the_table_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<QList<int>>("ticked");
    QTest::addColumn<int>("focused_row"); // the row whose tick box has the focus after
    QTest::newRow("middle row") << 3 << QList<int>{1} << 1;
    QTest::newRow("last row") << 3 << QList<int>{2} << 1;
    QTest::newRow("every row") << 3 << QList<int>{0, 1, 2} << 0;
    QTest::newRow("two of many") << 40 << QList<int>{10, 30} << 10;
}

void TestManyRows::removal_keeps_the_focus_in_the_table()
{
    QFETCH(int, rows);
    QFETCH(QList<int>, ticked);
    QFETCH(int, focused_row);
    Home_Folder home;
    home.Write_Settings("Row_Count=" + QByteArray::number(rows) + "\n");
    TZentrovaDialog dialog;
    QVERIFY(Show_Active(dialog));
    TInputWidget &table = *Table(dialog);
    // Ticked with the keyboard, removed with the keyboard.
    for (int row : ticked)
    {
        Tick_Box(table, row)->setFocus();
        QTest::keyClick(Tick_Box(table, row), Qt::Key_Space);
    }
    QToolButton *remove = Remove_Button(table);
    remove->setFocus();
    QSignalSpy reports(&table, &TInputWidget::Data_Changed);
    QTest::keyClick(remove, Qt::Key_Space);
    Flush_Deleted_Widgets();
    QCOMPARE(reports.count(), 1);
    QCOMPARE(table.Get_Samples().size(), std::max(rows - ticked.size(), 1));
    QCOMPARE(QApplication::focusWidget(), Tick_Box(table, focused_row));
    QVERIFY(In_Sight(Tick_Box(table, focused_row)));
    // The next Tab stays in the row; it does not reach the settings.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), Field(table, focused_row, Nominal_Column));
    QCOMPARE(reports.count(), 1);
}

void TestManyRows::removal_leaves_no_undo_history()
{
    Home_Folder home;
    TZentrovaDialog dialog;
    QVERIFY(Show_Active(dialog));
    TInputWidget &table = *Table(dialog);
    Retype(Field(table, 0, Actual_Column), "15.25");
    Retype(Field(table, 2, Reading_Column), "25.000"); // the same text, typed again
    QVERIFY(Field(table, 2, Reading_Column)->isUndoAvailable());
    Click_Tick_Box(table, 1);
    QTest::mouseClick(Remove_Button(table), Qt::LeftButton);
    Flush_Deleted_Widgets();
    QCOMPARE(Shown_Rows(table), (QList<QStringList>{{"15", "15.25", "15.000", "-0.250"},
                                                    {"25", "25.000", "25.000", "0.000"}}));
    for (int row = 0; row < 2; ++row)
        for (int column = Nominal_Column; column <= Reading_Column; ++column)
        {
            QVERIFY(!Field(table, row, column)->isUndoAvailable());
            QVERIFY(!Field(table, row, column)->isModified());
        }
    QCOMPARE(Field(table, 1, Actual_Column)->accessibleName(), QStringLiteral("Actual, row 2"));
}

void TestManyRows::row_bound_for_adding_and_loading()
{
    Home_Folder home;
    home.Write_Settings("Row_Count=999\n");
    {
        TZentrovaDialog dialog;
        QVERIFY(Show_Active(dialog));
        TInputWidget &table = *Table(dialog);
        QToolButton *add = Add_Button(table);
        QVERIFY(add->isEnabled());
        add->click();
        QCOMPARE(table.Get_Samples().size(), TInputWidget::Maximum_Rows);
        QVERIFY(!add->isEnabled());
        QVERIFY2(add->toolTip().contains("at most 1000 rows"), qPrintable(add->toolTip()));
        add->click();
        QCOMPARE(table.Get_Samples().size(), TInputWidget::Maximum_Rows);
        QVERIFY(dialog.close());
    }
    // Everything saved comes back: the bound for adding is the bound for loading.
    QCOMPARE(home.Read_Settings().value("Row_Count"), QStringLiteral("1000"));
    TZentrovaDialog reloaded;
    QVERIFY(Show_Active(reloaded));
    TInputWidget &table = *Table(reloaded);
    QCOMPARE(table.Get_Samples().size(), TInputWidget::Maximum_Rows);
    QCOMPARE(table.Get_Samples().last().nominal, 20.0);
    Click_Tick_Box(table, 0);
    QTest::mouseClick(Remove_Button(table), Qt::LeftButton);
    QVERIFY(Add_Button(table)->isEnabled());
    QVERIFY(Add_Button(table)->toolTip().isEmpty());
}

void TestManyRows::tab_order_follows_the_procedure()
{
    Home_Folder home;
    home.Write_Settings("Row_Count=2\n");
    TZentrovaDialog dialog;
    QVERIFY(Show_Active(dialog));
    TInputWidget &table = *Table(dialog);
    QCOMPARE(QApplication::focusWidget(), Code_Field(dialog, 1)); // step 1 of the procedure
    QTest::mouseClick(Add_Button(table), Qt::LeftButton);         // a row added keeps the order
    Click_Tick_Box(table, 1);                                     // the remove button takes part
    Code_Field(dialog, 1)->setFocus();

    QList<QWidget *> expected{Code_Field(dialog, 1), Code_Field(dialog, 2)};
    for (int row = 0; row < 3; ++row)
    {
        expected << Tick_Box(table, row);
        for (int column = Nominal_Column; column <= Correction_Column; ++column)
            expected << Field(table, row, column);
    }
    expected << Add_Button(table) << Remove_Button(table) << Named<QToolButton>(dialog, "Settings")
             << Help_Button(dialog) << Push_Button(dialog, "Record...")
             << Push_Button(dialog, "Close");

    QList<QWidget *> forward{QApplication::focusWidget()};
    for (int step = 1; step < expected.size(); ++step)
    {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        forward << QApplication::focusWidget();
    }
    QCOMPARE(forward, expected);
    QList<QWidget *> backward{QApplication::focusWidget()};
    for (int step = 1; step < expected.size(); ++step)
    {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        backward << QApplication::focusWidget();
    }
    std::reverse(expected.begin(), expected.end());
    QCOMPARE(backward, expected);
}

QTEST_MAIN(TestManyRows)
#include "tst_manyrows.moc"
