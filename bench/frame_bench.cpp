// Runs the saver's real frame loop for a number of passes in one video mode
// and prints passes and frames per second. Swaps never wait for the vertical
// retrace here, so the figures are what the machine can draw.
//
// Usage: frame_bench [MODE [PASSES [SPEED_ID [DISPLAY_SIZE_ID]]]]
//   MODE             video mode number (default 49, 640 x 480 16-bit)
//   PASSES           main-loop passes measured (default 500)
//   SPEED_ID         300..304 (default 300, a frame every pass)
//   DISPLAY_SIZE_ID  700 full screen .. 709 (default 700)
// The user's settings file and Windows directory are used for everything else.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "kgl/events.h"
#include "kgl/framework.h"
#include "kgl/modes.h"
#include "platform/clock.h"
#include "platform/display.h"
#include "platform/files.h"
#include "settings/settings.h"
#include "shell/random.h"
#include "shell/run_state.h"
#include "shell/saver_run.h"

namespace {

int argument(int argc, char** argv, int index, int fallback)
{
    return argc > index ? atoi(argv[index]) : fallback;
}

} // namespace

int main(int argc, char** argv)
{
    int mode = argument(argc, argv, 1, 49);
    int passes = argument(argc, argv, 2, 500);
    int speedId = argument(argc, argv, 3, kSpeedMax);
    int displaySizeId = argument(argc, argv, 4, kDisplayFullScreen);
    if (passes < 1) passes = 1;

    // The same start as a saver run: the Windows directory and the settings.
    seedRandom(calendarSeconds());
    std::string reason;
    if (queryWindowsDirectory(windowsDirectory, sizeof windowsDirectory, &reason) != 0 ||
        setCurrentDirectory(windowsDirectory) != 0) {
        fprintf(stderr, "frame_bench: no Windows directory: %s\n", reason.c_str());
        return 1;
    }
    setDefaultPicture(settings);
    LoadSettings("Brevane\\Vellamir.INI");
    settings.passwordEnabled = 0;
    settings.videoMode = mode;
    settings.speedId = static_cast<int16_t>(speedId);
    settings.displaySizeId = static_cast<int16_t>(displaySizeId);
    settings.displayScale = displayScaleFor(displaySizeId);

    displayAllowVsync(0);
    prepareSaverRun();
    // The first passes warm up the driver's caches and the window system.
    for (int pass = 0; pass < 20; ++pass) runPass();
    uint32_t framesBefore = saverRun.framesDrawn;
    uint64_t start = monotonicMicroseconds();
    for (int pass = 0; pass < passes; ++pass) runPass();
    double seconds = (monotonicMicroseconds() - start) / 1e6;
    uint32_t frames = saverRun.framesDrawn - framesBefore;

    int screenWidth = 0, screenHeight = 0, frameX, frameY;
    displayFrameRectangle(&frameX, &frameY, &screenWidth, &screenHeight);
    printf("mode %d (%s), shown %dx%d: %d passes, %u frames in %.3f s: %.1f passes/s, %.1f frames/s\n", mode,
           modeName(mode), screenWidth, screenHeight, passes, frames, seconds, passes / seconds, frames / seconds);
    frameworkShutdown();
    finishSaverRun();
    return 0;
}
