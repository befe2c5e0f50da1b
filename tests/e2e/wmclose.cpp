// Closes a window as a window manager's close button does, so that the
// program answers with its close event (and saves) instead of being killed.
#include "x11close.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char *argv[])
{
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: %s WINDOW-ID\n", argv[0]);
        return 2;
    }
    Display *display = XOpenDisplay(nullptr);
    if (!display)
    {
        std::fprintf(stderr, "%s: cannot open the display\n", argv[0]);
        return 1;
    }
    const bool sent = Request_Close(display, std::strtoul(argv[1], nullptr, 0));
    if (!sent)
        std::fprintf(stderr, "%s: window %s does not take WM_DELETE_WINDOW\n", argv[0], argv[1]);
    XCloseDisplay(display);
    return sent ? 0 : 1;
}
