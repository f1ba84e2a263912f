// The Wayland host's window: a surface on every output, the museum on the
// first and black on the others, at each output's own pixel size; OpenGL on
// the museum's surface through EGL; presents paced by the compositor's frame
// callbacks.
//
// A present waits for the compositor to ask for the next frame before the
// frame loop draws again, so nothing is drawn while the museum's output is
// hidden and nothing spins. The wait ends early on input (the frame loop
// must see a key or a motion at once) and on a termination signal; an
// interrupted wait leaves the frame it would have shown undrawn, since the
// compositor has not asked for it yet.
#include <EGL/egl.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-egl.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "platform/clock.h"
#include "platform/display_hosts.h"
#include "platform/saver_host.h"
#include "platform/wayland_host.h"
#include "ext-session-lock-v1-client-protocol.h"
#include "viewporter-client-protocol.h"
#include "xdg-shell-client-protocol.h"

WaylandWindow waylandWindow;

namespace {

// Settings that outlive a window, as on X11.
int vsyncAllowed = 1;
bool lockWanted = false;       // a password run: the covers are lock surfaces

constexpr int kConfigureWaitMs = 5000;   // the longest wait for the compositor to place the covers
constexpr int kSignalCheckMs = 250;      // a wait looks at the termination flag this often

// ---- Black buffers ----

wl_buffer* blackBuffer(int width, int height)
{
    if (width <= 0 || height <= 0) return nullptr;
    size_t stride = static_cast<size_t>(width) * 4, size = stride * static_cast<size_t>(height);
    int fd = memfd_create("vellamir-black", MFD_CLOEXEC);
    if (fd < 0) return nullptr;
    // A new file reads as zeros: black in XRGB, with no page of it ever touched.
    if (ftruncate(fd, static_cast<off_t>(size)) != 0) {
        close(fd);
        return nullptr;
    }
    wl_shm_pool* pool = wl_shm_create_pool(wayland.shm, fd, static_cast<int32_t>(size));
    wl_buffer* buffer = wl_shm_pool_create_buffer(pool, 0, width, height, static_cast<int32_t>(stride),
                                                  WL_SHM_FORMAT_XRGB8888);
    wl_shm_pool_destroy(pool);
    close(fd);
    return buffer;
}

// ---- EGL on the museum's surface ----

EGLDisplay eglDisplay() { return static_cast<EGLDisplay>(waylandWindow.eglDisplay); }

void* eglProcAddress(const char* name)
{
    return reinterpret_cast<void*>(eglGetProcAddress(name));
}

bool glExtensionOffered(const char* name)
{
    auto getString = reinterpret_cast<const GLubyte* (*)(GLenum)>(eglProcAddress("glGetString"));
    const char* list = getString ? reinterpret_cast<const char*>(getString(GL_EXTENSIONS)) : nullptr;
    size_t length = strlen(name);
    for (const char* at = list; at && (at = strstr(at, name)) != nullptr; at += length)
        if ((at == list || at[-1] == ' ') && (at[length] == ' ' || at[length] == 0)) return true;
    return false;
}

// Puts the museum's EGL surface on a cover and makes the context current on it.
bool attachEGL(OutputCover& cover)
{
    WaylandWindow& w = waylandWindow;
    if (!w.eglContext) return true;
    w.eglWindow = wl_egl_window_create(cover.surface, cover.bufferWidth, cover.bufferHeight);
    if (!w.eglWindow) return false;
    EGLSurface surface = eglCreateWindowSurface(eglDisplay(), static_cast<EGLConfig>(w.eglConfig),
                                                reinterpret_cast<EGLNativeWindowType>(w.eglWindow), nullptr);
    if (surface == EGL_NO_SURFACE) {
        wl_egl_window_destroy(w.eglWindow);
        w.eglWindow = nullptr;
        return false;
    }
    w.eglSurface = surface;
    w.eglCover = &cover;
    eglMakeCurrent(eglDisplay(), surface, surface, static_cast<EGLContext>(w.eglContext));
    // The compositor's frame callbacks pace the presents; EGL's own wait would block while hidden.
    eglSwapInterval(eglDisplay(), 0);
    return true;
}

void detachEGL()
{
    WaylandWindow& w = waylandWindow;
    if (w.frameCallback) {
        wl_callback_destroy(w.frameCallback);
        w.frameCallback = nullptr;
    }
    if (w.eglSurface) {
        eglMakeCurrent(eglDisplay(), EGL_NO_SURFACE, EGL_NO_SURFACE,
                       w.eglContext ? static_cast<EGLContext>(w.eglContext) : EGL_NO_CONTEXT);
        eglDestroySurface(eglDisplay(), static_cast<EGLSurface>(w.eglSurface));
        w.eglSurface = nullptr;
    }
    if (w.eglWindow) {
        wl_egl_window_destroy(w.eglWindow);
        w.eglWindow = nullptr;
    }
    w.eglCover = nullptr;
}

// ---- Covers ----

// The sizes that follow from a configure: the museum gets the output's own
// pixels (scaled to the surface by the viewporter, or by the integer buffer
// scale without one), a black cover its surface's size.
void applySize(WaylandOutput& output, OutputCover& cover)
{
    int logicalWidth = cover.logicalWidth, logicalHeight = cover.logicalHeight;
    if (logicalWidth <= 0 || logicalHeight <= 0) {
        logicalWidth = output.pixelWidth / output.scale;
        logicalHeight = output.pixelHeight / output.scale;
        cover.logicalWidth = logicalWidth;
        cover.logicalHeight = logicalHeight;
    }
    if (!cover.museum) {
        if (cover.blackBuffer && cover.bufferWidth == logicalWidth && cover.bufferHeight == logicalHeight) return;
        if (cover.blackBuffer) wl_buffer_destroy(cover.blackBuffer);
        cover.bufferWidth = logicalWidth;
        cover.bufferHeight = logicalHeight;
        cover.blackBuffer = blackBuffer(logicalWidth, logicalHeight);
        if (cover.blackBuffer) wl_surface_attach(cover.surface, cover.blackBuffer, 0, 0);
        wl_surface_damage(cover.surface, 0, 0, logicalWidth, logicalHeight);
        wl_surface_commit(cover.surface);
        return;
    }
    if (cover.viewport) {
        cover.bufferWidth = output.pixelWidth;
        cover.bufferHeight = output.pixelHeight;
        wp_viewport_set_destination(cover.viewport, logicalWidth, logicalHeight);
    } else {
        cover.bufferWidth = logicalWidth * output.scale;
        cover.bufferHeight = logicalHeight * output.scale;
        wl_surface_set_buffer_scale(cover.surface, output.scale);
    }
    WaylandWindow& w = waylandWindow;
    if (w.eglWindow) wl_egl_window_resize(w.eglWindow, cover.bufferWidth, cover.bufferHeight, 0, 0);
    if (w.frame.screenWidth != cover.bufferWidth || w.frame.screenHeight != cover.bufferHeight) {
        w.frame.screenWidth = cover.bufferWidth;
        w.frame.screenHeight = cover.bufferHeight;
        placeFrame(w.frame);
    }
}

WaylandOutput* outputOf(OutputCover* cover)
{
    for (auto& output : wayland.outputs)
        if (output->cover.get() == cover) return output.get();
    return nullptr;
}

void configured(OutputCover* cover)
{
    cover->configured = true;
    if (WaylandOutput* output = outputOf(cover)) applySize(*output, *cover);
}

void shellSurfaceConfigure(void* data, xdg_surface* shellSurface, uint32_t serial)
{
    auto* cover = static_cast<OutputCover*>(data);
    xdg_surface_ack_configure(shellSurface, serial);
    cover->logicalWidth = cover->pendingWidth;
    cover->logicalHeight = cover->pendingHeight;
    configured(cover);
}
const xdg_surface_listener shellSurfaceListener = {shellSurfaceConfigure};

void toplevelConfigure(void* data, xdg_toplevel*, int32_t width, int32_t height, wl_array*)
{
    auto* cover = static_cast<OutputCover*>(data);
    cover->pendingWidth = width;
    cover->pendingHeight = height;
}
void toplevelClose(void*, xdg_toplevel*)
{
    queueWindowLoss();
}
void toplevelBounds(void*, xdg_toplevel*, int32_t, int32_t) {}
void toplevelCapabilities(void*, xdg_toplevel*, wl_array*) {}
const xdg_toplevel_listener toplevelListener = {toplevelConfigure, toplevelClose, toplevelBounds,
                                                toplevelCapabilities};

void lockSurfaceConfigure(void* data, ext_session_lock_surface_v1* lockSurface, uint32_t serial, uint32_t width,
                          uint32_t height)
{
    auto* cover = static_cast<OutputCover*>(data);
    ext_session_lock_surface_v1_ack_configure(lockSurface, serial);
    cover->logicalWidth = static_cast<int>(width);
    cover->logicalHeight = static_cast<int>(height);
    configured(cover);
}
const ext_session_lock_surface_v1_listener lockSurfaceListener = {lockSurfaceConfigure};

// The lock object of the run, while it has one (wayland_lock.cpp makes it).
ext_session_lock_v1* currentLock = nullptr;

std::unique_ptr<OutputCover> makeCover(WaylandOutput& output, bool museum, bool lock)
{
    auto cover = std::make_unique<OutputCover>();
    cover->museum = museum;
    cover->surface = wl_compositor_create_surface(wayland.compositor);
    if (museum && wayland.viewporter) cover->viewport = wp_viewporter_get_viewport(wayland.viewporter, cover->surface);
    if (lock) {
        cover->lockSurface = ext_session_lock_v1_get_lock_surface(currentLock, cover->surface, output.output);
        ext_session_lock_surface_v1_add_listener(cover->lockSurface, &lockSurfaceListener, cover.get());
    } else {
        cover->shellSurface = xdg_wm_base_get_xdg_surface(wayland.shell, cover->surface);
        xdg_surface_add_listener(cover->shellSurface, &shellSurfaceListener, cover.get());
        cover->toplevel = xdg_surface_get_toplevel(cover->shellSurface);
        xdg_toplevel_add_listener(cover->toplevel, &toplevelListener, cover.get());
        xdg_toplevel_set_title(cover->toplevel, museum ? "Vellamir" : "Vellamir cover");
        xdg_toplevel_set_app_id(cover->toplevel, "vellamir");
        xdg_toplevel_set_fullscreen(cover->toplevel, output.output);
        wl_surface_commit(cover->surface);
    }
    return cover;
}

bool allConfigured()
{
    for (auto& output : wayland.outputs)
        if (output->cover && !output->cover->configured) return false;
    return true;
}

} // namespace

void setCurrentLock(ext_session_lock_v1* lock)
{
    currentLock = lock;
}

void destroyCover(std::unique_ptr<OutputCover>& cover)
{
    if (!cover) return;
    if (waylandWindow.eglCover == cover.get()) detachEGL();
    if (cover->viewport) wp_viewport_destroy(cover->viewport);
    if (cover->lockSurface) ext_session_lock_surface_v1_destroy(cover->lockSurface);
    if (cover->toplevel) xdg_toplevel_destroy(cover->toplevel);
    if (cover->shellSurface) xdg_surface_destroy(cover->shellSurface);
    if (cover->blackBuffer) wl_buffer_destroy(cover->blackBuffer);
    wl_surface_destroy(cover->surface);
    cover.reset();
}

bool coverOutputs(bool lockSurfaces)
{
    WaylandOutput* museum = museumOutput();
    if (!museum) return false;
    // The new covers come up before the old ones go, so the desktop never shows in between.
    std::vector<std::unique_ptr<OutputCover>> old;
    for (auto& output : wayland.outputs) {
        old.push_back(std::move(output->cover));
        if (output->described) output->cover = makeCover(*output, output.get() == museum, lockSurfaces);
    }
    uint64_t deadline = monotonicMicroseconds() + kConfigureWaitMs * 1000ull;
    while (!allConfigured() && monotonicMicroseconds() < deadline)
        if (!waylandPump(kSignalCheckMs)) break;
    bool placed = allConfigured();
    if (waylandWindow.eglCover) detachEGL();
    if (placed && museum->cover && !attachEGL(*museum->cover)) placed = false;
    for (auto& cover : old) destroyCover(cover);
    return placed;
}

void waylandOutputAdded(WaylandOutput& output)
{
    if (!waylandWindow.open || output.cover) return;
    // A monitor plugged in during the run is covered at once; it never takes the museum.
    output.cover = makeCover(output, false, lockWanted && currentLock);
}

void waylandOutputRemoved(WaylandOutput& output)
{
    if (!output.cover) return;
    bool museum = output.cover->museum;
    destroyCover(output.cover);
    if (museum) {
        waylandWindow.lost = true;
        queueWindowLoss();
    }
}

bool isCoverSurface(wl_surface* surface)
{
    for (auto& output : wayland.outputs)
        if (output->cover && output->cover->surface == surface) return true;
    return false;
}

void surfaceToFrame(wl_surface* surface, double x, double y, int* frameX, int* frameY)
{
    const ScaledFrame& frame = waylandWindow.frame;
    const WaylandOutput* museum = nullptr;
    for (auto& output : wayland.outputs)
        if (output->cover && output->cover->museum) museum = output.get();
    const OutputCover* shown = museum ? museum->cover.get() : nullptr;
    if (!shown || shown->logicalWidth <= 0 || shown->logicalHeight <= 0) {
        screenToFrame(frame, -1, -1, frameX, frameY);
        return;
    }
    for (auto& output : wayland.outputs) {
        const OutputCover* cover = output->cover.get();
        if (!cover || cover->surface != surface) continue;
        if (cover == shown) {
            int screenX = static_cast<int>(x * shown->bufferWidth / shown->logicalWidth);
            int screenY = static_cast<int>(y * shown->bufferHeight / shown->logicalHeight);
            screenToFrame(frame, screenX, screenY, frameX, frameY);
            return;
        }
        // Over a black cover the pointer is placed by the layout, beside the
        // museum's output and not held to its frame: a motion there leaves the
        // 4-pixel box as it does over the museum, and a desk with two monitors
        // wakes from either mouse position.
        besideFrame(frame, (output->x - museum->x + x) * shown->bufferWidth / shown->logicalWidth,
                    (output->y - museum->y + y) * shown->bufferHeight / shown->logicalHeight, frameX, frameY);
        return;
    }
    screenToFrame(frame, -1, -1, frameX, frameY);
}

namespace {

// ---- The display.h entry points ----

int waylandDesktopSize(int* width, int* height)
{
    WaylandOutput* output = waylandConnect() ? museumOutput() : nullptr;
    if (!output) return 0;
    if (width) *width = output->pixelWidth;
    if (height) *height = output->pixelHeight;
    return 1;
}

int waylandRefreshRate()
{
    WaylandOutput* output = waylandConnect() ? museumOutput() : nullptr;
    int hz = output ? (output->refreshMilliHz + 500) / 1000 : 0;
    return hz > 0 ? hz : 60;
}

void waylandClose();

int waylandOpenFullscreen(const char* /*title*/, int width, int height, int /*bitsPerPixel*/, int /*pages*/)
{
    WaylandWindow& w = waylandWindow;
    if (w.open) waylandClose();
    if (width <= 0 || height <= 0 || !waylandConnect() || !museumOutput()) return 0;
    resetWaylandInput();
    w.open = true;
    w.lost = false;
    w.frame = ScaledFrame();
    w.frame.modeWidth = width;
    w.frame.modeHeight = height;
    if (!coverOutputs(lockWanted)) {
        waylandClose();
        return 0;
    }
    return 1;
}

void waylandDestroyGLContext()
{
    WaylandWindow& w = waylandWindow;
    if (!w.eglContext) return;
    if (w.eglSurface) {
        eglMakeCurrent(eglDisplay(), static_cast<EGLSurface>(w.eglSurface), static_cast<EGLSurface>(w.eglSurface),
                       static_cast<EGLContext>(w.eglContext));
        deleteFrameBuffer(w.frame);
    } else {
        forgetFrameBuffer(w.frame);
    }
    detachEGL();
    eglMakeCurrent(eglDisplay(), EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    eglDestroyContext(eglDisplay(), static_cast<EGLContext>(w.eglContext));
    w.eglContext = nullptr;
    w.frame.gl = PresentationGL();
}

void waylandClose()
{
    WaylandWindow& w = waylandWindow;
    waylandDestroyGLContext();
    // A session locked by this run stays locked: only the right password lets it go.
    if (!waylandLocked())
        for (auto& output : wayland.outputs) destroyCover(output->cover);
    if (wayland.display && !wayland.failed) wl_display_flush(wayland.display);
    w.open = false;
    w.frame = ScaledFrame();
}

int waylandIsOpen()
{
    return waylandWindow.open ? 1 : 0;
}

void waylandFrameRectangle(int* x, int* y, int* width, int* height)
{
    const ScaledFrame& frame = waylandWindow.frame;
    *x = frame.frameX;
    *y = frame.frameY;
    *width = frame.frameWidth;
    *height = frame.frameHeight;
}

void waylandUseHostWindow(uint64_t window)
{
    // Another program's window is an X window; this host draws full screen.
    if (window) fprintf(stderr, "Vellamir: an X window to draw in is ignored on Wayland; running full screen.\n");
}

int waylandHostWindowGone()
{
    return 0;
}

// The window's frame buffer config: the visual's depth and stencil, and no
// alpha in the window itself (an alpha channel would make the surface
// see-through); a visual with alpha keeps it in the frame buffer object.
EGLConfig chooseConfig(const DisplayGLVisual& visual)
{
    const EGLint wanted[] = {EGL_SURFACE_TYPE, EGL_WINDOW_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
                             EGL_RED_SIZE, 8, EGL_GREEN_SIZE, 8, EGL_BLUE_SIZE, 8,
                             EGL_DEPTH_SIZE, visual.depthBits, EGL_STENCIL_SIZE, visual.stencilBits, EGL_NONE};
    EGLint count = 0;
    if (!eglChooseConfig(eglDisplay(), wanted, nullptr, 0, &count) || count <= 0) return nullptr;
    std::vector<EGLConfig> configs(static_cast<size_t>(count));
    eglChooseConfig(eglDisplay(), wanted, configs.data(), count, &count);
    for (EGLint i = 0; i < count; ++i) {
        EGLint alpha = 0;
        eglGetConfigAttrib(eglDisplay(), configs[i], EGL_ALPHA_SIZE, &alpha);
        if (alpha == 0) return configs[i];
    }
    return nullptr;
}

int waylandCreateGLContext(const DisplayGLVisual& visual)
{
    WaylandWindow& w = waylandWindow;
    WaylandOutput* museum = museumOutput();
    if (!w.open || !museum || !museum->cover) return 0;
    waylandDestroyGLContext();
    if (!w.eglDisplay) {
        EGLDisplay display = eglGetDisplay(reinterpret_cast<EGLNativeDisplayType>(wayland.display));
        if (display == EGL_NO_DISPLAY || !eglInitialize(display, nullptr, nullptr)) return 0;
        w.eglDisplay = display;
    }
    if (!eglBindAPI(EGL_OPENGL_API)) return 0;
    EGLConfig config = chooseConfig(visual);
    if (!config) return 0;
    EGLContext context = eglCreateContext(eglDisplay(), config, EGL_NO_CONTEXT, nullptr);
    if (context == EGL_NO_CONTEXT) return 0;
    w.eglConfig = config;
    w.eglContext = context;
    w.visual = visual;
    if (!attachEGL(*museum->cover) || !resolvePresentationGL(w.frame.gl, eglProcAddress, glExtensionOffered("GL_ARB_framebuffer_object"))) {
        waylandDestroyGLContext();
        return 0;
    }
    prepareFrame(w.frame, visual, visual.alphaBits > 0);
    return 1;
}

void waylandMakeGLCurrent(int bind)
{
    WaylandWindow& w = waylandWindow;
    if (!w.eglContext) return;
    if (bind && w.eglSurface)
        eglMakeCurrent(eglDisplay(), static_cast<EGLSurface>(w.eglSurface), static_cast<EGLSurface>(w.eglSurface),
                       static_cast<EGLContext>(w.eglContext));
    else
        eglMakeCurrent(eglDisplay(), EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
}

void frameDone(void*, wl_callback* callback, uint32_t)
{
    wl_callback_destroy(callback);
    if (waylandWindow.frameCallback == callback) waylandWindow.frameCallback = nullptr;
}
const wl_callback_listener frameListener = {frameDone};

// Waits until the compositor asks for the next frame, or input or a
// termination signal needs the frame loop. A broken connection ends the run.
void waitForFrame()
{
    WaylandWindow& w = waylandWindow;
    while (w.frameCallback && waylandInput.empty() && !terminationRequested() && !w.lost) {
        if (!waylandPump(kSignalCheckMs)) {
            fprintf(stderr, "Vellamir: the connection to the Wayland compositor was lost.\n");
            exit(1);
        }
    }
}

void swapEGL()
{
    eglSwapBuffers(eglDisplay(), static_cast<EGLSurface>(waylandWindow.eglSurface));
}

// Nothing new to show, or nowhere to show it: one refresh passes, unless input comes first.
void restOneRefresh()
{
    uint64_t until = monotonicMicroseconds() + 1000000u / static_cast<uint64_t>(waylandRefreshRate());
    for (uint64_t now = monotonicMicroseconds(); now < until && waylandInput.empty() && !terminationRequested();
         now = monotonicMicroseconds())
        if (!waylandPump(static_cast<int>((until - now + 999) / 1000))) break;
}

void waylandSwapGL(int waitForRetrace)
{
    WaylandWindow& w = waylandWindow;
    WaylandOutput* museum = museumOutput();
    // The museum's output gone, or the lock given back: the loop keeps its pace without a surface.
    if (!w.eglContext || !w.eglSurface || w.lost || !museum || !museum->cover || !museum->cover->configured) {
        if (vsyncAllowed && waitForRetrace && w.open) restOneRefresh();
        return;
    }
    bool paced = vsyncAllowed && waitForRetrace;
    if (paced && w.frameCallback) {
        waitForFrame();
        if (w.frameCallback) return;
    }
    if (paced) {
        w.frameCallback = wl_surface_frame(museum->cover->surface);
        wl_callback_add_listener(w.frameCallback, &frameListener, nullptr);
    }
    presentFrame(w.frame, swapEGL);
    if (paced) waitForFrame();
}

void waylandWaitForRefresh()
{
    WaylandWindow& w = waylandWindow;
    if (!vsyncAllowed || !w.open) return;
    if (w.frameCallback)
        waitForFrame();
    else
        restOneRefresh();
}

void waylandAllowVsync(int allowed)
{
    vsyncAllowed = allowed ? 1 : 0;
}

void waylandReclaimFocus()
{
    // A Wayland client cannot take the keyboard; a password run holds the session's lock instead.
}

void waylandGrabInput(int grab)
{
    // Only the right password lets the lock go (displayUnlockSession), never a
    // release of the grab: a fatal error's clean-up must leave the session locked.
    if (!grab || lockWanted) return;
    lockWanted = true;
    if (waylandWindow.open) waylandLock();
}

void waylandShowPointer(int shown)
{
    setWaylandPointerShown(shown != 0);
}

void waylandUnlockSession()
{
    waylandUnlock();
}

int waylandGLSamples()
{
    return waylandWindow.frame.samples;
}

int waylandGLSoftwareRenderer()
{
    return waylandWindow.eglContext && drawnInSoftware(waylandWindow.frame) ? 1 : 0;
}

int waylandReadFrame(uint8_t* rgb)
{
    return waylandWindow.eglContext && readFrame(waylandWindow.frame, rgb) ? 1 : 0;
}

} // namespace

const DisplayHost waylandDisplayHost = {
    "wayland", waylandDesktopSize, waylandDesktopSize, waylandRefreshRate, waylandOpenFullscreen, waylandClose,
    waylandIsOpen, waylandFrameRectangle, waylandUseHostWindow, waylandHostWindowGone, waylandCreateGLContext,
    waylandMakeGLCurrent, waylandDestroyGLContext, waylandSwapGL, waylandWaitForRefresh, waylandAllowVsync,
    waylandPollInput, waylandReclaimFocus, waylandGrabInput, waylandShowPointer, waylandLockRefusal,
    waylandUnlockSession, waylandLocked, waylandGLSamples, waylandGLSoftwareRenderer, waylandReadFrame,
};
