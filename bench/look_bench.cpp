// What the look at the screen's own size costs: the saver's processor time
// per drawn frame beside the fill-once floor, measured in the same run.
//
// The floor is the least a frame of the screen's size can cost with the
// run's own textures: the depth cleared, one quad over every pixel textured
// with the run's wall texture and its filters, depth-tested and written,
// presented and paced as the saver's frames are. The classic look's layer
// has one texel per pixel (nearest filters); the detailed look's is minified
// by the square root of 2, halfway between two mipmap levels, where its
// trilinear filter does all of its work (at one texel per pixel it would be
// only magnified, bilinearly).
//
// Rounds alternate a span of floor frames and a span of saver frames, so a
// change in the machine's load meets both alike; the figures are the medians
// of the rounds. Processor time is the whole process's (every thread of
// Mesa's software renderer), the X server's not counted.
//
// Usage: look_bench [SECONDS [ROUNDS [LOOK [SEED [CULLING]]]]]
//   SECONDS   length of each span (default 2)
//   ROUNDS    floor-and-saver rounds (default 5)
//   LOOK      detailed (default: the 1024 x 1024 themes, trilinear) or classic
//   SEED      the random generator's seed (default 1): the same museum and walk
//   CULLING   1 (default) draws only what the walk can see; 0 sends everything
// The video mode is "Screen size" at the display's size, full screen, "Max
// speed", paced; every other setting is the default one. The Windows
// directory ($WINDIR, ...) must hold the saver's data.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "kgl/events.h"
#include "kgl/framework.h"
#include "kgl/glbind.h"
#include "kgl/modes.h"
#include "platform/clock.h"
#include "platform/display.h"
#include "platform/files.h"
#include "settings/settings.h"
#include "shell/random.h"
#include "shell/run_state.h"
#include "shell/saver_run.h"
#include "shell/shell.h"
#include "visibility/visibility.h"
#include "world/textures.h"

namespace {

const char* argument(int argc, char** argv, int index, const char* fallback)
{
    return argc > index ? argv[index] : fallback;
}

// Texels per pixel of the floor's layer.
float floorMinification = 1.0f;

// One floor frame, drawn by the frame loop in place of the saver's: the same
// pass, present and pacing, one layer of fill.
void drawFloorFrame()
{
    saverRun.passes++;
    gl.glClear(GL_DEPTH_BUFFER_BIT);
    gl.glMatrixMode(GL_PROJECTION);
    gl.glPushMatrix();
    gl.glLoadIdentity();
    gl.glMatrixMode(GL_MODELVIEW);
    gl.glPushMatrix();
    gl.glLoadIdentity();
    gl.glDisable(GL_LIGHTING);
    gl.glDisable(GL_BLEND);
    gl.glBindTexture(GL_TEXTURE_2D, museumTextures.wallTextures[0]);
    GLint viewport[4], textureWidth = 1, textureHeight = 1;
    gl.glGetIntegerv(GL_VIEWPORT, viewport);
    gl.glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &textureWidth);
    gl.glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &textureHeight);
    const float s = floorMinification * viewport[2] / textureWidth, t = floorMinification * viewport[3] / textureHeight;
    gl.glBegin(GL_QUADS);
    gl.glTexCoord2f(0, 0);
    gl.glVertex3f(-1, -1, 0);
    gl.glTexCoord2f(s, 0);
    gl.glVertex3f(1, -1, 0);
    gl.glTexCoord2f(s, t);
    gl.glVertex3f(1, 1, 0);
    gl.glTexCoord2f(0, t);
    gl.glVertex3f(-1, 1, 0);
    gl.glEnd();
    gl.glEnable(GL_BLEND);
    gl.glEnable(GL_LIGHTING);
    gl.glPopMatrix();
    gl.glMatrixMode(GL_PROJECTION);
    gl.glPopMatrix();
    gl.glMatrixMode(GL_MODELVIEW);
    saverRun.framesDrawn++;
    swapBuffers(1);
}

struct Span {
    double cpuPerFrame;   // milliseconds
    double framesPerSecond;
};

Span measure(void (*draw)(), double seconds)
{
    setDrawCallback(draw);
    for (int pass = 0; pass < 10; ++pass) runPass();
    gl.glFinish();
    const uint32_t framesBefore = saverRun.framesDrawn;
    const double cpuStart = processCpuSeconds();
    const uint64_t start = monotonicMicroseconds();
    const uint64_t end = start + static_cast<uint64_t>(seconds * 1e6);
    uint64_t now = start;
    while (now < end) {
        runPass();
        now = monotonicMicroseconds();
    }
    gl.glFinish();
    const double elapsed = (monotonicMicroseconds() - start) / 1e6;
    const double cpu = processCpuSeconds() - cpuStart;
    const uint32_t frames = saverRun.framesDrawn - framesBefore;
    return {frames ? cpu * 1000.0 / frames : 0.0, frames / elapsed};
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n == 0 ? 0.0 : n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

} // namespace

int main(int argc, char** argv)
{
    double seconds = atof(argument(argc, argv, 1, "2"));
    int rounds = atoi(argument(argc, argv, 2, "5"));
    const bool classic = strcmp(argument(argc, argv, 3, "detailed"), "classic") == 0;
    uint32_t seed = static_cast<uint32_t>(strtoul(argument(argc, argv, 4, "1"), nullptr, 10));
    const bool culling = atoi(argument(argc, argv, 5, "1")) != 0;
    if (seconds <= 0) seconds = 2;
    if (rounds < 1) rounds = 5;

    seedRandom(seed);
    std::string reason;
    if (enterWindowsDirectory(&reason) != 0) {
        fprintf(stderr, "look_bench: %s\n", reason.c_str());
        return 1;
    }
    useScreenSizeSettings();
    settings.classicTextures = classic ? 1 : 0;
    setCulling(culling ? 1 : 0);
    displayAllowVsync(1);
    prepareSaverRun();
    floorMinification = museumTextures.detailedThemes ? std::sqrt(2.0f) : 1.0f;

    std::vector<double> floorCosts, saverCosts, floorRates, saverRates;
    for (int round = 0; round < rounds; ++round) {
        Span floor = measure(drawFloorFrame, seconds);
        Span saver = measure(drawFrame, seconds);
        printf("round %d: floor %.2f ms per frame (%.1f frames/s), saver %.2f ms per frame (%.1f frames/s): %.2f x\n",
               round + 1, floor.cpuPerFrame, floor.framesPerSecond, saver.cpuPerFrame, saver.framesPerSecond,
               floor.cpuPerFrame > 0 ? saver.cpuPerFrame / floor.cpuPerFrame : 0.0);
        floorCosts.push_back(floor.cpuPerFrame);
        saverCosts.push_back(saver.cpuPerFrame);
        floorRates.push_back(floor.framesPerSecond);
        saverRates.push_back(saver.framesPerSecond);
    }

    int width = 0, height = 0, x, y;
    displayFrameRectangle(&x, &y, &width, &height);
    const double floorCost = median(floorCosts), saverCost = median(saverCosts);
    printf("%dx%d, %s look, culling %s; renderer %s: %d samples per pixel, anisotropy %.0f\n", width, height,
           museumTextures.detailedThemes ? "detailed" : "classic", culling ? "on" : "off",
           reinterpret_cast<const char*>(gl.glGetString(GL_RENDERER)), displayGLSamples(), museumTextures.anisotropy);
    printf("median of %d rounds of %.1f s: floor %.2f ms CPU per frame (%.1f frames/s), saver %.2f ms CPU per frame "
           "(%.1f frames/s): %.2f x the floor\n",
           rounds, seconds, floorCost, median(floorRates), saverCost, median(saverRates),
           floorCost > 0 ? saverCost / floorCost : 0.0);
    const double ratio = floorCost > 0 ? saverCost / floorCost : 0.0;
    printf("verdict: %.2f x the fill-once floor, %s the 1.35 x allowed\n", ratio, ratio <= 1.35 ? "within" : "beyond");
    frameworkShutdown();
    finishSaverRun();
    return 0;
}
