#ifndef ZENTROVA_TESTS_TABLEHELPERS_H
#define ZENTROVA_TESTS_TABLEHELPERS_H

#include "inputwidget.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QStringList>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>
#include <QToolButton>

// Reach the table's widgets the way the user sees them: by their place in
// the grid (row 0 holds the headers, sample i sits in grid row i + 1).
enum Column
{
    Check_Column = 0,
    Nominal_Column = 1,
    Actual_Column = 2,
    Reading_Column = 3,
    Correction_Column = 4,
    Unit_Column = 5
};

inline QWidget *Cell(const TInputWidget &table, int row, int column)
{
    auto *grid = qobject_cast<QGridLayout *>(table.layout());
    QLayoutItem *item = grid ? grid->itemAtPosition(row + 1, column) : nullptr;
    return item ? item->widget() : nullptr;
}

inline QLineEdit *Field(const TInputWidget &table, int row, int column)
{
    return qobject_cast<QLineEdit *>(Cell(table, row, column));
}

inline QCheckBox *Tick_Box(const TInputWidget &table, int row)
{
    return qobject_cast<QCheckBox *>(Cell(table, row, Check_Column));
}

// The rows shown in the grid, each as its four texts, top to bottom.
inline QList<QStringList> Shown_Rows(const TInputWidget &table)
{
    QList<QStringList> rows;
    for (int row = 0; Field(table, row, Nominal_Column); ++row)
    {
        QStringList texts;
        for (int column = Nominal_Column; column <= Correction_Column; ++column)
            texts << Field(table, row, column)->text();
        rows << texts;
    }
    return rows;
}

// Clicks a row's check box where the user does: on the box itself, which
// sits at the left of a cell that may be much wider.
inline void Click_Tick_Box(const TInputWidget &table, int row)
{
    QCheckBox *box = Tick_Box(table, row);
    QStyleOptionButton option;
    option.initFrom(box);
    const QRect indicator =
        box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box);
    QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, indicator.center());
}

inline QToolButton *Table_Button(const TInputWidget &table, const QString &accessible_name)
{
    for (QToolButton *button : table.findChildren<QToolButton *>())
        if (button->accessibleName() == accessible_name)
            return button;
    return nullptr;
}

inline QToolButton *Add_Button(const TInputWidget &table)
{
    return Table_Button(table, "Add row");
}

inline QToolButton *Remove_Button(const TInputWidget &table)
{
    return Table_Button(table, "Remove ticked rows");
}

// Removed rows go away at the next turn of the event loop.
inline void Flush_Deleted_Widgets()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

#endif
