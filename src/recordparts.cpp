#include "recordparts.h"

#include "sample.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>

QLabel *New_Plain_Label(QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

QPushButton *New_Button(const QString &text, QWidget *parent)
{
    auto *button = new QPushButton(text, parent);
    button->setAutoDefault(false);
    return button;
}

QTableView *New_Table_View(QAbstractItemModel *model, const QString &name, QWidget *parent)
{
    auto *view = new QTableView(parent);
    view->setModel(model);
    view->setAccessibleName(name);
    view->setTabKeyNavigation(false);
    // The numbers take the room they need; the verdict, words and never
    // colour alone, takes the rest (a cell too narrow shows its whole text
    // as its tool tip).
    view->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    // Sized by the rows in sight: a thousand rows are not measured at every
    // change.
    view->horizontalHeader()->setResizeContentsPrecision(0);
    // The rows in sight change as the table scrolls, but a column does not
    // narrow below a temperature's width: an error is never cut to "-0....".
    view->horizontalHeader()->setMinimumSectionSize(
        view->fontMetrics().horizontalAdvance(QStringLiteral("-888.8888")) + 12);
    for (int column = 0; column < model->columnCount(); ++column)
        if (model->headerData(column, Qt::Horizontal).toString() == QStringLiteral("Verdict"))
            view->horizontalHeader()->setSectionResizeMode(column, QHeaderView::Stretch);
    if (view->horizontalHeader()->stretchSectionCount() == 0)
        view->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
    // As tall as its rows, up to a share of the screen; then it scrolls.
    view->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
    view->setMinimumHeight(90);
    view->setMaximumHeight(260);
    view->setWordWrap(false);
    return view;
}

QString Unit_Header(const QString &name)
{
    return QStringLiteral("%1\n(%2)").arg(name, Degrees_Celsius());
}
