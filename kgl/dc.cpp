// Device contexts: creating the display and memory surfaces, the working
// copy of the current context, and the colour and ellipse operations.
#include "kgl/dc.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <new>

#include "kgl/drivers.h"
#include "kgl/errors.h"

// Largest surface a memory context may allocate, in bytes.
constexpr int64_t kMaxSurfaceBytes = int64_t(1) << 30;

// The working copy of the current context and the record it belongs to:
// owned by makeCurrentDC, written back into the record whenever another
// context is made current.
static DeviceContext workingCopy;
static DeviceContext* currentRecord = nullptr;

// The one display context, from createDisplayDC to its destroyDC.
static DeviceContext* displayContext = nullptr;

// The fields every new context starts with.
static void initialiseContext(DeviceContext* dc, int width, int height, int bits, const PixelFormat* format)
{
    dc->xResolution = width;
    dc->yResolution = height;
    dc->bitsPerPixel = bits;
    dc->maxColour = bits >= 32 ? 0xFFFFFFFFu : (1u << (bits == 16 ? 16 : bits)) - 1;
    if (bits > 8 && format) dc->format = *format;
    if (bits <= 8) {
        const PaletteEntry* palette = defaultPalette(bits);
        for (int i = 0; i < kPaletteSize; i++) dc->palette[i] = palette[i];
    }
    dc->pageCount = 1;
    dc->viewport = {0, 0, width - 1, height - 1};
    dc->clip = {0, 0, width - 1, height - 1};
    dc->clipOn = 1;
    dc->penSize = 1;
}

DeviceContext* createDisplayDC(int pages)
{
    setLastError(kglOk);
    int mode = currentGraphicsMode();
    if (!isValidMode(mode)) {
        setLastError(kglNotInstalled);
        return nullptr;
    }
    if (displayContext) {
        setLastError(kglInvalidDeviceType);
        return nullptr;
    }
    DeviceContext* dc = new (std::nothrow) DeviceContext{};
    if (!dc) {
        setLastError(kglNoMemory);
        return nullptr;
    }
    const ModeResolution resolution = modeResolution(mode);
    initialiseContext(dc, resolution.x, resolution.y, resolution.bits, standardPixelFormat(resolution.bits));
    dc->kind = DCKind::Display;
    dc->mode = mode;
    dc->driverSlot = modeAvailability[modeRecord(mode)].driverSlot;
    int available = modePageCount(mode) > 0 ? modePageCount(mode) : 1;
    dc->pageCount = pages < 1 ? 1 : pages > available ? available : pages;
    const DriverImage* image = registeredDriver(dc->driverSlot);
    if (!image || !image->entry.createDisplayContext ||
        !image->entry.createDisplayContext(dc, mode, dc->pageCount)) {
        int error = takeLastError();
        setLastError(error != kglOk ? error : kglNotInstalled);
        delete dc;
        return nullptr;
    }
    displayContext = dc;
    makeCurrentDC(dc);
    return dc;
}

// The memory driver of a depth: 15 and 16 bits share one.
static const char* memoryDriverName(int bits)
{
    switch (bits) {
    case 1: return "PACK1.DRV";
    case 4: return "PACK4.DRV";
    case 8: return "PACK8.DRV";
    case 15:
    case 16: return "PACK16.DRV";
    case 24: return "PACK24.DRV";
    case 32: return "PACK32.DRV";
    default: return nullptr;
    }
}

DeviceContext* createMemoryDC(int width, int height, int bits, const PixelFormat* format)
{
    setLastError(kglOk);
    const char* driver = memoryDriverName(bits);
    if (!driver) {
        setLastError(kglInvalidMode);
        return nullptr;
    }
    int slot = driverSlot(driver);
    const DriverImage* image = registeredDriver(slot);
    if (!image || !image->entry.createMemoryContext) {
        setLastError(kglNotInstalled);
        return nullptr;
    }
    if (width < 1 || height < 1) {
        setLastError(kglGeneralError);
        return nullptr;
    }
    if (bits > 8 && !format) format = standardPixelFormat(bits);
    if (bits > 8 && !isValidPixelFormat(*format, bits)) {
        setLastError(kglInvalidMemoryFormat);
        return nullptr;
    }
    int64_t bytesPerLine = bytesPerLineFor(width, bits);
    if (bytesPerLine * height > kMaxSurfaceBytes) {
        setLastError(kglNoMemory);
        return nullptr;
    }
    DeviceContext* dc = new (std::nothrow) DeviceContext{};
    uint8_t* surface = static_cast<uint8_t*>(calloc(size_t(bytesPerLine * height), 1));
    if (!dc || !surface) {
        delete dc;
        free(surface);
        setLastError(kglNoMemory);
        return nullptr;
    }
    initialiseContext(dc, width, height, bits, format);
    dc->kind = DCKind::Memory;
    dc->mode = -1;
    dc->driverSlot = slot;
    dc->bytesPerLine = int32_t(bytesPerLine);
    dc->surface = surface;
    if (!image->entry.createMemoryContext(dc)) {
        free(surface);
        delete dc;
        setLastError(kglNotInstalled);
        return nullptr;
    }
    return dc;
}

void destroyDC(DeviceContext* dc)
{
    if (dc == &workingCopy) dc = currentRecord;
    if (!dc) return;
    if (dc == currentRecord) makeCurrentDC(nullptr);
    if (dc == displayContext) displayContext = nullptr;
    if (dc->kind == DCKind::Memory) free(dc->surface);
    delete dc;
}

DeviceContext* makeCurrentDC(DeviceContext* dc)
{
    if (dc == &workingCopy) dc = currentRecord;
    DeviceContext* previous = currentRecord;
    if (dc == previous) return previous;
    if (previous) *previous = workingCopy;
    currentRecord = dc;
    if (dc) {
        workingCopy = *dc;
        // The rasteriser takes the new context's drawing state.
        if (workingCopy.ops && workingCopy.ops->setColour) workingCopy.ops->setColour(&workingCopy, workingCopy.colour);
    }
    return previous;
}

DeviceContext* currentDC()
{
    return currentRecord ? &workingCopy : nullptr;
}

DeviceContext* liveDC(DeviceContext* dc)
{
    if (dc && (dc == currentRecord || dc == &workingCopy)) return &workingCopy;
    return dc;
}

int getMaxX(const DeviceContext* dc)
{
    const DeviceContext* live = liveDC(const_cast<DeviceContext*>(dc));
    return live ? live->viewport.right - live->viewport.left : -1;
}

int getMaxY(const DeviceContext* dc)
{
    const DeviceContext* live = liveDC(const_cast<DeviceContext*>(dc));
    return live ? live->viewport.bottom - live->viewport.top : -1;
}

void setColorRGB(int r, int g, int b)
{
    DeviceContext* dc = currentDC();
    if (!dc) {
        setLastError(kglInvalidDC);
        return;
    }
    // The search covers every colour the surface can show, the largest included.
    uint32_t colour = dc->maxColour > 255 ? packColour(dc->format, r, g, b)
                                          : nearestPaletteIndex(dc->palette, int(dc->maxColour) + 1, r, g, b);
    dc->colour = colour;
    if (dc->ops && dc->ops->setColour) dc->ops->setColour(dc, colour);
}

void fillEllipseCoord(int cx, int cy, int rx, int ry)
{
    DeviceContext* dc = currentDC();
    if (!dc) {
        setLastError(kglInvalidDC);
        return;
    }
    int64_t left = int64_t(cx) - rx, top = int64_t(cy) - ry;
    int64_t right = int64_t(cx) + rx, bottom = int64_t(cy) + ry;
    // The spans are the width and height minus 1: a rectangle of one pixel or less is empty.
    int64_t xSpan = right - left, ySpan = bottom - top;
    if (xSpan < 1 || ySpan < 1) return;
    int partial = 0;
    if (dc->clipOn) {
        const Rect& clip = dc->clip;
        if (right < clip.left || left > clip.right || bottom < clip.top || top > clip.bottom) return;
        partial = left < clip.left || right > clip.right || top < clip.top || bottom > clip.bottom;
    }
    left += dc->viewport.left;
    top += dc->viewport.top;
    // Ellipses reaching beyond +-2^30 pixels are past what the drivers draw.
    const int64_t limit = int64_t(1) << 30;
    if (left < -limit || top < -limit || left + xSpan > limit || top + ySpan > limit) return;
    if (dc->ops && dc->ops->fillEllipse) dc->ops->fillEllipse(dc, int(left), int(top), int(xSpan), int(ySpan), partial);
}

bool ellipseRowSpan(int left, int top, int xSpan, int ySpan, int y, int* x0, int* x1)
{
    if (xSpan < 1 || ySpan < 1) return false;
    const double a = xSpan / 2.0, b = ySpan / 2.0, cx = left + a, cy = top + b, tiny = 1e-9;
    double dy = (y - cy) / b, inside = 1 - dy * dy;
    if (inside < 0) return false;
    double dx = a * std::sqrt(inside);
    *x0 = int(std::ceil(cx - dx - 0.5 - tiny));
    *x1 = int(std::floor(cx + dx + 0.5 + tiny));
    return *x0 <= *x1;
}

bool cutToSurface(const DeviceContext* dc, int clip, int& left, int& top, int& right, int& bottom)
{
    int minX = 0, minY = 0, maxX = dc->xResolution - 1, maxY = dc->yResolution - 1;
    if (clip) {
        minX = std::max(minX, dc->clip.left + dc->viewport.left);
        minY = std::max(minY, dc->clip.top + dc->viewport.top);
        maxX = std::min(maxX, dc->clip.right + dc->viewport.left);
        maxY = std::min(maxY, dc->clip.bottom + dc->viewport.top);
    }
    left = std::max(left, minX), top = std::max(top, minY);
    right = std::min(right, maxX), bottom = std::min(bottom, maxY);
    return left <= right && top <= bottom;
}

bool cutSourceRect(const DeviceContext* source, int& srcX, int& srcY, int& width, int& height)
{
    if (!source || !source->surface || width < 1 || height < 1) return false;
    int64_t left = std::max(srcX, 0), top = std::max(srcY, 0);
    int64_t right = std::min<int64_t>(int64_t(srcX) + width, source->xResolution);
    int64_t bottom = std::min<int64_t>(int64_t(srcY) + height, source->yResolution);
    if (left >= right || top >= bottom) return false;
    srcX = int(left), srcY = int(top), width = int(right - left), height = int(bottom - top);
    return true;
}

bool sameSurfaceFormat(const DeviceContext* dc, const DeviceContext* source)
{
    if (dc->bitsPerPixel != source->bitsPerPixel) return false;
    return dc->bitsPerPixel <= 8 || (dc->format.redPosition == source->format.redPosition &&
                                     dc->format.greenPosition == source->format.greenPosition &&
                                     dc->format.bluePosition == source->format.bluePosition);
}
