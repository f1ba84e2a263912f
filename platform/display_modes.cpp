// What the desktop can show, asked of SDL's video subsystem and given back at once.
#include <SDL.h>
#include <strings.h>

#include <cstdlib>
#include <cstring>

#include "platform/display.h"

// SDL falls back to its virtual "offscreen" and "dummy" drivers when no
// display is reachable; they show nothing, so they count only when the user
// asked for them by name.
static int isVirtualDriverNotAskedFor(const char* driver)
{
    if (!driver || (strcasecmp(driver, "offscreen") != 0 && strcasecmp(driver, "dummy") != 0)) return 0;
    const char* requested = getenv("SDL_VIDEODRIVER");
    return !requested || !strcasestr(requested, driver);
}

static int askDesktopOnce(int* width, int* height)
{
    // The subsystem is reference-counted: this leaves an open window of the
    // framework untouched, and without a display the init simply fails.
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return 0;
    SDL_DisplayMode mode;
    int found = !isVirtualDriverNotAskedFor(SDL_GetCurrentVideoDriver()) && SDL_GetNumVideoDisplays() > 0 &&
                SDL_GetDesktopDisplayMode(0, &mode) == 0 && mode.w > 0 && mode.h > 0;
    if (found) {
        if (width) *width = mode.w;
        if (height) *height = mode.h;
    }
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return found;
}

int displayDesktopSize(int* width, int* height)
{
    // An X server whose last client has just left resets itself and drops
    // new connections for a moment (a virtual server in tests and headless
    // runs does this after every detection), so a named display is asked again.
    for (int attempt = 0; attempt < 4; attempt++) {
        if (askDesktopOnce(width, height)) return 1;
        if (!getenv("DISPLAY") && !getenv("WAYLAND_DISPLAY")) return 0;
        SDL_Delay(10 << attempt);
    }
    return 0;
}
