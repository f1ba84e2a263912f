// The game framework: the program's window, the full-screen mode switch,
// OpenGL start, presentation and the fatal-error exit.
#pragma once

#include <cstdint>

#include "kgl/dc.h"

// The record frameworkInit returns; its first field is the draw target.
struct Framework {
    DeviceContext* drawTarget;     // the surface each frame is drawn into
    DeviceContext* displayContext; // the screen
    DeviceContext* memoryContext;  // the system-memory back buffer, or null
};

// Driver switches and the depth filter (bit 0: 8-bit modes; bit 1: 15 and 16;
// bit 2: 24; bit 3: 32; bit 4: only 2-D accelerated; bit 5: full-screen only
// 3-D accelerated; bit 6: also windowed modes).
struct DriverOptions {
    int32_t hardwareAccess, directDraw, vga, vgax, vbe, linearFramebuffer, acceleration,
        fullscreenDib, openGL;
    uint8_t dialogByte;
    uint8_t depthFilter;
};

// One entry of the mode list and the argument of setDisplayMode.
struct ModeInfo {
    int32_t mode;            // -1 for a windowed entry
    int32_t xResolution, yResolution, bitsPerPixel;
    int32_t pageCount;
    int32_t flags;
    char driverName[13];
    int8_t stretch;          // 0 none, 1 half height doubled, 2 half size doubled
    int8_t windowScale;
};

void setDriverOptions(const DriverOptions* options);
void setNoStaticPalette(int on);
// Starts the framework; the title is cut to 79 characters.
Framework* frameworkInit(const char* title);
// The mode list built from detection and the depth filter.
const ModeInfo* frameworkModeList(int* count);
// Switches to the mode, full screen (windowed 0); pages are limited to the
// mode's page count. 1, or 0 with the library error set.
int setDisplayMode(const ModeInfo* info, int windowed, int pages, int forceSystemMemory);
// Creates and binds the OpenGL context on the draw target. 1 or 0.
int startOpenGL(int flags);
// Presents the frame drawn since the last call.
void swapBuffers(int waitForRetrace);
// Restores the display, shows message in a box titled "KGL Fatal Error!" and exits with 255.
[[noreturn]] void fatalError(const char* message);
// Ends the framework: contexts dropped, display restored, window closed.
void frameworkShutdown();
