// Another X client attacking a locked saver: unmaps the window named on the
// command line, asks for the keyboard at once, waits (up to a minute) until
// the window is viewable again, then asks for the keyboard and the pointer
// until the saver has taken both back (giving up at once what it got meanwhile,
// for up to a minute). Prints
//   now=R                   the keyboard grab's answer right after the unmap
//   remapped | not-remapped
//   keyboard=R pointer=R    the last answers
// with R one of granted, already-grabbed, not-viewable, frozen, invalid-time.
#include <X11/Xlib.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {

const char* answer(int status)
{
    switch (status) {
    case GrabSuccess: return "granted";
    case AlreadyGrabbed: return "already-grabbed";
    case GrabNotViewable: return "not-viewable";
    case GrabFrozen: return "frozen";
    default: return "invalid-time";
    }
}

bool viewable(Display* x11, Window window)
{
    XWindowAttributes attributes;
    return XGetWindowAttributes(x11, window, &attributes) && attributes.map_state == IsViewable;
}

} // namespace

int main(int argc, char** argv)
{
    Display* x11 = XOpenDisplay(nullptr);
    if (!x11 || argc < 2) return 2;
    Window window = static_cast<Window>(strtoul(argv[1], nullptr, 0));
    Window root = DefaultRootWindow(x11);
    XUnmapWindow(x11, window);
    XSync(x11, False);
    int now = XGrabKeyboard(x11, root, False, GrabModeAsync, GrabModeAsync, CurrentTime);
    printf("now=%s\n", answer(now));
    if (now == GrabSuccess) XUngrabKeyboard(x11, CurrentTime);
    XSync(x11, False);
    // A loaded machine may take its time: the limits are only for a saver that never recovers.
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    bool back = viewable(x11, window);
    while (!back && std::chrono::steady_clock::now() < deadline) {
        usleep(20000);
        back = viewable(x11, window);
    }
    printf(back ? "remapped\n" : "not-remapped\n");
    deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    int keyboard, pointer;
    for (;;) {
        keyboard = XGrabKeyboard(x11, root, False, GrabModeAsync, GrabModeAsync, CurrentTime);
        if (keyboard == GrabSuccess) XUngrabKeyboard(x11, CurrentTime);
        pointer = XGrabPointer(x11, root, False, ButtonPressMask, GrabModeAsync, GrabModeAsync, None, None,
                               CurrentTime);
        if (pointer == GrabSuccess) XUngrabPointer(x11, CurrentTime);
        XSync(x11, False);
        if ((keyboard == AlreadyGrabbed && pointer == AlreadyGrabbed) || std::chrono::steady_clock::now() >= deadline)
            break;
        usleep(20000);
    }
    printf("keyboard=%s pointer=%s\n", answer(keyboard), answer(pointer));
    XCloseDisplay(x11);
    return 0;
}
