#ifndef ZENTROVA_WINDOWPLACEMENT_H
#define ZENTROVA_WINDOWPLACEMENT_H

class QWidget;

// Puts window beside the other, on the other's screen, as tall as the
// screen allows: to the right of it where there is room, the other moved
// left as far as it must to make room; where the screen is too narrow for
// both, window stands at the screen's right edge and the other keeps its
// left part (its table and codes) in sight as far as it can.
void Place_Beside(QWidget *window, QWidget *other, int wanted_width);

#endif
