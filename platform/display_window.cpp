// The full-screen window on SDL2 and the OpenGL context on it.
//
// A run never switches the real video mode: the window covers the desktop and
// the program draws a frame of the mode's own size, scaled onto the window
// when the mode is not the desktop's size (frame_scaling.h).
//
// A run hosted by a screen-saver daemon draws into the daemon's window instead
// (platform/display_host.cpp): always through the frame buffer, since that
// window may change its size under the run, and with no input of its own.
#include "platform/display.h"

#include <strings.h>

#include <cstdlib>
#include <string>

#include "platform/display_hosts.h"
#include "platform/frame_scaling.h"
#include "platform/host_window.h"
#include "platform/sdl_window.h"

#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace {

// The window and its context. One instance; filled by displayOpenFullscreen
// and displayCreateGLContext, emptied by displayClose.
struct FullscreenWindow {
    SDL_Window* window = nullptr;
    bool hosted = false;                                           // drawing into the host window instead
    SDL_GLContext context = nullptr;
    std::string title;
    ScaledFrame frame;                                             // the mode's frame on the window
    DisplayGLVisual visual = {8, 1, 16, 0, 0, 0};                  // what the window was made with
    int swapInterval = -1;                                         // -1: not set yet
    ::Window focusBefore = PointerRoot;                            // the X input focus before the window
    int focusRevertBefore = RevertToPointerRoot;
};

FullscreenWindow display;
// Settings that outlive a window: the benchmark turns vsync off before the
// window exists, and the cursor and grab may be asked for around the mode switch.
int vsyncAllowed = 1;
int pointerShown = 1;
int inputGrabbed = 0;
// The window of another program the next mode is shown in; 0 for the program's own.
uint64_t hostWindowId = 0;

// The samples are not compared: they take a frame buffer of their own, not the window's.
bool sameVisual(const DisplayGLVisual& a, const DisplayGLVisual& b)
{
    return a.alphaBits == b.alphaBits && a.doubleBuffer == b.doubleBuffer && a.depthBits == b.depthBits &&
           a.stencilBits == b.stencilBits && a.accumulationBits == b.accumulationBits;
}

// The window's X display and window, when it runs on X.
bool x11Handles(SDL_Window* window, Display** x11Display, ::Window* x11Window)
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return false;
    *x11Display = info.info.x11.display;
    *x11Window = info.info.x11.window;
    return true;
}

// Whether a window manager runs on the window's screen: its check window is
// announced on the root window. Not on X: left to SDL, as if one ran.
bool windowManagerRuns(SDL_Window* window)
{
    Display* x11Display;
    ::Window x11Window;
    if (!x11Handles(window, &x11Display, &x11Window)) return true;
    Atom check = XInternAtom(x11Display, "_NET_SUPPORTING_WM_CHECK", True);
    if (check == 0) return false;
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    int status = XGetWindowProperty(x11Display, DefaultRootWindow(x11Display), check, 0, 1, False, XA_WINDOW, &type,
                                    &format, &count, &after, &data);
    bool runs = status == Success && data && count == 1;
    if (data) XFree(data);
    return runs;
}

int ignoreXError(Display*, XErrorEvent*)
{
    return 0;
}

// Without a window manager SDL gives the new window the input focus with
// "revert to none": once the window is gone no window would get the keyboard
// again. The focus the desktop had before is remembered here and handed back
// by giveFocusBack, when the window still holds it.
void rememberFocus(SDL_Window* window)
{
    Display* x11Display;
    ::Window x11Window;
    if (!x11Handles(window, &x11Display, &x11Window)) return;
    ::Window focus;
    int revert;
    XGetInputFocus(x11Display, &focus, &revert);
    if (focus == x11Window) return;
    display.focusBefore = focus;
    display.focusRevertBefore = revert;
}

void giveFocusBack(SDL_Window* window)
{
    Display* x11Display;
    ::Window x11Window;
    if (!x11Handles(window, &x11Display, &x11Window)) return;
    ::Window focus;
    int revert;
    XGetInputFocus(x11Display, &focus, &revert);
    if (focus != x11Window) return;
    // The window that had the focus may be gone meanwhile; that error is no harm.
    XSync(x11Display, False);
    int (*previous)(Display*, XErrorEvent*) = XSetErrorHandler(ignoreXError);
    XSetInputFocus(x11Display, display.focusBefore, display.focusRevertBefore, CurrentTime);
    XSync(x11Display, False);
    XSetErrorHandler(previous);
}

void setVisualAttributes(const DisplayGLVisual& visual)
{
    SDL_GL_ResetAttributes();
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, visual.alphaBits);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, visual.doubleBuffer);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, visual.depthBits);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, visual.stencilBits);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_RED_SIZE, visual.accumulationBits);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_GREEN_SIZE, visual.accumulationBits);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_BLUE_SIZE, visual.accumulationBits);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_ALPHA_SIZE, visual.accumulationBits);
}

// SDL's pointer and grab calls need its video subsystem, so they wait for the window.
void applyPointerAndGrab()
{
    if (!display.window) return;
    SDL_ShowCursor(pointerShown ? SDL_ENABLE : SDL_DISABLE);
    // On X the lock takes its own grabs, which another client cannot break.
    if (!setLockGrab(display.window, inputGrabbed != 0))
        SDL_SetWindowGrab(display.window, inputGrabbed ? SDL_TRUE : SDL_FALSE);
}

// Creates the window with the visual's attributes; the visual must be set before
// the window exists, since the window's X visual is chosen from it.
bool createWindow(const DisplayGLVisual& visual)
{
    FullscreenWindow& d = display;
    setVisualAttributes(visual);
    SDL_DisplayMode desktop;
    if (SDL_GetDesktopDisplayMode(0, &desktop) != 0) return false;
    // Created hidden, so the focus before it can be remembered before showing it takes it.
    d.window = SDL_CreateWindow(d.title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, desktop.w, desktop.h,
                                SDL_WINDOW_OPENGL | SDL_WINDOW_BORDERLESS | SDL_WINDOW_HIDDEN);
    if (!d.window) return false;
    // Full screen is a request to the window manager, which SDL waits for
    // (a tenth of a second when none answers). Without one, the borderless
    // desktop-sized window covers the screen as it is.
    if (windowManagerRuns(d.window)) SDL_SetWindowFullscreen(d.window, SDL_WINDOW_FULLSCREEN_DESKTOP);
    rememberFocus(d.window);
    SDL_ShowWindow(d.window);
    coverOtherMonitors(d.window);
    d.visual = visual;
    SDL_GL_GetDrawableSize(d.window, &d.frame.screenWidth, &d.frame.screenHeight);
    if (d.frame.screenWidth <= 0 || d.frame.screenHeight <= 0) {
        d.frame.screenWidth = desktop.w;
        d.frame.screenHeight = desktop.h;
    }
    placeFrame(d.frame);
    SDL_RaiseWindow(d.window);
    applyPointerAndGrab();
    return true;
}

void* procAddress(const char* name)
{
    return display.hosted ? hostProcAddress(name) : SDL_GL_GetProcAddress(name);
}

bool framebuffersOffered()
{
    const char* name = "GL_ARB_framebuffer_object";
    return display.hosted ? hostExtensionSupported(name) : SDL_GL_ExtensionSupported(name) == SDL_TRUE;
}

void swapWindow()
{
    if (display.hosted)
        hostSwap();
    else
        SDL_GL_SwapWindow(display.window);
}

} // namespace

void setProgramSDLHints()
{
    // SDL's handlers would turn SIGTERM and SIGINT into close requests, which
    // a full-screen run ignores; the saver run catches them itself (saver_host.h).
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // A refused switch-away takes the focus back; the window stays up meanwhile.
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    // A grab takes the keyboard too, so no key reaches another program.
    SDL_SetHint(SDL_HINT_GRAB_KEYBOARD, "1");
    // SDL's own pointer capture while a button is held would end the lock's
    // pointer grab when the button is released.
    SDL_SetHint(SDL_HINT_MOUSE_AUTO_CAPTURE, "0");
}

bool startVideo()
{
    setProgramSDLHints();
    // An X server whose last client has just left (the mode detection's)
    // resets itself and drops new connections for a moment; SDL then
    // settles for its virtual driver, which shows nothing. Such a start is
    // undone and tried again a little later.
    for (int attempt = 0; attempt < 6; ++attempt) {
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) {
            const char* driver = SDL_GetCurrentVideoDriver();
            bool virtualDriver = driver && (strcasecmp(driver, "offscreen") == 0 || strcasecmp(driver, "dummy") == 0);
            const char* requested = getenv("SDL_VIDEODRIVER");
            if (!virtualDriver || (requested && strcasestr(requested, driver))) return true;
            SDL_QuitSubSystem(SDL_INIT_VIDEO);
        }
        const char* x11Display = getenv("DISPLAY");
        if (!x11Display || !*x11Display) return false;
        SDL_Delay(10u << attempt);
    }
    return false;
}

SDL_Window* sdlWindow()
{
    return display.window;
}

void windowToFrame(int windowX, int windowY, int* frameX, int* frameY)
{
    screenToFrame(display.frame, windowX, windowY, frameX, frameY);
}

void besideWindowToFrame(double windowX, double windowY, int* frameX, int* frameY)
{
    besideFrame(display.frame, windowX, windowY, frameX, frameY);
}

int x11OpenFullscreen(const char* title, int width, int height, int /*bitsPerPixel*/, int /*pages*/)
{
    // Every mode is shown in 24-bit colour and double-buffered by OpenGL, so
    // depth and pages change nothing here.
    if (display.window || display.hosted) x11Close();
    if (width <= 0 || height <= 0) return 0;
    display.title = title ? title : "";
    display.frame.modeWidth = width;
    display.frame.modeHeight = height;
    if (hostWindowId) {
        // Another program's window needs no SDL: GLX on the window itself.
        if (!hostOpen(hostWindowId, &display.frame.screenWidth, &display.frame.screenHeight)) return 0;
        display.hosted = true;
        placeFrame(display.frame);
        resetPacing(x11RefreshRate());
        return 1;
    }
    if (!startVideo()) return 0;
    if (!createWindow(display.visual)) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return 0;
    }
    // The mode switch hands the program a pointer in the middle of the screen
    // and no input typed before it.
    SDL_WarpMouseInWindow(display.window, display.frame.screenWidth / 2, display.frame.screenHeight / 2);
    SDL_PumpEvents();
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    resetPacing(x11RefreshRate());
    return 1;
}

void x11Close()
{
    FullscreenWindow& d = display;
    x11DestroyGLContext();
    if (d.hosted) hostClose();
    if (d.window) {
        uncoverMonitors();
        SDL_SetWindowGrab(d.window, SDL_FALSE);
        SDL_ShowCursor(SDL_ENABLE);
        giveFocusBack(d.window);
        SDL_DestroyWindow(d.window);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
    d = FullscreenWindow();
    inputGrabbed = 0;
}

int x11IsOpen()
{
    return display.window || display.hosted ? 1 : 0;
}

void x11FrameRectangle(int* x, int* y, int* width, int* height)
{
    *x = display.frame.frameX;
    *y = display.frame.frameY;
    *width = display.frame.frameWidth;
    *height = display.frame.frameHeight;
}

int x11CreateGLContext(const DisplayGLVisual& visual)
{
    FullscreenWindow& d = display;
    if (!d.window && !d.hosted) return 0;
    x11DestroyGLContext();
    if (d.hosted) {
        // The host window's visual is its owner's choice; depth and stencil
        // come with the frame buffer, which a hosted frame always has.
        if (!hostCreateContext()) return 0;
    } else {
        if (!sameVisual(visual, d.visual)) {
            uncoverMonitors();
            giveFocusBack(d.window);
            SDL_DestroyWindow(d.window);
            d.window = nullptr;
            if (!createWindow(visual)) return 0;
        }
        d.context = SDL_GL_CreateContext(d.window);
        if (!d.context) return 0;
        if (SDL_GL_MakeCurrent(d.window, d.context) != 0) {
            x11DestroyGLContext();
            return 0;
        }
    }
    if (!resolvePresentationGL(d.frame.gl, procAddress, framebuffersOffered())) {
        x11DestroyGLContext();
        return 0;
    }
    d.swapInterval = -1;
    // A hosted frame is always scaled: the host window may change its size under the run.
    prepareFrame(d.frame, visual, d.hosted);
    return 1;
}

void x11MakeGLCurrent(int bind)
{
    FullscreenWindow& d = display;
    if (d.hosted) {
        hostMakeCurrent(bind != 0);
        return;
    }
    if (!d.window || !d.context) return;
    SDL_GL_MakeCurrent(d.window, bind ? d.context : nullptr);
}

void x11DestroyGLContext()
{
    FullscreenWindow& d = display;
    if (d.hosted && hostHasContext()) {
        // A window that has gone took the frame's drawable, not its names:
        // the context frees those when it is deleted.
        if (hostGone()) {
            forgetFrameBuffer(d.frame);
        } else {
            hostMakeCurrent(true);
            deleteFrameBuffer(d.frame);
        }
        hostDestroyContext();
        d.frame.gl = PresentationGL();
        return;
    }
    if (!d.context) return;
    SDL_GL_MakeCurrent(d.window, d.context);
    deleteFrameBuffer(d.frame);
    SDL_GL_MakeCurrent(d.window, nullptr);
    SDL_GL_DeleteContext(d.context);
    d.context = nullptr;
    d.frame.gl = PresentationGL();
}

void x11SwapGL(int waitForRetrace)
{
    FullscreenWindow& d = display;
    if (d.hosted) {
        if (!hostHasContext()) return;
        // The host window's owner may resize it at any time (a settings
        // preview does); the next frame is scaled into the new size.
        if (hostSizeChanged(&d.frame.screenWidth, &d.frame.screenHeight)) placeFrame(d.frame);
        if (hostGone()) return;
    } else if (!d.window || !d.context) {
        return;
    }
    int interval = vsyncAllowed && waitForRetrace ? 1 : 0;
    if (interval != d.swapInterval) {
        if (d.hosted)
            hostSetSwapInterval(interval);
        else
            SDL_GL_SetSwapInterval(interval);
        d.swapInterval = interval;
    }
    presentFrame(d.frame, swapWindow);
    if (interval) pacePass();
}

void x11WaitForRefresh()
{
    if (vsyncAllowed && x11IsOpen()) pacePass();
}

void x11AllowVsync(int allowed)
{
    vsyncAllowed = allowed ? 1 : 0;
    display.swapInterval = -1;
    resetPacing(x11RefreshRate());
}

void x11ReclaimFocus()
{
    if (!display.window) return;
    SDL_RestoreWindow(display.window);
    SDL_RaiseWindow(display.window);
    SDL_SetWindowInputFocus(display.window);
}

void x11GrabInput(int grab)
{
    inputGrabbed = grab ? 1 : 0;
    applyPointerAndGrab();
}

void x11ShowPointer(int shown)
{
    pointerShown = shown ? 1 : 0;
    applyPointerAndGrab();
}

void x11UseHostWindow(uint64_t window)
{
    hostWindowId = window;
}

uint64_t chosenHostWindow()
{
    return hostWindowId;
}

int x11HostWindowGone()
{
    return hostGone() ? 1 : 0;
}

namespace {
void x11UnlockSession() {}
int x11SessionLocked() { return 0; }

bool x11HasContext()
{
    return display.context || (display.hosted && hostHasContext());
}

int x11GLSamples()
{
    return display.frame.samples;
}

int x11GLSoftwareRenderer()
{
    return x11HasContext() && drawnInSoftware(display.frame) ? 1 : 0;
}

int x11ReadFrame(uint8_t* rgb)
{
    return x11HasContext() && readFrame(display.frame, rgb) ? 1 : 0;
}
} // namespace

const DisplayHost x11DisplayHost = {
    "x11", x11DesktopSize, x11NativeSize, x11RefreshRate, x11OpenFullscreen, x11Close, x11IsOpen,
    x11FrameRectangle, x11UseHostWindow, x11HostWindowGone, x11CreateGLContext, x11MakeGLCurrent,
    x11DestroyGLContext, x11SwapGL, x11WaitForRefresh, x11AllowVsync, x11PollInput, x11ReclaimFocus,
    x11GrabInput, x11ShowPointer, x11LockRefusal, x11UnlockSession, x11SessionLocked,
    x11GLSamples, x11GLSoftwareRenderer, x11ReadFrame,
};
