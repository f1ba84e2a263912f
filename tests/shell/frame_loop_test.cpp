// The saver's frame loop in this process, on the real full-screen window and
// OpenGL (Xvfb): pacing, the display window, clears, the run clock and the
// input callbacks.
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "kgl/events.h"
#include "kgl/framework.h"
#include "kgl/glbind.h"
#include "kgl/modes.h"
#include "platform/display.h"
#include "settings/settings.h"
#include "shell/random.h"
#include "shell/run_state.h"
#include "shell/saver_run.h"
#include "tests/support/test_support.h"
#include "world/museum.h"

namespace {

struct Viewport {
    GLint x, y, width, height;
};

Viewport currentViewport()
{
    GLint v[4];
    gl.glGetIntegerv(GL_VIEWPORT, v);
    return {v[0], v[1], v[2], v[3]};
}

// The RGB of one pixel of the mode's frame (OpenGL rows, from the bottom).
uint32_t pixelAt(int x, int y)
{
    uint8_t rgba[4] = {};
    gl.glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    return static_cast<uint32_t>(rgba[0]) << 16 | rgba[1] << 8 | rgba[2];
}

// Paints the whole frame, leaving the scene's clear colour as it was.
void paintFrame(float r, float g, float b)
{
    gl.glClearColor(r, g, b, 1.0f);
    gl.glClear(GL_COLOR_BUFFER_BIT);
    gl.glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
}

void setDisplaySize(int id)
{
    settings.displaySizeId = static_cast<int16_t>(id);
    settings.displayScale = displayScaleFor(id);
}

// A saver run prepared as runSaver does, on mode 49 (640 x 480), without the main loop.
class FrameLoop : public testing::Test {
protected:
    // One Windows directory with the saver's data for the whole program.
    static void SetUpTestSuite()
    {
        windows = new TempDir;
        ASSERT_TRUE(installSaverData(windows->path()));
    }
    static void TearDownTestSuite()
    {
        EXPECT_EQ(chdir("/"), 0);
        delete windows;
        windows = nullptr;
    }

    void SetUp() override
    {
        ASSERT_EQ(chdir(windows->path().c_str()), 0);
        snprintf(windowsDirectory, sizeof windowsDirectory, "%s", windows->path().c_str());
        settings = Settings();
        setDefaultPicture(settings);
        settings.videoMode = 49;
        setDisplaySize(705);
        saverRun = SaverRun();
        seedRandom(1234);
        resetCursor();
        // Passes here run as fast as they can; the pace of one per refresh is the benchmark's to show.
        displayAllowVsync(0);
        prepareSaverRun();
    }
    void TearDown() override
    {
        frameworkShutdown();
        finishSaverRun();
        displayAllowVsync(1);
    }

    // Starts the pacing of a speed afresh, counters at 0.
    void pace(int speedId)
    {
        saverRun.frameDelay = frameDelayFor(speedId);
        saverRun.passCounter = saverRun.frameDelay;
        saverRun.passes = saverRun.framesDrawn = saverRun.worldSteps = 0;
    }

    static TempDir* windows;
};

TempDir* FrameLoop::windows = nullptr;

TEST_F(FrameLoop, PreparationOpensTheModeAndHidesThePointer)
{
    EXPECT_EQ(saverRun.screenWidth, 640);
    EXPECT_EQ(saverRun.screenHeight, 480);
    EXPECT_EQ(settings.colourDepthId, 16) << "the mode's depth lands in the record in memory";
    EXPECT_EQ(saverRun.framework->drawTarget, saverRun.framework->displayContext);
    EXPECT_EQ(cursorShowCount(), -1) << "the pointer is hidden for the run";
    EXPECT_EQ(saverRun.frameDelay, 0);
    EXPECT_EQ(saverRun.passCounter, 0);
}

TEST_F(FrameLoop, SpeedPacesFramesAndTheWorldStepsOncePerFrame)
{
    EXPECT_EQ(frameDelayFor(305), 0) << "an unknown speed draws on every pass";
    ASSERT_NE(saverRun.museum, nullptr);
    Museum replay = *saverRun.museum;
    uint32_t steps = 0;
    const int everyNth[] = {1, 2, 4, 8, 16};
    for (int speed = 300; speed <= 304; ++speed) {
        int n = everyNth[speed - 300];
        pace(speed);
        runPass();
        EXPECT_EQ(saverRun.framesDrawn, 1u) << "the first pass draws at every speed";
        EXPECT_EQ(saverRun.worldSteps, n == 1 ? 1u : 0u) << "paced runs show the start before moving";
        // Four more frames: 4n further passes.
        for (int pass = 0; pass < 4 * n; ++pass) runPass();
        EXPECT_EQ(saverRun.passes, static_cast<uint32_t>(4 * n + 1)) << speed;
        EXPECT_EQ(saverRun.framesDrawn, 5u) << speed;
        EXPECT_EQ(saverRun.worldSteps, n == 1 ? 5u : 4u) << "once before each frame after the first, " << speed;
        steps += saverRun.worldSteps;
    }
    // A world step is one step of the run's camera.
    EXPECT_NE(memcmp(replay.camera.eye, saverRun.museum->camera.eye, sizeof replay.camera.eye), 0);
    for (uint32_t step = 0; step < steps; ++step) stepCamera(replay);
    EXPECT_EQ(memcmp(&replay.camera, &saverRun.museum->camera, sizeof replay.camera), 0);
}

TEST_F(FrameLoop, WindowedFramesClearTheWholeScreenAndMoveWhenDue)
{
    pace(300);
    settings.moveSeconds = 60;
    saverRun.lastMoveTime = timerLap();
    paintFrame(1, 1, 1);
    runPass();
    Viewport start = currentViewport();
    EXPECT_EQ(start.x, 160) << "not due: the window stays";
    EXPECT_EQ(pixelAt(0, 0), 0u) << "outside the display window";
    EXPECT_EQ(pixelAt(639, 479), 0u);
    EXPECT_NE(pixelAt(320, 240), 0u) << "inside it the museum is drawn";

    // moveSeconds 0 re-places the window on every frame once the clock has moved on.
    settings.moveSeconds = 0;
    bool moved = false;
    for (int frame = 0; frame < 40; ++frame) {
        uint32_t before = timerLap();
        while (timerLap() == before) {
        }
        runPass();
        Viewport v = currentViewport();
        EXPECT_EQ(v.width, 320);
        EXPECT_EQ(v.height, 240);
        EXPECT_GE(v.x, 0);
        EXPECT_GE(v.y, 0);
        EXPECT_LE(v.x + v.width, 640) << "the window stays on the screen";
        EXPECT_LE(v.y + v.height, 480);
        moved = moved || v.x != start.x || v.y != start.y;
    }
    EXPECT_TRUE(moved);

    // 4295 seconds do not fit 32 bits of microseconds: wrapped, they would be
    // 33 milliseconds and the window would jump about on every frame.
    settings.moveSeconds = 4295;
    Viewport before = currentViewport();
    saverRun.lastMoveTime = timerLap();
    usleep(50000);
    runPass();
    Viewport after = currentViewport();
    EXPECT_TRUE(after.x == before.x && after.y == before.y) << "a long interval is not due";
}

TEST_F(FrameLoop, FullScreenNeverMovesAndClearsDepthOnly)
{
    frameworkShutdown();
    showCursor();
    setDisplaySize(700);
    settings.moveSeconds = 0;
    prepareSaverRun();
    // With nothing to draw, what the frames leave is the frame loop's doing.
    saverRun.museum = nullptr;
    saverRun.objectSet = nullptr;
    pace(300);
    Viewport start = currentViewport();
    EXPECT_EQ(start.x, 0);
    EXPECT_EQ(start.width, 640);
    paintFrame(1, 0, 0);
    gl.glClearDepth(0.25);
    gl.glClear(GL_DEPTH_BUFFER_BIT);
    gl.glClearDepth(1.0);
    for (int pass = 0; pass < 5; ++pass) runPass();
    Viewport v = currentViewport();
    EXPECT_EQ(v.x, 0);
    EXPECT_EQ(v.y, 0);
    EXPECT_EQ(v.width, 640);
    EXPECT_EQ(pixelAt(5, 5), 0xFF0000u) << "the colour buffer is left alone";
    GLfloat depth = 0;
    gl.glReadPixels(5, 5, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    EXPECT_FLOAT_EQ(depth, 1.0f) << "the depth buffer is cleared";
}

TEST_F(FrameLoop, ClockRestartMakesTheNextWindowedFrameMove)
{
    pace(300);
    settings.moveSeconds = 60;
    // A move stamped just before a restart: the fresh reading minus it wraps.
    saverRun.lastMoveTime = 400000000u;
    runPass();
    EXPECT_LT(saverRun.lastMoveTime, 400000000u) << "moved at once";

    timerStart();
    restartRunClockWhenDue(500000000u);
    EXPECT_LT(timerLap(), 1000000u);
    uint32_t before = timerLap();
    restartRunClockWhenDue(500000000u);
    EXPECT_GE(timerLap(), before) << "500 seconds exactly: no restart";
    restartRunClockWhenDue(500000001u);
    EXPECT_LT(timerLap(), 1000000u) << "past 500 seconds the clock counts from 0 again";
}

TEST_F(FrameLoop, FullScaleOutsideFullScreenStaysInTheCorner)
{
    // A record whose scale fills the screen although it is not Full Screen
    // leaves no room to move: the window stays at 0, 0 and nothing is drawn.
    settings.displaySizeId = 703;
    settings.displayScale = 1.0f;
    seedRandom(99);
    int expectedNext = nextRandom();
    seedRandom(99);
    DisplayWindow window = movedDisplayWindow();
    EXPECT_EQ(window.x, 0);
    EXPECT_EQ(window.y, 0);
    EXPECT_EQ(window.width, 640);
    EXPECT_EQ(nextRandom(), expectedNext) << "no draw was taken";

    settings.displayScale = 1.5f;
    window = movedDisplayWindow();
    EXPECT_EQ(window.x, 0);
    EXPECT_EQ(window.y, 0);

    // Only one axis without room: the other still moves.
    saverRun.screenWidth = 640;
    settings.displayScale = 0.5f;
    saverRun.screenHeight = 0;
    window = movedDisplayWindow();
    EXPECT_EQ(window.y, 0);
    EXPECT_LT(window.x, 320);
    saverRun.screenHeight = 480;

    settings.displayScale = 1.0f;
    settings.moveSeconds = 0;
    pace(300);
    for (int pass = 0; pass < 3; ++pass) runPass();
    EXPECT_EQ(currentViewport().x, 0);
}

TEST_F(FrameLoop, PlacementDrawsXThenY)
{
    seedRandom(7);
    int drawX = nextRandom(), drawY = nextRandom();
    seedRandom(7);
    DisplayWindow window = movedDisplayWindow();
    EXPECT_EQ(window.x, drawX % 320);
    EXPECT_EQ(window.y, drawY % 240);

    // 10 % of 640 x 480 is 64 x 48, centred at 288, 216.
    setDisplaySize(709);
    DisplayWindow centred = centredDisplayWindow();
    EXPECT_EQ(centred.width, 64);
    EXPECT_EQ(centred.height, 48);
    EXPECT_EQ(centred.x, 288);
    EXPECT_EQ(centred.y, 216);
}

Event mouseAt(int x, int y)
{
    Event event = {};
    event.code = kEventMouseMove;
    event.x = x;
    event.y = y;
    return event;
}

TEST_F(FrameLoop, MovesWithinFourPixelsOfTheFirstPositionAreIgnored)
{
    Event first = mouseAt(100, 100);
    onMouseMove(&first);
    EXPECT_EQ(saverRun.firstMouseX, 100);
    const int jitter[][2] = {{104, 96}, {96, 104}, {100, 100}, {104, 104}, {96, 96}};
    for (const auto& p : jitter) {
        Event e = mouseAt(p[0], p[1]);
        onMouseMove(&e);
        EXPECT_EQ(saverRun.saverState, -1) << p[0] << "," << p[1];
    }
    EXPECT_EQ(saverRun.promptTimer, 0);
    EXPECT_EQ(saverRun.firstMouseX, 100) << "the box does not follow the pointer";
    Event away = mouseAt(100, 105);
    onMouseMove(&away);
    EXPECT_EQ(saverRun.saverState, 0) << "5 pixels away ends the run";
    EXPECT_EQ(saverRun.promptTimer, 1);
    gameLogic();
    EXPECT_EQ(quitRequested(), 1);

    // With a password the same move raises the prompt instead.
    saverRun.saverState = -1;
    settings.passwordEnabled = 1;
    Event left = mouseAt(95, 100);
    onMouseMove(&left);
    EXPECT_EQ(saverRun.saverState, 1);
}

TEST_F(FrameLoop, KeysAndButtonsEndTheRunOrRaiseThePrompt)
{
    Event key = {};
    key.code = kEventKeyDown;
    key.message = 'q';
    onKey(&key);
    EXPECT_EQ(saverRun.saverState, 0);
    EXPECT_EQ(saverRun.promptTimer, 1);

    settings.passwordEnabled = 1;
    saverRun.saverState = -1;
    saverRun.promptTimer = 0;
    onMouseDown(&key);
    EXPECT_EQ(saverRun.saverState, 1);
    EXPECT_EQ(saverRun.promptTimer, 1);
    saverRun.promptTimer = 2;
    onKey(&key);
    EXPECT_EQ(saverRun.saverState, 1) << "at the prompt a key is typed, it does not end the run";
    EXPECT_EQ(saverRun.promptTimer, 1);
    gameLogic();
    EXPECT_EQ(quitRequested(), 0);
}

TEST_F(FrameLoop, SwitchingAwayIsRefusedWithAPassword)
{
    settings.passwordEnabled = 1;
    EXPECT_EQ(onActivate(saverRun.framework->displayContext, 1), 0);
    EXPECT_EQ(saverRun.saverState, -1);
    EXPECT_EQ(quitRequested(), 0);
    // Through the framework: the refusal keeps the run drawing.
    EXPECT_EQ(suspendApplication(1), 0);
    EXPECT_EQ(applicationActive(), 1);
    settings.passwordEnabled = 0;
    EXPECT_EQ(onActivate(saverRun.framework->displayContext, 2), 0) << "coming back changes nothing";
    EXPECT_EQ(saverRun.saverState, -1);
}

// Last: a second preparation places the exhibits again, which the seeded walk above must not see.
TEST_F(FrameLoop, ScreenSizeModeIsTheScreenWithTheProjectionOfItsAspect)
{
    frameworkShutdown();
    showCursor();
    settings.videoMode = kScreenSizeMode;
    setDisplaySize(700);
    prepareSaverRun();
    EXPECT_EQ(saverRun.screenWidth, 1280);
    EXPECT_EQ(saverRun.screenHeight, 1024);
    int x, y, width, height;
    displayFrameRectangle(&x, &y, &width, &height);
    EXPECT_TRUE(x == 0 && y == 0 && width == 1280 && height == 1024) << "edge to edge, no bars";
    // The vertical field of view stays 84 degrees; the horizontal one follows the 5:4 screen.
    GLfloat projection[16];
    gl.glGetFloatv(GL_PROJECTION_MATRIX, projection);
    EXPECT_NEAR(projection[5], 1.0 / tan(42.0 * M_PI / 180.0), 1e-5);
    EXPECT_NEAR(projection[5] / projection[0], 1280.0 / 1024.0, 1e-5);
    Viewport v = currentViewport();
    EXPECT_TRUE(v.x == 0 && v.y == 0 && v.width == 1280 && v.height == 1024);
}

} // namespace
