// Device contexts: the library's drawing surfaces (the display and
// system-memory surfaces) and the few drawing operations the program uses.
#pragma once

#include <cstdint>

#include "kgl/pixels.h"

// ---- The device context ------------------------------------------------------

enum class DCKind { Display, Memory };

struct DeviceContext;

// Rectangle in pixels; right and bottom are inclusive.
struct Rect {
    int32_t left, top, right, bottom;
};

// A driver's low-level drawing operations on a context. Coordinates are
// surface pixels, already shifted by the viewport origin and already inside
// the clip rectangle (fillEllipse with clip set excepted). Colours are packed
// pixel values of the context's format (palette indices at 8 bits and less).
// Images: rows points at the first source row drawn, rows are bytesPerLine
// apart, top row first, and srcX is the first source pixel drawn in each row.
struct DCOps {
    // The current colour changed (dc->colour already holds it).
    void (*setColour)(DeviceContext* dc, uint32_t colour);
    void (*fillRect)(DeviceContext* dc, int left, int top, int right, int bottom);
    // Fills the ellipse inscribed in left, top .. left + xSpan, top + ySpan
    // (the rectangle's width and height minus 1); with clip set each span is
    // cut to the clip rectangle (dc->clip shifted by the viewport origin).
    void (*fillEllipse)(DeviceContext* dc, int left, int top, int xSpan, int ySpan, int clip);
    // An image in the context's own format; op 0 replaces the pixels.
    void (*putImage)(DeviceContext* dc, int x, int y, int width, int height, const uint8_t* rows,
                     int bytesPerLine, int srcX, int op);
    // An image of another depth (srcBits; srcFormat above 8 bits, srcPalette
    // of 256 entries at 8 bits and less), converted pixel by pixel.
    void (*putImageConverted)(DeviceContext* dc, int x, int y, int width, int height, const uint8_t* rows,
                              int bytesPerLine, int srcX, int srcBits, const PixelFormat* srcFormat,
                              const PaletteEntry* srcPalette, int op);
    // A 1-bit mask: set bits are painted in the current colour, clear bits left alone.
    void (*putMono)(DeviceContext* dc, int x, int y, int width, int height, const uint8_t* rows,
                    int bytesPerLine, int srcX);
    // A width x height rectangle of another context's surface, from srcX,
    // srcY, onto x, y: copied as it is in the same format, else converted.
    // Unlike the operations above, x and y are not yet cut to the surface.
    void (*copyRect)(DeviceContext* dc, int x, int y, const DeviceContext* source, int srcX, int srcY, int width,
                     int height);
    // The same rectangle stretched over dstWidth x dstHeight pixels at x, y,
    // each destination pixel taking the source pixel its position falls on.
    void (*copyRectStretched)(DeviceContext* dc, int x, int y, int dstWidth, int dstHeight,
                              const DeviceContext* source, int srcX, int srcY, int width, int height);
    // Stores entries as palette entries first .. first + count - 1 (in
    // dc->palette and wherever the device keeps its colours).
    void (*setPalette)(DeviceContext* dc, const PaletteEntry* entries, int first, int count);
    void (*realisePalette)(DeviceContext* dc);
    void (*setActivePage)(DeviceContext* dc, int page);
    void (*setVisualPage)(DeviceContext* dc, int page, int waitForRetrace);
};

// The pixels x0..x1 of row y that the ellipse of fillEllipse covers (the
// pixels whose centres lie within its width at that row, so the shape is
// symmetric about both axes); false when the row has none. Every driver
// fills the same pixels.
bool ellipseRowSpan(int left, int top, int xSpan, int ySpan, int y, int* x0, int* x1);
// Cuts an inclusive rectangle to the surface and, with clip set, to the clip
// rectangle (shifted by the viewport); false when nothing remains.
bool cutToSurface(const DeviceContext* dc, int clip, int& left, int& top, int& right, int& bottom);
// Cuts a copy's source rectangle to the source's surface (which must have
// pixels); false when nothing remains.
bool cutSourceRect(const DeviceContext* source, int& srcX, int& srcY, int& width, int& height);
// Whether pixels of source go onto dc as they are: the same depth, and above
// 8 bits the same red, green and blue positions.
bool sameSurfaceFormat(const DeviceContext* dc, const DeviceContext* source);

// One drawing surface. Created and destroyed only by the library.
struct DeviceContext {
    DCKind kind;
    int32_t mode;                // display: the mode it shows; memory: -1
    int32_t driverSlot;          // registry slot serving it
    int32_t xResolution, yResolution;
    int32_t bitsPerPixel;        // 1, 4, 8, 15, 16, 24 or 32
    uint32_t maxColour;          // largest colour value (255 at 8 bits)
    PixelFormat format;          // meaningful above 8 bits
    int32_t bytesPerLine;
    uint8_t* surface;            // memory contexts (and displays giving direct access); top row first
    PaletteEntry palette[kPaletteSize]; // surfaces of 8 bits and less
    int32_t paletteRealised;
    int32_t pageCount, activePage, visualPage;
    Rect viewport;               // surface pixels
    Rect clip;                   // viewport pixels; used while clipOn is set
    int32_t clipOn;
    uint32_t colour, backColour;
    int32_t rasterOp, penSize;
    const DCOps* ops;
    void* glContext;             // the OpenGL context bound to it, if any
    void* platform;              // the back-end's own data (window, framebuffer)
};

// ---- Creating and choosing contexts --------------------------------------------

// The display context of the mode set last (setGraphicsMode), with the given
// pages (limited to the mode's page count); made current. Null with -1 when
// no mode is set, -16 while another display context exists, -10 without memory.
DeviceContext* createDisplayDC(int pages);
// The drawing operations of display contexts: OpenGL on the current frame,
// in mode pixels, leaving the scene's OpenGL state as it was.
const DCOps* displayDrawingOps();
// A system-memory context of 1, 4, 8, 15, 16, 24 or 32 bits; format may be
// null for the standard one of the depth. Null with -6 for another depth, -1
// when that depth's memory driver is not registered, -31 for a format that
// does not fit the depth, -8 for a width or height below 1, -10 without memory.
DeviceContext* createMemoryDC(int width, int height, int bits, const PixelFormat* format);
// Releases a context (null is allowed); a current one stops being current.
void destroyDC(DeviceContext* dc);
// Makes dc current (null: none) and returns the previously current context.
// Drawing works on a working copy of the current context, written back when
// another one is made current.
DeviceContext* makeCurrentDC(DeviceContext* dc);
// The current context's working copy, or null.
DeviceContext* currentDC();
// What drawing on dc works on: the working copy when dc is current, else dc.
DeviceContext* liveDC(DeviceContext* dc);
// Viewport width - 1 and height - 1.
int getMaxX(const DeviceContext* dc);
int getMaxY(const DeviceContext* dc);

// ---- Drawing on the current context ----------------------------------------------

// Current colour from 8-bit components: packed through the format above 8
// bits, else the nearest palette entry (lowest index wins a tie).
void setColorRGB(int r, int g, int b);
// Fills the ellipse inscribed in cx-rx, cy-ry .. cx+rx, cy+ry in the current colour.
void fillEllipseCoord(int cx, int cy, int rx, int ry);
