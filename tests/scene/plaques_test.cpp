// Plaques on real OpenGL at the screen's own size: read back from the screen
// by OCR from the nearest point of the walk, and absent where they do not belong.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cctype>
#include <cmath>
#include <cstdio>
#include <string>

#include "kgl/glbind.h"
#include "kgl/modes.h"
#include "platform/display.h"
#include "plaques/plaques.h"
#include "scene/frames.h"
#include "settings/settings.h"
#include "shell/run_state.h"
#include "tests/scene/scene_fixture.h"
#include "world/museum.h"
#include "world/textures.h"

namespace {

std::string be(uint32_t value, int bytes)
{
    std::string out;
    for (int i = bytes - 1; i >= 0; --i) out += static_cast<char>(value >> (8 * i) & 255);
    return out;
}

// A grey photo whose EXIF block says when it was taken.
void writeDatedPhoto(const std::string& path, const std::string& date)
{
    ASSERT_EQ(runCommand("convert -size 800x600 xc:'gray(120)' '" + path + "'"), 0);
    const std::string when = date + '\0';
    // The first directory points to the EXIF one, which holds DateTimeOriginal.
    std::string tiff = "MM" + be(42, 2) + be(8, 4);
    tiff += be(1, 2) + be(0x8769, 2) + be(4, 2) + be(1, 4) + be(26, 4) + be(0, 4);
    tiff += be(1, 2) + be(0x9003, 2) + be(2, 2) + be(static_cast<uint32_t>(when.size()), 4) + be(44, 4) + be(0, 4);
    tiff += when;
    const std::string block = std::string("Exif\0\0", 6) + tiff;
    std::string bytes = readBytes(path);
    bytes.insert(2, std::string("\xFF\xE1", 2) + be(static_cast<uint32_t>(block.size() + 2), 2) + block);
    writeBytes(path, bytes);
}

// A run on a 1920 x 1080 screen of its own, in the "Screen size" mode. The
// server serves the whole suite: a display connection of a finished run may
// outlive it, and must not lose its server while the program runs.
class PlaqueRun : public SceneRun {
protected:
    static void SetUpTestSuite()
    {
        SceneRun::SetUpTestSuite();
        screen = new VirtualScreens({"1920x1080"});
    }
    static void TearDownTestSuite()
    {
        // The desktop's answer keeps its display connection; asked again on
        // the suite's first display, it lets go of this server's first.
        displayDesktopSize(nullptr, nullptr);
        delete screen;
        screen = nullptr;
        SceneRun::TearDownTestSuite();
    }
    void SetUp() override
    {
        ASSERT_FALSE(screen->name().empty()) << "Xvfb did not start";
        if (const char* old = getenv("DISPLAY")) oldDisplay = old;
        setenv("DISPLAY", screen->name().c_str(), 1);
        SceneRun::SetUp();
        settings.videoMode = kScreenSizeMode;
    }
    void TearDown() override
    {
        SceneRun::TearDown();
        setenv("DISPLAY", oldDisplay.c_str(), 1);
    }
    static VirtualScreens* screen;
    std::string oldDisplay;
};
VirtualScreens* PlaqueRun::screen = nullptr;

// Stands at the cell centre before slot s, looking squarely at its wall.
void faceSlot(Museum& museum, int s)
{
    const float* x = museum.cornerX + s * 4;
    const float* z = museum.cornerZ + s * 4;
    const float normalX = z[0] - z[1], normalZ = x[1] - x[0];
    const float length = std::sqrt(normalX * normalX + normalZ * normalZ);
    // The slot floats 0.02 before the wall; the walk keeps half a cell from it.
    museum.camera.eye[0] = (x[0] + x[2]) * 0.5f + normalX / length * 0.48f;
    museum.camera.eye[2] = (z[0] + z[2]) * 0.5f + normalZ / length * 0.48f;
    museum.camera.heading = std::atan2(normalX, normalZ) * 180.0f / 3.14f;
    updateLookTarget(museum, museum.camera.heading);
}

// Where the plaque of slot s lies on the screen: its bounding box in window
// pixels (x0, y0 lower left, x1, y1 upper right) under the matrices of the frame just drawn.
void plaqueOnScreen(const Museum& museum, int s, double box[4])
{
    float corners[4][3];
    plaqueCorners(museum, s, corners);
    GLdouble model[16], projection[16];
    GLint viewport[4];
    gl.glGetDoublev(GL_MODELVIEW_MATRIX, model);
    gl.glGetDoublev(GL_PROJECTION_MATRIX, projection);
    gl.glGetIntegerv(GL_VIEWPORT, viewport);
    box[0] = box[1] = 1e9, box[2] = box[3] = -1e9;
    for (const float* corner : corners) {
        GLdouble wx, wy, wz;
        gl.gluProject(corner[0], corner[1], corner[2], model, projection, viewport, &wx, &wy, &wz);
        box[0] = std::min(box[0], wx), box[1] = std::min(box[1], wy);
        box[2] = std::max(box[2], wx), box[3] = std::max(box[3], wy);
    }
}

} // namespace

TEST_F(PlaqueRun, APlaqueReadsBackFromTheScreenAtTheNearestPointOfTheWalk)
{
    ScopedEnv locale("LC_ALL", "C");   // the date as 2019-06-14
    const std::string photo = windows->file("Harbour_at_Dawn.jpg");
    writeDatedPhoto(photo, "2019:06:14 09:30:00");
    settings.pictures[0] = photo;
    start();
    ASSERT_EQ(saverRun.screenWidth, 1920);
    finishPictureLoading(*saverRun.museum);
    Museum& museum = *saverRun.museum;
    ASSERT_NE(museum.plaque[0].texture, 0u);
    faceSlot(museum, 0);
    drawOneFrame();

    double box[4];
    plaqueOnScreen(museum, 0, box);
    // The title's type size from here, in pixels to the em.
    const double pixelsPerUnit = (box[3] - box[1]) / museum.plaque[0].height;
    EXPECT_GE(kPlaqueTitleSize * pixelsPerUnit, 24.0);

    // The card without its edge, top row first.
    const int x0 = std::max(0, static_cast<int>(box[0]) + 3), y0 = std::max(0, static_cast<int>(box[1]) + 3);
    const int x1 = std::min(1920, static_cast<int>(box[2]) - 3), y1 = std::min(1080, static_cast<int>(box[3]) - 3);
    ASSERT_GT(x1 - x0, 100);
    ASSERT_GT(y1 - y0, 30);
    std::vector<uint8_t> rgb(static_cast<size_t>(x1 - x0) * (y1 - y0) * 3);
    gl.glPixelStorei(GL_PACK_ALIGNMENT, 1);
    gl.glReadPixels(x0, y0, x1 - x0, y1 - y0, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    std::string image = "P6\n" + std::to_string(x1 - x0) + " " + std::to_string(y1 - y0) + "\n255\n";
    for (int y = y1 - y0 - 1; y >= 0; --y)
        image.append(reinterpret_cast<const char*>(&rgb[static_cast<size_t>(y) * (x1 - x0) * 3]), (x1 - x0) * 3);
    writeBytes(windows->file("plaque.ppm"), image);

    std::string text;
    ASSERT_EQ(runCommand("tesseract '" + windows->file("plaque.ppm") + "' stdout --psm 6 2>/dev/null", &text), 0);
    // The title wraps where the card's room ends: its lines read as one.
    std::string words;
    for (char c : text)
        if (!std::isspace(static_cast<unsigned char>(c)) || (!words.empty() && words.back() != ' '))
            words += std::isspace(static_cast<unsigned char>(c)) ? ' ' : c;
    EXPECT_NE(words.find("Harbour at Dawn 2019-06-14"), std::string::npos) << text;
}

namespace {

// Two plain pictures, one named by a person and one by a camera (no date).
void listTwoPictures(const TempDir& dir)
{
    const std::string named = dir.file("Harbour_at_Dawn.png"), camera = dir.file("IMG_4711.png");
    ASSERT_EQ(runCommand("convert -size 64x48 xc:gray '" + named + "' && cp '" + named + "' '" + camera + "'"), 0);
    settings.pictures[0] = named;
    settings.pictures[1] = camera;
    settings.pictureCount = 2;
}

int slotsWithPlaques(const Museum& museum)
{
    int count = 0;
    for (int s = 0; s < kPictureSlots; ++s) count += museum.plaque[s].texture != 0;
    return count;
}

} // namespace

TEST_F(PlaqueRun, ACameraFileNameWithoutADateGetsNoPlaque)
{
    listTwoPictures(*windows);
    start();
    finishPictureLoading(*saverRun.museum);
    EXPECT_NE(museumTextures.picturePlaques[0].texture, 0u);
    EXPECT_EQ(museumTextures.picturePlaques[1].texture, 0u);
    EXPECT_EQ(slotsWithPlaques(*saverRun.museum), kPictureSlots / 2);
}

TEST_F(PlaqueRun, TheSettingTurnsThemOff)
{
    listTwoPictures(*windows);
    settings.plaques = 0;
    start();
    finishPictureLoading(*saverRun.museum);
    EXPECT_EQ(slotsWithPlaques(*saverRun.museum), 0);
}

using ClassicRun = SceneRun;

TEST_F(ClassicRun, TheClassicModesKeepTheirLookWithoutPlaques)
{
    listTwoPictures(*windows);
    start();
    finishPictureLoading(*saverRun.museum);
    EXPECT_EQ(slotsWithPlaques(*saverRun.museum), 0);
}
