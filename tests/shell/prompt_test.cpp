// The password prompt in this process: its editing, its picture and dots on
// the real frame (OpenGL, read back pixel by pixel), the scene's GL state
// around it, and its timeout on the run clock.
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "kgl/bitmap.h"
#include "kgl/events.h"
#include "kgl/framework.h"
#include "kgl/glbind.h"
#include "settings/settings.h"
#include "shell/prompt.h"
#include "shell/run_state.h"
#include "shell/saver_run.h"
#include "tests/support/test_support.h"

namespace {

void type(const std::string& text)
{
    for (char c : text) promptKey(static_cast<unsigned char>(c));
}

std::string typed()
{
    return std::string(saverRun.typedPassword, strnlen(saverRun.typedPassword, sizeof saverRun.typedPassword));
}

bool typedBytesAllZero()
{
    for (char c : saverRun.typedPassword)
        if (c != 0) return false;
    return saverRun.typedLength == 0;
}

TEST(PromptEditing, PrintableCharactersBackspaceAndAnExactEnter)
{
    settings = Settings();
    settings.passwordEnabled = 1;
    snprintf(settings.password, sizeof settings.password, "secret");
    saverRun = SaverRun();
    saverRun.saverState = 1;

    promptKey(8);
    EXPECT_EQ(saverRun.typedLength, 0) << "Backspace on an empty text does nothing";
    EXPECT_TRUE(typedBytesAllZero());
    const int ignored[] = {0, 9, 27, 30, 127, 200, 255};
    for (int code : ignored) promptKey(code);
    EXPECT_EQ(saverRun.typedLength, 0);
    promptKey(31);
    promptKey(126);
    promptKey(8);
    EXPECT_EQ(typed(), "\x1f");

    // A wrong text, or one differing only in case, takes the prompt away and wipes every byte.
    for (const char* wrong : {"", "secre", "secrets", "Secret", "SECRET"}) {
        saverRun.saverState = 1;
        wipeTypedPassword();
        type(wrong);
        promptKey(13);
        EXPECT_EQ(saverRun.saverState, -1) << wrong;
        EXPECT_TRUE(typedBytesAllZero()) << wrong;
    }
    saverRun.saverState = 1;
    type("secrex");
    promptKey(8);
    type("t");
    promptKey(13);
    EXPECT_EQ(saverRun.saverState, 0);
    EXPECT_TRUE(typedBytesAllZero()) << "the text goes with the prompt";

    // An empty stored password is matched by Enter on an empty text.
    settings.password[0] = '\0';
    saverRun.saverState = 1;
    promptKey(13);
    EXPECT_EQ(saverRun.saverState, 0);

    // Leaving is final: input later in the same pass (a mouse bumped, Enter
    // repeated) does not take the accepted password back.
    Event move = {}, enter = {};
    move.x = move.y = 10;
    enter.message = 13;
    onMouseMove(&move);
    move.x = 100;
    onMouseMove(&move);
    onMouseDown(&move);
    snprintf(settings.password, sizeof settings.password, "secret");
    onKey(&enter);
    EXPECT_EQ(saverRun.saverState, 0);
}

// The RGB of a pixel of the mode's frame, top-left origin.
struct Frame {
    int width, height;
    std::vector<uint8_t> rgb;
    uint32_t at(int x, int y) const
    {
        const uint8_t* p = &rgb[(static_cast<size_t>(height - 1 - y) * width + x) * 3];
        return static_cast<uint32_t>(p[0]) << 16 | p[1] << 8 | p[2];
    }
};

Frame readFrame()
{
    Frame frame = {saverRun.screenWidth, saverRun.screenHeight, {}};
    frame.rgb.resize(static_cast<size_t>(frame.width) * frame.height * 3);
    gl.glPixelStorei(GL_PACK_ALIGNMENT, 1);
    gl.glReadPixels(0, 0, frame.width, frame.height, GL_RGB, GL_UNSIGNED_BYTE, frame.rgb.data());
    gl.glPixelStorei(GL_PACK_ALIGNMENT, 4);
    return frame;
}

uint32_t bitmapPixel(const Bitmap* bitmap, int x, int y)
{
    const uint8_t* p = bitmap->pixels + static_cast<size_t>(y) * bitmap->bytesPerLine + x * 3;
    return static_cast<uint32_t>(p[2]) << 16 | p[1] << 8 | p[0];
}

// The scene's OpenGL state that 2-D drawing must leave as it found it.
std::vector<float> sceneState()
{
    std::vector<float> state;
    const GLenum capabilities[] = {GL_LIGHTING, GL_LIGHT0, GL_DEPTH_TEST, GL_CULL_FACE, GL_BLEND, GL_FOG,
                                   GL_TEXTURE_2D, GL_ALPHA_TEST, GL_SCISSOR_TEST};
    for (GLenum capability : capabilities) state.push_back(gl.glIsEnabled(capability));
    const std::pair<GLenum, int> values[] = {
        {GL_VIEWPORT, 4}, {GL_PROJECTION_MATRIX, 16}, {GL_MODELVIEW_MATRIX, 16}, {GL_MATRIX_MODE, 1},
        {GL_CURRENT_COLOR, 4}, {GL_CURRENT_RASTER_POSITION, 4}, {GL_UNPACK_ALIGNMENT, 1}, {GL_ZOOM_Y, 1},
        {GL_POLYGON_MODE, 2}, {GL_PROJECTION_STACK_DEPTH, 1}, {GL_MODELVIEW_STACK_DEPTH, 1}};
    for (const auto& value : values) {
        float v[16] = {};
        gl.glGetFloatv(value.first, v);
        state.insert(state.end(), v, v + value.second);
    }
    return state;
}

// A saver run with the password enabled on a mode, prepared as runSaver does,
// in a Windows directory holding the bundled prompt pictures.
class PromptRun : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(getcwd(oldDirectory, sizeof oldDirectory), nullptr);
        ASSERT_EQ(chdir((binaryDir() + "/data").c_str()), 0) << "the bundled artwork is built";
    }
    void TearDown() override
    {
        frameworkShutdown();
        finishSaverRun();
        EXPECT_TRUE(typedBytesAllZero()) << "the end of the run wipes the typed text";
        EXPECT_EQ(chdir(oldDirectory), 0);
    }

    void prepare(int mode)
    {
        settings = Settings();
        snprintf(windowsDirectory, sizeof windowsDirectory, "%s/data", binaryDir().c_str());
        setDefaultPicture(settings);
        settings.videoMode = static_cast<int16_t>(mode);
        settings.passwordEnabled = 1;
        snprintf(settings.password, sizeof settings.password, "secret");
        // The run hangs the gallery pictures now: the bundled one, as start-up would name it.
        settings.pictures[0] = "Brevane\\graphics\\Default1.bmp";
        saverRun = SaverRun();
        resetCursor();
        prepareSaverRun();
    }

    char oldDirectory[4096];
};

TEST_F(PromptRun, PictureAndDotsByModeSizeOverTheFrameLeavingTheSceneState)
{
    struct Case {
        int mode, scale, pictureWidth, pictureHeight, leftOffset, topOffset;
    };
    // 640 x 480 takes "pass.pag" with dots of radius 1, 800 x 600 "pass2x.pag" with radius 2.
    for (Case c : {Case{49, 1, 184, 36, 92, 18}, Case{50, 2, 370, 72, 185, 36}}) {
        SCOPED_TRACE(c.mode);
        if (saverRun.framework) {
            frameworkShutdown();
            finishSaverRun();
        }
        prepare(c.mode);
        const Bitmap* picture = saverRun.passwordPicture;
        ASSERT_NE(picture, nullptr);
        EXPECT_EQ(picture->width, c.pictureWidth);
        EXPECT_EQ(picture->height, c.pictureHeight);

        gl.glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
        gl.glClear(GL_COLOR_BUFFER_BIT);
        gl.glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        std::vector<float> before = sceneState();
        saverRun.saverState = 1;
        type("abcde");
        drawPasswordPrompt();
        EXPECT_EQ(sceneState(), before) << "the scene's GL state is as it was";
        Frame frame = readFrame();

        const int s = c.scale, cx = saverRun.screenWidth / 2, cy = saverRun.screenHeight / 2;
        const int left = cx - c.leftOffset, top = cy - c.topOffset;
        // A dot: the centre row 2s+1 wide, for radius 2 also the rows next to
        // it, and one pixel at the top and bottom.
        auto inDot = [&](int x, int y) {
            for (int i = 0; i < 5; ++i) {
                int dx = x - (left + 8 * s + 4 * s * i), dy = y - (cy + s);
                if ((dy == 0 || (s == 2 && (dy == 1 || dy == -1))) && dx >= -s && dx <= s) return true;
                if (dx == 0 && (dy == s || dy == -s)) return true;
            }
            return false;
        };
        int mismatches = 0, black = 0;
        for (int y = top; y < top + picture->height; ++y)
            for (int x = left; x < left + picture->width; ++x) {
                uint32_t expected = inDot(x, y) ? 0u : bitmapPixel(picture, x - left, y - top);
                if (frame.at(x, y) != expected && mismatches++ < 5)
                    ADD_FAILURE() << "pixel " << x << "," << y << ": " << std::hex << frame.at(x, y) << " not "
                                  << expected;
                black += frame.at(x, y) == 0;
            }
        EXPECT_EQ(mismatches, 0);
        EXPECT_EQ(black, 5 * (s == 1 ? 5 : 17)) << "five dots";
        EXPECT_EQ(frame.at(left - 1, cy), 0xFF0000u) << "the frame around the picture is left alone";
        EXPECT_EQ(frame.at(left + picture->width, cy), 0xFF0000u);
        EXPECT_EQ(frame.at(cx, top - 1), 0xFF0000u);
        EXPECT_EQ(frame.at(cx, top + picture->height), 0xFF0000u);
    }
}

TEST_F(PromptRun, TwentySecondsWithoutInputTakeThePromptAway)
{
    prepare(49);
    Event key = {};
    key.code = kEventKeyDown;
    key.message = 'x';
    onKey(&key);   // raises the prompt, typing nothing
    ASSERT_EQ(saverRun.saverState, 1);
    onKey(&key);
    EXPECT_EQ(typed(), "x");
    drawPasswordPrompt();
    EXPECT_EQ(saverRun.promptTimer, 2) << "the timeout runs from the last input";
    uint32_t started = saverRun.promptStart;
    EXPECT_LE(timerLap() - started, 1000000u);

    // 19 seconds ago: still up. An input restarts the timeout.
    saverRun.promptStart = timerLap() - 19000000u;
    drawPasswordPrompt();
    EXPECT_EQ(saverRun.saverState, 1);
    onKey(&key);
    drawPasswordPrompt();
    EXPECT_LE(timerLap() - saverRun.promptStart, 1000000u);

    // Past 20 seconds: the prompt goes, the text is wiped, the walk goes on.
    saverRun.promptStart = timerLap() - 20000001u;
    drawPasswordPrompt();
    EXPECT_EQ(saverRun.saverState, -1);
    EXPECT_EQ(saverRun.promptTimer, 0);
    EXPECT_TRUE(typedBytesAllZero());

    // A restart of the run clock while the prompt is up wraps the difference: it goes at once.
    onKey(&key);
    onKey(&key);
    drawPasswordPrompt();
    saverRun.promptStart = 499000000u;
    timerStart();
    drawPasswordPrompt();
    EXPECT_EQ(saverRun.saverState, -1);
    EXPECT_TRUE(typedBytesAllZero());
}

} // namespace
