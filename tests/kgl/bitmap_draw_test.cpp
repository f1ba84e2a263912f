// putBitmap on memory contexts: copies, conversions, masks and clipping,
// checked on the surfaces' pixels.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kgl/bitmap.h"
#include "kgl/drivers.h"
#include "kgl/errors.h"
#include "tests/kgl/bmp_bytes.h"

namespace {

class PutBitmap : public testing::Test {
protected:
    void SetUp() override
    {
        unregisterAllDrivers();
        registerMemoryDrivers();
    }
    void TearDown() override
    {
        makeCurrentDC(nullptr);
        for (DeviceContext* dc : contexts) destroyDC(dc);
        for (Bitmap* bitmap : bitmaps) freeBitmap(bitmap);
        unregisterAllDrivers();
        setPaletteCheck(0);
    }
    DeviceContext* context(int width, int height, int bits)
    {
        DeviceContext* dc = createMemoryDC(width, height, bits, nullptr);
        EXPECT_NE(dc, nullptr);
        contexts.push_back(dc);
        return dc;
    }
    Bitmap* bitmap(const BmpFile& file, int loadPalette = 1)
    {
        std::string bytes = file.bytes();
        Bitmap* result = parseBitmap(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), loadPalette);
        EXPECT_NE(result, nullptr);
        bitmaps.push_back(result);
        return result;
    }
    std::vector<DeviceContext*> contexts;
    std::vector<Bitmap*> bitmaps;
};

uint32_t pixelAt(const DeviceContext* dc, int x, int y)
{
    return readPixel(dc->surface + y * dc->bytesPerLine, x, dc->bitsPerPixel);
}

// Every pixel of a context, row after row.
std::vector<uint32_t> pixels(const DeviceContext* dc)
{
    std::vector<uint32_t> all;
    for (int y = 0; y < dc->yResolution; y++)
        for (int x = 0; x < dc->xResolution; x++) all.push_back(pixelAt(dc, x, y));
    return all;
}

// A 2 x 2 8-bit picture: red, green / blue, white (top row first).
BmpFile fourColours()
{
    BmpFile file;
    file.bits = 8, file.width = 2, file.height = 2, file.coloursUsed = 4;
    file.colours = {{0, 0, 255, 0}, {0, 255, 0, 0}, {255, 0, 0, 0}, {255, 255, 255, 0}};
    file.rows = byteString({2, 3, 0, 0, 0, 1, 0, 0});  // bottom row first
    return file;
}

} // namespace

TEST_F(PutBitmap, EightBitsConvertedToSixteen)
{
    DeviceContext* dc = context(3, 3, 16);
    putBitmap(dc, 1, 1, bitmap(fourColours()), 0);
    EXPECT_EQ(pixels(dc), (std::vector<uint32_t>{0, 0, 0,
                                                 0, 0xF800, 0x07E0,
                                                 0, 0x001F, 0xFFFF}));
}

TEST_F(PutBitmap, SameFormatIsCopiedAsItIs)
{
    BmpFile file;
    file.width = 2, file.height = 1;
    file.rows = byteString({0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0, 0});
    DeviceContext* dc = context(2, 1, 24);
    putBitmap(dc, 0, 0, bitmap(file), 0);
    EXPECT_EQ(pixels(dc), (std::vector<uint32_t>{0x332211, 0x665544}));

    // An 8-bit picture on an 8-bit context keeps its indices.
    DeviceContext* indexed = context(2, 2, 8);
    putBitmap(indexed, 0, 0, bitmap(fourColours()), 0);
    EXPECT_EQ(pixels(indexed), (std::vector<uint32_t>{0, 1, 2, 3}));
}

TEST_F(PutBitmap, TheReversedByteOrderIsConverted)
{
    BmpFile file;
    file.width = 1, file.height = 1, file.compression = 3;
    file.masks = {0xFF, 0xFF00, 0xFF0000};  // red in the low byte
    file.rows = byteString({0x11, 0x22, 0x33, 0});
    DeviceContext* dc = context(1, 1, 24);
    putBitmap(dc, 0, 0, bitmap(file), 0);
    EXPECT_EQ(pixels(dc), (std::vector<uint32_t>{0x112233}));
}

TEST_F(PutBitmap, TrueColourOntoAPaletteTakesTheNearestEntries)
{
    BmpFile file;
    file.width = 2, file.height = 1;
    file.rows = byteString({0, 0, 250, 240, 240, 240, 0, 0});  // nearly red, nearly white
    DeviceContext* dc = context(2, 1, 8);                     // the 3:3:2 palette
    putBitmap(dc, 0, 0, bitmap(file), 0);
    EXPECT_EQ(pixels(dc), (std::vector<uint32_t>{0xE0, 0xFF}));
}

TEST_F(PutBitmap, WhollyClippedAwayDrawsNothing)
{
    DeviceContext* dc = context(4, 4, 16);
    Bitmap* picture = bitmap(fourColours());
    std::vector<uint32_t> blank = pixels(dc);
    dc->clip = {0, 0, 1, 1};
    putBitmap(dc, 2, 2, picture, 0);
    putBitmap(dc, -2, 0, picture, 0);
    putBitmap(dc, 0, -2, picture, 0);
    putBitmap(dc, INT32_MAX, INT32_MAX, picture, 0);
    putBitmap(dc, INT32_MIN, 0, picture, 0);
    EXPECT_EQ(pixels(dc), blank);
    // Clipping off, the surface itself still bounds the drawing.
    dc->clipOn = 0;
    putBitmap(dc, 4, 0, picture, 0);
    putBitmap(dc, INT32_MAX - 1, INT32_MIN, picture, 0);
    EXPECT_EQ(pixels(dc), blank);
}

TEST_F(PutBitmap, PartlyClippedDrawsTheRightPart)
{
    DeviceContext* dc = context(3, 3, 16);
    dc->clip = {0, 0, 1, 1};
    putBitmap(dc, 0, 0, bitmap(fourColours()), 0);   // 2 x 2 at the corner: all of it inside
    putBitmap(dc, 1, -1, bitmap(fourColours()), 0);  // only its bottom-left pixel (blue) lands inside
    EXPECT_EQ(pixels(dc), (std::vector<uint32_t>{0xF800, 0x001F, 0,
                                                 0x001F, 0xFFFF, 0,
                                                 0, 0, 0}));
}

TEST_F(PutBitmap, FourBitPicturesClippedMidByte)
{
    BmpFile file;
    file.bits = 4, file.width = 5, file.height = 1;
    file.colours.resize(16);
    file.rows = byteString({0x12, 0x34, 0x50, 0});
    DeviceContext* dc = context(4, 1, 4);
    putBitmap(dc, -1, 0, bitmap(file), 0);  // the first pixel falls off the left edge
    EXPECT_EQ(pixels(dc), (std::vector<uint32_t>{2, 3, 4, 5}));
    DeviceContext* wide = context(4, 1, 16);
    putBitmap(wide, -3, 0, bitmap(file), 0);
    // Entries 4 and 5 of the file's table are black.
    EXPECT_EQ(pixels(wide), (std::vector<uint32_t>{0, 0, 0, 0}));
}

TEST_F(PutBitmap, OneBitPicturesAreMasksInTheCurrentColour)
{
    BmpFile file;
    file.bits = 1, file.width = 10, file.height = 1;
    file.colours = {{0, 0, 0, 0}, {255, 255, 255, 0}};
    file.rows = byteString({0xA0, 0xC0, 0, 0});  // x 0, 2, 8, 9 set
    Bitmap* mask = bitmap(file);
    DeviceContext* dc = context(9, 1, 16);
    makeCurrentDC(dc);
    setColorRGB(255, 0, 0);
    putBitmap(dc, -1, 0, mask, 0);  // the current context: drawn with the working copy's colour
    EXPECT_EQ(pixels(dc), (std::vector<uint32_t>{0, 0xF800, 0, 0, 0, 0, 0, 0xF800, 0xF800}));
}

TEST_F(PutBitmap, TheViewportOriginShiftsTheDrawing)
{
    DeviceContext* dc = context(4, 3, 16);
    dc->viewport = {2, 1, 3, 2};
    dc->clip = {0, 0, 1, 1};
    putBitmap(dc, 0, 0, bitmap(fourColours()), 0);
    EXPECT_EQ(pixels(dc), (std::vector<uint32_t>{0, 0, 0, 0,
                                                 0, 0, 0xF800, 0x07E0,
                                                 0, 0, 0x001F, 0xFFFF}));
}

TEST_F(PutBitmap, ThePaletteCheckConvertsPicturesOfAnotherPalette)
{
    DeviceContext* dc = context(2, 2, 8);
    Bitmap* picture = bitmap(fourColours());
    setPaletteCheck(1);
    putBitmap(dc, 0, 0, picture, 0);
    // Through the context's 3:3:2 palette: red, green, blue, white.
    EXPECT_EQ(pixels(dc), (std::vector<uint32_t>{0xE0, 0x1C, 0x03, 0xFF}));
    for (int i = 0; i < 4; i++) dc->palette[i] = picture->palette[i];
    for (int i = 4; i < kPaletteSize; i++) dc->palette[i] = {0, 0, 0, 0};
    putBitmap(dc, 0, 0, picture, 0);
    EXPECT_EQ(pixels(dc), (std::vector<uint32_t>{0, 1, 2, 3}));
}

TEST_F(PutBitmap, NoContext)
{
    putBitmap(nullptr, 0, 0, bitmap(fourColours()), 0);
    EXPECT_EQ(takeLastError(), kglInvalidDC);
    DeviceContext* dc = context(2, 2, 8);
    putBitmap(dc, 0, 0, nullptr, 0);
    EXPECT_EQ(pixels(dc), (std::vector<uint32_t>{0, 0, 0, 0}));
}
