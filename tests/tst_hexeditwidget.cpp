#include "hexeditwidget.h"
#include "zentrovadialog.h"

#include <QtTest>

#include <limits>

namespace
{
// Every one of the 65536 codes as the field shows it.
QString Code_Digits(int code)
{
    return QStringLiteral("%1").arg(code, 4, 16, QLatin1Char('0')).toUpper();
}
} // namespace

class TestHexEditWidget : public QObject
{
    Q_OBJECT

private slots:
    void get_value_data();
    void get_value();
    void set_value_data();
    void set_value();
    void every_code_survives_a_round_trip_data();
    void every_code_survives_a_round_trip();
    void unchanged_samples_repeat_every_code();
    void typing_data();
    void typing();
    void program_changes_are_silent();
};

void TestHexEditWidget::get_value_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("scale");
    QTest::addColumn<double>("value");
    QTest::newRow("2710, uncalibrated code 1") << "2710" << 10000.0 << 1.00005;
    QTest::newRow("8000, most negative") << "8000" << 10000.0 << -3.27685;
    QTest::newRow("88B8 reads negative") << "88B8" << 10000.0 << -3.05365;
    QTest::newRow("0000 counts as negative") << "0000" << 1000.0 << -0.0005;
    QTest::newRow("FFFB") << "FFFB" << 1000.0 << -0.0055;
    QTest::newRow("lower-case fffb") << "fffb" << 1000.0 << -0.0055;
    QTest::newRow("7FFF, most positive") << "7FFF" << 1000.0 << 32.7675;
    QTest::newRow("empty field reads as 0000") << "" << 1000.0 << -0.0005;
    QTest::newRow("two digits read as they stand") << "27" << 1000.0 << 0.0395;
    QTest::newRow("tiny scale, no bias") << "0001" << 1e-6 << 1e6;
    QTest::newRow("negative tiny scale, no bias") << "0002" << -1e-6 << -2e6;
}

void TestHexEditWidget::get_value()
{
    QFETCH(QString, text);
    QFETCH(double, scale);
    QFETCH(double, value);
    THexEditWidget field;
    field.setText(text);
    QCOMPARE(field.Get_Value(scale), value);
    QCOMPARE(field.text(), text); // reading changes nothing
}

void TestHexEditWidget::set_value_data()
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double infinity = std::numeric_limits<double>::infinity();
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("scale");
    QTest::addColumn<QString>("text");
    QTest::newRow("1.00005 gives 2710") << 1.00005 << 10000.0 << "2710";
    QTest::newRow("3.5 wraps to 88B8") << 3.5 << 10000.0 << "88B8";
    QTest::newRow("-0.0055 gives FFFB") << -0.0055 << 1000.0 << "FFFB";
    QTest::newRow("-0.0005 gives 0000") << -0.0005 << 1000.0 << "0000";
    QTest::newRow("-1 gives FC18") << -1.0 << 1000.0 << "FC18";
    QTest::newRow("70 gives 1170") << 70.0 << 1000.0 << "1170";
    QTest::newRow("lower digits upper-cased") << 2.748 << 1000.0 << "0ABC";
    QTest::newRow("65536.1 wraps to 0000") << 65.5361 << 1000.0 << "0000";
    QTest::newRow("-32769.5 wraps to 7FFF") << -32.7695 << 1000.0 << "7FFF";
    QTest::newRow("product NaN") << nan << 1000.0 << "0000";
    QTest::newRow("product infinite") << infinity << 1000.0 << "0000";
    QTest::newRow("product beyond 32 bits") << 3e6 << 1000.0 << "0000";
    QTest::newRow("product below 32 bits") << -3e6 << 1000.0 << "0000";
    QTest::newRow("largest 32-bit product") << 2147483.647 << 1000.0 << "FFFF";
}

void TestHexEditWidget::set_value()
{
    QFETCH(double, value);
    QFETCH(double, scale);
    QFETCH(QString, text);
    THexEditWidget field;
    field.setText(QStringLiteral("1234"));
    field.Set_Value(value, scale);
    QCOMPARE(field.text(), text);
}

void TestHexEditWidget::every_code_survives_a_round_trip_data()
{
    QTest::addColumn<double>("scale");
    QTest::newRow("code 1 scale") << 10000.0;
    QTest::newRow("code 2 scale") << 1000.0;
}

void TestHexEditWidget::every_code_survives_a_round_trip()
{
    QFETCH(double, scale);
    THexEditWidget field;
    for (int code = 0; code <= 0xFFFF; ++code)
    {
        const QString digits = Code_Digits(code);
        field.setText(digits);
        field.Set_Value(field.Get_Value(scale), scale);
        if (field.text() != digits)
            QFAIL(qPrintable(digits + " came back as " + field.text()));
    }
}

void TestHexEditWidget::unchanged_samples_repeat_every_code()
{
    // A sample whose reading equals its actual temperature measures no error,
    // so the new codes must repeat the existing ones, whichever they are.
    THexEditWidget code1;
    THexEditWidget code2;
    const Sample_List samples{Sample{20.0, 20.0, 20.0, 0.0}};
    for (int code = 0; code <= 0xFFFF; ++code)
    {
        const QString digits = Code_Digits(code);
        code1.setText(digits);
        code2.setText(digits);
        const Calibration_Result result = TZentrovaDialog::Compute_Calibration(
            samples, code1.Get_Value(10000.0), code2.Get_Value(1000.0));
        QVERIFY(result.valid);
        if (result.new_code1 != code || result.new_code2 != code)
            QFAIL(qPrintable(digits + " became " + TZentrovaDialog::Format_Code(result.new_code1) +
                             " and " + TZentrovaDialog::Format_Code(result.new_code2)));
    }
}

void TestHexEditWidget::typing_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("changes");
    QTest::addColumn<double>("value");
    QTest::newRow("single digit") << ""
                                  << "2"
                                  << "2" << 1 << 2.5 / 1000.0;
    QTest::newRow("four digits") << ""
                                 << "FFFB"
                                 << "FFFB" << 4 << -0.0055;
    QTest::newRow("lower case keeps its case") << ""
                                               << "fffb"
                                               << "fffb" << 4 << -0.0055;
    // A masked line edit reports a refused keystroke as an edit too; that
    // recomputes the same result, so only the text is checked (-1).
    QTest::newRow("non-hex keys are refused") << ""
                                              << "xyz"
                                              << "" << -1 << -0.0005;
    QTest::newRow("fifth digit is refused") << ""
                                            << "12345"
                                            << "1234" << -1 << 4.6605;
    QTest::newRow("overtyping a shown code") << "2710"
                                             << "27A8"
                                             << "27A8" << 4 << 10152.5 / 1000.0;
}

void TestHexEditWidget::typing()
{
    QFETCH(QString, start);
    QFETCH(QString, keys);
    QFETCH(QString, text);
    QFETCH(int, changes);
    QFETCH(double, value);

    THexEditWidget field;
    field.setText(start);
    field.show();
    QVERIFY(QTest::qWaitForWindowExposed(&field));
    field.setCursorPosition(0);
    QSignalSpy spy(&field, &THexEditWidget::Changed);
    QTest::keyClicks(&field, keys);
    QCOMPARE(field.text(), text);
    if (changes >= 0)
        QCOMPARE(spy.count(), changes);
    QCOMPARE(field.Get_Value(1000.0), value);
}

void TestHexEditWidget::program_changes_are_silent()
{
    THexEditWidget field;
    field.show();
    QVERIFY(QTest::qWaitForWindowExposed(&field));
    QSignalSpy spy(&field, &THexEditWidget::Changed);
    field.Set_Value(1.00005, 10000.0);
    field.setText(QStringLiteral("ABCD"));
    QCOMPARE(spy.count(), 0);

    // Deleting digits is an edit like typing them.
    field.setCursorPosition(4);
    QTest::keyClick(&field, Qt::Key_Backspace);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(field.text(), QStringLiteral("ABC"));
    QCOMPARE(field.Get_Value(1000.0), 2748.5 / 1000.0);
}

QTEST_MAIN(TestHexEditWidget)
#include "tst_hexeditwidget.moc"
