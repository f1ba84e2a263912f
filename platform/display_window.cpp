// The full-screen window on SDL2 and the OpenGL context on it.
//
// A run never switches the real video mode: the window covers the desktop and
// the program draws a frame of the mode's own size. When the mode is smaller
// than the desktop that frame is an OpenGL framebuffer object, copied to the
// screen at each swap with nearest filtering into the largest rectangle of the
// mode's aspect ratio, black bars around it. When the mode is the desktop's
// size the program draws straight into the window.
//
// A run hosted by a screen-saver daemon draws into the daemon's window instead
// (platform/display_host.cpp): always through the frame buffer, since that
// window may change its size under the run, and with no input of its own.
#include "platform/display.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <strings.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "platform/host_window.h"
#include "platform/sdl_window.h"

#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace {

// The OpenGL calls the presentation needs, resolved through SDL from the
// same library the program's table comes from.
struct PresentationGL {
    PFNGLGENFRAMEBUFFERSPROC genFramebuffers;
    PFNGLDELETEFRAMEBUFFERSPROC deleteFramebuffers;
    PFNGLBINDFRAMEBUFFERPROC bindFramebuffer;
    PFNGLGENRENDERBUFFERSPROC genRenderbuffers;
    PFNGLDELETERENDERBUFFERSPROC deleteRenderbuffers;
    PFNGLBINDRENDERBUFFERPROC bindRenderbuffer;
    PFNGLRENDERBUFFERSTORAGEPROC renderbufferStorage;
    PFNGLFRAMEBUFFERRENDERBUFFERPROC framebufferRenderbuffer;
    PFNGLCHECKFRAMEBUFFERSTATUSPROC checkFramebufferStatus;
    PFNGLBLITFRAMEBUFFERPROC blitFramebuffer;
    PFNGLRENDERBUFFERSTORAGEMULTISAMPLEPROC renderbufferStorageMultisample;
    const GLubyte* (*getString)(GLenum);
    void (*readPixels)(GLint, GLint, GLsizei, GLsizei, GLenum, GLenum, void*);
    void (*pixelStorei)(GLenum, GLint);
    void (*clear)(GLbitfield);
    void (*clearColor)(GLclampf, GLclampf, GLclampf, GLclampf);
    void (*getFloatv)(GLenum, GLfloat*);
    void (*getIntegerv)(GLenum, GLint*);
    GLboolean (*isEnabled)(GLenum);
    void (*enable)(GLenum);
    void (*disable)(GLenum);
    void (*scissor)(GLint, GLint, GLsizei, GLsizei);
    void (*viewport)(GLint, GLint, GLsizei, GLsizei);
};

// The window and its context. One instance; filled by displayOpenFullscreen
// and displayCreateGLContext, emptied by displayClose.
struct FullscreenWindow {
    SDL_Window* window = nullptr;
    bool hosted = false;                                           // drawing into the host window instead
    SDL_GLContext context = nullptr;
    std::string title;
    int modeWidth = 0, modeHeight = 0;
    int screenWidth = 0, screenHeight = 0;
    int frameX = 0, frameY = 0, frameWidth = 0, frameHeight = 0;   // top-left origin
    DisplayGLVisual visual = {8, 1, 16, 0, 0, 0};                  // what the window was made with
    PresentationGL gl = {};
    GLuint framebuffer = 0, colourBuffer = 0, depthBuffer = 0;     // 0: drawing straight to the window
    // With multisampling the program draws into a multisampled frame of the
    // mode's size, resolved into the frame above at each present.
    int samples = 0;
    GLuint multisampleFramebuffer = 0, multisampleColour = 0, multisampleDepth = 0;
    int swapInterval = -1;                                         // -1: not set yet
    ::Window focusBefore = PointerRoot;                            // the X input focus before the window
    int focusRevertBefore = RevertToPointerRoot;
};

FullscreenWindow display;
// Settings that outlive a window: the benchmark turns vsync off before the
// window exists, and the cursor and grab may be asked for around the mode switch.
int vsyncAllowed = 1;
int treatAsHardware = 0;
int pointerShown = 1;
int inputGrabbed = 0;
// The window of another program the next mode is shown in; 0 for the program's own.
uint64_t hostWindowId = 0;

// The samples are not compared: they go to a frame buffer of their own, not the window.
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

// The largest rectangle of the mode's aspect ratio on the screen, centred.
void placeFrame()
{
    FullscreenWindow& d = display;
    long long sw = d.screenWidth, sh = d.screenHeight, mw = d.modeWidth, mh = d.modeHeight;
    if (sw * mh <= sh * mw) {
        d.frameWidth = static_cast<int>(sw);
        d.frameHeight = static_cast<int>(mh * sw / mw);
    } else {
        d.frameWidth = static_cast<int>(mw * sh / mh);
        d.frameHeight = static_cast<int>(sh);
    }
    d.frameX = (d.screenWidth - d.frameWidth) / 2;
    d.frameY = (d.screenHeight - d.frameHeight) / 2;
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
    SDL_GL_GetDrawableSize(d.window, &d.screenWidth, &d.screenHeight);
    if (d.screenWidth <= 0 || d.screenHeight <= 0) {
        d.screenWidth = desktop.w;
        d.screenHeight = desktop.h;
    }
    placeFrame();
    SDL_RaiseWindow(d.window);
    applyPointerAndGrab();
    return true;
}

template <typename F>
bool resolve(F& slot, const char* name)
{
    slot = reinterpret_cast<F>(display.hosted ? hostProcAddress(name) : SDL_GL_GetProcAddress(name));
    return slot != nullptr;
}

bool extensionSupported(const char* name)
{
    return display.hosted ? hostExtensionSupported(name) : SDL_GL_ExtensionSupported(name) == SDL_TRUE;
}

void swapWindow()
{
    if (display.hosted)
        hostSwap();
    else
        SDL_GL_SwapWindow(display.window);
}

bool resolvePresentationGL(PresentationGL& g)
{
    bool basics = resolve(g.clear, "glClear") & resolve(g.clearColor, "glClearColor") &
                  resolve(g.getFloatv, "glGetFloatv") & resolve(g.getIntegerv, "glGetIntegerv") &
                  resolve(g.isEnabled, "glIsEnabled") & resolve(g.enable, "glEnable") &
                  resolve(g.disable, "glDisable") & resolve(g.scissor, "glScissor") &
                  resolve(g.viewport, "glViewport") & resolve(g.getString, "glGetString") &
                  resolve(g.readPixels, "glReadPixels") & resolve(g.pixelStorei, "glPixelStorei");
    bool framebuffers = extensionSupported("GL_ARB_framebuffer_object") &&
                        resolve(g.genFramebuffers, "glGenFramebuffers") &
                        resolve(g.deleteFramebuffers, "glDeleteFramebuffers") &
                        resolve(g.bindFramebuffer, "glBindFramebuffer") &
                        resolve(g.genRenderbuffers, "glGenRenderbuffers") &
                        resolve(g.deleteRenderbuffers, "glDeleteRenderbuffers") &
                        resolve(g.bindRenderbuffer, "glBindRenderbuffer") &
                        resolve(g.renderbufferStorage, "glRenderbufferStorage") &
                        resolve(g.framebufferRenderbuffer, "glFramebufferRenderbuffer") &
                        resolve(g.checkFramebufferStatus, "glCheckFramebufferStatus") &
                        resolve(g.blitFramebuffer, "glBlitFramebuffer");
    if (!framebuffers) g.genFramebuffers = nullptr;
    if (!framebuffers || !resolve(g.renderbufferStorageMultisample, "glRenderbufferStorageMultisample"))
        g.renderbufferStorageMultisample = nullptr;
    return basics;
}

// Mesa's software renderers name themselves so: llvmpipe, softpipe, the
// classic swrast ("Software Rasterizer"), also when another layer (zink on
// lavapipe) carries them.
bool softwareRenderer(const PresentationGL& g)
{
    const char* name = g.getString ? reinterpret_cast<const char*>(g.getString(GL_RENDERER)) : nullptr;
    if (!name) return false;
    for (const char* software : {"llvmpipe", "softpipe", "swrast", "Software Rasterizer", "lavapipe"})
        if (strcasestr(name, software)) return true;
    return false;
}

void deleteMultisampleFrame()
{
    FullscreenWindow& d = display;
    if (!d.multisampleFramebuffer) return;
    d.gl.bindFramebuffer(GL_FRAMEBUFFER, 0);
    d.gl.deleteFramebuffers(1, &d.multisampleFramebuffer);
    GLuint buffers[] = {d.multisampleColour, d.multisampleDepth};
    d.gl.deleteRenderbuffers(d.multisampleDepth ? 2 : 1, buffers);
    d.multisampleFramebuffer = d.multisampleColour = d.multisampleDepth = 0;
}

// The multisampled frame the program draws into, with the visual's depth and
// stencil; the samples asked for, at most what the renderer offers.
bool createMultisampleFrame(const DisplayGLVisual& visual, int samples)
{
    FullscreenWindow& d = display;
    PresentationGL& g = d.gl;
    GLint most = 0;
    g.getIntegerv(GL_MAX_SAMPLES, &most);
    samples = std::min(samples, static_cast<int>(most));
    if (samples < 2) return false;
    g.genFramebuffers(1, &d.multisampleFramebuffer);
    g.bindFramebuffer(GL_FRAMEBUFFER, d.multisampleFramebuffer);
    g.genRenderbuffers(1, &d.multisampleColour);
    g.bindRenderbuffer(GL_RENDERBUFFER, d.multisampleColour);
    g.renderbufferStorageMultisample(GL_RENDERBUFFER, samples, visual.alphaBits ? GL_RGBA8 : GL_RGB8, d.modeWidth,
                                     d.modeHeight);
    g.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, d.multisampleColour);
    if (visual.depthBits || visual.stencilBits) {
        g.genRenderbuffers(1, &d.multisampleDepth);
        g.bindRenderbuffer(GL_RENDERBUFFER, d.multisampleDepth);
        const GLenum format = visual.stencilBits ? GL_DEPTH24_STENCIL8
                              : visual.depthBits > 16 ? GL_DEPTH_COMPONENT24 : GL_DEPTH_COMPONENT16;
        g.renderbufferStorageMultisample(GL_RENDERBUFFER, samples, format, d.modeWidth, d.modeHeight);
        g.framebufferRenderbuffer(GL_FRAMEBUFFER, visual.stencilBits ? GL_DEPTH_STENCIL_ATTACHMENT : GL_DEPTH_ATTACHMENT,
                                  GL_RENDERBUFFER, d.multisampleDepth);
    }
    g.bindRenderbuffer(GL_RENDERBUFFER, 0);
    if (g.checkFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        deleteMultisampleFrame();
        return false;
    }
    d.samples = samples;
    return true;
}

// The multisampled frame's samples averaged into the single-sampled frame
// the present shows; the program's frame buffer bound again afterwards.
void resolveMultisampleFrame()
{
    FullscreenWindow& d = display;
    PresentationGL& g = d.gl;
    GLint scissorBox[4];
    g.getIntegerv(GL_SCISSOR_BOX, scissorBox);
    const GLboolean scissorOn = g.isEnabled(GL_SCISSOR_TEST);
    g.disable(GL_SCISSOR_TEST);
    g.bindFramebuffer(GL_READ_FRAMEBUFFER, d.multisampleFramebuffer);
    g.bindFramebuffer(GL_DRAW_FRAMEBUFFER, d.framebuffer);
    g.blitFramebuffer(0, 0, d.modeWidth, d.modeHeight, 0, 0, d.modeWidth, d.modeHeight, GL_COLOR_BUFFER_BIT,
                      GL_NEAREST);
    g.bindFramebuffer(GL_FRAMEBUFFER, d.multisampleFramebuffer);
    if (scissorOn) g.enable(GL_SCISSOR_TEST);
    g.scissor(scissorBox[0], scissorBox[1], scissorBox[2], scissorBox[3]);
}

void deleteMultisampleFrame();

void deleteFrameBuffer()
{
    FullscreenWindow& d = display;
    deleteMultisampleFrame();
    d.samples = 0;
    if (!d.framebuffer) return;
    d.gl.bindFramebuffer(GL_FRAMEBUFFER, 0);
    d.gl.deleteFramebuffers(1, &d.framebuffer);
    GLuint buffers[] = {d.colourBuffer, d.depthBuffer};
    d.gl.deleteRenderbuffers(d.depthBuffer ? 2 : 1, buffers);
    d.framebuffer = d.colourBuffer = d.depthBuffer = 0;
}

// The mode-sized frame the program draws into, with the depth and stencil the
// visual asks for (an accumulation buffer exists only on the window itself).
bool createFrameBuffer(const DisplayGLVisual& visual)
{
    FullscreenWindow& d = display;
    PresentationGL& g = d.gl;
    g.genFramebuffers(1, &d.framebuffer);
    g.bindFramebuffer(GL_FRAMEBUFFER, d.framebuffer);
    g.genRenderbuffers(1, &d.colourBuffer);
    g.bindRenderbuffer(GL_RENDERBUFFER, d.colourBuffer);
    g.renderbufferStorage(GL_RENDERBUFFER, visual.alphaBits ? GL_RGBA8 : GL_RGB8, d.modeWidth, d.modeHeight);
    g.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, d.colourBuffer);
    if (visual.depthBits || visual.stencilBits) {
        g.genRenderbuffers(1, &d.depthBuffer);
        g.bindRenderbuffer(GL_RENDERBUFFER, d.depthBuffer);
        if (visual.stencilBits) {
            g.renderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, d.modeWidth, d.modeHeight);
            g.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, d.depthBuffer);
        } else {
            GLenum format = visual.depthBits > 16 ? GL_DEPTH_COMPONENT24 : GL_DEPTH_COMPONENT16;
            g.renderbufferStorage(GL_RENDERBUFFER, format, d.modeWidth, d.modeHeight);
            g.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, d.depthBuffer);
        }
    }
    g.bindRenderbuffer(GL_RENDERBUFFER, 0);
    if (g.checkFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        deleteFrameBuffer();
        return false;
    }
    return true;
}

// Copies the frame into its rectangle of the window and paints the bars black,
// leaving every state it touches as the program had it.
void presentFrameBuffer()
{
    FullscreenWindow& d = display;
    PresentationGL& g = d.gl;
    GLfloat clearColour[4];
    GLint scissorBox[4];
    g.getFloatv(GL_COLOR_CLEAR_VALUE, clearColour);
    g.getIntegerv(GL_SCISSOR_BOX, scissorBox);
    GLboolean scissorOn = g.isEnabled(GL_SCISSOR_TEST);

    g.bindFramebuffer(GL_READ_FRAMEBUFFER, d.framebuffer);
    g.bindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    g.disable(GL_SCISSOR_TEST);
    int bottom = d.screenHeight - d.frameY - d.frameHeight;   // OpenGL counts rows from the bottom
    g.blitFramebuffer(0, 0, d.modeWidth, d.modeHeight, d.frameX, bottom, d.frameX + d.frameWidth,
                      bottom + d.frameHeight, GL_COLOR_BUFFER_BIT, GL_NEAREST);

    // The back buffer holds no promise about earlier frames, so the bars are painted every time.
    g.clearColor(0, 0, 0, 0);
    g.enable(GL_SCISSOR_TEST);
    if (d.frameX > 0) {
        g.scissor(0, 0, d.frameX, d.screenHeight);
        g.clear(GL_COLOR_BUFFER_BIT);
        g.scissor(d.frameX + d.frameWidth, 0, d.screenWidth - d.frameX - d.frameWidth, d.screenHeight);
        g.clear(GL_COLOR_BUFFER_BIT);
    }
    if (d.frameY > 0) {
        g.scissor(0, 0, d.screenWidth, bottom);
        g.clear(GL_COLOR_BUFFER_BIT);
        g.scissor(0, bottom + d.frameHeight, d.screenWidth, d.screenHeight - bottom - d.frameHeight);
        g.clear(GL_COLOR_BUFFER_BIT);
    }

    swapWindow();

    g.bindFramebuffer(GL_FRAMEBUFFER, d.multisampleFramebuffer ? d.multisampleFramebuffer : d.framebuffer);
    g.clearColor(clearColour[0], clearColour[1], clearColour[2], clearColour[3]);
    g.scissor(scissorBox[0], scissorBox[1], scissorBox[2], scissorBox[3]);
    if (!scissorOn) g.disable(GL_SCISSOR_TEST);
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
    const FullscreenWindow& d = display;
    if (d.frameWidth <= 0 || d.frameHeight <= 0) {
        *frameX = windowX;
        *frameY = windowY;
        return;
    }
    long long x = static_cast<long long>(windowX - d.frameX) * d.modeWidth / d.frameWidth;
    long long y = static_cast<long long>(windowY - d.frameY) * d.modeHeight / d.frameHeight;
    *frameX = static_cast<int>(x < 0 ? 0 : x >= d.modeWidth ? d.modeWidth - 1 : x);
    *frameY = static_cast<int>(y < 0 ? 0 : y >= d.modeHeight ? d.modeHeight - 1 : y);
}

int displayOpenFullscreen(const char* title, int width, int height, int /*bitsPerPixel*/, int /*pages*/)
{
    // Every mode is shown in 24-bit colour and double-buffered by OpenGL, so
    // depth and pages change nothing here.
    if (display.window || display.hosted) displayClose();
    if (width <= 0 || height <= 0) return 0;
    display.title = title ? title : "";
    display.modeWidth = width;
    display.modeHeight = height;
    if (hostWindowId) {
        // Another program's window needs no SDL: GLX on the window itself.
        if (!hostOpen(hostWindowId, &display.screenWidth, &display.screenHeight)) return 0;
        display.hosted = true;
        placeFrame();
        resetPacing(displayRefreshRate());
        return 1;
    }
    if (!startVideo()) return 0;
    if (!createWindow(display.visual)) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return 0;
    }
    // The mode switch hands the program a pointer in the middle of the screen
    // and no input typed before it.
    SDL_WarpMouseInWindow(display.window, display.screenWidth / 2, display.screenHeight / 2);
    SDL_PumpEvents();
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    resetPacing(displayRefreshRate());
    return 1;
}

void displayClose()
{
    FullscreenWindow& d = display;
    displayDestroyGLContext();
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

int displayIsOpen()
{
    return display.window || display.hosted ? 1 : 0;
}

void displayFrameRectangle(int* x, int* y, int* width, int* height)
{
    *x = display.frameX;
    *y = display.frameY;
    *width = display.frameWidth;
    *height = display.frameHeight;
}

int displayCreateGLContext(const DisplayGLVisual& visual)
{
    FullscreenWindow& d = display;
    if (!d.window && !d.hosted) return 0;
    displayDestroyGLContext();
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
            displayDestroyGLContext();
            return 0;
        }
    }
    if (!resolvePresentationGL(d.gl)) {
        displayDestroyGLContext();
        return 0;
    }
    d.swapInterval = -1;
    // Multisampling draws into a frame buffer of its own, resolved into the
    // single-sampled one that is presented: a frame of the screen's size then
    // goes through a frame buffer too.
    const bool multisample = visual.samples > 1 && d.gl.renderbufferStorageMultisample &&
                             (treatAsHardware || !softwareRenderer(d.gl));
    const bool screenSized = !d.hosted && d.modeWidth == d.screenWidth && d.modeHeight == d.screenHeight;
    if ((!screenSized || multisample) && d.gl.genFramebuffers && createFrameBuffer(visual) && multisample &&
        !createMultisampleFrame(visual, visual.samples)) {
        if (screenSized)
            deleteFrameBuffer();
        else
            d.gl.bindFramebuffer(GL_FRAMEBUFFER, d.framebuffer);
    }
    if (!screenSized && !d.framebuffer) {
        // Without framebuffer objects the frame is drawn unscaled into the window's lower-left corner.
        d.frameX = 0;
        d.frameY = d.screenHeight - d.modeHeight;
        d.frameWidth = d.modeWidth;
        d.frameHeight = d.modeHeight;
    }
    // A new context's viewport is the window's; the program draws into the mode's frame.
    d.gl.viewport(0, 0, d.modeWidth, d.modeHeight);
    d.gl.scissor(0, 0, d.modeWidth, d.modeHeight);
    return 1;
}

void displayMakeGLCurrent(int bind)
{
    FullscreenWindow& d = display;
    if (d.hosted) {
        hostMakeCurrent(bind != 0);
        return;
    }
    if (!d.window || !d.context) return;
    SDL_GL_MakeCurrent(d.window, bind ? d.context : nullptr);
}

void displayDestroyGLContext()
{
    FullscreenWindow& d = display;
    if (d.hosted && hostHasContext()) {
        // A window that has gone took the frame's drawable, not its names:
        // the context frees those when it is deleted.
        if (hostGone()) {
            d.framebuffer = d.colourBuffer = d.depthBuffer = 0;
            d.multisampleFramebuffer = d.multisampleColour = d.multisampleDepth = 0;
            d.samples = 0;
        } else {
            hostMakeCurrent(true);
            deleteFrameBuffer();
        }
        hostDestroyContext();
        d.gl = PresentationGL();
        return;
    }
    if (!d.context) return;
    SDL_GL_MakeCurrent(d.window, d.context);
    deleteFrameBuffer();
    SDL_GL_MakeCurrent(d.window, nullptr);
    SDL_GL_DeleteContext(d.context);
    d.context = nullptr;
    d.gl = PresentationGL();
}

void displaySwapGL(int waitForRetrace)
{
    FullscreenWindow& d = display;
    if (d.hosted) {
        if (!hostHasContext()) return;
        // The host window's owner may resize it at any time (a settings
        // preview does); the next frame is scaled into the new size.
        if (hostSizeChanged(&d.screenWidth, &d.screenHeight)) placeFrame();
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
    if (d.multisampleFramebuffer) resolveMultisampleFrame();
    if (d.framebuffer)
        presentFrameBuffer();
    else
        swapWindow();
    if (interval) pacePass();
}

int displayGLSamples()
{
    return display.samples;
}

int displayGLSoftwareRenderer()
{
    if (treatAsHardware || (!display.context && !(display.hosted && hostHasContext()))) return 0;
    return softwareRenderer(display.gl) ? 1 : 0;
}

void displayTreatAsHardware(int treat)
{
    treatAsHardware = treat ? 1 : 0;
}

int displayReadFrame(uint8_t* rgb)
{
    FullscreenWindow& d = display;
    if (!d.gl.readPixels || (!d.context && !(d.hosted && hostHasContext()))) return 0;
    if (d.multisampleFramebuffer) {
        resolveMultisampleFrame();
        d.gl.bindFramebuffer(GL_READ_FRAMEBUFFER, d.framebuffer);
    }
    GLint packAlignment = 4;
    d.gl.getIntegerv(GL_PACK_ALIGNMENT, &packAlignment);
    d.gl.pixelStorei(GL_PACK_ALIGNMENT, 1);
    d.gl.readPixels(0, 0, d.modeWidth, d.modeHeight, GL_RGB, GL_UNSIGNED_BYTE, rgb);
    d.gl.pixelStorei(GL_PACK_ALIGNMENT, packAlignment);
    if (d.multisampleFramebuffer) d.gl.bindFramebuffer(GL_FRAMEBUFFER, d.multisampleFramebuffer);
    return 1;
}

void displayWaitForRefresh()
{
    if (vsyncAllowed && displayIsOpen()) pacePass();
}

void displayAllowVsync(int allowed)
{
    vsyncAllowed = allowed ? 1 : 0;
    display.swapInterval = -1;
    resetPacing(displayRefreshRate());
}

void displayReclaimFocus()
{
    if (!display.window) return;
    SDL_RestoreWindow(display.window);
    SDL_RaiseWindow(display.window);
    SDL_SetWindowInputFocus(display.window);
}

void displayGrabInput(int grab)
{
    inputGrabbed = grab ? 1 : 0;
    applyPointerAndGrab();
}

void displayShowPointer(int shown)
{
    pointerShown = shown ? 1 : 0;
    applyPointerAndGrab();
}

void displayUseHostWindow(uint64_t window)
{
    hostWindowId = window;
}

uint64_t chosenHostWindow()
{
    return hostWindowId;
}

int displayHostWindowGone()
{
    return hostGone() ? 1 : 0;
}
