// Runs the saver's real frame loop on the museum in one video mode and prints
// the time from the program's start to its first frame and the passes and
// frames per second over a measured span. Swaps never wait for the vertical retrace
// here unless PACED is 1, so the figures are what the machine can draw; with
// PACED 1 the passes keep the saver's own pace of one per refresh, and the
// CPU time the run takes is what the saver costs.
//
// Usage: frame_bench [MODE [SECONDS [PICTURES [SEED [DISPLAY_SIZE_ID [SPEED_ID [PACED]]]]]]]
//   MODE      video mode number (default 49, 640 x 480 16-bit)
//   SECONDS   length of the measured span (default 10)
//   PICTURES  gallery pictures: 0 the default picture (default); N the first
//             N BMP files "picture<i>.bmp" (i = 1..N) in the Windows directory;
//             Nj the first N photos "photo<i>.jpg" there instead, Np the
//             first N "photo<i>.png"
//   SEED      the random generator's seed (default 1): the same museum and walk
//   DISPLAY_SIZE_ID  700 full screen .. 709 10 % (default: the setting's default, 705, 50 %)
//   SPEED_ID  300 "Max speed" (default) .. 304 "Very slow"
//   PACED     0 uncapped (default), 1 one pass per refresh as in a saver run
// Every other setting is the default one; the settings file is not read. The
// Windows directory ($WINDIR, ...) must hold the saver's data.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "kgl/events.h"
#include "kgl/framework.h"
#include "kgl/glbind.h"
#include "kgl/modes.h"
#include "platform/clock.h"
#include "platform/display.h"
#include "platform/files.h"
#include "platform/memory.h"
#include "settings/settings.h"
#include "shell/random.h"
#include "shell/run_state.h"
#include "shell/saver_run.h"
#include "shell/shell.h"
#include "world/textures.h"

namespace {

const char* argument(int argc, char** argv, int index, const char* fallback)
{
    return argc > index ? argv[index] : fallback;
}

} // namespace

int main(int argc, char** argv)
{
    const uint64_t start = monotonicMicroseconds();
    int mode = atoi(argument(argc, argv, 1, "49"));
    double span = atof(argument(argc, argv, 2, "10"));
    int pictures = atoi(argument(argc, argv, 3, "0"));
    const std::string pictureArgument = argument(argc, argv, 3, "0");
    const char kind = pictureArgument.empty() ? '0' : pictureArgument.back();
    const bool photos = kind == 'j' || kind == 'p';
    uint32_t seed = static_cast<uint32_t>(strtoul(argument(argc, argv, 4, "1"), nullptr, 10));
    int displaySizeId = atoi(argument(argc, argv, 5, "0"));
    int speedId = atoi(argument(argc, argv, 6, "300"));
    int paced = atoi(argument(argc, argv, 7, "0"));
    if (span <= 0) span = 10;
    if (pictures < 0 || pictures > kMaxPictures) pictures = 0;

    // The start of a saver run, with the default settings.
    seedRandom(seed);
    std::string reason;
    if (enterWindowsDirectory(&reason) != 0) {
        fprintf(stderr, "frame_bench: %s\n", reason.c_str());
        return 1;
    }
    settings = Settings();
    setDefaultPicture(settings);
    if (pictures > 0) {
        for (int i = 0; i < pictures; ++i)
            settings.pictures[i] = std::string(windowsDirectory) + (photos ? "/photo" : "/picture") +
                                   std::to_string(i + 1) + (kind == 'j' ? ".jpg" : kind == 'p' ? ".png" : ".bmp");
        settings.pictureCount = pictures;
    }
    settings.videoMode = mode;
    if (displaySizeId != 0) {
        settings.displaySizeId = static_cast<int16_t>(displaySizeId);
        settings.displayScale = displayScaleFor(displaySizeId);
    }

    settings.speedId = static_cast<int16_t>(speedId);
    displayAllowVsync(paced ? 1 : 0);
    prepareSaverRun();
    // The first frame is on the screen once the first pass has presented it
    // and OpenGL has finished it.
    runPass();
    gl.glFinish();
    double firstFrame = (monotonicMicroseconds() - start) / 1e6;

    // The user's pictures arrive over the first frames.
    while (picturesStillComing() > 0) runPass();
    double allShown = (monotonicMicroseconds() - start) / 1e6;

    // A few passes warm up the driver's caches and the window system.
    for (int pass = 0; pass < 20; ++pass) runPass();
    uint32_t framesBefore = saverRun.framesDrawn, passesBefore = saverRun.passes;
    double cpuStart = processCpuSeconds();
    uint64_t spanStart = monotonicMicroseconds();
    uint64_t spanEnd = spanStart + static_cast<uint64_t>(span * 1e6);
    uint64_t now = spanStart;
    while (now < spanEnd) {
        runPass();
        now = monotonicMicroseconds();
    }
    gl.glFinish();
    double seconds = (monotonicMicroseconds() - spanStart) / 1e6;
    double cpu = processCpuSeconds() - cpuStart;
    uint32_t frames = saverRun.framesDrawn - framesBefore, passes = saverRun.passes - passesBefore;

    int screenWidth = 0, screenHeight = 0, frameX, frameY;
    displayFrameRectangle(&frameX, &frameY, &screenWidth, &screenHeight);
    printf("mode %d (%s), shown %dx%d, display %d, %d pictures: first frame after %.3f s; "
           "%u passes, %u frames in %.2f s: %.1f passes/s, %.1f frames/s\n",
           mode, modeName(mode), screenWidth, screenHeight, settings.displaySizeId, settings.pictureCount, firstFrame,
           passes, frames, seconds, passes / seconds, frames / seconds);
    printf("speed %d %s: %.1f frames/s, %.2f CPU-seconds per 10 s\n", settings.speedId, paced ? "paced" : "uncapped",
           frames / seconds, cpu * 10 / seconds);
    printf("pictures: all %d shown after %.3f s; peak memory %.0f MB\n", museumTextures.pictureCount, allShown,
           peakMemoryKilobytes() / 1024.0);
    frameworkShutdown();
    finishSaverRun();
    return 0;
}
