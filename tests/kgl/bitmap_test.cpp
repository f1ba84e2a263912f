// BMP files written by the tests, read back through the library's lookup
// and reader; the header check; packed rows.
#include <gtest/gtest.h>

#include <dirent.h>
#include <unistd.h>

#include <climits>
#include <cstring>
#include <string>

#include "kgl/bitmap.h"
#include "kgl/errors.h"
#include "tests/kgl/bmp_bytes.h"
#include "tests/support/test_support.h"

namespace {

int openDescriptors()
{
    int count = 0;
    DIR* dir = opendir("/proc/self/fd");
    while (dir && readdir(dir)) count++;
    if (dir) closedir(dir);
    return count;
}

class BitmapFiles : public testing::Test {
protected:
    TempDir dir;
    // Writes a file and reads it back.
    Bitmap* load(const BmpFile& file, int loadPalette = 0, const char* name = "picture.bmp")
    {
        writeBytes(dir.file(name), file.bytes());
        return readBitmapFile(dir.file(name).c_str(), loadPalette);
    }
    int errorFor(const std::string& bytes)
    {
        writeBytes(dir.file("bad.bmp"), bytes);
        Bitmap* bitmap = readBitmapFile(dir.file("bad.bmp").c_str(), 1);
        freeBitmap(bitmap);
        int error = takeLastError();
        return bitmap ? 0 : error;
    }
    int errorFor(const BmpFile& file) { return errorFor(file.bytes()); }
};

std::string rowBytes(const Bitmap* bitmap, int row)
{
    return std::string(reinterpret_cast<const char*>(bitmap->pixels) + row * bitmap->bytesPerLine,
                       size_t(bitmap->bytesPerLine));
}

} // namespace

TEST_F(BitmapFiles, BottomUp24BitRowsArePaddedAndTurned)
{
    BmpFile file;
    file.width = 2, file.height = 2;
    file.rows = byteString({1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0});
    Bitmap* bitmap = load(file);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(takeLastError(), 0);
    EXPECT_EQ(bitmap->width, 2);
    EXPECT_EQ(bitmap->height, 2);
    EXPECT_EQ(bitmap->bitsPerPixel, 24);
    EXPECT_EQ(bitmap->bytesPerLine, 8);
    EXPECT_EQ(rowBytes(bitmap, 0), byteString({7, 8, 9, 10, 11, 12, 0, 0}));  // the file's last row
    EXPECT_EQ(rowBytes(bitmap, 1), byteString({1, 2, 3, 4, 5, 6, 0, 0}));
    EXPECT_EQ(bitmap->palette, nullptr);
    ASSERT_NE(bitmap->format, nullptr);
    EXPECT_EQ(bitmap->format->redPosition, 16);
    freeBitmap(bitmap);
}

TEST_F(BitmapFiles, ThreePixelRowsTakeTwelveBytesAndPackToNine)
{
    BmpFile file;
    file.width = 3, file.height = 2;
    file.rows = byteString({1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0, 11, 12, 13, 14, 15, 16, 17, 18, 19, 0, 0, 0});
    Bitmap* bitmap = load(file);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->bytesPerLine, 12);
    std::vector<uint8_t> packed = packedBitmapBGR(bitmap);
    std::vector<uint8_t> expected = {11, 12, 13, 14, 15, 16, 17, 18, 19, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    EXPECT_EQ(packed, expected);
    freeBitmap(bitmap);
}

TEST_F(BitmapFiles, TopDownFilesKeepTheirRowOrder)
{
    BmpFile file;
    file.width = 1, file.height = -3;
    file.rows = byteString({1, 1, 1, 0, 2, 2, 2, 0, 3, 3, 3, 0});
    Bitmap* bitmap = load(file);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->height, 3);
    EXPECT_EQ(bitmap->pixels[0], 1);
    EXPECT_EQ(bitmap->pixels[4], 2);
    EXPECT_EQ(bitmap->pixels[8], 3);
    freeBitmap(bitmap);
}

TEST_F(BitmapFiles, SixteenBitFilesAreFifteenUnlessTheirMasksSay565)
{
    BmpFile plain;
    plain.bits = 16, plain.width = 2;
    plain.rows = byteString({0x00, 0x7C, 0xE0, 0x03});
    Bitmap* bitmap = load(plain);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->bitsPerPixel, 15);
    EXPECT_EQ(bitmap->bytesPerLine, 4);
    EXPECT_EQ(bitmap->format->greenMask, 0x1F);
    std::vector<uint8_t> packed = packedBitmapBGR(bitmap);
    EXPECT_EQ(packed, (std::vector<uint8_t>{0, 0, 255, 0, 255, 0}));  // red, then green
    freeBitmap(bitmap);

    BmpFile fields = plain;
    fields.compression = 3;
    fields.masks = {0xF800, 0x7E0, 0x1F};
    bitmap = load(fields);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->bitsPerPixel, 16);
    EXPECT_EQ(bitmap->format->greenMask, 0x3F);
    freeBitmap(bitmap);

    fields.masks = {0x7C00, 0x3E0, 0x1F};
    bitmap = load(fields);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->bitsPerPixel, 15);
    freeBitmap(bitmap);
}

TEST_F(BitmapFiles, BitFieldMasksChooseTheFormat)
{
    BmpFile file;
    file.compression = 3;
    file.rows = byteString({0, 0, 0, 0});
    auto redPosition = [&](int bits, uint32_t redMask) {
        file.bits = uint16_t(bits);
        file.masks = {redMask, 0, 0};
        Bitmap* bitmap = load(file);
        int position = bitmap ? bitmap->format->redPosition : -1;
        freeBitmap(bitmap);
        return position;
    };
    EXPECT_EQ(redPosition(24, 0xFF), 0);
    EXPECT_EQ(redPosition(24, 0xFF0000), 16);
    EXPECT_EQ(redPosition(32, 0xFF), 0);
    EXPECT_EQ(redPosition(32, 0xFF0000), 16);
    EXPECT_EQ(redPosition(32, 0xFF00), 8);
    EXPECT_EQ(redPosition(32, 0xFF000000), 24);
    EXPECT_EQ(redPosition(32, 0x123), 24);
    file.compression = 0;
    file.masks.clear();
    file.bits = 32;
    Bitmap* argb = load(file);
    ASSERT_NE(argb, nullptr);
    EXPECT_EQ(argb->format->redPosition, 16);
    EXPECT_EQ(argb->format->reservedPosition, 24);
    freeBitmap(argb);
}

TEST_F(BitmapFiles, EightBitPalettesOnlyWhenAskedFor)
{
    BmpFile file;
    file.bits = 8, file.width = 3, file.coloursUsed = 3;
    file.colours = {{10, 20, 30, 0}, {40, 50, 60, 0}, {70, 80, 90, 0}};
    file.rows = byteString({2, 0, 1, 0});
    Bitmap* without = load(file, 0);
    ASSERT_NE(without, nullptr);
    EXPECT_EQ(without->palette, nullptr);
    EXPECT_EQ(without->format, nullptr);
    EXPECT_EQ(without->bytesPerLine, 4);
    EXPECT_EQ(rowBytes(without, 0), byteString({2, 0, 1, 0}));  // the table was skipped
    // Its indices have no colours: nothing is packed from a made-up palette.
    EXPECT_TRUE(packedBitmapBGR(without).empty());
    EXPECT_EQ(takeLastError(), kglInvalidBitmap);
    freeBitmap(without);

    Bitmap* with = load(file, 1);
    ASSERT_NE(with, nullptr);
    ASSERT_NE(with->palette, nullptr);
    EXPECT_EQ(with->paletteSize, 3);
    EXPECT_EQ(with->palette[2].red, 90);
    EXPECT_EQ(with->palette[0].blue, 10);
    EXPECT_EQ(packedBitmapBGR(with), (std::vector<uint8_t>{70, 80, 90, 10, 20, 30, 40, 50, 60}));
    freeBitmap(with);

    // A used-colour count of 0 means the whole table of the depth.
    file.coloursUsed = 0;
    file.colours.resize(256, PaletteEntry{1, 2, 3, 0});
    Bitmap* full = load(file, 1);
    ASSERT_NE(full, nullptr);
    EXPECT_EQ(full->paletteSize, 256);
    EXPECT_EQ(rowBytes(full, 0), byteString({2, 0, 1, 0}));
    freeBitmap(full);
}

TEST_F(BitmapFiles, OneAndFourBitRows)
{
    BmpFile mono;
    mono.bits = 1, mono.width = 33;
    mono.colours = {{0, 0, 0, 0}, {255, 255, 255, 0}};
    mono.rows = byteString({0x80, 0, 0, 0, 0x80, 0, 0, 0});
    Bitmap* bitmap = load(mono, 1);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->bytesPerLine, 8);
    EXPECT_EQ(bitmap->paletteSize, 2);
    freeBitmap(bitmap);

    BmpFile four;
    four.bits = 4, four.width = 9;
    four.colours.resize(16);
    four.rows = byteString({0x12, 0x34, 0x56, 0x78, 0x90, 0, 0, 0});
    bitmap = load(four, 1);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->bytesPerLine, 8);
    EXPECT_EQ(bitmap->paletteSize, 16);
    EXPECT_EQ(readPixel(bitmap->pixels, 0, 4), 1u);
    EXPECT_EQ(readPixel(bitmap->pixels, 8, 4), 9u);
    freeBitmap(bitmap);
}

TEST_F(BitmapFiles, InvalidAndMissingFiles)
{
    BmpFile good;
    good.rows = byteString({1, 2, 3, 0});
    std::string bytes = good.bytes();
    std::string ba = bytes;
    ba[1] = 'A';
    EXPECT_EQ(errorFor(ba), kglInvalidBitmap);
    EXPECT_EQ(errorFor(bytes.substr(0, 13)), kglInvalidBitmap);
    EXPECT_EQ(errorFor(bytes.substr(0, 50)), kglInvalidBitmap);
    EXPECT_EQ(errorFor(""), kglInvalidBitmap);

    BmpFile core = good;
    core.headerSize = 12;
    EXPECT_EQ(errorFor(core), kglInvalidBitmap);
    BmpFile planes = good;
    planes.planes = 2;
    EXPECT_EQ(errorFor(planes), kglInvalidBitmap);
    BmpFile compressed = good;
    compressed.compression = 1;
    EXPECT_EQ(errorFor(compressed), kglInvalidBitmap);
    BmpFile twoBits = good;
    twoBits.bits = 2;
    EXPECT_EQ(errorFor(twoBits), kglInvalidBitmap);
    // Only the low bytes count: a header size of 0x128 passes as 40.
    BmpFile lowByte = good;
    lowByte.headerSize = 0x128;
    EXPECT_EQ(errorFor(lowByte), 0);

    EXPECT_EQ(readBitmapFile(dir.file("missing.bmp").c_str(), 0), nullptr);
    EXPECT_EQ(takeLastError(), kglBitmapNotFound);
    EXPECT_EQ(readBitmapFile(nullptr, 0), nullptr);
    EXPECT_EQ(takeLastError(), kglBitmapNotFound);
}

// A header is untrusted: impossible sizes are refused before anything is allocated.
TEST_F(BitmapFiles, HostileHeadersAreRefused)
{
    BmpFile good;
    good.rows = byteString({1, 2, 3, 0});
    auto errorWith = [&](int32_t width, int32_t height) {
        BmpFile file = good;
        file.width = width, file.height = height;
        return errorFor(file);
    };
    EXPECT_EQ(errorWith(0, 1), kglInvalidBitmap);
    EXPECT_EQ(errorWith(-1, 1), kglInvalidBitmap);
    EXPECT_EQ(errorWith(1, 0), kglInvalidBitmap);
    EXPECT_EQ(errorWith(INT32_MAX, 1), kglInvalidBitmap);
    EXPECT_EQ(errorWith(1, INT32_MIN), kglInvalidBitmap);
    EXPECT_EQ(errorWith(0x40000001, 4), kglInvalidBitmap);  // a row size that overflows 32 bits
    // Within the cap but far longer than the file.
    EXPECT_EQ(errorWith(8192, 8192), kglInvalidBitmap);

    BmpFile colours;
    colours.bits = 8, colours.coloursUsed = 257;
    colours.colours.resize(257);
    colours.rows = byteString({0, 0, 0, 0});
    EXPECT_EQ(errorFor(colours), kglInvalidBitmap);
    colours.coloursUsed = 0xFFFFFFFF;
    EXPECT_EQ(errorFor(colours), kglInvalidBitmap);
    // A table that runs past the end of the file.
    colours.coloursUsed = 200;
    colours.colours.resize(10);
    colours.rows.clear();
    EXPECT_EQ(errorFor(colours), kglInvalidBitmap);

    // Rows one byte short, and masks cut off.
    BmpFile shortRows = good;
    shortRows.height = 2;
    shortRows.rows = byteString({1, 2, 3, 0, 4, 5, 6});
    EXPECT_EQ(errorFor(shortRows), kglInvalidBitmap);
    BmpFile shortMasks = good;
    shortMasks.compression = 3;
    EXPECT_EQ(errorFor(shortMasks.bytes().substr(0, 60)), kglInvalidBitmap);
}

TEST_F(BitmapFiles, ParsingBytesNeedsNoFile)
{
    BmpFile file;
    file.rows = byteString({1, 2, 3, 0});
    std::string bytes = file.bytes();
    Bitmap* bitmap = parseBitmap(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), 0);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->pixels[2], 3);
    freeBitmap(bitmap);
    EXPECT_EQ(parseBitmap(nullptr, 0, 0), nullptr);
    EXPECT_EQ(takeLastError(), kglInvalidBitmap);
    freeBitmap(nullptr);
}

TEST_F(BitmapFiles, CheckReadsTheHeadersAndLeavesNoFileOpen)
{
    BmpFile file;
    file.width = 2, file.height = 2;
    file.rows = std::string(16, '\0');
    writeBytes(dir.file("good.bmp"), file.bytes());
    writeBytes(dir.file("short.bmp"), file.bytes().substr(0, file.bytes().size() - 1));
    int before = openDescriptors();
    EXPECT_EQ(checkBitmapFile(dir.file("good.bmp").c_str()), 1);
    EXPECT_EQ(takeLastError(), 0);
    EXPECT_EQ(checkBitmapFile(dir.file("short.bmp").c_str()), 0);
    EXPECT_EQ(takeLastError(), kglInvalidBitmap);
    EXPECT_EQ(checkBitmapFile(dir.file("none.bmp").c_str()), 0);
    EXPECT_EQ(takeLastError(), kglBitmapNotFound);
    Bitmap* bitmap = readBitmapFile(dir.file("good.bmp").c_str(), 0);
    freeBitmap(bitmap);
    freeBitmap(readBitmapFile(dir.file("short.bmp").c_str(), 0));
    EXPECT_EQ(openDescriptors(), before);
}

TEST_F(BitmapFiles, LookupTriesTheNameThenTheRootThenKglRoot)
{
    BmpFile file;
    file.rows = byteString({1, 2, 3, 0});
    ASSERT_EQ(runCommand("mkdir -p '" + dir.path() + "/root/Bitmaps' '" + dir.path() + "/env/BITMAPS'"), 0);
    writeBytes(dir.file("root/Bitmaps/a.bmp"), file.bytes());
    file.rows = byteString({4, 5, 6, 0});
    writeBytes(dir.file("env/BITMAPS/a.bmp"), file.bytes());
    writeBytes(dir.file("env/BITMAPS/b.bmp"), file.bytes());

    ScopedEnv kglRoot("KGL_ROOT", (dir.path() + "/env").c_str());
    setFileRootPath((dir.path() + "/root").c_str());
    Bitmap* a = readBitmapFile("a.bmp", 0);          // root path + "BITMAPS\" (any case) + name
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->pixels[0], 1);
    Bitmap* b = readBitmapFile("b.bmp", 0);          // only under $KGL_ROOT
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->pixels[0], 4);
    freeBitmap(a);
    freeBitmap(b);

    setFileRootPath((dir.path() + "/root\\").c_str());  // a root that already ends in a separator
    a = readBitmapFile("a.bmp", 0);
    EXPECT_NE(a, nullptr);
    freeBitmap(a);

    FILE* asGiven = findFile("BITMAPS\\", dir.file("env/BITMAPS/a.bmp").c_str(), "rb");
    ASSERT_NE(asGiven, nullptr);
    fclose(asGiven);
    EXPECT_EQ(findFile("BITMAPS\\", "c.bmp", "rb"), nullptr);
    // A writing mode does not create a file that was not found.
    EXPECT_EQ(findFile("BITMAPS\\", "new.bmp", "wb"), nullptr);
    EXPECT_NE(access(dir.file("root/Bitmaps/new.bmp").c_str(), F_OK), 0);
    setFileRootPath("");
}

namespace {

// A 32-bit header of width x height with no rows behind it.
std::string headerOnly(int32_t width, int32_t height)
{
    BmpFile file;
    file.bits = 32, file.width = width, file.height = height;
    return file.bytes();
}

// In a child process: the error reading and checking the file at path left
// (the same for both), or 1 when a Bitmap came back or they differ.
int readingFails(const std::string& path)
{
    Bitmap* bitmap = readBitmapFile(path.c_str(), 1);
    int readError = takeLastError();
    int checked = checkBitmapFile(path.c_str());
    int checkError = takeLastError();
    if (bitmap || checked || readError != checkError) return 1;
    return -readError;
}

} // namespace

TEST_F(BitmapFiles, TheTotalSizeIsCappedNotTheSides)
{
    // A 17000 x 20 panorama is an ordinary picture.
    BmpFile panorama;
    panorama.width = 17000, panorama.height = -20;
    panorama.rows = std::string(17000 * 3 * 20, '\x40');
    Bitmap* wide = load(panorama);
    ASSERT_NE(wide, nullptr) << errorMessage(takeLastError());
    EXPECT_EQ(wide->width, 17000);
    EXPECT_EQ(wide->pixels[17000 * 3 * 20 - 1], 0x40);
    freeBitmap(wide);

    // What sits at a picture's path and is no picture file ends at once, in
    // little memory: a device or FIFO is not found, a 1 GB file whose header
    // claims rows of nearly 1 GB is refused before they are read.
    std::string path = dir.file("hostile.bmp");
    for (const char* kind : kHostileKinds) {
        ASSERT_TRUE(makeHostileFile(path, kind, headerOnly(16384, -16383))) << kind;
        int expected = std::string(kind) == "sparse" ? -kglInvalidBitmap : -kglBitmapNotFound;
        EXPECT_EQ(runLimited(readingFails, path, size_t(128) << 20, 10), expected) << kind;
    }
}
