// The run's textures on real OpenGL: pixels as they reach the texture, the
// pictures' scaling and aspect ratios, and the fatal texts of missing files.
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <algorithm>
#include <set>

#include "kgl/bitmap.h"
#include "kgl/events.h"
#include "kgl/glbind.h"
#include "kgl/modes.h"
#include "platform/display.h"
#include "settings/settings.h"
#include "shell/run_state.h"
#include "shell/saver_run.h"
#include "world/museum.h"
#include "tests/scene/scene_fixture.h"
#include "world/themes.h"
#include "world/textures.h"

namespace {

std::string le32(uint32_t v)
{
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    return bytes;
}

// A 24-bit bottom-up BMP of 3 x 2 pixels: 9 bytes a row, padded to 12.
// Top row red, green, blue; bottom row white, grey, black.
std::string oddWidthBMP()
{
    const std::string bottom = std::string("\xFF\xFF\xFF\x80\x80\x80\x00\x00\x00", 9) + std::string(3, '\xEE');
    const std::string top = std::string("\x00\x00\xFF\x00\xFF\x00\xFF\x00\x00", 9) + std::string(3, '\xEE');
    std::string bmp = std::string("BM") + le32(14 + 40 + 24) + le32(0) + le32(54);
    bmp += le32(40) + le32(3) + le32(2) + std::string("\x01\x00\x18\x00", 4) + le32(0) + le32(24) + le32(2835) +
           le32(2835) + le32(0) + le32(0);
    return bmp + bottom + top;
}

const uint8_t kTopRow[9] = {255, 0, 0, 0, 255, 0, 0, 0, 255};
const uint8_t kBottomRow[9] = {255, 255, 255, 128, 128, 128, 0, 0, 0};

using Textures = SceneRun;

TEST_F(Textures, RowsOfAnyWidthArriveTopFirstInRedGreenBlue)
{
    writeBytes(windows->file("odd.bmp"), oddWidthBMP());
    settings.pictures[0] = windows->file("odd.bmp");
    settings.museumType = 30;   // past the table: a theme is still chosen from it
    start();
    EXPECT_GE(museumTextures.themeRow, 0);
    EXPECT_LT(museumTextures.themeRow, kThemeCount);

    Bitmap* bitmap = nullptr;
    uint32_t name = uploadThemeTexture("odd.bmp", &bitmap);
    ASSERT_NE(bitmap, nullptr);
    freeBitmap(bitmap);
    uint8_t texels[18] = {};
    gl.glBindTexture(GL_TEXTURE_2D, name);
    gl.glPixelStorei(GL_PACK_ALIGNMENT, 1);
    gl.glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texels);
    EXPECT_EQ(memcmp(texels, kTopRow, 9), 0) << "texture row 0 is the image's top row";
    EXPECT_EQ(memcmp(texels + 9, kBottomRow, 9), 0) << "the second row is not shifted by the padding";

    // The same image as a gallery picture: a power of two within the image
    // (2 x 2), its ratio as loaded, and the colours of its corners.
    finishPictureLoading(*saverRun.museum);
    ASSERT_EQ(museumTextures.pictureCount, 1);
    ASSERT_EQ(museumTextures.pictureStates[0], kPictureShown);
    EXPECT_FLOAT_EQ(museumTextures.pictureAspectRatios[0], 2.0f / 3.0f);
    ASSERT_EQ(museumTextures.textureWidths[0], 2);
    ASSERT_EQ(museumTextures.textureHeights[0], 2);
    uint8_t scaled[12] = {};
    gl.glBindTexture(GL_TEXTURE_2D, museumTextures.pictureTextures[0]);
    gl.glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, scaled);
    // Three columns into two: the left texel is mostly red with some green,
    // the lower right one grey mixed into black.
    EXPECT_GT(scaled[0], 128);
    EXPECT_GT(scaled[0], scaled[1]);
    EXPECT_EQ(scaled[2], 0) << "no blue: red and blue are not swapped";
    for (int k = 9; k < 12; ++k) EXPECT_LT(scaled[k], 100) << "black";
}

// The fatal exits print their box to standard error when no display can be opened.
void loadWithoutDisplay(int museumType)
{
    unsetenv("DISPLAY");
    loadOpenGL(nullptr);
    loadThemeTextures(museumType);
    loadPictureTextures();
    exit(0);
}

// A death test's child is a copy of this process made by fork: made after an
// OpenGL context started the software renderer's threads, it can hang in the
// renderer's exit handler. A suite named so runs first, before any context.
using TexturesDeathTest = SceneRun;

TEST_F(TexturesDeathTest, AMissingFileEndsTheRunNamingThatVeryFile)
{
    // "Swirled Walls": tile4, rug4, ceiling1 and swirl1, whichever is missing.
    const char* files[] = {"tile4.bmp", "rug4.bmp", "ceiling1.bmp", "swirl1.bmp"};
    const std::string graphics = windows->file("Brevane/graphics/");
    for (const char* file : files) {
        ASSERT_EQ(rename((graphics + file).c_str(), (graphics + "away.bmp").c_str()), 0);
        EXPECT_EXIT(loadWithoutDisplay(3), testing::ExitedWithCode(255),
                    std::string("KGL Fatal Error!: Fatal Error: Could not load Bitmap named Brevane\\\\graphics\\\\") +
                        file + "\n")
            << file;
        ASSERT_EQ(rename((graphics + "away.bmp").c_str(), (graphics + file).c_str()), 0);
    }
    // At the screen's own size the detailed copies are read instead, and a
    // missing one is named as plainly.
    settings.videoMode = kScreenSizeMode;
    ASSERT_EQ(rename((graphics + "rug4.jpg").c_str(), (graphics + "away.jpg").c_str()), 0);
    EXPECT_EXIT(loadWithoutDisplay(3), testing::ExitedWithCode(255),
                "Brevane\\\\graphics\\\\rug4.jpg: no such file\n(.|\n)*"
                "KGL Fatal Error!: Fatal Error: Could not load Bitmap named Brevane\\\\graphics\\\\rug4.jpg\n");
    ASSERT_EQ(rename((graphics + "away.jpg").c_str(), (graphics + "rug4.jpg").c_str()), 0);
    settings.videoMode = 49;
    // The bundled default picture is data of the saver too.
    const std::string bundled = graphics + "Default1.bmp";
    ASSERT_EQ(rename(bundled.c_str(), (graphics + "away.bmp").c_str()), 0);
    EXPECT_EXIT(loadWithoutDisplay(3), testing::ExitedWithCode(255),
                "Could not load Bitmap named .*Default1.bmp\n");
    ASSERT_EQ(rename((graphics + "away.bmp").c_str(), bundled.c_str()), 0);
}

// What a theme texture is on the OpenGL side: its size at level 0, its
// filters and wrap.
struct TextureState {
    GLint width, height, smallest, minFilter, magFilter, wrap;
};

TextureState textureState(uint32_t name)
{
    TextureState state = {};
    gl.glBindTexture(GL_TEXTURE_2D, name);
    gl.glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &state.width);
    gl.glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &state.height);
    gl.glGetTexLevelParameteriv(GL_TEXTURE_2D, 10, GL_TEXTURE_WIDTH, &state.smallest);
    gl.glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &state.minFilter);
    gl.glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &state.magFilter);
    gl.glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &state.wrap);
    return state;
}

TEST_F(Textures, AtTheScreensOwnSizeTheThemesAreDetailedMipmappedAndTrilinear)
{
    settings.videoMode = kScreenSizeMode;
    settings.museumType = 19;   // "Brick Museum": marble1, rug5, ceiling1, brick1
    start();
    ASSERT_TRUE(museumTextures.detailedThemes);
    const uint32_t names[4] = {museumTextures.floorTextures[0], museumTextures.floorTextures[1],
                               museumTextures.ceilingTextures[0], museumTextures.wallTextures[0]};
    for (uint32_t name : names) {
        const TextureState state = textureState(name);
        EXPECT_EQ(state.width, 1024);
        EXPECT_EQ(state.height, 1024);
        EXPECT_EQ(state.smallest, 1) << "mipmaps down to 1 x 1";
        EXPECT_EQ(state.minFilter, GL_LINEAR_MIPMAP_LINEAR);
        EXPECT_EQ(state.magFilter, GL_LINEAR);
        EXPECT_EQ(state.wrap, GL_REPEAT);
    }
    // Mesa's software renderer offers anisotropic filtering and multisampling,
    // but would pay for them in fill: it gets neither.
    EXPECT_EQ(displayGLSoftwareRenderer(), 1);
    EXPECT_EQ(museumTextures.anisotropy, 1.0f);
    EXPECT_EQ(displayGLSamples(), 0);
    GLint samples = -1;
    gl.glGetIntegerv(GL_SAMPLES, &samples);
    EXPECT_EQ(samples, 0);

    // "Classic textures" keeps the classic files and filters at this size too.
    settings.classicTextures = 1;
    loadThemeTextures(19);
    EXPECT_FALSE(museumTextures.detailedThemes);
    const TextureState brick = textureState(museumTextures.wallTextures[0]);
    EXPECT_EQ(brick.width, 256);
    EXPECT_EQ(brick.minFilter, GL_NEAREST);
    EXPECT_EQ(brick.magFilter, GL_NEAREST);
}

// The run's slots: which texture each shows, and whether it is framed.
std::set<uint32_t> shownTextures(const Museum& museum, int* framed)
{
    std::set<uint32_t> names;
    *framed = 0;
    for (int s = 0; s < kPictureSlots; ++s) {
        names.insert(museum.pictureTexture[s]);
        *framed += museum.frameStyle[s] != 0;
    }
    return names;
}

TEST_F(Textures, AnUnreadablePictureIsSkippedWithOneLineAndNoneReadableHangsTheDefault)
{
    writeBytes(windows->file("good.bmp"), oddWidthBMP());
    writeBytes(windows->file("damaged.bmp"), oddWidthBMP().substr(0, 40));
    settings.pictures[0] = windows->file("good.bmp");
    settings.pictures[1] = windows->file("damaged.bmp");
    settings.pictures[2] = windows->file("missing.jpg");
    settings.pictureCount = 3;
    start();
    testing::internal::CaptureStderr();
    finishPictureLoading(*saverRun.museum);
    const std::string lines = testing::internal::GetCapturedStderr();
    EXPECT_NE(lines.find("Vellamir: skipped picture \"" + settings.pictures[1] + "\": "), std::string::npos) << lines;
    EXPECT_NE(lines.find("Vellamir: skipped picture \"" + settings.pictures[2] + "\": "), std::string::npos) << lines;
    EXPECT_EQ(std::count(lines.begin(), lines.end(), '\n'), 2) << lines;
    // Every slot shows the one good picture, framed, and the run goes on.
    int framed = 0;
    EXPECT_EQ(shownTextures(*saverRun.museum, &framed), std::set<uint32_t>{museumTextures.pictureTextures[0]});
    EXPECT_EQ(framed, kPictureSlots);
    runPass();
    EXPECT_EQ(saverRun.saverState, -1);
}

TEST_F(Textures, WithNoReadablePictureTheDefaultPictureHangsUnframed)
{
    writeBytes(windows->file("empty.png"), "");
    settings.pictures[0] = windows->file("empty.png");
    start();
    testing::internal::CaptureStderr();
    finishPictureLoading(*saverRun.museum);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("skipped picture"), std::string::npos);
    int framed = 0;
    const std::set<uint32_t> names = shownTextures(*saverRun.museum, &framed);
    EXPECT_EQ(names.size(), 1u);
    EXPECT_NE(*names.begin(), 0u);
    EXPECT_EQ(framed, 0) << "the default picture paints its own frame";
}

TEST_F(Textures, APanoramaHangsInItsOwnProportionsNotItsReducedDecodes)
{
    const std::string panorama = windows->file("panorama.png");
    ASSERT_EQ(runCommand("convert -size 16000x4 gradient:red-blue '" + panorama + "'"), 0);
    settings.pictures[0] = panorama;
    start();
    finishPictureLoading(*saverRun.museum);
    ASSERT_EQ(museumTextures.pictureStates[0], kPictureShown);
    EXPECT_FLOAT_EQ(museumTextures.pictureAspectRatios[0], 4.0f / 16000.0f);
    EXPECT_FLOAT_EQ(saverRun.museum->photoAspect[0], 4.0f / 16000.0f);
}

TEST(TextureSizes, PowersOfTwoWithinTheImageAndTheBudget)
{
    // What a 4:3 photo gets at 480, 1080 and 2160 lines, alone in the list.
    const TextureSize at480 = chooseTextureSize(4000, 3000, 480, 1);
    const TextureSize at1080 = chooseTextureSize(4000, 3000, 1080, 1);
    const TextureSize at2160 = chooseTextureSize(4000, 3000, 2160, 1);
    EXPECT_EQ(at480.width, 256);
    EXPECT_EQ(at480.height, 256);
    EXPECT_EQ(at1080.width, 1024);
    EXPECT_EQ(at1080.height, 512);
    EXPECT_EQ(at2160.width, 1024);
    EXPECT_EQ(at2160.height, 1024);
    // Never more than the image, a power of two within it.
    const TextureSize small = chooseTextureSize(300, 90, 2160, 1);
    EXPECT_EQ(small.width, 256);
    EXPECT_EQ(small.height, 64);
    const TextureSize strip = chooseTextureSize(17000, 20, 2160, 1);
    EXPECT_EQ(strip.width, 1024);
    EXPECT_EQ(strip.height, 2);
    // 90 large photos stay within the budget together.
    const TextureSize many = chooseTextureSize(4000, 3000, 2160, 90);
    EXPECT_LE(90 * textureBytes(many), kPictureTextureBudget);
    EXPECT_EQ(many.width, 512);
    EXPECT_EQ(many.height, 512);
}

} // namespace
