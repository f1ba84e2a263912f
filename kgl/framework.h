// The game framework: the program's window, the full-screen mode switch,
// OpenGL start, presentation, shut-down and the fatal-error exit. Its event
// loop, callbacks, clock and cursor are in kgl/events.h.
#pragma once

#include <cstdint>

#include "kgl/dc.h"

// ---- Records -------------------------------------------------------------------

// The record frameworkInit returns; its first field is the draw target.
struct Framework {
    DeviceContext* drawTarget;     // the surface each frame is drawn into
    DeviceContext* displayContext; // the screen
    DeviceContext* memoryContext;  // the system-memory back buffer, or null
};

// Depth-filter bits of DriverOptions.
constexpr uint8_t kDepth8 = 0x01, kDepth15And16 = 0x02, kDepth24 = 0x04, kDepth32 = 0x08,
                  kOnly2DAccelerated = 0x10, kFullscreenOnly3DAccelerated = 0x20, kAlsoWindowed = 0x40;

// Driver switches and the depth filter (38 bytes: nine switches, two bytes).
struct DriverOptions {
    int32_t hardwareAccess, directDraw, vga, vgax, vbe, linearFramebuffer, acceleration,
        fullscreenDib, openGL;
    uint8_t dialogByte;    // the framework's own mode dialog only
    uint8_t depthFilter;   // kDepth8 | kDepth15And16 | ...
};

// One entry of the mode list and the argument of setDisplayMode.
struct ModeInfo {
    int32_t mode;            // -1 for a windowed entry
    int32_t xResolution, yResolution, bitsPerPixel;
    int32_t pageCount;
    int32_t flags;
    char driverName[13];
    int8_t stretch;          // 0 none, 1 half height doubled, 2 half size doubled
    int8_t windowScale;      // 2 for small modes (narrower than 512 and lower than 384, 320x400, 320x480)
};

// The framework's state. One instance, owned by the framework: reset by
// frameworkInit and by the shut-down (driver options and the palette switch
// are kept, since they are set before frameworkInit).
struct FrameworkState {
    char title[80];                // at most 79 characters
    int screenWidth, screenHeight, desktopBits;
    DriverOptions options;
    int optionsSet;                // setDriverOptions has been called
    int noStaticPalette;
    int driversRegistered;         // registration and detection have run
    ModeInfo currentMode;
    int requestedPages;
    int forceSystemMemory;
    int32_t modeFlags;
    int fullscreen, modeChangeInProgress, active, quit, openGLStarted;
    int stretch, backWidth, backHeight;
    int activePage, visualPage;
    Framework record;
};
extern FrameworkState frameworkState;

// ---- Starting ------------------------------------------------------------------

// Copies the options when they differ from the ones held, and then registers
// the drivers and builds the mode list again.
void setDriverOptions(const DriverOptions* options);
// 1: an 8-bit display takes all 256 colours (no effect on this platform's 24-bit window).
void setNoStaticPalette(int on);
// Starts the framework; the title is cut to 79 characters. Returns the record.
Framework* frameworkInit(const char* title);
// The mode list built from detection and the depth filter.
const ModeInfo* frameworkModeList(int* count);

// ---- The mode and OpenGL ---------------------------------------------------------

// Switches to the mode, full screen (windowed 0); pages are limited to the
// mode's page count. 1, or 0 with the library error set (mode -1, stretch
// other than 0..2, a windowed request, or the library's own failure).
int setDisplayMode(const ModeInfo* info, int windowed, int pages, int forceSystemMemory);
// Creates and binds the OpenGL context on the draw target. 1 or 0.
int startOpenGL(int flags);
// Presents the frame drawn since the last call; with waitForRetrace 1 at the
// pace of one present per refresh of the display.
void swapBuffers(int waitForRetrace);
// Keeps that pace for a pass with nothing new to show, presenting nothing.
void waitForRefresh();
// One page flip of a multi-page display: the shown page becomes the one just
// drawn, drawing moves on to the next page (three pages draw on 1, 2, 0, 1, ...).
void flipPages(DeviceContext* display, int waitForRetrace);

// Keeps keyboard and pointer from other programs (1) or lets them go (0);
// the shut-down lets them go.
void grabInput(int grab);

// ---- A window of another program -----------------------------------------------------

// Shows the next mode in this window of another program (the X window a
// screen-saver daemon hands its saver) instead of full screen: scaled into it
// as it changes size, with no input, cursor or grab; fatal errors then go to
// standard error, with no box. 0 goes back to full screen.
void setHostWindow(uint64_t window);
// 1 once the host window has disappeared under the run (or was never there);
// the run should then end.
int hostWindowLost();

// ---- Ending --------------------------------------------------------------------------

// Ends the framework: contexts dropped, display restored, window closed,
// remaining messages drained, state reset. mainLoop calls it when it ends.
void frameworkShutdown();
// Gives the desktop back whatever state the run is in: OpenGL context and
// contexts dropped, library closed, window closed, grab released, pointer shown.
void restoreDesktop();
// Restores the desktop, shows message in a box titled "KGL Fatal Error!" and exits with 255.
[[noreturn]] void fatalError(const char* message);
