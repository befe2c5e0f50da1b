#include "certificatebuilder.h"
#include "recordmodel.h"
#include "settingsstore.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

Q_DECLARE_METATYPE(Record_Field)

// One calibration from as found to its certificate, as the record model
// keeps and judges it: no window.
class TestRecordModel : public QObject
{
    Q_OBJECT

private slots:
    void field_problems_data();
    void field_problems();
    void missing_fields_are_named_data();
    void missing_fields_are_named();
    void limit_passes_on_both_sides();
    void as_left_rows_data();
    void as_left_rows();
    void life_of_a_calibration();
    void amendment_keeps_the_as_found_part();
    void samples_from_before_are_held_data();
    void row_ranges_data();
    void row_ranges();
    void samples_from_before_are_held();
    void refinement_keeps_the_as_found_part();
    void codes_left_over_the_as_found_samples_are_no_refinement();
    void without_an_adjustment();
    void certificate_states_what_was_measured();
    void tolerance_stated_as_typed();
    void laboratory_texts_are_checked_data();
    void laboratory_texts_are_checked();
    void kept_between_runs_a_day_later();
    void certificate_json_round_trip();
    void certificate_of_an_earlier_version();
    void files_of_earlier_versions_data();
    void files_of_earlier_versions();
};

namespace
{
const QDate today(2026, 12, 7);

// The worked samples: New Code 1 27A8, New Code 2 FE59 from 2710 / 0000.
Main_Window_State Worked_Window(const QList<QStringList> &samples = {{"15", "15.0", "15.2"},
                                                                     {"20", "20.0", "20.1"},
                                                                     {"25", "25.0", "25.05"}})
{
    Main_Window_State state;
    state.samples = samples;
    state.codes_complete = true;
    state.codes = Code_Pair{0x2710, 0x0000};
    Sample_List list;
    for (const QStringList &row : samples)
        list << Sample{row.at(0).toDouble(), row.at(1).toDouble(), row.at(2).toDouble(), 0.0};
    const Calibration_Result result =
        Compute_Calibration(list, Code_Value(0x2710, Code1_Scale), Code_Value(0, Code2_Scale));
    state.has_result = result.valid;
    state.new_codes = Code_Pair{result.new_code1, result.new_code2};
    return state;
}

// Everything a certificate needs, as a technician types it.
void Fill_In(TRecordModel &record)
{
    Laboratory laboratory;
    laboratory.name = "Bench Lab";
    laboratory.place = "Bench Lab, room 2";
    laboratory.approver = "Q. Manager";
    laboratory.approver_function = "Quality manager";
    record.Set_Laboratory(laboratory);
    record.Set_Today(today);
    const QList<QPair<Record_Field, QString>> fields{
        {Record_Field::Serial, "KX-0042"},
        {Record_Field::Owner, "Lab A"},
        {Record_Field::Technician, "A. Tester"},
        {Record_Field::Calibration_Date, "2026-12-07"},
        {Record_Field::Reference, "PRT 100 #7"},
        {Record_Field::Reference_Certificate, "RC-19"},
        {Record_Field::Reference_Due_Date, "2027-06-30"},
        {Record_Field::Reference_Uncertainty, "0.02"},
        {Record_Field::Resolution, "0.1"},
        {Record_Field::Tolerance, "0.1"},
        {Record_Field::Ambient_Temperature, "21.5"},
        {Record_Field::Relative_Humidity, "45"}};
    for (const auto &[field, text] : fields)
        record.Set_Field(field, text);
}

QStringList Verdicts(const QList<Judged_Row> &rows, int column)
{
    QStringList verdicts;
    for (const Judged_Row &row : rows)
        verdicts << row.cells.value(column);
    return verdicts;
}

QString All_Text(const Certificate_Content &content)
{
    QStringList texts{content.title, content.closing};
    for (const Certificate_Section &section : content.sections)
    {
        texts << section.heading << section.before << section.table.header << section.after;
        for (const QStringList &row : section.table.rows)
            texts << row;
    }
    return texts.join(QLatin1Char('\n'));
}
} // namespace

void TestRecordModel::field_problems_data()
{
    QTest::addColumn<Record_Field>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("problem"); // empty: none
    QTest::addColumn<bool>("has_u");
    QTest::addColumn<bool>("has_tolerance");
    using F = Record_Field;
    QTest::newRow("uncertainty with a comma") << F::Reference_Uncertainty << "0,05"
                                              << "not a number" << false << false;
    QTest::newRow("uncertainty 0,2") << F::Reference_Uncertainty << "0,2"
                                     << "not a number" << false << false;
    QTest::newRow("uncertainty negative") << F::Reference_Uncertainty << "-0.05"
                                          << "greater than 0" << false << false;
    QTest::newRow("uncertainty blank: missing, no U") << F::Reference_Uncertainty << ""
                                                      << "" << false << false;
    QTest::newRow("tolerance with a comma") << F::Tolerance << "0,05"
                                            << "not a number" << true << false;
    QTest::newRow("tolerance letters") << F::Tolerance << "abc"
                                       << "not a number" << true << false;
    QTest::newRow("tolerance negative") << F::Tolerance << "-0.05"
                                        << "greater than 0" << true << false;
    QTest::newRow("tolerance blank: no verdict, no problem") << F::Tolerance << ""
                                                             << "" << true << false;
    QTest::newRow("resolution negative") << F::Resolution << "-0.1"
                                         << "greater than 0" << false << false;
    QTest::newRow("resolution zero") << F::Resolution << "0"
                                     << "greater than 0" << false << false;
    QTest::newRow("humidity over 100") << F::Relative_Humidity << "101"
                                       << "from 0 to 100" << true << true;
    QTest::newRow("a month that does not exist") << F::Calibration_Date << "2026-13-01"
                                                 << "not a date" << true << true;
    QTest::newRow("a date in another shape") << F::Calibration_Date << "07.12.2026"
                                             << "not a date" << true << true;
    QTest::newRow("a calibration date after today") << F::Calibration_Date << "2026-12-08"
                                                    << "after today" << true << true;
    QTest::newRow("a reference due before the calibration") << F::Reference_Due_Date << "2026-12-06"
                                                            << "has passed" << true << true;
    QTest::newRow("a serial with a right-to-left override")
        << F::Serial << QString("KX\u202E2400") << "reorders" << true << true;
    QTest::newRow("a serial with a tab") << F::Serial << "KX\t42"
                                         << "control character" << true << true;
    QTest::newRow("an owner with a NUL")
        << F::Owner << QString("Lab").append(QChar(0)) << "control character" << true << true;
    QTest::newRow("a serial with a slash is a serial") << F::Serial << "../../tmp/x"
                                                       << "" << true << true;
}

void TestRecordModel::field_problems()
{
    QFETCH(Record_Field, field);
    QFETCH(QString, text);
    QFETCH(QString, problem);
    QFETCH(bool, has_u);
    QFETCH(bool, has_tolerance);
    TRecordModel record;
    Fill_In(record);
    record.Set_Main_Window(Worked_Window());
    QVERIFY2(record.Evaluation().reasons.isEmpty(),
             qPrintable(record.Evaluation().reasons.join('\n')));
    record.Set_Field(field, text);
    const Record_Evaluation &e = record.Evaluation();
    QCOMPARE(e.field_problems.value(field).contains(problem) && !problem.isEmpty(),
             !problem.isEmpty());
    // Marked where it was typed, and nowhere else (the date of receipt, left
    // empty, stands in with the calibration date).
    QCOMPARE(e.field_problems.keys(),
             problem.isEmpty() ? QList<Record_Field>() : QList<Record_Field>{field});
    QCOMPARE(e.has_limits, has_u);
    QCOMPARE(e.limits.has_tolerance, has_tolerance);
    // Nothing is judged without the numbers it needs, and no verdict is made up.
    if (!has_tolerance)
        QCOMPARE(e.found_verdict, Verdict::None);
    const bool certificate = problem.isEmpty() && field != Record_Field::Reference_Uncertainty;
    QCOMPARE(e.reasons.isEmpty(), certificate);
    if (!problem.isEmpty())
        QVERIFY2(e.reasons.join('\n').contains(Field_Info(field).name),
                 qPrintable(e.reasons.join('\n')));
}

void TestRecordModel::missing_fields_are_named_data()
{
    QTest::addColumn<Record_Field>("field");
    using F = Record_Field;
    for (Record_Field field :
         {F::Serial, F::Technician, F::Reference, F::Reference_Uncertainty, F::Resolution,
          F::Calibration_Date, F::Owner, F::Reference_Certificate, F::Ambient_Temperature})
        QTest::newRow(qPrintable(Field_Info(field).name)) << field;
}

void TestRecordModel::missing_fields_are_named()
{
    QFETCH(Record_Field, field);
    TRecordModel record;
    Fill_In(record);
    record.Set_Main_Window(Worked_Window());
    record.Set_Field(field, "  ");
    const Record_Evaluation &e = record.Evaluation();
    QVERIFY(e.missing.contains(Field_Info(field).name));
    QVERIFY2(e.reasons.join('\n').contains(Field_Info(field).name),
             qPrintable(e.reasons.join('\n')));
    // Once the instrument is done with, the next step asks for the field.
    QVERIFY(record.Codes_Keyed_In());
    record.Paste_As_Left(0, 0, "15.0\t15.01\n");
    QVERIFY2(
        record.Evaluation().next_step.contains("Fill in the " + Field_Info(field).name.toLower()),
        qPrintable(record.Evaluation().next_step));
}

void TestRecordModel::limit_passes_on_both_sides()
{
    TRecordModel record;
    Fill_In(record);
    record.Set_Field(Record_Field::Reference_Uncertainty, "0.0001");
    record.Set_Field(Record_Field::Resolution, "0.0001");
    record.Set_Main_Window(Worked_Window());
    // 20.1 - 20.0 is 0.10000000000000142 in binary; stated, it is 0.100.
    QCOMPARE(record.Evaluation().found_rows.at(1).cells.value(3), QStringLiteral("0.100"));
    QVERIFY(record.Evaluation().found_rows.at(1).cells.value(4).startsWith("Pass"));
    QVERIFY(record.Codes_Keyed_In());
    record.Paste_As_Left(0, 0, "15.0\t15.1\n20.0\t19.9\n");
    QCOMPARE(Verdicts(record.Evaluation().left_rows, 2), (QStringList{"0.100", "-0.100"}));
    const QStringList verdicts = Verdicts(record.Evaluation().left_rows, 3);
    QCOMPARE(verdicts.at(0), verdicts.at(1));
    QVERIFY(verdicts.at(0).startsWith("Pass"));
}

void TestRecordModel::as_left_rows_data()
{
    QTest::addColumn<QString>("pasted"); // at row 0, column 0; empty: Add Row twice
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("left_out");
    QTest::addColumn<QStringList>("problems");
    QTest::newRow("two rows added and left empty")
        << "" << 2 << 0
        << QStringList{"As left row 1: the actual temperature is empty",
                       "As left row 2: the actual temperature is empty"};
    QTest::newRow("a header line is skipped, the data starts at row 1")
        << "Actual\tReading\n15.0\t15.01\n20.0\t20.02\n25.0\t25.01\n"
        << 3 << 0 << QStringList{};
    QTest::newRow("letters in Actual") << "abc\t25.01\n"
                                       << 1 << 0
                                       << QStringList{"As left row 1: the actual temperature is "
                                                      "not a number"};
    QTest::newRow("5000 lines: 1000 taken, the rest said")
        << QString("20.0\t20.01\n").repeated(5000) << 1000 << 4000 << QStringList{};
}

void TestRecordModel::as_left_rows()
{
    QFETCH(QString, pasted);
    QFETCH(int, rows);
    QFETCH(int, left_out);
    QFETCH(QStringList, problems);
    TRecordModel record;
    Fill_In(record);
    record.Set_Main_Window(Worked_Window());
    // Before the codes are keyed in, no row is measured as left.
    QVERIFY(!record.Add_As_Left_Row());
    QVERIFY(record.Codes_Keyed_In());
    if (pasted.isEmpty())
    {
        QVERIFY(record.Add_As_Left_Row());
        QVERIFY(record.Add_As_Left_Row());
    }
    else
        QCOMPARE(record.Paste_As_Left(0, 0, pasted), left_out);
    const Record_Evaluation &e = record.Evaluation();
    QCOMPARE(e.left_rows.size(), rows);
    QCOMPARE(e.row_problems, problems);
    for (const QString &problem : problems)
        QVERIFY(e.reasons.contains(problem));
    if (problems.isEmpty())
    {
        QVERIFY(e.reasons.isEmpty());
        QVERIFY(e.left_measured);
        QCOMPARE(e.left_rows.first().cells.value(0),
                 QString::number(e.left_rows.first().actual, 'f', 3));
    }
}

void TestRecordModel::life_of_a_calibration()
{
    TRecordModel record;
    Fill_In(record);
    const QString first_id = record.State().calibration_id;
    record.Set_Main_Window(Worked_Window());
    // As found, the record follows the window and proposes its codes.
    QCOMPARE(record.State().phase, Record_Phase::Found);
    QVERIFY(record.Evaluation().next_step.contains("Key 27A8 / FE59 into the instrument"));
    QCOMPARE(record.Evaluation().predicted_rows.size(), 3);
    // A computed reading is stated at the decimals; a typed one keeps its digits.
    QCOMPARE(record.Evaluation().predicted_rows.at(1).cells.value(1), QStringLiteral("19.983"));

    QVERIFY(record.Codes_Keyed_In());
    QCOMPARE(record.State().phase, Record_Phase::Keyed_In);
    QCOMPARE(record.State().codes_left, (Code_Pair{0x27A8, 0xFE59}));
    QVERIFY(record.Evaluation().next_step.startsWith("Measure as left"));
    record.Paste_As_Left(0, 0, "15.0\t15.01\n20.0\t19.99\n25.0\t25.0\n");
    QVERIFY(record.Evaluation().left_measured);
    QCOMPARE(record.Evaluation().left_verdict, Verdict::Pass);
    QVERIFY(record.Evaluation().next_step.startsWith("Ready"));

    // Issued: read-only, the window says so; no edit reaches it.
    record.Mark_Issued("KX-0042-20261207-1", today, "{}");
    QVERIFY(record.Evaluation().read_only);
    QVERIFY(record.Evaluation().next_step.contains("Issued as KX-0042-20261207-1 on 2026-12-07"));
    record.Set_Field(Record_Field::Owner, "Someone else");
    record.Set_As_Left(0, 0, "99");
    QCOMPARE(record.Field(Record_Field::Owner), QStringLiteral("Lab A"));
    QCOMPARE(record.State().as_left.first().actual, QStringLiteral("15.0"));
    QVERIFY(!record.Codes_Keyed_In());
    // The window goes on; the issued calibration does not follow it.
    record.Set_Main_Window(Worked_Window({{"20", "20.0", "20.3"}}));
    QCOMPARE(record.Evaluation().found_rows.size(), 3);

    // The next instrument on the same bench.
    record.Set_Today(today.addDays(1));
    record.New_Calibration();
    const Record_State &next = record.State();
    QVERIFY(next.calibration_id != first_id);
    QCOMPARE(next.phase, Record_Phase::Found);
    QVERIFY(next.as_left.isEmpty() && next.set_aside.isEmpty() && next.number.isEmpty());
    QCOMPARE(record.Field(Record_Field::Serial), QString());
    QCOMPARE(record.Field(Record_Field::Calibration_Date), QStringLiteral("2026-12-08"));
    for (Record_Field kept :
         {Record_Field::Owner, Record_Field::Technician, Record_Field::Reference,
          Record_Field::Reference_Uncertainty, Record_Field::Resolution, Record_Field::Tolerance,
          Record_Field::Model})
        QVERIFY2(!record.Field(kept).isEmpty(), qPrintable(Field_Info(kept).name));
    QCOMPARE(record.Field(Record_Field::Ambient_Temperature), QString());
    // The calibration window still shows the last instrument: nothing is
    // judged, and its codes are not this one's to key in.
    const Record_Evaluation &waiting = record.Evaluation();
    QVERIFY(waiting.found_rows.isEmpty() && waiting.predicted_rows.isEmpty());
    QVERIFY(!waiting.can_key_in);
    QVERIFY(waiting.next_step.contains("row 1 was there before"));
    QVERIFY(waiting.reasons.join('\n').contains("not measured on this instrument"));
    // This instrument's samples typed: the record follows them.
    record.Set_Main_Window(Worked_Window({{"15", "15.0", "15.3"}, {"25", "25.0", "25.2"}}));
    QCOMPARE(record.Evaluation().found_rows.size(), 2);
    QVERIFY(record.Evaluation().can_key_in);
}

void TestRecordModel::amendment_keeps_the_as_found_part()
{
    TRecordModel record;
    Fill_In(record);
    record.Set_Main_Window(Worked_Window());
    QVERIFY(record.Codes_Keyed_In());
    record.Paste_As_Left(0, 0, "15.0\t15.01\n");
    record.Mark_Issued("KX-0042-20261207-1", record.Today(), "{}");
    QVERIFY(record.Amend());
    // The calibration window goes on to other values: the amendment neither
    // follows them nor offers to key in the codes they give.
    record.Set_Main_Window(Worked_Window({{"15", "15.0", "15.3"}, {"25", "25.0", "25.2"}}));
    const Record_Evaluation &e = record.Evaluation();
    QCOMPARE(e.found_rows.size(), 3);
    QCOMPARE(e.found_rows.first().reading, 15.2);
    QVERIFY2(e.next_step.startsWith("Amending KX-0042-20261207-1: "), qPrintable(e.next_step));
    QVERIFY(e.next_step.contains("results as found stay as issued"));
    QVERIFY(!e.can_key_in);
    QVERIFY(!record.Codes_Keyed_In());
    QCOMPARE(record.State().as_left.size(), 1);
}

void TestRecordModel::samples_from_before_are_held_data()
{
    // Each step is a window the technician leaves behind: Reading texts of
    // the three rows, and Existing Code 1.
    QTest::addColumn<QList<QStringList>>("steps");
    QTest::addColumn<QList<int>>("held");
    QTest::newRow("nothing typed") << QList<QStringList>{} << QList<int>{0, 1, 2};
    QTest::newRow("only the codes typed")
        << QList<QStringList>{{"15.2", "20.1", "25.05", "2711"}} << QList<int>{0, 1, 2};
    QTest::newRow("one reading typed")
        << QList<QStringList>{{"15.25", "20.1", "25.05", "2710"}} << QList<int>{1, 2};
    QTest::newRow("a reading typed back to the same digits")
        << QList<QStringList>{{"15.2", "20.", "25.05", "2710"}, {"15.2", "20.1", "25.05", "2710"}}
        << QList<int>{0, 2};
    QTest::newRow("spaces typed around a reading")
        << QList<QStringList>{{" 15.2 ", "20.1", "25.05", "2710"}} << QList<int>{0, 1, 2};
    QTest::newRow("every reading typed")
        << QList<QStringList>{{"15.3", "20.2", "25.1", "2710"}} << QList<int>{};
    QTest::newRow("the last instrument's readings moved to other rows")
        << QList<QStringList>{{"20.1", "25.05", "15.2", "2710"}} << QList<int>{};
}

void TestRecordModel::samples_from_before_are_held()
{
    QFETCH(QList<QStringList>, steps);
    QFETCH(QList<int>, held);
    TRecordModel record;
    Fill_In(record);
    record.Set_Main_Window(Worked_Window());
    record.Hold_Samples_Shown();
    for (const QStringList &step : steps)
    {
        Main_Window_State window = Worked_Window(
            {{"15", "15.0", step.at(0)}, {"20", "20.0", step.at(1)}, {"25", "25.0", step.at(2)}});
        Parse_Code(step.at(3), &window.codes.code1);
        record.Set_Main_Window(window);
    }
    QCOMPARE(Rows_Shown_Before(record.Main_Window(), record.State().window_at_start), held);
    const Record_Evaluation &e = record.Evaluation();
    QCOMPARE(e.found_rows.isEmpty(), !held.isEmpty());
    QCOMPARE(e.can_key_in, held.isEmpty());
    // Kept between runs as it stands.
    TRecordModel next_start;
    next_start.Restore(record.State());
    next_start.Set_Main_Window(record.Main_Window());
    QCOMPARE(next_start.Evaluation().found_rows.isEmpty(), !held.isEmpty());
}

void TestRecordModel::row_ranges_data()
{
    QTest::addColumn<QList<int>>("rows");
    QTest::addColumn<QString>("said");
    QTest::newRow("one") << QList<int>{4} << "5";
    QTest::newRow("a run and one") << QList<int>{0, 1, 2, 4} << "1-3, 5";
    QList<int> all;
    for (int row = 0; row < 1000; ++row)
        all << row;
    QTest::newRow("a thousand in a run") << all << "1-1000";
    QList<int> every_other;
    for (int row = 0; row < 20; row += 2)
        every_other << row;
    QTest::newRow("every other row: six said, the rest counted")
        << every_other << "1, 3, 5, 7, 9, 11 and 4 more";
}

void TestRecordModel::row_ranges()
{
    QFETCH(QList<int>, rows);
    QFETCH(QString, said);
    QCOMPARE(Row_Ranges(rows), said);
}

void TestRecordModel::refinement_keeps_the_as_found_part()
{
    TRecordModel record;
    Fill_In(record);
    record.Set_Main_Window(Worked_Window());
    QVERIFY(record.Codes_Keyed_In());
    record.Paste_As_Left(0, 0, "20.0\t20.03\n");
    // The help's procedure: the codes left typed in as existing codes, one
    // sample measured, Code 2 refined.
    Main_Window_State refined = Worked_Window({{"20", "20.0", "20.03"}});
    refined.codes = Code_Pair{0x27A8, 0xFE59};
    const Calibration_Result result =
        Compute_Calibration({Sample{20, 20.0, 20.03, 0}}, Code_Value(0x27A8, Code1_Scale),
                            Code_Value(0xFE59, Code2_Scale));
    refined.new_codes = Code_Pair{result.new_code1, result.new_code2};
    record.Set_Main_Window(refined);
    QVERIFY(record.Evaluation().next_step.startsWith("Refined: key 27A8 / FE3B"));
    QCOMPARE(record.Evaluation().found_rows.size(), 3); // the as-found part stays
    QVERIFY(record.Codes_Keyed_In());
    QCOMPARE(record.State().codes_left, (Code_Pair{0x27A8, 0xFE3B}));
    QCOMPARE(record.State().found.codes, (Code_Pair{0x2710, 0x0000}));
    QCOMPARE(record.State().found.samples.size(), 3);
    // The row measured with the earlier codes is set aside, not used.
    QVERIFY(record.State().as_left.isEmpty());
    QCOMPARE(record.Evaluation().set_aside_rows.size(), 1);
    QCOMPARE(record.Evaluation().set_aside_rows.first().cells.value(4),
             QStringLiteral("27A8 / FE59"));
    QVERIFY(!record.Evaluation().left_measured);
    // Pressing again with the same codes changes nothing.
    QVERIFY(!record.Evaluation().can_key_in);
}

void TestRecordModel::codes_left_over_the_as_found_samples_are_no_refinement()
{
    TRecordModel record;
    Fill_In(record);
    record.Set_Main_Window(Worked_Window());
    QVERIFY(record.Codes_Keyed_In());
    // The codes left typed in as existing codes, the as-found samples still
    // in the table: the window's new codes would correct the error twice.
    Main_Window_State twice = Worked_Window();
    twice.codes = Code_Pair{0x27A8, 0xFE59};
    Sample_List list;
    for (const QStringList &row : twice.samples)
        list << Sample{0, row.at(1).toDouble(), row.at(2).toDouble(), 0};
    const Calibration_Result result =
        Compute_Calibration(list, Code_Value(0x27A8, Code1_Scale), Code_Value(0xFE59, Code2_Scale));
    twice.new_codes = Code_Pair{result.new_code1, result.new_code2};
    QVERIFY(twice.new_codes != (Code_Pair{0x27A8, 0xFE59}));
    record.Set_Main_Window(twice);
    QVERIFY(!record.Evaluation().can_key_in);
    QVERIFY(!record.Codes_Keyed_In());
    QVERIFY(!record.Evaluation().next_step.startsWith("Refined"));
    QCOMPARE(record.State().codes_left, (Code_Pair{0x27A8, 0xFE59}));
}

void TestRecordModel::without_an_adjustment()
{
    TRecordModel record;
    Fill_In(record);
    record.Set_Field(Record_Field::Tolerance, "0.5");
    record.Set_Main_Window(Worked_Window());
    const Record_Evaluation &e = record.Evaluation();
    QCOMPARE(e.found_verdict, Verdict::Pass);
    QVERIFY(e.next_step.startsWith("Found within tolerance"));
    QVERIFY(e.reasons.isEmpty());
    // Issued as found: the codes left are the codes found.
    const Certificate_Content content =
        Build_Certificate(e, record.State(), record.Get_Laboratory(), today, false);
    const QString text = All_Text(content);
    QVERIFY(text.contains("No adjustment was made"));
    QVERIFY(text.contains("Verdict as found: Pass."));
    QVERIFY(text.contains("Verdict as left (no adjustment): Pass."));
    QVERIFY(!text.contains("predicted"));
    QVERIFY(!text.contains("27A8"));
    QVERIFY(content.plot.predicted.isEmpty());
}

void TestRecordModel::certificate_states_what_was_measured()
{
    TRecordModel record;
    Fill_In(record);
    record.Set_Main_Window(Worked_Window());
    QVERIFY(record.Codes_Keyed_In());
    Certificate_Content content = Build_Certificate(record.Evaluation(), record.State(),
                                                    record.Get_Laboratory(), today, false);
    QString text = All_Text(content);
    // Nothing measured as left: the prediction is labelled, no verdict as left.
    QVERIFY(text.contains("Results as left: predicted, not measured"));
    QVERIFY(text.contains("no statement of conformity as left is made"));
    QVERIFY(text.contains("Verdict as found: Fail."));
    QVERIFY(!text.contains("Verdict as left"));
    QVERIFY(text.contains(QString("Error (\u00B0C)")));
    QVERIFY(text.contains(QString("U = 0.074 \u00B0C")));
    QVERIFY(text.contains("traceable to national standards through the reference thermometer PRT "
                          "100 #7, calibrated under certificate RC-19, next due 2027-06-30"));
    QVERIFY(text.contains("Q. Manager, Quality manager"));
    QVERIFY(text.contains("shall not be reproduced except in full"));
    QVERIFY(text.contains("were corrected by a least-squares fit"));
    QVERIFY(!content.plot.predicted.isEmpty());
    record.Paste_As_Left(0, 0, "15.0\t15.01\n");
    content = Build_Certificate(record.Evaluation(), record.State(), record.Get_Laboratory(), today,
                                true);
    text = All_Text(content);
    QVERIFY(content.draft && content.number.isEmpty());
    QVERIFY(text.contains("Results as left, measured after adjustment"));
    QVERIFY(text.contains("Verdict as left: Pass."));
    // Measured as left: the plot shows what was measured, not the prediction.
    QVERIFY(content.plot.predicted.isEmpty());
    QCOMPARE(content.plot.left.size(), 1);
}

void TestRecordModel::tolerance_stated_as_typed()
{
    TRecordModel record;
    Fill_In(record);
    record.Set_Field(Record_Field::Tolerance, "0.0125");
    record.Set_Field(Record_Field::Reference_Uncertainty, "0.0001");
    record.Set_Field(Record_Field::Resolution, "0.0001");
    record.Set_Main_Window(Worked_Window({{"15", "15.0", "15.013"}, {"25", "25.0", "25.0"}}));
    // 0.013 stated fails 0.0125, and the page says 0.0125, not 0.013.
    QCOMPARE(record.Evaluation().found_rows.first().cells.value(4), QStringLiteral("Fail"));
    const QString text = All_Text(Build_Certificate(record.Evaluation(), record.State(),
                                                    record.Get_Laboratory(), today, false));
    QVERIFY2(text.contains(QString("plus or minus 0.0125 \u00B0C")), qPrintable(text));
    // The budget names the reference and the resolution as typed too.
    QVERIFY2(text.contains(QString("Reference thermometer (U = 0.0001 \u00B0C, k = 2)")),
             qPrintable(text));
    QVERIFY(text.contains(QString("Resolution (0.0001 \u00B0C)")));
    // No adjustment: the method does not say the codes were corrected.
    QVERIFY(text.contains("The codes of the instrument were left as found."));
    QVERIFY(!text.contains("corrected by a least-squares fit"));
}

void TestRecordModel::laboratory_texts_are_checked_data()
{
    QTest::addColumn<QString>("part");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("held_back");
    QTest::newRow("an address of two lines") << "address"
                                             << "Hafenstrasse 12\n20457 Hamburg" << false;
    QTest::newRow("an address with an override")
        << "address" << QString("Hafenstrasse \u202E12") << true;
    QTest::newRow("a procedure with a NUL")
        << "procedure" << QString("ZP-07").append(QChar(0)) << true;
    QTest::newRow("an approver with a tab, standing in for the record's") << "approver"
                                                                          << "B.\tOfficial" << true;
}

void TestRecordModel::laboratory_texts_are_checked()
{
    QFETCH(QString, part);
    QFETCH(QString, text);
    QFETCH(bool, held_back);
    TRecordModel record;
    Fill_In(record);
    record.Set_Main_Window(Worked_Window());
    Laboratory laboratory = record.Get_Laboratory();
    (part == "address"     ? laboratory.address
     : part == "procedure" ? laboratory.procedure
                           : laboratory.approver) = text;
    record.Set_Laboratory(laboratory);
    QCOMPARE(!record.Evaluation().reasons.isEmpty(), held_back);
}

void TestRecordModel::kept_between_runs_a_day_later()
{
    QTemporaryDir home;
    qputenv("HOME", home.path().toUtf8());
    Record_State kept;
    {
        TRecordModel record;
        Fill_In(record);
        record.Set_Main_Window(Worked_Window());
        QVERIFY(record.Codes_Keyed_In());
        record.Paste_As_Left(0, 0, "15.0\t15.01\n20.0\t19,99\n");
        TSettingsStore store;
        QCOMPARE(
            store.Write([&](QSettings &settings) { Save_Record_State(settings, record.State()); }),
            QString());
        kept = record.State();
    }
    TSettingsStore store;
    TRecordModel record;
    record.Set_Today(today.addDays(2));
    // The window shows other samples now; the kept as-found part counts.
    record.Set_Main_Window(Worked_Window({{"20", "20.0", "20.5"}}));
    record.Restore(Load_Record_State(store));
    const Record_State &state = record.State();
    QCOMPARE(state.calibration_id, kept.calibration_id);
    QCOMPARE(state.phase, Record_Phase::Keyed_In);
    QCOMPARE(state.codes_left, kept.codes_left);
    QCOMPARE(state.found.samples, kept.found.samples);
    QCOMPARE(state.as_left.size(), 2);
    QCOMPARE(state.as_left.at(1).reading, QStringLiteral("19,99"));
    QCOMPARE(record.Field(Record_Field::Calibration_Date), QStringLiteral("2026-12-07"));
    QCOMPARE(record.Evaluation().found_rows.size(), 3);
    QCOMPARE(record.Evaluation().row_problems,
             QStringList{"As left row 2: the reading is not a number"});
    // An issued one comes back issued.
    record.Set_As_Left(1, 1, "19.99");
    record.Mark_Issued("KX-0042-20261207-1", today.addDays(2), "{\"format\":2}");
    QCOMPARE(store.Write([&](QSettings &settings) { Save_Record_State(settings, record.State()); }),
             QString());
    TSettingsStore again;
    TRecordModel reloaded;
    reloaded.Restore(Load_Record_State(again));
    QCOMPARE(reloaded.State().phase, Record_Phase::Issued);
    QCOMPARE(reloaded.State().number, QStringLiteral("KX-0042-20261207-1"));
    QCOMPARE(reloaded.State().issue_date, QStringLiteral("2026-12-09"));
    QCOMPARE(reloaded.State().issued_content, QByteArray("{\"format\":2}"));
}

void TestRecordModel::certificate_json_round_trip()
{
    TRecordModel record;
    Fill_In(record);
    record.Set_Main_Window(Worked_Window());
    QVERIFY(record.Codes_Keyed_In());
    record.Paste_As_Left(0, 0, "15.0\t15.01\n");
    Certificate_Content content = Build_Certificate(record.Evaluation(), record.State(),
                                                    record.Get_Laboratory(), today, false);
    content.number = "KX-0042-20261207-1";
    Certificate_Content back;
    QVERIFY(Certificate_From_Json(Certificate_Json(content), &back));
    QCOMPARE(All_Text(back), All_Text(content));
    QCOMPARE(back.number, content.number);
    QCOMPARE(back.laboratory, QStringLiteral("Bench Lab"));
    QCOMPARE(back.plot.found, content.plot.found);
    QCOMPARE(back.plot.left, content.plot.left);
    QCOMPARE(back.plot.tolerance, 0.1);
    QVERIFY(!Certificate_From_Json("not json", &back));
}

void TestRecordModel::certificate_of_an_earlier_version()
{
    const QByteArray earlier =
        R"({"number":"KX-1-20260101-1","identification":[["Serial number","KX-1"],)"
        R"(["Model","KX310"],["Owner","Lab"]],"method":"Comparison.","existing_code1":"2710",)"
        R"("existing_code2":"0000","new_code1":"27A8","new_code2":"FE59",)"
        R"("as_found_header":["Nominal","Actual"],"as_found_rows":[["15","15.2"]],)"
        R"("as_left_title":"Results as left: predicted, not measured","as_left_header":["A"],)"
        R"("as_left_rows":[["1"]],"uncertainty":"U = 0.071","decision_rule":"Simple.",)"
        R"("verdict":"Verdict as left: Pass.","technician":"A. Tester"})";
    Certificate_Content content;
    QVERIFY(Certificate_From_Json(earlier, &content));
    QCOMPARE(content.number, QStringLiteral("KX-1-20260101-1"));
    const QString text = All_Text(content);
    for (const char *expected :
         {"Serial number", "KX-1", "Owner", "27A8", "FE59", "15.2", "predicted, not measured",
          "U = 0.071", "Verdict as left: Pass.", "Calibrated by: A. Tester"})
        QVERIFY2(text.contains(QLatin1String(expected)), expected);
    // Two fields a row, as it was printed; its plot was a picture.
    QCOMPARE(content.sections.first().table.rows.first(),
             (QStringList{"Serial number", "KX-1", "Model", "KX310"}));
    QVERIFY(content.plot.Is_Empty());
}

void TestRecordModel::files_of_earlier_versions_data()
{
    QTest::addColumn<QByteArray>("group");
    QTest::addColumn<int>("as_left");
    QTest::addColumn<int>("set_aside");
    QTest::addColumn<QString>("date");
    QTest::newRow("rows kept without their codes are set aside")
        << QByteArray("As_Left_Count=2\nAs_Left_Actual_0=15\nAs_Left_Reading_0=15.01\n"
                      "As_Left_Actual_1=20\nAs_Left_Reading_1=20.01\n"
                      "Calibration_Date=2026-12-05\nLast_Certificate_Count=2147483647\n")
        << 0 << 2 << "2026-12-05";
    QTest::newRow("a count beyond the rows held makes no rows")
        << QByteArray("As_Left_Count=1000000\nAs_Left_Actual_0=15\nAs_Left_Reading_0=15.01\n"
                      "As_Left_Actual_1=20\nAs_Left_Reading_1=20.01\n")
        << 0 << 2 << "";
    QTest::newRow("a state that does not hold together is as found")
        << QByteArray("State=keyed_in\nAdjusted=true\nCodes_Left=27A8 / FE59\n"
                      "As_Left_Count=1\nAs_Left_Actual_0=15\nAs_Left_Reading_0=15.01\n"
                      "As_Left_Codes_0=27A8 / FE59\n")
        << 0 << 1 << "";
}

void TestRecordModel::files_of_earlier_versions()
{
    QFETCH(QByteArray, group);
    QFETCH(int, as_left);
    QFETCH(int, set_aside);
    QFETCH(QString, date);
    QTemporaryDir home;
    qputenv("HOME", home.path().toUtf8());
    QDir(home.path()).mkpath(".zentrova");
    QFile file(home.path() + "/.zentrova/Settings.ini");
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[Record]\nSerial_Number=KX-7\n" + group);
    file.close();
    TSettingsStore store;
    TRecordModel record;
    record.Restore(Load_Record_State(store));
    QCOMPARE(record.State().phase, Record_Phase::Found);
    QCOMPARE(record.State().as_left.size(), as_left);
    QCOMPARE(record.State().set_aside.size(), set_aside);
    QCOMPARE(record.Field(Record_Field::Serial), QStringLiteral("KX-7"));
    if (!date.isEmpty())
        QCOMPARE(record.Field(Record_Field::Calibration_Date), date);
    QVERIFY(!record.State().calibration_id.isEmpty());
    // No count of certificates is kept in the file any more.
    QCOMPARE(store.Write([&](QSettings &settings) { Save_Record_State(settings, record.State()); }),
             QString());
    QVERIFY(!QSettings(file.fileName(), QSettings::IniFormat)
                 .contains("Record/Last_Certificate_Count"));
}

QTEST_GUILESS_MAIN(TestRecordModel)
#include "tst_recordmodel.moc"
