#include "dialoghelpers.h"
#include "laboratorydialog.h"
#include "settingsstore.h"

#include <QDialogButtonBox>
#include <QLockFile>
#include <QPlainTextEdit>

// The laboratory that issues the certificates, typed once in its dialog
// and kept in the settings file's Laboratory group.
class TestLaboratoryDialog : public QObject
{
    Q_OBJECT

private slots:
    void round_trip_data();
    void round_trip();
    void failed_save_is_said_data();
    void failed_save_is_said();
    void cancel_writes_nothing();
    void labels_mnemonics_and_tab_order();
};

namespace
{
// The fields top to bottom, by accessible name.
const QStringList field_names{
    "Laboratory name", "Laboratory address",  "Accreditation", "Place of calibration",
    "Approver",        "Approver's function", "Procedure"};

QWidget *Field(const QWidget &dialog, const QString &name)
{
    return Named<QWidget>(dialog, name);
}

// Types into a field as a user does, over whatever it held: key by key,
// Return between lines, letters beyond ASCII as a keyboard layout sends them.
void Type(QWidget *field, const QString &text)
{
    field->setFocus();
    QTest::keySequence(field, QKeySequence::SelectAll);
    QTest::keyClick(field, Qt::Key_Delete);
    for (const QChar character : text)
    {
        if (character == '\n')
            QTest::keyClick(field, Qt::Key_Return);
        else if (character.unicode() < 0x80)
            QTest::keyClick(field, character.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, field, Qt::Key_unknown, QString(character),
                                Qt::NoModifier);
    }
}

QStringList Texts_Of(const Laboratory &laboratory)
{
    return {laboratory.name,     laboratory.address,  laboratory.accreditation,
            laboratory.place,    laboratory.approver, laboratory.approver_function,
            laboratory.procedure};
}

QPushButton *Button(const QWidget &dialog, QDialogButtonBox::StandardButton which)
{
    const auto *box = dialog.findChild<QDialogButtonBox *>();
    return box ? box->button(which) : nullptr;
}

QLabel *Failure_Label(const QWidget &dialog)
{
    return Named<QLabel>(dialog, QStringLiteral("Save failed"));
}
} // namespace

void TestLaboratoryDialog::round_trip_data()
{
    QTest::addColumn<QStringList>("typed");    // field by field, top to bottom
    QTest::addColumn<QStringList>("expected"); // as saved
    const QStringList full{"Kalibrierlabor Nord",   "Hafenstrasse 12\n20457 Hamburg",
                           "DAkkS D-K-15042-01-00", "Laboratory, Hamburg",
                           "B. Official",           "Head of the laboratory",
                           "ZP-07 version 3"};
    QTest::newRow("every field") << full << full;
    QStringList unaccredited = full;
    unaccredited[2].clear();
    QTest::newRow("not accredited") << unaccredited << unaccredited;
    const QStringList quoted{QString::fromUtf8("M\u00FCller; Lab = \"A\", #1"),
                             "Rue de l'\u00C9cole, 3\nF-75005 Paris; France",
                             "COFRAC 2-1234 [C]",
                             "The customer's site",
                             "\u00C9. Dupont",
                             "Quality manager",
                             "P/12 v2.0"};
    QTest::newRow("texts the settings file must quote") << quoted << quoted;
    QTest::newRow("spaces and blank lines around the texts")
        << QStringList{"  Kalibrierlabor Nord  ",
                       "\n  Hafenstrasse 12  \n\n20457 Hamburg\n\n",
                       " ",
                       "Laboratory ",
                       " B. Official",
                       "Head ",
                       " ZP-07 "}
        << QStringList{"Kalibrierlabor Nord",
                       "Hafenstrasse 12\n\n20457 Hamburg",
                       "",
                       "Laboratory",
                       "B. Official",
                       "Head",
                       "ZP-07"};
}

void TestLaboratoryDialog::round_trip()
{
    QFETCH(QStringList, typed);
    QFETCH(QStringList, expected);
    Home_Folder home;
    // The calibration window's keys are left as they are.
    home.Write_Settings("Row_Count=2\n[Laboratory]\nName=Earlier name\n");
    TSettingsStore store;
    TLaboratoryDialog dialog(&store);
    QCOMPARE(dialog.Current_Laboratory().name, QStringLiteral("Earlier name"));
    QVERIFY(Show_Active(dialog));

    QSignalSpy changed(&dialog, &TLaboratoryDialog::Laboratory_Changed);
    for (int index = 0; index < field_names.size(); ++index)
        Type(Field(dialog, field_names.at(index)), typed.at(index));
    Button(dialog, QDialogButtonBox::Save)->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(!dialog.isVisible());
    QCOMPARE(changed.count(), 1);
    QCOMPARE(Texts_Of(changed.at(0).at(0).value<Laboratory>()), expected);

    // Read back by a fresh start, as the next run of the program does.
    const TSettingsStore next_start;
    QCOMPARE(Texts_Of(Load_Laboratory(next_start)), expected);
    QCOMPARE(next_start.Value("Row_Count").toInt(), 2);
    const TLaboratoryDialog again(&next_start);
    QCOMPARE(Texts_Of(again.Current_Laboratory()), expected);
}

void TestLaboratoryDialog::failed_save_is_said_data()
{
    QTest::addColumn<bool>("folder_in_place"); // else: the file's lock is held
    QTest::addColumn<QString>("reason");
    QTest::newRow("a folder where the file should be") << true << "folder";
    QTest::newRow("the file's lock held by another program") << false << "lock";
}

void TestLaboratoryDialog::failed_save_is_said()
{
    QFETCH(bool, folder_in_place);
    QFETCH(QString, reason);
    Home_Folder home;
    home.Write_Settings("[Laboratory]\nName=Earlier name\n");
    TSettingsStore store;
    TLaboratoryDialog dialog(&store);
    QVERIFY(Show_Active(dialog));
    QSignalSpy changed(&dialog, &TLaboratoryDialog::Laboratory_Changed);
    QVERIFY(!Failure_Label(dialog)->isVisible());

    std::unique_ptr<QLockFile> lock;
    if (folder_in_place)
    {
        QVERIFY(QFile::remove(home.Settings_Path()));
        QVERIFY(QDir().mkdir(home.Settings_Path()));
    }
    else
    {
        lock = std::make_unique<QLockFile>(home.Settings_Path() + ".lock");
        QVERIFY(lock->tryLock(0));
    }
    Type(Field(dialog, "Laboratory name"), "Kalibrierlabor Nord");
    Button(dialog, QDialogButtonBox::Save)->click();

    // Said in the dialog, which stays open with what was typed.
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(changed.count(), 0);
    QLabel *failure = Failure_Label(dialog);
    QVERIFY(failure->isVisible());
    QVERIFY2(failure->text().contains(reason), qPrintable(failure->text()));
    QCOMPARE(dialog.Current_Laboratory().name, QStringLiteral("Kalibrierlabor Nord"));
    // The dialog grows by the message: no field is squeezed under another.
    QTRY_VERIFY(failure->geometry().top() >=
                Field(dialog, field_names.last())->geometry().bottom());
    for (int index = 1; index < field_names.size(); ++index)
        QVERIFY2(Field(dialog, field_names.at(index - 1))->geometry().bottom() <
                     Field(dialog, field_names.at(index))->geometry().top(),
                 qPrintable(field_names.at(index)));

    // Once the cause is gone, the same dialog saves, and says no more.
    if (folder_in_place)
        QVERIFY(QDir().rmdir(home.Settings_Path()));
    else
        lock->unlock();
    Button(dialog, QDialogButtonBox::Save)->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(changed.count(), 1);
    QVERIFY(!failure->isVisible());
    const TSettingsStore next_start;
    QCOMPARE(Load_Laboratory(next_start).name, QStringLiteral("Kalibrierlabor Nord"));
}

void TestLaboratoryDialog::cancel_writes_nothing()
{
    Home_Folder home;
    home.Write_Settings("[Laboratory]\nName=Earlier name\n");
    TSettingsStore store;
    TLaboratoryDialog dialog(&store);
    QVERIFY(Show_Active(dialog));
    QSignalSpy changed(&dialog, &TLaboratoryDialog::Laboratory_Changed);
    Type(Field(dialog, "Laboratory name"), "Another name");
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(changed.count(), 0);
    QCOMPARE(home.Read_Settings().value("Name"), QStringLiteral("Earlier name"));
}

void TestLaboratoryDialog::labels_mnemonics_and_tab_order()
{
    Home_Folder home;
    TSettingsStore store;
    TLaboratoryDialog dialog(&store);
    QVERIFY(Show_Active(dialog));

    QSet<QChar> letters;
    int previous_top = -1;
    for (const QString &name : field_names)
    {
        QWidget *field = Field(dialog, name);
        QVERIFY2(field, qPrintable(name));
        QLabel *label = nullptr;
        for (QLabel *candidate : dialog.findChildren<QLabel *>())
            if (candidate->buddy() == field)
                label = candidate;
        QVERIFY2(label, qPrintable(name + " has no label"));
        const int ampersand = label->text().indexOf('&');
        QVERIFY2(ampersand >= 0 && ampersand + 1 < label->text().size(), qPrintable(label->text()));
        const QChar letter = label->text().at(ampersand + 1).toLower();
        QVERIFY2(!letters.contains(letter), qPrintable(label->text()));
        letters.insert(letter);
        // Alt and the letter take the keyboard to the field.
        QTest::keyClick(&dialog, letter.toLatin1(), Qt::AltModifier);
        QTRY_COMPARE(QApplication::focusWidget(), field);
        // Top to bottom.
        QVERIFY(field->mapTo(&dialog, QPoint()).y() > previous_top);
        previous_top = field->mapTo(&dialog, QPoint()).y();
    }

    // Tab goes through the fields in that order, then to Save and Cancel.
    Field(dialog, field_names.first())->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), Field(dialog, field_names.first()));
    QList<QWidget *> order{Field(dialog, field_names.first())};
    for (int index = 1; index < field_names.size() + 2; ++index)
    {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        order << QApplication::focusWidget();
    }
    QList<QWidget *> expected;
    for (const QString &name : field_names)
        expected << Field(dialog, name);
    expected << Button(dialog, QDialogButtonBox::Save) << Button(dialog, QDialogButtonBox::Cancel);
    QCOMPARE(order, expected);
}

QTEST_MAIN(TestLaboratoryDialog)
#include "tst_laboratorydialog.moc"
