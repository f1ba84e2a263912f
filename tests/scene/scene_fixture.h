// A saver run prepared as runSaver does (mode 49, 640 x 480) in a Windows
// directory holding the saver's data, on the real window and OpenGL; and the
// primitives OpenGL reports in feedback mode, mapped back to world coordinates.
#pragma once

#include <gtest/gtest.h>

#include <GL/gl.h>

#include <array>
#include <functional>
#include <vector>

#include "tests/support/test_support.h"

class SceneRun : public testing::Test {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    // Default settings, full screen, mode 49, seed 1234, walkMap as stored.
    void SetUp() override;
    void TearDown() override;

    // Prepares the run with the settings as the test has changed them.
    void start();
    // The RGB bytes of the whole 640 x 480 frame, rows from the bottom.
    std::vector<uint8_t> readFrame();
    // Clears and draws one frame of the scene from the run's camera, unpresented.
    void drawOneFrame();

    static TempDir* windows;
    bool started = false;
};

using WorldPoint = std::array<float, 3>;
using Polygon = std::vector<WorldPoint>;

// Runs draw under a parallel projection of the whole plan (x 0..21, z 0..25,
// y -1..0) that leaves every axis-aligned face an area on the screen, with
// face culling off, in feedback mode; returns the polygons OpenGL reported,
// their corners in world coordinates.
std::vector<Polygon> feedbackPolygons(const std::function<void()>& draw);
// The number of quads a set of polygons makes (a quad may come as two triangles).
double quadsIn(const std::vector<Polygon>& polygons);
