#include "judging.h"

#include <QtTest>

#include <cmath>
#include <limits>

Q_DECLARE_METATYPE(Verdict)
Q_DECLARE_METATYPE(Nominal_Error)

// Judging a calibration on the values a page states: U rounded as the GUM
// has it, verdicts at the limits, the drift.
class TestJudging : public QObject
{
    Q_OBJECT

private slots:
    void stated_values_data();
    void stated_values();
    void uncertainty_rounding_data();
    void uncertainty_rounding();
    void verdicts_data();
    void verdicts();
    void overall_data();
    void overall();
    void residual_spread();
    void drift_data();
    void drift();
};

namespace
{
const double not_a_number = std::numeric_limits<double>::quiet_NaN();
} // namespace

void TestJudging::stated_values_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<double>("stated");
    QTest::newRow("a subtraction one ulp above the limit") << 20.1 - 20.0 << 3 << 0.1;
    QTest::newRow("and below it") << 19.9 - 20.0 << 3 << -0.1;
    QTest::newRow("four decimals") << 0.12345 << 4 << 0.1235;
    QTest::newRow("a minus zero is zero") << -0.0004 << 3 << 0.0;
    QTest::newRow("not a number stays") << not_a_number << 3 << not_a_number;
}

void TestJudging::stated_values()
{
    QFETCH(double, value);
    QFETCH(int, decimals);
    QFETCH(double, stated);
    const double result = Stated_Value(value, decimals);
    if (std::isnan(stated))
        QVERIFY(std::isnan(result));
    else
    {
        QCOMPARE(result, stated);
        QVERIFY(!std::signbit(result) || result != 0.0);
    }
}

void TestJudging::uncertainty_rounding_data()
{
    QTest::addColumn<double>("uncertainty");
    QTest::addColumn<QString>("text");
    QTest::newRow("0.0869") << 0.0869 << "0.087";
    QTest::newRow("0.2118") << 0.2118 << "0.22";
    QTest::newRow("0.00049") << 0.00049 << "0.00049";
    QTest::newRow("1.05") << 1.05 << "1.1";
    QTest::newRow("exactly 0.087") << 0.087 << "0.087";
    QTest::newRow("up into the next decade") << 0.0995 << "0.10";
    QTest::newRow("a whole number") << 12.01 << "13";
    QTest::newRow("as worked out from 0.02, s and 0.1")
        << Expanded_Uncertainty(0.02, 0.0207232, 0.1) << "0.074";
    QTest::newRow("from 0.05") << Expanded_Uncertainty(0.05, 0.0207232, 0.1) << "0.087";
    QTest::newRow("zero has no statement") << 0.0 << "";
    QTest::newRow("nor NaN") << not_a_number << "";
}

void TestJudging::uncertainty_rounding()
{
    QFETCH(double, uncertainty);
    QFETCH(QString, text);
    const Stated_Uncertainty stated = Round_Uncertainty(uncertainty);
    QCOMPARE(stated.valid, !text.isEmpty());
    QCOMPARE(stated.text, text);
    if (stated.valid)
    {
        // Never smaller than worked out, and the text is the value.
        QVERIFY(stated.value >= uncertainty - 1e-12);
        QCOMPARE(stated.value, text.toDouble());
    }
}

void TestJudging::verdicts_data()
{
    QTest::addColumn<double>("error");
    QTest::addColumn<double>("tolerance");
    QTest::addColumn<double>("uncertainty");
    QTest::addColumn<bool>("guard_band");
    QTest::addColumn<QString>("verdict");
    QTest::newRow("well inside") << 0.01 << 0.05 << 0.02 << false << "Pass";
    QTest::newRow("inside, not by U")
        << -0.04 << 0.05 << 0.02 << false << "Pass, within the uncertainty of the limit";
    QTest::newRow("on the limit from a subtraction, plus")
        << Stated_Value(20.1 - 20.0, 3) << 0.1 << 0.0 << false << "Pass";
    QTest::newRow("on the limit from a subtraction, minus")
        << Stated_Value(19.9 - 20.0, 3) << 0.1 << 0.0 << false << "Pass";
    QTest::newRow("|error| + U exactly the tolerance") << 0.013 << 0.1 << 0.087 << false << "Pass";
    QTest::newRow("just over") << -0.051 << 0.05 << 0.02 << false << "Fail";
    QTest::newRow("guard band: |error| + U at the tolerance")
        << 0.013 << 0.1 << 0.087 << true << "Pass";
    QTest::newRow("guard band: one count more")
        << 0.014 << 0.1 << 0.087 << true << "Conditional, within the uncertainty of the limit";
    QTest::newRow("guard band: |error| - U at the tolerance")
        << -0.187 << 0.1 << 0.087 << true << "Conditional, within the uncertainty of the limit";
    QTest::newRow("guard band: beyond it") << -0.188 << 0.1 << 0.087 << true << "Fail";
    QTest::newRow("a NaN error has no verdict") << not_a_number << 0.1 << 0.087 << false << "";
    QTest::newRow("an error far beyond any temperature") << 1e20 << 0.1 << 0.087 << false << "Fail";
    QTest::newRow("a tolerance far beyond any temperature")
        << 0.05 << 1e20 << 0.087 << false << "Pass";
    QTest::newRow("both far beyond, guard band") << 5e9 << 1e20 << 5e9 << true << "Pass";
}

void TestJudging::verdicts()
{
    QFETCH(double, error);
    QFETCH(double, tolerance);
    QFETCH(double, uncertainty);
    QFETCH(bool, guard_band);
    QFETCH(QString, verdict);
    Judging_Limits limits;
    limits.has_tolerance = true;
    limits.tolerance = tolerance;
    limits.uncertainty = uncertainty;
    limits.rule = guard_band ? Decision_Rule::Guard_Band : Decision_Rule::Simple_Acceptance;
    QCOMPARE(Verdict_Text(Judge(error, limits)), verdict);
    // Without a tolerance there is never a verdict.
    limits.has_tolerance = false;
    QCOMPARE(Judge(error, limits), Verdict::None);
}

void TestJudging::overall_data()
{
    QTest::addColumn<QList<Verdict>>("verdicts");
    QTest::addColumn<Verdict>("overall");
    QTest::newRow("none at all") << QList<Verdict>{} << Verdict::None;
    QTest::newRow("no tolerance: none")
        << QList<Verdict>{Verdict::None, Verdict::None} << Verdict::None;
    QTest::newRow("a point without one")
        << QList<Verdict>{Verdict::Pass, Verdict::None} << Verdict::None;
    QTest::newRow("all pass") << QList<Verdict>{Verdict::Pass, Verdict::Pass} << Verdict::Pass;
    QTest::newRow("near the limit")
        << QList<Verdict>{Verdict::Pass, Verdict::Pass_Within_Uncertainty}
        << Verdict::Pass_Within_Uncertainty;
    QTest::newRow("conditional beats near")
        << QList<Verdict>{Verdict::Conditional, Verdict::Pass_Within_Uncertainty}
        << Verdict::Conditional;
    QTest::newRow("any fail") << QList<Verdict>{Verdict::Pass, Verdict::Fail, Verdict::Pass}
                              << Verdict::Fail;
}

void TestJudging::overall()
{
    QFETCH(QList<Verdict>, verdicts);
    QFETCH(Verdict, overall);
    QCOMPARE(Overall_Verdict(verdicts), overall);
}

void TestJudging::residual_spread()
{
    // Three points off their line by 0.0207232 (n - 2 = 1 degree of freedom).
    const Residual_Spread spread = Fit_Residual_Spread({15.0, 20.0, 25.0}, {15.2, 20.1, 25.05});
    QVERIFY(spread.valid);
    QCOMPARE(spread.degrees_of_freedom, 1);
    QVERIFY(std::fabs(spread.s - 0.0207232) < 1e-6);
    QVERIFY(!Fit_Residual_Spread({15.0, 20.0}, {15.2, 20.1}).valid);
    const Uncertainty_Budget budget = Budget(0.02, spread.s, 0.1);
    QVERIFY(std::fabs(budget.reference - 0.01) < 1e-12);
    QVERIFY(std::fabs(budget.resolution - 0.1 / std::sqrt(12.0)) < 1e-12);
    QVERIFY(std::fabs(budget.expanded - 2 * budget.combined) < 1e-12);
}

void TestJudging::drift_data()
{
    using Errors = QList<Nominal_Error>;
    QTest::addColumn<Errors>("now");
    QTest::addColumn<Errors>("then");
    QTest::addColumn<int>("points");
    QTest::addColumn<double>("largest");
    QTest::newRow("the largest by magnitude, with its sign")
        << Errors{{15, 0.2}, {20, -0.2}} << Errors{{15, 0.1}, {20, 0.1}} << 2 << -0.3;
    QTest::newRow("only nominals measured both times")
        << Errors{{15, 0.2}, {30, 1.0}} << Errors{{15, 0.1}, {25, 0.0}} << 1 << 0.1;
    QTest::newRow("a nominal measured twice then: the first listed")
        << Errors{{20, 0.2}, {15, 0.2}} << Errors{{25, 0.0}, {15, 0.5}, {15, 0.1}} << 1 << -0.3;
    QTest::newRow("no nominal, no drift")
        << Errors{{not_a_number, 0.2}} << Errors{{not_a_number, 0.1}} << 0 << 0.0;
}

void TestJudging::drift()
{
    using Errors = QList<Nominal_Error>;
    QFETCH(Errors, now);
    QFETCH(Errors, then);
    QFETCH(int, points);
    QFETCH(double, largest);
    const Drift drift = Compute_Drift(now, then);
    QCOMPARE(drift.points.size(), points);
    QVERIFY(std::fabs(drift.largest - largest) < 1e-12);
}

QTEST_GUILESS_MAIN(TestJudging)
#include "tst_judging.moc"
