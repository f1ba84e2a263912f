// What the Wayland host's files share: the connection and its globals, the
// outputs and the surface that covers each while a mode is open, the
// museum's OpenGL, the seat's input and the session's lock. Only the
// wayland_*.cpp files include this.
#pragma once

#include <wayland-client.h>

#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

#include "platform/display.h"
#include "platform/frame_scaling.h"

struct xdg_wm_base;
struct xdg_surface;
struct xdg_toplevel;
struct wp_viewporter;
struct zxdg_output_manager_v1;
struct zxdg_output_v1;
struct wp_viewport;
struct ext_session_lock_manager_v1;
struct ext_session_lock_v1;
struct ext_session_lock_surface_v1;
struct wl_egl_window;

// ---- The connection (wayland_connection.cpp) ------------------------------------------

// The surface that covers one output while a mode is open: a full-screen
// xdg_toplevel, or a lock surface while the session is locked.
struct OutputCover {
    wl_surface* surface = nullptr;
    xdg_surface* shellSurface = nullptr;
    xdg_toplevel* toplevel = nullptr;
    ext_session_lock_surface_v1* lockSurface = nullptr;
    wp_viewport* viewport = nullptr;
    bool configured = false;
    int pendingWidth = 0, pendingHeight = 0;   // the toplevel's size until its surface's configure
    int logicalWidth = 0, logicalHeight = 0;   // the configured size, in surface units
    int bufferWidth = 0, bufferHeight = 0;     // what is drawn into it, in pixels
    wl_buffer* blackBuffer = nullptr;          // the other outputs' cover, at its size
    bool museum = false;                       // the museum is drawn on this one
};

// One monitor as the compositor describes it, and its cover while a mode is open.
struct WaylandOutput {
    wl_output* output = nullptr;
    uint32_t name = 0;                     // the registry's name of the global
    int pixelWidth = 0, pixelHeight = 0;   // the current mode, turned as the output is
    int refreshMilliHz = 0;
    int x = 0, y = 0;                      // its place in the compositor's layout
    zxdg_output_v1* layout = nullptr;      // tells that place where wl_output does not
    int scale = 1;                         // the integer scale the compositor announces
    bool turned = false;                   // a transform of 90 or 270 degrees
    bool described = false;                // a mode and a done event have arrived
    std::unique_ptr<OutputCover> cover;
};

// The connection and what it offers. One instance for the process; made by the first question.
struct WaylandConnection {
    wl_display* display = nullptr;
    wl_registry* registry = nullptr;
    wl_compositor* compositor = nullptr;
    wl_shm* shm = nullptr;
    xdg_wm_base* shell = nullptr;
    wl_seat* seat = nullptr;
    wp_viewporter* viewporter = nullptr;
    zxdg_output_manager_v1* layoutManager = nullptr;
    ext_session_lock_manager_v1* lockManager = nullptr;
    std::vector<std::unique_ptr<WaylandOutput>> outputs;
    bool failed = false;               // no compositor, or the connection broke
};
extern WaylandConnection wayland;

// Connects once and learns the globals and the outputs; false without a compositor.
bool waylandConnect();
// Sends what is queued, waits up to timeoutMs (-1: no limit) for the
// compositor's events and handles all that arrived. False once the
// connection is broken, which ends the run (the session is gone with it).
bool waylandPump(int timeoutMs);
// The output the museum goes on: of the described ones the first in reading
// order of the layout (the top row, then the left), as a primary monitor
// would be; null when none is described.
WaylandOutput* museumOutput();
// Hooks for outputs that come and go while a mode is open (wayland_window.cpp).
void waylandOutputAdded(WaylandOutput& output);
void waylandOutputRemoved(WaylandOutput& output);
// The seat appeared or changed (wayland_input.cpp).
void waylandSeatReady();

// ---- The window (wayland_window.cpp) ----------------------------------------------------

// The open mode: the museum's frame, its OpenGL and the pacing of its presents.
struct WaylandWindow {
    bool open = false;
    bool lost = false;                 // the compositor closed it, or its output went
    ScaledFrame frame;
    bool alwaysScaled = false;         // the frame goes through the frame buffer whatever its size
    DisplayGLVisual visual = {8, 1, 16, 0, 0, 0};
    void* eglDisplay = nullptr;        // EGLDisplay, EGLConfig, EGLContext, EGLSurface
    void* eglConfig = nullptr;
    void* eglContext = nullptr;
    void* eglSurface = nullptr;
    wl_egl_window* eglWindow = nullptr;
    wl_callback* frameCallback = nullptr;   // the museum's last present, until the compositor wants the next
    OutputCover* eglCover = nullptr;        // the cover the EGL surface is on
};
extern WaylandWindow waylandWindow;

// Gives every output a surface of the role the session needs now (a lock
// surface while locked, else a full-screen toplevel) and waits until each is
// configured; the museum's OpenGL moves to the new surface. False when the
// compositor does not configure them.
bool coverOutputs(bool lockSurfaces);
// Takes a cover and everything on it away.
void destroyCover(std::unique_ptr<OutputCover>& cover);
// A position on a cover (surface units) as a pixel of the mode's frame; on a
// black cover, where it would be beside the frame in the layout.
void surfaceToFrame(wl_surface* surface, double x, double y, int* frameX, int* frameY);
// True when the surface is one of the covers.
bool isCoverSurface(wl_surface* surface);
// The lock the next lock surfaces belong to (null: none).
void setCurrentLock(ext_session_lock_v1* lock);

// ---- Input (wayland_input.cpp) ------------------------------------------------------------

// The messages the seat brought, oldest first.
extern std::deque<DisplayInput> waylandInput;
// display.h's displayPollInput on this host.
int waylandPollInput(DisplayInput* input);
// Forgets queued messages and held state (a new window).
void resetWaylandInput();
// Whether the pointer is shown over the window; applied at the pointer's next entry.
void setWaylandPointerShown(bool shown);
// A FocusLost record for the loss of the window (closed, its output gone).
void queueWindowLoss();

// ---- The session's lock (wayland_lock.cpp) -------------------------------------------------

// Locks the session and covers every output with a lock surface; on a
// refusal says so and ends the process with 1.
void waylandLock();
// The right password: the compositor unlocks the session.
void waylandUnlock();
// 1 while the session is locked by this run.
int waylandLocked();
// The refusal's sentence when the compositor offers no session lock; null when it does.
const char* waylandLockRefusal();
