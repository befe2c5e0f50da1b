#include "dialoghelpers.h"

#include <QFileInfo>

using Rows = QList<QStringList>;
Q_DECLARE_METATYPE(Rows)

namespace
{
QStringList Same(const char *nominal, const char *measured)
{
    return {nominal, measured, measured, QStringLiteral("0.000")};
}

const Rows default_rows{Same("15", "15.000"), Same("20", "20.000"), Same("25", "25.000")};
} // namespace

class TestSettingsStore : public QObject
{
    Q_OBJECT

private slots:
    void loading_data();
    void loading();
    void absurd_row_count_is_bounded();
    void cut_table_keeps_old_rows_in_the_file();
    void unreadable_values_round_trip();
    void folder_blocked_by_a_file();
    void unwritable_file_is_reported();
};

void TestSettingsStore::loading_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<Rows>("rows");
    QTest::addColumn<QString>("code1");
    QTest::addColumn<QString>("code2");
    QTest::addColumn<int>("nominal_precision");
    QTest::addColumn<int>("measured_precision");

    QTest::newRow("no keys at all") << QByteArray() << default_rows << "2710"
                                    << "0000" << 0 << 3;
    QTest::newRow("row count 0") << QByteArray("Row_Count=0\n") << Rows{Same("15", "15.000")}
                                 << "2710"
                                 << "0000" << 0 << 3;
    QTest::newRow("row count -5") << QByteArray("Row_Count=-5\n") << Rows{Same("15", "15.000")}
                                  << "2710"
                                  << "0000" << 0 << 3;
    QTest::newRow("row count not a number")
        << QByteArray("Row_Count=three\n") << Rows{Same("15", "15.000")} << "2710"
        << "0000" << 0 << 3;
    QTest::newRow("five rows, three stored")
        << QByteArray("Row_Count=5\n"
                      "Nominal_Value_0=10\nActual_Value_0=10.5\nReading_Value_0=10.25\n"
                      "Nominal_Value_1=20\nActual_Value_1=20\nReading_Value_1=20\n"
                      "Nominal_Value_2=25\nActual_Value_2=25\nReading_Value_2=25\n")
        << Rows{{"10", "10.500", "10.250", "-0.250"},
                Same("20", "20.000"),
                Same("25", "25.000"),
                Same("30", "30.000"),
                Same("35", "35.000")}
        << "2710"
        << "0000" << 0 << 3;
    QTest::newRow("actual key missing reads 20")
        << QByteArray("Row_Count=2\nNominal_Value_1=40\nReading_Value_1=41\n")
        << Rows{Same("15", "15.000"), {"40", "20.000", "41.000", "21.000"}} << "2710"
        << "0000" << 0 << 3;
    QTest::newRow("values that are not numbers read 0")
        << QByteArray("Row_Count=1\nNominal_Value_0=x\nActual_Value_0=1,5\nReading_Value_0=2\n"
                      "Existing_Code1=abc\nNominal_Precision=two\n")
        << Rows{{"0", "0.000", "2.000", "2.000"}} << "0000"
        << "0000" << 0 << 3;
    QTest::newRow("stored codes") << QByteArray("Existing_Code1=2.00005\nExisting_Code2=-0.0055\n")
                                  << default_rows << "4E20"
                                  << "FFFB" << 0 << 3;
    QTest::newRow("codes beyond four digits wrap")
        << QByteArray("Existing_Code1=3.5\nExisting_Code2=65.5361\n") << default_rows << "88B8"
        << "0000" << 0 << 3;
    QTest::newRow("precisions 2 and 4")
        << QByteArray("Row_Count=1\nNominal_Precision=2\nMeasured_Precision=4\n")
        << Rows{{"15.00", "15.0000", "15.0000", "0.0000"}} << "2710"
        << "0000" << 2 << 4;
    QTest::newRow("precisions out of range keep the table's own")
        << QByteArray("Row_Count=1\nNominal_Precision=-1\nMeasured_Precision=7\n")
        << Rows{{"15", "15.00", "15.00", "0.00"}} << "2710"
        << "0000" << 0 << 2;
}

void TestSettingsStore::loading()
{
    QFETCH(QByteArray, file);
    QFETCH(Rows, rows);
    QFETCH(QString, code1);
    QFETCH(QString, code2);
    QFETCH(int, nominal_precision);
    QFETCH(int, measured_precision);

    Home_Folder home;
    home.Write_Settings(file);
    {
        TZentrovaDialog dialog;
        QCOMPARE(Shown_Rows(*Table(dialog)), rows);
        QCOMPARE(Code_Field(dialog, 1)->text(), code1);
        QCOMPARE(Code_Field(dialog, 2)->text(), code2);
        QCOMPARE(Table(dialog)->Get_Nominal_Precision(), nominal_precision);
        QCOMPARE(Table(dialog)->Get_Measured_Precision(), measured_precision);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        dialog.close();
    }

    // What was loaded is what the close wrote, and it loads the same again.
    const QMap<QString, QString> saved = home.Read_Settings();
    QCOMPARE(saved.value("Row_Count").toInt(), rows.size());
    QCOMPARE(saved.value("Measured_Precision").toInt(), measured_precision);
    TZentrovaDialog reloaded;
    QCOMPARE(Shown_Rows(*Table(reloaded)), rows);
    QCOMPARE(Code_Field(reloaded, 1)->text(), code1);
    QCOMPARE(Code_Field(reloaded, 2)->text(), code2);
}

void TestSettingsStore::absurd_row_count_is_bounded()
{
    Home_Folder home;
    home.Write_Settings("Row_Count=2147483647\nNominal_Value_999=1\n");
    TZentrovaDialog dialog;
    const Sample_List samples = Table(dialog)->Get_Samples();
    QCOMPARE(samples.size(), TInputWidget::Maximum_Rows);
    QCOMPARE(samples.at(998).nominal, 15.0 + 5 * 998);
    QCOMPARE(samples.at(999).nominal, 1.0);
}

void TestSettingsStore::cut_table_keeps_old_rows_in_the_file()
{
    Home_Folder home;
    home.Write_Settings("Row_Count=5\nNominal_Value_4=99.5\nActual_Value_4=98\n");
    {
        TZentrovaDialog dialog;
        QVERIFY(Show_Active(dialog));
        TInputWidget &table = *Table(dialog);
        for (int row : {2, 3, 4})
            Click_Tick_Box(table, row);
        QTest::mouseClick(Remove_Button(table), Qt::LeftButton);
        QTest::mouseClick(Push_Button(dialog, "Close"), Qt::LeftButton);
    }
    const QMap<QString, QString> file = home.Read_Settings();
    QCOMPARE(file.value("Row_Count"), QStringLiteral("2"));
    QCOMPARE(file.value("Nominal_Value_1"), QStringLiteral("20"));
    // Keys of removed rows stay, unchanged, and are not loaded again.
    QCOMPARE(file.value("Nominal_Value_4"), QStringLiteral("99.5"));
    QCOMPARE(file.value("Actual_Value_4"), QStringLiteral("98"));
    QVERIFY(!file.contains("Nominal_Value_2"));
    TZentrovaDialog reloaded;
    QCOMPARE(Table(reloaded)->Get_Samples().size(), 2);
}

void TestSettingsStore::unreadable_values_round_trip()
{
    Home_Folder home;
    {
        TZentrovaDialog dialog;
        QVERIFY(Show_Active(dialog));
        Retype(Field(*Table(dialog), 0, Actual_Column), "abc");
        Retype(Code_Field(dialog, 2), "");
        dialog.close();
    }
    const QMap<QString, QString> file = home.Read_Settings();
    QCOMPARE(file.value("Actual_Value_0"), QStringLiteral("0"));
    QCOMPARE(file.value("Existing_Code2"), QStringLiteral("-0.0005"));
    TZentrovaDialog reloaded;
    QCOMPARE(Field(*Table(reloaded), 0, Actual_Column)->text(), QStringLiteral("0.000"));
    QCOMPARE(Code_Field(reloaded, 2)->text(), QStringLiteral("0000"));
}

void TestSettingsStore::folder_blocked_by_a_file()
{
    Home_Folder home;
    QFile blocker(home.Path() + "/.zentrova");
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.write("not a folder");
    blocker.close();
    {
        TZentrovaDialog dialog;
        QCOMPARE(Shown_Rows(*Table(dialog)), default_rows);
        Code_Field(dialog, 1)->setText("2711");
        dialog.close();
    }
    // The settings went to the home folder itself; the file in the way is untouched.
    QCOMPARE(home.Read_Settings(home.Path() + "/Settings.ini").value("Existing_Code1"),
             QStringLiteral("1.00015"));
    QVERIFY(QFileInfo(home.Path() + "/.zentrova").isFile());
    QCOMPARE(blocker.size(), qint64(12));
    TZentrovaDialog reloaded;
    QCOMPARE(Code_Field(reloaded, 1)->text(), QStringLiteral("2711"));
}

void TestSettingsStore::unwritable_file_is_reported()
{
    // A folder where the file should be cannot be written, even by root.
    Home_Folder home;
    QVERIFY(QDir(home.Path()).mkpath(".zentrova/Settings.ini"));
    TZentrovaDialog dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QTest::ignoreMessage(
        QtWarningMsg,
        qPrintable("Zentrova Calibrator: could not save the settings to " + home.Settings_Path()));
    QVERIFY(dialog.close());
    QVERIFY(!dialog.isVisible());
    QVERIFY(QFileInfo(home.Settings_Path()).isDir());
}

QTEST_MAIN(TestSettingsStore)
#include "tst_settingsstore.moc"
