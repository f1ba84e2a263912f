#include "kgl/glbind.h"

#include <cstdio>

#include "kgl/errors.h"
#include "kgl/framework.h"
#include "platform/display.h"
#include "platform/dynlib.h"

GLEntryPoints gl = {};

const char* const kOpenGLLibraryName = "libGL.so.1";
const char* const kGLULibraryName = "libGLU.so.1";

const char* const glEntryPointNames[kGLEntryPointCount] = {
#define KGL_GL(name) #name,
#define KGL_MESA(name) #name,
#define KGL_GLU(name) #name,
#include "kgl/gl_entry_points.inc"
#undef KGL_GL
#undef KGL_MESA
#undef KGL_GLU
};

namespace {

// The libraries stay loaded to the end of the process, like the table.
void* openGLLibrary = nullptr;
void* gluLibrary = nullptr;

// The OpenGL context of the display. Only one display context exists at a
// time, so the binding keeps its record here and knows its owner by address:
// the context's glContext field points at it too, but a working copy of the
// context written back over the record would not carry it. Set by
// createGLContext, cleared by destroyGLContext.
struct GLContextRecord {
    DeviceContext* owner;
    GLVisual visual;
};
GLContextRecord contextRecord;
bool contextLive = false;

void* requiredSymbol(void* library, const char* name)
{
    void* address = librarySymbol(library, name);
    if (!address) {
        char message[160];
        snprintf(message, sizeof message, "GetProcAddress(\"%s\") failed!", name);
        fatalError(message);
    }
    return address;
}

// A Mesa extension the library does not export is served by the binding itself.
void* extensionSymbol(void* library, const char* name)
{
    if (void* address = librarySymbol(library, name)) return address;
    if (name[2] == 'W') return reinterpret_cast<void*>(&windowPos4fStandIn);   // glWindowPos4fMESA
    return reinterpret_cast<void*>(&unimplementedGLFunction);                  // glResizeBuffersMESA
}

// dc may be the context's record or, while it is current, its working copy.
bool hasContext(DeviceContext* dc)
{
    return contextLive && dc && liveDC(contextRecord.owner) == liveDC(dc);
}

} // namespace

void* glEntryPointAddress(const GLEntryPoints& table, int slot)
{
    int index = 0;
#define KGL_GL(name) if (index++ == slot) return reinterpret_cast<void*>(table.name);
#define KGL_MESA(name) KGL_GL(name)
#define KGL_GLU(name) KGL_GL(name)
#include "kgl/gl_entry_points.inc"
#undef KGL_GL
#undef KGL_MESA
#undef KGL_GLU
    return nullptr;
}

void loadOpenGLLibraries(const char* openGLName, const char* gluName)
{
    if (gl.size) return;
    openGLLibrary = openLibrary(openGLName);
    gluLibrary = openLibrary(gluName);
    if (!openGLLibrary || !gluLibrary) fatalError("Unable to load OpenGL!");

    GLEntryPoints table = {};
#define KGL_GL(name) table.name = reinterpret_cast<decltype(table.name)>(requiredSymbol(openGLLibrary, #name));
#define KGL_MESA(name) table.name = reinterpret_cast<decltype(table.name)>(extensionSymbol(openGLLibrary, #name));
#define KGL_GLU(name) table.name = reinterpret_cast<decltype(table.name)>(requiredSymbol(gluLibrary, #name));
#include "kgl/gl_entry_points.inc"
#undef KGL_GL
#undef KGL_MESA
#undef KGL_GLU
    table.size = kGLEntryPointTableSize;
    gl = table;
}

void loadOpenGL(DeviceContext* /*dc*/)
{
    loadOpenGLLibraries(kOpenGLLibraryName, kGLULibraryName);
}

void windowPos4fStandIn(GLfloat x, GLfloat y, GLfloat z, GLfloat w)
{
    // With both matrices the identity, a raster position in normalised device
    // coordinates lands on the window position the viewport maps it to.
    GLint viewport[4];
    gl.glGetIntegerv(GL_VIEWPORT, viewport);
    GLfloat nx = viewport[2] ? 2.0f * (x - viewport[0]) / viewport[2] - 1.0f : 0.0f;
    GLfloat ny = viewport[3] ? 2.0f * (y - viewport[1]) / viewport[3] - 1.0f : 0.0f;
    gl.glMatrixMode(GL_PROJECTION);
    gl.glPushMatrix();
    gl.glLoadIdentity();
    gl.glMatrixMode(GL_MODELVIEW);
    gl.glPushMatrix();
    gl.glLoadIdentity();
    gl.glRasterPos4f(nx * w, ny * w, (2.0f * z - 1.0f) * w, w);
    gl.glPopMatrix();
    gl.glMatrixMode(GL_PROJECTION);
    gl.glPopMatrix();
    gl.glMatrixMode(GL_MODELVIEW);
}

void unimplementedGLFunction()
{
    fatalError("Unimplemented function called!\n"
               "The OpenGL implementation you selected does not implement this function.");
}

GLVisual visualFromFlags(int flags)
{
    GLVisual visual;
    visual.rgbMode = (flags & kGLColourIndex) ? 0 : 1;
    visual.alphaBuffer = (flags & kGLAlpha) ? 1 : 0;
    visual.doubleBuffer = (flags & kGLDoubleBuffer) ? 1 : 0;
    visual.depthBits = (flags & kGLDepth) ? 16 : 0;
    visual.stencilBits = (flags & kGLStencil) ? 8 : 0;
    visual.accumulationBits = (flags & kGLAccumulation) ? 16 : 0;
    visual.samples = (flags & kGLMultisample) ? kMultisampleSamples : 0;
    return visual;
}

int createGLContext(DeviceContext* dc, int flags)
{
    setLastError(kglOk);
    loadOpenGL(dc);
    if (!dc) {
        setLastError(kglInvalidDC);
        return 0;
    }
    if (dc->kind != DCKind::Display) {
        setLastError(kglInvalidDeviceType);
        return 0;
    }
    GLVisual visual = (flags & kGLKeepVisual) && hasContext(dc) ? contextRecord.visual : visualFromFlags(flags);
    destroyGLContext(dc);
    // The window system offers RGB visuals only.
    DisplayGLVisual wanted = {visual.alphaBuffer ? 8 : 0, visual.doubleBuffer, visual.depthBits, visual.stencilBits,
                              visual.accumulationBits, visual.samples};
    if (!visual.rgbMode || !displayCreateGLContext(wanted)) {
        setLastError(kglGeneralError);
        return 0;
    }
    visual.samples = displayGLSamples();
    contextRecord = {dc, visual};
    contextLive = true;
    DeviceContext* live = liveDC(dc);
    live->glContext = &contextRecord;

    if (live->bitsPerPixel == 8) {
        PaletteEntry palette[256];
        buildRGBPalette332(palette);
        if (live->ops && live->ops->setPalette) live->ops->setPalette(live, palette, 0, 256);
        if (live->ops && live->ops->realisePalette) live->ops->realisePalette(live);
        live->paletteRealised = 1;
    }
    return 1;
}

void makeCurrentGL(DeviceContext* dc)
{
    displayMakeGLCurrent(hasContext(dc) ? 1 : 0);
}

void destroyGLContext(DeviceContext* dc)
{
    if (!hasContext(dc)) return;
    displayDestroyGLContext();
    contextLive = false;
    contextRecord = GLContextRecord();
    liveDC(dc)->glContext = nullptr;
}

const GLVisual* contextVisual(DeviceContext* dc)
{
    return hasContext(dc) ? &contextRecord.visual : nullptr;
}

void swapGLBuffers(DeviceContext* dc, int waitForRetrace)
{
    if (!hasContext(dc)) return;
    gl.glFlush();
    displaySwapGL(waitForRetrace);
}

uint8_t expandChannel(int value, int bits)
{
    static const uint8_t oneBit[2] = {0, 255};
    static const uint8_t twoBits[4] = {0, 85, 170, 255};
    static const uint8_t threeBits[8] = {0, 36, 73, 109, 146, 182, 219, 255};
    switch (bits) {
    case 1: return oneBit[value & 1];
    case 2: return twoBits[value & 3];
    case 3: return threeBits[value & 7];
    default: return 0;
    }
}

void buildRGBPalette(PaletteEntry palette[256], int redBits, int redShift, int greenBits, int greenShift,
                     int blueBits, int blueShift)
{
    for (int index = 0; index < 256; ++index) {
        palette[index].red = expandChannel(index >> redShift, redBits);
        palette[index].green = expandChannel(index >> greenShift, greenBits);
        palette[index].blue = expandChannel(index >> blueShift, blueBits);
        palette[index].reserved = 0;
    }
}

void buildRGBPalette332(PaletteEntry palette[256])
{
    buildRGBPalette(palette, 3, 5, 3, 2, 2, 0);
}
