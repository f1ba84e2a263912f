// The driver registry's slot names in detection order, and the display names
// of the driver kinds.
#include "kgl/drivers.h"

extern const char* const driverKindNames[12];

const char* const driverSlotNames[kDriverSlotCount] = {
    "PACK1.DRV",    "PACK4.DRV",    "PACK8.DRV",    "PACK16.DRV",   "PACK24.DRV",   //  0- 4
    "PACK32.DRV",   "VGA4.DRV",     "VGAX.DRV",     "VGA8.DRV",     "SVGA4.DRV",    //  5- 9
    "SVGA8.DRV",    "SVGA16.DRV",   "SVGA24.DRV",   "SVGA32.DRV",   "FDIB8.DRV",    // 10-14
    "FDIB16.DRV",   "FDIB24.DRV",   "FDIB32.DRV",   "DDRAW8.DRV",   "DDRAW16.DRV",  // 15-19
    "DDRAW24.DRV",  "DDRAW32.DRV",  "LINEAR8.DRV",  "LINEAR16.DRV", "LINEAR24.DRV", // 20-24
    "LINEAR32.DRV", "ACCEL8.DRV",   "ACCEL16.DRV",  "ACCEL24.DRV",  "ACCEL32.DRV",  // 25-29
    "OPENGL.DRV",   "FSOGL8.DRV",   "FSOGL16.DRV",  "FSOGL24.DRV",  "FSOGL32.DRV",  // 30-34
};

const char* const driverKindNames[12] = {
    "NONE",                                   //  0
    "VGA",                                    //  1
    "Fullscreen DIBSection",                  //  2
    "VESA VBE SuperVGA",                      //  3
    "Unaccelerated SuperVGA",                 //  4
    "Accelerated SuperVGA",                   //  5
    "Unaccelerated DirectDraw",               //  6
    "Accelerated DirectDraw",                 //  7
    "3D Accelerated DirectDraw",              //  8
    "Hardware OpenGL (Microsoft ICD/MCD)",    //  9
    "KGL hardware OpenGL mini-driver",        // 10
    "KGL hardware OpenGL driver",             // 11
};
