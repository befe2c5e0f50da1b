#include "dialoghelpers.h"
#include "fieldmark.h"
#include "numbertext.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QSysInfo>
#include <QTimer>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using Rows = QList<QStringList>;
Q_DECLARE_METATYPE(Rows)
Q_DECLARE_METATYPE(QList<QMessageBox::StandardButton>)

namespace
{
QStringList Same(const char *nominal, const char *measured)
{
    return {nominal, measured, measured, QStringLiteral("0.000")};
}

const QStringList empty_row{"", "", "", ""};
const QByteArray row_15("Nominal_Value_0=15\nActual_Value_0=15\nReading_Value_0=15\n");
const Rows default_rows{Same("15", "15.000"), Same("20", "20.000"), Same("25", "25.000")};
} // namespace

class TestSettingsStore : public QObject
{
    Q_OBJECT

private slots:
    void loading_data();
    void loading();
    void absurd_row_count_is_bounded_data();
    void absurd_row_count_is_bounded();
    void cut_table_keeps_old_rows_in_the_file();
    void unreadable_values_round_trip();
    void folder_blocked_by_a_file();
    void damaged_settings_folders_data();
    void damaged_settings_folders();
    void missing_home_folder_keeps_one_file();
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
    QTest::newRow("row count 0") << QByteArray("Row_Count=0\n") << Rows{empty_row} << "2710"
                                 << "0000" << 0 << 3;
    QTest::newRow("row count -5") << QByteArray("Row_Count=-5\n") << Rows{empty_row} << "2710"
                                  << "0000" << 0 << 3;
    QTest::newRow("row count not a number")
        << QByteArray("Row_Count=three\n") << Rows{empty_row} << "2710"
        << "0000" << 0 << 3;
    QTest::newRow("five rows, three stored: no made-up samples")
        << QByteArray("Row_Count=5\n"
                      "Nominal_Value_0=10\nActual_Value_0=10.5\nReading_Value_0=10.25\n"
                      "Nominal_Value_1=20\nActual_Value_1=20\nReading_Value_1=20\n"
                      "Nominal_Value_2=25\nActual_Value_2=25\nReading_Value_2=25\n")
        << Rows{{"10", "10.500", "10.250", "-0.250"},
                Same("20", "20.000"),
                Same("25", "25.000"),
                empty_row,
                empty_row}
        << "2710"
        << "0000" << 0 << 3;
    QTest::newRow("missing rows and values load empty")
        << QByteArray("Row_Count=2\nNominal_Value_1=40\nReading_Value_1=41\n")
        << Rows{empty_row, {"40", "", "41.000", ""}} << "2710"
        << "0000" << 0 << 3;
    QTest::newRow("values that are not numbers keep their text")
        << QByteArray("Row_Count=1\nNominal_Value_0=x\nActual_Value_0=1,5\nReading_Value_0=2\n"
                      "Existing_Code1=abc\nNominal_Precision=two\n")
        << Rows{{"x", "1,5", "2.000", ""}} << "abc"
        << "0000" << 0 << 3;
    QTest::newRow("codes kept as typed, number-like digits included")
        << QByteArray("Existing_Code1=4E\nExisting_Code1_As_Typed=true\nExisting_Code2=12\n"
                      "Existing_Code2_As_Typed=true\n")
        << default_rows << "4E"
        << "12" << 0 << 3;
    QTest::newRow("an emptied code stays empty")
        << QByteArray("Existing_Code1=\nExisting_Code1_As_Typed=true\n") << default_rows << ""
        << "0000" << 0 << 3;
    QTest::newRow("a code that is neither number nor digits is no code")
        << QByteArray("Existing_Code2=-0.0005x\n") << default_rows << "2710"
        << "" << 0 << 3;
    QTest::newRow("stored codes") << QByteArray("Existing_Code1=2.00005\nExisting_Code2=-0.0055\n")
                                  << default_rows << "4E20"
                                  << "FFFB" << 0 << 3;
    QTest::newRow("codes beyond four digits wrap")
        << QByteArray("Existing_Code1=3.5\nExisting_Code2=65.5361\n") << default_rows << "88B8"
        << "0000" << 0 << 3;
    QTest::newRow("precisions 2 and 4")
        << QByteArray("Row_Count=1\nNominal_Precision=2\nMeasured_Precision=4\n" + row_15)
        << Rows{{"15.00", "15.0000", "15.0000", "0.0000"}} << "2710"
        << "0000" << 2 << 4;
    QTest::newRow("precisions out of range keep the table's own")
        << QByteArray("Row_Count=1\nNominal_Precision=-1\nMeasured_Precision=7\n" + row_15)
        << Rows{{"15", "15.00", "15.00", "0.00"}} << "2710"
        << "0000" << 0 << 2;
    QTest::newRow("digits beyond the precision are kept")
        << QByteArray("Row_Count=1\nNominal_Value_0=15\nActual_Value_0=15.0012\n"
                      "Reading_Value_0=15\n")
        << Rows{{"15", "15.0012", "15.000", "-0.001"}} << "2710"
        << "0000" << 0 << 3;
    QTest::newRow("nan is shown as it stands")
        << QByteArray("Row_Count=1\nNominal_Value_0=15\nActual_Value_0=nan\nReading_Value_0=15\n")
        << Rows{{"15", "nan", "15.000", ""}} << "2710"
        << "0000" << 0 << 3;
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
        // Whatever does not read as a number is marked and gives no code.
        bool unreadable = false;
        for (int row = 0; row < rows.size(); ++row)
            for (int column : {Nominal_Column, Actual_Column, Reading_Column})
            {
                QLineEdit *field = Field(*Table(dialog), row, column);
                const bool readable = Read_Number_Text(field->text(), nullptr);
                QCOMPARE(Is_Field_Marked(field), !readable);
                unreadable = unreadable || (!readable && column != Nominal_Column);
            }
        // A code of fewer than four digits is kept as it stands, marked.
        for (int code : {1, 2})
            QCOMPARE(Is_Field_Marked(Code_Field(dialog, code)),
                     Code_Field(dialog, code)->text().size() != 4);
        if (unreadable || code1.size() != 4 || code2.size() != 4)
            QCOMPARE(Results(dialog).at(0), QStringLiteral("----"));
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

void TestSettingsStore::absurd_row_count_is_bounded_data()
{
    QTest::addColumn<QByteArray>("count");
    QTest::newRow("largest int") << QByteArray("2147483647");
    QTest::newRow("beyond an int") << QByteArray("2147483648");
    QTest::newRow("beyond 64 bits") << QByteArray("99999999999999999999999");
}

void TestSettingsStore::absurd_row_count_is_bounded()
{
    QFETCH(QByteArray, count);
    Home_Folder home;
    home.Write_Settings("Row_Count=" + count + "\nNominal_Value_999=1\n");
    TZentrovaDialog dialog;
    const Sample_List samples = Table(dialog)->Get_Samples();
    QCOMPARE(samples.size(), TInputWidget::Maximum_Rows);
    QCOMPARE(Shown_Rows(*Table(dialog)).at(998), empty_row);
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
    // Row 1 was not in the file: it loaded empty and is kept empty.
    QVERIFY(file.contains("Nominal_Value_1"));
    QCOMPARE(file.value("Nominal_Value_1"), QString());
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
        Retype(Field(*Table(dialog), 1, Actual_Column), "20.0012");
        Retype(Code_Field(dialog, 2), "");
        Retype(Code_Field(dialog, 1), "4e");
        dialog.close();
    }
    const QMap<QString, QString> file = home.Read_Settings();
    QCOMPARE(file.value("Actual_Value_0"), QStringLiteral("abc"));
    QCOMPARE(file.value("Actual_Value_1"), QStringLiteral("20.0012"));
    // A code that is not whole is kept as typed, never as the value of a
    // code nobody typed (an empty field once came back as 0000).
    QCOMPARE(file.value("Existing_Code2"), QString());
    QCOMPARE(file.value("Existing_Code1"), QStringLiteral("4e"));
    TZentrovaDialog reloaded;
    QCOMPARE(Field(*Table(reloaded), 0, Actual_Column)->text(), QStringLiteral("abc"));
    QCOMPARE(Field(*Table(reloaded), 1, Actual_Column)->text(), QStringLiteral("20.0012"));
    QCOMPARE(Code_Field(reloaded, 2)->text(), QString());
    QCOMPARE(Code_Field(reloaded, 1)->text(), QStringLiteral("4e"));
    QVERIFY(Is_Field_Marked(Code_Field(reloaded, 1)));
    QCOMPARE(Results(reloaded).at(1), QStringLiteral("----"));

    // Whole again, the code is stored as the number every build reads.
    {
        Retype(Code_Field(reloaded, 1), "2710");
        Retype(Code_Field(reloaded, 2), "FFFB");
        QVERIFY(!Is_Field_Marked(Code_Field(reloaded, 1)));
        reloaded.close();
    }
    const QMap<QString, QString> whole = home.Read_Settings();
    QCOMPARE(whole.value("Existing_Code1"), QStringLiteral("1.00005"));
    QCOMPARE(whole.value("Existing_Code2"), QStringLiteral("-0.0055"));
    QVERIFY(!whole.contains("Existing_Code1_As_Typed"));
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

namespace
{
// Records the warnings the program prints, as a user's terminal would show them.
class Warning_Recorder
{
public:
    Warning_Recorder() { d_previous = qInstallMessageHandler(&Record); }
    ~Warning_Recorder() { qInstallMessageHandler(d_previous); }
    Warning_Recorder(const Warning_Recorder &) = delete;
    Warning_Recorder &operator=(const Warning_Recorder &) = delete;
    static QStringList &Warnings()
    {
        static QStringList warnings;
        return warnings;
    }

private:
    static void Record(QtMsgType type, const QMessageLogContext &, const QString &message)
    {
        if (type == QtWarningMsg && message.startsWith("Zentrova"))
            Warnings() << message;
    }
    QtMessageHandler d_previous;
};

// Answers each warning dialog that the window shows with the next button of
// the list, and keeps what each dialog said.
class Dialog_Answers : public QObject
{
public:
    explicit Dialog_Answers(const QList<QMessageBox::StandardButton> &answers) : d_answers(answers)
    {
        d_timer.setInterval(20);
        connect(&d_timer, &QTimer::timeout, this, [this] { Answer(); });
        d_timer.start();
    }
    QStringList Texts() const { return d_texts; }

private:
    void Answer()
    {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || !box->isVisible() || d_answers.isEmpty())
            return;
        d_texts << box->text() + "\n" + box->informativeText();
        box->button(d_answers.takeFirst())->click();
    }
    QList<QMessageBox::StandardButton> d_answers;
    QStringList d_texts;
    QTimer d_timer;
};

void Write_File(const QString &path, const QByteArray &content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

// A settings file of that many rows, each value a different number.
QByteArray Many_Rows(int rows)
{
    QByteArray lines = "Row_Count=" + QByteArray::number(rows) + "\n";
    for (int row = 0; row < rows; ++row)
    {
        const QByteArray index = QByteArray::number(row);
        const QByteArray value = QByteArray::number(15.0 + 0.125 * row);
        lines += "Nominal_Value_" + index + "=" + value + "\nActual_Value_" + index + "=" + value +
                 "\nReading_Value_" + index + "=" + value + "\n";
    }
    return lines;
}

struct Undo_Command
{
    QStringList command;
    void Run()
    {
        if (!command.isEmpty())
            QProcess::execute(command.takeFirst(), command);
        command.clear();
    }
    ~Undo_Command() { Run(); }
};

// A process id that no process has any more.
QByteArray Dead_Process_Id()
{
    const pid_t child = fork();
    if (child == 0)
        _exit(0);
    waitpid(child, nullptr, 0);
    return QByteArray::number(child);
}
} // namespace

void TestSettingsStore::damaged_settings_folders_data()
{
    QTest::addColumn<QString>("damage");
    QTest::addColumn<QList<QMessageBox::StandardButton>>("answers");
    QTest::addColumn<QString>("reason"); // what the dialog and stderr say; empty: saved
    QTest::addColumn<bool>("closed");

    using Answers = QList<QMessageBox::StandardButton>;
    QTest::newRow("folder where the file should be, cancel")
        << "folder" << Answers{QMessageBox::Cancel} << "a folder stands where the file should be"
        << false;
    QTest::newRow("folder where the file should be, try again, then close")
        << "folder" << Answers{QMessageBox::Retry, QMessageBox::Discard}
        << "a folder stands where the file should be" << true;
    QTest::newRow("lock file is a folder")
        << "lock folder" << Answers{QMessageBox::Discard} << "lock file" << true;
    QTest::newRow("lock file is a dangling link")
        << "lock link" << Answers{QMessageBox::Discard} << "lock file" << true;
    QTest::newRow("fresh empty lock file")
        << "empty lock" << Answers{QMessageBox::Discard} << "lock file" << true;
    QTest::newRow("pipe where the file should be")
        << "pipe" << Answers{QMessageBox::Discard} << "not a regular file" << true;
    QTest::newRow("folder made unwritable") << "immutable" << Answers{QMessageBox::Discard}
                                            << "cannot be written: Operation not permitted" << true;
    QTest::newRow("disk full") << "full" << Answers{QMessageBox::Discard}
                               << "cannot be written: No space left on device" << true;
    // Room for a small file, not for the file: the system's words all the same.
    QTest::newRow("disk all but full")
        << "nearly full" << Answers{QMessageBox::Discard} << "No space left on device" << true;
    QTest::newRow("stale lock of a dead process") << "stale lock" << Answers{} << "" << true;
    QTest::newRow("byte order mark") << "bom" << Answers{} << "" << true;
    QTest::newRow("line without equals sign") << "no equals" << Answers{} << "" << true;
    QTest::newRow("unterminated section header") << "open header" << Answers{} << "" << true;
}

void TestSettingsStore::damaged_settings_folders()
{
    QFETCH(QString, damage);
    QFETCH(QList<QMessageBox::StandardButton>, answers);
    QFETCH(QString, reason);
    QFETCH(bool, closed);

    const int many_rows = 300;
    Home_Folder home;
    const QString file = home.Settings_Path();
    const QString lock = file + ".lock";
    home.Write_Settings("Row_Count=2\nNominal_Value_7=77\n");
    if (damage == "folder")
    {
        QVERIFY(QFile::remove(file));
        QVERIFY(QDir().mkpath(file));
    }
    else if (damage == "lock folder")
        QVERIFY(QDir().mkpath(lock));
    else if (damage == "lock link")
        QVERIFY(QFile::link(home.Path() + "/nowhere/at/all", lock));
    else if (damage == "empty lock")
        Write_File(lock, QByteArray());
    else if (damage == "stale lock")
        Write_File(lock, Dead_Process_Id() + "\nzentrova-calibrator\n" +
                             QSysInfo::machineHostName().toUtf8() + "\n");
    else if (damage == "bom")
        Write_File(file, "\xEF\xBB\xBF[General]\nRow_Count=2\nNominal_Value_7=77\n");
    else if (damage == "no equals")
        Write_File(file, "[General]\nRow_Count=2\nthis line has no sign\nNominal_Value_7=77\n");
    else if (damage == "open header")
        Write_File(file, "[General\nRow_Count=2\nNominal_Value_7=77\n");

    else if (damage == "pipe")
    {
        QVERIFY(QFile::remove(file));
        QCOMPARE(mkfifo(QFile::encodeName(file).constData(), 0600), 0);
    }
    // What a machine lets only its administrator do is undone however the
    // test ends.
    Undo_Command undo;
    const QString folder = QFileInfo(file).absolutePath();
    if (damage == "immutable")
    {
        if (QProcess::execute("chattr", {"+i", folder}) != 0)
            QSKIP("chattr +i is not allowed here");
        undo.command = QStringList{"chattr", "-i", folder};
    }
    else if (damage == "full" || damage == "nearly full")
    {
        if (QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=64k", "tmpfs", folder}) != 0)
            QSKIP("a small file system cannot be mounted here");
        undo.command = QStringList{"umount", folder};
        home.Write_Settings(damage == "full" ? QByteArray("Row_Count=2\nNominal_Value_7=77\n")
                                             : Many_Rows(many_rows));
        QFile filler(folder + "/filler");
        QVERIFY(filler.open(QIODevice::WriteOnly));
        while (filler.write(QByteArray(4096, 'x')) > 0 && filler.flush())
            ;
        // A few KiB left: room for a small file, not for the settings of
        // many samples (about 20 KiB).
        filler.close();
        if (damage == "nearly full")
            QVERIFY(QFile::resize(filler.fileName(), QFileInfo(filler).size() - 12 * 1024));
    }

    const Warning_Recorder recorder;
    Warning_Recorder::Warnings().clear();
    Dialog_Answers dialog_answers(answers);
    QElapsedTimer timer;
    timer.start();
    {
        TZentrovaDialog dialog;
        QVERIFY(Show_Active(dialog));
        Retype(Code_Field(dialog, 1), "4E20");
        // The file's rows, or the defaults where the file could not be read.
        const bool unreadable = damage == "folder" || damage == "pipe";
        QCOMPARE(Table(dialog)->Get_Samples().size(), damage == "nearly full" ? many_rows
                                                      : unreadable            ? 3
                                                                              : 2);
        QTest::mouseClick(Push_Button(dialog, "Close"), Qt::LeftButton);
        QCOMPARE(!dialog.isVisible(), closed);
        QCOMPARE(dialog_answers.Texts().size(), answers.size());
        for (const QString &text : dialog_answers.Texts())
        {
            QVERIFY2(text.contains(reason) && text.contains(file), qPrintable(text));
            QVERIFY(text.contains("Try again"));
        }
        QCOMPARE(Warning_Recorder::Warnings().size(), answers.size());
        for (const QString &warning : Warning_Recorder::Warnings())
            QVERIFY2(
                warning.startsWith("Zentrova Calibrator: could not save the settings to " + file) &&
                    warning.contains(reason),
                qPrintable(warning));
        if (!closed)
        {
            // Nothing was lost: the window is still there with the user's
            // values, and once the folder is mended the close saves them.
            QCOMPARE(Code_Field(dialog, 1)->text(), QStringLiteral("4E20"));
            QVERIFY(QDir(file).removeRecursively());
            QTest::mouseClick(Push_Button(dialog, "Close"), Qt::LeftButton);
            QVERIFY(!dialog.isVisible());
            reason.clear();
        }
    }
    undo.Run();
    // Every wait for the lock is bounded: a few seconds per attempt.
    QVERIFY(timer.elapsed() < 5000 * (answers.size() + 1));

    if (damage == "pipe")
    {
        // Nothing was written into it, nor in its place (reading it would block).
        QVERIFY(QFileInfo(file).exists() && !QFileInfo(file).isFile());
        return;
    }
    const QMap<QString, QString> saved = home.Read_Settings();
    if (reason.isEmpty())
    {
        QCOMPARE(saved.value("Existing_Code1"), QStringLiteral("2.00005"));
        QCOMPARE(saved.value("Row_Count"), damage == "folder" ? QStringLiteral("3") : "2");
        QCOMPARE(Warning_Recorder::Warnings().size(), answers.size());
        // What the user had in the file beyond the rows stays (where the
        // file was a folder, there was nothing).
        if (damage != "folder")
            QCOMPARE(saved.value("Nominal_Value_7"), QStringLiteral("77"));
    }
    else
    {
        QVERIFY(saved.value("Existing_Code1").isEmpty());
    }
}

void TestSettingsStore::missing_home_folder_keeps_one_file()
{
    Home_Folder home;
    const QString missing = home.Path() + "/not/yet";
    qputenv("HOME", missing.toUtf8());
    {
        TZentrovaDialog dialog;
        QVERIFY(Show_Active(dialog));
        Retype(Code_Field(dialog, 2), "FFFB");
        QVERIFY(dialog.close());
    }
    QVERIFY(QFile::exists(missing + "/.zentrova/Settings.ini"));
    QVERIFY(!QFile::exists(missing + "/Settings.ini"));
    TZentrovaDialog reloaded;
    QCOMPARE(Code_Field(reloaded, 2)->text(), QStringLiteral("FFFB"));
}

QTEST_MAIN(TestSettingsStore)
#include "tst_settingsstore.moc"
