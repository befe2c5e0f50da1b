#include "highdpi.h"

#include <QGuiApplication>

void Enable_High_Dpi()
{
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    // The images' @2x files are drawn at 2x and above.
    QCoreApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
    // At 150 % the window is the 1x window drawn 1.5 times larger, not
    // rounded to 2x with fonts at three quarters of their size.
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(
        Qt::HighDpiScaleFactorRoundingPolicy::PassThrough);
}
