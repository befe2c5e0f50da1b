#ifndef ZENTROVA_X11CLOSE_H
#define ZENTROVA_X11CLOSE_H

#include <X11/Xlib.h>

// Asks a window to close the way a window manager's close button does: a
// WM_DELETE_WINDOW client message. Returns false, sending nothing, when the
// window does not take part in that protocol (a real window manager would
// then kill its client).
inline bool Request_Close(Display *display, Window window)
{
    const Atom protocols = XInternAtom(display, "WM_PROTOCOLS", False);
    const Atom delete_window = XInternAtom(display, "WM_DELETE_WINDOW", False);
    Atom *offered = nullptr;
    int count = 0;
    bool takes_part = false;
    if (XGetWMProtocols(display, window, &offered, &count))
    {
        for (int i = 0; i < count; ++i)
            takes_part = takes_part || offered[i] == delete_window;
        XFree(offered);
    }
    if (!takes_part)
        return false;

    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = protocols;
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(delete_window);
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XFlush(display);
    return true;
}

#endif
