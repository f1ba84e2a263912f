// Device contexts on the memory drivers: creation, the working copy, colours
// and filled ellipses, checked on the surfaces' pixels.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "kgl/dc.h"
#include "kgl/drivers.h"
#include "kgl/errors.h"

namespace {

class MemoryDC : public testing::Test {
protected:
    void SetUp() override
    {
        unregisterAllDrivers();
        registerMemoryDrivers();
    }
    void TearDown() override
    {
        makeCurrentDC(nullptr);
        for (DeviceContext* dc : made) destroyDC(dc);
        unregisterAllDrivers();
    }
    DeviceContext* make(int width, int height, int bits, const PixelFormat* format = nullptr)
    {
        DeviceContext* dc = createMemoryDC(width, height, bits, format);
        if (dc) made.push_back(dc);
        return dc;
    }
    std::vector<DeviceContext*> made;
};

uint32_t pixelAt(const DeviceContext* dc, int x, int y)
{
    return readPixel(dc->surface + y * dc->bytesPerLine, x, dc->bitsPerPixel);
}

// The surface as text, '#' for a pixel of value set, '.' otherwise.
std::string picture(const DeviceContext* dc, uint32_t set)
{
    std::string text;
    for (int y = 0; y < dc->yResolution; y++) {
        for (int x = 0; x < dc->xResolution; x++) text += pixelAt(dc, x, y) == set ? '#' : '.';
        text += '\n';
    }
    return text;
}

} // namespace

TEST_F(MemoryDC, EveryDepthGetsItsLayoutAndFormat)
{
    struct Case { int bits, bytesPerLine; uint32_t maxColour; };
    for (Case c : {Case{1, 4, 1}, Case{4, 4, 15}, Case{8, 8, 255}, Case{15, 12, 0x7FFF}, Case{16, 12, 0xFFFF},
                   Case{24, 16, 0xFFFFFF}, Case{32, 20, 0xFFFFFFFF}}) {
        DeviceContext* dc = make(5, 3, c.bits);
        ASSERT_NE(dc, nullptr) << c.bits;
        EXPECT_EQ(dc->kind, DCKind::Memory);
        EXPECT_EQ(dc->bytesPerLine, c.bytesPerLine) << c.bits;
        EXPECT_EQ(dc->maxColour, c.maxColour) << c.bits;
        EXPECT_EQ(dc->driverSlot, driverSlot(c.bits == 15 ? "PACK16.DRV" : (std::string("PACK") +
                                                std::to_string(c.bits) + ".DRV").c_str()));
        EXPECT_EQ(getMaxX(dc), 4);
        EXPECT_EQ(getMaxY(dc), 2);
    }
    EXPECT_EQ(made[3]->format.greenMask, 0x1F);   // 15 bits: 5:5:5
    EXPECT_EQ(made[4]->format.greenMask, 0x3F);   // 16 bits: 5:6:5
    EXPECT_EQ(made[5]->format.redPosition, 16);   // 24 bits: RGB
    EXPECT_EQ(made[6]->format.reservedPosition, 24);
    // A 1-bit surface starts black and white.
    EXPECT_EQ(made[0]->palette[1].red, 255);
    EXPECT_EQ(made[0]->palette[0].red, 0);
}

TEST_F(MemoryDC, Errors)
{
    EXPECT_EQ(make(4, 4, 12), nullptr);
    EXPECT_EQ(takeLastError(), kglInvalidMode);
    EXPECT_EQ(make(4, 4, 2), nullptr);
    EXPECT_EQ(takeLastError(), kglInvalidMode);
    EXPECT_EQ(make(0, 4, 8), nullptr);
    EXPECT_EQ(takeLastError(), kglGeneralError);
    EXPECT_EQ(make(4, -1, 8), nullptr);
    EXPECT_EQ(takeLastError(), kglGeneralError);
    EXPECT_EQ(make(1 << 20, 1 << 20, 32), nullptr);
    EXPECT_EQ(takeLastError(), kglNoMemory);
    PixelFormat wide = pixelFormat565;
    wide.greenMask = 0x3FF;  // ten bits of green do not fit 16-bit pixels with the rest
    EXPECT_EQ(make(4, 4, 16, &wide), nullptr);
    EXPECT_EQ(takeLastError(), kglInvalidMemoryFormat);
    PixelFormat wrongAdjust = pixelFormat555;
    wrongAdjust.redAdjust = 2;
    EXPECT_EQ(make(4, 4, 15, &wrongAdjust), nullptr);
    EXPECT_EQ(takeLastError(), kglInvalidMemoryFormat);

    unregisterAllDrivers();
    EXPECT_EQ(make(4, 4, 8), nullptr);
    EXPECT_EQ(takeLastError(), kglNotInstalled);
    // No mode has been set, so there is no display to make a context of.
    EXPECT_EQ(createDisplayDC(2), nullptr);
    EXPECT_EQ(takeLastError(), kglNotInstalled);
}

TEST_F(MemoryDC, ColoursArePackedThroughTheFormat)
{
    DeviceContext* dc565 = make(2, 2, 16);
    DeviceContext* dc555 = make(2, 2, 15);
    DeviceContext* dc24 = make(2, 2, 24);
    DeviceContext* rgba = make(2, 2, 32, &pixelFormatRGBA32);
    makeCurrentDC(dc565);
    setColorRGB(255, 255, 255);
    EXPECT_EQ(currentDC()->colour, 0xFFFFu);
    setColorRGB(255, 0, 0);
    EXPECT_EQ(currentDC()->colour, 0xF800u);
    setColorRGB(7, 3, 8);  // below one step of every channel
    EXPECT_EQ(currentDC()->colour, 0x0001u);
    makeCurrentDC(dc555);
    setColorRGB(255, 255, 255);
    EXPECT_EQ(currentDC()->colour, 0x7FFFu);
    setColorRGB(0, 255, 0);
    EXPECT_EQ(currentDC()->colour, 0x03E0u);
    makeCurrentDC(dc24);
    setColorRGB(0x12, 0x34, 0x56);
    EXPECT_EQ(currentDC()->colour, 0x123456u);
    makeCurrentDC(rgba);
    setColorRGB(0x12, 0x34, 0x56);
    EXPECT_EQ(currentDC()->colour, 0x12345600u);
}

TEST_F(MemoryDC, PaletteSearchTakesTheNearestAndTheLowestOnATie)
{
    DeviceContext* dc = make(2, 2, 8);
    for (PaletteEntry& entry : dc->palette) entry = {200, 200, 200, 0};
    dc->palette[3] = {0, 0, 100, 0};     // red 100
    dc->palette[7] = {0, 0, 120, 0};     // red 120
    dc->palette[9] = {0, 0, 120, 0};     // the same colour again
    dc->palette[255] = {255, 255, 255, 0};
    makeCurrentDC(dc);
    setColorRGB(104, 0, 0);
    EXPECT_EQ(currentDC()->colour, 3u);
    setColorRGB(110, 0, 0);              // 10 from both: the lower index
    EXPECT_EQ(currentDC()->colour, 3u);
    setColorRGB(125, 0, 0);
    EXPECT_EQ(currentDC()->colour, 7u);  // 9 holds the same colour but comes later
    setColorRGB(250, 250, 250);          // the largest colour value takes part
    EXPECT_EQ(currentDC()->colour, 255u);

    DeviceContext* four = make(2, 2, 4);
    makeCurrentDC(four);
    setColorRGB(250, 5, 0);
    EXPECT_EQ(currentDC()->colour, 9u);  // bright red of the 16 standard colours
    setColorRGB(255, 255, 255);
    EXPECT_EQ(currentDC()->colour, 15u);
}

TEST_F(MemoryDC, TheWorkingCopyIsWrittenBackWhenAnotherBecomesCurrent)
{
    DeviceContext* a = make(4, 4, 16);
    DeviceContext* b = make(4, 4, 16);
    EXPECT_EQ(makeCurrentDC(a), nullptr);
    EXPECT_EQ(currentDC()->surface, a->surface);
    EXPECT_NE(currentDC(), a);
    setColorRGB(255, 255, 255);
    EXPECT_EQ(a->colour, 0u);           // the record still holds the old state
    EXPECT_EQ(liveDC(a)->colour, 0xFFFFu);
    EXPECT_EQ(makeCurrentDC(a), a);     // already current: nothing happens
    EXPECT_EQ(makeCurrentDC(b), a);
    EXPECT_EQ(a->colour, 0xFFFFu);      // written back
    EXPECT_EQ(currentDC()->colour, 0u);
    EXPECT_EQ(makeCurrentDC(nullptr), b);
    EXPECT_EQ(currentDC(), nullptr);
    setColorRGB(1, 2, 3);
    EXPECT_EQ(takeLastError(), kglInvalidDC);

    makeCurrentDC(a);
    destroyDC(a);
    made.erase(made.begin());
    EXPECT_EQ(currentDC(), nullptr);
}

TEST_F(MemoryDC, EmptyEllipsesDrawNothing)
{
    DeviceContext* dc = make(8, 8, 8);
    makeCurrentDC(dc);
    setColorRGB(255, 255, 255);
    uint32_t white = currentDC()->colour;
    std::string blank = picture(dc, white);
    fillEllipseCoord(4, 4, 0, 3);
    fillEllipseCoord(4, 4, 3, 0);
    fillEllipseCoord(4, 4, -2, 3);
    fillEllipseCoord(4, 4, 0, 0);
    EXPECT_EQ(picture(dc, white), blank);
}

TEST_F(MemoryDC, EllipsesAreFilledSymmetricallyInsideTheirRectangle)
{
    DeviceContext* dc = make(9, 7, 16);
    makeCurrentDC(dc);
    setColorRGB(255, 255, 255);
    fillEllipseCoord(2, 2, 1, 1);    // the password prompt's dot of radius 1
    fillEllipseCoord(6, 3, 2, 3);
    EXPECT_EQ(picture(dc, 0xFFFF),
              "......#..\n"
              "..#..###.\n"
              ".########\n"
              "..#.#####\n"
              "....#####\n"
              ".....###.\n"
              "......#..\n");
}

TEST_F(MemoryDC, EllipsesAreClippedAndShiftedByTheViewport)
{
    DeviceContext* dc = make(10, 6, 8);
    makeCurrentDC(dc);
    setColorRGB(255, 255, 255);
    uint32_t white = currentDC()->colour;
    currentDC()->clip = {0, 0, 4, 2};
    fillEllipseCoord(4, 2, 2, 2);   // partly outside the clip rectangle
    fillEllipseCoord(9, 5, 1, 1);   // wholly outside
    EXPECT_EQ(picture(dc, white),
              "....#.....\n"
              "..###.....\n"
              "..###.....\n"
              "..........\n"
              "..........\n"
              "..........\n");

    DeviceContext* shifted = make(10, 6, 8);
    makeCurrentDC(shifted);
    setColorRGB(255, 255, 255);
    currentDC()->viewport = {5, 2, 9, 5};
    EXPECT_EQ(getMaxX(shifted), 4);
    EXPECT_EQ(getMaxY(shifted), 3);
    currentDC()->clipOn = 0;
    fillEllipseCoord(1, 1, 1, 1);
    fillEllipseCoord(100, 100, 3, 3);   // off the surface with clipping off: nothing is written
    EXPECT_EQ(picture(shifted, white),
              "..........\n"
              "..........\n"
              "......#...\n"
              ".....###..\n"
              "......#...\n"
              "..........\n");
}

TEST_F(MemoryDC, LowDepthSurfacesPackPixelsFromTheHighBits)
{
    DeviceContext* mono = make(10, 2, 1);
    DeviceContext* four = make(5, 1, 4);
    makeCurrentDC(mono);
    setColorRGB(255, 255, 255);
    fillEllipseCoord(4, 1, 4, 1);
    EXPECT_EQ(mono->surface[0], 0x08);  // row 0: x 4 alone, high bit first
    // row 1: x 0 .. 8
    EXPECT_EQ(mono->surface[mono->bytesPerLine], 0xFF);
    EXPECT_EQ(mono->surface[mono->bytesPerLine + 1], 0x80);
    makeCurrentDC(four);
    setColorRGB(255, 255, 255);
    fillEllipseCoord(2, 0, 2, 1);
    EXPECT_EQ(four->surface[0], 0xFF);
    EXPECT_EQ(four->surface[1], 0xFF);
    EXPECT_EQ(four->surface[2], 0xF0);
}

TEST_F(MemoryDC, RectanglesAreCopiedAndStretchedBetweenContexts)
{
    // Two 16-bit pixels, red and blue, onto 24 bits: converted, then doubled both ways.
    DeviceContext* source = make(2, 1, 16);
    writePixel(source->surface, 0, 16, 0xF800);
    writePixel(source->surface, 1, 16, 0x001F);
    DeviceContext* plain = make(3, 1, 24);
    plain->ops->copyRect(plain, 1, 0, source, 0, 0, 5, 5);   // more than the source has
    EXPECT_EQ(picture(plain, 0xFF0000), ".#.\n");
    EXPECT_EQ(pixelAt(plain, 2, 0), 0x0000FFu);
    DeviceContext* large = make(4, 2, 24);
    large->ops->copyRectStretched(large, 0, 0, 4, 2, source, 0, 0, 2, 1);
    EXPECT_EQ(picture(large, 0xFF0000), "##..\n##..\n");
    EXPECT_EQ(picture(large, 0x0000FF), "..##\n..##\n");
}

namespace {

// A display driver of the tests' own: it offers mode 49 with 3 pages and
// draws with the display back-end's operations.
int detect49(int slot, int*, int*, ModeAvailability* table)
{
    table[49] = {uint8_t(slot), 3, kMode3DAccelerated};
    return 1;
}
int acceptMode(int)
{
    return 1;
}
int modeRestored = 0;
void restore()
{
    modeRestored++;
}
int completeDisplay(DeviceContext* dc, int, int)
{
    dc->platform = &modeRestored;
    return 1;
}

} // namespace

TEST(DisplayDC, TakesTheModeSetLast)
{
    DriverImage image = {};
    memcpy(image.header, "Kestrel3D Driver:", 18);
    strcpy(image.name, "FSOGL16.DRV");
    strcpy(image.nameCopy, "FSOGL16.DRV");
    image.majorVersion = 2;
    image.entry = {detect49, acceptMode, restore, completeDisplay, nullptr};
    unregisterAllDrivers();
    ASSERT_EQ(registerDriver("FSOGL16.DRV", &image), 0);
    int driver = -1, mode = -1;
    ASSERT_EQ(KGL_init(&driver, &mode, ""), 1);
    ASSERT_EQ(setGraphicsMode(49), 1);
    EXPECT_EQ(currentGraphicsMode(), 49);

    DeviceContext* dc = createDisplayDC(5);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(dc->kind, DCKind::Display);
    EXPECT_EQ(dc->mode, 49);
    EXPECT_EQ(dc->xResolution, 640);
    EXPECT_EQ(dc->yResolution, 480);
    EXPECT_EQ(dc->bitsPerPixel, 16);
    EXPECT_EQ(dc->format.greenMask, 0x3F);
    EXPECT_EQ(dc->pageCount, 3);            // limited to what the mode has
    EXPECT_EQ(dc->platform, &modeRestored); // the driver completed it
    EXPECT_EQ(getMaxX(dc), 639);
    EXPECT_EQ(getMaxY(dc), 479);
    EXPECT_EQ(dc->clip.right, 639);
    EXPECT_EQ(currentDC()->mode, 49);       // made current
    EXPECT_EQ(createDisplayDC(2), nullptr); // one display context at a time
    EXPECT_EQ(takeLastError(), kglInvalidDeviceType);

    destroyDC(dc);
    EXPECT_EQ(currentDC(), nullptr);
    KGL_close();
    EXPECT_EQ(modeRestored, 1);
    EXPECT_EQ(currentGraphicsMode(), -1);
    unregisterAllDrivers();
}
