// Lookups in the mode table and the availability that detection fills.
#include "kgl/modes.h"

#include <cstdio>

extern const char* const modeNames[kModeCount];
extern const char* const driverKindNames[12];

// What detection found: owned by detectModes, reset at the start of every detection.
ModeAvailability modeAvailability[kModeRecords];

// The available-mode list: rebuilt by detectModes, always ended by kModeListEnd.
static uint8_t availableModes[kModeRecords + 1] = {kModeListEnd};

// The screen-size mode as the last detection found it, and its name.
static ModeResolution screenSize = {0, 0, 32};
static char screenSizeName[48] = "Screen size";

int isValidMode(int mode)
{
    return (mode >= 0 && mode < kModeCount) || mode == kScreenSizeMode;
}

int modeRecord(int mode)
{
    if (mode == kScreenSizeMode) return kModeCount;
    return isValidMode(mode) ? mode : -1;
}

ModeResolution modeResolution(int mode)
{
    if (mode == kScreenSizeMode) return screenSize;
    return isValidMode(mode) ? modeResolutions[mode] : ModeResolution{0, 0, 0};
}

void setScreenSizeMode(int width, int height)
{
    screenSize.x = width;
    screenSize.y = height;
    if (width > 0 && height > 0)
        snprintf(screenSizeName, sizeof screenSizeName, "Screen size (%d x %d)", width, height);
    else
        snprintf(screenSizeName, sizeof screenSizeName, "Screen size");
}

const char* modeName(int mode)
{
    if (mode == kScreenSizeMode) return screenSizeName;
    return isValidMode(mode) ? modeNames[mode] : "Invalid graphics mode";
}

int getModeResolution(int mode, int* x, int* y, int* bits)
{
    if (!isValidMode(mode)) return 0;
    ModeResolution resolution = modeResolution(mode);
    if (x) *x = resolution.x;
    if (y) *y = resolution.y;
    if (bits) *bits = resolution.bits;
    return 1;
}

int modePageCount(int mode)
{
    return isValidMode(mode) ? modeAvailability[modeRecord(mode)].pageCount : -1;
}

int modeFlags(int mode)
{
    return isValidMode(mode) ? modeAvailability[modeRecord(mode)].flags : 0;
}

const uint8_t* availableModeList()
{
    return availableModes;
}

void resetModeAvailability()
{
    for (ModeAvailability& record : modeAvailability) record = {kNoDriver, 0, 0};
}

void buildAvailableModeList()
{
    int count = 0;
    for (int mode = 0; mode < kModeCount; mode++)
        if (modeAvailability[mode].driverSlot != kNoDriver) availableModes[count++] = uint8_t(mode);
    if (modeAvailability[modeRecord(kScreenSizeMode)].driverSlot != kNoDriver)
        availableModes[count++] = uint8_t(kScreenSizeMode);
    availableModes[count] = kModeListEnd;
}

void clearModeList()
{
    availableModes[0] = kModeListEnd;
}

const char* driverName(int kind)
{
    if (kind < 0 || kind > 11) return "User graphics driver";
    return driverKindNames[kind];
}
