// Drawing a Bitmap on a device context: cut to the clip rectangle and the
// surface, then copied, converted or painted as a mask by the context's driver.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "kgl/bitmap.h"
#include "kgl/errors.h"

// The palette-check switch: set by setPaletteCheck, off for the whole run
// unless a program asks for it (the saver never does).
static int paletteCheck = 0;

void setPaletteCheck(int on)
{
    paletteCheck = on;
}

// Whether a bitmap's pixels can go onto the context as they are.
static bool sameFormat(const DeviceContext* dc, const Bitmap* bitmap, const PixelFormat* format,
                       const PaletteEntry* palette)
{
    if (bitmap->bitsPerPixel != dc->bitsPerPixel) return false;
    if (bitmap->bitsPerPixel > 8) {
        const PixelFormat& a = *format;
        const PixelFormat& b = dc->format;
        return a.redPosition == b.redPosition && a.greenPosition == b.greenPosition &&
               a.bluePosition == b.bluePosition;
    }
    if (!paletteCheck) return true;
    int count = std::min<int64_t>(bitmap->bitsPerPixel == 4 ? 16 : kPaletteSize, int64_t(dc->maxColour) + 1);
    for (int i = 0; i < count; i++) {
        const PaletteEntry &a = palette[i], &b = dc->palette[i];
        if (a.red != b.red || a.green != b.green || a.blue != b.blue) return false;
    }
    return true;
}

void putBitmap(DeviceContext* dc, int x, int y, const Bitmap* bitmap, int op)
{
    if (!dc) {
        setLastError(kglInvalidDC);
        return;
    }
    dc = liveDC(dc);
    if (!bitmap || !dc->ops || bitmap->width < 1 || bitmap->height < 1) return;
    int bits = bitmap->bitsPerPixel;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 15 && bits != 16 && bits != 24 && bits != 32) return;
    const PixelFormat* format = bitmap->format ? bitmap->format : standardPixelFormat(bits);
    // The destination in viewport pixels, cut to the clip rectangle, then in
    // surface pixels cut to the surface.
    int64_t left = x, top = y, right = int64_t(x) + bitmap->width - 1, bottom = int64_t(y) + bitmap->height - 1;
    if (dc->clipOn) {
        left = std::max<int64_t>(left, dc->clip.left), top = std::max<int64_t>(top, dc->clip.top);
        right = std::min<int64_t>(right, dc->clip.right), bottom = std::min<int64_t>(bottom, dc->clip.bottom);
    }
    int64_t shiftX = dc->viewport.left, shiftY = dc->viewport.top;
    left = std::max<int64_t>(left, -shiftX), top = std::max<int64_t>(top, -shiftY);
    right = std::min<int64_t>(right, dc->xResolution - 1 - shiftX);
    bottom = std::min<int64_t>(bottom, dc->yResolution - 1 - shiftY);
    if (left > right || top > bottom) return;

    int srcX = int(left - x);
    const uint8_t* rows = bitmap->pixels + (top - y) * int64_t(bitmap->bytesPerLine);
    int width = int(right - left + 1), height = int(bottom - top + 1);
    int atX = int(left + shiftX), atY = int(top + shiftY);
    if (bits == 1) {
        if (dc->ops->putMono) dc->ops->putMono(dc, atX, atY, width, height, rows, bitmap->bytesPerLine, srcX);
        return;
    }
    // A bitmap read without its colour table holds indices of the context's
    // own colours: they are copied as they are, or turned into colours
    // through the context's palette, never through one made up for them.
    PaletteEntry palette[kPaletteSize];
    if (bits <= 8 && bitmap->palette) bitmapPalette(bitmap, palette);
    else if (bits <= 8) std::copy(dc->palette, dc->palette + kPaletteSize, palette);
    if (sameFormat(dc, bitmap, format, palette)) {
        if (dc->ops->putImage) dc->ops->putImage(dc, atX, atY, width, height, rows, bitmap->bytesPerLine, srcX, op);
    } else if (dc->ops->putImageConverted) {
        dc->ops->putImageConverted(dc, atX, atY, width, height, rows, bitmap->bytesPerLine, srcX,
                                   bits, format, palette, op);
    }
}

Bitmap* magnifyBitmap(const Bitmap* bitmap, int factor)
{
    setLastError(kglOk);
    if (!bitmap || bitmap->bitsPerPixel < 8 || factor < 1 || factor > 16) {
        setLastError(kglInvalidBitmap);
        return nullptr;
    }
    auto alignUp = [](size_t value) { return (value + 7) & ~size_t(7); };
    size_t pixelBytes = static_cast<size_t>(bitmap->bitsPerPixel + 7) / 8;
    size_t width = static_cast<size_t>(bitmap->width) * factor, height = static_cast<size_t>(bitmap->height) * factor;
    size_t bytesPerLine = (width * pixelBytes + 3) & ~size_t(3);
    size_t extraBytes = bitmap->palette ? bitmap->paletteSize * sizeof(PaletteEntry)
                      : bitmap->format  ? sizeof(PixelFormat)
                                        : 0;
    size_t pixelsAt = alignUp(sizeof(Bitmap)) + alignUp(extraBytes);
    // One block, as the reader allocates, so that freeBitmap releases it.
    uint8_t* block = static_cast<uint8_t*>(malloc(pixelsAt + bytesPerLine * height));
    if (!block) {
        setLastError(kglNoMemory);
        return nullptr;
    }
    Bitmap* large = reinterpret_cast<Bitmap*>(block);
    *large = *bitmap;
    large->width = static_cast<int32_t>(width);
    large->height = static_cast<int32_t>(height);
    large->bytesPerLine = static_cast<int32_t>(bytesPerLine);
    large->pixels = block + pixelsAt;
    uint8_t* extra = block + alignUp(sizeof(Bitmap));
    if (bitmap->palette) {
        large->palette = reinterpret_cast<PaletteEntry*>(extra);
        memcpy(large->palette, bitmap->palette, extraBytes);
    } else if (bitmap->format) {
        large->format = reinterpret_cast<PixelFormat*>(extra);
        *large->format = *bitmap->format;
    }
    for (size_t row = 0; row < height; ++row) {
        const uint8_t* from = bitmap->pixels + (row / factor) * static_cast<size_t>(bitmap->bytesPerLine);
        uint8_t* to = large->pixels + row * bytesPerLine;
        memset(to, 0, bytesPerLine);
        for (size_t x = 0; x < width; ++x) memcpy(to + x * pixelBytes, from + (x / factor) * pixelBytes, pixelBytes);
    }
    return large;
}
