// The library's microsecond clock and the mouse-cursor show count.
#include "kgl/events.h"
#include "platform/clock.h"
#include "platform/display.h"

namespace {

// The clock: chosen once by timerInit, started and stopped by the program.
// The monotonic clock counts microseconds, so a lap needs no scaling.
struct Clock {
    bool chosen;
    uint64_t start, stop;
};
Clock runClock;

// The show count: 0 shown, below 0 hidden. Set back by resetCursor.
int showCount = 0;

} // namespace

void timerInit()
{
    if (runClock.chosen) return;
    runClock.chosen = true;
    runClock.start = runClock.stop = monotonicMicroseconds();
}

void timerStart()
{
    runClock.start = monotonicMicroseconds();
}

uint32_t timerLap()
{
    return static_cast<uint32_t>(monotonicMicroseconds() - runClock.start);
}

void timerStop()
{
    runClock.stop = monotonicMicroseconds();
}

void hideCursor()
{
    if (--showCount == -1) displayShowPointer(0);
}

void showCursor()
{
    if (++showCount == 0) displayShowPointer(1);
}

int cursorShowCount()
{
    return showCount;
}

void resetCursor()
{
    showCount = 0;
    displayShowPointer(1);
}
