#include "windowplacement.h"

#include "windowframe.h"

#include <QScreen>
#include <QWidget>

#include <algorithm>

void Place_Beside(QWidget *window, QWidget *other, int wanted_width)
{
    const QScreen *screen = other->screen();
    if (!screen)
        return;
    const QRect available = screen->availableGeometry();
    QRect beside = Frame_Geometry(other);
    // The frame the window manager puts around the window: before it is
    // first shown its own is not known, and it gets the other's.
    const QMargins margins = window->isVisible() ? Frame_Margins(window) : Frame_Margins(other);
    const int frame_width = margins.left() + margins.right();
    const int frame_height = margins.top() + margins.bottom();
    const int wanted = wanted_width + frame_width;
    if (beside.right() + wanted > available.right())
    {
        // Not enough room on the right: the other window moves left as far
        // as it must, so that both stand side by side.
        const int shift =
            std::min(beside.right() + wanted - available.right(), beside.left() - available.left());
        if (shift > 0)
        {
            beside.translate(-shift, 0);
            Move_Frame(other, beside.topLeft());
        }
    }
    const int width = std::max(window->minimumSizeHint().width(),
                               std::min(wanted, available.right() - beside.right()) - frame_width);
    const QPoint frame_top_left(
        std::min(beside.right() + 1, available.right() + 1 - width - frame_width), available.top());
    window->resize(width, available.height() - frame_height);
    // A window not yet shown is placed by its frame's corner as it is.
    if (window->isVisible())
        Move_Frame(window, frame_top_left);
    else
        window->move(frame_top_left);
}
