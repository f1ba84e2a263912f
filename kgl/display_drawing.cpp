// The drawing operations of the display context. The program's only 2-D
// drawing on the screen is the password prompt over the OpenGL frame, so they
// draw with OpenGL into the current frame: mode pixels, top-left origin, the
// whole frame whatever viewport the scene uses. Each operation saves every
// OpenGL state it changes and puts it back, so the scene's fixed state
// (lighting, texturing, depth, fog, blending, matrices, viewport) is exactly
// as before when the next frame is drawn. Without an OpenGL context nothing is drawn.
#include <GL/gl.h>

#include <algorithm>
#include <vector>

#include "kgl/glbind.h"
#include "kgl/pixels.h"

namespace {

// ---- The 2-D state ----------------------------------------------------------------

// True while an OpenGL context is bound to draw with.
bool haveGL()
{
    return gl.size && gl.glGetString(GL_VERSION);
}

// Capabilities that would change what 2-D drawing puts on the frame.
const GLenum kSceneCapabilities[] = {
    GL_LIGHTING, GL_TEXTURE_1D, GL_TEXTURE_2D, GL_DEPTH_TEST, GL_FOG, GL_BLEND, GL_CULL_FACE,
    GL_ALPHA_TEST, GL_SCISSOR_TEST, GL_STENCIL_TEST, GL_COLOR_LOGIC_OP, GL_COLOR_MATERIAL,
    GL_POLYGON_STIPPLE, GL_POLYGON_SMOOTH, GL_CLIP_PLANE0, GL_CLIP_PLANE1, GL_CLIP_PLANE2,
    GL_CLIP_PLANE3, GL_CLIP_PLANE4, GL_CLIP_PLANE5,
};

// Saves the scene's state and sets up drawing in the frame's pixels: the
// projection maps x 0..width and y 0..height (top row first) onto the whole
// frame, so a unit square covers exactly one pixel. False without a context.
bool begin2D(const DeviceContext* dc)
{
    if (!haveGL()) return false;
    gl.glPushAttrib(GL_ALL_ATTRIB_BITS);
    gl.glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    gl.glMatrixMode(GL_PROJECTION);
    gl.glPushMatrix();
    gl.glLoadIdentity();
    gl.glOrtho(0.0, dc->xResolution, dc->yResolution, 0.0, -1.0, 1.0);
    gl.glMatrixMode(GL_MODELVIEW);
    gl.glPushMatrix();
    gl.glLoadIdentity();
    gl.glViewport(0, 0, dc->xResolution, dc->yResolution);
    for (GLenum capability : kSceneCapabilities) gl.glDisable(capability);
    gl.glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    gl.glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    gl.glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    gl.glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    gl.glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    gl.glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    gl.glPixelStorei(GL_UNPACK_SWAP_BYTES, GL_FALSE);
    gl.glPixelTransferi(GL_MAP_COLOR, GL_FALSE);
    return true;
}

void end2D()
{
    gl.glMatrixMode(GL_MODELVIEW);
    gl.glPopMatrix();
    gl.glMatrixMode(GL_PROJECTION);
    gl.glPopMatrix();
    gl.glPopClientAttrib();
    gl.glPopAttrib();
}

// ---- Pixels and colours --------------------------------------------------------------

// The window shows true colour: a packed value or palette index of the
// context becomes its red, green and blue.
void useCurrentColour(const DeviceContext* dc)
{
    uint8_t r, g, b;
    pixelColour(dc->colour, dc->bitsPerPixel, &dc->format, dc->palette, &r, &g, &b);
    gl.glColor3ub(r, g, b);
}

// One source image: rows of pixels of a depth, read through a format or
// palette; 1-bit images are masks painted in maskColour.
struct SourceImage {
    const uint8_t* rows;
    int bytesPerLine, srcX, bits;
    const PixelFormat* format;
    const PaletteEntry* palette;
    const uint8_t* maskColour;   // red, green, blue; 1-bit images only
};

// Draws the source over width x height pixels with its first drawn pixel at
// x, y; a source of another size (sourceWidth x sourceHeight) is stretched,
// each pixel taking the source pixel its position falls on.
void drawImage(DeviceContext* dc, int x, int y, int width, int height, const SourceImage& source,
               int sourceWidth = 0, int sourceHeight = 0)
{
    int left = x, top = y, right = x + width - 1, bottom = y + height - 1;
    if (width < 1 || height < 1 || !cutToSurface(dc, 0, left, top, right, bottom) || !haveGL()) return;
    if (sourceWidth < 1 || sourceHeight < 1) sourceWidth = width, sourceHeight = height;
    const int w = right - left + 1, h = bottom - top + 1;
    const bool mask = source.bits == 1;
    std::vector<uint8_t> rgba(static_cast<size_t>(w) * h * 4);
    for (int row = 0; row < h; ++row) {
        const int64_t fromRow = int64_t(top - y + row) * sourceHeight / height;
        const uint8_t* from = source.rows + fromRow * source.bytesPerLine;
        uint8_t* to = rgba.data() + static_cast<size_t>(row) * w * 4;
        for (int i = 0; i < w; ++i, to += 4) {
            const int fromColumn = int(int64_t(left - x + i) * sourceWidth / width);
            uint32_t value = readPixel(from, source.srcX + fromColumn, source.bits);
            if (mask) {
                to[0] = source.maskColour[0], to[1] = source.maskColour[1], to[2] = source.maskColour[2];
                to[3] = value ? 255 : 0;
            } else {
                pixelColour(value, source.bits, source.format, source.palette, &to[0], &to[1], &to[2]);
                to[3] = 255;
            }
        }
    }
    if (!begin2D(dc)) return;
    if (mask) {
        // Clear bits leave the frame as it is.
        gl.glEnable(GL_ALPHA_TEST);
        gl.glAlphaFunc(GL_GREATER, 0.0f);
    }
    // The raster position a quarter pixel inside the first pixel stays valid
    // at the frame's edges; rows go downwards from it, first row on top.
    gl.glRasterPos2f(left + 0.25f, top + 0.25f);
    gl.glPixelZoom(1.0f, -1.0f);
    gl.glDrawPixels(w, h, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    end2D();
}

// ---- The operations ------------------------------------------------------------------

// The colour is read from the context when something is drawn.
void setColour(DeviceContext*, uint32_t) {}

void fillRect(DeviceContext* dc, int left, int top, int right, int bottom)
{
    if (!cutToSurface(dc, 0, left, top, right, bottom) || !begin2D(dc)) return;
    useCurrentColour(dc);
    gl.glRecti(left, top, right + 1, bottom + 1);
    end2D();
}

// The same pixels the memory surfaces fill, one rectangle per row.
void fillEllipse(DeviceContext* dc, int left, int top, int xSpan, int ySpan, int clip)
{
    int cutLeft = left, cutTop = top, cutRight = left + xSpan, cutBottom = top + ySpan;
    if (xSpan < 1 || ySpan < 1 || !cutToSurface(dc, clip, cutLeft, cutTop, cutRight, cutBottom) || !begin2D(dc))
        return;
    useCurrentColour(dc);
    for (int y = cutTop; y <= cutBottom; ++y) {
        int x0, x1;
        if (!ellipseRowSpan(left, top, xSpan, ySpan, y, &x0, &x1)) continue;
        x0 = std::max(cutLeft, x0), x1 = std::min(cutRight, x1);
        if (x0 <= x1) gl.glRecti(x0, y, x1 + 1, y + 1);
    }
    end2D();
}

// The raster operation is always a plain copy on this back-end.
void putImage(DeviceContext* dc, int x, int y, int width, int height, const uint8_t* rows, int bytesPerLine,
              int srcX, int)
{
    drawImage(dc, x, y, width, height, {rows, bytesPerLine, srcX, dc->bitsPerPixel, &dc->format, dc->palette, nullptr});
}

// Converted straight to the window's true colour, without the mode's own rounding.
void putImageConverted(DeviceContext* dc, int x, int y, int width, int height, const uint8_t* rows,
                       int bytesPerLine, int srcX, int srcBits, const PixelFormat* srcFormat,
                       const PaletteEntry* srcPalette, int)
{
    drawImage(dc, x, y, width, height, {rows, bytesPerLine, srcX, srcBits, srcFormat, srcPalette, nullptr});
}

void putMono(DeviceContext* dc, int x, int y, int width, int height, const uint8_t* rows, int bytesPerLine,
             int srcX)
{
    uint8_t colour[3];
    pixelColour(dc->colour, dc->bitsPerPixel, &dc->format, dc->palette, &colour[0], &colour[1], &colour[2]);
    drawImage(dc, x, y, width, height, {rows, bytesPerLine, srcX, 1, nullptr, nullptr, colour});
}

// A memory context's pixels onto the frame, as they are or stretched.
void copyRectStretched(DeviceContext* dc, int x, int y, int dstWidth, int dstHeight, const DeviceContext* source,
                       int srcX, int srcY, int width, int height)
{
    int fromX = srcX, fromY = srcY, fromWidth = width, fromHeight = height;
    if (!cutSourceRect(source, srcX, srcY, width, height)) return;
    // The part of the destination that belongs to the part of the source that is there.
    int64_t left = x + int64_t(srcX - fromX) * dstWidth / fromWidth;
    int64_t top = y + int64_t(srcY - fromY) * dstHeight / fromHeight;
    int64_t across = int64_t(width) * dstWidth / fromWidth, down = int64_t(height) * dstHeight / fromHeight;
    drawImage(dc, int(left), int(top), int(across), int(down),
              {source->surface + int64_t(srcY) * source->bytesPerLine, source->bytesPerLine, srcX,
               source->bitsPerPixel, &source->format, source->palette, nullptr},
              width, height);
}

void copyRect(DeviceContext* dc, int x, int y, const DeviceContext* source, int srcX, int srcY, int width,
              int height)
{
    copyRectStretched(dc, x, y, width, height, source, srcX, srcY, width, height);
}

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

const DCOps displayOps = {setColour, fillRect, fillEllipse, putImage, putImageConverted, putMono, copyRect,
                          copyRectStretched, setPalette, realisePalette, setActivePage, setVisualPage};

} // namespace

const DCOps* displayDrawingOps()
{
    return &displayOps;
}
