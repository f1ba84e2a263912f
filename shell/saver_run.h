// The saver run: its preparation and shut-down, and the callbacks the
// framework's main loop drives (frame pacing, the display window, input).
#pragma once

#include <cstdint>

struct DeviceContext;
struct Event;

// ---- Preparation and shut-down (runSaver is these around mainLoop) -------------

// The password-picture check: 1 when the run may go on; 0 after the
// "Fatal Error: Unable to find file ..." box (the run then ends with 0).
int checkPasswordPictures();
// Clock, driver options, frameworkInit, the seven callbacks, the mode's
// size, the full-screen mode with three pages and initScene. Failures are fatal.
void prepareSaverRun();
// Runs once after the mode is set: OpenGL, frame pacing, the fixed scene
// state, the world and its textures, the prompt picture, the hidden cursor.
void initScene();
// After the main loop: prompt picture freed, cursor shown, clock stopped, pictures released.
void finishSaverRun();

// ---- The callbacks ---------------------------------------------------------------
// (Once saverState is 0 the run is leaving: the input callbacks then change nothing.)

// Steps the world when the previous pass drew a frame; ends the loop when
// saverState is 0, which a termination signal or a lost host window sets.
void gameLogic();
// Paces frames by the speed setting, places and clears the display window,
// draws the scene and the prompt, restarts the clock every 500 seconds, and
// presents on every pass.
void drawFrame();
// A key down or repeat: raises the prompt (or ends the run), or types at the prompt.
void onKey(Event* event);
// A mouse button: raises the prompt or ends the run.
void onMouseDown(Event* event);
// A mouse move: the first position is remembered; leaving the 4-pixel box around it acts like a button.
void onMouseMove(Event* event);
// Switching away without a password ends the process at once with 0; otherwise it is refused.
int onActivate(DeviceContext* dc, int flags);

// ---- Parts of the callbacks ----------------------------------------------------------

// One step of the world: the camera walks, the exhibits turn.
void stepWorld();
// Restarts the run clock when a reading is past 500 seconds.
void restartRunClockWhenDue(uint32_t reading);
// frameDelay for a speed identifier (300..304: 0, 2, 4, 8, 16; others 0).
int32_t frameDelayFor(int speedId);
