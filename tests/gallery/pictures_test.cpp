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

// Little-endian bytes of a number.
std::string le(uint32_t value, int bytes)
{
    std::string out;
    for (int i = 0; i < bytes; ++i) out += static_cast<char>(value >> (8 * i) & 255);
    return out;
}

// A bitmap file with a 40-byte header: its palette (4 bytes a colour) and
// pixel data as given, rows bottom up.
std::string bitmapFile(int width, int height, int bits, int compression, const std::string& palette,
                       const std::string& data)
{
    const uint32_t offset = 54 + static_cast<uint32_t>(palette.size());
    return "BM" + le(offset + static_cast<uint32_t>(data.size()), 4) + le(0, 4) + le(offset, 4) + le(40, 4) +
           le(width, 4) + le(height, 4) + le(1, 2) + le(bits, 2) + le(compression, 4) +
           le(static_cast<uint32_t>(data.size()), 4) + le(2835, 4) + le(2835, 4) +
           le(static_cast<uint32_t>(palette.size() / 4), 4) + le(0, 4) + palette + data;
}

// A 24-bit (or 32-bit, its fourth byte 0) bitmap with colour(x, y) as RGB.
template <typename Colour> std::string bitmapRgb(int width, int height, Colour colour, int bits = 24)
{
    const uint32_t row = (static_cast<uint32_t>(width) * bits / 8 + 3) & ~3u;
    std::string data;
    for (int y = height - 1; y >= 0; --y) {
        std::string line;
        for (int x = 0; x < width; ++x) line += le(colour(x, y), bits / 8);  // blue, green, red (, 0)
        data += line + std::string(row - line.size(), '\0');
    }
    return bitmapFile(width, height, bits, 0, "", data);
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
        {"qi.gif", q + " -interlace GIF", "", 0},
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

    // A bitmap stored top row first: a negative height, the rows in reverse.
    std::string bytes = readBytes(dir.file("q40.bmp"));
    const size_t offset = static_cast<uint8_t>(bytes[10]) | static_cast<uint8_t>(bytes[11]) << 8, row = 24 * 3;
    std::string rows;
    for (int y = 15; y >= 0; --y) rows += bytes.substr(offset + y * row, row);
    bytes.replace(offset, rows.size(), rows);
    const int32_t negative = -16;
    bytes.replace(22, 4, reinterpret_cast<const char*>(&negative), 4);
    writeBytes(dir.file("topdown.bmp"), bytes);
    expectQuadrants(decode(dir.file("topdown.bmp")), "topdown.bmp");

    // Written here, as ImageMagick writes neither: 4-bit run lengths, and
    // 32 bits with the fourth byte 0 (not transparent: most writers leave it so).
    const std::string palette = le(0xFF0000, 4) + le(0x00FF00, 4) + le(0x0000FF, 4) + le(0xFFFF00, 4);
    std::string runs;
    for (int y = 15; y >= 0; --y)  // 12 of colour 0 then 12 of 1 (2 and 3 below), end of line
        runs += std::string(y < 8 ? "\x0C\x00\x0C\x11\0\0" : "\x0C\x22\x0C\x33\0\0", 6);
    writeBytes(dir.file("rle4.bmp"), bitmapFile(24, 16, 4, 2, palette, runs + std::string("\0\x01", 2)));
    expectQuadrants(decode(dir.file("rle4.bmp")), "rle4.bmp");
    writeBytes(dir.file("x32.bmp"), bitmapRgb(24, 16, [](int x, int y) {
        return y < 8 ? (x < 12 ? 0xFF0000u : 0x00FF00u) : (x < 12 ? 0x0000FFu : 0xFFFF00u);
    }, 32));
    expectQuadrants(decode(dir.file("x32.bmp")), "x32.bmp");
}

namespace {

// A JPEG of the stored pixels, with an EXIF block saying orientation.
std::string jpegWithOrientation(const TempDir& dir, const std::string& name, const std::string& stored,
                                int orientation)
{
    const std::string path = convert(dir, name, stored + " -quality 95");
    std::string bytes = readBytes(path);
    const char exif[] = "Exif\0\0MM\0\x2A\0\0\0\x08\0\x01\x01\x12\0\x03\0\0\0\x01\0\0\0\0\0\0\0\0";
    std::string block(exif, sizeof exif - 1);
    block[6 + 8 + 2 + 8 + 1] = static_cast<char>(orientation);
    const size_t length = block.size() + 2;
    bytes.insert(2, std::string("\xFF\xE1", 2) + char(length >> 8) + char(length & 255) + block);
    writeBytes(path, bytes);
    return path;
}

} // namespace

TEST(GalleryPictures, ExifOrientationsGiveTheUprightPicture)
{
    TempDir dir;
    // How the camera stored the upright picture for each orientation.
    const char* const stored[] = {"", "-flop", "-rotate 180", "-flip", "-transpose", "-rotate -90", "-transverse",
                                  "-rotate 90"};
    for (int orientation = 1; orientation <= 8; ++orientation) {
        const std::string arguments = std::string(kQuadrants) + " " + stored[orientation - 1];
        const std::string name = "o" + std::to_string(orientation);
        const GalleryImage jpeg = decode(jpegWithOrientation(dir, name + ".jpg", arguments, orientation));
        EXPECT_EQ(jpeg.width, 24) << name;
        expectQuadrants(jpeg, name + ".jpg", 40);
        // The same block carried over into PNG and WebP, and TIFF's own orientation tag.
        expectQuadrants(decode(convert(dir, name + ".png", "'" + dir.file(name + ".jpg") + "'")), name + ".png", 40);
        expectQuadrants(decode(convert(dir, name + ".webp", "'" + dir.file(name + ".jpg") + "'")), name + ".webp", 40);
        const char* const tiffOrientations[] = {"TopLeft", "TopRight", "BottomRight", "BottomLeft", "LeftTop",
                                                "RightTop", "RightBottom", "LeftBottom"};
        expectQuadrants(decode(convert(dir, name + ".tif",
                                       arguments + " -orient " + tiffOrientations[orientation - 1])),
                        name + ".tif");
    }
}

TEST(GalleryPictures, DamagedAndMissingFilesAreRefusedWithTheirReason)
{
    TempDir dir;
    GalleryImage image;
    std::string why;
    // Each format cut off after its header.
    const char* const names[] = {"q.jpg", "q.png", "q.webp", "q.gif", "q.tif", "q.bmp"};
    const char* const reasons[] = {"damaged JPEG data", "damaged PNG data", "damaged WebP data", "damaged GIF data",
                                   "damaged TIFF data", "damaged BMP data"};
    for (int i = 0; i < 6; ++i) {
        // Noise, so that no format's compression makes the data small.
        const std::string path = convert(dir, names[i], "-size 64x64 xc: +noise Random -quality 95");
        const std::string bytes = readBytes(path);
        writeBytes(path, bytes.substr(0, bytes.size() / 2));
        EXPECT_EQ(decodeGalleryPicture(path, 1024, kMat, image, &why), 1) << names[i];
        EXPECT_EQ(why, reasons[i]) << names[i];
        EXPECT_TRUE(image.rgb.empty());
    }
    // A chunk claiming two gigabytes past the end: refused at once, not after
    // the decoder has checked sums over stale bytes for minutes.
    std::string claim = readBytes(convert(dir, "claim.png", "-size 4x4 xc:red"));
    claim.replace(33, 4, std::string("\x7F\xFF\xFF\xF0", 4));  // the chunk after IHDR
    writeBytes(dir.file("claim.png"), claim);
    EXPECT_EQ(decodeGalleryPicture(dir.file("claim.png"), 1024, kMat, image, &why), 1);
    EXPECT_EQ(why, "damaged PNG data");
    // A header asking for more pixels than a picture may have is refused before anything is allocated.
    std::string huge = readBytes(convert(dir, "huge.png", "-size 4x4 xc:red"));
    huge.replace(16, 8, std::string("\0\0\x4E\x20\0\0\x17\x70", 8));  // 20000 x 6000
    writeBytes(dir.file("huge.png"), huge);
    EXPECT_EQ(decodeGalleryPicture(dir.file("huge.png"), 1024, kMat, image, &why), 1);
    EXPECT_EQ(why, "larger than 100 megapixels");
    writeBytes(dir.file("notes.jpg"), "not a picture at all");
    EXPECT_EQ(decodeGalleryPicture(dir.file("notes.jpg"), 1024, kMat, image, &why), 1);
    EXPECT_EQ(why, "not a picture");
    EXPECT_EQ(decodeGalleryPicture(dir.file("missing.jpg"), 1024, kMat, image, &why), 1);
    EXPECT_EQ(why, "no such file");
    EXPECT_EQ(decodeGalleryPicture(dir.path(), 1024, kMat, image, &why), 1);
    EXPECT_EQ(why, "not a regular file");
    ASSERT_EQ(runCommand("mkfifo '" + dir.file("fifo.png") + "'"), 0);
    EXPECT_EQ(decodeGalleryPicture(dir.file("fifo.png"), 1024, kMat, image, &why), 1) << "never waits on a FIFO";
    EXPECT_EQ(why, "not a regular file");
}

TEST(GalleryPictures, TheLongerSideFitsMaxSideAndAlphaLiesOverTheMat)
{
    TempDir dir;
    // A large photo: decoded at a quarter of its size, then filtered down.
    const std::string photo =
        convert(dir, "photo.jpg", std::string(kQuadrants) + " -filter point -resize 4000x3000! -quality 90");
    GalleryImage image = decode(photo, 500);
    EXPECT_EQ(image.width, 500);
    EXPECT_EQ(image.height, 375);
    expectQuadrants(image, "photo.jpg", 40);
    image = decode(photo, 0);
    EXPECT_EQ(image.width, 4000) << "no bound: the picture as it is";

    // A 17000 x 20 panorama, whole and reduced.
    // (written here: ImageMagick's policy stops at 16000 pixels), left half red, right half blue.
    const std::string panorama = dir.file("panorama.bmp");
    writeBytes(panorama, bitmapRgb(17000, 20, [](int x, int) { return x < 8500 ? 0xFF0000u : 0x0000FFu; }));
    image = decode(panorama, 20000);
    EXPECT_EQ(image.width, 17000);
    EXPECT_EQ(image.height, 20);
    EXPECT_TRUE(pixelIs(image, 100, 10, 0xFF0000, 0) && pixelIs(image, 16900, 10, 0x0000FF, 0));
    image = decode(panorama, 1700);
    EXPECT_EQ(image.width, 1700);
    EXPECT_EQ(image.height, 2);

    // Transparent pixels show the mat, half transparent ones half of it.
    const std::string clear =
        convert(dir, "clear.png", "-size 4x4 xc:'rgba(255,0,0,0)' xc:'rgba(0,0,255,0.5)' +append");
    image = decode(clear, 100);
    EXPECT_TRUE(pixelIs(image, 1, 1, kMat[0] << 16 | kMat[1] << 8 | kMat[2], 0));
    EXPECT_TRUE(pixelIs(image, 5, 1, (kMat[0] / 2) << 16 | (kMat[1] / 2) << 8 | (kMat[2] + 255) / 2, 1));
}

TEST(GalleryPictures, RowByRowDecodersReduceEveryLayoutWhileReading)
{
    TempDir dir;
    const std::string q = std::string(kQuadrants) + " -filter point -resize 480x320!";
    // Layouts that take each decoder's other ways: interlaced, 16-bit, grey
    // and palette PNGs; TIFFs in many strips, one strip, tiles, a palette, 16
    // bits and alpha; lossy and lossless WebP.
    struct Case { const char* name; std::string arguments; int tolerance; };
    const Case cases[] = {
        {"q.png", q, 2},
        {"qi.png", q + " -interlace PNG", 2},
        {"q16.png", q + " -depth 16", 2},
        {"qp.png", q + " -type Palette", 2},
        {"qs.tif", q + " -define tiff:rows-per-strip=7 -compress LZW", 2},
        {"q1.tif", q + " -define tiff:rows-per-strip=320 -compress Zip", 2},
        {"qt.tif", q + " -define tiff:tile-geometry=64x64", 2},
        {"qp.tif", q + " -type Palette", 2},
        {"q16.tif", q + " -depth 16", 2},
        {"qa.tif", q + " -alpha on", 2},
        {"q.webp", q + " -quality 90", 40},
        {"ql.webp", q + " -define webp:lossless=true", 2},
    };
    for (const Case& c : cases) {
        const GalleryImage image = decode(convert(dir, c.name, c.arguments), 48);
        EXPECT_EQ(image.width, 48) << c.name;
        EXPECT_EQ(image.height, 32) << c.name;
        EXPECT_EQ(image.pictureWidth, 480) << c.name;
        EXPECT_EQ(image.pictureHeight, 320) << c.name;
        expectQuadrants(image, c.name, c.tolerance);
    }
    // Grey stays grey, and a turned picture reports its upright size.
    const GalleryImage grey = decode(convert(dir, "g.tif", "-size 40x20 xc:'gray(100)' -type Grayscale"), 10);
    EXPECT_TRUE(pixelIs(grey, 5, 2, 0x646464, 0));
    const GalleryImage turned =
        decode(jpegWithOrientation(dir, "turned.jpg", std::string(kQuadrants) + " -resize 480x320! -rotate 90", 8), 48);
    EXPECT_EQ(turned.pictureWidth, 480);
    EXPECT_EQ(turned.pictureHeight, 320);
}

TEST(GalleryPictures, APanoramaKeepsItsOwnProportionsWhenItsDecodeIsOnePixelHigh)
{
    TempDir dir;
    for (const char* name : {"long.png", "long.tif", "long.webp"}) {
        const GalleryImage image = decode(convert(dir, name, "-size 16000x4 gradient:red-blue"), 768);
        EXPECT_EQ(image.width, 768) << name;
        EXPECT_EQ(image.height, 1) << name;
        EXPECT_EQ(image.pictureWidth, 16000) << name;
        EXPECT_EQ(image.pictureHeight, 4) << name;
    }
}

namespace {

// Big-endian bytes of a number.
std::string be(uint32_t value, int bytes)
{
    std::string out;
    for (int i = bytes - 1; i >= 0; --i) out += static_cast<char>(value >> (8 * i) & 255);
    return out;
}

// A JPEG of one colour carrying an EXIF block (ImageDescription in the first
// directory, DateTimeOriginal in the EXIF one) and, when given, an XMP packet.
std::string captionedJpeg(const TempDir& dir, const std::string& name, const std::string& description,
                          const std::string& date, const std::string& xmp = "")
{
    const std::string path = convert(dir, name, "-size 16x16 xc:gray");
    const std::string text = description + '\0', when = date + '\0';
    const uint32_t exifDirectory = 38, textAt = 56, dateAt = textAt + static_cast<uint32_t>(text.size());
    std::string tiff = "MM" + be(42, 2) + be(8, 4);
    tiff += be(2, 2) + be(0x010E, 2) + be(2, 2) + be(static_cast<uint32_t>(text.size()), 4) + be(textAt, 4);
    tiff += be(0x8769, 2) + be(4, 2) + be(1, 4) + be(exifDirectory, 4) + be(0, 4);
    tiff += be(1, 2) + be(0x9003, 2) + be(2, 2) + be(static_cast<uint32_t>(when.size()), 4) + be(dateAt, 4) + be(0, 4);
    tiff += text + when;
    auto segment = [](const std::string& body) { return std::string("\xFF\xE1", 2) + be(static_cast<uint32_t>(body.size() + 2), 2) + body; };
    std::string bytes = readBytes(path);
    std::string segments = segment(std::string("Exif\0\0", 6) + tiff);
    if (!xmp.empty()) segments += segment(std::string("http://ns.adobe.com/xap/1.0/\0", 29) + xmp);
    bytes.insert(2, segments);
    writeBytes(path, bytes);
    return path;
}

PictureCaption captionOf(const std::string& path)
{
    GalleryImage image;
    PictureCaption caption;
    std::string why;
    EXPECT_EQ(decodeGalleryPicture(path, 64, kMat, image, &why, &caption), 0) << path << ": " << why;
    return caption;
}

} // namespace

TEST(GalleryCaptions, TheTitleIsTheXmpTitleThenTheDescriptionThenTheFileName)
{
    TempDir dir;
    const std::string xmp =
        "<x:xmpmeta xmlns:x='adobe:ns:meta/'><rdf:RDF><rdf:Description><dc:title><rdf:Alt>"
        "<rdf:li xml:lang='de'>Hafen</rdf:li><rdf:li xml:lang=\"x-default\">Caf&#xE9; &amp; Harbour</rdf:li>"
        "</rdf:Alt></dc:title></rdf:Description></rdf:RDF></x:xmpmeta>";
    PictureCaption caption = captionOf(captionedJpeg(dir, "IMG_0001.jpg", "A description", "2019:06:14 10:00:00", xmp));
    EXPECT_EQ(caption.title, "Caf\xC3\xA9 & Harbour");
    EXPECT_EQ(caption.year, 2019);
    EXPECT_EQ(caption.month, 6);
    EXPECT_EQ(caption.day, 14);
    caption = captionOf(captionedJpeg(dir, "IMG_0002.jpg", "  Evening\ttide ", "0000:00:00 00:00:00"));
    EXPECT_EQ(caption.title, "Evening tide");
    EXPECT_EQ(caption.year, 0) << "a blank date is no date";
    // A camera's own description is passed over for the file name, read as
    // Latin-1 when it is not UTF-8.
    caption = captionOf(captionedJpeg(dir, "Old_harbour-at dawn \xE9t\xE9.jpg", "OLYMPUS DIGITAL CAMERA", ""));
    EXPECT_EQ(caption.title, "Old harbour at dawn \xC3\xA9t\xC3\xA9");
    // A camera's file name shows the date alone; a TIFF's own description.
    caption = captionOf(captionedJpeg(dir, "DSC01234.jpg", "", "2021:12:24 18:00:00"));
    EXPECT_EQ(caption.title, "");
    EXPECT_EQ(caption.year, 2021);
    caption = captionOf(convert(dir, "PXL_20230512_143012345.MP.tif", "-size 8x8 xc:red -set comment 'Red square'"));
    EXPECT_EQ(caption.title, "Red square");

    for (const char* name : {"IMG_4711", "DSC01234", "PXL_20230512_143012345.MP", "IMG-20230512-WA0003",
                             "20230512_143012", "IMG_E4711", "IMG_4711 (1)", "GOPR0042", "P1000123"})
        EXPECT_TRUE(isCameraFileName(name)) << name;
    for (const char* name : {"Harbour at Dawn", "NYC 2019", "Paris", "IMG_12", "Tokyo 2019-05", "Mum's 70th"})
        EXPECT_FALSE(isCameraFileName(name)) << name;
}
