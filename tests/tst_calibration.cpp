#include "calibration.h"
#include "childprocess.h"
#include "codetruncation.h"

#include <QtTest>

#include <limits>

namespace
{
// The existing codes as the code fields read them: 2710 and 0000 with the
// half-count bias away from zero (zero counting as negative).
constexpr double uncalibrated_e1 = 1.00005;
constexpr double uncalibrated_e2 = -0.0005;

// A sample written as (actual, reading); the table's other two fields do
// not take part in the computation.
Sample At(double actual, double reading)
{
    return Sample{20.0, actual, reading, 0.0};
}

const double infinity = std::numeric_limits<double>::infinity();
const double not_a_number = std::numeric_limits<double>::quiet_NaN();
} // namespace

Q_DECLARE_METATYPE(Sample_List)

class TestCalibration : public QObject
{
    Q_OBJECT

private slots:
    void worked_examples_data();
    void worked_examples();
    void no_result_data();
    void no_result();
    void single_sample_keeps_code1_data();
    void single_sample_keeps_code1();
    void fit_line();
    void fit_line_needs_a_slope_pointer();
    void truncation_data();
    void truncation();
    void texts();
};

void TestCalibration::worked_examples_data()
{
    QTest::addColumn<Sample_List>("samples");
    QTest::addColumn<double>("e1");
    QTest::addColumn<double>("e2");
    QTest::addColumn<QString>("code1");
    QTest::addColumn<QString>("code2");
    QTest::addColumn<QString>("range");

    const double e1 = uncalibrated_e1;
    const double e2 = uncalibrated_e2;
    QTest::newRow("one sample reading high") << Sample_List{At(25.0, 25.3)} << e1 << e2 << "2710"
                                             << "FED4"
                                             << "0.000";
    QTest::newRow("one sample, positive offset from 0000 loses a count")
        << Sample_List{At(25.0, 24.995)} << e1 << e2 << "2710"
        << "0004"
        << "0.000";
    QTest::newRow("one sample from existing 0005")
        << Sample_List{At(25.0, 25.001)} << e1 << 0.0055 << "2710"
        << "0004"
        << "0.000";
    QTest::newRow("two samples") << Sample_List{At(0.0, 0.2), At(100.0, 99.5)} << e1 << e2 << "2756"
                                 << "FF37"
                                 << "0.700";
    QTest::newRow("three samples at 15 20 25")
        << Sample_List{At(15.0, 15.2), At(20.0, 20.1), At(25.0, 25.05)} << e1 << e2 << "27A8"
        << "FE59"
        << "0.150";
    QTest::newRow("three samples from existing FFFB")
        << Sample_List{At(15.0, 15.2), At(20.0, 20.1), At(25.0, 25.05)} << e1 << -0.0055 << "27A8"
        << "FE54"
        << "0.150";
    QTest::newRow("perfect instrument repeats the codes")
        << Sample_List{At(15.0, 15.0), At(20.0, 20.0), At(25.0, 25.0)} << e1 << e2 << "2710"
        << "0000"
        << "0.000";
    QTest::newRow("blank row takes part as 0, 0")
        << Sample_List{At(0.0, 0.0), At(20.0, 20.0), At(40.0, 40.0)} << e1 << e2 << "2710"
        << "0000"
        << "0.000";
    QTest::newRow("code 2 beyond four digits wraps")
        << Sample_List{At(100.0, 30.0)} << e1 << e2 << "2710"
        << "116F"
        << "0.000";
    QTest::newRow("code 1 beyond four digits wraps")
        << Sample_List{At(0.0, 1.0), At(100.0, 11.0)} << e1 << e2 << "86A0"
        << "D8F0"
        << "90.000";
    QTest::newRow("spread just above 1e-6")
        << Sample_List{At(0.0, 0.0), At(2e-6, 2e-6)} << e1 << e2 << "2710"
        << "0000"
        << "0.000";
}

void TestCalibration::worked_examples()
{
    QFETCH(Sample_List, samples);
    QFETCH(double, e1);
    QFETCH(double, e2);
    QFETCH(QString, code1);
    QFETCH(QString, code2);
    QFETCH(QString, range);

    const Calibration_Result result = Compute_Calibration(samples, e1, e2);
    QVERIFY(result.valid);
    QCOMPARE(Format_Code(result.new_code1), code1);
    QCOMPARE(Format_Code(result.new_code2), code2);
    QCOMPARE(Format_Data_Range(result.data_range), range + QStringLiteral(" \u02DAC"));
}

void TestCalibration::no_result_data()
{
    QTest::addColumn<Sample_List>("samples");
    QTest::newRow("no samples") << Sample_List{};
    QTest::newRow("same reading") << Sample_List{At(20.0, 20.0), At(21.0, 20.0)};
    QTest::newRow("same actual") << Sample_List{At(20.0, 20.0), At(20.0, 21.0)};
    QTest::newRow("identical samples") << Sample_List{At(20.0, 20.1), At(20.0, 20.1)};
    QTest::newRow("reading spread exactly 1e-6") << Sample_List{At(0.0, 0.0), At(1.0, 1e-6)};
    QTest::newRow("readings nearly equal, actuals apart")
        << Sample_List{At(10.0, 20.0), At(30.0, 20.0000005)};
    QTest::newRow("actual spread exactly 1e-6") << Sample_List{At(0.0, 0.0), At(1e-6, 1.0)};
    QTest::newRow("infinite actual, single") << Sample_List{At(infinity, 20.0)};
    QTest::newRow("NaN reading, single") << Sample_List{At(20.0, not_a_number)};
    QTest::newRow("NaN actual among three")
        << Sample_List{At(15.0, 15.2), At(not_a_number, 20.1), At(25.0, 25.05)};
    QTest::newRow("negative infinite reading")
        << Sample_List{At(15.0, 15.2), At(20.0, -infinity), At(25.0, 25.05)};
    QTest::newRow("sums overflow") << Sample_List{At(0.0, 1e200), At(1.0, -1e200)};
    QTest::newRow("error overflows") << Sample_List{At(1.7e308, -1.7e308), At(0.0, 1.0)};
    QTest::newRow("single error overflows") << Sample_List{At(1.7e308, -1.7e308)};
}

void TestCalibration::no_result()
{
    QFETCH(Sample_List, samples);
    const Calibration_Result result =
        Compute_Calibration(samples, uncalibrated_e1, uncalibrated_e2);
    QVERIFY(!result.valid);
}

void TestCalibration::single_sample_keeps_code1_data()
{
    QTest::addColumn<double>("e1");
    QTest::addColumn<QString>("code1");
    QTest::newRow("2710") << 1.00005 << "2710";
    QTest::newRow("8000") << -3.27685 << "8000";
    QTest::newRow("FFFF") << -0.00015 << "FFFF";
    QTest::newRow("7FFF") << 3.27675 << "7FFF";
    QTest::newRow("0000") << -0.00005 << "0000";
}

void TestCalibration::single_sample_keeps_code1()
{
    QFETCH(double, e1);
    QFETCH(QString, code1);
    const Calibration_Result result = Compute_Calibration({At(30.0, 29.0)}, e1, uncalibrated_e2);
    QVERIFY(result.valid);
    QCOMPARE(Format_Code(result.new_code1), code1);
    QCOMPARE(result.data_range, 0.0);
}

void TestCalibration::fit_line()
{
    double slope = -99.0;
    double offset = -99.0;
    QVERIFY(!Fit_Line({}, &slope, &offset));
    QVERIFY(!Fit_Line({Vector2(1, 2)}, &slope, &offset));
    QCOMPARE(slope, -99.0);
    QCOMPARE(offset, -99.0);
    // Too short a list is answered before the slope pointer is looked at.
    QVERIFY(!Fit_Line({Vector2(1, 2)}, nullptr, nullptr));

    QVERIFY(Fit_Line({Vector2(0, 1), Vector2(1, 3), Vector2(2, 5)}, &slope, &offset));
    QCOMPARE(slope, 2.0);
    QCOMPARE(offset, 1.0);

    // Scattered points: the least-squares line of (0,0) (1,1) (2,1) (3,2) is
    // y = 0.6 x + 0.1.
    offset = -99.0;
    QVERIFY(
        Fit_Line({Vector2(0, 0), Vector2(1, 1), Vector2(2, 1), Vector2(3, 2)}, &slope, nullptr));
    QVERIFY(qFuzzyCompare(slope, 0.6));
    QCOMPARE(offset, -99.0);
}

void TestCalibration::fit_line_needs_a_slope_pointer()
{
    const Child_Outcome outcome = Run_In_Child(
        []
        {
            double offset = 0;
            Fit_Line({Vector2(0, 0), Vector2(1, 1)}, nullptr, &offset);
        });
    QVERIFY(outcome.aborted);
    QVERIFY2(outcome.error_output.contains("core/calibration.cpp:"),
             outcome.error_output.constData());
    QVERIFY2(outcome.error_output.contains("`slope' failed"), outcome.error_output.constData());
}

void TestCalibration::truncation_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<qint32>("truncated");
    QTest::addColumn<quint16>("code");
    const qint32 most_negative = std::numeric_limits<qint32>::min();
    QTest::newRow("positive fraction") << 10070.99 << 10070 << quint16(0x2756);
    QTest::newRow("negative fraction") << -201.91 << -201 << quint16(0xFF37);
    QTest::newRow("negative below one") << -0.9 << 0 << quint16(0);
    QTest::newRow("65536 wraps") << 65536.1 << 65536 << quint16(0);
    QTest::newRow("-32769 wraps") << -32769.5 << -32769 << quint16(0x7FFF);
    QTest::newRow("largest int") << 2147483647.9 << 2147483647 << quint16(0xFFFF);
    QTest::newRow("just past largest") << 2147483648.0 << most_negative << quint16(0);
    QTest::newRow("smallest int") << -2147483648.9 << most_negative << quint16(0);
    QTest::newRow("just past smallest") << -2147483649.0 << most_negative << quint16(0);
    QTest::newRow("huge") << 1e300 << most_negative << quint16(0);
    QTest::newRow("infinity") << infinity << most_negative << quint16(0);
    QTest::newRow("minus infinity") << -infinity << most_negative << quint16(0);
    QTest::newRow("NaN") << not_a_number << most_negative << quint16(0);
}

void TestCalibration::truncation()
{
    QFETCH(double, value);
    QFETCH(qint32, truncated);
    QFETCH(quint16, code);
    QCOMPARE(Truncate_To_Int32(value), truncated);
    QCOMPARE(Truncate_To_Code(value), code);
}

void TestCalibration::texts()
{
    QCOMPARE(Format_Code(0), QStringLiteral("0000"));
    QCOMPARE(Format_Code(0xabc), QStringLiteral("0ABC"));
    QCOMPARE(Format_Code(0xFFFF), QStringLiteral("FFFF"));
    const QString unit = QString(QChar(0x02DA)) + QLatin1Char('C');
    QCOMPARE(Format_Data_Range(12.3456), "12.346 " + unit);
    QCOMPARE(Format_Data_Range(1234.5), "1234.500 " + unit);
}

QTEST_APPLESS_MAIN(TestCalibration)
#include "tst_calibration.moc"
