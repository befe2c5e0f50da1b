#include "blockpaste.h"

#include "blockreader.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>

namespace
{
// The field's own menu names its paste entry with QLineEdit's translation.
QAction *Paste_Action(const QMenu *menu)
{
    const QString paste = QCoreApplication::translate("QLineEdit", "&Paste");
    for (QAction *action : menu->actions())
        if (action->text().section(QLatin1Char('\t'), 0, 0) == paste)
            return action;
    return nullptr;
}
} // namespace

TBlockPaste::TBlockPaste(QObject *parent) : QObject(parent) {}

void TBlockPaste::Watch(QLineEdit *field)
{
    field->installEventFilter(this);
}

bool TBlockPaste::eventFilter(QObject *watched, QEvent *event)
{
    auto *field = qobject_cast<QLineEdit *>(watched);
    if (!field)
        return false;
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent *>(event)->matches(QKeySequence::Paste))
        return Paste_Into(field);
    if (event->type() == QEvent::ContextMenu && Holds_A_Block(QApplication::clipboard()->text()))
    {
        // The field's own menu, with its paste entry taking the block.
        QMenu *menu = field->createStandardContextMenu();
        if (QAction *paste = Paste_Action(menu))
        {
            disconnect(paste, &QAction::triggered, field, nullptr);
            connect(paste, &QAction::triggered, this, [this, field] { Paste_Into(field); });
        }
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(static_cast<QContextMenuEvent *>(event)->globalPos());
        return true;
    }
    return false;
}

bool TBlockPaste::Paste_Into(QLineEdit *field)
{
    const QString text = QApplication::clipboard()->text();
    if (!Holds_A_Block(text))
        return false;
    emit Block_Pasted(field, text);
    return true;
}
