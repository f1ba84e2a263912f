// The driver registry: 35 named slots in detection order, driver images,
// registration, detection and the library's start-up.
#pragma once

#include <cstdint>

#include "kgl/modes.h"

struct DeviceContext;

constexpr int kDriverSlotCount = 35;
constexpr int kDriverVersionMajor = 2, kDriverVersionMinor = 0;

// Driver kinds (driverName gives their display names).
enum DriverKind : uint8_t {
    kDriverNone = 0, kDriverVga, kDriverFullscreenDib, kDriverVesa, kDriverUnacceleratedSvga,
    kDriverAcceleratedSvga, kDriverUnacceleratedDirectDraw, kDriverAcceleratedDirectDraw,
    kDriver3DDirectDraw, kDriverHardwareOpenGL, kDriverOpenGLMini, kDriverOpenGL,
};

// A driver's entry points. Detection writes, for every mode the driver can
// set, its slot, page count and flags into the availability table and
// returns 1 when it recognised its hardware. setMode switches the display and
// returns 1, or 0 with the library error set. createDisplayContext fills the
// display DeviceContext of the mode set last (pages already limited).
struct DriverEntryPoints {
    int (*detect)(int slot, int* driver, int* mode, ModeAvailability* table);
    int (*setMode)(int mode);
    int (*createDisplayContext)(DeviceContext* dc, int mode, int pages);
    void (*restoreMode)();
};

// The image a driver is registered with: the header "Kestrel3D Driver:"
// (18 bytes with its zero), the file name twice (13 bytes each), a free text,
// the version 2.0 and the kind, then the entry points.
struct DriverImage {
    char header[18];
    char name[13];
    char nameCopy[13];
    char text[64];
    uint8_t majorVersion;
    uint8_t minorVersion;
    uint8_t kind;
    DriverEntryPoints entry;
};

// Slot names in detection order, "PACK1.DRV" .. "FSOGL32.DRV".
extern const char* const driverSlotNames[kDriverSlotCount];

// Registers image under name: 0, -9 (no slot of that exact name), -4 (bad
// header or name), -15 (version not 2.0).
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
// no driver answered. -1 in both means "detect".
void detectModes(int* driver, int* mode);
// Starts the library once: root path for file lookup, detection, and the mode
// when *mode is not -1. Returns 1, or 0 with -2 when no driver was found.
// A second call while started is a fatal error ("Nested call to KGL_init!").
int KGL_init(int* driver, int* mode, const char* rootPath);
// Closes the library: the display mode is restored; KGL_init may run again.
void KGL_close();
// 1 while KGL_init has run and KGL_close has not.
int KGL_started();
// The root path given to KGL_init ("" when none).
const char* KGL_rootPath();
// Asks the mode's driver to switch the display. Returns 1, or 0 with the error set.
int setGraphicsMode(int mode);
// The mode set last by setGraphicsMode, or -1.
int currentGraphicsMode();
