#ifndef ZENTROVA_WINDOWFRAME_H
#define ZENTROVA_WINDOWFRAME_H

#include <QMargins>
#include <QPoint>
#include <QRect>

#include <functional>

class QWidget;

// A top-level window's frame (title bar and borders) as the window system
// has it now.
//
// QWidget::frameGeometry() and QWidget::move() use the frame's extents that
// Qt's X11 platform read when the window manager last moved or resized the
// window. While a window manager such as openbox is still framing a new
// window, that reading can come before the manager has published the
// extents (_NET_FRAME_EXTENTS): Qt then measures the frame window half
// built (1 x 1 pixels, or with the window not yet placed inside it) and the
// widget keeps that measure until the manager next moves or resizes the
// window, which may be never. The platform window reads the published
// extents again as soon as they change, so these functions ask it each time.
QMargins Frame_Margins(const QWidget *window);
QRect Frame_Geometry(const QWidget *window);

// Where a frame must stand to lie within the available area: up and left as
// far as needed, never beyond the area's top and left edges (a frame larger
// than the area keeps its top left corner in sight), and down where its title
// bar stands above the top. A frame that already fits keeps its place.
QPoint Position_On_Screen(const QRect &frame, const QRect &available);

// Moves a shown window so that its frame's top left corner is at the point.
void Move_Frame(QWidget *window, const QPoint &frame_top_left);

// Moves a shown window up and left as far as needed for its frame to lie
// within the available area of its screen. Returns whether it moved.
bool Keep_Frame_On_Screen(QWidget *window);

// A window just framed: no larger than the available area of its screen
// (its frame included, where it can be resized), and moved wholly onto it.
void Fit_Frame_On_Screen(QWidget *window);

// Runs the action once the window manager has framed the shown window, or
// after two seconds without a frame (no window manager). Nothing tells a
// program that its window has been framed: this looks every 50 ms.
void When_Framed(QWidget *window, const std::function<void()> &action);

#endif
