#include "fastrepaint.h"

#include <QByteArray>
#include <QtGlobal>

void Enable_Fast_Repaint()
{
    // Qt's own switch, read when a widget is first repainted; a user's own
    // setting of it is left as it is.
    if (!qEnvironmentVariableIsSet("QT_NO_SUBTRACTOPAQUESIBLINGS"))
        qputenv("QT_NO_SUBTRACTOPAQUESIBLINGS", QByteArray("1"));
}
