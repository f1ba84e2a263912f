// What the SDL parts of the display back-end share: the one full-screen
// window and the mapping of its pixels to the mode's frame. Only platform/
// includes this.
#pragma once

#include <SDL.h>

#include <cstdint>

#include "platform/display.h"

// The entry points of the X11 host (display.h's calls, in x11DisplayHost).
int x11DesktopSize(int* width, int* height);
int x11NativeSize(int* width, int* height);
int x11RefreshRate();
int x11OpenFullscreen(const char* title, int width, int height, int bitsPerPixel, int pages);
void x11Close();
int x11IsOpen();
void x11FrameRectangle(int* x, int* y, int* width, int* height);
void x11UseHostWindow(uint64_t window);
int x11HostWindowGone();
int x11CreateGLContext(const DisplayGLVisual& visual);
void x11MakeGLCurrent(int bind);
void x11DestroyGLContext();
void x11SwapGL(int waitForRetrace);
void x11WaitForRefresh();
void x11AllowVsync(int allowed);
int x11PollInput(DisplayInput* input);
void x11ReclaimFocus();
void x11GrabInput(int grab);
void x11ShowPointer(int shown);
// In a Wayland session X grabs bind X clients only: a password run refuses to pretend there.
const char* x11LockRefusal();

// The full-screen window, or null.
SDL_Window* sdlWindow();
// A window position (screen pixels) as a pixel of the mode's frame, clamped into it.
void windowToFrame(int windowX, int windowY, int* frameX, int* frameY);
// A position beside the window (window pixels) in the frame's pixels, not held to the frame.
void besideWindowToFrame(double windowX, double windowY, int* frameX, int* frameY);
// Sets the hints every SDL start of the program wants (no signal handlers of SDL's own, ...).
void setProgramSDLHints();
// Starts SDL's video subsystem on a real display (one more reference when it
// runs already); false when there is none. Undo with SDL_QuitSubSystem(SDL_INIT_VIDEO).
bool startVideo();
// The window of another program the next mode is shown in (displayUseHostWindow); 0 for none.
uint64_t chosenHostWindow();
// Pacing of the presents (display_pacing.cpp): a new window's refresh rate
// in Hz, and the end of one pass's present (or of a pass with nothing new to show).
void resetPacing(int refreshRate);
void pacePass();
// Every monitor and the lock (display_lock.cpp): black windows over the
// monitors the gallery window does not cover, and taken away again; the
// password run's grab of keyboard and pointer (false when the window is not
// on X), its check after every pass's messages that the gallery is up and
// the grab held, and the note that a window event went by (SDL may have let
// go of the grab on it).
void coverOtherMonitors(SDL_Window* gallery);
void uncoverMonitors();
bool setLockGrab(SDL_Window* gallery, bool grab);
void keepLockGrab(SDL_Window* gallery);
void lockWindowEventSeen();
// A pointer event on a black cover (X events reach SDL's queue as its
// SDL_SYSWMEVENT while covers are up) as the library's input record: motion
// and buttons there wake a run as they do over the gallery. False for any
// other event.
bool coverPointerInput(const SDL_SysWMmsg* message, SDL_Window* gallery, DisplayInput* input);
