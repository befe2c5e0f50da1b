#include "windowframe.h"

#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <algorithm>

QMargins Frame_Margins(const QWidget *window)
{
    const QWindow *handle = window->windowHandle();
    if (!handle)
        return QMargins();
    // A frame measured before the window manager has published its extents
    // can come out smaller than the window itself.
    const QMargins margins = handle->frameMargins();
    return QMargins(std::max(0, margins.left()), std::max(0, margins.top()),
                    std::max(0, margins.right()), std::max(0, margins.bottom()));
}

QRect Frame_Geometry(const QWidget *window)
{
    return window->geometry().marginsAdded(Frame_Margins(window));
}

QPoint Position_On_Screen(const QRect &frame, const QRect &available)
{
    QPoint top_left = frame.topLeft();
    if (frame.bottom() > available.bottom())
        top_left.ry() = std::max(available.top(), available.bottom() - frame.height() + 1);
    if (frame.right() > available.right())
        top_left.rx() = std::max(available.left(), available.right() - frame.width() + 1);
    // A title bar above the top edge (placed by the window's client area
    // before the frame was known) cannot be reached to move the window; a
    // window pushed off to the left by the user can.
    top_left.ry() = std::max(top_left.y(), available.top());
    return top_left;
}

void Move_Frame(QWidget *window, const QPoint &frame_top_left)
{
    const QMargins margins = Frame_Margins(window);
    const QPoint client = frame_top_left + QPoint(margins.left(), margins.top());
    // QWidget::move() takes a frame's position and converts it with the
    // extents that the widget keeps (see above); given this point, it puts
    // the window's client area where it belongs whatever those are.
    window->move(client - (window->geometry().topLeft() - window->pos()));
}

bool Keep_Frame_On_Screen(QWidget *window)
{
    const QScreen *screen = window->screen();
    if (!window->isVisible() || !screen)
        return false;
    const QRect frame = Frame_Geometry(window);
    const QPoint top_left = Position_On_Screen(frame, screen->availableGeometry());
    if (top_left == frame.topLeft())
        return false;
    Move_Frame(window, top_left);
    return true;
}

void Fit_Frame_On_Screen(QWidget *window)
{
    const QScreen *screen = window->screen();
    if (!window->isVisible() || !screen)
        return;
    const QRect available = screen->availableGeometry();
    const QMargins margins = Frame_Margins(window);
    const QSize room(available.width() - margins.left() - margins.right(),
                     available.height() - margins.top() - margins.bottom());
    const QSize size = window->size().boundedTo(room).expandedTo(window->minimumSize());
    if (size != window->size())
        window->resize(size);
    // Placed by its client area, a window's border may stand a pixel or two
    // beyond the left edge too.
    const QRect frame = Frame_Geometry(window);
    QPoint top_left = Position_On_Screen(frame, available);
    top_left.rx() = std::max(top_left.x(), available.left());
    if (top_left != frame.topLeft())
        Move_Frame(window, top_left);
}

void When_Framed(QWidget *window, const std::function<void()> &action)
{
    auto *timer = new QTimer(window);
    timer->setInterval(50);
    QObject::connect(timer, &QTimer::timeout, window,
                     [window, timer, action, tries = 0]() mutable
                     {
                         if (Frame_Margins(window).isNull() && ++tries < 40)
                             return;
                         timer->deleteLater();
                         timer->stop();
                         action();
                     });
    timer->start();
}
