#include "calibration.h"

#include <QtTest>

class BenchCalibration : public QObject
{
    Q_OBJECT

private slots:
    void compute_calibration_data();
    void compute_calibration();
};

void BenchCalibration::compute_calibration_data()
{
    QTest::addColumn<int>("count");
    for (int count : {3, 100, 10000})
        QTest::addRow("%d samples", count) << count;
}

void BenchCalibration::compute_calibration()
{
    QFETCH(int, count);
    Sample_List samples;
    samples.reserve(count);
    for (int i = 0; i < count; ++i)
    {
        const double actual = 15.0 + 0.01 * i;
        samples.append(Sample{actual, actual, actual * 1.002 + 0.05, 0.0});
    }
    Calibration_Result result;
    QBENCHMARK
    {
        result = Compute_Calibration(samples, 1.00005, -0.0005);
    }
    QVERIFY(result.valid);
}

QTEST_APPLESS_MAIN(BenchCalibration)
#include "bench_calibration.moc"
