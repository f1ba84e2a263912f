// The video-mode table (modes 0..85), the mode at the screen's own size
// (100), what detection found of them, and the names of the driver kinds.
#pragma once

#include <cstdint>

constexpr int kModeCount = 86;
// The mode at the screen's own size and aspect ratio: outside the table, its
// size is the screen's (or the window's a screen-saver daemon hands over), as
// the last detection found it, at 32 bits. No table number changes meaning.
constexpr int kScreenSizeMode = 100;
// Availability records: one per table mode, then one for kScreenSizeMode.
constexpr int kModeRecords = kModeCount + 1;
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
// 1 for 0..85 and kScreenSizeMode, else 0.
int isValidMode(int mode);
// "640 x 480 SVGA 64k color", "Screen size (1920 x 1080)"; "Invalid graphics mode" for any other number.
const char* modeName(int mode);
// Fills width, height and bits per pixel and returns 1; 0 for an invalid number (outputs untouched).
int getModeResolution(int mode, int* x, int* y, int* bits);
// The resolution of a valid mode, kScreenSizeMode included (0 x 0 until a detection found the screen).
ModeResolution modeResolution(int mode);
// The index of a valid mode's availability record; -1 for any other number.
int modeRecord(int mode);

// ---- What detection found ------------------------------------------------------

// Filled by detectModes; every record is reset to "no driver" before each
// detection. Indexed by modeRecord (the table's number, then kScreenSizeMode).
extern ModeAvailability modeAvailability[kModeRecords];
// Detection's answer for kScreenSizeMode: the size of the screen it is shown on.
void setScreenSizeMode(int width, int height);
// Pages detection found for the mode; -1 for an invalid number.
int modePageCount(int mode);
// Flags detection found for the mode; 0 for an invalid number.
int modeFlags(int mode);
// Detected modes in ascending order (kScreenSizeMode last), ended by kModeListEnd.
const uint8_t* availableModeList();
// Detection's own steps: every record to "no driver", then (when a driver
// answered) the list rebuilt from the table; clearModeList empties the list.
void resetModeAvailability();
void buildAvailableModeList();
void clearModeList();

// ---- Driver kinds --------------------------------------------------------------

// Display name of a driver kind 0..11; "User graphics driver" otherwise.
const char* driverName(int kind);
