// The OpenGL binding: the entry-point table loaded from the system's OpenGL
// and GLU libraries, OpenGL contexts on device contexts, the swap, and the
// palettes of 8-bit surfaces.
//
// How the program calls OpenGL. Nothing links against an OpenGL library: every
// OpenGL 1.1 and GLU call goes through the table `gl`, whose members carry the
// published names and types, and the constants come from <GL/gl.h>:
//
//     gl.glBegin(GL_QUADS);
//     gl.glTexCoord2f(0.0f, 0.0f);
//     gl.glVertex3f(x, y, z);
//     gl.glEnd();
//     gl.gluPerspective(84.0, aspect, 0.2, 12.0);
//
// The table is filled by loadOpenGL, which createGLContext (and so the
// framework's startOpenGL) calls first; before that every member is null.
#pragma once

#include <GL/gl.h>
#include <GL/glu.h>
#include <cstdint>

#include "kgl/dc.h"

// ---- The entry-point table ---------------------------------------------------

// The two Mesa extensions of the table, typed here: they are not in <GL/gl.h>.
using kglMesaType_glWindowPos4fMESA = void (*)(GLfloat x, GLfloat y, GLfloat z, GLfloat w);
using kglMesaType_glResizeBuffersMESA = void (*)();

constexpr int kGLEntryPointCount = 389;      // 336 OpenGL 1.1, 2 Mesa, 51 GLU
constexpr int32_t kGLEntryPointTableSize = 1560; // the table's published size: 4 + 389 four-byte slots

// The table: its size field, then one member per entry point in table order.
// On a 64-bit system the slots are eight bytes wide; the size field still
// reads 1560, which identifies the table's layout rather than its bytes.
struct GLEntryPoints {
    int32_t size;   // 0 until loaded, then kGLEntryPointTableSize
#define KGL_GL(name) decltype(&::name) name;
#define KGL_MESA(name) kglMesaType_##name name;
#define KGL_GLU(name) decltype(&::name) name;
#include "kgl/gl_entry_points.inc"
#undef KGL_GL
#undef KGL_MESA
#undef KGL_GLU
};

// The program's one table, owned by the binding, filled once by loadOpenGL
// and kept to the end of the process.
extern GLEntryPoints gl;

// The libraries loaded by name (one system implementation stands in for every kind).
extern const char* const kOpenGLLibraryName;   // "libGL.so.1"
extern const char* const kGLULibraryName;      // "libGLU.so.1"

// Loads OpenGL and GLU once and fills the table; fatal ("Unable to load
// OpenGL!", "GetProcAddress(\"name\") failed!") on failure. dc is not needed here.
void loadOpenGL(DeviceContext* dc);
// The same from two named libraries (loadOpenGL passes the two above).
void loadOpenGLLibraries(const char* openGLName, const char* gluName);
// The name of each slot in table order (kGLEntryPointCount names).
extern const char* const glEntryPointNames[kGLEntryPointCount];
// The table's slots as untyped addresses, in table order.
void* glEntryPointAddress(const GLEntryPoints& table, int slot);

// Stand-ins for the extension slots when a library lacks them: the raster
// position set in window coordinates, and a routine ending the program with
// "Unimplemented function called!".
void windowPos4fStandIn(GLfloat x, GLfloat y, GLfloat z, GLfloat w);
[[noreturn]] void unimplementedGLFunction();

// ---- Visuals and contexts --------------------------------------------------------

// Flags of startOpenGL and createGLContext.
constexpr int kGLColourIndex = 0x01;
constexpr int kGLDoubleBuffer = 0x02;
constexpr int kGLAccumulation = 0x04;
constexpr int kGLAlpha = 0x08;
constexpr int kGLDepth = 0x10;
constexpr int kGLStencil = 0x20;
constexpr int kGLMultisample = 0x40;     // smooth edges where the renderer multisamples in hardware
constexpr int kGLKeepVisual = 0x8000;

// Samples per pixel kGLMultisample asks for.
constexpr int kMultisampleSamples = 4;

// The buffers the flags ask for. Once the context exists, samples is what
// it got: 0 on a software renderer, whatever was asked.
struct GLVisual {
    int rgbMode, alphaBuffer, doubleBuffer, depthBits, stencilBits, accumulationBits, samples;
};
// 0x1A: RGB, alpha, double buffer, 16-bit depth; 0x01: colour index, no depth;
// 0x40 adds multisampling.
GLVisual visualFromFlags(int flags);

// Creates dc's OpenGL context with the visual of flags (0x8000 keeps the one
// dc had) and makes it current. 1, or 0 with the library error set: -16 for a
// memory context (OpenGL draws only on the display here), -8 when the visual
// cannot be had (colour-index mode among them).
int createGLContext(DeviceContext* dc, int flags);
// Binds dc's OpenGL context, or unbinds with null.
void makeCurrentGL(DeviceContext* dc);
// Unbinds and deletes dc's OpenGL context; harmless without one.
void destroyGLContext(DeviceContext* dc);
// Flushes and shows the new frame; waitForRetrace 1 asks for vsync.
void swapGLBuffers(DeviceContext* dc, int waitForRetrace);
// The visual dc's context was made with; null without one.
const GLVisual* contextVisual(DeviceContext* dc);

// ---- Palettes of 8-bit surfaces -------------------------------------------------------

// Expands an n-bit channel value to 8 bits (1, 2 and 3 bits; other widths give 0).
uint8_t expandChannel(int value, int bits);
// The 256-entry palette whose index holds red, green and blue in the given bit
// counts and shifts, each channel expanded.
void buildRGBPalette(PaletteEntry palette[256], int redBits, int redShift, int greenBits, int greenShift,
                     int blueBits, int blueShift);
// 3:3:2 (red bits 5-7, green 2-4, blue 0-1): the palette OpenGL's RGB mode uses on 8-bit surfaces.
void buildRGBPalette332(PaletteEntry palette[256]);
