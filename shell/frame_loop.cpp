// What the framework's main loop calls on every pass: the world's step, the
// paced frame with its display window, and the input that ends the saver or
// raises the password prompt.
#include <GL/gl.h>
#include <cstdint>
#include <cstdlib>

#include "kgl/events.h"
#include "kgl/framework.h"
#include "kgl/glbind.h"
#include "platform/saver_host.h"
#include "scene/objects.h"
#include "scene/scene.h"
#include "settings/settings.h"
#include "shell/prompt.h"
#include "shell/run_state.h"
#include "shell/saver_run.h"
#include "world/museum.h"
#include "world/textures.h"

namespace {

// The run clock restarts past this reading, long before the 32-bit microseconds wrap.
constexpr uint32_t kClockRestart = 500000000u;

// The display window's move interval in microseconds. moveSeconds is taken
// as typed; a product past 32 bits (over about 71 minutes) would wrap to a few
// milliseconds and the window would jump on every frame, so it stays at the
// largest interval instead, as does a negative one: such a window keeps its place.
uint32_t moveInterval(int seconds)
{
    int64_t microseconds = static_cast<int64_t>(seconds) * 1000000;
    return microseconds < 0 || microseconds > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(microseconds);
}

// Once the run is leaving (saverState 0), the next gameLogic ends it: input
// later in the same pass must not bring it back, nor take back a password
// just accepted.
bool leaving()
{
    return saverRun.saverState == 0;
}

} // namespace

int32_t frameDelayFor(int speedId)
{
    switch (speedId) {
    case 300: return 0;
    case 301: return 2;
    case 302: return 4;
    case 303: return 8;
    case 304: return 16;
    default: return 0;
    }
}

void stepWorld()
{
    if (saverRun.museum) stepCamera(*saverRun.museum);
    if (saverRun.objectSet) turnExhibits(*saverRun.objectSet);
    saverRun.worldSteps++;
}

void gameLogic()
{
    // The world moves once per drawn frame, and on, behind the password prompt.
    if (saverRun.passCounter == 0) stepWorld();
    // Asked to stop (SIGTERM, SIGINT), or drawing into a window that has gone.
    if (terminationRequested() || hostWindowLost()) saverRun.saverState = 0;
    if (saverRun.saverState == 0) requestQuit();
}

void restartRunClockWhenDue(uint32_t reading)
{
    if (reading > kClockRestart) {
        timerStop();
        timerStart();
    }
}

void drawFrame()
{
    saverRun.passes++;
    // The gallery pictures read in the background go up a few per pass.
    if (saverRun.museum) hangArrivedPictures(*saverRun.museum);
    bool drawn = false;
    if (++saverRun.passCounter >= saverRun.frameDelay) {
        if (settings.displaySizeId == kDisplayFullScreen) {
            gl.glClear(GL_DEPTH_BUFFER_BIT);
        } else {
            uint32_t reading = timerLap();
            // Unsigned throughout: after a clock restart the difference wraps
            // to a large value and the window moves at once.
            if (reading - saverRun.lastMoveTime > moveInterval(settings.moveSeconds)) {
                saverRun.lastMoveTime = timerLap();
                DisplayWindow window = movedDisplayWindow();
                gl.glViewport(window.x, window.y, window.width, window.height);
            }
            // The clear ignores the viewport: the screen around the window stays black.
            gl.glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        }
        drawScene();
        saverRun.passCounter = 0;
        saverRun.framesDrawn++;
        drawn = true;
    }
    restartRunClockWhenDue(timerLap());
    if (saverRun.saverState == 1) {
        drawPasswordPrompt();
        drawn = true;
    }
    // Every pass takes one refresh of the display, which is what the speed
    // setting counts; a pass that drew nothing shows nothing new, so it only
    // waits (a present would cost as much as a small frame, fifteen times in
    // sixteen at "Very slow", and could bring back an older buffer).
    if (drawn)
        swapBuffers(1);
    else
        waitForRefresh();
}

void onKey(Event* event)
{
    if (leaving()) return;
    saverRun.promptTimer = 1;
    if (saverRun.saverState == -1) {
        // The key that raises the prompt is not typed into it.
        saverRun.saverState = settings.passwordEnabled;
        return;
    }
    promptKey(static_cast<int>(event->message & 0xFF));
}

void onMouseDown(Event*)
{
    if (leaving()) return;
    saverRun.saverState = settings.passwordEnabled;
    saverRun.promptTimer = 1;
}

void onMouseMove(Event* event)
{
    if (leaving()) return;
    if (saverRun.firstMouseX == -1 && saverRun.firstMouseY == -1) {
        saverRun.firstMouseX = event->x;
        saverRun.firstMouseY = event->y;
        return;
    }
    // A mouse jitters: only leaving the box of 4 pixels around the first
    // position counts, and the box never follows the pointer.
    if (event->x < saverRun.firstMouseX - 4 || event->x > saverRun.firstMouseX + 4 ||
        event->y < saverRun.firstMouseY - 4 || event->y > saverRun.firstMouseY + 4) {
        saverRun.saverState = settings.passwordEnabled;
        saverRun.promptTimer = 1;
    }
}

int onActivate(DeviceContext*, int flags)
{
    if (settings.passwordEnabled == 0 && flags == 1) {
        saverRun.saverState = 0;
        timerStop();
        requestQuit();
        std::exit(0);
    }
    // With a password nobody may switch away from the running saver.
    return 0;
}
