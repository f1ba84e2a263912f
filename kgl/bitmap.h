// BMP files: lookup, reading into Bitmaps, the header check, drawing a Bitmap
// on a device context, and the pixels as tightly packed rows.
#pragma once

#include <cstddef>
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
    int32_t paletteSize;         // entries in palette (up to 256)
    PixelFormat* format;         // depths above 8, else null
};

// Largest picture a file may declare: its rows take at most 256 MiB (a
// 32-bit picture of 8192 x 8192, or a panorama of any width within that) and
// it has at most as many pixels. A picture may be held three times while it
// becomes a texture (the file's bytes when parsed from memory, the Bitmap,
// the packed copy), so this keeps a hostile header from claiming more memory
// than a machine has, and keeps every coordinate and byte count far inside
// 32 bits.
constexpr int64_t kMaxBitmapBytes = int64_t(256) << 20;

// ---- Finding files ---------------------------------------------------------------

// The root path of file lookup (KGL_init sets it; "" for none).
void setFileRootPath(const char* path);
const char* fileRootPath();
// Opens name as given, else root path + subdirectory + name, else
// $KGL_ROOT + subdirectory + name (names translated by the files layer).
// Only regular files are found, and never by an open that could block.
FILE* findFile(const char* subdirectory, const char* name, const char* mode);

// ---- Reading -----------------------------------------------------------------------

// Reads a BMP file (subdirectory "BITMAPS\"); null with -23 (not found, or
// no regular file: a FIFO or a device is never opened), -22 (invalid) or -10
// (no memory). loadPalette keeps the colour table.
Bitmap* readBitmapFile(const char* name, int loadPalette);
// The same on a file's bytes (null with -22 or -10).
Bitmap* parseBitmap(const uint8_t* bytes, size_t size, int loadPalette);
// 1 when the file is found, its headers are valid and it is long enough for
// its rows; reads only the headers and leaves no file open; else 0 with -23 or -22.
int checkBitmapFile(const char* name);
// Releases a Bitmap; null is allowed.
void freeBitmap(Bitmap* bitmap);

// ---- Using the pixels --------------------------------------------------------------

// The bitmap's colours as a full palette: its own entries, the rest black
// (all black for a bitmap read without its colour table).
void bitmapPalette(const Bitmap* bitmap, PaletteEntry palette[kPaletteSize]);
// The pixels as tightly packed rows (width * 3 bytes each, top row first,
// blue-green-red), for consumers such as texture upload that take packed
// rows. Any depth is converted. Empty with -10 when memory runs out, and
// with -22 for a bitmap of 8 bits or less read without its colour table:
// its indices have no colours (read it with loadPalette 1 to convert it).
std::vector<uint8_t> packedBitmapBGR(const Bitmap* bitmap);

// ---- Drawing -----------------------------------------------------------------------

// Draws the whole bitmap with its top-left corner at x, y (viewport pixels),
// cut to the clip rectangle; op 0 replaces the pixels. A 1-bit bitmap is a
// mask painted in the current colour; other depths are copied when they match
// the context's format and converted otherwise.
void putBitmap(DeviceContext* dc, int x, int y, const Bitmap* bitmap, int op);
// A copy of a bitmap of 8 bits or more with every pixel repeated factor
// times across and down (factor 1..16), for a picture that must stay
// readable on a large screen; release with freeBitmap. Null with -22 for
// other depths and factors, -10 when memory runs out.
Bitmap* magnifyBitmap(const Bitmap* bitmap, int factor);
// With the palette check on, a bitmap of 8 bits or less whose palette differs
// from the context's is converted rather than copied. Off at start.
void setPaletteCheck(int on);
