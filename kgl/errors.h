// The library's last-error code and its messages. Operations that can fail
// clear the code on entry and leave a negative code on failure.
#pragma once

// The codes (0 and -1 .. -31); errorMessage gives their texts.
enum KglError {
    kglOk = 0,
    kglNotInstalled = -1,
    kglNotDetected = -2,
    kglDriverNotFound = -3,
    kglBadDriverFile = -4,
    kglDriverNoMemory = -5,
    kglInvalidMode = -6,
    kglInvalidDriver = -7,
    kglGeneralError = -8,
    kglInvalidDriverName = -9,
    kglNoMemory = -10,
    kglModeNotSupported = -11,
    kglInvalidFontData = -12,
    kglBadFontFile = -13,
    kglFontNotFound = -14,
    kglBadDriverVersion = -15,
    kglInvalidDeviceType = -16,
    kglInvalidDC = -17,
    kglInvalidCursor = -18,
    kglCursorNotFound = -19,
    kglInvalidIcon = -20,
    kglIconNotFound = -21,
    kglInvalidBitmap = -22,
    kglBitmapNotFound = -23,
    kglInvalidErrorNumber = -24,
    kglZbufferTooLarge = -25,
    kglOldFontFile = -26,
    kglRegionNotEnded = -27,
    kglNoDoubleBuffer = -28,
    kglOffscreenNeedsBlit = -29,
    kglNoOffscreenMemory = -30,
    kglInvalidMemoryFormat = -31,
};

// Lowest code that has a message of its own.
constexpr int kLowestErrorCode = -31;

// Reads the last error and resets it to 0.
int takeLastError();
// Sets the last error (the library's own operations use this).
void setLastError(int code);
// The message of a code; "Invalid error number" outside 0 .. -31.
const char* errorMessage(int code);
