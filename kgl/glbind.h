// The OpenGL binding: the entry-point table loaded from the system's OpenGL
// and GLU libraries, OpenGL contexts on device contexts, the swap, and the
// palettes of 8-bit surfaces.
#pragma once

#include <cstdint>

#include "kgl/dc.h"

// Flags of startOpenGL and createGLContext.
constexpr int kGLColourIndex = 0x01;
constexpr int kGLDoubleBuffer = 0x02;
constexpr int kGLAccumulation = 0x04;
constexpr int kGLAlpha = 0x08;
constexpr int kGLDepth = 0x10;
constexpr int kGLStencil = 0x20;
constexpr int kGLKeepVisual = 0x8000;

// The visual the flags ask for.
struct GLVisual {
    int rgbMode, alphaBuffer, doubleBuffer, depthBits, stencilBits, accumulationBits;
};
GLVisual visualFromFlags(int flags);

// Loads OpenGL and GLU once and fills the entry-point table; fatal
// ("Unable to load OpenGL!", "GetProcAddress(\"name\") failed!") on failure.
void loadOpenGL(DeviceContext* dc);
// Creates the context's OpenGL context with the visual of flags. 1 or 0.
int createGLContext(DeviceContext* dc, int flags);
// Binds dc's OpenGL context, or unbinds with null.
void makeCurrentGL(DeviceContext* dc);
void destroyGLContext(DeviceContext* dc);
// Flushes and shows the new frame; waitForRetrace 1 asks for vsync.
void swapGLBuffers(DeviceContext* dc, int waitForRetrace);

// The 256-entry palette of an 8-bit RGB surface: 3:3:2 (red bits 5-7, green
// 2-4, blue 0-1) with channels expanded through the bit-count tables.
void buildRGBPalette332(PaletteEntry palette[256]);
// Expands an n-bit channel value to 8 bits (1, 2 and 3 bits; other widths give 0).
uint8_t expandChannel(int value, int bits);
