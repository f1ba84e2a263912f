// Reading the theme textures and gallery pictures and handing them to OpenGL.
#include "world/textures.h"

#include <cstdlib>
#include <string>
#include <vector>

#include "kgl/bitmap.h"
#include "kgl/framework.h"
#include "kgl/glbind.h"
#include "platform/installed_data.h"
#include "settings/settings.h"
#include "world/themes.h"

MuseumTextures museumTextures;

namespace {

[[noreturn]] void cannotLoad(const std::string& path)
{
    fatalError(("Fatal Error: Could not load Bitmap named " + path).c_str());
}

[[noreturn]] void outOfMemory()
{
    fatalError("Fatal Error: Out of memory!");
}

// The bitmap's pixels as tightly packed red-green-blue rows. The file's rows
// are padded to a multiple of 4 bytes, while the swap, the scaler and the
// upload (unpack alignment 1) all take width * 3 bytes per row: packing
// first lets images of any width show correctly.
std::vector<uint8_t> packedRGB(const Bitmap* bitmap)
{
    std::vector<uint8_t> pixels = packedBitmapBGR(bitmap);
    if (pixels.empty()) outOfMemory();
    swapRedBlue(bitmap->width, bitmap->height, pixels.data());
    return pixels;
}

uint32_t uploadRGB(int width, int height, const uint8_t* pixels)
{
    GLuint name = 0;
    gl.glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    gl.glGenTextures(1, &name);
    gl.glBindTexture(GL_TEXTURE_2D, name);
    gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    gl.glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, width, height, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels);
    return name;
}

} // namespace

uint32_t uploadThemeTexture(const char* path, Bitmap** bitmap)
{
    // The colour table comes along: an 8-bit texture's indices mean nothing without it.
    Bitmap* loaded = readBitmapFile(path, 1);
    if (!loaded) {
        explainMissingData(windowsDirectory);
        cannotLoad(path);
    }
    std::vector<uint8_t> pixels = packedRGB(loaded);
    uint32_t name = uploadRGB(loaded->width, loaded->height, pixels.data());
    *bitmap = loaded;
    return name;
}

void loadThemeTextures(int museumType)
{
    MuseumTextures& t = museumTextures;
    int row = chooseTheme(museumType);
    // chooseTheme maps any type to a row already; a row outside the table
    // must still never be read.
    if (row < 0 || row >= kThemeCount) row = 0;
    t.themeRow = row;
    const MuseumTheme& theme = museumThemes[row];
    const char* files[4] = {theme.floorTexture1, theme.floorTexture2, theme.ceilingTexture, theme.wallTexture};
    uint32_t* names[4] = {&t.floorTextures[0], &t.floorTextures[1], &t.ceilingTextures[0], &t.wallTextures[0]};
    for (int i = 0; i < 4; ++i) {
        freeBitmap(t.themeBitmaps[i]);
        t.themeBitmaps[i] = nullptr;
        *names[i] = uploadThemeTexture(themeTexturePath(files[i]).c_str(), &t.themeBitmaps[i]);
    }
}

void loadPictureTextures()
{
    MuseumTextures& t = museumTextures;
    int count = settings.pictureCount;
    if (count < 0) count = 0;
    if (count > kMaxPictures) count = kMaxPictures;
    t.pictureCount = 0;
    // The scaler reads the rows packed, as the upload does.
    gl.glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    for (int i = 0; i < count; ++i) {
        const std::string& path = settings.pictures[i];
        Bitmap* bitmap = readBitmapFile(path.c_str(), 1);
        if (!bitmap) cannotLoad(path);
        std::vector<uint8_t> pixels = packedRGB(bitmap);
        t.pictureAspectRatios[i] = static_cast<float>(bitmap->height) / static_cast<float>(bitmap->width);

        // A second run in the same process (the tests) reuses the buffers.
        if (!t.scaledPictures[i]) t.scaledPictures[i] = static_cast<uint8_t*>(malloc(kScaledPictureBytes));
        if (!t.scaledPictures[i]) outOfMemory();
        if (gl.gluScaleImage(GL_RGB, bitmap->width, bitmap->height, GL_UNSIGNED_BYTE, pixels.data(),
                             kPictureTextureSide, kPictureTextureSide, GL_UNSIGNED_BYTE, t.scaledPictures[i]) != 0)
            fatalError(("Fatal Error: Bitmap scale operation failed! Could not scale bitmap named " + path).c_str());
        freeBitmap(bitmap);
        pixels = std::vector<uint8_t>();

        t.pictureTextures[i] = uploadRGB(kPictureTextureSide, kPictureTextureSide, t.scaledPictures[i]);
        t.pictureCount = i + 1;
    }
}
