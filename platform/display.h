// The display back-end: what the screen can show, the full-screen window a
// mode is drawn in (or another program's window it is drawn into), the
// OpenGL context on it, its input and its cursor, and the session's lock.
// Two hosts give it, chosen once per process (display_choice.cpp): X11
// through SDL2, and Wayland. The graphics library calls these; the saver run
// asks only about the lock.
#pragma once

#include <cstdint>

#include "kgl/dc.h"

// ---- The desktop (detection) -------------------------------------------------

// The size in pixels of the desktop's primary monitor (on Wayland the first
// output of the layout, in its own pixels whatever its scale); 0 when no
// display can be opened, 1 otherwise. On X11 the first question starts SDL's
// video subsystem and keeps it, with the answer, for the rest of the process
// (asked again only when $DISPLAY has changed since); on Wayland the
// connection is kept likewise.
int displayDesktopSize(int* width, int* height);
// The size a frame at the screen's own size has: the host window's when one is
// chosen (displayUseHostWindow) and there, else the primary monitor's. 1, or 0 when unknown.
int displayNativeSize(int* width, int* height);
// The primary monitor's refresh rate in Hz; 60 when the display does not say.
int displayRefreshRate();

// ---- The full-screen window --------------------------------------------------

// Opens the desktop-sized borderless full-screen window that shows a mode of
// width x height pixels (rendered at that size, scaled with its aspect ratio
// kept, black bars around it). The pointer is moved to the centre and pending
// input is flushed. Returns 1, or 0 when it cannot be opened.
int displayOpenFullscreen(const char* title, int width, int height, int bitsPerPixel, int pages);
// Closes the window and gives the desktop back: OpenGL context gone, grab
// released, pointer shown. Harmless when nothing is open.
void displayClose();
// 1 while the full-screen window is open.
int displayIsOpen();
// Where the mode's frame sits on the screen, in screen pixels (top-left origin).
void displayFrameRectangle(int* x, int* y, int* width, int* height);

// ---- A window of another program ----------------------------------------------

// From the next displayOpenFullscreen on, the mode is shown in this X window
// of another program (a screen-saver daemon's) instead of the program's own:
// the frame is scaled into the window's size as that changes, and the window's
// input, pointer and focus are left to its owner. 0 goes back to the own window.
void displayUseHostWindow(uint64_t window);
// 1 once the host window has disappeared (or could not be found when opened);
// the run should then end. Cleared when a host window is opened.
int displayHostWindowGone();

// ---- OpenGL on the window -----------------------------------------------------

// The buffers an OpenGL context draws into (RGB colour is always there).
struct DisplayGLVisual {
    int alphaBits;          // 0 or 8
    int doubleBuffer;       // 0 or 1
    int depthBits;          // 0, 16, ...
    int stencilBits;        // 0 or 8
    int accumulationBits;   // 0 or 16 per channel
    int samples;            // multisampled edges asked for: samples per pixel, 0 none
};

// Creates the window's OpenGL context with that visual and makes it current;
// drawing then goes to the mode-sized frame. 1, or 0 when the visual cannot be had.
// Multisampling is a wish, not a condition: a renderer that draws in hardware
// gets up to the samples asked for (a multisampled frame, resolved at each
// present); Mesa's software renderers get none, since every sample would cost
// them a pixel's fill.
int displayCreateGLContext(const DisplayGLVisual& visual);
// The samples per pixel the context draws with: 0 without multisampling.
int displayGLSamples();
// 1 when the context is drawn by a software renderer (Mesa's llvmpipe,
// softpipe or swrast) that gets what such a renderer gets, 0 for hardware;
// 0 without a context.
int displayGLSoftwareRenderer();
// 1 from the next context on gives a software renderer what hardware gets
// (multisampling, and to the program's question above a 0): tests and
// pictures of the look a graphics card shows, on machines without one. 0,
// the default, tells them apart.
void displayTreatAsHardware(int treat);
// The frame drawn so far (the multisampled one resolved first): width x
// height RGB pixels of the mode's frame, 3 bytes each, rows from the bottom.
// 1, or 0 without a context.
int displayReadFrame(uint8_t* rgb);
// Binds (1) or unbinds (0) the window's OpenGL context on this thread.
void displayMakeGLCurrent(int bind);
// Unbinds and deletes the OpenGL context; harmless without one.
void displayDestroyGLContext();
// Shows the finished frame; waitForRetrace 1 swaps on the vertical retrace
// and keeps the pace of one present per refresh of the display, sleeping
// when the swap itself does not wait (unless turned off with displayAllowVsync).
void displaySwapGL(int waitForRetrace);
// Keeps the same pace without showing anything new: for a pass that drew nothing.
void displayWaitForRefresh();
// 0 makes every swap immediate and unpaced, whatever it asks for (frame-rate
// measurements, tests that run many passes); 1 paces them again.
void displayAllowVsync(int allowed);

// ---- Input ------------------------------------------------------------------------

enum class DisplayInputKind { KeyDown, KeyUp, ButtonDown, ButtonUp, Motion, FocusLost, FocusGained };

// Modifier bits of an input record, in the layout of the library's events.
constexpr uint32_t kDisplayShift = 0x18, kDisplayControl = 0x20, kDisplayAlt = 0x40,
                   kDisplayLeftHeld = 0x01, kDisplayRightHeld = 0x02;

// One message of the window. Positions are pixels of the mode's frame
// (top-left origin), clamped into it.
struct DisplayInput {
    DisplayInputKind kind;
    uint32_t time;          // milliseconds
    int x, y;               // pointer position
    int character;          // keys: 13 Enter, 8 Backspace, 27 Escape, else the typed
                            // character (Latin-1), 0 for keys that type nothing
    int scanCode;           // keys: the key's position code, 0..511
    int button;             // buttons: 1 left, 2 middle, 3 right
    int clicks;             // buttons: 2 for a double click
    uint32_t modifiers;     // kDisplayShift | kDisplayControl | ... at the time of the message
};

// Takes the next message without waiting; 0 when none is pending. Close
// requests are swallowed: a full-screen run is not closed by the window manager.
int displayPollInput(DisplayInput* input);
// Takes the input focus back after a refused switch-away.
void displayReclaimFocus();
// Keyboard and pointer grabbed (1) or released (0), so that no input reaches another program.
void displayGrabInput(int grab);

// ---- The pointer ------------------------------------------------------------------

// Shows (1) or hides (0) the mouse pointer over the window.
void displayShowPointer(int shown);

// ---- The host and the session's lock ---------------------------------------------

// "wayland" or "x11": the host this process runs on. VELLAMIR_DISPLAY=wayland
// or =x11 chooses it; otherwise Wayland when WAYLAND_DISPLAY is set (and no
// screen-saver daemon's X window is named), else X11.
const char* displayHostName();
// Why a password run cannot keep this session from everyone who does not know
// the password, as a sentence; null when it can (X11's grabs, or Wayland's
// session lock where the compositor offers it).
const char* displayLockRefusal();
// The right password was typed: a session lock the host holds is let go. A
// run that ends any other way (killed, crashed, a fatal error) leaves it held.
void displayUnlockSession();
