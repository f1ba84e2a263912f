// Lookups in the mode table and the availability that detection fills.
#include "kgl/modes.h"

extern const char* const modeNames[kModeCount];
extern const char* const driverKindNames[12];

// What detection found: owned by detectModes, reset at the start of every detection.
ModeAvailability modeAvailability[kModeCount];

// The available-mode list: rebuilt by detectModes, always ended by kModeListEnd.
static uint8_t availableModes[kModeCount + 1] = {kModeListEnd};

int isValidMode(int mode)
{
    return mode >= 0 && mode < kModeCount;
}

const char* modeName(int mode)
{
    return isValidMode(mode) ? modeNames[mode] : "Invalid graphics mode";
}

int getModeResolution(int mode, int* x, int* y, int* bits)
{
    if (!isValidMode(mode)) return 0;
    if (x) *x = modeResolutions[mode].x;
    if (y) *y = modeResolutions[mode].y;
    if (bits) *bits = modeResolutions[mode].bits;
    return 1;
}

int modePageCount(int mode)
{
    return isValidMode(mode) ? modeAvailability[mode].pageCount : -1;
}

int modeFlags(int mode)
{
    return isValidMode(mode) ? modeAvailability[mode].flags : 0;
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
