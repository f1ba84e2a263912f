#include "scene/scene.h"

#include <cmath>

#include "kgl/glbind.h"
#include "scene/architecture.h"
#include "scene/frames.h"
#include "scene/objects.h"
#include "settings/settings.h"
#include "shell/run_state.h"
#include "world/museum.h"
#include "world/textures.h"

VisibleCells frameCells;

namespace {
constexpr double kPi = 3.14159265358979323846;
}

void fogColour(float colour[4])
{
    // 1/265, not 1/255: the brightest setting stays a little short of full intensity.
    const float factor = 0.0037735849056603774f;
    colour[0] = settings.fogRed * factor;
    colour[1] = settings.fogGreen * factor;
    colour[2] = settings.fogBlue * factor;
    colour[3] = 1.0f;
}

double sceneAspect()
{
    float width = saverRun.screenWidth * settings.displayScale;
    float height = saverRun.screenHeight * settings.displayScale;
    return height != 0.0f ? static_cast<double>(width / height) : 1.0;
}

void setUpScene()
{
    DisplayWindow window = centredDisplayWindow();
    gl.glViewport(window.x, window.y, window.width, window.height);
    gl.glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    gl.glShadeModel(GL_SMOOTH);
    gl.glEnable(GL_DEPTH_TEST);
    gl.glCullFace(GL_BACK);
    gl.glEnable(GL_CULL_FACE);
    gl.glEnable(GL_LIGHTING);
    gl.glEnable(GL_LIGHT0);
    // Set while the model-view matrix is the identity, the light's direction
    // is fixed to the eye: it shines from the top of the screen whichever way
    // the viewer looks.
    const GLfloat lightPosition[4] = {0.0f, 1.0f, 0.0f, 0.0f};
    gl.glLightfv(GL_LIGHT0, GL_POSITION, lightPosition);
    gl.glMatrixMode(GL_PROJECTION);
    gl.glLoadIdentity();
    gl.gluPerspective(kFieldOfView, sceneAspect(), kNearPlane, kFarPlane);
    gl.glMatrixMode(GL_MODELVIEW);
    gl.glLoadIdentity();
    gl.glEnable(GL_BLEND);
    gl.glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

    GLfloat colour[4];
    fogColour(colour);
    if (settings.fogEnabled == 1)
        gl.glEnable(GL_FOG);
    else
        gl.glDisable(GL_FOG);
    gl.glFogi(GL_FOG_MODE, GL_EXP);
    gl.glFogfv(GL_FOG_COLOR, colour);
    gl.glFogf(GL_FOG_DENSITY, settings.fogDensity * 0.01f);
    gl.glHint(GL_FOG_HINT, GL_FASTEST);
    // Start and end mean nothing to exponential fog; they are set all the same.
    gl.glFogf(GL_FOG_START, 0.0f);
    gl.glFogf(GL_FOG_END, 1.0f);
    forgetFrameLists();
}

void setUpTextureEnvironment()
{
    // GL_DECAL, passed as the float the call takes.
    gl.glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, 8449.0f);
    gl.glEnable(GL_TEXTURE_2D);
}

void findFrameCells(const Museum& museum, VisibleCells& cells)
{
    const Camera& camera = museum.camera;
    const double halfAngle = horizontalHalfAngle(kFieldOfView, sceneAspect());
    // The near plane's corners are its farthest points from the eye.
    const double tanAcross = std::tan(halfAngle * kPi / 180.0), tanUp = std::tan(kFieldOfView * 0.5 * kPi / 180.0);
    const double nearReach = kNearPlane * std::sqrt(1.0 + tanAcross * tanAcross + tanUp * tanUp);
    findSightedCells(camera.eye[0], camera.eye[2], nearReach, cells);
    const ViewWedge view = {camera.eye[0],
                            camera.eye[2],
                            camera.lookTarget[0] - camera.eye[0],
                            camera.lookTarget[2] - camera.eye[2],
                            halfAngle,
                            kFarPlane};
    keepCellsInView(view, cells);
}

void drawScene()
{
    const Museum* museum = saverRun.museum;
    if (museum && cullingOn()) {
        findFrameCells(*museum, frameCells);
    } else {
        frameCells.everything = true;
        frameCells.count = 0;
    }
    drawSceneSending(frameCells);
}

void drawSceneSending(const VisibleCells& cells)
{
    if (&cells != &frameCells) frameCells = cells;
    const Museum* museum = saverRun.museum;
    gl.glLoadIdentity();
    if (museum) {
        float eye[3], target[3];
        getEye(*museum, &eye[0], &eye[1], &eye[2]);
        getLookTarget(*museum, &target[0], &target[1], &target[2]);
        // The world's y points down, so up on the screen is -y.
        gl.gluLookAt(eye[0], eye[1], eye[2], target[0], target[1], target[2], 0.0, -1.0, 0.0);
    }
    gl.glDisable(GL_LIGHTING);
    if (museum) {
        // Unlit and opaque, the rooms and pictures would blend to their own
        // colour; without the blend the renderer need not read the frame back.
        GLfloat colour[4];
        gl.glGetFloatv(GL_CURRENT_COLOR, colour);
        const bool opaque = colour[3] == 1.0f;
        if (opaque) gl.glDisable(GL_BLEND);
        drawArchitecture(*museum, museumTextures.wallTextures, museumTextures.floorTextures,
                         museumTextures.ceilingTextures, &frameCells);
        drawPictures(*museum);
        if (opaque) gl.glEnable(GL_BLEND);
    }
    gl.glEnable(GL_LIGHTING);
    if (saverRun.objectSet) drawObjects(*saverRun.objectSet, &frameCells);
    gl.glFlush();
}
