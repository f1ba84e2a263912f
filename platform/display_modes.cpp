// What the desktop can show. SDL's video subsystem is started once, by the
// first question, and kept for the rest of the run with its answer: every
// start of it is a new X connection (about 60 ms together with its end), and a
// saver run asks several times before its first frame.
#include <SDL.h>
#include <strings.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/display.h"
#include "platform/host_window.h"
#include "platform/sdl_window.h"

namespace {

// The answer and the reference on SDL's video subsystem that keeps it. One
// instance; filled by the first question, asked again only when the program
// has since been pointed at another display ($DISPLAY changed).
struct DesktopAnswer {
    bool asked = false;
    bool holdsVideo = false;    // this answer holds one reference on SDL's video subsystem
    std::string display;        // $DISPLAY when it was asked
    int found = 0, width = 0, height = 0;
    int refreshRate = 0;        // Hz, 0 unknown
};
DesktopAnswer desktop;

std::string currentDisplayName()
{
    const char* x11 = getenv("DISPLAY");
    const char* wayland = getenv("WAYLAND_DISPLAY");
    return std::string(x11 ? x11 : "") + "|" + (wayland ? wayland : "");
}

void ask()
{
    if (desktop.holdsVideo) SDL_QuitSubSystem(SDL_INIT_VIDEO);
    desktop = DesktopAnswer();
    desktop.asked = true;
    desktop.display = currentDisplayName();
    // startVideo waits out an X server that is resetting itself, and refuses
    // SDL's virtual drivers unless they were asked for by name.
    if (!startVideo()) return;
    desktop.holdsVideo = true;
    SDL_DisplayMode mode;
    // Display 0 is the primary monitor: the gallery's.
    if (SDL_GetNumVideoDisplays() > 0 && SDL_GetDesktopDisplayMode(0, &mode) == 0 && mode.w > 0 && mode.h > 0) {
        desktop.found = 1;
        desktop.width = mode.w;
        desktop.height = mode.h;
        desktop.refreshRate = mode.refresh_rate;
    }
}

void askWhenNeeded()
{
    if (!desktop.asked || desktop.display != currentDisplayName()) ask();
}

} // namespace

int x11DesktopSize(int* width, int* height)
{
    askWhenNeeded();
    if (!desktop.found) return 0;
    if (width) *width = desktop.width;
    if (height) *height = desktop.height;
    return 1;
}

int x11NativeSize(int* width, int* height)
{
    // A host window that cannot be reached is found gone when the mode opens
    // it; until then the desktop's size stands in.
    uint64_t window = chosenHostWindow();
    if (window && hostWindowSize(window, width, height)) return 1;
    return x11DesktopSize(width, height);
}

int x11RefreshRate()
{
    askWhenNeeded();
    return desktop.refreshRate > 0 ? desktop.refreshRate : 60;
}
