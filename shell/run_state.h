// The shell's state of a saver run, and the display window: the part of the
// screen the museum is drawn in, centred at the start and moved about later.
#pragma once

#include <cstdint>

struct Bitmap;
struct Framework;
struct Museum;
struct ObjectSet;

// ---- The run state -------------------------------------------------------------

// What one saver run keeps between its callbacks. One instance, `saverRun`,
// owned by the shell: filled by runSaver's preparation, read and changed by
// the callbacks, never reset (a process makes one run).
struct SaverRun {
    int32_t screenWidth = 0, screenHeight = 0;  // the chosen mode's size in pixels
    int32_t frameDelay = 0;       // a frame is drawn when passCounter, counted up each pass, reaches it
    int32_t passCounter = 0;      // passes since the last drawn frame
    int32_t saverState = -1;      // -1 running, 0 leave the saver, 1 password prompt shown
    uint32_t lastMoveTime = 0;    // runClock reading (microseconds) of the last display-window move
    int32_t promptTimer = 0;      // prompt timeout: 0 idle, 1 restart requested, 2 running
    uint32_t promptStart = 0;     // runClock reading (microseconds) at which the running timeout started
    char typedPassword[44] = {};  // the characters typed at the prompt, zero-terminated, at most 43;
                                  // wiped whenever the prompt goes and at the end of the run
    int32_t typedLength = 0;      // characters in typedPassword, 0..43
    int32_t firstMouseX = -1, firstMouseY = -1;  // first mouse position of the run; -1, -1 none yet
    Bitmap* passwordPicture = nullptr;           // the prompt picture (password enabled only)
    Framework* framework = nullptr;              // the framework record; its first field is the draw target
    Museum* museum = nullptr;                    // the museum and its camera (built by initScene)
    ObjectSet* objectSet = nullptr;              // the exhibits' angles, colours and models (built by initScene)
    // Counted for the benchmark and the tests: main-loop passes, frames
    // drawn, and steps of the world (camera and exhibits).
    uint32_t passes = 0, framesDrawn = 0, worldSteps = 0;
};
extern SaverRun saverRun;

// ---- The display window ------------------------------------------------------------

// A rectangle of the mode's frame in OpenGL's viewport terms: pixels, x and y
// of the lower-left corner.
struct DisplayWindow {
    int x, y, width, height;
};

// The display window's size: the screen times displayScale, truncated.
int displayWindowWidth();
int displayWindowHeight();
// The window centred on the screen (the start of a run).
DisplayWindow centredDisplayWindow();
// The window at a new random place on the screen, x drawn before y. An axis
// with no room to move (a scale of 1.0 or more) keeps 0 and draws nothing.
DisplayWindow movedDisplayWindow();
