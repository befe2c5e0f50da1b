#include "dialoghelpers.h"

#include <QAccessible>
#include <QApplication>
#include <QSpinBox>
#include <QTextEdit>
#include <QTimer>

// What a screen reader gets through Qt's accessibility interfaces, and what
// the keyboard alone can do.
class TestAccessibility : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void results_are_readable();
    void a_change_is_announced_once_data();
    void a_change_is_announced_once();
    void names_of_the_other_things();
    void every_action_has_a_key_data();
    void every_action_has_a_key();
};

namespace
{
struct Event_Record
{
    QObject *object;
    QAccessible::Event type;
};

QList<Event_Record> &Events()
{
    static QList<Event_Record> events;
    return events;
}

void Record_Event(QAccessibleEvent *event)
{
    Events() << Event_Record{event->object(), event->type()};
}

int Count(const QObject *object, QAccessible::Event type)
{
    int count = 0;
    for (const Event_Record &record : Events())
        count += record.object == object && record.type == type;
    return count;
}

int Count_Text_Events(const QObject *object)
{
    int count = 0;
    for (const Event_Record &record : Events())
        count += record.object == object && (record.type == QAccessible::TextInserted ||
                                             record.type == QAccessible::TextRemoved ||
                                             record.type == QAccessible::TextUpdated);
    return count;
}

QString Spoken(QWidget *widget, QAccessible::Text what)
{
    QAccessibleInterface *interface = QAccessible::queryAccessibleInterface(widget);
    return interface ? interface->text(what) : QString();
}
} // namespace

void TestAccessibility::initTestCase()
{
    QAccessible::installUpdateHandler(&Record_Event);
    QTRY_VERIFY_WITH_TIMEOUT(QAccessible::isActive(), 10000);
}

void TestAccessibility::results_are_readable()
{
    Home_Folder home;
    home.Write_Settings(Worked_Samples());
    TZentrovaDialog dialog;
    QVERIFY(Show_Active(dialog));
    const QStringList names{"New Code 1", "New Code 2", "Data Range"};
    const QStringList values{"27A8", "FE59", "0.150 degrees Celsius"};
    for (int index = 0; index < names.size(); ++index)
    {
        QLabel *label = Result(dialog, qPrintable(names[index]));
        QCOMPARE(Spoken(label, QAccessible::Name), names[index]);
        QCOMPARE(Spoken(label, QAccessible::Description), values[index]);
    }
    // No result is said in words, not as dashes.
    Retype(Field(*Table(dialog), 0, Reading_Column), "abc");
    QCOMPARE(Spoken(Result(dialog, "New Code 1"), QAccessible::Description),
             QStringLiteral("no result"));
    QCOMPARE(Spoken(Result(dialog, "Data Range"), QAccessible::Description),
             QStringLiteral("no result"));
}

void TestAccessibility::a_change_is_announced_once_data()
{
    QTest::addColumn<QString>("code2");
    QTest::addColumn<QList<bool>>("changed"); // New Code 1, New Code 2, Data Range
    QTest::newRow("only New Code 2 changes") << "0005" << QList<bool>{false, true, false};
    QTest::newRow("nothing changes") << "0000" << QList<bool>{false, false, false};
}

void TestAccessibility::a_change_is_announced_once()
{
    QFETCH(QString, code2);
    QFETCH(QList<bool>, changed);
    Home_Folder home;
    TZentrovaDialog dialog;
    QVERIFY(Show_Active(dialog));
    THexEditWidget *field = Code_Field(dialog, 2);
    field->setFocus();
    // Typed over, digit by digit, as the mask does: the code stays complete
    // throughout, so the only change heard is the result's.
    field->setCursorPosition(0);
    Events().clear();
    QTest::keyClicks(field, code2);
    const char *const names[] = {"New Code 1", "New Code 2", "Data Range"};
    for (int index = 0; index < 3; ++index)
        QCOMPARE(Count(Result(dialog, names[index]), QAccessible::DescriptionChanged),
                 changed[index] ? 1 : 0);

    // Every row's correction is written again on an edit; those that keep
    // their text say nothing.
    TInputWidget &table = *Table(dialog);
    Events().clear();
    Retype(Field(table, 1, Actual_Column), "20.5");
    QCOMPARE(Count_Text_Events(Field(table, 0, Correction_Column)), 0);
    QCOMPARE(Count_Text_Events(Field(table, 2, Correction_Column)), 0);
    QVERIFY(Count_Text_Events(Field(table, 1, Correction_Column)) > 0);
}

void TestAccessibility::names_of_the_other_things()
{
    Home_Folder home;
    TZentrovaDialog dialog;
    QVERIFY(Show_Active(dialog));
    TInputWidget &table = *Table(dialog);
    auto *unit = qobject_cast<QLabel *>(Cell(table, 0, Unit_Column));
    QCOMPARE(unit->text(), Unit()); // what the screen shows stays
    QCOMPARE(Spoken(unit, QAccessible::Name), QStringLiteral("degrees Celsius"));
    QVERIFY(Spoken(dialog.findChild<QTextEdit *>(), QAccessible::Name).contains("procedure"));
    bool meter_named = false;
    for (QLabel *label : dialog.findChildren<QLabel *>())
        if (!label->pixmap(Qt::ReturnByValue).isNull())
            meter_named = Spoken(label, QAccessible::Name).contains("thermometer");
    QVERIFY(meter_named);
}

void TestAccessibility::every_action_has_a_key_data()
{
    QTest::addColumn<QString>("action");
    QTest::newRow("tick, then remove") << "remove";
    QTest::newRow("add a row") << "add";
    QTest::newRow("open the settings") << "settings";
    QTest::newRow("show the help") << "help";
    QTest::newRow("close the window") << "close";
}

void TestAccessibility::every_action_has_a_key()
{
    QFETCH(QString, action);
    Home_Folder home;
    TZentrovaDialog dialog;
    QVERIFY(Show_Active(dialog));
    TInputWidget &table = *Table(dialog);
    // Tab from the first focus to the widget, then Space, as a user would.
    const auto tab_to = [](QWidget *target)
    {
        for (int step = 0; step < 50 && QApplication::focusWidget() != target; ++step)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        return QApplication::focusWidget() == target;
    };
    const auto press = [] { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space); };

    if (action == "remove")
    {
        QVERIFY(tab_to(Tick_Box(table, 1)));
        press();
        QVERIFY(tab_to(Remove_Button(table)));
        press();
        QCOMPARE(table.Get_Samples().size(), 2);
    }
    else if (action == "add")
    {
        QVERIFY(tab_to(Add_Button(table)));
        press();
        QCOMPARE(table.Get_Samples().size(), 4);
    }
    else if (action == "settings")
    {
        QVERIFY(tab_to(Named<QToolButton>(dialog, "Settings")));
        bool shown = false;
        QTimer::singleShot(0,
                           [&shown]
                           {
                               auto *settings =
                                   qobject_cast<QDialog *>(QApplication::activeModalWidget());
                               shown = settings && settings->windowTitle() == "Settings";
                               if (settings)
                                   QTest::keyClick(settings, Qt::Key_Escape);
                           });
        press();
        QVERIFY(shown);
    }
    else if (action == "help")
    {
        QVERIFY(tab_to(Help_Button(dialog)));
        press();
        QVERIFY(dialog.findChild<QTextEdit *>()->isVisible());
    }
    else
    {
        QVERIFY(tab_to(Push_Button(dialog, "Close")));
        press();
        QVERIFY(!dialog.isVisible());
        QVERIFY(QFile::exists(home.Settings_Path()));
    }
}

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
