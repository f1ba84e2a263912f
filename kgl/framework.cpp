#include "kgl/framework.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "kgl/drivers.h"
#include "kgl/errors.h"
#include "kgl/events.h"
#include "kgl/glbind.h"
#include "kgl/modes.h"
#include "platform/display.h"
#include "platform/msgbox.h"

FrameworkState frameworkState;

namespace {

// The mode list: rebuilt by frameworkInit and setDriverOptions, kept until the next build.
std::vector<ModeInfo> modeList;
// The host window set by the program before its mode (0: full screen); kept to the end of the process.
uint64_t hostWindow = 0;

// Back to the start state, keeping what the program sets before frameworkInit.
void resetState()
{
    DriverOptions options = frameworkState.options;
    int optionsSet = frameworkState.optionsSet;
    int noStaticPalette = frameworkState.noStaticPalette;
    int driversRegistered = frameworkState.driversRegistered;
    frameworkState = FrameworkState();
    frameworkState.options = options;
    frameworkState.optionsSet = optionsSet;
    frameworkState.noStaticPalette = noStaticPalette;
    frameworkState.driversRegistered = driversRegistered;
    frameworkState.active = 1;
}

bool depthAllowed(int bits, uint8_t filter)
{
    switch (bits) {
    case 8: return filter & kDepth8;
    case 15:
    case 16: return filter & kDepth15And16;
    case 24: return filter & kDepth24;
    case 32: return filter & kDepth32;
    default: return false;
    }
}

bool found(int mode)
{
    return modeAvailability[mode].driverSlot != kNoDriver;
}

ModeInfo entryFor(int setMode, int width, int height, int bits, int stretch)
{
    ModeInfo entry = {};
    entry.mode = setMode;
    entry.xResolution = width;
    entry.yResolution = height;
    entry.bitsPerPixel = bits;
    entry.pageCount = modeAvailability[setMode].pageCount;
    entry.flags = modeAvailability[setMode].flags;
    int slot = modeAvailability[setMode].driverSlot;
    if (slot < kDriverSlotCount) strncpy(entry.driverName, driverSlotNames[slot], sizeof entry.driverName - 1);
    entry.stretch = static_cast<int8_t>(stretch);
    bool small = (width < 512 && height < 384) || (width == 320 && (height == 400 || height == 480));
    entry.windowScale = small ? 2 : 0;
    return entry;
}

// A found mode of the depth, at most 800x600, of the given size; -1 when none.
int foundModeOfSize(int width, int height, int bits)
{
    if (width > 800 || height > 600) return -1;
    for (int mode = 11; mode < kModeCount; ++mode)
        if (found(mode) && modeResolutions[mode].x == width && modeResolutions[mode].y == height &&
            modeResolutions[mode].bits == bits)
            return mode;
    return -1;
}

void collectModes(uint8_t filter)
{
    modeList.clear();
    for (int mode = 11; mode < kModeCount; ++mode) {
        int width = modeResolutions[mode].x, height = modeResolutions[mode].y, bits = modeResolutions[mode].bits;
        if (bits < 8 || !depthAllowed(bits, filter)) continue;
        if (found(mode)) {
            int32_t flags = modeAvailability[mode].flags;
            if ((filter & kOnly2DAccelerated) && !(flags & kMode2DAccelerated)) continue;
            if ((filter & kFullscreenOnly3DAccelerated) && !(flags & kMode3DAccelerated)) continue;
            modeList.push_back(entryFor(mode, width, height, bits, 0));
            continue;
        }
        // A size the display cannot show may still be had from a found mode
        // of twice the height (stretch 1) or twice both sides (stretch 2).
        if (mode == 11 && found(6)) {
            modeList.push_back(entryFor(6, width, height, bits, 0));
        } else if (int tall = foundModeOfSize(width, height * 2, bits); tall >= 0) {
            modeList.push_back(entryFor(tall, width, height, bits, 1));
        } else if (int large = foundModeOfSize(width * 2, height * 2, bits); large >= 0) {
            modeList.push_back(entryFor(large, width, height, bits, 2));
        }
    }
}

void buildModeList()
{
    if (!frameworkState.driversRegistered) {
        const DriverOptions& o = frameworkState.options;
        unregisterAllDrivers();
        registerAllDrivers(o.hardwareAccess, o.directDraw, o.vga, o.vgax, o.vbe, o.linearFramebuffer, o.acceleration,
                           o.fullscreenDib);
        if (o.openGL) registerOpenGLDrivers();
        registerMemoryDrivers();
        int driver = -1, mode = -1;
        detectModes(&driver, &mode);
        frameworkState.driversRegistered = 1;
    }
    uint8_t filter = frameworkState.options.depthFilter;
    collectModes(filter);
    if (modeList.empty()) collectModes(static_cast<uint8_t>((filter | 0x0F) & ~0x30));
}

// The pixel format a memory back buffer gets for a display depth the filter forbids.
int backBufferBits(int bits, uint8_t filter, const PixelFormat** format)
{
    if (bits == 32 && !(filter & kDepth32)) {
        bits = 24;
        *format = &pixelFormatRGB24;
    }
    if (bits == 24 && !(filter & kDepth24)) {
        bits = 15;
        *format = &pixelFormat555;
    }
    if ((bits == 15 || bits == 16) && !(filter & kDepth15And16)) {
        bits = 8;
        *format = nullptr;
    }
    return bits;
}

// Drops the OpenGL context and the contexts of the current mode.
void dropContexts()
{
    Framework& record = frameworkState.record;
    if (frameworkState.openGLStarted && record.displayContext) {
        makeCurrentGL(nullptr);
        destroyGLContext(record.displayContext);
    }
    frameworkState.openGLStarted = 0;
    makeCurrentDC(nullptr);
    if (record.memoryContext) destroyDC(record.memoryContext);
    if (record.displayContext) destroyDC(record.displayContext);
    record = Framework();
}

bool sameOptions(const DriverOptions& a, const DriverOptions& b)
{
    return a.hardwareAccess == b.hardwareAccess && a.directDraw == b.directDraw && a.vga == b.vga &&
           a.vgax == b.vgax && a.vbe == b.vbe && a.linearFramebuffer == b.linearFramebuffer &&
           a.acceleration == b.acceleration && a.fullscreenDib == b.fullscreenDib && a.openGL == b.openGL &&
           a.dialogByte == b.dialogByte && a.depthFilter == b.depthFilter;
}

int failSwitch(int error)
{
    setLastError(error);
    frameworkState.modeChangeInProgress = 0;
    return 0;
}

} // namespace

void setDriverOptions(const DriverOptions* options)
{
    if (!options) return;
    if (frameworkState.optionsSet && sameOptions(*options, frameworkState.options)) return;
    frameworkState.options = *options;
    frameworkState.optionsSet = 1;
    frameworkState.driversRegistered = 0;
    buildModeList();
}

void setNoStaticPalette(int on)
{
    frameworkState.noStaticPalette = on ? 1 : 0;
}

Framework* frameworkInit(const char* title)
{
    // A framework started again without its shut-down starts with no contexts and no window.
    if (frameworkState.record.displayContext) {
        dropContexts();
        if (KGL_started()) KGL_close();
        displayClose();
    }
    resetState();
    clearCallbacks();
    flushEvents();
    int width = 0, height = 0;
    if (displayDesktopSize(&width, &height)) {
        frameworkState.screenWidth = width;
        frameworkState.screenHeight = height;
        frameworkState.desktopBits = 24;
    }
    strncpy(frameworkState.title, title ? title : "", sizeof frameworkState.title - 1);
    frameworkState.title[sizeof frameworkState.title - 1] = 0;
    buildModeList();
    return &frameworkState.record;
}

const ModeInfo* frameworkModeList(int* count)
{
    if (count) *count = static_cast<int>(modeList.size());
    return modeList.data();
}

int setDisplayMode(const ModeInfo* info, int windowed, int pages, int forceSystemMemory)
{
    setLastError(kglOk);
    if (!info || info->mode == -1) return failSwitch(kglInvalidMode);
    // This back-end shows every mode in its full-screen window; there is no windowed display.
    if (windowed) return failSwitch(kglModeNotSupported);
    if (info->stretch < 0 || info->stretch > 2) return failSwitch(kglInvalidMode);
    frameworkState.currentMode = *info;
    frameworkState.requestedPages = pages;
    frameworkState.forceSystemMemory = forceSystemMemory;

    frameworkState.modeChangeInProgress = 1;
    frameworkState.fullscreen = 1;
    dropContexts();

    if (!KGL_started()) {
        int driver = -1, mode = -1;
        if (!KGL_init(&driver, &mode, "")) return failSwitch(takeLastError());
    }
    setFullscreenTitle(frameworkState.title);

    int modePages = modePageCount(info->mode);
    if (pages > modePages) pages = modePages;
    if (pages < 1) pages = 1;
    if (!setGraphicsMode(info->mode)) return failSwitch(takeLastError());
    DeviceContext* display = createDisplayDC(pages);
    if (!display) return failSwitch(takeLastError());
    makeCurrentDC(display);
    DeviceContext* live = liveDC(display);
    frameworkState.modeFlags = modeFlags(info->mode);
    int width = live->xResolution, height = live->yResolution;

    int stretch = info->stretch;
    frameworkState.stretch = stretch;
    frameworkState.backWidth = stretch == 2 ? width / 2 : width;
    frameworkState.backHeight = stretch == 0 ? height : height / 2;

    Framework& record = frameworkState.record;
    record.displayContext = display;
    // The window flips its pages itself (OpenGL's double buffer), so a display
    // of several pages is drawn directly unless system memory is asked for.
    if (!forceSystemMemory && stretch == 0 && live->pageCount > 1) {
        record.drawTarget = display;
    } else {
        const PixelFormat* format = &live->format;
        int bits = backBufferBits(live->bitsPerPixel, frameworkState.options.depthFilter, &format);
        record.memoryContext =
            createMemoryDC(frameworkState.backWidth, frameworkState.backHeight, bits, bits > 8 ? format : nullptr);
        if (!record.memoryContext) return failSwitch(takeLastError());
        record.drawTarget = record.memoryContext;
        makeCurrentDC(record.memoryContext);
    }
    live = liveDC(display);
    if (live->pageCount > 1) {
        frameworkState.activePage = live->activePage = 1;
        frameworkState.visualPage = live->visualPage = 0;
        live->ops->setActivePage(live, 1);
        live->ops->setVisualPage(live, 0, 0);
    }
    frameworkState.modeChangeInProgress = 0;
    return 1;
}

int startOpenGL(int flags)
{
    setLastError(kglOk);
    Framework& record = frameworkState.record;
    if (!record.displayContext) {
        setLastError(kglInvalidDC);
        return 0;
    }
    makeCurrentGL(nullptr);
    // OpenGL draws only into the window here, as into a 3-D accelerated
    // display: a memory back buffer gives way to the display itself.
    if (record.memoryContext) {
        makeCurrentDC(record.displayContext);
        destroyDC(record.memoryContext);
        record.memoryContext = nullptr;
        record.drawTarget = record.displayContext;
    }
    if (!createGLContext(record.drawTarget, flags)) return 0;
    makeCurrentGL(record.drawTarget);
    frameworkState.openGLStarted = 1;
    return 1;
}

void flipPages(DeviceContext* display, int waitForRetrace)
{
    DeviceContext* live = liveDC(display);
    if (!live || live->pageCount <= 1) return;
    live->visualPage = live->activePage;
    live->activePage = (live->activePage + 1) % live->pageCount;
    live->ops->setActivePage(live, live->activePage);
    live->ops->setVisualPage(live, live->visualPage, waitForRetrace);
    if (display == frameworkState.record.displayContext) {
        frameworkState.activePage = live->activePage;
        frameworkState.visualPage = live->visualPage;
    }
}

void swapBuffers(int waitForRetrace)
{
    Framework& record = frameworkState.record;
    DeviceContext* display = record.displayContext;
    if (!display) return;
    if (record.memoryContext) {
        if (frameworkState.openGLStarted) gl.glFlush();
        // The back buffer goes to the display's top-left corner; a half-height
        // or half-size one (stretch 1 or 2) is stretched over the whole display.
        DeviceContext* back = liveDC(record.memoryContext);
        DeviceContext* screen = liveDC(display);
        if (frameworkState.stretch == 0 && screen->ops->copyRect)
            screen->ops->copyRect(screen, 0, 0, back, 0, 0, back->xResolution, back->yResolution);
        else if (frameworkState.stretch != 0 && screen->ops->copyRectStretched)
            screen->ops->copyRectStretched(screen, 0, 0, screen->xResolution, screen->yResolution, back, 0, 0,
                                           back->xResolution, back->yResolution);
    }
    if (frameworkState.openGLStarted && !record.memoryContext)
        swapGLBuffers(display, waitForRetrace);
    else
        flipPages(display, waitForRetrace);
}

void waitForRefresh()
{
    if (frameworkState.record.displayContext) displayWaitForRefresh();
}

void restoreDesktop()
{
    // Each step stands on its own, so a switch that failed half-way is undone too.
    dropContexts();
    if (KGL_started()) KGL_close();
    displayGrabInput(0);
    displayClose();
    resetCursor();
}

void frameworkShutdown()
{
    Framework& record = frameworkState.record;
    if (frameworkState.noStaticPalette && record.displayContext && record.drawTarget) {
        DeviceContext* display = liveDC(record.displayContext);
        if (display->bitsPerPixel == 8) display->ops->realisePalette(display);
    }
    dropContexts();
    if (KGL_started()) KGL_close();
    displayClose();
    DisplayInput input;
    while (displayPollInput(&input)) {
    }
    flushEvents();
    clearCallbacks();
    resetState();
    frameworkState.driversRegistered = 0;
}

void fatalError(const char* message)
{
    restoreDesktop();
    // A hosted saver has nobody to answer a box: its window may be under the
    // daemon's lock or gone, and the daemon collects its standard error.
    if (hostWindow)
        fprintf(stderr, "KGL Fatal Error!: %s\n", message ? message : "");
    else
        fatalMessageBox(message ? message : "", "KGL Fatal Error!", MessageIcon::Exclamation);
    std::exit(255);
}

void grabInput(int grab)
{
    displayGrabInput(grab);
}

void setHostWindow(uint64_t window)
{
    hostWindow = window;
    displayUseHostWindow(window);
}

int hostWindowLost()
{
    return hostWindow && displayHostWindowGone() ? 1 : 0;
}
