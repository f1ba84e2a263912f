// The video-mode table (modes 0..85), what detection found of them, and the
// names of the driver kinds.
#pragma once

#include <cstdint>

constexpr int kModeCount = 86;
constexpr uint8_t kNoDriver = 0xFF;       // availability: no driver can set the mode
constexpr uint8_t kModeListEnd = 0xFF;    // ends the available-mode list

// Mode flags that detection reports.
constexpr int32_t kModeStereo = 0x20;
constexpr int32_t kMode2DAccelerated = 0x400;
constexpr int32_t kMode3DAccelerated = 0x800;

// One mode of the table: resolution in pixels and bits per pixel.
struct ModeResolution {
    int32_t x, y;
    uint8_t bits;
};

// What detection found for one mode.
struct ModeAvailability {
    uint8_t driverSlot;   // registry slot that serves it, kNoDriver for none
    uint8_t pageCount;    // display pages that slot can give it
    int32_t flags;        // kModeStereo | kMode2DAccelerated | kMode3DAccelerated
};

// ---- The table -----------------------------------------------------------------

// The fixed table, indexed by mode number.
extern const ModeResolution modeResolutions[kModeCount];
// 1 for 0..85, else 0.
int isValidMode(int mode);
// "640 x 480 SVGA 64k color"; "Invalid graphics mode" for a number outside 0..85.
const char* modeName(int mode);
// Fills width, height and bits per pixel and returns 1; 0 for an invalid number (outputs untouched).
int getModeResolution(int mode, int* x, int* y, int* bits);

// ---- What detection found ------------------------------------------------------

// Filled by detectModes; every record is reset to "no driver" before each detection.
extern ModeAvailability modeAvailability[kModeCount];
// Pages detection found for the mode; -1 for an invalid number.
int modePageCount(int mode);
// Flags detection found for the mode; 0 for an invalid number.
int modeFlags(int mode);
// Detected modes in ascending order, ended by kModeListEnd.
const uint8_t* availableModeList();
// Detection's own steps: every record to "no driver", then (when a driver
// answered) the list rebuilt from the table; clearModeList empties the list.
void resetModeAvailability();
void buildAvailableModeList();
void clearModeList();

// ---- Driver kinds --------------------------------------------------------------

// Display name of a driver kind 0..11; "User graphics driver" otherwise.
const char* driverName(int kind);
