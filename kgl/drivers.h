// The driver registry: 35 named slots in detection order, driver images,
// registration, detection and the library's start-up and fatal exit.
#pragma once

#include <cstdint>

#include "kgl/modes.h"

struct DeviceContext;

constexpr int kDriverSlotCount = 35;
constexpr int kDriverVersionMajor = 2, kDriverVersionMinor = 0;
constexpr int kDriverNameSize = 13;       // at most 12 characters and the zero

// Driver kinds (driverName gives their display names).
enum DriverKind : uint8_t {
    kDriverNone = 0, kDriverVga, kDriverFullscreenDib, kDriverVesa, kDriverUnacceleratedSvga,
    kDriverAcceleratedSvga, kDriverUnacceleratedDirectDraw, kDriverAcceleratedDirectDraw,
    kDriver3DDirectDraw, kDriverHardwareOpenGL, kDriverOpenGLMini, kDriverOpenGL,
};

// A driver's entry points; any of them may be null when the driver lacks it.
struct DriverEntryPoints {
    // Writes, for every mode the driver can set, its slot, page count and
    // flags into table; returns 1 when it recognised its hardware, else 0.
    int (*detect)(int slot, int* driver, int* mode, ModeAvailability* table);
    // Switches the display into the mode: 1, or 0 with the library error set.
    int (*setMode)(int mode);
    // Gives the display back to the desktop.
    void (*restoreMode)();
    // Completes the display context of the mode set last (the library has
    // filled its size, depth and format; pages are already limited): 1 or 0.
    int (*createDisplayContext)(DeviceContext* dc, int mode, int pages);
    // Completes a memory context (the library has filled its size, depth and
    // format and allocated its surface): sets the ops. 1 or 0.
    int (*createMemoryContext)(DeviceContext* dc);
};

// The image a driver is registered with: the header "Kestrel3D Driver:"
// (18 bytes with its zero), the file name twice (13 bytes each), a free text,
// the version 2.0 and the kind, then the entry points.
struct DriverImage {
    char header[18];
    char name[kDriverNameSize];
    char nameCopy[kDriverNameSize];
    char text[64];
    uint8_t majorVersion;
    uint8_t minorVersion;
    uint8_t kind;
    DriverEntryPoints entry;
};

// ---- The registry --------------------------------------------------------------

// Slot names in detection order, "PACK1.DRV" .. "FSOGL32.DRV".
extern const char* const driverSlotNames[kDriverSlotCount];
// The slot of an exact (case-sensitive) name, or -1.
int driverSlot(const char* name);

// Registers image under name: 0, -9 (no slot of that exact name), -4 (bad
// header or name), -15 (version not 2.0). The image must outlive the registration.
int registerDriver(const char* name, const DriverImage* image);
// Registers the display drivers the eight switches allow, in the fixed order.
void registerAllDrivers(int hardwareAccess, int directDraw, int vga, int vgax, int vbe,
                        int linearFramebuffer, int acceleration, int fullscreenDib);
// Registers "OPENGL.DRV" and "FSOGL8.DRV" .. "FSOGL32.DRV".
void registerOpenGLDrivers();
// Registers the memory drivers "PACK1.DRV" .. "PACK32.DRV".
void registerMemoryDrivers();
// Clears every slot.
void unregisterAllDrivers();
// The image registered in a slot, or null.
const DriverImage* registeredDriver(int slot);

// Fills modeAvailability and the available-mode list; *driver becomes 0 when
// no driver answered, else 1. -1 in both means "detect".
void detectModes(int* driver, int* mode);
// A number that changes with every detectModes call: drivers that share one
// piece of hardware ask it once per detection.
int detectionPass();

// ---- The library ---------------------------------------------------------------

// Starts the library once: root path for file lookup, detection, and the mode
// when *mode is not -1. Returns 1, or 0 with -2 when no driver was found (the
// library is then not started). A second call while started is a fatal error
// ("Nested call to KGL_init!").
int KGL_init(int* driver, int* mode, const char* rootPath);
// Closes the library: the display mode is restored; KGL_init may run again.
void KGL_close();
// 1 while KGL_init has succeeded and KGL_close has not run.
int KGL_started();
// The title of the full-screen window the display drivers open (the framework's title).
void setFullscreenTitle(const char* title);
const char* fullscreenTitle();
// Asks the mode's driver to switch the display. Returns 1, or 0 with -6
// (invalid number), -11 (no driver serves the mode, or the switch failed).
int setGraphicsMode(int mode);
// The mode set last by setGraphicsMode, or -1.
int currentGraphicsMode();
// Closes the library (the display is restored), shows message in a box
// titled "KGL Fatal Error!" and ends the program with exit code 255.
[[noreturn]] void kglFatalError(const char* message);

// ---- The built-in drivers (the registration operations use these) ---------------

// The image of the display back-end registered under a display slot's name, or null.
const DriverImage* displayDriverImage(const char* name);
// The image of the memory driver "PACK1.DRV" .. "PACK32.DRV", or null.
const DriverImage* memoryDriverImage(const char* name);
