// The one place the display host is chosen, and every call of display.h
// handed to it. The choice is made at the first call and kept for the
// process: a Wayland session runs the native host unless told otherwise, so
// a password run there never relies on X grabs that bind X clients only.
#include <cstdlib>
#include <cstring>

#include "platform/display_hosts.h"

namespace {

const DisplayHost* chosen = nullptr;

bool isSet(const char* name)
{
    const char* value = getenv(name);
    return value && *value;
}

} // namespace

const DisplayHost& chosenDisplayHost()
{
    if (chosen) return *chosen;
    const char* forced = getenv("VELLAMIR_DISPLAY");
    if (forced && strcmp(forced, "wayland") == 0)
        chosen = &waylandDisplayHost;
    else if (forced && strcmp(forced, "x11") == 0)
        chosen = &x11DisplayHost;
    // A screen-saver daemon's window is an X window: drawing into it takes X.
    else if (isSet("WAYLAND_DISPLAY") && !isSet("XSCREENSAVER_WINDOW"))
        chosen = &waylandDisplayHost;
    else
        chosen = &x11DisplayHost;
    return *chosen;
}

const char* displayHostName() { return chosenDisplayHost().name; }
int displayDesktopSize(int* width, int* height) { return chosenDisplayHost().desktopSize(width, height); }
int displayNativeSize(int* width, int* height) { return chosenDisplayHost().nativeSize(width, height); }
int displayRefreshRate() { return chosenDisplayHost().refreshRate(); }
int displayOpenFullscreen(const char* title, int width, int height, int bitsPerPixel, int pages)
{
    return chosenDisplayHost().openFullscreen(title, width, height, bitsPerPixel, pages);
}
void displayClose() { chosenDisplayHost().close(); }
int displayIsOpen() { return chosenDisplayHost().isOpen(); }
void displayFrameRectangle(int* x, int* y, int* width, int* height)
{
    chosenDisplayHost().frameRectangle(x, y, width, height);
}
void displayUseHostWindow(uint64_t window) { chosenDisplayHost().useHostWindow(window); }
int displayHostWindowGone() { return chosenDisplayHost().hostWindowGone(); }
int displayCreateGLContext(const DisplayGLVisual& visual) { return chosenDisplayHost().createGLContext(visual); }
void displayMakeGLCurrent(int bind) { chosenDisplayHost().makeGLCurrent(bind); }
void displayDestroyGLContext() { chosenDisplayHost().destroyGLContext(); }
void displaySwapGL(int waitForRetrace) { chosenDisplayHost().swapGL(waitForRetrace); }
void displayWaitForRefresh() { chosenDisplayHost().waitForRefresh(); }
void displayAllowVsync(int allowed) { chosenDisplayHost().allowVsync(allowed); }
int displayPollInput(DisplayInput* input) { return chosenDisplayHost().pollInput(input); }
void displayReclaimFocus() { chosenDisplayHost().reclaimFocus(); }
void displayGrabInput(int grab) { chosenDisplayHost().grabInput(grab); }
void displayShowPointer(int shown) { chosenDisplayHost().showPointer(shown); }
const char* displayLockRefusal() { return chosenDisplayHost().lockRefusal(); }
void displayUnlockSession() { chosenDisplayHost().unlockSession(); }
int displaySessionLocked() { return chosenDisplayHost().sessionLocked(); }
int displayGLSamples() { return chosenDisplayHost().glSamples(); }
int displayGLSoftwareRenderer() { return chosenDisplayHost().glSoftwareRenderer(); }
int displayReadFrame(uint8_t* rgb) { return chosenDisplayHost().readFrame(rgb); }
