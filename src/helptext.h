#ifndef ZENTROVA_HELPTEXT_H
#define ZENTROVA_HELPTEXT_H

#include <QString>

// The recommended calibration procedure shown in the window's help panel.
QString Help_Html();

#endif
