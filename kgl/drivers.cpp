// The driver registry, detection, and the library's start-up, mode switch
// and fatal exit.
#include "kgl/drivers.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "kgl/bitmap.h"
#include "kgl/errors.h"
#include "platform/msgbox.h"

static const char kDriverHeader[18] = "Kestrel3D Driver:";

// One registry slot; the name is driverSlotNames[slot].
struct DriverSlot {
    int registered;
    const DriverImage* image;
};

// The registry: filled by the registration operations, cleared by unregisterAllDrivers.
static DriverSlot registry[kDriverSlotCount];

// The library's run state: set by KGL_init, reset by KGL_close.
static int libraryStarted = 0;
static int currentMode = -1;      // the mode set last, -1 for none
static int currentModeSlot = -1;  // the slot whose driver set it

// Counts detections: incremented at the start of every detectModes.
static int detectionCount = 0;

// The full-screen window's title: set by the framework, kept until changed.
static std::string windowTitle;

int driverSlot(const char* name)
{
    if (!name) return -1;
    for (int slot = 0; slot < kDriverSlotCount; slot++)
        if (strcmp(driverSlotNames[slot], name) == 0) return slot;
    return -1;
}

int registerDriver(const char* name, const DriverImage* image)
{
    setLastError(kglOk);
    int slot = driverSlot(name);
    int result = kglOk;
    if (slot < 0) {
        result = kglInvalidDriverName;
    } else if (!image || memcmp(image->header, kDriverHeader, sizeof kDriverHeader) != 0 ||
               strncmp(image->name, name, kDriverNameSize) != 0) {
        // strncmp over the whole field also rejects a name field that carries
        // more than the slot name before its end.
        result = kglBadDriverFile;
    } else if (image->majorVersion != kDriverVersionMajor || image->minorVersion != kDriverVersionMinor) {
        result = kglBadDriverVersion;
    }
    if (result != kglOk) {
        setLastError(result);
        return result;
    }
    registry[slot] = {1, image};
    return kglOk;
}

// Registers a built-in driver by its slot name.
static void registerBuiltIn(const char* name)
{
    const DriverImage* image = displayDriverImage(name);
    if (!image) image = memoryDriverImage(name);
    registerDriver(name, image);
}

static void registerGroup(const char* const* names, int count)
{
    for (int i = 0; i < count; i++) registerBuiltIn(names[i]);
}

void registerAllDrivers(int hardwareAccess, int directDraw, int vga, int vgax, int vbe,
                        int linearFramebuffer, int acceleration, int fullscreenDib)
{
    static const char* const vgaNames[] = {"VGA4.DRV", "VGA8.DRV"};
    static const char* const linearNames[] = {"LINEAR8.DRV", "LINEAR16.DRV", "LINEAR24.DRV", "LINEAR32.DRV"};
    static const char* const accelNames[] = {"ACCEL8.DRV", "ACCEL16.DRV", "ACCEL24.DRV", "ACCEL32.DRV"};
    static const char* const fdibNames[] = {"FDIB8.DRV", "FDIB16.DRV", "FDIB24.DRV", "FDIB32.DRV"};
    static const char* const ddrawNames[] = {"DDRAW8.DRV", "DDRAW16.DRV", "DDRAW24.DRV", "DDRAW32.DRV"};
    if (hardwareAccess && vga) {
        registerGroup(vgaNames, 2);
        if (vgax) registerBuiltIn("VGAX.DRV");
    }
    if (hardwareAccess && vbe && linearFramebuffer) {
        registerGroup(linearNames, 4);
        if (acceleration) registerGroup(accelNames, 4);
    }
    if (fullscreenDib) registerGroup(fdibNames, 4);
    if (directDraw) registerGroup(ddrawNames, 4);
}

void registerOpenGLDrivers()
{
    static const char* const names[] = {"OPENGL.DRV", "FSOGL8.DRV", "FSOGL16.DRV", "FSOGL24.DRV", "FSOGL32.DRV"};
    registerGroup(names, 5);
}

void registerMemoryDrivers()
{
    static const char* const names[] = {"PACK1.DRV", "PACK4.DRV", "PACK8.DRV", "PACK16.DRV", "PACK24.DRV",
                                        "PACK32.DRV"};
    registerGroup(names, 6);
}

void unregisterAllDrivers()
{
    for (DriverSlot& slot : registry) slot = {0, nullptr};
}

const DriverImage* registeredDriver(int slot)
{
    if (slot < 0 || slot >= kDriverSlotCount || !registry[slot].registered) return nullptr;
    return registry[slot].image;
}

void detectModes(int* driver, int* mode)
{
    int requestedDriver = driver ? *driver : -1;
    int requestedMode = mode ? *mode : -1;
    detectionCount++;
    resetModeAvailability();
    int answered = 0;
    // Later slots overwrite what earlier ones wrote, so the last driver in
    // slot order that can set a mode serves it.
    for (int slot = 0; slot < kDriverSlotCount; slot++) {
        const DriverImage* image = registeredDriver(slot);
        if (!image || !image->entry.detect) continue;
        if (image->entry.detect(slot, &requestedDriver, &requestedMode, modeAvailability)) answered = 1;
    }
    if (answered)
        buildAvailableModeList();
    else
        clearModeList();
    if (driver) *driver = answered;
}

int detectionPass()
{
    return detectionCount;
}

int KGL_init(int* driver, int* mode, const char* rootPath)
{
    if (libraryStarted) kglFatalError("Nested call to KGL_init!");
    setLastError(kglOk);
    setFileRootPath(rootPath);
    int detected = driver ? *driver : -1;
    detectModes(&detected, mode);
    if (driver) *driver = detected;
    if (!detected) {
        setLastError(kglNotDetected);
        return 0;
    }
    libraryStarted = 1;
    if (mode && *mode != -1 && !setGraphicsMode(*mode)) {
        int error = takeLastError();
        KGL_close();
        setLastError(error);
        return 0;
    }
    return 1;
}

// Gives the display back through the driver that took it.
static void restoreDisplay()
{
    const DriverImage* image = registeredDriver(currentModeSlot);
    if (currentMode != -1 && image && image->entry.restoreMode) image->entry.restoreMode();
    currentMode = -1;
    currentModeSlot = -1;
}

void KGL_close()
{
    restoreDisplay();
    libraryStarted = 0;
}

int KGL_started()
{
    return libraryStarted;
}

void setFullscreenTitle(const char* title)
{
    windowTitle = title ? title : "";
}

const char* fullscreenTitle()
{
    return windowTitle.c_str();
}

int setGraphicsMode(int mode)
{
    setLastError(kglOk);
    if (!isValidMode(mode)) {
        setLastError(kglInvalidMode);
        return 0;
    }
    int slot = modeAvailability[modeRecord(mode)].driverSlot;
    const DriverImage* image = slot == kNoDriver ? nullptr : registeredDriver(slot);
    if (!image || !image->entry.setMode) {
        setLastError(kglModeNotSupported);
        return 0;
    }
    restoreDisplay();
    if (!image->entry.setMode(mode)) {
        int error = takeLastError();
        setLastError(error != kglOk ? error : kglModeNotSupported);
        return 0;
    }
    currentMode = mode;
    currentModeSlot = slot;
    return 1;
}

int currentGraphicsMode()
{
    return currentMode;
}

void kglFatalError(const char* message)
{
    KGL_close();
    fatalMessageBox(message ? message : "", "KGL Fatal Error!", MessageIcon::Exclamation);
    exit(255);
}
