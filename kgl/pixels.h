// Pixel formats, palettes and the pixel arithmetic every surface shares:
// packing 8-bit components, reading a pixel back as red, green and blue, and
// reading and writing pixels of any depth in a row.
#pragma once

#include <cstdint>

// ---- Formats and palettes --------------------------------------------------------

// How a pixel above 8 bits holds its channels: masks unshifted (0x1F), the
// bit position of each channel's lowest bit, and adjust = 8 - channel width.
struct PixelFormat {
    int32_t redMask, greenMask, blueMask, reservedMask;
    int32_t redPosition, redAdjust;
    int32_t greenPosition, greenAdjust;
    int32_t bluePosition, blueAdjust;
    int32_t reservedPosition, reservedAdjust;
};

// One palette colour, in the order of a BMP colour table.
struct PaletteEntry {
    uint8_t blue, green, red, reserved;
};
constexpr int kPaletteSize = 256;

// The standard formats.
extern const PixelFormat pixelFormat555;     // 15-bit 5:5:5
extern const PixelFormat pixelFormat565;     // 16-bit 5:6:5
extern const PixelFormat pixelFormatRGB24;   // 24-bit, red in the high byte (bytes blue, green, red)
extern const PixelFormat pixelFormatBGR24;   // 24-bit, red in the low byte
extern const PixelFormat pixelFormatARGB32;
extern const PixelFormat pixelFormatABGR32;
extern const PixelFormat pixelFormatRGBA32;
// 32 bits with red at bit 8, green 16, blue 24, reserved 0 (a bit-field file's 0xFF00 red mask).
extern const PixelFormat pixelFormatBGRA32;

// The standard format of a depth above 8 (15: 5:5:5, 16: 5:6:5, 24: RGB,
// 32: ARGB); null for other depths.
const PixelFormat* standardPixelFormat(int bits);
// The palette a surface or picture of 1, 4 or 8 bits has when it brings none
// (black and white; the 16 standard colours; 3:3:2); 256 entries, unused ones black.
const PaletteEntry* defaultPalette(int bits);
// 1 when format describes channels of at most 8 bits that lie inside a pixel
// of the given depth, with adjusts that match the masks.
int isValidPixelFormat(const PixelFormat& format, int bits);

// ---- Colours ------------------------------------------------------------------------

// The packed value of 8-bit components: each (value >> adjust) & mask, shifted
// to its position. The reserved channel stays 0.
uint32_t packColour(const PixelFormat& format, int r, int g, int b);
// The index of the palette entry nearest to r, g, b (sum of the three
// absolute differences); the lowest index wins a tie.
uint32_t nearestPaletteIndex(const PaletteEntry* palette, int count, int r, int g, int b);
// The 8-bit components of a pixel value: through palette (256 entries) at 8
// bits and less, through format above; channels narrower than 8 bits are
// scaled so that their largest value gives 255.
void pixelColour(uint32_t value, int bits, const PixelFormat* format, const PaletteEntry* palette, uint8_t* r,
                 uint8_t* g, uint8_t* b);

// ---- Rows ---------------------------------------------------------------------------

// Bits a pixel takes in memory (15 takes 16).
int storageBits(int bits);
// A row's length: width pixels of the depth, rounded up to whole bytes and
// then to a multiple of 4.
int64_t bytesPerLineFor(int64_t width, int bits);
// Pixel x of a row: 1 and 4 bits from the high bits of each byte first, 15
// to 32 bits little-endian.
uint32_t readPixel(const uint8_t* row, int x, int bits);
void writePixel(uint8_t* row, int x, int bits, uint32_t value);
