// Every monitor and the lock on the X display. The gallery's window covers
// the primary monitor; a plain black window covers each other monitor of its
// X screen and the whole of every other X screen, so a saver run shows nothing
// of the desktop anywhere.
//
// While a password is enabled the keyboard and the pointer are grabbed.
// The keyboard grab is taken on the root window: a keyboard grab is global
// anyway, and the root window can never be unmapped, so another client that
// unmaps the gallery cannot end it. The pointer grab confines the pointer to
// the gallery (so the pointer stays where the saver sees it, off the covered
// monitors); X ends such a grab when that window is unmapped, so the gallery
// is mapped again and both grabs are taken again at once. SDL itself lets go
// of the keyboard and the pointer whenever its window gains or loses the
// focus (it holds no grab of its own), so after every pass's messages that
// brought a window event the grabs are taken again. Each pass checks this
// cheaply with SDL's view of the window and the clock, no round trip to the
// server; the grabs are asked for again at least every half second, and every
// 100 ms while another client holds one.
#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "platform/clock.h"
#include "platform/sdl_window.h"

namespace {

// The covers and the grab of the open gallery window. One instance; filled by
// coverOtherMonitors and setLockGrab, emptied by uncoverMonitors.
struct Lock {
    Display* x11 = nullptr;           // SDL's connection
    ::Window gallery = 0;
    std::vector<::Window> covers;
    Cursor blankCursor = 0;
    bool wanted = false;              // a password run wants the grab
    bool held = false;                // both grabs granted, and no window event since
    uint64_t retryAt = 0;             // microseconds; the next time the grabs are asked for anyway
};
Lock lock;

bool x11Of(SDL_Window* window, Display** x11, ::Window* x11Window)
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return false;
    *x11 = info.info.x11.display;
    *x11Window = info.info.x11.window;
    return true;
}

Cursor blankCursor(Display* x11, ::Window root)
{
    static const char noBits[1] = {0};
    Pixmap empty = XCreateBitmapFromData(x11, root, noBits, 1, 1);
    XColor black = {};
    Cursor cursor = XCreatePixmapCursor(x11, empty, empty, &black, &black, 0, 0);
    XFreePixmap(x11, empty);
    return cursor;
}

void cover(int screen, int x, int y, int width, int height)
{
    XSetWindowAttributes attributes = {};
    attributes.override_redirect = True;   // no window manager frames or moves it
    attributes.background_pixel = BlackPixel(lock.x11, screen);
    attributes.cursor = lock.blankCursor;
    attributes.event_mask = PointerMotionMask | ButtonPressMask | ButtonReleaseMask;
    ::Window root = RootWindow(lock.x11, screen);
    if (!lock.blankCursor) attributes.cursor = lock.blankCursor = blankCursor(lock.x11, root);
    ::Window window = XCreateWindow(lock.x11, root, x, y, static_cast<unsigned>(width), static_cast<unsigned>(height),
                                    0, CopyFromParent, InputOutput, CopyFromParent,
                                    CWOverrideRedirect | CWBackPixel | CWCursor | CWEventMask, &attributes);
    XMapRaised(lock.x11, window);
    lock.covers.push_back(window);
}

bool overlaps(const XRRMonitorInfo& monitor, const SDL_Rect& gallery)
{
    return monitor.x < gallery.x + gallery.w && gallery.x < monitor.x + monitor.width &&
           monitor.y < gallery.y + gallery.h && gallery.y < monitor.y + monitor.height;
}

bool grabBoth()
{
    ::Window root = DefaultRootWindow(lock.x11);
    int keyboard = XGrabKeyboard(lock.x11, root, True, GrabModeAsync, GrabModeAsync, CurrentTime);
    unsigned mask = ButtonPressMask | ButtonReleaseMask | PointerMotionMask | EnterWindowMask | LeaveWindowMask;
    int pointer = XGrabPointer(lock.x11, root, True, mask, GrabModeAsync, GrabModeAsync, lock.gallery, None,
                               CurrentTime);
    return keyboard == GrabSuccess && pointer == GrabSuccess;
}

} // namespace

void coverOtherMonitors(SDL_Window* gallery)
{
    uncoverMonitors();
    if (!x11Of(gallery, &lock.x11, &lock.gallery)) return;
    SDL_Rect galleryBounds;
    if (SDL_GetDisplayBounds(0, &galleryBounds) != 0) return;
    int defaultScreen = DefaultScreen(lock.x11);
    for (int screen = 0; screen < ScreenCount(lock.x11); ++screen) {
        if (screen != defaultScreen) {
            cover(screen, 0, 0, DisplayWidth(lock.x11, screen), DisplayHeight(lock.x11, screen));
            continue;
        }
        // Monitors are listed from RandR 1.5 on; an older server shows one screen as one monitor.
        int eventBase, errorBase, major = 0, minor = 0;
        if (!XRRQueryExtension(lock.x11, &eventBase, &errorBase) || !XRRQueryVersion(lock.x11, &major, &minor) ||
            major * 100 + minor < 105)
            continue;
        int count = 0;
        XRRMonitorInfo* monitors = XRRGetMonitors(lock.x11, RootWindow(lock.x11, screen), True, &count);
        for (int i = 0; i < count; ++i)
            if (!overlaps(monitors[i], galleryBounds))
                cover(screen, monitors[i].x, monitors[i].y, monitors[i].width, monitors[i].height);
        if (monitors) XRRFreeMonitors(monitors);
    }
    if (!lock.covers.empty()) SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
    XFlush(lock.x11);
}

bool coverPointerInput(const SDL_SysWMmsg* message, SDL_Window* gallery, DisplayInput* input)
{
    if (!message || message->subsystem != SDL_SYSWM_X11 || !gallery) return false;
    const XEvent& event = message->msg.x11.event;
    if (event.type != MotionNotify && event.type != ButtonPress && event.type != ButtonRelease) return false;
    if (std::find(lock.covers.begin(), lock.covers.end(), event.xany.window) == lock.covers.end()) return false;
    bool motion = event.type == MotionNotify;
    if (!motion && (event.xbutton.button < Button1 || event.xbutton.button > Button3)) return false;
    *input = DisplayInput();
    input->time = SDL_GetTicks();
    input->kind = motion ? DisplayInputKind::Motion
                         : event.type == ButtonPress ? DisplayInputKind::ButtonDown : DisplayInputKind::ButtonUp;
    if (!motion) {
        input->button = event.xbutton.button == Button1 ? 1 : event.xbutton.button == Button2 ? 2 : 3;
        input->clicks = 1;
    }
    // A monitor of the gallery's X screen lies where the layout puts it;
    // another X screen has no place beside it, so it is taken as far away.
    double x = motion ? event.xmotion.x_root : event.xbutton.x_root;
    double y = motion ? event.xmotion.y_root : event.xbutton.y_root;
    ::Window root = motion ? event.xmotion.root : event.xbutton.root;
    if (root != RootWindow(lock.x11, DefaultScreen(lock.x11))) x += 1 << 16;
    int galleryX = 0, galleryY = 0;
    SDL_GetWindowPosition(gallery, &galleryX, &galleryY);
    besideWindowToFrame(x - galleryX, y - galleryY, &input->x, &input->y);
    return true;
}

void uncoverMonitors()
{
    if (lock.x11) {
        if (lock.wanted) {
            XUngrabKeyboard(lock.x11, CurrentTime);
            XUngrabPointer(lock.x11, CurrentTime);
        }
        for (::Window window : lock.covers) XDestroyWindow(lock.x11, window);
        if (lock.blankCursor) XFreeCursor(lock.x11, lock.blankCursor);
        XFlush(lock.x11);
    }
    lock = Lock();
}

bool setLockGrab(SDL_Window* gallery, bool grab)
{
    if (!lock.x11 && !x11Of(gallery, &lock.x11, &lock.gallery)) return false;
    if (!grab && lock.wanted) {
        XUngrabKeyboard(lock.x11, CurrentTime);
        XUngrabPointer(lock.x11, CurrentTime);
        XFlush(lock.x11);
    }
    lock.wanted = grab;
    lock.held = false;
    lock.retryAt = 0;
    keepLockGrab(gallery);
    return true;
}

void keepLockGrab(SDL_Window* gallery)
{
    if (!lock.wanted || !lock.x11 || !gallery) return;
    // Unmapped by another client: the gallery comes back at once, on top.
    if (!(SDL_GetWindowFlags(gallery) & SDL_WINDOW_SHOWN)) {
        lock.held = false;
        lock.retryAt = 0;
        SDL_ShowWindow(gallery);
        SDL_RaiseWindow(gallery);
        SDL_SetWindowInputFocus(gallery);
        for (::Window window : lock.covers) XMapRaised(lock.x11, window);
    }
    uint64_t now = monotonicMicroseconds();
    if (now < lock.retryAt) return;
    lock.held = grabBoth();
    lock.retryAt = now + (lock.held ? 500000 : 100000);
}

void lockWindowEventSeen()
{
    lock.held = false;
    lock.retryAt = 0;
}

const char* x11LockRefusal()
{
    const char* wayland = getenv("WAYLAND_DISPLAY");
    if (!wayland || !*wayland) return nullptr;
    return "this is a Wayland session, where X grabs keep the keyboard and the pointer from X programs only, "
           "so a password run on X cannot lock it; run Vellamir on Wayland (unset VELLAMIR_DISPLAY) where the "
           "compositor offers a session lock, or use the desktop's own lock";
}
