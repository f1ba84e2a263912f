// The run's textures on real OpenGL: pixels as they reach the texture, the
// pictures' scaling and aspect ratios, and the fatal texts of missing files.
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "kgl/bitmap.h"
#include "kgl/glbind.h"
#include "settings/settings.h"
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

    // The same image as a gallery picture: 128 x 128, its ratio as loaded.
    ASSERT_EQ(museumTextures.pictureCount, 1);
    EXPECT_FLOAT_EQ(museumTextures.pictureAspectRatios[0], 2.0f / 3.0f);
    // The scaler interpolates: inside the areas of the top-left and the
    // bottom-right pixel the nearest of the six colours is theirs.
    const uint8_t* scaled = museumTextures.scaledPictures[0];
    auto nearestColour = [](const uint8_t* pixel) {
        int nearest = -1, best = 1 << 30;
        for (int i = 0; i < 6; ++i) {
            const uint8_t* colour = i < 3 ? kTopRow + i * 3 : kBottomRow + (i - 3) * 3;
            int distance = 0;
            for (int k = 0; k < 3; ++k) distance += (pixel[k] - colour[k]) * (pixel[k] - colour[k]);
            if (distance < best) best = distance, nearest = i;
        }
        return nearest;
    };
    EXPECT_EQ(nearestColour(scaled + (20 * 128 + 20) * 3), 0) << "red";
    EXPECT_EQ(nearestColour(scaled + (100 * 128 + 110) * 3), 5) << "black";
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

TEST_F(Textures, AMissingFileEndsTheRunNamingThatVeryFile)
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
    settings.pictures[0] = windows->file("no-such-picture.bmp");
    EXPECT_EXIT(loadWithoutDisplay(3), testing::ExitedWithCode(255),
                "Could not load Bitmap named " + settings.pictures[0] + "\n");
}

} // namespace
