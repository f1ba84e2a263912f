// The picture loader on real files that ImageMagick writes for each test: the
// decoded pixels, the orientation, the size limits and the refusals.
#include <gtest/gtest.h>

#include <cstdlib>

#include "gallery/gallery.h"
#include "tests/support/test_support.h"

namespace {

const uint8_t kMat[3] = {200, 190, 170};

// The test picture: red, green, blue and yellow quadrants (top left, top
// right, bottom left, bottom right), 24 x 16.
const char* const kQuadrants =
    "-size 12x8 xc:'#FF0000' xc:'#00FF00' +append \\( -size 12x8 xc:'#0000FF' xc:'#FFFF00' +append \\) -append";

// Writes dir/name with ImageMagick; coder ("BMP3:") picks the writer's variant.
std::string convert(const TempDir& dir, const std::string& name, const std::string& arguments,
                    const std::string& coder = "")
{
    const std::string path = dir.file(name);
    EXPECT_EQ(runCommand("convert " + arguments + " " + coder + "'" + path + "'"), 0) << name;
    return path;
}

GalleryImage decode(const std::string& path, int maxSide = 4096)
{
    GalleryImage image;
    std::string why;
    EXPECT_EQ(decodeGalleryPicture(path, maxSide, kMat, image, &why), 0) << path << ": " << why;
    return image;
}

// The pixel at (x, y) is within tolerance of the colour.
::testing::AssertionResult pixelIs(const GalleryImage& image, int x, int y, uint32_t rgb, int tolerance)
{
    if (x >= image.width || y >= image.height) return ::testing::AssertionFailure() << "outside the picture";
    const uint8_t* p = &image.rgb[(static_cast<size_t>(y) * image.width + x) * 3];
    const int want[3] = {int(rgb >> 16), int(rgb >> 8 & 255), int(rgb & 255)};
    for (int c = 0; c < 3; ++c)
        if (std::abs(p[c] - want[c]) > tolerance)
            return ::testing::AssertionFailure() << "(" << x << "," << y << ") is " << int(p[0]) << "," << int(p[1])
                                                 << "," << int(p[2]);
    return ::testing::AssertionSuccess();
}

void expectQuadrants(const GalleryImage& image, const std::string& name, int tolerance = 0)
{
    const int w = image.width, h = image.height;
    EXPECT_TRUE(pixelIs(image, w / 4, h / 4, 0xFF0000, tolerance)) << name << " red";
    EXPECT_TRUE(pixelIs(image, w * 3 / 4, h / 4, 0x00FF00, tolerance)) << name << " green";
    EXPECT_TRUE(pixelIs(image, w / 4, h * 3 / 4, 0x0000FF, tolerance)) << name << " blue";
    EXPECT_TRUE(pixelIs(image, w * 3 / 4, h * 3 / 4, 0xFFFF00, tolerance)) << name << " yellow";
}

} // namespace

TEST(GalleryPictures, EveryFormatAndBitmapVariantDecodesToItsColours)
{
    TempDir dir;
    const std::string q = kQuadrants;
    // Eight colours more, so that the palette needs 8 bits.
    const std::string q8 = std::string("\\( ") + kQuadrants + " \\) \\( -size 24x1 gradient:black-white \\) -append";
    // The coder prefix picks the bitmap header (BMP3: 40 bytes, BMP2: 12, BMP: 124).
    struct Case { const char* name; std::string arguments; const char* coder; int tolerance; };
    const Case cases[] = {
        {"q.png", q, "", 0},
        {"q.jpg", q + " -quality 95", "", 40},
        {"q.webp", q + " -define webp:lossless=true", "", 0},
        {"q.gif", q, "", 0},
        {"q.tif", q, "", 0},
        {"q124.bmp", q + " -type TrueColor", "", 0},
        {"q40.bmp", q + " -type TrueColor", "BMP3:", 0},
        {"q12.bmp", q + " -type TrueColor", "BMP2:", 0},
        {"q32.bmp", q + " -alpha on", "", 0},
        {"q16.bmp", q + " -type TrueColor -define bmp:subtype=RGB565", "", 4},
        {"q4.bmp", q + " -type Palette", "BMP3:", 0},
        {"q8.bmp", q8 + " -type Palette -compress None", "BMP3:", 0},
        {"q8rle.bmp", q8 + " -type Palette -compress RLE", "BMP3:", 0},
        {"q1.bmp", "-size 24x8 xc:'#FF0000' xc:'#0000FF' -append -type Palette", "BMP3:", 0},
    };
    for (const Case& c : cases) {
        const std::string name = c.name;
        const std::string path = convert(dir, name, c.arguments, c.coder);
        const GalleryImage image = decode(path);
        EXPECT_EQ(image.width, 24) << name;
        EXPECT_EQ(image.height, name.rfind("q8", 0) == 0 ? 17 : 16) << name;
        if (name == "q1.bmp") {
            EXPECT_TRUE(pixelIs(image, 3, 3, 0xFF0000, 0) && pixelIs(image, 20, 12, 0x0000FF, 0)) << name;
            continue;
        }
        expectQuadrants(image, name, c.tolerance);
    }
}
