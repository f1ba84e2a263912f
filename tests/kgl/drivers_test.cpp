// The driver registry, detection with the real display back-end, and the
// library's start-up.
#include <gtest/gtest.h>

#include <unistd.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "kgl/drivers.h"
#include "kgl/errors.h"
#include "platform/display.h"
#include "tests/support/test_support.h"

namespace {

// A driver image of the tests' own, with a detection that offers mode 49
// with the page count in pagesForSlot.
int pagesForSlot[kDriverSlotCount];

int detectMode49(int slot, int*, int*, ModeAvailability* table)
{
    table[49] = {uint8_t(slot), uint8_t(pagesForSlot[slot]), 0};
    return 1;
}

DriverImage testImage(const char* name, int (*detect)(int, int*, int*, ModeAvailability*) = detectMode49)
{
    DriverImage image = {};
    memcpy(image.header, "Kestrel3D Driver:", 18);
    strncpy(image.name, name, sizeof image.name - 1);
    strncpy(image.nameCopy, name, sizeof image.nameCopy - 1);
    image.majorVersion = 2;
    image.minorVersion = 0;
    image.kind = kDriverOpenGL;
    image.entry.detect = detect;
    return image;
}

std::vector<int> listedModes()
{
    std::vector<int> modes;
    for (const uint8_t* mode = availableModeList(); *mode != kModeListEnd; mode++) modes.push_back(*mode);
    return modes;
}

std::vector<int> registeredSlots()
{
    std::vector<int> slots;
    for (int slot = 0; slot < kDriverSlotCount; slot++)
        if (registeredDriver(slot)) slots.push_back(slot);
    return slots;
}

void registerEverything()
{
    unregisterAllDrivers();
    registerAllDrivers(1, 1, 1, 1, 1, 1, 1, 1);
    registerOpenGLDrivers();
    registerMemoryDrivers();
}

} // namespace

TEST(DriverRegistry, RegistrationErrors)
{
    unregisterAllDrivers();
    DriverImage good = testImage("FDIB16.DRV");
    EXPECT_EQ(registerDriver("fdib16.drv", &good), kglInvalidDriverName);
    EXPECT_EQ(takeLastError(), kglInvalidDriverName);
    EXPECT_EQ(registerDriver("NOSUCH.DRV", &good), kglInvalidDriverName);
    EXPECT_EQ(registerDriver(nullptr, &good), kglInvalidDriverName);

    DriverImage badHeader = good;
    badHeader.header[0] = 'k';
    EXPECT_EQ(registerDriver("FDIB16.DRV", &badHeader), kglBadDriverFile);
    EXPECT_EQ(registerDriver("FDIB16.DRV", nullptr), kglBadDriverFile);
    // The image of another driver under this slot's name.
    EXPECT_EQ(registerDriver("FDIB24.DRV", &good), kglBadDriverFile);

    DriverImage newer = good;
    newer.minorVersion = 1;
    EXPECT_EQ(registerDriver("FDIB16.DRV", &newer), kglBadDriverVersion);
    DriverImage older = good;
    older.majorVersion = 1;
    EXPECT_EQ(registerDriver("FDIB16.DRV", &older), kglBadDriverVersion);
    EXPECT_TRUE(registeredSlots().empty());

    EXPECT_EQ(registerDriver("FDIB16.DRV", &good), 0);
    EXPECT_EQ(takeLastError(), 0);
    EXPECT_EQ(registeredDriver(driverSlot("FDIB16.DRV")), &good);
    unregisterAllDrivers();
    EXPECT_TRUE(registeredSlots().empty());
}

TEST(DriverRegistry, TheEightSwitchesChooseTheGroups)
{
    auto slotsFor = [](int hw, int dd, int vga, int vgax, int vbe, int lfb, int accel, int fdib) {
        unregisterAllDrivers();
        registerAllDrivers(hw, dd, vga, vgax, vbe, lfb, accel, fdib);
        std::vector<std::string> names;
        for (int slot : registeredSlots()) names.push_back(driverSlotNames[slot]);
        return names;
    };
    using Names = std::vector<std::string>;
    EXPECT_EQ(slotsFor(1, 0, 1, 0, 0, 0, 0, 0), (Names{"VGA4.DRV", "VGA8.DRV"}));
    EXPECT_EQ(slotsFor(1, 0, 1, 1, 0, 0, 0, 0), (Names{"VGA4.DRV", "VGAX.DRV", "VGA8.DRV"}));
    EXPECT_EQ(slotsFor(0, 0, 1, 1, 1, 1, 1, 0), Names{});
    EXPECT_EQ(slotsFor(1, 0, 0, 1, 1, 0, 1, 0), Names{});
    EXPECT_EQ(slotsFor(1, 0, 0, 0, 1, 1, 0, 0),
              (Names{"LINEAR8.DRV", "LINEAR16.DRV", "LINEAR24.DRV", "LINEAR32.DRV"}));
    EXPECT_EQ(slotsFor(1, 0, 0, 0, 1, 1, 1, 0).size(), 8u);
    EXPECT_EQ(slotsFor(0, 1, 0, 0, 0, 0, 0, 1),
              (Names{"FDIB8.DRV", "FDIB16.DRV", "FDIB24.DRV", "FDIB32.DRV", "DDRAW8.DRV", "DDRAW16.DRV",
                     "DDRAW24.DRV", "DDRAW32.DRV"}));
    // No switch reaches the SVGA slots; the OpenGL and memory drivers have their own operations.
    EXPECT_EQ(slotsFor(1, 1, 1, 1, 1, 1, 1, 1).size(), 19u);
    registerOpenGLDrivers();
    registerMemoryDrivers();
    std::vector<int> all = registeredSlots();
    EXPECT_EQ(all.size(), 30u);
    for (int slot = 9; slot <= 13; slot++) EXPECT_EQ(registeredDriver(slot), nullptr) << slot;
    for (int slot : all) {
        const DriverImage* image = registeredDriver(slot);
        EXPECT_STREQ(image->name, driverSlotNames[slot]);
        EXPECT_STREQ(image->nameCopy, driverSlotNames[slot]);
    }
    unregisterAllDrivers();
}

TEST(Detection, TheLaterSlotServesAModeTwoDriversCanSet)
{
    unregisterAllDrivers();
    DriverImage fdib = testImage("FDIB16.DRV"), ddraw = testImage("DDRAW16.DRV");
    pagesForSlot[driverSlot("FDIB16.DRV")] = 3;
    pagesForSlot[driverSlot("DDRAW16.DRV")] = 5;
    // Registered in the opposite order: slot order decides, not registration order.
    ASSERT_EQ(registerDriver("DDRAW16.DRV", &ddraw), 0);
    ASSERT_EQ(registerDriver("FDIB16.DRV", &fdib), 0);
    int driver = -1, mode = -1;
    detectModes(&driver, &mode);
    EXPECT_EQ(driver, 1);
    EXPECT_EQ(modePageCount(49), 5);
    EXPECT_EQ(modeAvailability[49].driverSlot, driverSlot("DDRAW16.DRV"));
    EXPECT_EQ(listedModes(), std::vector<int>{49});
    EXPECT_EQ(modePageCount(50), 0);

    // A detection that answers nothing leaves no mode and no list.
    unregisterAllDrivers();
    driver = -1;
    detectModes(&driver, &mode);
    EXPECT_EQ(driver, 0);
    EXPECT_EQ(modePageCount(49), 0);
    EXPECT_EQ(modeAvailability[49].driverSlot, kNoDriver);
    EXPECT_TRUE(listedModes().empty());
}

// Under the test X server the display back-end offers every mode of 8 bits
// and more that fits the desktop, with two pages, and nothing larger.
TEST(Detection, TheDisplayOffersTheModesThatFitTheDesktop)
{
    int width = 0, height = 0;
    if (!displayDesktopSize(&width, &height)) GTEST_SKIP() << "no display";
    registerEverything();
    int driver = -1, mode = -1;
    detectModes(&driver, &mode);
    EXPECT_EQ(driver, 1);
    std::vector<int> expected;
    for (int m = 0; m < kModeCount; m++)
        if (modeResolutions[m].bits >= 8 && modeResolutions[m].x <= width && modeResolutions[m].y <= height)
            expected.push_back(m);
    // And, last, the mode at the screen's own size, named with it.
    expected.push_back(kScreenSizeMode);
    EXPECT_EQ(listedModes(), expected);
    EXPECT_EQ(modeName(kScreenSizeMode),
              "Screen size (" + std::to_string(width) + " x " + std::to_string(height) + ")");
    int x = 0, y = 0, bits = 0;
    EXPECT_EQ(getModeResolution(kScreenSizeMode, &x, &y, &bits), 1);
    EXPECT_TRUE(x == width && y == height && bits == 32) << x << "x" << y << "x" << bits;
    for (int m : expected) {
        EXPECT_EQ(modePageCount(m), 2) << m;
        // The full-screen OpenGL drivers come last and serve every mode they can.
        if (m >= 11) {
            EXPECT_EQ(modeFlags(m), kMode3DAccelerated) << m;
        }
    }
    if (const char* expect = getenv("KGL_EXPECT_DESKTOP")) {
        EXPECT_EQ(std::to_string(width) + "x" + std::to_string(height), expect);
    }
    if (width == 1280 && height == 1024) {
        EXPECT_EQ(modePageCount(84), 2);  // 1280 x 1024 at 32 bits
        EXPECT_EQ(modePageCount(85), 0);  // 1600 x 1200 does not fit
        EXPECT_EQ(modePageCount(25), 0);
        EXPECT_EQ(modePageCount(4), 0);   // no 4-bit modes
        EXPECT_EQ(expected.size(), 5u + 5 * 14 + 1);
    }
    unregisterAllDrivers();
}

// The settings dialog's enumeration: only the eight display groups, detected,
// then the drivers unregistered again; the list stays readable.
TEST(Detection, SettingsDialogEnumeration)
{
    int width = 0, height = 0;
    if (!displayDesktopSize(&width, &height)) GTEST_SKIP() << "no display";
    unregisterAllDrivers();
    registerAllDrivers(1, 1, 1, 1, 1, 1, 1, 1);
    int driver = -1, mode = -1;
    detectModes(&driver, &mode);
    const uint8_t* list = availableModeList();
    unregisterAllDrivers();
    ASSERT_EQ(driver, 1);
    bool has49 = false;
    for (const uint8_t* m = list; *m != kModeListEnd; m++) has49 |= *m == 49;
    EXPECT_TRUE(has49);
    EXPECT_EQ(modePageCount(49), 2);
    // The accelerated drivers are the last of the eight groups in slot order.
    EXPECT_EQ(modeAvailability[49].driverSlot, driverSlot("ACCEL16.DRV"));
    EXPECT_EQ(modeFlags(49), kMode2DAccelerated);
}

// The same detection on a smaller screen, in a test program of its own on
// its own X server.
TEST(Detection, ASmallerDesktopOffersFewerModes)
{
    char self[PATH_MAX] = {};
    ASSERT_GT(readlink("/proc/self/exe", self, sizeof self - 1), 0);
    std::string output;
    int status = runCommand("KGL_EXPECT_DESKTOP=800x600 xvfb-run -a -s '-screen 0 800x600x24 -noreset' '" +
                                std::string(self) +
                                "' --gtest_filter=Detection.TheDisplayOffersTheModesThatFitTheDesktop:"
                                "Detection.ListAt800x600 2>&1",
                            &output);
    EXPECT_EQ(status, 0) << output;
    EXPECT_NE(output.find("[  PASSED  ] 2 tests"), std::string::npos) << output;
}

TEST(Detection, ListAt800x600)
{
    const char* expect = getenv("KGL_EXPECT_DESKTOP");
    if (!expect || std::string(expect) != "800x600") GTEST_SKIP() << "runs on an 800 x 600 screen";
    registerEverything();
    int driver = -1, mode = -1;
    detectModes(&driver, &mode);
    EXPECT_EQ(modePageCount(50), 2);  // 800 x 600
    EXPECT_EQ(modePageCount(51), 0);  // 1024 x 768
    EXPECT_EQ(modePageCount(16), 2);  // 512 x 384
    unregisterAllDrivers();
}

TEST(Library, WithoutADisplayNothingIsDetected)
{
    ScopedEnv display("DISPLAY", nullptr), wayland("WAYLAND_DISPLAY", nullptr), sdl("SDL_VIDEODRIVER", nullptr);
    int width = 0, height = 0;
    EXPECT_EQ(displayDesktopSize(&width, &height), 0);
    registerEverything();
    int driver = -1, mode = -1;
    EXPECT_EQ(KGL_init(&driver, &mode, ""), 0);
    EXPECT_EQ(takeLastError(), kglNotDetected);
    EXPECT_EQ(driver, 0);
    EXPECT_EQ(KGL_started(), 0);
    EXPECT_TRUE(listedModes().empty());
    unregisterAllDrivers();
}

TEST(Library, StartsDetectsAndCloses)
{
    int width = 0, height = 0;
    if (!displayDesktopSize(&width, &height)) GTEST_SKIP() << "no display";
    registerEverything();
    int driver = -1, mode = -1;
    ASSERT_EQ(KGL_init(&driver, &mode, "/some/root"), 1);
    EXPECT_EQ(driver, 1);
    EXPECT_EQ(KGL_started(), 1);
    EXPECT_EQ(modePageCount(49), 2);

    EXPECT_EQ(setGraphicsMode(86), 0);
    EXPECT_EQ(takeLastError(), kglInvalidMode);
    EXPECT_EQ(setGraphicsMode(4), 0);  // 4-bit: no driver offers it
    EXPECT_EQ(takeLastError(), kglModeNotSupported);
    EXPECT_EQ(currentGraphicsMode(), -1);

    KGL_close();
    EXPECT_EQ(KGL_started(), 0);
    // Closed, the library can start again.
    ASSERT_EQ(KGL_init(&driver, &mode, ""), 1);
    KGL_close();
    unregisterAllDrivers();
}

// Starts the library twice on SDL's dummy video driver, which stands in for
// a display; without $DISPLAY the fatal box goes to standard error instead of
// waiting for a click.
static void startTwiceWithoutDisplay()
{
    unsetenv("DISPLAY");
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    registerEverything();
    int driver = -1, mode = -1;
    if (KGL_init(&driver, &mode, "") != 1) exit(3);
    KGL_init(&driver, &mode, "");
    exit(4);
}

TEST(LibraryDeathTest, NestedStartIsFatal)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(startTwiceWithoutDisplay(), testing::ExitedWithCode(255),
                "KGL Fatal Error!: Nested call to KGL_init!");
}
