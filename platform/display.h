// The display back-end on SDL2: what the screen can show, the full-screen
// window a mode is drawn in, and the drawing operations of the display
// context. The graphics library's display drivers call these; nothing else does.
#pragma once

#include "kgl/dc.h"

// ---- The desktop (detection) -------------------------------------------------

// The desktop's size in pixels; 0 when no display can be opened (nothing is
// left open either way), 1 otherwise.
int displayDesktopSize(int* width, int* height);

// ---- The full-screen window --------------------------------------------------

// Opens the desktop-sized borderless full-screen window that shows a mode of
// width x height pixels (rendered at that size, scaled with its aspect ratio
// kept). Returns 1, or 0 when it cannot be opened.
int displayOpenFullscreen(const char* title, int width, int height, int bitsPerPixel, int pages);
// Closes the window and gives the desktop back.
void displayClose();

// ---- Drawing on the display context ------------------------------------------

// The operations of a display context (2-D drawing over the current OpenGL frame).
const DCOps* displayDrawingOps();
