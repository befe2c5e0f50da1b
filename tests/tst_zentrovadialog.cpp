#include "dialoghelpers.h"
#include "fieldmark.h"
#include "settingsdialog.h"

#include <QApplication>
#include <QSpinBox>
#include <QTextEdit>

using Pairs = QList<QPair<QString, QString>>; // (actual, reading) typed per row

class TestZentrovaDialog : public QObject
{
    Q_OBJECT

private slots:
    void first_start_without_a_file();
    void layout_and_fonts();
    void typing_recomputes_data();
    void typing_recomputes();
    void code_field_marked_when_left_data();
    void code_field_marked_when_left();
    void single_sample_after_removing_rows();
    void unreadable_text_holds_back_the_codes_data();
    void unreadable_text_holds_back_the_codes();
    void unreadable_nominal_is_marked_only();
    void help_button_toggles_the_panel();
    void enter_does_not_close();
    void closing_saves_data();
    void closing_saves();
    void settings_dialog_accept();
    void settings_dialog_cancel_data();
    void settings_dialog_cancel();
    void settings_dialog_ranges();
};

void TestZentrovaDialog::first_start_without_a_file()
{
    Home_Folder home;
    TZentrovaDialog dialog;
    // Computed before the window is ever shown.
    QCOMPARE(Results(dialog), (QStringList{"2710", "0000", "0.000 " + Unit()}));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));

    QCOMPARE(dialog.windowTitle(), QStringLiteral("Zentrova Calibrator Version 2.1"));
    QCOMPARE(Shown_Rows(*Table(dialog)), (QList<QStringList>{{"15", "15.000", "15.000", "0.000"},
                                                             {"20", "20.000", "20.000", "0.000"},
                                                             {"25", "25.000", "25.000", "0.000"}}));
    QCOMPARE(Code_Field(dialog, 1)->text(), QStringLiteral("2710"));
    QCOMPARE(Code_Field(dialog, 2)->text(), QStringLiteral("0000"));
    QCOMPARE(Help_Button(dialog)->text(), QStringLiteral("Show Help"));
    QVERIFY(!Help_Button(dialog)->isChecked());
    QVERIFY(!dialog.findChild<QTextEdit *>()->isVisible());
    // The folder is made at start, the file only when the window closes.
    QVERIFY(QFileInfo(home.Path() + "/.zentrova").isDir());
    QVERIFY(!QFile::exists(home.Settings_Path()));
}

void TestZentrovaDialog::layout_and_fonts()
{
    Home_Folder home;
    TZentrovaDialog dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));

    QCOMPARE(dialog.layout()->sizeConstraint(), QLayout::SetFixedSize);
    QCOMPARE(dialog.minimumSize(), dialog.maximumSize()); // the user cannot resize it

    const QFont code_font = Code_Field(dialog, 1)->font();
    QCOMPARE(code_font.family(), QStringLiteral("Verdana"));
    QCOMPARE(code_font.pointSize(), 16);
    QCOMPARE(code_font.weight(), int(QFont::Medium));
    QCOMPARE(Result(dialog, "New Code 2")->font(), code_font);
    // The data range keeps the application's font.
    QCOMPARE(Result(dialog, "Data Range")->font(), QApplication::font());
    for (QLabel *label : dialog.findChildren<QLabel *>())
    {
        if (label->text() == "Data Range:")
            QCOMPARE(label->font(), QApplication::font());
        if (label->text() == "New Code 1:" || label->text() == "Input Temperaure Samples:")
            QCOMPARE(label->font(), code_font);
    }
    QCOMPARE(Result(dialog, "New Code 1")->frameShape(), QFrame::StyledPanel);
    QCOMPARE(Code_Field(dialog, 2)->alignment(), Qt::AlignCenter);
    QCOMPARE(Code_Field(dialog, 2)->maximumWidth(), 100);
    QVERIFY(!Push_Button(dialog, "Close")->autoDefault());
}

void TestZentrovaDialog::typing_recomputes_data()
{
    QTest::addColumn<QString>("code1");
    QTest::addColumn<QString>("code2");
    QTest::addColumn<Pairs>("rows");
    QTest::addColumn<QStringList>("results");

    const Pairs three{{"15.0", "15.2"}, {"20.0", "20.1"}, {"25.0", "25.05"}};
    QTest::newRow("three samples") << ""
                                   << "" << three << QStringList{"27A8", "FE59", "0.150 " + Unit()};
    QTest::newRow("existing code 2 FFFB")
        << ""
        << "FFFB" << three << QStringList{"27A8", "FE54", "0.150 " + Unit()};
    QTest::newRow("lower-case code")
        << ""
        << "fffb" << three << QStringList{"27A8", "FE54", "0.150 " + Unit()};
    QTest::newRow("an empty code field gives no code")
        << ""
        << "<empty>" << three << QStringList{"----", "----", "---- " + Unit()};
    QTest::newRow("equal readings give no result")
        << ""
        << "" << Pairs{{"20.0", "20.0"}, {"21.0", "20.0"}, {"22.0", "20.0"}}
        << QStringList{"----", "----", "---- " + Unit()};
    QTest::newRow("letters give no result")
        << ""
        << "" << Pairs{{"abc", "0.5"}, {"20.0", "20.5"}, {"40.0", "40.5"}}
        << QStringList{"----", "----", "---- " + Unit()};
    QTest::newRow("infinite reading gives no result")
        << ""
        << "" << Pairs{{"15", "inf"}, {"20", "20"}, {"25", "25"}}
        << QStringList{"----", "----", "---- " + Unit()};
}

void TestZentrovaDialog::typing_recomputes()
{
    QFETCH(QString, code1);
    QFETCH(QString, code2);
    QFETCH(Pairs, rows);
    QFETCH(QStringList, results);

    Home_Folder home;
    TZentrovaDialog dialog;
    QVERIFY(Show_Active(dialog));
    TInputWidget &table = *Table(dialog);
    for (int row = 0; row < rows.size(); ++row)
    {
        Retype(Field(table, row, Actual_Column), rows[row].first);
        Retype(Field(table, row, Reading_Column), rows[row].second);
    }
    if (!code1.isEmpty())
        Retype(Code_Field(dialog, 1), code1);
    if (!code2.isEmpty())
        Retype(Code_Field(dialog, 2), code2 == "<empty>" ? QString() : code2);
    QCOMPARE(Results(dialog), results);
}

void TestZentrovaDialog::code_field_marked_when_left_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("then");
    QTest::addColumn<bool>("marked");
    QTest::addColumn<QString>("new_code2");
    QTest::newRow("two digits and Tab") << "12"
                                        << "" << true << "----";
    QTest::newRow("three digits and Tab") << "FFF"
                                          << "" << true << "----";
    QTest::newRow("the fourth digit clears the mark") << "FFF"
                                                      << "B" << false << "FE54";
}

void TestZentrovaDialog::code_field_marked_when_left()
{
    QFETCH(QString, typed);
    QFETCH(QString, then);
    QFETCH(bool, marked);
    QFETCH(QString, new_code2);
    Home_Folder home;
    home.Write_Settings(Worked_Samples());
    TZentrovaDialog dialog;
    QVERIFY(Show_Active(dialog));
    THexEditWidget *field = Code_Field(dialog, 2);
    field->setFocus();
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Delete);
    QTest::keyClicks(field, typed);
    // The keyboard leaves: Qt sends no editingFinished for a mask not filled.
    QTest::keyClick(field, Qt::Key_Tab);
    QVERIFY(!field->hasFocus());
    QVERIFY(Is_Field_Marked(field));
    if (!then.isEmpty())
    {
        field->setFocus();
        field->setCursorPosition(3);
        QTest::keyClicks(field, then);
    }
    QCOMPARE(Is_Field_Marked(field), marked);
    QCOMPARE(Results(dialog).at(1), new_code2);
}

namespace
{
bool Is_Marked(const QLineEdit *field)
{
    const QString words = field->toolTip();
    return words.contains("Not a number") && words.contains("decimal separator") &&
           field->accessibleDescription() == words &&
           field->palette().color(QPalette::Base) !=
               field->parentWidget()->palette().color(QPalette::Base);
}
} // namespace

void TestZentrovaDialog::unreadable_text_holds_back_the_codes_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("typed");
    QTest::newRow("decimal comma") << int(Actual_Column) << "15,2";
    QTest::newRow("emptied") << int(Actual_Column) << "";
    QTest::newRow("letters") << int(Reading_Column) << "abc";
    QTest::newRow("overflows a double") << int(Actual_Column) << "1e400";
    QTest::newRow("nan") << int(Reading_Column) << "nan";
    QTest::newRow("minus sign alone") << int(Actual_Column) << "-";
    QTest::newRow("a blank") << int(Reading_Column) << " ";
}

void TestZentrovaDialog::unreadable_text_holds_back_the_codes()
{
    QFETCH(int, column);
    QFETCH(QString, typed);
    Home_Folder home;
    {
        TZentrovaDialog dialog;
        QVERIFY(Show_Active(dialog));
        TInputWidget &table = *Table(dialog);
        const QStringList actuals{"15.2", "20.2", "25.2"};
        for (int row = 0; row < 3; ++row)
            Retype(Field(table, row, Actual_Column), actuals[row]);
        const QStringList good = Results(dialog);
        QCOMPARE(good, (QStringList{"2710", "00C7", "0.000 " + Unit()}));
        QLabel *range = Result(dialog, "Data Range");
        QVERIFY(!range->toolTip().contains("not a number"));

        QLineEdit *field = Field(table, 0, column);
        field->setFocus(); // the field left behind reports its own edit
        QSignalSpy reports(&table, &TInputWidget::Data_Changed);
        Retype(field, typed);
        // One a keystroke (Delete empties the field); Enter adds none.
        QCOMPARE(reports.count(), std::max(1, int(typed.size())));
        QCOMPARE(field->text(), typed);
        QVERIFY(Is_Marked(field));
        QVERIFY(!Is_Marked(Field(table, 1, column)));
        QCOMPARE(Results(dialog), (QStringList{"----", "----", "---- " + Unit()}));
        QVERIFY2(range->toolTip().contains("Row 1 holds text that is not a number"),
                 qPrintable(range->toolTip()));
        QCOMPARE(table.Get_Samples().at(0).actual, column == Actual_Column ? 0.0 : 15.2);

        // Editing a code recomputes, and still gives no code.
        Retype(Code_Field(dialog, 2), "0001");
        QCOMPARE(Results(dialog).at(1), QStringLiteral("----"));
        Retype(Code_Field(dialog, 2), "0000");

        // The mark goes as soon as the text reads as a number again, and the
        // codes come back once the edit is finished.
        field->setFocus();
        field->selectAll();
        QTest::keyClicks(field, column == Actual_Column ? "15.2" : "15");
        QVERIFY(!Is_Marked(field));
        QVERIFY(field->toolTip().isEmpty());
        QCOMPARE(field->palette().color(QPalette::Base),
                 field->parentWidget()->palette().color(QPalette::Base));
        QTest::keyClick(field, Qt::Key_Return);
        QCOMPARE(Results(dialog), good);
        QVERIFY(!range->toolTip().contains("not a number"));

        Retype(field, typed);
        QVERIFY(dialog.close());
    }
    // The text is kept as typed, and the next start shows it marked, with
    // no codes, as typing it did.
    const QMap<QString, QString> file = home.Read_Settings();
    QVERIFY(file.contains(column == Actual_Column ? "Actual_Value_0" : "Reading_Value_0"));
    QCOMPARE(file.value("Actual_Value_1"), QStringLiteral("20.2"));
    TZentrovaDialog reloaded;
    QLineEdit *kept = Field(*Table(reloaded), 0, column);
    QCOMPARE(kept->text(), typed);
    QVERIFY(Is_Marked(kept));
    QCOMPARE(Results(reloaded), (QStringList{"----", "----", "---- " + Unit()}));
}

void TestZentrovaDialog::unreadable_nominal_is_marked_only()
{
    Home_Folder home;
    TZentrovaDialog dialog;
    QVERIFY(Show_Active(dialog));
    TInputWidget &table = *Table(dialog);
    Retype(Field(table, 0, Actual_Column), "15.2");
    const QStringList good = Results(dialog);
    QLineEdit *nominal = Field(table, 0, Nominal_Column);
    Retype(nominal, "15,0");
    QVERIFY(Is_Marked(nominal));
    QCOMPARE(Results(dialog), good);
    QVERIFY(!Result(dialog, "Data Range")->toolTip().contains("not a number"));
    Retype(nominal, "15");
    QVERIFY(!Is_Marked(nominal));
}

void TestZentrovaDialog::single_sample_after_removing_rows()
{
    Home_Folder home;
    TZentrovaDialog dialog;
    QVERIFY(Show_Active(dialog));
    TInputWidget &table = *Table(dialog);
    Click_Tick_Box(table, 1);
    Click_Tick_Box(table, 2);
    QTest::mouseClick(Remove_Button(table), Qt::LeftButton);
    Flush_Deleted_Widgets();
    QCOMPARE(table.Get_Samples().size(), 1);

    Retype(Field(table, 0, Actual_Column), "25.0");
    Retype(Field(table, 0, Reading_Column), "25.3");
    QCOMPARE(Results(dialog), (QStringList{"2710", "FED4", "0.000 " + Unit()}));

    // With one sample only Code 2 moves, whatever Code 1 is.
    Retype(Code_Field(dialog, 1), "8000");
    QCOMPARE(Results(dialog), (QStringList{"8000", "FED4", "0.000 " + Unit()}));
}

void TestZentrovaDialog::help_button_toggles_the_panel()
{
    Home_Folder home;
    TZentrovaDialog dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    const QSize before = dialog.size();
    QToolButton *help = Help_Button(dialog);
    auto *panel = dialog.findChild<QTextEdit *>();

    QTest::mouseClick(help, Qt::LeftButton);
    QTRY_VERIFY(dialog.width() > before.width());
    QVERIFY(panel->isVisible());
    QVERIFY(panel->isReadOnly());
    QCOMPARE(help->text(), QStringLiteral("Hide Help"));
    QVERIFY(panel->toPlainText().startsWith("Recommended Calibration Procedure"));
    QVERIFY(panel->toPlainText().contains(
        "7) Enter the new code 2 correction in the Zentrova thermometer"));

    QTest::mouseClick(help, Qt::LeftButton);
    QTRY_COMPARE(dialog.size(), before);
    QVERIFY(!panel->isVisible());
    QCOMPARE(help->text(), QStringLiteral("Show Help"));
}

void TestZentrovaDialog::enter_does_not_close()
{
    Home_Folder home;
    TZentrovaDialog dialog;
    QVERIFY(Show_Active(dialog));
    Retype(Code_Field(dialog, 1), "2711");
    QTest::keyClick(&dialog, Qt::Key_Return);
    QTest::keyClick(&dialog, Qt::Key_Enter);
    QVERIFY(dialog.isVisible());
    QVERIFY(!QFile::exists(home.Settings_Path()));
}

void TestZentrovaDialog::closing_saves_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Close button") << "button";
    QTest::newRow("window frame close request") << "close";
    QTest::newRow("Escape") << "escape";
}

void TestZentrovaDialog::closing_saves()
{
    QFETCH(QString, how);
    Home_Folder home;
    {
        TZentrovaDialog dialog;
        QVERIFY(Show_Active(dialog));
        TInputWidget &table = *Table(dialog);
        QTest::mouseClick(Add_Button(table), Qt::LeftButton);
        Retype(Field(table, 3, Nominal_Column), "30");
        Retype(Field(table, 3, Actual_Column), "30.125");
        Retype(Field(table, 3, Reading_Column), "29.5");
        Retype(Code_Field(dialog, 1), "4E20");
        Retype(Code_Field(dialog, 2), "FFFB");

        QSignalSpy rejected(&dialog, &QDialog::rejected);
        if (how == "button")
            QTest::mouseClick(Push_Button(dialog, "Close"), Qt::LeftButton);
        else if (how == "close")
            QVERIFY(dialog.close());
        else
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(rejected.count(), 0);
    }

    const QMap<QString, QString> file = home.Read_Settings();
    QCOMPARE(file.value("Row_Count"), QStringLiteral("4"));
    QCOMPARE(file.value("Nominal_Value_3"), QStringLiteral("30"));
    QCOMPARE(file.value("Actual_Value_3"), QStringLiteral("30.125"));
    QCOMPARE(file.value("Reading_Value_3"), QStringLiteral("29.5"));
    QCOMPARE(file.value("Existing_Code1"), QStringLiteral("2.00005"));
    QCOMPARE(file.value("Existing_Code2"), QStringLiteral("-0.0055"));
    QCOMPARE(file.value("Nominal_Precision"), QStringLiteral("0"));
    QCOMPARE(file.value("Measured_Precision"), QStringLiteral("3"));

    TZentrovaDialog reloaded;
    QCOMPARE(Shown_Rows(*Table(reloaded)).at(3), (QStringList{"30", "30.125", "29.500", "-0.625"}));
    QCOMPARE(Code_Field(reloaded, 1)->text(), QStringLiteral("4E20"));
    QCOMPARE(Code_Field(reloaded, 2)->text(), QStringLiteral("FFFB"));
}

namespace
{
// Acts on the settings dialog once it runs modally, then lets the test go on.
template <typename Action> void When_Settings_Shown(Action action)
{
    QTimer::singleShot(0,
                       [action]
                       {
                           auto *settings =
                               qobject_cast<TSettingsDialog *>(QApplication::activeModalWidget());
                           QVERIFY(settings);
                           action(*settings);
                       });
}

QSpinBox *Spin_Box(const TSettingsDialog &settings, int index)
{
    // Created nominal first, measured second.
    return settings.findChildren<QSpinBox *>().at(index);
}

void Open_Settings(TZentrovaDialog &dialog)
{
    QTest::mouseClick(Named<QToolButton>(dialog, "Settings"), Qt::LeftButton);
}
} // namespace

void TestZentrovaDialog::settings_dialog_accept()
{
    Home_Folder home;
    TZentrovaDialog dialog;
    QVERIFY(Show_Active(dialog));
    TInputWidget &table = *Table(dialog);
    Retype(Field(table, 0, Actual_Column), "15.0");
    Retype(Field(table, 0, Reading_Column), "15.2");
    Retype(Field(table, 1, Reading_Column), "20.125");
    const QStringList results = Results(dialog);

    QSize size;
    QString title;
    When_Settings_Shown(
        [&](TSettingsDialog &settings)
        {
            size = settings.size();
            title = settings.windowTitle();
            QCOMPARE(Spin_Box(settings, 0)->value(), 0);
            QCOMPARE(Spin_Box(settings, 1)->value(), 3);
            Spin_Box(settings, 0)->setValue(2);
            Spin_Box(settings, 1)->setValue(1);
            // Return presses Accept, the dialog's only default button.
            QTest::keyClick(Spin_Box(settings, 1), Qt::Key_Return);
        });
    Open_Settings(dialog);
    QCOMPARE(size, QSize(377, 180));
    QCOMPARE(title, QStringLiteral("Settings"));

    QCOMPARE(table.Get_Nominal_Precision(), 2);
    QCOMPARE(table.Get_Measured_Precision(), 1);
    QCOMPARE(Shown_Rows(table).at(0), (QStringList{"15.00", "15.0", "15.2", "0.2"}));
    QCOMPARE(Field(table, 1, Reading_Column)->text(), QStringLiteral("20.1"));
    // Rounded texts give other codes: the codes shown are those of the texts
    // shown (typing the shown text again changes nothing).
    const QStringList rounded = Results(dialog);
    QVERIFY(rounded != results);
    Retype(Field(table, 1, Reading_Column), "20.1");
    QCOMPARE(Results(dialog), rounded);

    // The same dialog serves the next visit, preset from the table again.
    auto *settings = dialog.findChild<TSettingsDialog *>();
    When_Settings_Shown(
        [&](TSettingsDialog &shown)
        {
            QCOMPARE(&shown, settings);
            QCOMPARE(Spin_Box(shown, 0)->value(), 2);
            QCOMPARE(Spin_Box(shown, 1)->value(), 1);
            QTest::mouseClick(Push_Button(shown, "Accept"), Qt::LeftButton);
        });
    Open_Settings(dialog);
    QCOMPARE(dialog.findChildren<TSettingsDialog *>().size(), 1);
}

void TestZentrovaDialog::settings_dialog_cancel_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Cancel") << "cancel";
    QTest::newRow("Escape") << "escape";
    QTest::newRow("window close") << "close";
}

void TestZentrovaDialog::settings_dialog_cancel()
{
    QFETCH(QString, how);
    Home_Folder home;
    TZentrovaDialog dialog;
    QVERIFY(Show_Active(dialog));
    TInputWidget &table = *Table(dialog);
    const QList<QStringList> rows = Shown_Rows(table);

    When_Settings_Shown(
        [how](TSettingsDialog &settings)
        {
            Spin_Box(settings, 0)->setValue(1);
            Spin_Box(settings, 1)->setValue(0);
            if (how == "cancel")
                QTest::mouseClick(Push_Button(settings, "Cancel"), Qt::LeftButton);
            else if (how == "escape")
                QTest::keyClick(&settings, Qt::Key_Escape);
            else
                settings.close();
        });
    Open_Settings(dialog);
    QCOMPARE(table.Get_Nominal_Precision(), 0);
    QCOMPARE(table.Get_Measured_Precision(), 3);
    QCOMPARE(Shown_Rows(table), rows);
    QVERIFY(dialog.isVisible()); // Escape there does not close the main window

    // The next visit shows the table's values, not the cancelled ones.
    When_Settings_Shown(
        [](TSettingsDialog &settings)
        {
            QCOMPARE(Spin_Box(settings, 0)->value(), 0);
            QCOMPARE(Spin_Box(settings, 1)->value(), 3);
            settings.reject();
        });
    Open_Settings(dialog);
}

void TestZentrovaDialog::settings_dialog_ranges()
{
    TSettingsDialog settings;
    QCOMPARE(settings.Get_Nominal_Precision(), 0);
    QCOMPARE(settings.Get_Measured_Precision(), 3);
    settings.Set_Precision(5, 9);
    QCOMPARE(settings.Get_Nominal_Precision(), 2);
    QCOMPARE(settings.Get_Measured_Precision(), 4);
    settings.Set_Precision(-3, -1);
    QCOMPARE(settings.Get_Nominal_Precision(), 0);
    QCOMPARE(settings.Get_Measured_Precision(), 0);

    QVERIFY(Show_Active(settings));
    QSpinBox *nominal = Spin_Box(settings, 0);
    nominal->setFocus();
    for (int step = 0; step < 4; ++step)
        QTest::keyClick(nominal, Qt::Key_Up);
    QCOMPARE(settings.Get_Nominal_Precision(), 2);
    QCOMPARE(QApplication::focusWidget(), nominal);
    QTest::keyClick(nominal, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), Spin_Box(settings, 1));
}

QTEST_MAIN(TestZentrovaDialog)
#include "tst_zentrovadialog.moc"
