// The framework on the real display (Xvfb): the mode list, the mode switch,
// OpenGL on the full-screen window, presentation and giving the desktop back.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>
#include <thread>

#include "kgl/drivers.h"
#include "kgl/errors.h"
#include "kgl/events.h"
#include "kgl/framework.h"
#include "kgl/glbind.h"
#include "kgl/modes.h"
#include "platform/display.h"
#include "tests/support/test_support.h"

namespace {

DriverOptions allDrivers(uint8_t depthFilter = 0x0F)
{
    DriverOptions options = {1, 1, 1, 1, 1, 1, 1, 1, 1, 0, depthFilter};
    return options;
}

ModeInfo modeInfo(int mode, int stretch = 0)
{
    ModeInfo info = {};
    info.mode = mode;
    getModeResolution(mode, &info.xResolution, &info.yResolution, &info.bitsPerPixel);
    info.stretch = static_cast<int8_t>(stretch);
    return info;
}

class FrameworkOnDisplay : public testing::Test {
protected:
    void SetUp() override
    {
        DriverOptions options = allDrivers();
        setDriverOptions(&options);
        record = frameworkInit("Vellamir test");
        ASSERT_NE(record, nullptr);
    }
    void TearDown() override { frameworkShutdown(); }

    // The saver's way in: mode full screen with three pages asked for, OpenGL 0x1A.
    void openSaverMode(int mode)
    {
        ModeInfo info = modeInfo(mode);
        ASSERT_EQ(setDisplayMode(&info, 0, 3, 0), 1) << errorMessage(takeLastError());
        ASSERT_EQ(startOpenGL(0x1A), 1) << errorMessage(takeLastError());
    }

    ::Framework* record = nullptr;
};

TEST_F(FrameworkOnDisplay, ModeListFollowsTheDepthFilter)
{
    int count = 0;
    const ModeInfo* list = frameworkModeList(&count);
    ASSERT_GT(count, 0);
    bool has49 = false;
    for (int i = 0; i < count; ++i) {
        EXPECT_GE(list[i].mode, 11);
        EXPECT_EQ(list[i].stretch, 0) << "the desktop shows every size that fits, nothing is stretched";
        EXPECT_LE(list[i].xResolution, 1280);
        if (list[i].mode == 49) {
            has49 = true;
            EXPECT_STREQ(list[i].driverName, "FSOGL16.DRV");
            EXPECT_EQ(list[i].windowScale, 0);
            EXPECT_EQ(list[i].pageCount, modePageCount(49));
        }
        if (list[i].xResolution == 320 && (list[i].yResolution == 240 || list[i].yResolution == 400)) {
            EXPECT_EQ(list[i].windowScale, 2);
        }
    }
    EXPECT_TRUE(has49);

    DriverOptions only24 = allDrivers(kDepth24);
    setDriverOptions(&only24);
    list = frameworkModeList(&count);
    ASSERT_GT(count, 0);
    for (int i = 0; i < count; ++i) EXPECT_EQ(list[i].bitsPerPixel, 24) << list[i].mode;

    // No 2-D accelerated driver is registered, so this filter finds nothing;
    // the list is then built with every depth, and the filter is kept.
    DriverOptions restrictive = allDrivers(kOnly2DAccelerated | kDepth8);
    restrictive.acceleration = 0;
    setDriverOptions(&restrictive);
    list = frameworkModeList(&count);
    ASSERT_GT(count, 0);
    bool depths[33] = {};
    for (int i = 0; i < count; ++i) depths[list[i].bitsPerPixel] = true;
    EXPECT_TRUE(depths[8] && depths[16] && depths[24] && depths[32]);
    EXPECT_EQ(frameworkState.options.depthFilter, kOnly2DAccelerated | kDepth8);
}

TEST_F(FrameworkOnDisplay, TitleIsCutTo79Characters)
{
    std::string title(100, 't');
    frameworkInit(title.c_str());
    EXPECT_EQ(strlen(frameworkState.title), 79u);
    openSaverMode(49);
    EXPECT_EQ(std::string(fullscreenTitle()), std::string(79, 't'));
}

TEST_F(FrameworkOnDisplay, SaverModeOpensTheWindowWithItsVisual)
{
    openSaverMode(49);
    EXPECT_EQ(displayIsOpen(), 1);
    DeviceContext* display = record->displayContext;
    ASSERT_NE(display, nullptr);
    EXPECT_EQ(record->drawTarget, display) << "the window flips its own pages: no memory back buffer";
    EXPECT_EQ(record->memoryContext, nullptr);
    EXPECT_EQ(liveDC(display)->xResolution, 640);
    EXPECT_EQ(liveDC(display)->pageCount, modePageCount(49)) << "three pages asked, limited to the mode's";
    EXPECT_EQ(frameworkState.openGLStarted, 1);
    ASSERT_NE(contextVisual(display), nullptr);
    EXPECT_EQ(contextVisual(display)->depthBits, 16);

    GLint depthBits = 0, alphaBits = 0, viewport[4] = {};
    gl.glGetIntegerv(GL_DEPTH_BITS, &depthBits);
    gl.glGetIntegerv(GL_ALPHA_BITS, &alphaBits);
    gl.glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(depthBits, 16);
    EXPECT_EQ(alphaBits, 8);
    EXPECT_EQ(viewport[2], 640) << "drawing goes to a frame of the mode's size";
    EXPECT_EQ(viewport[3], 480);

    // The frame is scaled onto the 1280 x 1024 screen with its aspect kept.
    int x, y, w, h;
    displayFrameRectangle(&x, &y, &w, &h);
    EXPECT_EQ(w, 1280);
    EXPECT_EQ(h, 960);
    EXPECT_EQ(y, 32);

    // What is drawn survives the presentation in the frame.
    gl.glClearColor(0.0f, 1.0f, 0.0f, 1.0f);
    gl.glClear(GL_COLOR_BUFFER_BIT);
    swapBuffers(1);
    uint8_t pixel[4] = {};
    gl.glReadPixels(639, 479, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    EXPECT_EQ(pixel[1], 255);
    GLfloat clear[4];
    gl.glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_EQ(clear[1], 1.0f) << "the presentation leaves the program's clear colour alone";
}

TEST_F(FrameworkOnDisplay, DesktopSizedModeDrawsStraightIntoTheWindow)
{
    openSaverMode(84);   // 1280 x 1024, 32 bits: the screen's own size
    int x, y, w, h;
    displayFrameRectangle(&x, &y, &w, &h);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    EXPECT_EQ(w, 1280);
    EXPECT_EQ(h, 1024);
    GLint depthBits = 0;
    gl.glGetIntegerv(GL_DEPTH_BITS, &depthBits);
    EXPECT_GE(depthBits, 16) << "the window system gives at least the 16 bits asked for";
}

TEST_F(FrameworkOnDisplay, EightBitModeGetsTheRGBPalette)
{
    openSaverMode(19);   // 640 x 480, 256 colours
    DeviceContext* display = liveDC(record->displayContext);
    EXPECT_EQ(display->bitsPerPixel, 8);
    EXPECT_EQ(display->palette[0xE0].red, 255);
    EXPECT_EQ(display->palette[0xE0].green, 0);
    EXPECT_EQ(display->palette[0xFF].blue, 255);
    EXPECT_EQ(display->paletteRealised, 1);
}

TEST_F(FrameworkOnDisplay, BadSwitchesFail)
{
    ModeInfo stretched = modeInfo(49, 3);
    EXPECT_EQ(setDisplayMode(&stretched, 0, 3, 0), 0);
    EXPECT_EQ(displayIsOpen(), 0);
    ModeInfo windowedEntry = modeInfo(49);
    windowedEntry.mode = -1;
    EXPECT_EQ(setDisplayMode(&windowedEntry, 0, 3, 0), 0);
    ModeInfo outside = modeInfo(49);
    outside.mode = 86;
    EXPECT_EQ(setDisplayMode(&outside, 0, 3, 0), 0);
    EXPECT_EQ(takeLastError(), kglInvalidMode);
    ModeInfo tooLarge = modeInfo(55);   // 1600 x 1200 does not fit the 1280 x 1024 screen
    EXPECT_EQ(setDisplayMode(&tooLarge, 0, 3, 0), 0);
    EXPECT_EQ(takeLastError(), kglModeNotSupported);
    EXPECT_EQ(displayIsOpen(), 0);
    EXPECT_EQ(startOpenGL(0x1A), 0) << "no display, no OpenGL";

    ModeInfo good = modeInfo(49);
    ASSERT_EQ(setDisplayMode(&good, 0, 3, 0), 1);
    EXPECT_EQ(startOpenGL(kGLColourIndex), 0) << "this window system has no colour-index visuals";
    EXPECT_EQ(takeLastError(), kglGeneralError);
}

TEST_F(FrameworkOnDisplay, PagesFlipAroundTheirCount)
{
    // Without OpenGL a multi-page display flips its pages on every present.
    ModeInfo info = modeInfo(49);
    ASSERT_EQ(setDisplayMode(&info, 0, 3, 0), 1);
    DeviceContext* display = record->displayContext;
    ASSERT_EQ(liveDC(display)->pageCount, 2);
    EXPECT_EQ(frameworkState.activePage, 1);
    EXPECT_EQ(frameworkState.visualPage, 0);
    swapBuffers(1);
    EXPECT_EQ(frameworkState.activePage, 0);
    EXPECT_EQ(frameworkState.visualPage, 1);
    swapBuffers(1);
    EXPECT_EQ(frameworkState.activePage, 1);

    // A display of three pages draws on 1, 2, 0, ... and shows the page before.
    DeviceContext threePages = {};
    threePages.kind = DCKind::Display;
    threePages.pageCount = 3;
    threePages.activePage = 1;
    threePages.ops = displayDrawingOps();
    int drawn[6], shown[6];
    for (int i = 0; i < 6; ++i) {
        flipPages(&threePages, 1);
        drawn[i] = threePages.activePage;
        shown[i] = threePages.visualPage;
    }
    EXPECT_EQ(std::string() + char('0' + drawn[0]) + char('0' + drawn[1]) + char('0' + drawn[2]), "201");
    EXPECT_EQ(std::string() + char('0' + shown[0]) + char('0' + shown[1]) + char('0' + shown[2]), "120");
    EXPECT_EQ(drawn[5], 1) << "six presents: drawing on page 1 again";
    EXPECT_EQ(shown[5], 0) << "six presents: page 0 shown again";
}

TEST_F(FrameworkOnDisplay, HalfHeightAndHalfSizeBuffersArePresentedStretched)
{
    // A present copies the memory back buffer into the display's frame; the
    // frame's pixels are read back through an OpenGL context on the display.
    auto pixelAt = [](int x, int row) {
        uint8_t pixel[4] = {};
        gl.glReadPixels(x, 479 - row, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
        return (pixel[0] << 16) | (pixel[1] << 8) | pixel[2];
    };
    for (int stretch : {1, 2}) {
        SCOPED_TRACE(stretch);
        ModeInfo info = modeInfo(49, stretch);   // 640 x 480, 16 bits
        ASSERT_EQ(setDisplayMode(&info, 0, 3, 0), 1) << errorMessage(takeLastError());
        DeviceContext* back = liveDC(record->memoryContext);
        ASSERT_EQ(record->drawTarget, record->memoryContext);
        EXPECT_EQ(back->xResolution, stretch == 2 ? 320 : 640);
        EXPECT_EQ(back->yResolution, 240);
        ASSERT_EQ(createGLContext(record->displayContext, 0x1A), 1);
        makeCurrentGL(record->displayContext);
        gl.glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        gl.glClear(GL_COLOR_BUFFER_BIT);

        // Top half of the buffer red, bottom half green, its last column blue.
        for (int y = 0; y < back->yResolution; ++y)
            for (int x = 0; x < back->xResolution; ++x)
                writePixel(back->surface + y * back->bytesPerLine, x, 16,
                           packColour(back->format, y < 120 ? 255 : 0, y < 120 ? 0 : 255,
                                      x == back->xResolution - 1 ? 255 : 0));
        swapBuffers(1);
        EXPECT_EQ(pixelAt(10, 200), 0xFF0000) << "row 100 of the buffer, doubled";
        EXPECT_EQ(pixelAt(10, 479), 0x00FF00) << "the buffer's last row reaches the frame's";
        EXPECT_EQ(pixelAt(stretch == 2 ? 600 : 10, 300), 0x00FF00);
        EXPECT_EQ(pixelAt(639, 10) & 0xFF, 0xFF) << "the last column reaches the frame's";
        if (stretch == 2) {
            EXPECT_EQ(pixelAt(638, 10), 0xFF00FF) << "the last column, doubled";
        }

        makeCurrentGL(nullptr);
        destroyGLContext(record->displayContext);
    }
}

TEST_F(FrameworkOnDisplay, InputEventsCarryTheStateOfTheirOwnMoment)
{
    // Shift and the left button are let go again before the poll: the events
    // still carry them, as they were held when each message was sent.
    openSaverMode(49);
    // Keys go to the window holding the focus: the framework's, once it has
    // taken it. The limits only end a wait that never ends.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (runCommand("w=$(xdotool search --onlyvisible --name '^Vellamir test$' | head -1); [ -n \"$w\" ] && "
                      "[ \"$(xdotool getwindowfocus)\" = \"$w\" ]") != 0 &&
           std::chrono::steady_clock::now() < deadline) {
        pumpDisplayInput();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    pumpDisplayInput();
    flushEvents();
    ASSERT_EQ(runCommand("xdotool keydown shift key a keyup shift mousedown 1 mousemove 660 530 mouseup 1"), 0);
    const auto arrival = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    Event event;
    uint32_t keyModifiers = 0, moveModifiers = 0;
    bool key = false, move = false;
    while (!(key && move) && std::chrono::steady_clock::now() < arrival) {
        pumpDisplayInput();
        while (takeEvent(&event)) {
            if (event.code == kEventKeyDown && (event.message & 0xFF) == 'A') key = true, keyModifiers = event.modifiers;
            if (event.code == kEventMouseMove && !move) move = true, moveModifiers = event.modifiers;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_TRUE(key) << "the shifted key arrived";
    EXPECT_EQ(keyModifiers & kModShift, kModShift);
    ASSERT_TRUE(move) << "the move arrived";
    EXPECT_EQ(moveModifiers & kModLeftHeld, kModLeftHeld);
}

TEST_F(FrameworkOnDisplay, HalfWaySwitchStillGivesTheDesktopBack)
{
    // The library and its window are up, the context not yet made: what a
    // fatal error in the middle of the switch finds.
    int driver = -1, mode = -1;
    ASSERT_EQ(KGL_init(&driver, &mode, ""), 1);
    setFullscreenTitle("half-way");
    ASSERT_EQ(setGraphicsMode(49), 1);
    ASSERT_EQ(displayIsOpen(), 1);
    hideCursor();
    grabInput(1);
    restoreDesktop();
    EXPECT_EQ(displayIsOpen(), 0);
    EXPECT_EQ(KGL_started(), 0);
    EXPECT_EQ(cursorShowCount(), 0) << "the pointer is shown again";

    // And after a complete switch with OpenGL running.
    frameworkInit("again");
    openSaverMode(49);
    hideCursor();
    restoreDesktop();
    EXPECT_EQ(displayIsOpen(), 0);
    EXPECT_EQ(record->displayContext, nullptr);
    EXPECT_EQ(cursorShowCount(), 0);
}

TEST_F(FrameworkOnDisplay, ShutdownRestoresTheDesktopAndAllowsANewStart)
{
    openSaverMode(49);
    frameworkShutdown();
    EXPECT_EQ(displayIsOpen(), 0);
    EXPECT_EQ(KGL_started(), 0);
    EXPECT_EQ(record->drawTarget, nullptr);
    record = frameworkInit("second run");
    openSaverMode(41);   // 320 x 200, 16 bits
    EXPECT_EQ(liveDC(record->displayContext)->xResolution, 320);

    // Started again without a shut-down: the old mode goes first.
    record = frameworkInit("third run");
    EXPECT_EQ(displayIsOpen(), 0);
    EXPECT_EQ(record->displayContext, nullptr);
    openSaverMode(49);
}

} // namespace
