#include "asleftmodel.h"
#include "fieldmark.h"
#include "recordfields.h"
#include "recordhelpers.h"
#include "safetext.h"

#include <QClipboard>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QSet>
#include <QTableView>
#include <QTimer>
#include <QWheelEvent>

// The record window as the technician uses it: what it marks and says, the
// certificate it issues once, and the calibration's life across windows.
class TestRecord : public QObject
{
    Q_OBJECT

private slots:
    void certificate_reads_back();
    void marked_fields_hold_the_certificate_back_data();
    void marked_fields_hold_the_certificate_back();
    void as_left_rows_nobody_measured();
    void one_number_for_one_certificate();
    void refinement_keeps_the_as_found_part();
    void suggested_file_name_stays_in_its_folder_data();
    void suggested_file_name_stays_in_its_folder();
    void keyboard_from_serial_number_to_save();
    void keys_bring_their_field_into_sight();
    void errors_in_sight_are_never_cut();
    void a_cell_being_edited_is_what_is_certified();
    void new_calibration_certifies_nothing_of_the_last_instrument();
    void first_start_certifies_nothing_of_its_example_rows();
    void neither_wheel_nor_escape_change_the_record();
    void older_file_round_trip();
};

namespace
{
QLineEdit *Field_Edit(const TRecordDialog &record, Record_Field field)
{
    return Named<QLineEdit>(record, Field_Info(field).name);
}

QLabel *Reasons(const TRecordDialog &record)
{
    return Named<QLabel>(record, "Why there is no certificate");
}

// Types as a user does: select all, type (what no key gives, as a paste).
void Type_Into(QLineEdit *field, const QString &text)
{
    field->setFocus();
    field->selectAll();
    bool keys = true;
    for (const QChar character : text)
        keys = keys && character.unicode() >= 0x20 && character.unicode() < 0x7F;
    if (text.isEmpty())
        QTest::keyClick(field, Qt::Key_Delete);
    else if (keys)
        QTest::keyClicks(field, text);
    else
        field->insert(text);
    // Between keys the event loop runs, and the windows show what was typed.
    QCoreApplication::processEvents();
}
// Presses Ctrl+S at the widget; the file dialog that comes is cancelled.
// Returns the path it suggested, or nothing when none came.
// The file a save dialog suggests, the dialog then cancelled.
template <typename Ask> QString Suggested_By(Ask ask)
{
    QString suggested;
    QTimer::singleShot(200,
                       [&]
                       {
                           for (QWidget *window : QApplication::topLevelWidgets())
                               if (auto *files = qobject_cast<QFileDialog *>(window))
                               {
                                   suggested = files->selectedFiles().value(0);
                                   files->reject();
                               }
                       });
    ask();
    return suggested;
}

QString Save_Asked_At(QWidget *widget)
{
    return Suggested_By([widget] { QTest::keyClick(widget, Qt::Key_S, Qt::ControlModifier); });
}

QString Draft_Suggested(const TRecordDialog &record)
{
    return Suggested_By([&record] { Push_Button(record, "Save &Draft...")->click(); });
}
} // namespace

void TestRecord::certificate_reads_back()
{
    Record_Bench bench;
    QVERIFY(bench.Open());
    const Home_Folder &home = bench.home;
    TZentrovaDialog &dialog = *bench.dialog;
    TRecordDialog *record = bench.record;
    QVERIFY(record && record->isVisible());
    // An edit in progress in the main window is taken before the certificate.
    QLineEdit *actual = Field(*Table(dialog), 0, Actual_Column);
    actual->setFocus();
    actual->setText("15.000");

    const QString path = home.Path() + "/certificate.pdf";
    QCOMPARE(record->Save_Certificate(path), QString());
    const QString text = Pdf_Text(path);
    const QString number = "KX-0042-" + QDate::currentDate().toString("yyyyMMdd") + "-1";
    for (const QString &expected :
         {QString("Calibration Certificate"), number, QString("Bench Lab"), QString("2710"),
          QString("0000"), QString("15.200"), QString("20.100"), QString("25.050"),
          QString("No adjustment was made"), QString("Fail"),
          QString("The results relate only to the item calibrated."), QString("A. Tester"),
          QString("Q. Manager"), "End of certificate " + number})
        QVERIFY2(text.contains(expected), qPrintable(expected + " missing from:\n" + text));
    QCOMPARE(record->Status(),
             QString("Saved as %1 (number %2).").arg(QDir::toNativeSeparators(path), number));
    QVERIFY(Named<QLabel>(*record, "Next step")->text().contains("Issued as " + number));
    // Issued, the record is read-only until New Calibration.
    QVERIFY(Field_Edit(*record, Record_Field::Owner)->isReadOnly());
    record->New_Calibration();
    QVERIFY(!Field_Edit(*record, Record_Field::Owner)->isReadOnly());
    QCOMPARE(Field_Edit(*record, Record_Field::Serial)->text(), QString());
    QCOMPARE(Field_Edit(*record, Record_Field::Owner)->text(), QStringLiteral("Lab A"));
}

void TestRecord::marked_fields_hold_the_certificate_back_data()
{
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("said");
    QTest::newRow("reference uncertainty with a comma")
        << int(Record_Field::Reference_Uncertainty) << "0,05"
        << "not a number (the decimal separator is a point: 0.05)";
    QTest::newRow("ambient temperature with a comma")
        << int(Record_Field::Ambient_Temperature) << "21,5"
        << "not a number (the decimal separator is a point: 21.5)";
    QTest::newRow("tolerance of letters") << int(Record_Field::Tolerance) << "abc"
                                          << "not a number";
    QTest::newRow("tolerance below zero") << int(Record_Field::Tolerance) << "-0.05"
                                          << "greater than 0";
    QTest::newRow("resolution below zero") << int(Record_Field::Resolution) << "-0.1"
                                           << "greater than 0";
    QTest::newRow("technician left empty") << int(Record_Field::Technician) << ""
                                           << "Not filled in: Technician";
    QTest::newRow("reference left empty") << int(Record_Field::Reference) << ""
                                          << "Not filled in: Reference thermometer";
    QTest::newRow("a serial with a direction override")
        << int(Record_Field::Serial) << QString("KX\u202E42") << "reorders";
    QTest::newRow("a calibration date typed over")
        << int(Record_Field::Calibration_Date) << "PRT 100 #7"
        << "not a date";
}

void TestRecord::marked_fields_hold_the_certificate_back()
{
    QFETCH(int, field);
    QFETCH(QString, typed);
    QFETCH(QString, said);
    Record_Bench bench;
    QVERIFY(bench.Open());
    const Home_Folder &home = bench.home;
    TRecordDialog *record = bench.record;
    QCOMPARE(Reasons(*record)->text(), QStringLiteral("Nothing holds the certificate back."));
    QLineEdit *edit = Field_Edit(*record, static_cast<Record_Field>(field));
    Type_Into(edit, typed);
    // Said in the window as text, not only in a tool tip, and by the slot.
    QVERIFY(Reasons(*record)->isVisible());
    QVERIFY2(Reasons(*record)->text().contains(said), qPrintable(Reasons(*record)->text()));
    QCOMPARE(Is_Field_Marked(edit), !typed.isEmpty());
    const QString path = home.Path() + "/c.pdf";
    QVERIFY(record->Save_Certificate(path).contains(said));
    QVERIFY(!QFile::exists(path));
    // The text stays as typed.
    QCOMPARE(edit->text(), typed);
}

void TestRecord::as_left_rows_nobody_measured()
{
    Record_Bench bench;
    QVERIFY(bench.Open());
    const Home_Folder &home = bench.home;
    TRecordDialog *record = bench.record;
    QVERIFY(!Push_Button(*record, "&Add Row")->isEnabled());
    record->Codes_Keyed_In();
    QVERIFY(Named<QLabel>(*record, "Next step")->text().startsWith("Measure as left"));
    Push_Button(*record, "&Add Row")->click();
    Push_Button(*record, "&Add Row")->click();
    const QString path = home.Path() + "/c.pdf";
    const QString failure = record->Save_Certificate(path);
    QVERIFY2(failure.contains("As left row 1: the actual temperature is empty") &&
                 failure.contains("As left row 2"),
             qPrintable(failure));
    QVERIFY(!QFile::exists(path));
    // Rows typed: the certificate states them as measured.
    auto *view = Named<QTableView>(*record, "As left (measured)");
    QAbstractItemModel *rows = view->model();
    const char *cells[][2] = {{"15.0", "15.01"}, {"20.0", "19.99"}};
    for (int row = 0; row < 2; ++row)
        for (int column = 0; column < 2; ++column)
            QVERIFY(rows->setData(rows->index(row, column), cells[row][column]));
    QCOMPARE(record->Save_Certificate(path), QString());
    const QString text = Pdf_Text(path);
    QVERIFY2(text.contains("Results as left, measured after adjustment"), qPrintable(text));
    QVERIFY(text.contains("Verdict as left: Pass"));
}

void TestRecord::one_number_for_one_certificate()
{
    Record_Bench bench;
    QVERIFY(bench.Open());
    const Home_Folder &home = bench.home;
    TRecordDialog *record = bench.record;
    QCOMPARE(record->Save_Certificate(home.Path() + "/a.pdf"), QString());
    const QString number = "KX-0042-" + QDate::currentDate().toString("yyyyMMdd") + "-1";
    // Saved again: the same certificate, the same number, nothing new stored.
    QCOMPARE(record->Save_Certificate(home.Path() + "/b.pdf"), QString());
    QVERIFY(record->Status().contains("(number " + number + ")"));
    QCOMPARE(Pdf_Text(home.Path() + "/a.pdf"), Pdf_Text(home.Path() + "/b.pdf"));
    // The next instrument of the same serial on the same day counts on.
    record->New_Calibration();
    Type_Into(Field_Edit(*record, Record_Field::Serial), "KX-0042");
    Type_Into(Field_Edit(*record, Record_Field::Ambient_Temperature), "21");
    Type_Into(Field_Edit(*record, Record_Field::Relative_Humidity), "40");
    Measure_Next_Instrument(*bench.dialog);
    QCOMPARE(record->Save_Certificate(home.Path() + "/c.pdf"), QString());
    QVERIFY(record->Status().contains(number.chopped(1) + "2)"));
    QVERIFY(!home.Read_Settings().contains("Last_Certificate_Count"));
}

void TestRecord::refinement_keeps_the_as_found_part()
{
    Record_Bench bench;
    QVERIFY(bench.Open());
    TZentrovaDialog &dialog = *bench.dialog;
    TRecordDialog *record = bench.record;
    QVERIFY(Named<QLabel>(*record, "Next step")->text().contains("Key 27A8 / FE59"));
    record->Codes_Keyed_In();
    // The help's procedure: the new codes typed in as existing codes, two
    // rows removed, one sample measured.
    Retype(Code_Field(dialog, 1), "27A8");
    Retype(Code_Field(dialog, 2), "FE59");
    TInputWidget &table = *Table(dialog);
    Click_Tick_Box(table, 0);
    Click_Tick_Box(table, 2);
    QTest::mouseClick(Remove_Button(table), Qt::LeftButton);
    QCOMPARE(table.Get_Samples().size(), 1);
    Retype(Field(table, 0, Reading_Column), "20.03");
    auto *found = Named<QTableView>(*record, "As found");
    QCOMPARE(found->model()->rowCount(), 3);
    QCOMPARE(found->model()->index(0, 2).data().toString(), QStringLiteral("15.200"));
    QVERIFY(Named<QLabel>(*record, "Next step")->text().startsWith("Refined: key 27A8 / FE3B"));
    record->Codes_Keyed_In();
    QCOMPARE(found->model()->rowCount(), 3);
    QVERIFY(Named<QLabel>(*record, "Next step")->text().contains("codes left 27A8 / FE3B"));
    // Pressed again with nothing new, it says so rather than that there are no codes.
    record->Codes_Keyed_In();
    QCOMPARE(record->Status(),
             QStringLiteral("The codes left are 27A8 / FE3B already: nothing new to take."));
}

void TestRecord::suggested_file_name_stays_in_its_folder_data()
{
    QTest::addColumn<QString>("serial");
    QTest::addColumn<QString>("name");
    QTest::newRow("a path upwards, not hidden") << "../../tmp/x"
                                                << "---..-tmp-x";
    QTest::newRow("a folder") << "a/b"
                              << "a-b";
    QTest::newRow("what Windows cannot hold") << "K:X*1?\"<>|\\"
                                              << "K-X-1------";
}

void TestRecord::suggested_file_name_stays_in_its_folder()
{
    QFETCH(QString, serial);
    QFETCH(QString, name);
    QCOMPARE(File_Name_Part(serial), name);
    Record_Bench bench;
    QVERIFY(bench.Open());
    TRecordDialog *record = bench.record;
    Type_Into(Field_Edit(*record, Record_Field::Serial), serial);
    const QString suggested = Save_Asked_At(record);
    QCOMPARE(QFileInfo(suggested).absolutePath(), QDir::home().absolutePath());
    QCOMPARE(QFileInfo(suggested).fileName(),
             name + "-" + QDate::currentDate().toString("yyyyMMdd") + ".pdf");
    QCOMPARE(Draft_Suggested(*record), QDir::home().absoluteFilePath(name + "-draft.pdf"));
    // A draft may come before the serial number.
    Type_Into(Field_Edit(*record, Record_Field::Serial), "");
    QCOMPARE(Draft_Suggested(*record), QDir::home().absoluteFilePath("draft.pdf"));
}

void TestRecord::keyboard_from_serial_number_to_save()
{
    Record_Bench bench;
    QVERIFY(bench.Open());
    TRecordDialog *record = bench.record;
    QCOMPARE(QApplication::focusWidget(), Field_Edit(*record, Record_Field::Serial));
    // Tab from the serial number reaches Save Certificate, each table one stop
    // on the way; no stop is visited twice.
    QList<QWidget *> visited;
    QWidget *save = Push_Button(*record, "&Save Certificate...");
    while (QApplication::focusWidget() != save && visited.size() < 80)
    {
        visited << QApplication::focusWidget();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QCOMPARE(QApplication::focusWidget(), save);
    QCOMPARE(QSet<QWidget *>(visited.begin(), visited.end()).size(), visited.size());
    int tables = 0;
    for (QWidget *widget : visited)
        tables += qobject_cast<QTableView *>(widget) != nullptr;
    QCOMPARE(tables, 3); // as found, predicted, as left (the drift table is hidden)
    const int date_index = visited.indexOf(Field_Edit(*record, Record_Field::Calibration_Date));
    QCOMPARE(visited.at(date_index + 1), Field_Edit(*record, Record_Field::Technician));
    // Ctrl+S there saves: the file dialog comes.
    QVERIFY(!Save_Asked_At(save).isEmpty());
}

void TestRecord::keys_bring_their_field_into_sight()
{
    Record_Bench bench;
    QVERIFY(bench.Open());
    TRecordDialog *record = bench.record;
    record->resize(record->width(), 420); // a small screen: the record scrolls
    QLineEdit *serial = Field_Edit(*record, Record_Field::Serial);
    QScrollArea *scroll = nullptr;
    for (QScrollArea *area : record->findChildren<QScrollArea *>())
        if (area->widget()->isAncestorOf(serial))
            scroll = area;
    QVERIFY(scroll && scroll->verticalScrollBar()->maximum() > 0);
    const auto in_sight = [scroll](QWidget *widget)
    {
        const int top = widget->mapTo(scroll->viewport(), QPoint()).y();
        return top >= 0 && top + widget->height() <= scroll->viewport()->height();
    };
    // The keyboard at the bottom of the record, as after Tab through it.
    Named<QTableView>(*record, "As left (measured)")->setFocus();
    scroll->verticalScrollBar()->setValue(scroll->verticalScrollBar()->maximum());
    QVERIFY(!in_sight(serial));
    // A mnemonic brings its field into sight.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_R, Qt::AltModifier);
    QCOMPARE(QApplication::focusWidget(), serial);
    QVERIFY(in_sight(serial));
    // Add Row puts the keyboard into the new row's Actual cell, in sight:
    // what is typed next is a reading, never a change to the serial number.
    record->Codes_Keyed_In();
    QTRY_VERIFY(Push_Button(*record, "&Add Row")->isEnabled());
    QTest::keyClick(serial, Qt::Key_A, Qt::AltModifier);
    // The button is pressed as a click is shown, a moment later.
    const QAbstractItemModel *rows = Named<QTableView>(*record, "As left (measured)")->model();
    QTRY_COMPARE(rows->rowCount(), 1);
    QWidget *cell = QApplication::focusWidget();
    QVERIFY(cell && cell != serial && in_sight(cell));
    QTest::keyClicks(cell, "15.01");
    QTest::keyClick(cell, Qt::Key_Return);
    QTRY_COMPARE(rows->index(0, 0).data().toString(), QStringLiteral("15.01"));
    QCOMPARE(serial->text(), QStringLiteral("KX-0042"));
}

void TestRecord::errors_in_sight_are_never_cut()
{
    Record_Bench bench;
    QVERIFY(bench.Open());
    TRecordDialog *record = bench.record;
    record->Codes_Keyed_In();
    QTRY_VERIFY(Push_Button(*record, "&Add Row")->isEnabled());
    // Small errors first; far down, wider ones come into sight as it scrolls.
    QString block;
    for (int row = 0; row < 200; ++row)
        block += row < 150 ? "20.0\t20.01\n" : "20.0\t9.2\n";
    auto *view = Named<QTableView>(*record, "As left (measured)");
    view->setFocus();
    QApplication::clipboard()->setText(block);
    QTest::keyClick(view, Qt::Key_V, Qt::ControlModifier);
    QTRY_COMPARE(view->model()->rowCount(), 200);
    const QModelIndex wide = view->model()->index(190, TAsLeftModel::Error_Column);
    view->scrollTo(wide);
    QCoreApplication::processEvents();
    const QString text = wide.data().toString();
    QCOMPARE(text, QStringLiteral("-10.800"));
    QVERIFY2(view->columnWidth(wide.column()) > view->fontMetrics().horizontalAdvance(text) + 6,
             qPrintable(QString::number(view->columnWidth(wide.column()))));
}

void TestRecord::a_cell_being_edited_is_what_is_certified()
{
    Record_Bench bench;
    QVERIFY(bench.Open());
    TRecordDialog *record = bench.record;
    record->Codes_Keyed_In();
    Push_Button(*record, "&Add Row")->click();
    auto *view = Named<QTableView>(*record, "As left (measured)");
    QAbstractItemModel *rows = view->model();
    QVERIFY(rows->setData(rows->index(0, 0), "15.0"));
    QVERIFY(rows->setData(rows->index(0, 1), "15.01"));
    // 15.09 typed over the reading, the cell still open, and saved at once.
    view->setCurrentIndex(rows->index(0, 1));
    view->edit(rows->index(0, 1));
    auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
    QVERIFY(editor);
    editor->selectAll();
    QTest::keyClicks(editor, "15.09");
    const QString path = bench.home.Path() + "/c.pdf";
    QCOMPARE(record->Save_Certificate(path), QString());
    const QString text = Pdf_Text(path);
    QVERIFY2(text.contains("15.090") && !text.contains("15.010"), qPrintable(text));
}

void TestRecord::new_calibration_certifies_nothing_of_the_last_instrument()
{
    Record_Bench bench;
    QVERIFY(bench.Open());
    TRecordDialog *record = bench.record;
    QCOMPARE(record->Save_Certificate(bench.home.Path() + "/a.pdf"), QString());
    record->New_Calibration();
    Type_Into(Field_Edit(*record, Record_Field::Serial), "KX-0043");
    Type_Into(Field_Edit(*record, Record_Field::Ambient_Temperature), "21");
    Type_Into(Field_Edit(*record, Record_Field::Relative_Humidity), "40");
    // The main window still shows the last instrument's samples and codes.
    const QString path = bench.home.Path() + "/b.pdf";
    QVERIFY(record->Save_Certificate(path).contains("rows 1-3 were there before"));
    QVERIFY(!QFile::exists(path));
    QVERIFY(Named<QLabel>(*record, "Next step")->text().contains("this instrument's"));
    // This instrument's codes and one reading typed: the other rows are still
    // the last instrument's.
    Retype(Code_Field(*bench.dialog, 1), "2711");
    Retype(Field(*Table(*bench.dialog), 0, Reading_Column), "15.25");
    QVERIFY(record->Save_Certificate(path).contains("rows 2-3 were there before"));
    QVERIFY(!QFile::exists(path));
    // A reading typed again to the same digits is this instrument's too.
    Retype(Field(*Table(*bench.dialog), 1, Reading_Column), "20.15");
    Retype(Field(*Table(*bench.dialog), 1, Reading_Column), "20.1");
    QVERIFY(record->Save_Certificate(path).contains("row 3 was there before"));
    Retype(Field(*Table(*bench.dialog), 2, Reading_Column), "25.05");
    QCOMPARE(record->Save_Certificate(path), QString());
    QVERIFY(Pdf_Text(path).contains("15.250"));
}

void TestRecord::first_start_certifies_nothing_of_its_example_rows()
{
    // A settings file with the record's fields but no table: the rows are
    // made up, and stay held through a restart until typed over.
    Record_Bench bench(Record_Group());
    const QString path = bench.home.Path() + "/example.pdf";
    QVERIFY(bench.Open());
    QVERIFY(bench.record->Save_Certificate(path).contains("rows 1-3 were there before"));
    QVERIFY(bench.dialog->close());
    QVERIFY(bench.home.Read_Settings().contains("Row_Count"));
    bench.dialog = std::make_unique<TZentrovaDialog>();
    QVERIFY(bench.Open());
    QVERIFY(bench.record->Save_Certificate(path).contains("rows 1-3 were there before"));
    QVERIFY(!QFile::exists(path));
}

void TestRecord::neither_wheel_nor_escape_change_the_record()
{
    Record_Bench bench;
    QVERIFY(bench.Open());
    TRecordDialog *record = bench.record;
    auto *rule = Named<QComboBox>(*record, "Decision rule");
    QVERIFY(rule && !rule->hasFocus());
    const QString before = rule->currentText();
    // The wheel over the box, as the window is scrolled past it.
    QWheelEvent wheel(QPointF(5, 5), rule->mapToGlobal(QPoint(5, 5)), QPoint(), QPoint(0, -120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(rule, &wheel);
    QCoreApplication::processEvents();
    QCOMPARE(rule->currentText(), before);
    // Escape in a field leaves the window where it is.
    QTest::keyClick(Field_Edit(*record, Record_Field::Owner), Qt::Key_Escape);
    QVERIFY(record->isVisible());
}

void TestRecord::older_file_round_trip()
{
    Home_Folder home;
    // Written before the record kept its state: as-left rows with no codes.
    home.Write_Settings(Worked_Samples() +
                        "[Record]\nSerial_Number=KX-7\nAs_Left_Count=1\nAs_Left_Actual_0=15\n"
                        "As_Left_Reading_0=15.01\nLast_Certificate_Count=2147483647\n");
    {
        TZentrovaDialog dialog;
        QVERIFY(Show_Active(dialog));
        TRecordDialog *record = Open_Record(dialog);
        QCOMPARE(Field_Edit(*record, Record_Field::Serial)->text(), QStringLiteral("KX-7"));
        QCOMPARE(Field_Edit(*record, Record_Field::Model)->text(), QStringLiteral("KX310"));
        // Yesterday's rows do not go onto today's certificate: set aside.
        auto *view = Named<QTableView>(*record, "As left (measured)");
        QCOMPARE(view->model()->rowCount(), 1);
        QCOMPARE(view->model()->index(0, 2).data().toString(), QStringLiteral("set aside"));
        Type_Into(Field_Edit(*record, Record_Field::Serial), "KX-8");
        QVERIFY(dialog.close());
    }
    const QMap<QString, QString> file = home.Read_Settings();
    // The window's own keys are written as they always were.
    QCOMPARE(file.value("Reading_Value_2"), QStringLiteral("25.05"));
    QCOMPARE(file.value("Serial_Number"), QStringLiteral("KX-8"));
    QVERIFY(!file.contains("Last_Certificate_Count"));
    TZentrovaDialog reloaded;
    TRecordDialog *record = Open_Record(reloaded);
    QCOMPARE(Field_Edit(*record, Record_Field::Serial)->text(), QStringLiteral("KX-8"));
}

QTEST_MAIN(TestRecord)
#include "tst_record.moc"
