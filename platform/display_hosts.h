// The display hosts behind display.h, each a table of its entry points filled
// in its own files; display_choice.cpp picks one and forwards every call to
// it. Only platform/ includes this.
#pragma once

#include <cstdint>

#include "platform/display.h"

struct DisplayHost {
    const char* name;
    int (*desktopSize)(int* width, int* height);
    int (*nativeSize)(int* width, int* height);
    int (*refreshRate)();
    int (*openFullscreen)(const char* title, int width, int height, int bitsPerPixel, int pages);
    void (*close)();
    int (*isOpen)();
    void (*frameRectangle)(int* x, int* y, int* width, int* height);
    void (*useHostWindow)(uint64_t window);
    int (*hostWindowGone)();
    int (*createGLContext)(const DisplayGLVisual& visual);
    void (*makeGLCurrent)(int bind);
    void (*destroyGLContext)();
    void (*swapGL)(int waitForRetrace);
    void (*waitForRefresh)();
    void (*allowVsync)(int allowed);
    int (*pollInput)(DisplayInput* input);
    void (*reclaimFocus)();
    void (*grabInput)(int grab);
    void (*showPointer)(int shown);
    const char* (*lockRefusal)();
    void (*unlockSession)();
    int (*sessionLocked)();   // 1 while the host holds the session's lock
    int (*glSamples)();
    int (*glSoftwareRenderer)();
    int (*readFrame)(uint8_t* rgb);
};

// X11 through SDL2 (display_window.cpp and its neighbours).
extern const DisplayHost x11DisplayHost;
// Wayland (wayland_*.cpp).
extern const DisplayHost waylandDisplayHost;

// The host chosen for this process.
const DisplayHost& chosenDisplayHost();
// 1 while the chosen host holds the session's lock: nothing else can be seen.
int displaySessionLocked();
