#include "tests/scene/scene_fixture.h"

#include <unistd.h>

#include <cstdio>

#include "kgl/framework.h"
#include "kgl/glbind.h"
#include "scene/scene.h"
#include "settings/settings.h"
#include "shell/random.h"
#include "shell/run_state.h"
#include "shell/saver_run.h"
#include "world/floor_plan.h"

TempDir* SceneRun::windows = nullptr;

void SceneRun::SetUpTestSuite()
{
    windows = new TempDir;
    ASSERT_TRUE(installSaverData(windows->path()));
}

void SceneRun::TearDownTestSuite()
{
    EXPECT_EQ(chdir("/"), 0);
    delete windows;
    windows = nullptr;
}

void SceneRun::SetUp()
{
    ASSERT_EQ(chdir(windows->path().c_str()), 0);
    snprintf(windowsDirectory, sizeof windowsDirectory, "%s", windows->path().c_str());
    settings = Settings();
    setDefaultPicture(settings);
    settings.videoMode = 49;
    settings.displaySizeId = kDisplayFullScreen;
    settings.displayScale = 1.0f;
    saverRun = SaverRun();
    seedRandom(1234);
    resetWalkMap();
}

void SceneRun::TearDown()
{
    if (!started) return;
    frameworkShutdown();
    finishSaverRun();
}

void SceneRun::start()
{
    prepareSaverRun();
    started = true;
}

std::vector<uint8_t> SceneRun::readFrame()
{
    std::vector<uint8_t> pixels(640 * 480 * 3);
    gl.glPixelStorei(GL_PACK_ALIGNMENT, 1);
    gl.glReadPixels(0, 0, 640, 480, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

void SceneRun::drawOneFrame()
{
    gl.glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    drawScene();
    gl.glFinish();
}

namespace {

// World to normalised device coordinates: x and y lean with z, so no face of
// the plan is seen edge-on.
float deviceX(float x, float z) { return (x + 0.5f * z - 16.75f) / 17.0f; }
float deviceY(float y, float z) { return (y + 0.5f * z - 5.75f) / 7.0f; }
float deviceZ(float z) { return (z - 12.5f) / 13.0f; }

} // namespace

std::vector<Polygon> feedbackPolygons(const std::function<void()>& draw)
{
    // Column-major: the rows are deviceX, deviceY, deviceZ and w = 1.
    const GLfloat projection[16] = {1 / 17.0f, 0, 0, 0,  0, 1 / 7.0f, 0, 0,  0.5f / 17.0f, 0.5f / 7.0f, 1 / 13.0f, 0,
                                    deviceX(0, 0), deviceY(0, 0), deviceZ(0), 1};
    GLint viewport[4];
    gl.glGetIntegerv(GL_VIEWPORT, viewport);
    gl.glMatrixMode(GL_PROJECTION);
    gl.glPushMatrix();
    gl.glLoadMatrixf(projection);
    gl.glMatrixMode(GL_MODELVIEW);
    gl.glPushMatrix();
    gl.glLoadIdentity();
    gl.glDisable(GL_CULL_FACE);

    std::vector<GLfloat> buffer(1 << 20);
    gl.glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D, buffer.data());
    gl.glRenderMode(GL_FEEDBACK);
    draw();
    GLint used = gl.glRenderMode(GL_RENDER);

    gl.glEnable(GL_CULL_FACE);
    gl.glPopMatrix();
    gl.glMatrixMode(GL_PROJECTION);
    gl.glPopMatrix();
    gl.glMatrixMode(GL_MODELVIEW);
    EXPECT_GE(used, 0) << "the feedback buffer overflowed";

    auto toWorld = [&](const GLfloat* window) {
        float nx = (window[0] - viewport[0]) * 2.0f / viewport[2] - 1.0f;
        float ny = (window[1] - viewport[1]) * 2.0f / viewport[3] - 1.0f;
        float z = (window[2] * 2.0f - 1.0f) * 13.0f + 12.5f;
        return WorldPoint{nx * 17.0f + 16.75f - 0.5f * z, ny * 7.0f + 5.75f - 0.5f * z, z};
    };
    std::vector<Polygon> polygons;
    for (GLint i = 0; i < used;) {
        GLint token = static_cast<GLint>(buffer[i++]);
        if (token == GL_POLYGON_TOKEN) {
            int count = static_cast<int>(buffer[i++]);
            Polygon polygon;
            for (int v = 0; v < count; ++v, i += 3) polygon.push_back(toWorld(&buffer[i]));
            polygons.push_back(polygon);
        } else if (token == GL_LINE_TOKEN || token == GL_LINE_RESET_TOKEN) {
            i += 6;
        } else if (token == GL_PASS_THROUGH_TOKEN) {
            i += 1;
        } else {
            i += 3;   // points, bitmaps and pixel rectangles: one vertex
        }
    }
    return polygons;
}

double quadsIn(const std::vector<Polygon>& polygons)
{
    double quads = 0;
    for (const Polygon& polygon : polygons) quads += (polygon.size() - 2) / 2.0;
    return quads;
}
