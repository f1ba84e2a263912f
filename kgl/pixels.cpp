// Pixel arithmetic and the standard formats and palettes.
#include "kgl/pixels.h"

#include <cstdlib>

const PixelFormat pixelFormat555 = {0x1F, 0x1F, 0x1F, 0x1, 10, 3, 5, 3, 0, 3, 15, 7};
const PixelFormat pixelFormat565 = {0x1F, 0x3F, 0x1F, 0, 11, 3, 5, 2, 0, 3, 0, 0};
const PixelFormat pixelFormatRGB24 = {0xFF, 0xFF, 0xFF, 0, 16, 0, 8, 0, 0, 0, 0, 0};
const PixelFormat pixelFormatBGR24 = {0xFF, 0xFF, 0xFF, 0, 0, 0, 8, 0, 16, 0, 0, 0};
const PixelFormat pixelFormatARGB32 = {0xFF, 0xFF, 0xFF, 0xFF, 16, 0, 8, 0, 0, 0, 24, 0};
const PixelFormat pixelFormatABGR32 = {0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 8, 0, 16, 0, 24, 0};
const PixelFormat pixelFormatRGBA32 = {0xFF, 0xFF, 0xFF, 0xFF, 24, 0, 16, 0, 8, 0, 0, 0};
const PixelFormat pixelFormatBGRA32 = {0xFF, 0xFF, 0xFF, 0xFF, 8, 0, 16, 0, 24, 0, 0, 0};

const PixelFormat* standardPixelFormat(int bits)
{
    switch (bits) {
    case 15: return &pixelFormat555;
    case 16: return &pixelFormat565;
    case 24: return &pixelFormatRGB24;
    case 32: return &pixelFormatARGB32;
    default: return nullptr;
    }
}

// The 16 standard colours of a 4-bit surface, as blue, green, red.
static const PaletteEntry standardColours16[16] = {
    {0, 0, 0, 0},       {0, 0, 128, 0},     {0, 128, 0, 0},     {0, 128, 128, 0},
    {128, 0, 0, 0},     {128, 0, 128, 0},   {128, 128, 0, 0},   {192, 192, 192, 0},
    {128, 128, 128, 0}, {0, 0, 255, 0},     {0, 255, 0, 0},     {0, 255, 255, 0},
    {255, 0, 0, 0},     {255, 0, 255, 0},   {255, 255, 0, 0},   {255, 255, 255, 0},
};

// An n-bit channel value scaled to 0..255 (3 bits: 0, 36, 73, ... 255).
static uint8_t expand(uint32_t value, int width)
{
    if (width <= 0) return 0;
    if (width >= 8) return uint8_t(value);
    uint32_t largest = (1u << width) - 1;
    return uint8_t((value * 255 + largest / 2) / largest);
}

// The default palettes, built on first use and kept for the process.
const PaletteEntry* defaultPalette(int bits)
{
    static PaletteEntry mono[kPaletteSize], colours16[kPaletteSize], rgb332[kPaletteSize];
    static bool built = false;
    if (!built) {
        mono[1] = {255, 255, 255, 0};
        for (int i = 0; i < 16; i++) colours16[i] = standardColours16[i];
        for (int i = 0; i < kPaletteSize; i++)
            rgb332[i] = {expand(i & 3, 2), expand((i >> 2) & 7, 3), expand(i >> 5, 3), 0};
        built = true;
    }
    if (bits == 1) return mono;
    if (bits == 4) return colours16;
    return rgb332;
}

// Width of a contiguous mask starting at bit 0, or -1 when it is not one.
static int maskWidth(int32_t mask)
{
    uint32_t m = uint32_t(mask);
    int width = 0;
    while (m & 1) m >>= 1, width++;
    return m == 0 ? width : -1;
}

int isValidPixelFormat(const PixelFormat& format, int bits)
{
    int pixelBits = storageBits(bits);
    const int32_t channels[3][3] = {{format.redMask, format.redPosition, format.redAdjust},
                                    {format.greenMask, format.greenPosition, format.greenAdjust},
                                    {format.blueMask, format.bluePosition, format.blueAdjust}};
    for (const auto& channel : channels) {
        int width = maskWidth(channel[0]);
        if (width < 1 || width > 8 || channel[2] != 8 - width) return 0;
        if (channel[1] < 0 || channel[1] + width > pixelBits) return 0;
    }
    return bits > 8 && bits <= 32;
}

uint32_t packColour(const PixelFormat& format, int r, int g, int b)
{
    auto channel = [](int value, int32_t mask, int32_t position, int32_t adjust) {
        return ((uint32_t(value & 0xFF) >> adjust) & uint32_t(mask)) << position;
    };
    return channel(r, format.redMask, format.redPosition, format.redAdjust) |
           channel(g, format.greenMask, format.greenPosition, format.greenAdjust) |
           channel(b, format.blueMask, format.bluePosition, format.blueAdjust);
}

uint32_t nearestPaletteIndex(const PaletteEntry* palette, int count, int r, int g, int b)
{
    uint32_t best = 0;
    int bestDistance = 1 << 30;
    for (int i = 0; i < count; i++) {
        int distance = abs(r - palette[i].red) + abs(g - palette[i].green) + abs(b - palette[i].blue);
        if (distance < bestDistance) bestDistance = distance, best = uint32_t(i);
    }
    return best;
}

void pixelColour(uint32_t value, int bits, const PixelFormat* format, const PaletteEntry* palette, uint8_t* r,
                 uint8_t* g, uint8_t* b)
{
    if (bits <= 8 || !format) {
        const PaletteEntry& entry = (palette ? palette : defaultPalette(bits))[value & 0xFF];
        *r = entry.red, *g = entry.green, *b = entry.blue;
        return;
    }
    auto channel = [value](int32_t mask, int32_t position, int32_t adjust) {
        return expand((value >> position) & uint32_t(mask), 8 - adjust);
    };
    *r = channel(format->redMask, format->redPosition, format->redAdjust);
    *g = channel(format->greenMask, format->greenPosition, format->greenAdjust);
    *b = channel(format->blueMask, format->bluePosition, format->blueAdjust);
}

int storageBits(int bits)
{
    return bits == 15 ? 16 : bits;
}

int64_t bytesPerLineFor(int64_t width, int bits)
{
    int64_t bytes = (width * storageBits(bits) + 7) / 8;
    return (bytes + 3) & ~int64_t(3);
}

uint32_t readPixel(const uint8_t* row, int x, int bits)
{
    switch (storageBits(bits)) {
    case 1: return (row[x >> 3] >> (7 - (x & 7))) & 1;
    case 4: return (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xF;
    case 8: return row[x];
    case 16: return uint32_t(row[2 * x]) | uint32_t(row[2 * x + 1]) << 8;
    case 24: return uint32_t(row[3 * x]) | uint32_t(row[3 * x + 1]) << 8 | uint32_t(row[3 * x + 2]) << 16;
    case 32:
        return uint32_t(row[4 * x]) | uint32_t(row[4 * x + 1]) << 8 | uint32_t(row[4 * x + 2]) << 16 |
               uint32_t(row[4 * x + 3]) << 24;
    default: return 0;
    }
}

void writePixel(uint8_t* row, int x, int bits, uint32_t value)
{
    switch (storageBits(bits)) {
    case 1: {
        uint8_t bit = uint8_t(0x80 >> (x & 7));
        row[x >> 3] = uint8_t((value & 1) ? row[x >> 3] | bit : row[x >> 3] & ~bit);
        break;
    }
    case 4: {
        int shift = (x & 1) ? 0 : 4;
        row[x >> 1] = uint8_t((row[x >> 1] & ~(0xF << shift)) | (value & 0xF) << shift);
        break;
    }
    case 8: row[x] = uint8_t(value); break;
    case 16: row[2 * x] = uint8_t(value), row[2 * x + 1] = uint8_t(value >> 8); break;
    case 24:
        row[3 * x] = uint8_t(value), row[3 * x + 1] = uint8_t(value >> 8), row[3 * x + 2] = uint8_t(value >> 16);
        break;
    case 32:
        row[4 * x] = uint8_t(value), row[4 * x + 1] = uint8_t(value >> 8), row[4 * x + 2] = uint8_t(value >> 16),
                row[4 * x + 3] = uint8_t(value >> 24);
        break;
    }
}
