// The mode table, the driver kinds and the error texts.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "kgl/errors.h"
#include "kgl/modes.h"

// The names and the resolution table are two tables: every name must state
// its mode's own size, family and colour count.
TEST(ModeTable, EveryNameAgreesWithItsResolution)
{
    const char* colours[33] = {};
    colours[4] = "16", colours[8] = "256", colours[15] = "32k", colours[16] = "64k", colours[24] = "16m",
    colours[32] = "4G";
    static const int svga[15][2] = {{320, 200}, {320, 240}, {320, 400}, {320, 480}, {400, 300},
                                    {512, 384}, {640, 350}, {640, 400}, {640, 480}, {800, 600},
                                    {1024, 768}, {1152, 864}, {1280, 960}, {1280, 1024}, {1600, 1200}};
    static const int svgaDepths[5] = {8, 15, 16, 24, 32};
    for (int mode = 0; mode < kModeCount; mode++) {
        int x = 0, y = 0, bits = 0;
        ASSERT_EQ(getModeResolution(mode, &x, &y, &bits), 1);
        ASSERT_NE(colours[bits], nullptr) << mode;
        char family[8] = {};
        int nameX = 0, nameY = 0;
        char colour[8] = {};
        ASSERT_EQ(sscanf(modeName(mode), "%d x %d %7s %7s color", &nameX, &nameY, family, colour), 4) << mode;
        EXPECT_EQ(nameX, x) << mode;
        EXPECT_EQ(nameY, y) << mode;
        EXPECT_STREQ(colour, colours[bits]) << mode;
        const char* familyOfMode = mode <= 4 || mode == 10 ? "VGA" : mode >= 6 && mode <= 9 ? "VGAX" : "SVGA";
        EXPECT_STREQ(family, familyOfMode) << mode;
        if (mode >= 11) {
            EXPECT_EQ(x, svga[(mode - 11) % 15][0]) << mode;
            EXPECT_EQ(y, svga[(mode - 11) % 15][1]) << mode;
            EXPECT_EQ(bits, svgaDepths[(mode - 11) / 15]) << mode;
        }
    }
}

TEST(ModeTable, Mode49IsTheSaversDefault)
{
    int x = 0, y = 0, bits = 0;
    EXPECT_EQ(getModeResolution(49, &x, &y, &bits), 1);
    EXPECT_EQ(x, 640);
    EXPECT_EQ(y, 480);
    EXPECT_EQ(bits, 16);
    EXPECT_STREQ(modeName(49), "640 x 480 SVGA 64k color");
}

TEST(ModeTable, NumbersOutsideTheTableAreInvalid)
{
    for (int mode : {86, -1, 1000, -86}) {
        EXPECT_STREQ(modeName(mode), "Invalid graphics mode");
        int x = 7, y = 8, bits = 9;
        EXPECT_EQ(getModeResolution(mode, &x, &y, &bits), 0);
        EXPECT_EQ(x, 7);
        EXPECT_EQ(y, 8);
        EXPECT_EQ(bits, 9);
        EXPECT_EQ(modePageCount(mode), -1);
        EXPECT_EQ(modeFlags(mode), 0);
    }
}

TEST(DriverKinds, NamesAndTheUserDriver)
{
    EXPECT_STREQ(driverName(0), "NONE");
    EXPECT_STREQ(driverName(2), "Fullscreen DIBSection");
    EXPECT_STREQ(driverName(9), "Hardware OpenGL (Microsoft ICD/MCD)");
    EXPECT_STREQ(driverName(11), "KGL hardware OpenGL driver");
    EXPECT_STREQ(driverName(12), "User graphics driver");
    EXPECT_STREQ(driverName(-1), "User graphics driver");
}

TEST(Errors, EveryCodeHasItsOwnTextAndTakingTheLastErrorResetsIt)
{
    EXPECT_STREQ(errorMessage(0), "No error");
    for (int code : {5, 1, -32, -40}) EXPECT_STREQ(errorMessage(code), errorMessage(kglInvalidErrorNumber)) << code;
    EXPECT_STREQ(errorMessage(kglInvalidErrorNumber), "Invalid error number");
    for (int a = 0; a >= -31; a--)
        for (int b = a - 1; b >= -31; b--) EXPECT_STRNE(errorMessage(a), errorMessage(b)) << a << " " << b;

    setLastError(kglInvalidBitmap);
    EXPECT_EQ(takeLastError(), -22);
    EXPECT_EQ(takeLastError(), 0);
}
