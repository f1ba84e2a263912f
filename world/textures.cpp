// Reading the theme textures and handing them to OpenGL.
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
    uint32_t name = newBoundTexture(TextureLook::Tiled);
    gl.glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, width, height, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels);
    return name;
}

} // namespace

uint32_t newBoundTexture(TextureLook look)
{
    const bool tiled = look == TextureLook::Tiled;
    GLuint name = 0;
    gl.glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    gl.glGenTextures(1, &name);
    gl.glBindTexture(GL_TEXTURE_2D, name);
    // A picture is clamped, so the linear filter never blends in the opposite edge.
    gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, tiled ? GL_REPEAT : GL_CLAMP_TO_EDGE);
    gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, tiled ? GL_REPEAT : GL_CLAMP_TO_EDGE);
    gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, tiled ? GL_NEAREST : GL_LINEAR);
    gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, tiled ? GL_NEAREST : GL_LINEAR_MIPMAP_LINEAR);
    return name;
}

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
