// What the SDL parts of the display back-end share: the one full-screen
// window and the mapping of its pixels to the mode's frame. Only platform/
// includes this.
#pragma once

#include <SDL.h>

// The full-screen window, or null.
SDL_Window* sdlWindow();
// A window position (screen pixels) as a pixel of the mode's frame, clamped into it.
void windowToFrame(int windowX, int windowY, int* frameX, int* frameY);
// Sets the hints every SDL start of the program wants (no signal handlers of SDL's own, ...).
void setProgramSDLHints();
// Starts SDL's video subsystem on a real display (one more reference when it
// runs already); false when there is none. Undo with SDL_QuitSubSystem(SDL_INIT_VIDEO).
bool startVideo();
