// The bundled artwork the build paints: every theme texture, the default
// picture and the password prompt pictures, as the saver will read them.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "gallery/gallery.h"
#include "tests/support/test_support.h"
#include "world/themes.h"

namespace {

// A 24-bit BMP as the test reads it: rows top first, three bytes per pixel (b, g, r).
struct Picture {
    int width = 0, height = 0, bits = 0;
    std::vector<uint8_t> pixels;
    int luminance(int x, int y) const
    {
        const uint8_t* p = &pixels[(size_t(y) * width + x) * 3];
        return (p[0] * 11 + p[1] * 59 + p[2] * 30) / 100;
    }
    int channel(int x, int y, int c) const { return pixels[(size_t(y) * width + x) * 3 + c]; }
};

uint32_t le(const std::string& bytes, size_t at, int size)
{
    uint32_t v = 0;
    for (int i = size - 1; i >= 0; --i) v = v << 8 | uint8_t(bytes[at + i]);
    return v;
}

// Checks the headers the saver's reader relies on and returns the pixels.
Picture readPicture(const std::string& path)
{
    Picture picture;
    const std::string bytes = readBytes(path);
    EXPECT_GE(bytes.size(), 54u) << path;
    if (bytes.size() < 54 || bytes.compare(0, 2, "BM") != 0) {
        ADD_FAILURE() << path << " is not a BMP file";
        return picture;
    }
    EXPECT_EQ(le(bytes, 2, 4), bytes.size()) << path;
    EXPECT_EQ(le(bytes, 14, 4), 40u) << path;
    EXPECT_EQ(le(bytes, 30, 4), 0u) << "uncompressed: " << path;
    picture.width = int(le(bytes, 18, 4));
    picture.height = int(le(bytes, 22, 4));
    picture.bits = int(le(bytes, 28, 2));
    const size_t offset = le(bytes, 10, 4);
    const size_t rowBytes = (size_t(picture.width) * 3 + 3) & ~size_t(3);
    if (picture.bits != 24 || picture.width <= 0 || picture.height <= 0 ||
        offset + rowBytes * picture.height > bytes.size()) {
        ADD_FAILURE() << path << ": " << picture.width << " x " << picture.height << " x " << picture.bits;
        return picture;
    }
    picture.pixels.resize(size_t(picture.width) * picture.height * 3);
    for (int y = 0; y < picture.height; ++y) {
        const size_t from = offset + rowBytes * size_t(picture.height - 1 - y);
        std::copy(bytes.begin() + long(from), bytes.begin() + long(from + picture.width * 3),
                  picture.pixels.begin() + long(size_t(y) * picture.width * 3));
    }
    return picture;
}

std::string dataDir() { return binaryDir() + "/data/Brevane"; }

bool isPowerOfTwo(int v) { return v > 0 && (v & (v - 1)) == 0; }

// Mean colour difference between two columns (or rows) of a picture.
double columnDistance(const Picture& p, int a, int b)
{
    double sum = 0;
    for (int y = 0; y < p.height; ++y)
        for (int c = 0; c < 3; ++c) sum += std::abs(p.channel(a, y, c) - p.channel(b, y, c));
    return sum / p.height;
}

double rowDistance(const Picture& p, int a, int b)
{
    double sum = 0;
    for (int x = 0; x < p.width; ++x)
        for (int c = 0; c < 3; ++c) sum += std::abs(p.channel(x, a, c) - p.channel(x, b, c));
    return sum / p.width;
}

std::set<std::string> themeFiles()
{
    std::set<std::string> files;
    for (const MuseumTheme& theme : museumThemes)
        for (const char* name : {theme.floorTexture1, theme.floorTexture2, theme.ceilingTexture, theme.wallTexture})
            files.insert(name);
    return files;
}

}  // namespace

TEST(Artwork, EveryThemeTextureIsASeamlessPowerOfTwoBmp)
{
    for (const std::string& name : themeFiles()) {
        SCOPED_TRACE(name);
        const Picture texture = readPicture(dataDir() + "/graphics/" + name);
        if (texture.pixels.empty()) continue;
        EXPECT_TRUE(isPowerOfTwo(texture.width) && isPowerOfTwo(texture.height));
        EXPECT_GE(texture.width, 64);

        // Not a flat colour: the texture shows something.
        std::set<int> tones;
        for (int y = 0; y < texture.height; y += 3)
            for (int x = 0; x < texture.width; x += 3) tones.insert(texture.luminance(x, y) / 8);
        EXPECT_GE(tones.size(), 4u);

        // Each face shows one whole copy, so the edges must meet like the
        // neighbouring columns and rows inside do.
        double inside = 0;
        for (int x = 0; x + 1 < texture.width; ++x) inside = std::max(inside, columnDistance(texture, x, x + 1));
        EXPECT_LE(columnDistance(texture, texture.width - 1, 0), inside * 1.05 + 1);
        inside = 0;
        for (int y = 0; y + 1 < texture.height; ++y) inside = std::max(inside, rowDistance(texture, y, y + 1));
        EXPECT_LE(rowDistance(texture, texture.height - 1, 0), inside * 1.05 + 1);
    }
}

// The detailed copy of each texture: 1024 x 1024, the same design (averaged
// down to the classic size it shows the classic colours), and as seamless.
TEST(Artwork, EveryThemeTextureHasADetailedJpegOfTheSameDesign)
{
    for (const std::string& name : themeFiles()) {
        SCOPED_TRACE(name);
        const Picture classic = readPicture(dataDir() + "/graphics/" + name);
        std::string jpeg = detailedTexturePath(name.c_str());
        jpeg.replace(0, std::string("Brevane\\graphics\\").size(), dataDir() + "/graphics/");
        GalleryImage image;
        const uint8_t black[3] = {0, 0, 0};
        ASSERT_EQ(decodeGalleryPicture(jpeg, 0, black, image, nullptr), 0) << jpeg;
        ASSERT_EQ(image.width, 1024);
        ASSERT_EQ(image.height, 1024);
        ASSERT_FALSE(classic.pixels.empty());

        // In the classic's own pixel order (blue, green, red), top row first.
        Picture detailed;
        detailed.width = detailed.height = 1024;
        detailed.pixels.resize(image.rgb.size());
        for (size_t i = 0; i < image.rgb.size(); i += 3)
            for (int c = 0; c < 3; ++c) detailed.pixels[i + c] = image.rgb[i + 2 - c];

        const int block = 1024 / classic.width;
        double difference = 0;
        for (int y = 0; y < classic.height; ++y)
            for (int x = 0; x < classic.width; ++x)
                for (int c = 0; c < 3; ++c) {
                    double sum = 0;
                    for (int dy = 0; dy < block; ++dy)
                        for (int dx = 0; dx < block; ++dx) sum += detailed.channel(x * block + dx, y * block + dy, c);
                    difference += std::abs(sum / (block * block) - classic.channel(x, y, c));
                }
        EXPECT_LE(difference / (classic.width * classic.height * 3.0), 12.0) << "the same design, the same colours";

        double inside = 0;
        for (int x = 0; x + 1 < 1024; ++x) inside = std::max(inside, columnDistance(detailed, x, x + 1));
        EXPECT_LE(columnDistance(detailed, 1023, 0), inside * 1.05 + 2);
        inside = 0;
        for (int y = 0; y + 1 < 1024; ++y) inside = std::max(inside, rowDistance(detailed, y, y + 1));
        EXPECT_LE(rowDistance(detailed, 1023, 0), inside * 1.05 + 2);
    }
}

TEST(Artwork, DefaultPicture)
{
    const Picture picture = readPicture(dataDir() + "/graphics/Default1.bmp");
    ASSERT_FALSE(picture.pixels.empty());
    EXPECT_GE(picture.width, 128);
    EXPECT_GE(picture.height, 96);
    std::set<int> colours;
    for (int y = 0; y < picture.height; y += 2)
        for (int x = 0; x < picture.width; x += 2)
            colours.insert(picture.channel(x, y, 0) / 16 * 256 + picture.channel(x, y, 1) / 16 * 16 +
                           picture.channel(x, y, 2) / 16);
    EXPECT_GE(colours.size(), 40u) << "a picture, not a test card";
}

TEST(Artwork, PasswordPromptsHoldTheDotLine)
{
    const struct { const char* file; int scale, width, height; } prompts[] = {
        {"pass.pag", 1, 184, 36},
        {"pass2x.pag", 2, 370, 72},
    };
    for (const auto& prompt : prompts) {
        SCOPED_TRACE(prompt.file);
        const Picture picture = readPicture(dataDir() + "/" + prompt.file);
        ASSERT_EQ(picture.width, prompt.width);
        ASSERT_EQ(picture.height, prompt.height);
        const int s = prompt.scale;

        // Every pixel a dot can cover (43 dots of radius s, from 8 s right of
        // the left edge, 4 s apart, s below the middle row) is light, and so
        // is a margin round them, so black dots stand out.
        const int line = prompt.height / 2 + s;
        for (int i = 0; i < 43; ++i)
            for (int dy = -2 * s; dy <= 2 * s; ++dy)
                for (int dx = -2 * s; dx <= 2 * s; ++dx)
                    ASSERT_GE(picture.luminance(8 * s + 4 * s * i + dx, line + dy), 200)
                        << "dot " << i << " at " << dx << "," << dy;

        // The label above the field: light letters on a dark ground.
        int letters = 0, ground = 0;
        for (int y = s; y < line - 7 * s; ++y)
            for (int x = s; x < 70 * s; ++x) {
                const int l = picture.luminance(x, y);
                letters += l > 200;
                ground += l < 110;
            }
        EXPECT_GE(letters, 60 * s * s);
        EXPECT_GE(ground, 4 * letters);
    }
}

TEST(Artwork, GeneratorIsDeterministicAndReportsAFolderItCannotWrite)
{
    TempDir dir;
    const std::string generator = binaryDir() + "/bin/vellamir_artwork";
    ASSERT_EQ(runCommand("'" + generator + "' '" + dir.path() + "/Brevane'"), 0);
    for (const std::string& name : themeFiles()) {
        EXPECT_EQ(readBytes(dir.path() + "/Brevane/graphics/" + name), readBytes(dataDir() + "/graphics/" + name))
            << name;
        const std::string jpeg = name.substr(0, name.rfind('.')) + ".jpg";
        EXPECT_EQ(readBytes(dir.path() + "/Brevane/graphics/" + jpeg), readBytes(dataDir() + "/graphics/" + jpeg))
            << jpeg;
    }
    for (const char* name : {"graphics/Default1.bmp", "pass.pag", "pass2x.pag"})
        EXPECT_EQ(readBytes(dir.path() + "/Brevane/" + name), readBytes(dataDir() + "/" + name)) << name;

    writeBytes(dir.file("plain"), "not a folder");
    std::string output;
    EXPECT_EQ(runCommand("'" + generator + "' '" + dir.file("plain") + "/Brevane' 2>&1", &output), 1);
    EXPECT_NE(output.find("cannot create"), std::string::npos) << output;
    EXPECT_EQ(runCommand("'" + generator + "' 2>/dev/null"), 2);
}

TEST(Artwork, InstallDataCopiesIntoTheWindowsDirectory)
{
    TempDir windows;
    const std::string script = sourceDir() + "/scripts/install-data";
    // The script installs from the build folder of its own tree.
    if (binaryDir() != sourceDir() + "/build") GTEST_SKIP() << "the build is not in the source tree's build/";
    ASSERT_EQ(runCommand("WINDIR='" + windows.path() + "' '" + script + "' >/dev/null"), 0);
    for (const std::string& name : themeFiles())
        EXPECT_EQ(readBytes(windows.path() + "/Brevane/graphics/" + name), readBytes(dataDir() + "/graphics/" + name))
            << name;
    EXPECT_FALSE(readBytes(windows.path() + "/Brevane/graphics/Default1.bmp").empty());
    EXPECT_FALSE(readBytes(windows.path() + "/Brevane/pass.pag").empty());
    EXPECT_FALSE(readBytes(windows.path() + "/Brevane/pass2x.pag").empty());
}
