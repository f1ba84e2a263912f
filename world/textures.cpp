// Reading the theme textures and handing them to OpenGL: the classic BMP
// files at their own size, or their detailed JPEG copies with mipmaps.
#include "world/textures.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "gallery/gallery.h"
#include "kgl/bitmap.h"
#include "kgl/framework.h"
#include "kgl/glbind.h"
#include "kgl/modes.h"
#include "platform/display.h"
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

// The OpenGL names of EXT_texture_filter_anisotropic.
constexpr GLenum kTextureMaxAnisotropy = 0x84FE;
constexpr GLenum kMaxTextureMaxAnisotropy = 0x84FF;

// Largest side of a detailed texture read; a larger file is reduced to it.
constexpr int kMostDetailedSide = 4096;

bool offersExtension(const char* name)
{
    const char* all = reinterpret_cast<const char*>(gl.glGetString(GL_EXTENSIONS));
    if (!all) return false;
    const size_t length = std::strlen(name);
    for (const char* at = std::strstr(all, name); at; at = std::strstr(at + length, name))
        if ((at == all || at[-1] == ' ') && (at[length] == ' ' || at[length] == '\0')) return true;
    return false;
}

// Level 0 and every smaller level down to 1 x 1, each texel of a level the
// average of the 2 x 2 below it. A repeating texture of even sides stays
// seamless at every level, since no average reaches across its edge.
void uploadWithMipmaps(int width, int height, std::vector<uint8_t> level)
{
    for (GLint index = 0;; ++index) {
        gl.glTexImage2D(GL_TEXTURE_2D, index, GL_RGB, width, height, 0, GL_RGB, GL_UNSIGNED_BYTE, level.data());
        if (width == 1 && height == 1) return;
        const int nextWidth = std::max(1, width / 2), nextHeight = std::max(1, height / 2);
        const int dx = width > 1 ? 1 : 0, dy = height > 1 ? 1 : 0;
        std::vector<uint8_t> next(static_cast<size_t>(nextWidth) * nextHeight * 3);
        for (int y = 0; y < nextHeight; ++y)
            for (int x = 0; x < nextWidth; ++x) {
                const uint8_t* a = &level[(static_cast<size_t>(y * (1 + dy)) * width + x * (1 + dx)) * 3];
                const uint8_t* b = a + dx * 3;
                const uint8_t* c = a + static_cast<size_t>(dy) * width * 3;
                const uint8_t* d = c + dx * 3;
                uint8_t* q = &next[(static_cast<size_t>(y) * nextWidth + x) * 3];
                for (int k = 0; k < 3; ++k) q[k] = static_cast<uint8_t>((a[k] + b[k] + c[k] + d[k] + 2) / 4);
            }
        level.swap(next);
        width = nextWidth;
        height = nextHeight;
    }
}

} // namespace

bool detailedLook()
{
    return settings.videoMode == kScreenSizeMode && settings.classicTextures != 1;
}

float themeAnisotropy()
{
    if (displayGLSoftwareRenderer() || !offersExtension("GL_EXT_texture_filter_anisotropic")) return 1.0f;
    GLfloat most = 1.0f;
    gl.glGetFloatv(kMaxTextureMaxAnisotropy, &most);
    return std::max(1.0f, most);
}

uint32_t uploadDetailedThemeTexture(const char* path, float anisotropy)
{
    static const uint8_t black[3] = {0, 0, 0};
    GalleryImage image;
    std::string why;
    if (decodeGalleryPicture(path, kMostDetailedSide, black, image, &why) != 0) {
        fprintf(stderr, "Vellamir: %s: %s\n", path, why.c_str());
        explainMissingData(windowsDirectory);
        cannotLoad(path);
    }
    uint32_t name = newBoundTexture(TextureLook::TiledSmooth);
    if (anisotropy > 1.0f) gl.glTexParameterf(GL_TEXTURE_2D, kTextureMaxAnisotropy, anisotropy);
    uploadWithMipmaps(image.width, image.height, std::move(image.rgb));
    return name;
}

uint32_t newBoundTexture(TextureLook look)
{
    const bool tiled = look != TextureLook::Smooth, nearest = look == TextureLook::Tiled;
    GLuint name = 0;
    gl.glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    gl.glGenTextures(1, &name);
    gl.glBindTexture(GL_TEXTURE_2D, name);
    // A picture is clamped, so the linear filter never blends in the opposite edge.
    gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, tiled ? GL_REPEAT : GL_CLAMP_TO_EDGE);
    gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, tiled ? GL_REPEAT : GL_CLAMP_TO_EDGE);
    gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, nearest ? GL_NEAREST : GL_LINEAR);
    gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, nearest ? GL_NEAREST : GL_LINEAR_MIPMAP_LINEAR);
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
    t.detailedThemes = detailedLook();
    t.anisotropy = t.detailedThemes ? themeAnisotropy() : 1.0f;
    for (int i = 0; i < 4; ++i) {
        freeBitmap(t.themeBitmaps[i]);
        t.themeBitmaps[i] = nullptr;
        // A theme that names one file twice shares its large texture.
        const int same = static_cast<int>(std::find_if(files, files + i, [&](const char* f) {
                                              return std::strcmp(f, files[i]) == 0;
                                          }) - files);
        if (t.detailedThemes && same < i)
            *names[i] = *names[same];
        else if (t.detailedThemes)
            *names[i] = uploadDetailedThemeTexture(detailedTexturePath(files[i]).c_str(), t.anisotropy);
        else
            *names[i] = uploadThemeTexture(themeTexturePath(files[i]).c_str(), &t.themeBitmaps[i]);
    }
}
