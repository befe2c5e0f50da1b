// Times a program's start-up as the user sees it: from the moment the process
// is started to the moment its window, found by title, is mapped on the X
// server. Then closes the window as a window manager would and waits for the
// program to end.
//
//   zentrova-startup-timer TITLE PROGRAM [ARGUMENT...]
//
// Prints the milliseconds and then the program's resident memory in kB (half a
// second after the window is shown) on standard output; exits with the
// program's status.
#include "x11close.h"

#include <X11/Xutil.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{
bool Has_Title(Display *display, Window window, const char *title)
{
    char *name = nullptr;
    if (!XFetchName(display, window, &name) || !name)
        return false;
    const bool same = std::strcmp(name, title) == 0;
    XFree(name);
    return same;
}
} // namespace

int main(int argc, char *argv[])
{
    if (argc < 3)
    {
        std::fprintf(stderr, "usage: %s TITLE PROGRAM [ARGUMENT...]\n", argv[0]);
        return 2;
    }
    Display *display = XOpenDisplay(nullptr);
    if (!display)
    {
        std::fprintf(stderr, "%s: cannot open the display\n", argv[0]);
        return 1;
    }
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, False);

    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0)
    {
        execvp(argv[2], argv + 2);
        _exit(127);
    }

    Window shown = 0;
    const auto deadline = start + std::chrono::seconds(30);
    while (!shown && std::chrono::steady_clock::now() < deadline)
    {
        if (!XPending(display))
        {
            pollfd connection{ConnectionNumber(display), POLLIN, 0};
            poll(&connection, 1, 10);
            if (waitpid(child, nullptr, WNOHANG) == child)
                break;
            continue;
        }
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == MapNotify && Has_Title(display, event.xmap.window, argv[1]))
            shown = event.xmap.window;
    }
    const auto mapped = std::chrono::steady_clock::now();
    if (!shown)
    {
        std::fprintf(stderr, "%s: no window titled '%s' appeared\n", argv[0], argv[1]);
        return 1;
    }
    // Then the resident memory of the program with its window shown, once it
    // has had a moment to paint.
    usleep(500 * 1000);
    long resident_kb = -1;
    char status_path[64];
    std::snprintf(status_path, sizeof status_path, "/proc/%d/status", static_cast<int>(child));
    if (FILE *status_file = std::fopen(status_path, "r"))
    {
        char line[256];
        while (std::fgets(line, sizeof line, status_file))
            if (std::sscanf(line, "VmRSS: %ld kB", &resident_kb) == 1)
                break;
        std::fclose(status_file);
    }
    std::printf("%.1f %ld\n", std::chrono::duration<double, std::milli>(mapped - start).count(),
                resident_kb);

    Request_Close(display, shown);
    int status = 0;
    waitpid(child, &status, 0);
    XCloseDisplay(display);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}
