// The messages of the library's error codes, indexed by -code.
#include "kgl/errors.h"

extern const char* const errorTexts[1 - kLowestErrorCode];

const char* const errorTexts[1 - kLowestErrorCode] = {
    "No error",                                         //   0
    "Graphics driver has not been installed",           //  -1
    "Graphics hardware not detected",                   //  -2
    "Couldn't find graphics driver",                    //  -3
    "Graphics driver file corrupted",                   //  -4
    "Not enough memory to load graphics driver",        //  -5
    "Invalid mode for selected driver",                 //  -6
    "Invalid driver number",                            //  -7
    "General graphics error",                           //  -8
    "Invalid graphics driver name",                     //  -9
    "Not enough memory to perform operation",           // -10
    "Selected graphics mode not supported",             // -11
    "Invalid font data",                                // -12
    "Font file corrupted",                              // -13
    "Couldn't find font file",                          // -14
    "Incorrect version for driver file",                // -15
    "Invalid device type for operation",                // -16
    "Invalid device context",                           // -17
    "Invalid cursor file",                              // -18
    "Cursor file was not found",                        // -19
    "Invalid icon file",                                // -20
    "Icon file was not found",                          // -21
    "Invalid bitmap file",                              // -22
    "Bitmap file was not found",                        // -23
    "Invalid error number",                             // -24
    "Zbuffer allocation is too large",                  // -25
    "Only Windows 2.x font files supported",            // -26
    "KGL_endRegion() was not called",                   // -27
    "Double buffering is not available",                // -28
    "OffscreenDC's require hardware bitBlt support",    // -29
    "No available Offscreen display memory",            // -30
    "Invalid pixel format for memory DC",               // -31
};
