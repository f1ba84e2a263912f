// Stand-ins for the full-screen window and its drawing until the window
// arrives with the framework: no window opens, so setting a mode fails
// cleanly, and drawing on a display context does nothing.
#include "platform/display.h"

int displayOpenFullscreen(const char*, int, int, int, int)
{
    return 0;
}

void displayClose() {}

static void noColour(DeviceContext*, uint32_t) {}
static void noRect(DeviceContext*, int, int, int, int) {}
static void noEllipse(DeviceContext*, int, int, int, int, int) {}
static void noImage(DeviceContext*, int, int, int, int, const uint8_t*, int, int, int) {}
static void noConvertedImage(DeviceContext*, int, int, int, int, const uint8_t*, int, int, int, const PixelFormat*,
                             const PaletteEntry*, int) {}
static void noMono(DeviceContext*, int, int, int, int, const uint8_t*, int, int) {}
static void noPalette(DeviceContext*, const PaletteEntry*, int, int) {}
static void noRealise(DeviceContext*) {}
static void noPage(DeviceContext*, int) {}
static void noVisualPage(DeviceContext*, int, int) {}

static const DCOps noDrawing = {noColour, noRect,    noEllipse, noImage,  noConvertedImage,
                                noMono,   noPalette, noRealise, noPage,   noVisualPage};

const DCOps* displayDrawingOps()
{
    return &noDrawing;
}
