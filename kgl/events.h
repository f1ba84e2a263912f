// The event loop: callback slots, the input-event queue, activation, the
// microsecond clock and the mouse-cursor show count.
#pragma once

#include <cstdint>

#include "kgl/dc.h"
#include "platform/display.h"

// ---- Events ----------------------------------------------------------------------

// Event codes.
constexpr int32_t kEventKeyDown = 1, kEventKeyRepeat = 2, kEventKeyUp = 4, kEventMouseDown = 8,
                  kEventMouseUp = 16, kEventMouseMove = 32, kEventTimer = 64;
constexpr int kEventQueueSize = 100;

// Messages of mouse-button events.
constexpr uint32_t kLeftButton = 1, kMiddleButton = 2, kRightButton = 4;
// Modifier bits.
constexpr uint32_t kModDoubleClick = 0x8000, kModShift = 0x18, kModControl = 0x20, kModAlt = 0x40,
                   kModLeftHeld = 0x01, kModRightHeld = 0x02;

// One input event (36 bytes). For keys the message holds the character in
// bits 0-7, the scan code in 8-15 and for a repeat the count in 16-31.
struct Event {
    int32_t reserved;
    int32_t code;
    uint32_t time;       // milliseconds
    int32_t x, y;        // pixels of the mode's frame, top-left origin
    uint32_t message;
    uint32_t modifiers;  // kModDoubleClick | kModShift | ... | kModLeftHeld | kModRightHeld
};

// ---- Callback slots ----------------------------------------------------------------

using EventCallback = void (*)(Event* event);
using FrameCallback = void (*)();
using ActivateCallback = int (*)(DeviceContext* dc, int reason); // reason 1 away, 2 back; 0 refuses

// Each sets its slot (null empties it). Key-up events have a slot no
// operation fills, so they are dropped.
void setDrawCallback(FrameCallback callback);        // every pass while active
void setGameLogicCallback(FrameCallback callback);   // every pass, before drawing
void setKeyDownCallback(EventCallback callback);     // code 1
void setKeyRepeatCallback(EventCallback callback);   // code 2
void setMouseDownCallback(EventCallback callback);   // code 8
void setMouseUpCallback(EventCallback callback);     // code 16
void setMouseMoveCallback(EventCallback callback);   // code 32
void setEventCallback(EventCallback callback);       // codes without a slot of their own
void setActivateCallback(ActivateCallback callback); // switching away and back
// Empties every slot (the framework's reset).
void clearCallbacks();

// ---- The loop ------------------------------------------------------------------------

// Runs passes until requestQuit: the window's messages become events, each
// queued event goes to its slot, then game logic, then drawing while active.
// Afterwards the framework shuts down.
void mainLoop();
// Ends mainLoop after the pass that is running.
void requestQuit();
// 1 once requestQuit has been called since mainLoop started.
int quitRequested();
// One pass of mainLoop, without the shut-down (the benchmark drives passes itself).
void runPass();

// ---- The queue --------------------------------------------------------------------------

// Drains the window's pending messages into the queue without waiting.
void pumpDisplayInput();
// Turns one window message into events (or an activation).
void handleDisplayInput(const DisplayInput& input);
// Appends an event: 1, or 0 when the queue holds 100 and it is dropped. A
// mouse move right behind a queued mouse move replaces that one's position.
int postEvent(const Event& event);
// Takes the oldest event: 1, or 0 when the queue is empty.
int takeEvent(Event* event);
int queuedEventCount();
// Empties the queue and forgets which keys are down.
void flushEvents();

// ---- Activation ----------------------------------------------------------------------------

// The framework's suspend handler: reason 1 when the user switches away from
// the full-screen display, 2 when the display is back. Returns the activate
// callback's answer (1 without a callback); 0 for reason 1 refuses the switch
// and the display takes the focus back.
int suspendApplication(int reason);
// 1 while the application is active (drawing), 0 while switched away.
int applicationActive();

// ---- The clock ---------------------------------------------------------------------------------

// Chooses the counter once (the monotonic clock, one tick per microsecond).
void timerInit();
// Starts counting from 0.
void timerStart();
// Microseconds since timerStart, unsigned 32-bit (wraps after about 71 minutes).
uint32_t timerLap();
void timerStop();

// ---- The cursor -------------------------------------------------------------------------------

// The show count starts at 0 (shown); the pointer hides when it falls to -1
// and shows again when it climbs back to 0.
void hideCursor();
void showCursor();
int cursorShowCount();
// Shows the pointer and sets the count back to 0 (giving the desktop back).
void resetCursor();
