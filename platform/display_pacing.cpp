// The pace of the presents: one per refresh of the display, whether or not
// the present itself waits for the vertical retrace. Mesa's software
// renderer, virtual machines, remote displays and drivers with vsync off
// return from a swap at once; the frame loop counts its speed in passes and
// would spin. So over the first presents the interval between them is
// measured: when the presents keep the refresh rate on their own, nothing is
// added; otherwise each present is followed by a sleep to the next tick of a
// clock running at the refresh rate. Presents that seemed to wait may only
// have been slow (the first frames compile their shaders, the machine may be
// busy): presents that wait can never come faster than the refresh rate, so a
// run of them that takes clearly less than as many refreshes turns the sleeps on
// (frames a little faster than a refresh, one by one, stay within that bound).
#include <algorithm>

#include "platform/clock.h"
#include "platform/display.h"
#include "platform/sdl_window.h"

namespace {

constexpr int kMeasuredPresents = 16;

// The pacing of the open window. One instance; reset with every new window
// (resetPacing) and by displayAllowVsync.
struct Pacing {
    uint64_t interval = 0;          // microseconds per refresh
    uint64_t lastPresent = 0;       // end of the previous present, microseconds
    uint64_t nextTick = 0;          // when the next pass may begin, while sleeping
    int measured = 0;               // intervals measured so far
    uint64_t spanStart = 0;         // start of the current run of presents, while presents wait
    int spanPresents = 0;           // presents in that run so far
    uint64_t intervals[kMeasuredPresents] = {};
    enum class Mode { Measuring, PresentsWait, Sleeps } mode = Mode::Measuring;
};
Pacing pacing;

bool presentsWaitOnTheirOwn()
{
    uint64_t sorted[kMeasuredPresents];
    std::copy(pacing.intervals, pacing.intervals + kMeasuredPresents, sorted);
    std::nth_element(sorted, sorted + kMeasuredPresents / 2, sorted + kMeasuredPresents);
    // The median, not the mean: the first frames also pay for the driver's warm-up.
    return sorted[kMeasuredPresents / 2] * 10 >= pacing.interval * 9;
}

} // namespace

void resetPacing(int refreshRate)
{
    pacing = Pacing();
    pacing.interval = 1000000u / static_cast<uint64_t>(refreshRate > 0 ? refreshRate : 60);
}

void pacePass()
{
    if (pacing.interval == 0) resetPacing(60);
    uint64_t now = monotonicMicroseconds();
    if (pacing.mode == Pacing::Mode::Measuring) {
        if (pacing.lastPresent != 0) pacing.intervals[pacing.measured++] = now - pacing.lastPresent;
        pacing.lastPresent = now;
        if (pacing.measured < kMeasuredPresents) return;
        pacing.mode = presentsWaitOnTheirOwn() ? Pacing::Mode::PresentsWait : Pacing::Mode::Sleeps;
        pacing.nextTick = now + pacing.interval;
        return;
    }
    if (pacing.mode == Pacing::Mode::PresentsWait) {
        if (pacing.spanPresents == 0) pacing.spanStart = pacing.lastPresent;
        pacing.lastPresent = now;
        if (++pacing.spanPresents < kMeasuredPresents) return;
        pacing.spanPresents = 0;
        if ((now - pacing.spanStart) * 10 >= pacing.interval * kMeasuredPresents * 9) return;
        pacing.mode = Pacing::Mode::Sleeps;
        pacing.nextTick = now + pacing.interval;
        return;
    }
    if (now < pacing.nextTick) {
        sleepUntilMicroseconds(pacing.nextTick);
        pacing.nextTick += pacing.interval;
    } else {
        // Behind the clock (a slow frame): the ticks start again from now, with no burst to catch up.
        pacing.nextTick = now + pacing.interval;
    }
}
