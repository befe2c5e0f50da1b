#include "calibrationrecord.h"
#include "recordhelpers.h"

#include <QLineEdit>
#include <QProcess>

// Finishing a calibration: the as-left prediction, the uncertainty, the
// verdicts, the certificate and what the record keeps between runs.
class TestRecord : public QObject
{
    Q_OBJECT

private slots:
    void as_left_prediction_data();
    void as_left_prediction();
    void verdicts_data();
    void verdicts();
    void certificate_reads_back();
    void older_file_round_trip();
};

namespace
{
QString Pdf_Text(const QString &path)
{
    QProcess pdftotext;
    pdftotext.start("pdftotext", {"-layout", path, "-"});
    if (!pdftotext.waitForFinished(20000))
        return QString();
    return QString::fromUtf8(pdftotext.readAllStandardOutput());
}
} // namespace

void TestRecord::as_left_prediction_data()
{
    QTest::addColumn<QList<double>>("actuals");
    QTest::addColumn<QList<double>>("readings");
    QTest::addColumn<QList<double>>("predicted"); // readings, to the shown 0.001
    QTest::addColumn<double>("s");                // -1: below three samples
    QTest::newRow("three samples")
        << QList<double>{15.0, 20.0, 25.0} << QList<double>{15.2, 20.1, 25.05}
        << QList<double>{15.008, 19.983, 25.008} << 0.0207232;
    QTest::newRow("one sample corrects the offset only")
        << QList<double>{25.0} << QList<double>{25.3} << QList<double>{25.0} << -1.0;
}

void TestRecord::as_left_prediction()
{
    QFETCH(QList<double>, actuals);
    QFETCH(QList<double>, readings);
    QFETCH(QList<double>, predicted);
    QFETCH(double, s);

    Sample_List samples;
    for (int index = 0; index < actuals.size(); ++index)
        samples << Sample{0.0, actuals.at(index), readings.at(index), 0.0};
    // The codes as the window computes them from 2710 and 0000.
    const Calibration_Result result =
        TZentrovaDialog::Compute_Calibration(samples, 1.00005, -0.0005);
    QVERIFY(result.valid);
    const double slope_change = Code_Change(result.new_code1, 0x2710, 10000.0);
    const double offset_change = Code_Change(result.new_code2, 0x0000, 1000.0);
    for (int index = 0; index < actuals.size(); ++index)
        QCOMPARE(qRound(Predicted_Reading(readings.at(index), slope_change, offset_change) * 1000),
                 qRound(predicted.at(index) * 1000));

    const Residual_Spread spread = Fit_Residual_Spread(actuals, readings);
    QCOMPARE(spread.valid, s >= 0);
    if (spread.valid)
        QVERIFY(qAbs(spread.s - s) < 1e-6);
    // U with a reference of 0.02 (k = 2) and a resolution of 0.1.
    const double expected_u = 2 * std::sqrt(0.01 * 0.01 + (spread.valid ? s * s : 0.0) +
                                            std::pow(0.1 / (2 * std::sqrt(3.0)), 2));
    QVERIFY(qAbs(Expanded_Uncertainty(0.02, spread.valid ? spread.s : 0.0, 0.1) - expected_u) <
            1e-6);
}

void TestRecord::verdicts_data()
{
    QTest::addColumn<double>("error");
    QTest::addColumn<bool>("has_tolerance");
    QTest::addColumn<QString>("verdict");
    QTest::newRow("well inside") << 0.01 << true << "Pass";
    QTest::newRow("inside, but not by U")
        << -0.04 << true << "Pass, within the uncertainty of the limit";
    QTest::newRow("on the limit passes")
        << 0.05 << true << "Pass, within the uncertainty of the limit";
    QTest::newRow("outside") << -0.051 << true << "Fail";
    QTest::newRow("no tolerance, no verdict") << 9.0 << false << "";
}

void TestRecord::verdicts()
{
    QFETCH(double, error);
    QFETCH(bool, has_tolerance);
    QFETCH(QString, verdict);
    // Tolerance 0.05, U 0.02.
    QCOMPARE(Verdict_Text(Judge(error, has_tolerance, 0.05, 0.02)), verdict);
}

void TestRecord::certificate_reads_back()
{
    Home_Folder home;
    home.Write_Settings(Worked_Samples() + Record_Group());
    TZentrovaDialog dialog;
    QVERIFY(Show_Active(dialog));
    TRecordDialog *record = Open_Record(dialog);
    QVERIFY(record && record->isVisible());
    // An edit in progress in the main window is taken before the certificate.
    QLineEdit *actual = Field(*Table(dialog), 0, Actual_Column);
    actual->setFocus();
    actual->setText("15.000");

    const QString date = QDate::currentDate().toString("yyyyMMdd");
    const QString path = home.Path() + "/certificate.pdf";
    QCOMPARE(record->Save_Certificate(path), QString());
    const QString text = Pdf_Text(path);
    for (const QString &expected :
         {QString("Calibration Certificate"), "KX-0042-" + date + "-1", QString("Page 1 of 1"),
          QString("2710"), QString("0000"), QString("27A8"), QString("FE59"), QString("15.200"),
          QString("20.100"), QString("25.050"), QString("predicted, not measured"), QString("Fail"),
          QString("The results relate only to the item calibrated."), QString("A. Tester"),
          QString("End of certificate")})
        QVERIFY2(text.contains(expected), qPrintable(expected + " missing from:\n" + text));

    // The next one of the day counts on, and the first one is not spoilt by
    // a save that cannot be written.
    QCOMPARE(record->Next_Certificate_Number(), "KX-0042-" + date + "-2");
    const QString failure = record->Save_Certificate(home.Path() + "/no/such/folder/c.pdf");
    QVERIFY2(failure.contains("no/such/folder"), qPrintable(failure));

    // Without codes there is no certificate, and nothing is written.
    Retype(Field(*Table(dialog), 1, Reading_Column), "20,1");
    const QString second = home.Path() + "/second.pdf";
    QVERIFY(record->Save_Certificate(second).contains("no new codes"));
    QVERIFY(!QFile::exists(second));
}

void TestRecord::older_file_round_trip()
{
    Home_Folder home;
    home.Write_Settings(Worked_Samples()); // written before the record existed
    {
        TZentrovaDialog dialog;
        QVERIFY(Show_Active(dialog));
        TRecordDialog *record = Open_Record(dialog);
        QCOMPARE(Named<QLineEdit>(*record, "Serial number")->text(), QString());
        QCOMPARE(Named<QLineEdit>(*record, "Model")->text(), QStringLiteral("KX310"));
        QCOMPARE(Named<QLineEdit>(*record, "Resolution")->text(), QStringLiteral("0.1"));
        Named<QLineEdit>(*record, "Serial number")->setText("KX-7");
        QVERIFY(dialog.close());
    }
    const QMap<QString, QString> file = home.Read_Settings();
    // The window's own keys are written as they always were.
    QCOMPARE(file.value("Reading_Value_2"), QStringLiteral("25.05"));
    QCOMPARE(file.value("Serial_Number"), QStringLiteral("KX-7")); // in [Record]
    TZentrovaDialog reloaded;
    TRecordDialog *record = Open_Record(reloaded);
    QCOMPARE(Named<QLineEdit>(*record, "Serial number")->text(), QStringLiteral("KX-7"));
}

QTEST_MAIN(TestRecord)
#include "tst_record.moc"
