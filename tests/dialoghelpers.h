#ifndef ZENTROVA_TESTS_DIALOGHELPERS_H
#define ZENTROVA_TESTS_DIALOGHELPERS_H

#include "hexeditwidget.h"
#include "tablehelpers.h"
#include "zentrovadialog.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMap>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

// A fresh home folder for each test: the window reads and writes its
// settings there, never in the real one.
class Home_Folder
{
public:
    Home_Folder() { qputenv("HOME", d_dir.path().toUtf8()); }

    QString Path() const { return d_dir.path(); }
    QString Settings_Path() const { return d_dir.path() + "/.zentrova/Settings.ini"; }

    void Write_Settings(const QByteArray &lines) const
    {
        QDir(d_dir.path()).mkpath(".zentrova");
        QFile file(Settings_Path());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[General]\n" + lines);
    }

    // The file as written, key by key, with each value's exact text.
    QMap<QString, QString> Read_Settings(const QString &path = QString()) const
    {
        QMap<QString, QString> values;
        QFile file(path.isEmpty() ? Settings_Path() : path);
        if (!file.open(QIODevice::ReadOnly))
            return values;
        for (const QByteArray &line : file.readAll().split('\n'))
        {
            const int equals = line.indexOf('=');
            if (equals > 0)
                values.insert(QString::fromUtf8(line.left(equals)),
                              QString::fromUtf8(line.mid(equals + 1)));
        }
        return values;
    }

private:
    QTemporaryDir d_dir;
};

// Three samples whose results are worked out by hand: New Code 1 27A8,
// New Code 2 FE59 and a data range of 0.150 with the codes 2710 and 0000.
inline QByteArray Worked_Samples()
{
    return "Row_Count=3\n"
           "Nominal_Value_0=15\nActual_Value_0=15\nReading_Value_0=15.2\n"
           "Nominal_Value_1=20\nActual_Value_1=20\nReading_Value_1=20.1\n"
           "Nominal_Value_2=25\nActual_Value_2=25\nReading_Value_2=25.05\n";
}

template <typename Widget> Widget *Named(const QWidget &window, const QString &accessible_name)
{
    for (Widget *widget : window.findChildren<Widget *>())
        if (widget->accessibleName() == accessible_name)
            return widget;
    return nullptr;
}

inline THexEditWidget *Code_Field(const QWidget &window, int code)
{
    return Named<THexEditWidget>(window, QStringLiteral("Existing Code %1").arg(code));
}

inline QLabel *Result(const QWidget &window, const char *accessible_name)
{
    return Named<QLabel>(window, QString::fromLatin1(accessible_name));
}

// New Code 1, New Code 2 and Data Range, as shown.
inline QStringList Results(const QWidget &window)
{
    return {Result(window, "New Code 1")->text(), Result(window, "New Code 2")->text(),
            Result(window, "Data Range")->text()};
}

inline TInputWidget *Table(const QWidget &window)
{
    return window.findChild<TInputWidget *>();
}

inline QPushButton *Push_Button(const QWidget &window, const QString &text)
{
    for (QPushButton *button : window.findChildren<QPushButton *>())
        if (button->text() == text)
            return button;
    return nullptr;
}

inline QToolButton *Help_Button(const QWidget &window)
{
    for (QToolButton *button : window.findChildren<QToolButton *>())
        if (button->isCheckable())
            return button;
    return nullptr;
}

// Shows a window and waits until it has the keyboard focus, as a user's does.
inline bool Show_Active(QWidget &window)
{
    window.show();
    // Asked for, as no window manager may be there to give it.
    if (!QTest::qWaitForWindowExposed(&window))
        return false;
    window.activateWindow();
    return QTest::qWaitForWindowActive(&window);
}

inline const QString &Unit()
{
    static const QString unit = QString(QChar(0x02DA)) + QLatin1Char('C');
    return unit;
}

// Replaces a field's text as a user does: select all, type, press Enter.
inline void Retype(QLineEdit *field, const QString &text)
{
    field->setFocus();
    field->selectAll();
    if (text.isEmpty())
        QTest::keyClick(field, Qt::Key_Delete);
    else
        QTest::keyClicks(field, text);
    QTest::keyClick(field, Qt::Key_Return);
    // Between keys the event loop runs, and the windows show what was typed.
    QCoreApplication::processEvents();
}

#endif
