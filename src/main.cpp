#include "fastrepaint.h"
#include "highdpi.h"
#include "zentrovadialog.h"

#include <QApplication>
#include <QIcon>

#include <memory>

int main(int argc, char *argv[])
{
    Enable_High_Dpi();
    Enable_Fast_Repaint();
    QApplication application(argc, argv);
    // Unknown to the style factory, the platform's own style stays.
    QApplication::setStyle(QStringLiteral("fusion"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/zentrova.png")));

    // Declared after the application object, so it is deleted before it.
    const auto dialog = std::make_unique<TZentrovaDialog>();
    dialog->show();
    return application.exec();
}
