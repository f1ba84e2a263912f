// A stand-in for a screen-saver daemon's window: creates a 320 x 200 window
// painted in a colour of its own (0xFF00FF), prints its id as "0x..." and
// then answers commands read line by line from standard input:
//   look            prints "size WxH background=B black=K other=O drawn=L..R":
//                   the window's size, how many of its pixels are still the
//                   background colour, black, or anything else, and the
//                   first and last column holding any of the others (-1..-1: none)
//   resize W H      resizes the window, prints "ok"
//   destroy         destroys the window, prints "ok"
// It ends at the end of its input.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstring>

namespace {

constexpr unsigned long kBackground = 0xFF00FF;

int ignoreErrors(Display*, XErrorEvent*)
{
    return 0;
}

void look(Display* x11, Window window)
{
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(x11, window, &attributes)) {
        printf("gone\n");
        return;
    }
    XImage* image = XGetImage(x11, window, 0, 0, attributes.width, attributes.height, AllPlanes, ZPixmap);
    long background = 0, black = 0, other = 0;
    int first = -1, last = -1;
    for (int y = 0; image && y < attributes.height; ++y)
        for (int x = 0; x < attributes.width; ++x) {
            unsigned long pixel = XGetPixel(image, x, y) & 0xFFFFFF;
            if (pixel == kBackground)
                background++;
            else if (pixel == 0)
                black++;
            else {
                other++;
                if (first < 0 || x < first) first = x;
                if (x > last) last = x;
            }
        }
    if (image) XDestroyImage(image);
    printf("size %dx%d background=%ld black=%ld other=%ld drawn=%d..%d\n", attributes.width, attributes.height,
           background, black, other, first, last);
}

} // namespace

int main()
{
    Display* x11 = XOpenDisplay(nullptr);
    if (!x11) return 1;
    XSetErrorHandler(ignoreErrors);
    int screen = DefaultScreen(x11);
    Window window = XCreateSimpleWindow(x11, RootWindow(x11, screen), 0, 0, 320, 200, 0, 0, kBackground);
    XMapWindow(x11, window);
    XSync(x11, False);
    printf("0x%lx\n", window);
    fflush(stdout);

    char line[128];
    while (fgets(line, sizeof line, stdin)) {
        int width, height;
        if (strncmp(line, "look", 4) == 0) {
            look(x11, window);
        } else if (sscanf(line, "resize %d %d", &width, &height) == 2) {
            XResizeWindow(x11, window, width, height);
            XSync(x11, False);
            printf("ok\n");
        } else if (strncmp(line, "destroy", 7) == 0) {
            XDestroyWindow(x11, window);
            XSync(x11, False);
            printf("ok\n");
        } else {
            printf("?\n");
        }
        fflush(stdout);
    }
    XCloseDisplay(x11);
    return 0;
}
