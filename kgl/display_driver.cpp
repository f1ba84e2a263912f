// The display back-end as the registry sees it: one driver image per display
// slot, all served by the platform's one full-screen window. Detection offers
// every mode of the slot's depths whose size fits the desktop, and the 32-bit
// slots offer the screen-size mode too.
#include <cstring>

#include "kgl/dc.h"
#include "kgl/drivers.h"
#include "kgl/errors.h"
#include "platform/display.h"

// The window is OpenGL double-buffered: a front and a back page.
constexpr int kDisplayPages = 2;

// Which modes a display slot offers: a range of the mode table (none when
// first is -1) and the flags reported with them.
struct DisplaySlotModes {
    const char* name;
    int firstMode, lastMode;
    int32_t flags;
};

// The 4-bit planar modes (0-5) are not offered: the window shows 8 bits and up.
static const DisplaySlotModes displaySlots[] = {
    {"VGA4.DRV", -1, -1, 0},
    {"VGAX.DRV", 6, 9, 0},
    {"VGA8.DRV", 10, 10, 0},
    {"SVGA4.DRV", -1, -1, 0},
    {"SVGA8.DRV", 11, 25, 0},
    {"SVGA16.DRV", 26, 55, 0},
    {"SVGA24.DRV", 56, 70, 0},
    {"SVGA32.DRV", 71, 85, 0},
    {"FDIB8.DRV", 11, 25, 0},
    {"FDIB16.DRV", 26, 55, 0},
    {"FDIB24.DRV", 56, 70, 0},
    {"FDIB32.DRV", 71, 85, 0},
    {"DDRAW8.DRV", 11, 25, 0},
    {"DDRAW16.DRV", 26, 55, 0},
    {"DDRAW24.DRV", 56, 70, 0},
    {"DDRAW32.DRV", 71, 85, 0},
    {"LINEAR8.DRV", 11, 25, 0},
    {"LINEAR16.DRV", 26, 55, 0},
    {"LINEAR24.DRV", 56, 70, 0},
    {"LINEAR32.DRV", 71, 85, 0},
    {"ACCEL8.DRV", 11, 25, kMode2DAccelerated},
    {"ACCEL16.DRV", 26, 55, kMode2DAccelerated},
    {"ACCEL24.DRV", 56, 70, kMode2DAccelerated},
    {"ACCEL32.DRV", 71, 85, kMode2DAccelerated},
    // The desktop OpenGL driver draws in a window and sets no full-screen mode.
    {"OPENGL.DRV", -1, -1, 0},
    // The full-screen OpenGL drivers render every frame with OpenGL straight
    // into the window, so their modes are 3-D accelerated.
    {"FSOGL8.DRV", 11, 25, kMode3DAccelerated},
    {"FSOGL16.DRV", 26, 55, kMode3DAccelerated},
    {"FSOGL24.DRV", 56, 70, kMode3DAccelerated},
    {"FSOGL32.DRV", 71, 85, kMode3DAccelerated},
};
constexpr int kDisplaySlotCount = sizeof displaySlots / sizeof displaySlots[0];

static const DisplaySlotModes* slotModes(int slot)
{
    if (slot < 0 || slot >= kDriverSlotCount) return nullptr;
    for (const DisplaySlotModes& entry : displaySlots)
        if (strcmp(entry.name, driverSlotNames[slot]) == 0) return &entry;
    return nullptr;
}

// The desktop as the current detection found it: every display slot is the
// same window, so the desktop is asked once per detection.
struct DesktopAnswer {
    int pass;
    int found, width, height;
};
static DesktopAnswer desktop = {-1, 0, 0, 0};

static int detectDisplay(int slot, int*, int*, ModeAvailability* table)
{
    const DisplaySlotModes* modes = slotModes(slot);
    if (!modes) return 0;
    if (desktop.pass != detectionPass()) {
        desktop.pass = detectionPass();
        desktop.found = displayDesktopSize(&desktop.width, &desktop.height);
        int nativeWidth = 0, nativeHeight = 0;
        if (desktop.found && displayNativeSize(&nativeWidth, &nativeHeight))
            setScreenSizeMode(nativeWidth, nativeHeight);
        else
            setScreenSizeMode(0, 0);
    }
    if (!desktop.found) return 0;
    int width = desktop.width, height = desktop.height;
    for (int mode = modes->firstMode; mode >= 0 && mode <= modes->lastMode; mode++) {
        if (modeResolutions[mode].x > width || modeResolutions[mode].y > height) continue;
        table[mode] = {uint8_t(slot), kDisplayPages, modes->flags};
    }
    if (modes->lastMode == kModeCount - 1 && modeResolution(kScreenSizeMode).x > 0)
        table[modeRecord(kScreenSizeMode)] = {uint8_t(slot), kDisplayPages, modes->flags};
    return 1;
}

static int setDisplayMode(int mode)
{
    const ModeResolution resolution = modeResolution(mode);
    const ModeAvailability& availability = modeAvailability[modeRecord(mode)];
    int pages = availability.pageCount > 0 ? availability.pageCount : 1;
    if (!displayOpenFullscreen(fullscreenTitle(), resolution.x, resolution.y, resolution.bits, pages)) {
        setLastError(kglModeNotSupported);
        return 0;
    }
    return 1;
}

static void restoreDisplayMode()
{
    displayClose();
}

// The window gives no direct access to its pixels (the surface stays null),
// so the framework draws through OpenGL and KGL_NO_HWDIRECT has nothing to
// switch off.
static int createDisplayContext(DeviceContext* dc, int, int)
{
    dc->ops = displayDrawingOps();
    return dc->ops != nullptr;
}

// The images, one per display slot, in the order of displaySlots.
#define DISPLAY_IMAGE(name, kind)                                                                        \
    {"Kestrel3D Driver:", name, name, "Display back-end", kDriverVersionMajor, kDriverVersionMinor, kind, \
     {detectDisplay, setDisplayMode, restoreDisplayMode, createDisplayContext, nullptr}}

static const DriverImage displayImages[kDisplaySlotCount] = {
    DISPLAY_IMAGE("VGA4.DRV", kDriverVga),
    DISPLAY_IMAGE("VGAX.DRV", kDriverVga),
    DISPLAY_IMAGE("VGA8.DRV", kDriverVga),
    DISPLAY_IMAGE("SVGA4.DRV", kDriverVesa),
    DISPLAY_IMAGE("SVGA8.DRV", kDriverVesa),
    DISPLAY_IMAGE("SVGA16.DRV", kDriverVesa),
    DISPLAY_IMAGE("SVGA24.DRV", kDriverVesa),
    DISPLAY_IMAGE("SVGA32.DRV", kDriverVesa),
    DISPLAY_IMAGE("FDIB8.DRV", kDriverFullscreenDib),
    DISPLAY_IMAGE("FDIB16.DRV", kDriverFullscreenDib),
    DISPLAY_IMAGE("FDIB24.DRV", kDriverFullscreenDib),
    DISPLAY_IMAGE("FDIB32.DRV", kDriverFullscreenDib),
    DISPLAY_IMAGE("DDRAW8.DRV", kDriverUnacceleratedDirectDraw),
    DISPLAY_IMAGE("DDRAW16.DRV", kDriverUnacceleratedDirectDraw),
    DISPLAY_IMAGE("DDRAW24.DRV", kDriverUnacceleratedDirectDraw),
    DISPLAY_IMAGE("DDRAW32.DRV", kDriverUnacceleratedDirectDraw),
    DISPLAY_IMAGE("LINEAR8.DRV", kDriverUnacceleratedSvga),
    DISPLAY_IMAGE("LINEAR16.DRV", kDriverUnacceleratedSvga),
    DISPLAY_IMAGE("LINEAR24.DRV", kDriverUnacceleratedSvga),
    DISPLAY_IMAGE("LINEAR32.DRV", kDriverUnacceleratedSvga),
    DISPLAY_IMAGE("ACCEL8.DRV", kDriverAcceleratedSvga),
    DISPLAY_IMAGE("ACCEL16.DRV", kDriverAcceleratedSvga),
    DISPLAY_IMAGE("ACCEL24.DRV", kDriverAcceleratedSvga),
    DISPLAY_IMAGE("ACCEL32.DRV", kDriverAcceleratedSvga),
    DISPLAY_IMAGE("OPENGL.DRV", kDriverHardwareOpenGL),
    DISPLAY_IMAGE("FSOGL8.DRV", kDriverOpenGL),
    DISPLAY_IMAGE("FSOGL16.DRV", kDriverOpenGL),
    DISPLAY_IMAGE("FSOGL24.DRV", kDriverOpenGL),
    DISPLAY_IMAGE("FSOGL32.DRV", kDriverOpenGL),
};

const DriverImage* displayDriverImage(const char* name)
{
    if (!name) return nullptr;
    for (const DriverImage& image : displayImages)
        if (strcmp(image.name, name) == 0) return &image;
    return nullptr;
}
