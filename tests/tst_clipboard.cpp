#include "dialoghelpers.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDateTime>
#include <QMenu>
#include <QMimeData>
#include <QToolTip>
#include <QXmlStreamReader>

using Rows = QList<QStringList>;
Q_DECLARE_METATYPE(Rows)

// Samples in from a spreadsheet and a calibration record out, through the
// application's clipboard.
class TestClipboard : public QObject
{
    Q_OBJECT

private slots:
    void paste_a_block_data();
    void paste_a_block();
    void paste_beyond_the_row_bound();
    void copy_the_record();
};

namespace
{
// Sample rows as the table shows them: Nominal, Actual, Reading, Correction.
QStringList Row(const char *nominal, const char *actual, const char *reading,
                const char *correction)
{
    return {nominal, actual, reading, correction};
}

// The field's own context menu, with its Paste entry chosen.
void Paste_From_Menu(QLineEdit *field)
{
    QContextMenuEvent event(QContextMenuEvent::Mouse, field->rect().center(),
                            field->mapToGlobal(field->rect().center()));
    QApplication::sendEvent(field, &event);
    auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    QVERIFY(menu);
    for (QAction *action : menu->actions())
        if (action->text().startsWith("&Paste"))
            action->trigger();
    menu->close();
}

QList<QStringList> Cells_Of_Text(const QString &text)
{
    QList<QStringList> rows;
    for (const QString &line : text.split('\n', Qt::SkipEmptyParts))
        rows << line.split('\t');
    return rows;
}

QList<QStringList> Cells_Of_Html(const QString &html)
{
    QList<QStringList> rows;
    QXmlStreamReader reader(html);
    while (!reader.atEnd())
    {
        reader.readNext();
        if (reader.isStartElement() && reader.name() == QLatin1String("tr"))
            rows << QStringList();
        else if (reader.isStartElement() && reader.name() == QLatin1String("td"))
            rows.last() << reader.readElementText();
    }
    return reader.hasError() ? QList<QStringList>() : rows;
}

// The cells of the record's row that starts with the given name.
QStringList Record_Row(const QList<QStringList> &rows, const QString &name)
{
    for (const QStringList &row : rows)
        if (!row.isEmpty() && row.first() == name)
            return row.mid(1);
    return {};
}
} // namespace

void TestClipboard::paste_a_block_data()
{
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<bool>("from_menu");
    QTest::addColumn<int>("reports"); // Data_Changed
    QTest::addColumn<Rows>("rows");

    const QStringList row0 = Row("15", "15.000", "15.000", "0.000");
    const QStringList row1 = Row("20", "20.000", "20.000", "0.000");
    const QStringList row2 = Row("25", "25.000", "25.000", "0.000");
    QTest::newRow("one cell pastes into the field")
        << "15.5" << 0 << int(Actual_Column) << false << 1
        << Rows{Row("15", "15.5", "15.000", "-0.500"), row1, row2};
    QTest::newRow("3x3 from Nominal")
        << "10\t10.1\t10.2\n20\t20.1\t20.3\n30\t30.1\t30.4\n"
        << 0 << int(Nominal_Column) << false << 1
        << Rows{Row("10", "10.1", "10.2", "0.100"), Row("20", "20.1", "20.3", "0.200"),
                Row("30", "30.1", "30.4", "0.300")};
    QTest::newRow("3x2 from Actual, by the menu")
        << "15.1\t15.3\n20.1\t20.3\n25.1\t25.3" << 0 << int(Actual_Column) << true << 1
        << Rows{Row("15", "15.1", "15.3", "0.200"), Row("20", "20.1", "20.3", "0.200"),
                Row("25", "25.1", "25.3", "0.200")};
    QTest::newRow("5 lines into 3 rows adds two")
        << "1\t2\n3\t4\n5\t6\n7\t8\n9\t10\n"
        << 0 << int(Actual_Column) << false << 1
        << Rows{Row("15", "1", "2", "1.000"), Row("20", "3", "4", "1.000"),
                Row("25", "5", "6", "1.000"), Row("20", "7", "8", "1.000"),
                Row("20", "9", "10", "1.000")};
    QTest::newRow("header line skipped") << "NOMINAL\tActual\treading\n12\t12.5\t12.25\n"
                                         << 1 << int(Nominal_Column) << false << 1
                                         << Rows{row0, Row("12", "12.5", "12.25", "-0.250"), row2};
    QTest::newRow("CRLF line ends")
        << "1\t2\r\n3\t4\r\n"
        << 1 << int(Actual_Column) << false << 1
        << Rows{row0, Row("20", "1", "2", "1.000"), Row("25", "3", "4", "1.000")};
    QTest::newRow("cells beyond Reading left out")
        << "1\t2\t3\t99\t100\n"
        << 2 << int(Nominal_Column) << false << 1 << Rows{row0, row1, Row("1", "2", "3", "1.000")};
    QTest::newRow("one cell with a line end")
        << "16.5\n"
        << 2 << int(Reading_Column) << false << 1
        << Rows{row0, row1, Row("25", "25.000", "16.5", "-8.500")};
    QTest::newRow("cells that are not numbers")
        << "15,2\tabc\n"
        << 0 << int(Actual_Column) << false << 1 << Rows{Row("15", "15,2", "abc", ""), row1, row2};
}

void TestClipboard::paste_a_block()
{
    QFETCH(QString, clipboard);
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(bool, from_menu);
    QFETCH(int, reports);
    QFETCH(Rows, rows);

    Home_Folder home;
    TZentrovaDialog dialog;
    QVERIFY(Show_Active(dialog));
    TInputWidget &table = *Table(dialog);
    QLineEdit *field = Field(table, row, column);
    field->setFocus();
    field->selectAll();
    QApplication::clipboard()->setText(clipboard);
    QSignalSpy spy(&table, &TInputWidget::Data_Changed);
    if (from_menu)
        Paste_From_Menu(field);
    else
        QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(spy.count(), reports);
    QCOMPARE(Shown_Rows(table), rows);

    const bool readable = !clipboard.contains("abc");
    QCOMPARE(Results(dialog).at(0) == "----", !readable);
    if (!readable)
        QVERIFY(Field(table, 0, Actual_Column)->toolTip().contains("Not a number"));
}

void TestClipboard::paste_beyond_the_row_bound()
{
    Home_Folder home;
    home.Write_Settings("Row_Count=999\n");
    TZentrovaDialog dialog;
    QVERIFY(Show_Active(dialog));
    TInputWidget &table = *Table(dialog);
    QLineEdit *field = Field(table, 998, Actual_Column);
    field->setFocus();
    QApplication::clipboard()->setText("1\t2\n3\t4\n5\t6\n7\t8\n");
    QSignalSpy spy(&table, &TInputWidget::Data_Changed);
    QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(table.Get_Samples().size(), TInputWidget::Maximum_Rows);
    QCOMPARE(Shown_Rows(table).at(999), Row("20", "3", "4", "1.000"));
    QVERIFY2(QToolTip::text().contains("2 pasted lines left out"), qPrintable(QToolTip::text()));
    QVERIFY(!Add_Button(table)->isEnabled());
}

void TestClipboard::copy_the_record()
{
    Home_Folder home;
    home.Write_Settings(Worked_Samples());
    TZentrovaDialog dialog;
    QVERIFY(Show_Active(dialog));
    TInputWidget &table = *Table(dialog);
    Retype(Field(table, 2, Nominal_Column), "25 <&>"); // kept as typed, escaped in HTML
    QVERIFY(Result(dialog, "New Code 1")->toolTip().contains("Ctrl+Shift+C"));
    QVERIFY(Result(dialog, "Data Range")->toolTip().contains("Ctrl+Shift+C"));

    const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
    QTest::keyClick(Field(table, 1, Reading_Column), Qt::Key_C,
                    Qt::ControlModifier | Qt::ShiftModifier);
    const QMimeData *data = QApplication::clipboard()->mimeData();
    QVERIFY(data && data->hasText() && data->hasHtml());

    const QList<QStringList> from_text = Cells_Of_Text(data->text());
    const QList<QStringList> from_html = Cells_Of_Html(data->html());
    for (const QList<QStringList> &rows : {from_text, from_html})
    {
        const QDateTime when =
            QDateTime::fromString(Record_Row(rows, "Date").value(0), Qt::ISODate);
        QVERIFY(when.isValid());
        QVERIFY(when >= before && when <= QDateTime::currentDateTime());
        QVERIFY(Record_Row(rows, "Date")
                    .value(0)
                    .contains(QRegularExpression("[+-]\\d\\d:\\d\\d$|Z$")));
        QCOMPARE(Record_Row(rows, "Program"), QStringList{"Zentrova Calibrator Version 2.1"});
        QCOMPARE(Record_Row(rows, "Existing Code 1"), QStringList{"2710"});
        QCOMPARE(Record_Row(rows, "Existing Code 2"), QStringList{"0000"});
        QCOMPARE(Record_Row(rows, "Nominal"), (QStringList{"Actual", "Reading", "Correction"}));
        int header = 0;
        while (rows.at(header).value(0) != "Nominal")
            ++header;
        QCOMPARE(rows.mid(header + 1, 3), table.Get_Texts());
        QCOMPARE(rows.at(header + 3).at(0), QStringLiteral("25 <&>"));
        QCOMPARE(Record_Row(rows, "New Code 1"), QStringList{"27A8"});
        QCOMPARE(Record_Row(rows, "New Code 2"), QStringList{"FE59"});
        QCOMPARE(Record_Row(rows, "Data Range"), QStringList{"0.150 " + Unit()});
    }

    // Placeholders are recorded as the window shows them.
    Retype(Field(table, 0, Actual_Column), "x");
    QTest::keyClick(&dialog, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    const QList<QStringList> rows = Cells_Of_Text(QApplication::clipboard()->text());
    QCOMPARE(Record_Row(rows, "New Code 1"), QStringList{"----"});
    QCOMPARE(Record_Row(rows, "Data Range"), QStringList{"---- " + Unit()});
}

QTEST_MAIN(TestClipboard)
#include "tst_clipboard.moc"
