#include "windowplacement.h"

#include <QScreen>
#include <QWidget>

#include <algorithm>

void Place_Beside(QWidget *window, QWidget *other, int wanted_width)
{
    const QScreen *screen = other->screen();
    if (!screen)
        return;
    const QRect available = screen->availableGeometry();
    QRect main = other->frameGeometry();
    // Room for the frame the window manager puts around the window: before
    // it is first shown its own is not known, and it gets the other's.
    const QSize frame = other->frameGeometry().size() - other->geometry().size();
    const int wanted = wanted_width + frame.width();
    int left = main.right() + 1;
    if (left + wanted - 1 > available.right())
    {
        // Not enough room on the right: the calibration window moves left
        // as far as it must, so that both stand side by side.
        const int shift =
            std::min(left + wanted - 1 - available.right(), main.left() - available.left());
        if (shift > 0)
        {
            other->move(other->pos() - QPoint(shift, 0));
            main.translate(-shift, 0);
        }
        left = main.right() + 1;
    }
    const int width = std::max(window->minimumSizeHint().width(),
                               std::min(wanted, available.right() - left + 1)) -
                      frame.width();
    left = std::min(left, available.right() + 1 - width - frame.width());
    const int height = available.height() - frame.height();
    window->resize(width, height);
    window->move(left, available.top());
}
