// The memory (PACK) drivers: drawing on system-memory surfaces of 1, 4, 8,
// 15/16, 24 and 32 bits per pixel. Every operation keeps to the surface, so
// nothing is written outside it whatever the caller's coordinates.
#include <algorithm>
#include <cstring>

#include "kgl/dc.h"
#include "kgl/drivers.h"

static uint8_t* surfaceRow(DeviceContext* dc, int y)
{
    return dc->surface + int64_t(y) * dc->bytesPerLine;
}

static void fillSpan(DeviceContext* dc, int y, int x0, int x1)
{
    uint8_t* row = surfaceRow(dc, y);
    if (dc->bitsPerPixel == 8) {
        memset(row + x0, int(dc->colour & 0xFF), size_t(x1 - x0 + 1));
        return;
    }
    for (int x = x0; x <= x1; x++) writePixel(row, x, dc->bitsPerPixel, dc->colour);
}

static void memorySetColour(DeviceContext*, uint32_t) {}

static void memoryFillRect(DeviceContext* dc, int left, int top, int right, int bottom)
{
    if (!dc->surface || !cutToSurface(dc, 0, left, top, right, bottom)) return;
    for (int y = top; y <= bottom; y++) fillSpan(dc, y, left, right);
}

static void memoryFillEllipse(DeviceContext* dc, int left, int top, int xSpan, int ySpan, int clip)
{
    int cutLeft = left, cutTop = top, cutRight = left + xSpan, cutBottom = top + ySpan;
    if (xSpan < 1 || ySpan < 1 || !dc->surface || !cutToSurface(dc, clip, cutLeft, cutTop, cutRight, cutBottom)) return;
    for (int y = cutTop; y <= cutBottom; y++) {
        int x0, x1;
        if (!ellipseRowSpan(left, top, xSpan, ySpan, y, &x0, &x1)) continue;
        x0 = std::max(cutLeft, x0), x1 = std::min(cutRight, x1);
        if (x0 <= x1) fillSpan(dc, y, x0, x1);
    }
}

// Cuts an image to the surface; moves the first row and first column along.
static bool cutImage(const DeviceContext* dc, int& x, int& y, int& width, int& height, const uint8_t*& rows,
                     int bytesPerLine, int& srcX)
{
    int left = x, top = y, right = x + width - 1, bottom = y + height - 1;
    if (!dc->surface || width < 1 || height < 1 || !cutToSurface(dc, 0, left, top, right, bottom)) return false;
    srcX += left - x;
    rows += int64_t(top - y) * bytesPerLine;
    x = left, y = top, width = right - left + 1, height = bottom - top + 1;
    return true;
}

static void memoryPutImage(DeviceContext* dc, int x, int y, int width, int height, const uint8_t* rows,
                           int bytesPerLine, int srcX, int)
{
    if (!cutImage(dc, x, y, width, height, rows, bytesPerLine, srcX)) return;
    int bits = dc->bitsPerPixel, pixelBytes = storageBits(bits) / 8;
    for (int row = 0; row < height; row++) {
        const uint8_t* from = rows + int64_t(row) * bytesPerLine;
        uint8_t* to = surfaceRow(dc, y + row);
        if (pixelBytes > 0) {
            memcpy(to + int64_t(x) * pixelBytes, from + int64_t(srcX) * pixelBytes, size_t(width) * pixelBytes);
        } else {
            for (int i = 0; i < width; i++) writePixel(to, x + i, bits, readPixel(from, srcX + i, bits));
        }
    }
}

static void memoryPutImageConverted(DeviceContext* dc, int x, int y, int width, int height, const uint8_t* rows,
                                    int bytesPerLine, int srcX, int srcBits, const PixelFormat* srcFormat,
                                    const PaletteEntry* srcPalette, int)
{
    if (!cutImage(dc, x, y, width, height, rows, bytesPerLine, srcX)) return;
    const bool packs = dc->maxColour > 255;
    // Pictures repeat colours along a row; the palette search is the slow part.
    int lastR = -1, lastG = -1, lastB = -1;
    uint32_t lastValue = 0;
    for (int row = 0; row < height; row++) {
        const uint8_t* from = rows + int64_t(row) * bytesPerLine;
        uint8_t* to = surfaceRow(dc, y + row);
        for (int i = 0; i < width; i++) {
            uint8_t r, g, b;
            pixelColour(readPixel(from, srcX + i, srcBits), srcBits, srcFormat, srcPalette, &r, &g, &b);
            if (r != lastR || g != lastG || b != lastB) {
                lastValue = packs ? packColour(dc->format, r, g, b)
                                  : nearestPaletteIndex(dc->palette, int(dc->maxColour) + 1, r, g, b);
                lastR = r, lastG = g, lastB = b;
            }
            writePixel(to, x + i, dc->bitsPerPixel, lastValue);
        }
    }
}

static void memoryPutMono(DeviceContext* dc, int x, int y, int width, int height, const uint8_t* rows,
                          int bytesPerLine, int srcX)
{
    if (!cutImage(dc, x, y, width, height, rows, bytesPerLine, srcX)) return;
    for (int row = 0; row < height; row++) {
        const uint8_t* from = rows + int64_t(row) * bytesPerLine;
        uint8_t* to = surfaceRow(dc, y + row);
        for (int i = 0; i < width; i++)
            if (readPixel(from, srcX + i, 1)) writePixel(to, x + i, dc->bitsPerPixel, dc->colour);
    }
}

static void memoryCopyRect(DeviceContext* dc, int x, int y, const DeviceContext* source, int srcX, int srcY,
                           int width, int height)
{
    int fromX = srcX, fromY = srcY;
    if (!cutSourceRect(source, srcX, srcY, width, height)) return;
    x += srcX - fromX, y += srcY - fromY;
    const uint8_t* rows = source->surface + int64_t(srcY) * source->bytesPerLine;
    if (sameSurfaceFormat(dc, source))
        memoryPutImage(dc, x, y, width, height, rows, source->bytesPerLine, srcX, 0);
    else
        memoryPutImageConverted(dc, x, y, width, height, rows, source->bytesPerLine, srcX, source->bitsPerPixel,
                                &source->format, source->palette, 0);
}

static void memoryCopyRectStretched(DeviceContext* dc, int x, int y, int dstWidth, int dstHeight,
                                    const DeviceContext* source, int srcX, int srcY, int width, int height)
{
    int left = x, top = y, right = x + dstWidth - 1, bottom = y + dstHeight - 1;
    if (dstWidth < 1 || dstHeight < 1 || !dc->surface || !cutSourceRect(source, srcX, srcY, width, height) ||
        !cutToSurface(dc, 0, left, top, right, bottom))
        return;
    const bool same = sameSurfaceFormat(dc, source), packs = dc->maxColour > 255;
    for (int row = top; row <= bottom; row++) {
        int fromRow = srcY + int(int64_t(row - y) * height / dstHeight);
        const uint8_t* from = source->surface + int64_t(fromRow) * source->bytesPerLine;
        uint8_t* to = surfaceRow(dc, row);
        for (int column = left; column <= right; column++) {
            uint32_t value = readPixel(from, srcX + int(int64_t(column - x) * width / dstWidth), source->bitsPerPixel);
            if (!same) {
                uint8_t r, g, b;
                pixelColour(value, source->bitsPerPixel, &source->format, source->palette, &r, &g, &b);
                value = packs ? packColour(dc->format, r, g, b)
                              : nearestPaletteIndex(dc->palette, int(dc->maxColour) + 1, r, g, b);
            }
            writePixel(to, column, dc->bitsPerPixel, value);
        }
    }
}

static void memorySetPalette(DeviceContext* dc, const PaletteEntry* entries, int first, int count)
{
    for (int i = 0; i < count; i++)
        if (first + i >= 0 && first + i < kPaletteSize) dc->palette[first + i] = entries[i];
    dc->paletteRealised = 0;
}

static void memoryRealisePalette(DeviceContext* dc)
{
    dc->paletteRealised = 1;
}

// A memory surface has one page.
static void memorySetActivePage(DeviceContext*, int) {}
static void memorySetVisualPage(DeviceContext*, int, int) {}

static const DCOps memoryOps = {memorySetColour,      memoryFillRect,          memoryFillEllipse,
                                memoryPutImage,       memoryPutImageConverted, memoryPutMono,
                                memoryCopyRect,       memoryCopyRectStretched, memorySetPalette,
                                memoryRealisePalette, memorySetActivePage,     memorySetVisualPage};

static int createMemoryContext(DeviceContext* dc)
{
    dc->ops = &memoryOps;
    return 1;
}

#define MEMORY_IMAGE(name)                                                                                \
    {"Kestrel3D Driver:", name, name, "System-memory surfaces", kDriverVersionMajor, kDriverVersionMinor, \
     kDriverNone, {nullptr, nullptr, nullptr, nullptr, createMemoryContext}}

static const DriverImage memoryImages[] = {
    MEMORY_IMAGE("PACK1.DRV"),  MEMORY_IMAGE("PACK4.DRV"),  MEMORY_IMAGE("PACK8.DRV"),
    MEMORY_IMAGE("PACK16.DRV"), MEMORY_IMAGE("PACK24.DRV"), MEMORY_IMAGE("PACK32.DRV"),
};

const DriverImage* memoryDriverImage(const char* name)
{
    if (!name) return nullptr;
    for (const DriverImage& image : memoryImages)
        if (strcmp(image.name, name) == 0) return &image;
    return nullptr;
}
