// The museum's drawing on real OpenGL: fog, decal texturing, the wall faces
// left out, the display window, and the sculptures' variants.
#include <gtest/gtest.h>

#include <GL/freeglut.h>
#include <GL/gl.h>

#include <cmath>
#include <cstring>
#include <map>

#include "kgl/events.h"
#include "kgl/glbind.h"
#include "kgl/modes.h"
#include "platform/display.h"
#include "scene/scene.h"
#include "scene/architecture.h"
#include "scene/objects.h"
#include "settings/settings.h"
#include "shell/run_state.h"
#include "shell/saver_run.h"
#include "tests/scene/scene_fixture.h"
#include "world/floor_plan.h"
#include "world/museum.h"
#include "visibility/visibility.h"
#include "world/textures.h"

namespace {

using Drawing = SceneRun;

TEST_F(Drawing, FogTakesItsColourTimesOneOver265AndDensityZeroChangesNothing)
{
    settings.fogEnabled = 1;
    settings.fogRed = settings.fogGreen = settings.fogBlue = 255;
    settings.fogDensity = 100;
    start();

    // A black quad 11 units away keeps e^-11 of its colour: what shows is the fog's.
    gl.glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    gl.glDisable(GL_TEXTURE_2D);
    gl.glDisable(GL_LIGHTING);
    gl.glLoadIdentity();
    gl.glColor3f(0, 0, 0);
    gl.glBegin(GL_QUADS);
    gl.glVertex3f(-20, -20, -11);
    gl.glVertex3f(20, -20, -11);
    gl.glVertex3f(20, 20, -11);
    gl.glVertex3f(-20, 20, -11);
    gl.glEnd();
    gl.glEnable(GL_LIGHTING);
    gl.glEnable(GL_TEXTURE_2D);
    uint8_t rgb[3];
    gl.glReadPixels(320, 240, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, rgb);
    for (uint8_t channel : rgb) EXPECT_NEAR(channel, 255 * 255 / 265.0, 1.0) << "about 0.962, never full white";

    // Density 0 leaves the museum as it is without fog; density 1 does not.
    gl.glFogf(GL_FOG_DENSITY, 0.0f);
    drawOneFrame();
    std::vector<uint8_t> densityZero = readFrame();
    gl.glDisable(GL_FOG);
    drawOneFrame();
    EXPECT_TRUE(readFrame() == densityZero);
    gl.glEnable(GL_FOG);
    gl.glFogf(GL_FOG_DENSITY, 1.0f);
    drawOneFrame();
    EXPECT_FALSE(readFrame() == densityZero);
}

TEST_F(Drawing, DecalTexturesIgnoreTheCurrentColour)
{
    start();
    // The colours an exhibit may leave current, alpha 1 as every model leaves it.
    gl.glColor4f(0.4f, 0.4f, 0.4f, 1.0f);
    drawOneFrame();
    std::vector<uint8_t> grey = readFrame();
    gl.glColor4f(1.0f, 0.0f, 0.0f, 1.0f);
    drawOneFrame();
    EXPECT_TRUE(readFrame() == grey);
}

// The wall faces of the plan: a wall block beside an open cell, with the side
// of the face's plane the open cell lies on.
struct WallFace {
    bool alongRow;   // plane z = const (else x = const)
    float plane;
    int openSide;    // +1: the open cell lies on the side of larger coordinates
};

std::vector<WallFace> wallFaces()
{
    std::vector<WallFace> faces;
    auto open = [](int r, int c) {
        return r >= 0 && r < kPlanRows && c >= 0 && c < kPlanColumns && wallMap[planIndex(r, c)] == kOpenCell;
    };
    for (int r = 0; r < kPlanRows; ++r)
        for (int c = 0; c < kPlanColumns; ++c) {
            if (wallMap[planIndex(r, c)] != kWallBlock) continue;
            if (open(r - 1, c)) faces.push_back({true, float(r), -1});
            if (open(r + 1, c)) faces.push_back({true, float(r + 1), +1});
            if (open(r, c - 1)) faces.push_back({false, float(c), -1});
            if (open(r, c + 1)) faces.push_back({false, float(c + 1), +1});
        }
    return faces;
}

TEST_F(Drawing, WallFacesBehindTheEyeAreNotSent)
{
    start();
    Museum& museum = *saverRun.museum;
    const std::vector<WallFace> faces = wallFaces();
    // A corridor cell (row 9, column 4) and a room cell (row 3, column 10).
    const float eyes[][2] = {{4.5f, 9.5f}, {10.5f, 3.5f}};
    for (const auto& eye : eyes) {
        museum.camera.eye[0] = eye[0];
        museum.camera.eye[2] = eye[1];
        std::vector<Polygon> polygons = feedbackPolygons([&] {
            drawArchitecture(museum, museumTextures.wallTextures, museumTextures.floorTextures,
                             museumTextures.ceilingTextures);
        });

        std::vector<Polygon> walls, floors, ceilings;
        for (const Polygon& polygon : polygons) {
            bool allFloor = true, allCeiling = true;
            for (const WorldPoint& p : polygon) {
                allFloor = allFloor && std::fabs(p[1]) < 1e-3f;
                allCeiling = allCeiling && std::fabs(p[1] + 1) < 1e-3f;
            }
            (allFloor ? floors : allCeiling ? ceilings : walls).push_back(polygon);
        }
        EXPECT_EQ(quadsIn(floors), 265);
        EXPECT_EQ(quadsIn(ceilings), 265);

        // Every wall sent is counter-clockwise seen from the eye ...
        const WorldPoint eyePoint{eye[0], -0.5f, eye[1]};
        for (const Polygon& wall : walls) {
            WorldPoint a, b, toEye;
            for (int k = 0; k < 3; ++k) {
                a[k] = wall[1][k] - wall[0][k];
                b[k] = wall[2][k] - wall[0][k];
                toEye[k] = eyePoint[k] - wall[0][k];
            }
            WorldPoint normal{a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
            EXPECT_GT(normal[0] * toEye[0] + normal[1] * toEye[1] + normal[2] * toEye[2], 0.0f)
                << "a wall sent that faces away from the eye, at " << wall[0][0] << ", " << wall[0][2];
        }
        // ... and exactly the faces whose open side the eye is on are sent.
        int facing = 0;
        for (const WallFace& face : faces) {
            float eyeCoordinate = face.alongRow ? eye[1] : eye[0];
            facing += (eyeCoordinate - face.plane) * face.openSide > 0;
        }
        EXPECT_EQ(quadsIn(walls), facing);
        EXPECT_LT(facing, static_cast<int>(faces.size()));
    }
}

TEST_F(Drawing, HalfSizeDisplayOn640x480DrawsInto320x240)
{
    settings.displaySizeId = 705;
    settings.displayScale = displayScaleFor(705);
    start();
    runPass();
    std::vector<uint8_t> frame = readFrame();
    int left = 640, right = -1, bottom = 480, top = -1;
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) {
            const uint8_t* p = &frame[(y * 640 + x) * 3];
            if (p[0] == 0 && p[1] == 0 && p[2] == 0) continue;
            left = std::min(left, x), right = std::max(right, x);
            bottom = std::min(bottom, y), top = std::max(top, y);
        }
    EXPECT_EQ(left, 160);
    EXPECT_EQ(right, 479);
    EXPECT_EQ(bottom, 120);
    EXPECT_EQ(top, 359);
}

TEST_F(Drawing, SculpturesTakeVariantsZeroOneTwoInRowOrder)
{
    start();
    const ObjectSet& set = *saverRun.objectSet;
    // Four sculptures along row 3 and nothing else.
    resetWalkMap();
    const int columns[4] = {9, 11, 13, 15};
    for (int c : columns) walkMap[planIndex(3, c)] = kSculpture;

    std::map<int, double> quadsPerCell;
    for (const Polygon& polygon : feedbackPolygons([&] { drawObjects(set); }))
        quadsPerCell[static_cast<int>(std::floor(polygon[0][0]))] += (polygon.size() - 2) / 2.0;
    double variantQuads[3];
    for (int variant = 0; variant < 3; ++variant)
        variantQuads[variant] = quadsIn(feedbackPolygons([&] { drawSculpture(set, 9.5f, 3.5f, variant); }));

    EXPECT_NE(variantQuads[0], variantQuads[1]);
    EXPECT_NE(variantQuads[1], variantQuads[2]);
    EXPECT_NE(variantQuads[0], variantQuads[2]);
    for (int k = 0; k < 4; ++k) EXPECT_EQ(quadsPerCell[columns[k]], variantQuads[k % 3]) << "sculpture " << k;
}

} // namespace

namespace {

// A 24-bit BMP of one colour (8 x 6, rows of 24 bytes need no padding).
std::string plainBMP(uint8_t red, uint8_t green, uint8_t blue)
{
    auto le32 = [](uint32_t v) {
        std::string bytes(4, '\0');
        for (int i = 0; i < 4; ++i) bytes[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
        return bytes;
    };
    std::string pixels;
    for (int i = 0; i < 8 * 6; ++i) pixels += {static_cast<char>(blue), static_cast<char>(green), static_cast<char>(red)};
    return std::string("BM") + le32(14 + 40 + 144) + le32(0) + le32(54) + le32(40) + le32(8) + le32(6) +
           std::string("\x01\x00\x18\x00", 4) + le32(0) + le32(144) + le32(2835) + le32(2835) + le32(0) + le32(0) +
           pixels;
}

TEST_F(Drawing, APhotoHangsInsideItsMatAndFrame)
{
    TempDir photos;
    writeBytes(photos.file("blue.bmp"), plainBMP(0, 0, 255));
    settings.pictures[0] = photos.file("blue.bmp");
    settings.fogEnabled = 0;
    start();
    Museum& museum = *saverRun.museum;
    finishPictureLoading(museum);
    ASSERT_NE(museum.frameStyle[0], 0);

    // Stand half a cell in front of slot 0 and look straight at it.
    float centre[3] = {}, across[3], down[3];
    for (int i = 0; i < 4; ++i) {
        centre[0] += museum.cornerX[i] / 4, centre[1] += museum.cornerY[i] / 4, centre[2] += museum.cornerZ[i] / 4;
    }
    across[0] = museum.cornerX[0] - museum.cornerX[1], across[2] = museum.cornerZ[0] - museum.cornerZ[1];
    down[0] = 0, down[1] = 1, down[2] = 0;
    const float out[3] = {down[1] * across[2] / 0.6f, 0, -down[1] * across[0] / 0.6f};   // down x across: into the room
    for (int k = 0; k < 3; ++k) {
        museum.camera.eye[k] = centre[k] + 0.48f * out[k];
        museum.camera.lookTarget[k] = centre[k] - 100.0f * out[k];
    }
    auto isPhoto = [](const uint8_t* p) { return p[0] < 40 && p[1] < 40 && p[2] > 200; };
    auto isMat = [](const uint8_t* p) {
        for (int k = 0; k < 3; ++k)
            if (std::abs(p[k] - kMatColour[k]) > 40) return false;
        return true;
    };
    for (int style = 1; style <= kFrameStyles; ++style) {
        rehangSlot(museum, 0, museum.pictureTexture[0], museum.photoAspect[0], style);
        drawOneFrame();
        const std::vector<uint8_t> frame = readFrame();
        auto pixel = [&](int x, int y) { return &frame[(y * 640 + x) * 3]; };
        ASSERT_TRUE(isPhoto(pixel(320, 240)));
        // From the middle to the right and upwards: photo, then mat, then moulding.
        const int steps[2][2] = {{1, 0}, {0, 1}};
        for (const auto& step : steps) {
            int x = 320, y = 240;
            while (isPhoto(pixel(x, y))) x += step[0], y += step[1];
            x += step[0] * 2, y += step[1] * 2;   // the edge's filtered texels and the mat's cut edge
            int mat = 0;
            while (isMat(pixel(x, y))) x += step[0], y += step[1], ++mat;
            EXPECT_GT(mat, 5) << "a mat around the photo, style " << style;
            const uint8_t* moulding = pixel(x + step[0] * 2, y + step[1] * 2);
            EXPECT_FALSE(isMat(moulding) || isPhoto(moulding)) << "a frame around the mat, style " << style;
        }
    }
}

// Every open cell, nearest first: the frame that sends everything, in the
// order a frame sending only the cells in sight keeps for those.
VisibleCells everyCellFrom(float x, float z)
{
    VisibleCells cells;
    cells.everything = false;
    for (int i = 0; i < kPlanCells; ++i) cells.seen[i] = wallMap[i] == kOpenCell;
    keepCellsInView(ViewWedge{x, z, 0, 0, 0, 1e9}, cells);
    return cells;
}

// Pixels of the culled frame that the whole frame does not show: a colour
// more than 8 levels off the whole frame's at that pixel and at its eight
// neighbours. (Where the two frames batch their quads differently, the
// renderer may round a vertex a hair apart: a texel a level off, an edge a
// pixel over. A lost cell shows a wrong colour over a whole patch.)
int lostPixels(const std::vector<uint8_t>& whole, const std::vector<uint8_t>& culled)
{
    auto near = [](const uint8_t* a, const uint8_t* b) {
        return std::abs(a[0] - b[0]) <= 8 && std::abs(a[1] - b[1]) <= 8 && std::abs(a[2] - b[2]) <= 8;
    };
    int lost = 0;
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) {
            const uint8_t* mine = &culled[(y * 640 + x) * 3];
            bool shown = false;
            for (int dy = -1; dy <= 1 && !shown; ++dy)
                for (int dx = -1; dx <= 1 && !shown; ++dx) {
                    const int nx = x + dx, ny = y + dy;
                    shown = nx >= 0 && nx < 640 && ny >= 0 && ny < 480 && near(mine, &whole[(ny * 640 + nx) * 3]);
                }
            lost += !shown;
        }
    return lost;
}

TEST_F(Drawing, SendingOnlyWhatTheWalkCanSeeChangesNoPixel)
{
    TempDir photos;
    writeBytes(photos.file("red.bmp"), plainBMP(200, 30, 30));
    settings.pictures[1] = photos.file("red.bmp");
    settings.pictureCount = 2;
    settings.furniture = 1;
    settings.fogEnabled = 1;
    start();
    Museum& museum = *saverRun.museum;
    finishPictureLoading(museum);

    // From every open cell, at its centre or on the way to a neighbour, in
    // two directions of view; frames, pictures, exhibits and glass in play.
    int views = 0, sent = 0, all = 0, differing = 0;
    for (int i = 0; i < kPlanCells; ++i) {
        if (wallMap[i] != kOpenCell) continue;
        const int row = i / kPlanColumns, column = i % kPlanColumns;
        float x = column + 0.5f, z = row + 0.5f;
        if (i % 2 && wallMap[i + 1] == kOpenCell) x += 0.4f;
        else if (i % 2 && wallMap[i + kPlanColumns] == kOpenCell) z += 0.45f;
        for (float heading : {float(i * 37 % 360), float(i * 37 % 360 + 131)}) {
            museum.camera.eye[0] = x;
            museum.camera.eye[2] = z;
            updateLookTarget(museum, heading);
            VisibleCells seen;
            findFrameCells(museum, seen);
            gl.glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
            drawSceneSending(seen);
            gl.glFinish();
            const std::vector<uint8_t> culled = readFrame();
            const VisibleCells every = everyCellFrom(x, z);
            gl.glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
            drawSceneSending(every);
            gl.glFinish();
            const std::vector<uint8_t> whole = readFrame();
            ASSERT_EQ(lostPixels(whole, culled), 0)
                << "pixels lost from " << x << ", " << z << " looking at " << heading << " degrees";
            differing += whole != culled;
            ++views, sent += seen.count, all += every.count;
        }
    }
    EXPECT_EQ(views, 530);
    EXPECT_LT(sent * 4, all) << "most cells are out of sight from most places";
    EXPECT_LT(differing * 10, views) << "nearly every frame is the same to the last bit";
}

// The look a graphics card gets, tried on the software renderer treated as
// one: anisotropic themes, and a multisampled frame whose slanted edges come
// out in between.
TEST_F(Drawing, OnHardwareTheThemesAreAnisotropicAndTheEdgesMultisampled)
{
    displayTreatAsHardware(1);
    settings.videoMode = kScreenSizeMode;
    start();
    displayTreatAsHardware(0);
    ASSERT_EQ(displayGLSamples(), 4);
    EXPECT_GT(museumTextures.anisotropy, 1.0f) << "the most EXT_texture_filter_anisotropic offers";
    GLint samples = 0, multisampled = 0;
    gl.glGetIntegerv(GL_SAMPLES, &samples);
    gl.glGetIntegerv(GL_FRAMEBUFFER_BINDING, &multisampled);
    EXPECT_EQ(samples, 4) << "the frame is drawn into the multisampled buffer";

    gl.glClearColor(0, 0, 0, 0);
    gl.glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    gl.glDisable(GL_TEXTURE_2D);
    gl.glDisable(GL_LIGHTING);
    gl.glDisable(GL_FOG);
    gl.glMatrixMode(GL_PROJECTION);
    gl.glLoadIdentity();
    gl.glMatrixMode(GL_MODELVIEW);
    gl.glLoadIdentity();
    gl.glColor3f(1, 1, 1);
    gl.glBegin(GL_TRIANGLES);
    gl.glVertex3f(-0.9f, -0.9f, 0);
    gl.glVertex3f(0.9f, -0.5f, 0);
    gl.glVertex3f(0.1f, 0.9f, 0);
    gl.glEnd();

    const int width = saverRun.screenWidth, height = saverRun.screenHeight;
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 3);
    ASSERT_EQ(displayReadFrame(pixels.data()), 1);
    int white = 0, between = 0;
    for (size_t p = 0; p < pixels.size(); p += 3) {
        white += pixels[p] == 255;
        between += pixels[p] > 0 && pixels[p] < 255;
    }
    EXPECT_GT(white, width * height / 4);
    EXPECT_GT(between, (width + height) / 2) << "the three edges are smoothed along their length";

    // The run's own present resolves and shows it, with no error on the way.
    gl.glEnable(GL_TEXTURE_2D);
    gl.glEnable(GL_LIGHTING);
    setUpScene();
    runPass();
    runPass();
    EXPECT_EQ(gl.glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    gl.glGetIntegerv(GL_FRAMEBUFFER_BINDING, &samples);
    EXPECT_EQ(samples, multisampled) << "the program draws into the multisampled frame again";
}

TEST_F(Drawing, OurCubeAndSphereArePixelForPixelGlutsOwn)
{
    // Lit, close up and turned, so every face, normal and strip shows; the
    // freeglut of the test machine draws the same shapes as the reference.
    start();
    int argc = 1;
    char name[] = "shapes";
    char* argv[] = {name, nullptr};
    glutInit(&argc, argv);
    auto drawWith = [&](bool ours) {
        gl.glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        gl.glDisable(GL_TEXTURE_2D);
        gl.glEnable(GL_LIGHTING);
        gl.glLoadIdentity();
        gl.glTranslatef(-0.12f, 0, -0.5f);
        gl.glRotatef(33, 1, 0.4f, 0.2f);
        if (ours) solidCube(0.1); else glutSolidCube(0.1);
        gl.glLoadIdentity();
        gl.glTranslatef(0.12f, 0, -0.5f);
        gl.glRotatef(71, 0.3f, 1, 0);
        if (ours) solidSphere(0.1, 10, 10); else glutSolidSphere(0.1, 10, 10);
        gl.glFinish();
        return readFrame();
    };
    std::vector<uint8_t> ours = drawWith(true);
    std::vector<uint8_t> glut = drawWith(false);
    glutExit();
    size_t lit = 0;
    for (size_t i = 0; i < ours.size(); ++i) lit += ours[i] != 0;
    EXPECT_GT(lit, 3000u) << "the shapes fill part of the frame";
    EXPECT_TRUE(ours == glut);
}

} // namespace
