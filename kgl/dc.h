// Device contexts: the library's drawing surfaces (the display and
// system-memory surfaces), their pixel formats and palettes, and the few
// drawing operations the program uses.
#pragma once

#include <cstdint>

// ---- Pixel formats and palettes ----------------------------------------------

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

// The standard formats.
extern const PixelFormat pixelFormat555;     // 15-bit 5:5:5
extern const PixelFormat pixelFormat565;     // 16-bit 5:6:5
extern const PixelFormat pixelFormatRGB24;   // 24-bit, red in the high byte
extern const PixelFormat pixelFormatBGR24;   // 24-bit, red in the low byte
extern const PixelFormat pixelFormatARGB32;
extern const PixelFormat pixelFormatABGR32;
extern const PixelFormat pixelFormatRGBA32;

// ---- The device context ------------------------------------------------------

enum class DCKind { Display, Memory };

struct DeviceContext;

// Rectangle in surface pixels; right and bottom are inclusive.
struct Rect {
    int32_t left, top, right, bottom;
};

// A driver's low-level drawing operations on a context. Coordinates are
// surface pixels, already shifted by the viewport and, unless clip is set,
// already inside the clip rectangle. Colours are packed pixel values of the
// context's format. Images are rows of pixels in the context's own format
// (putImage) or in another format described by srcBits/srcFormat/srcPalette
// (putImageConverted); rows are bytesPerLine apart, top row first.
struct DCOps {
    void (*setColour)(DeviceContext* dc, uint32_t colour);
    void (*fillRect)(DeviceContext* dc, int left, int top, int right, int bottom);
    // Fills the ellipse inscribed in left, top .. left + width, top + height;
    // with clip set each span is cut to the clip rectangle.
    void (*fillEllipse)(DeviceContext* dc, int left, int top, int width, int height, int clip);
    void (*putImage)(DeviceContext* dc, int x, int y, int width, int height, const uint8_t* pixels,
                     int bytesPerLine, int op);
    void (*putImageConverted)(DeviceContext* dc, int x, int y, int width, int height, const uint8_t* pixels,
                              int bytesPerLine, int srcBits, const PixelFormat* srcFormat,
                              const PaletteEntry* srcPalette, int op);
    void (*putMono)(DeviceContext* dc, int x, int y, int width, int height, const uint8_t* bits,
                    int bytesPerLine);
    void (*setPalette)(DeviceContext* dc, const PaletteEntry* entries, int first, int count);
    void (*realisePalette)(DeviceContext* dc);
    void (*setActivePage)(DeviceContext* dc, int page);
    void (*setVisualPage)(DeviceContext* dc, int page, int waitForRetrace);
};

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
    uint8_t* surface;            // memory contexts (and displays giving direct access)
    PaletteEntry palette[256];   // 8-bit surfaces
    int32_t paletteRealised;
    int32_t pageCount, activePage, visualPage;
    Rect viewport;
    Rect clip;
    int32_t clipOn;
    uint32_t colour, backColour;
    int32_t rasterOp, penSize;
    const DCOps* ops;
    void* glContext;             // the OpenGL context bound to it, if any
    void* platform;              // the back-end's own data (window, framebuffer)
};

// ---- Creating and choosing contexts --------------------------------------------

// The display context of the mode set last, with the given pages; made current.
// Null with -10 when memory runs out.
DeviceContext* createDisplayDC(int pages);
// A system-memory context of 1, 4, 8, 15, 16, 24 or 32 bits; format may be
// null for the standard one of the depth. Null with -6 for another depth, -10
// without memory.
DeviceContext* createMemoryDC(int width, int height, int bits, const PixelFormat* format);
void destroyDC(DeviceContext* dc);
// Makes dc current (null: none) and returns the previously current context.
// Drawing works on a working copy of the current context, written back when
// another one is made current.
DeviceContext* makeCurrentDC(DeviceContext* dc);
// The current context: the working copy, or null.
DeviceContext* currentDC();
// Viewport width - 1 and height - 1.
int getMaxX(const DeviceContext* dc);
int getMaxY(const DeviceContext* dc);

// ---- Drawing on the current context ----------------------------------------------

// Current colour from 8-bit components: packed through the format above 8
// bits, else the nearest palette entry (lowest index wins a tie).
void setColorRGB(int r, int g, int b);
// Fills the ellipse inscribed in cx-rx, cy-ry .. cx+rx, cy+ry in the current colour.
void fillEllipseCoord(int cx, int cy, int rx, int ry);
// The packed value of 8-bit components in a format (no palette search).
uint32_t packColour(const PixelFormat& format, int r, int g, int b);
