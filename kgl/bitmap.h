// BMP files: lookup, reading into Bitmaps, the header check, and drawing a
// Bitmap on a device context.
#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

#include "kgl/dc.h"

// A picture read from a BMP file. Rows run top to bottom, each bytesPerLine
// long (the row's bytes rounded up to a multiple of 4), pixel bytes as stored
// (24-bit pixels blue, green, red). One allocation; release with freeBitmap.
struct Bitmap {
    int32_t width, height;       // pixels, both positive
    int32_t bitsPerPixel;        // 1, 4, 8, 15, 16, 24 or 32 (16 without 5:6:5 masks is 15)
    int32_t bytesPerLine;
    uint8_t* pixels;             // top row first
    PaletteEntry* palette;       // depths up to 8 when asked for, else null
    int32_t paletteSize;         // entries in palette
    PixelFormat* format;         // depths above 8, else null
};

// Largest width or height a file may declare.
constexpr int32_t kMaxBitmapSide = 16384;

// The root path of file lookup (KGL_init sets it; "" for none).
void setFileRootPath(const char* path);
const char* fileRootPath();
// Opens name as given, else root path + subdirectory + name, else
// $KGL_ROOT + subdirectory + name (names translated by the files layer).
FILE* findFile(const char* subdirectory, const char* name, const char* mode);
// Reads a BMP file (subdirectory "BITMAPS\"); null with -23 (not found),
// -22 (invalid) or -10 (no memory). loadPalette keeps the colour table.
Bitmap* readBitmapFile(const char* name, int loadPalette);
// The same on a file's bytes.
Bitmap* parseBitmap(const uint8_t* bytes, size_t size, int loadPalette);
// 1 when the file is found and its headers are valid; reads only the headers
// and leaves no file open; else 0 with -23 or -22.
int checkBitmapFile(const char* name);
// Releases a Bitmap; null is allowed.
void freeBitmap(Bitmap* bitmap);
// Draws the whole bitmap with its top-left corner at x, y; op 0 replaces the pixels.
void putBitmap(DeviceContext* dc, int x, int y, const Bitmap* bitmap, int op);

// The pixels of a 24-bit bitmap as tightly packed rows (width * 3 bytes each,
// top row first, blue-green-red), for consumers such as texture upload that
// take packed rows. Other depths are converted to 24 bits.
std::vector<uint8_t> packedBitmapBGR(const Bitmap* bitmap);
