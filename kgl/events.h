// The event loop: callback slots, the input-event queue, activation, the
// microsecond clock and the mouse-cursor show count.
#pragma once

#include <cstdint>

#include "kgl/dc.h"

// Event codes.
constexpr int32_t kEventKeyDown = 1, kEventKeyRepeat = 2, kEventKeyUp = 4, kEventMouseDown = 8,
                  kEventMouseUp = 16, kEventMouseMove = 32, kEventTimer = 64;
constexpr int kEventQueueSize = 100;

// One input event (36 bytes). For keys the message holds the character in
// bits 0-7, the scan code in 8-15 and for a repeat the count in 16-31.
struct Event {
    int32_t reserved;
    int32_t code;
    uint32_t time;       // milliseconds
    int32_t x, y;        // window client coordinates
    uint32_t message;
    uint32_t modifiers;  // 0x8000 double click, 0x18 shift, 0x20 control, 0x40 alt, 0x01/0x02 buttons held
};

using EventCallback = void (*)(Event* event);
using FrameCallback = void (*)();
using ActivateCallback = int (*)(DeviceContext* dc, int reason); // reason 1 away, 2 back

void setDrawCallback(FrameCallback callback);
void setGameLogicCallback(FrameCallback callback);
void setKeyDownCallback(EventCallback callback);
void setKeyRepeatCallback(EventCallback callback);
void setMouseDownCallback(EventCallback callback);
void setMouseUpCallback(EventCallback callback);
void setMouseMoveCallback(EventCallback callback);
void setEventCallback(EventCallback callback);
void setActivateCallback(ActivateCallback callback);

// Runs passes (events, game logic, drawing while active) until requestQuit,
// then shuts the framework down.
void mainLoop();
void requestQuit();

// The queue: platform messages become events here; at most 100 are held.
void postEvent(const Event& event);
int takeEvent(Event* event);

// The microsecond clock: readings are unsigned 32-bit microseconds since timerStart.
void timerInit();
void timerStart();
uint32_t timerLap();
void timerStop();

// The cursor show count: hidden below 0.
void hideCursor();
void showCursor();
int cursorShowCount();
