// Drawing into a window another program owns, as XScreenSaver's daemon hands
// one to its hacks. The program takes nothing from the window but its
// visual, its size and its end: no input is selected on it, its pointer and
// focus stay the owner's, and its destruction under a running saver is an
// ordinary event, caught by this connection's own X error handler, not a crash.
#include "platform/host_window.h"

#include <GL/glx.h>
#include <GL/glxext.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstring>

namespace {

// The window and the context on it. One instance; filled by hostOpen and
// hostCreateContext, emptied by hostClose.
struct HostWindow {
    Display* x11 = nullptr;         // a connection of our own
    ::Window window = 0;
    XVisualInfo* visual = nullptr;
    int width = 0, height = 0;      // the size last reported
    GLXContext context = nullptr;
    int doubleBuffered = 0;
    PFNGLXSWAPINTERVALMESAPROC swapInterval = nullptr;
    int (*previousHandler)(Display*, XErrorEvent*) = nullptr;
};

HostWindow host;
// Outlives the connection, so the run can tell afterwards why it ended.
bool windowGone = false;

int hostErrorHandler(Display* x11, XErrorEvent* error)
{
    if (x11 != host.x11) return host.previousHandler ? host.previousHandler(x11, error) : 0;
    // Every request on this connection is about the window or the context on
    // it, so an error naming the window, or a missing window or drawable, is
    // the window's end. Other errors are left to the call that made them.
    if (error->resourceid == host.window || error->error_code == BadWindow || error->error_code == BadDrawable)
        windowGone = true;
    return 0;
}

bool hasWord(const char* list, const char* word)
{
    size_t length = strlen(word);
    for (const char* at = list; at && (at = strstr(at, word)) != nullptr; at += length)
        if ((at == list || at[-1] == ' ') && (at[length] == ' ' || at[length] == 0)) return true;
    return false;
}

} // namespace

bool hostOpen(uint64_t window, int* width, int* height)
{
    hostClose();
    windowGone = false;
    host.x11 = XOpenDisplay(nullptr);
    if (!host.x11) return false;
    host.window = static_cast<::Window>(window);
    host.previousHandler = XSetErrorHandler(hostErrorHandler);

    XWindowAttributes attributes;
    if (!XGetWindowAttributes(host.x11, host.window, &attributes)) {
        windowGone = true;
        hostClose();
        return false;
    }
    XVisualInfo wanted = {};
    wanted.visualid = XVisualIDFromVisual(attributes.visual);
    wanted.screen = XScreenNumberOfScreen(attributes.screen);
    int count = 0;
    host.visual = XGetVisualInfo(host.x11, VisualIDMask | VisualScreenMask, &wanted, &count);
    // Size changes and the window's end arrive as events from here on.
    XSelectInput(host.x11, host.window, StructureNotifyMask);
    XSync(host.x11, False);
    if (!host.visual || windowGone) {
        hostClose();
        return false;
    }
    host.width = *width = attributes.width;
    host.height = *height = attributes.height;
    return true;
}

bool hostWindowSize(uint64_t window, int* width, int* height)
{
    Display* x11 = XOpenDisplay(nullptr);
    if (!x11) return false;
    // A window that does not exist is an error on this connection only, answered here.
    int (*previous)(Display*, XErrorEvent*) = XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    XWindowAttributes attributes;
    bool found = XGetWindowAttributes(x11, static_cast<::Window>(window), &attributes) != 0;
    XSync(x11, False);
    XSetErrorHandler(previous);
    XCloseDisplay(x11);
    if (!found || attributes.width <= 0 || attributes.height <= 0) return false;
    *width = attributes.width;
    *height = attributes.height;
    return true;
}

void hostClose()
{
    if (!host.x11) return;
    hostDestroyContext();
    if (!windowGone) XSelectInput(host.x11, host.window, NoEventMask);
    // Errors of requests still on their way must reach our handler, not the one after it.
    XSync(host.x11, False);
    XSetErrorHandler(host.previousHandler);
    if (host.visual) XFree(host.visual);
    XCloseDisplay(host.x11);
    host = HostWindow();
}

bool hostSizeChanged(int* width, int* height)
{
    if (!host.x11) return false;
    bool changed = false;
    while (!windowGone && XPending(host.x11)) {
        XEvent event;
        XNextEvent(host.x11, &event);
        if (event.type == DestroyNotify && event.xdestroywindow.window == host.window) {
            windowGone = true;
        } else if (event.type == ConfigureNotify && event.xconfigure.window == host.window &&
                   (event.xconfigure.width != host.width || event.xconfigure.height != host.height)) {
            host.width = event.xconfigure.width;
            host.height = event.xconfigure.height;
            changed = true;
        }
    }
    *width = host.width;
    *height = host.height;
    return changed;
}

bool hostGone()
{
    return windowGone;
}

bool hostCreateContext()
{
    if (!host.x11 || windowGone) return false;
    hostDestroyContext();
    int usesGL = 0;
    if (glXGetConfig(host.x11, host.visual, GLX_USE_GL, &usesGL) != 0 || !usesGL) return false;
    glXGetConfig(host.x11, host.visual, GLX_DOUBLEBUFFER, &host.doubleBuffered);
    host.context = glXCreateContext(host.x11, host.visual, nullptr, True);
    if (!host.context) return false;
    if (!glXMakeCurrent(host.x11, host.window, host.context) || windowGone) {
        hostDestroyContext();
        return false;
    }
    const char* extensions = glXQueryExtensionsString(host.x11, host.visual->screen);
    if (hasWord(extensions, "GLX_MESA_swap_control"))
        host.swapInterval = reinterpret_cast<PFNGLXSWAPINTERVALMESAPROC>(
            glXGetProcAddressARB(reinterpret_cast<const GLubyte*>("glXSwapIntervalMESA")));
    return true;
}

bool hostHasContext()
{
    return host.context != nullptr;
}

void hostMakeCurrent(bool bind)
{
    if (!host.context) return;
    if (bind && !windowGone)
        glXMakeCurrent(host.x11, host.window, host.context);
    else
        glXMakeCurrent(host.x11, None, nullptr);
}

void hostDestroyContext()
{
    if (!host.context) return;
    glXMakeCurrent(host.x11, None, nullptr);
    glXDestroyContext(host.x11, host.context);
    host.context = nullptr;
    host.swapInterval = nullptr;
}

void* hostProcAddress(const char* name)
{
    return reinterpret_cast<void*>(glXGetProcAddressARB(reinterpret_cast<const GLubyte*>(name)));
}

bool hostExtensionSupported(const char* name)
{
    auto getString = reinterpret_cast<const GLubyte* (*)(GLenum)>(hostProcAddress("glGetString"));
    return getString && hasWord(reinterpret_cast<const char*>(getString(GL_EXTENSIONS)), name);
}

void hostSetSwapInterval(int interval)
{
    if (host.swapInterval) host.swapInterval(static_cast<unsigned>(interval));
}

void hostSwap()
{
    if (!host.context || windowGone) return;
    if (host.doubleBuffered)
        glXSwapBuffers(host.x11, host.window);
    else
        glXWaitGL();
}
