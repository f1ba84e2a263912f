// The drawing operations of the display context. The program's only 2-D
// drawing on the screen is the password prompt over the OpenGL frame; until
// it is drawn here, every operation leaves the frame untouched.
#include "platform/display.h"

namespace {

void setColour(DeviceContext*, uint32_t) {}
void fillRect(DeviceContext*, int, int, int, int) {}
void fillEllipse(DeviceContext*, int, int, int, int, int) {}
void putImage(DeviceContext*, int, int, int, int, const uint8_t*, int, int, int) {}
void putImageConverted(DeviceContext*, int, int, int, int, const uint8_t*, int, int, int, const PixelFormat*,
                       const PaletteEntry*, int) {}
void putMono(DeviceContext*, int, int, int, int, const uint8_t*, int, int) {}
// The window always shows 24-bit colour: an 8-bit mode's palette is kept in the
// context only.
void setPalette(DeviceContext* dc, const PaletteEntry* entries, int first, int count)
{
    for (int i = 0; i < count && first + i < 256; ++i)
        if (first + i >= 0) dc->palette[first + i] = entries[i];
}
void realisePalette(DeviceContext*) {}
// OpenGL double-buffers the window; the library's page numbers are bookkeeping only.
void setActivePage(DeviceContext*, int) {}
void setVisualPage(DeviceContext*, int, int) {}

const DCOps displayOps = {setColour, fillRect, fillEllipse, putImage, putImageConverted, putMono,
                          setPalette, realisePalette, setActivePage, setVisualPage};

} // namespace

const DCOps* displayDrawingOps()
{
    return &displayOps;
}
