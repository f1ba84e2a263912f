// The X window of another program that a saver run may draw into (a
// screen-saver daemon's), and the OpenGL context on it, made with GLX on the
// window's own visual. The display back-end's window code uses it; only
// platform/ includes this.
#pragma once

#include <cstdint>

// ---- The window -----------------------------------------------------------------------

// Connects to the display and starts watching the window (its size and its
// end); *width and *height get its size in pixels. False, with nothing left
// open, when it cannot be reached (a window that does not exist counts as gone).
bool hostOpen(uint64_t window, int* width, int* height);
// The window's size in pixels, asked on a connection of its own; false when it cannot be reached.
bool hostWindowSize(uint64_t window, int* width, int* height);
// Drops the context and the connection; the window itself is left as it is.
void hostClose();
// Reads what happened to the window since the last call: true with its new
// size when that changed. Marks it gone when it was destroyed.
bool hostSizeChanged(int* width, int* height);
// True once the window has gone (destroyed, or an X error naming it); stays
// true after hostClose and is cleared by the next hostOpen.
bool hostGone();

// ---- OpenGL on the window ------------------------------------------------------------

// Creates an OpenGL context with the window's visual and makes it current. False when the visual has no OpenGL.
bool hostCreateContext();
// True while the context exists.
bool hostHasContext();
// Binds (true) or unbinds the context on this thread.
void hostMakeCurrent(bool bind);
// Unbinds and deletes the context; harmless without one.
void hostDestroyContext();
// An OpenGL function by name, or null.
void* hostProcAddress(const char* name);
// True when the current context offers the named OpenGL extension.
bool hostExtensionSupported(const char* name);
// Swap interval: 1 waits for the vertical retrace when the display can, 0 does not.
void hostSetSwapInterval(int interval);
// Shows the finished frame (a swap, or a flush of a single-buffered visual); nothing once the window has gone.
void hostSwap();
