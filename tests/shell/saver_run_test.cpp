// The real "vellamir /s" on the test display, driven by xdotool: what ends
// a run, what does not, and the fatal-error box.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>

#include "settings/settings.h"
#include "tests/support/test_support.h"

namespace {

// What every script may use: "until_ok CHECK" runs the shell check again and
// again until it holds, for at most a minute, so a script waits on what the
// screen shows rather than for a time a loaded machine can outrun.
const char* const kUntilOk =
    "until_ok() { end=$(($(date +%s) + 60)); until eval \"$1\"; do [ $(date +%s) -lt $end ] || return 1; sleep 0.1; done; }\n"
    // "frames N" waits until the screen has changed N times: the saver's
    // events are read at the start of a pass, so once it has drawn three
    // frames after an input, that input has been handled and the run went on.
    "frames() { left=$1; last=$(import -window root rgb:- | md5sum)\n"
    "  until_ok 'now=$(import -window root rgb:- | md5sum); [ \"$now\" = \"$last\" ] || left=$((left - 1)); last=$now;"
    " [ $left -le 0 ]'; }\n"
    // "see LABEL GEOMETRY PATTERN" waits until the white and black pixels of
    // one row of the screen, "white=W black=B", match the pattern (the
    // password prompt's white field and its dots), and prints them.
    "row() { import -window root -crop $1 +repage -depth 8 txt:- >row.txt;"
    " echo \"white=$(grep -c '#FCFCF8' row.txt) black=$(grep -c '#000000' row.txt)\"; }\n"
    "see() { geometry=$2; pattern=$3; until_ok 'seen=$(row $geometry); case \"$seen\" in $pattern) true ;; *) false ;; esac';"
    " echo \"$1 $seen\"; }\n";

// A Windows directory with a settings file, and runs of the saver in it.
class SaverProcess : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(installSaverData(dir.path()));
        record.videoMode = 49;
        record.pictures[0] = dir.file("Brevane/graphics/Default1.bmp");
    }

    void writeSettings()
    {
        writeBytes(dir.file("Brevane/Vellamir.INI"), settingsBytes ? *settingsBytes : serializeSettings(record));
    }

    // Starts the saver, waits for its window to hold the keyboard focus and
    // show its first frame (the middle of the screen no longer black), or for
    // the box named boxTitle, telling it that a person answers boxes on this
    // virtual X server, runs the shell commands in actions, then gives it up
    // to waitSeconds to end. The output holds what the script reported:
    // "window", "box=ID", "alive" from the actions, "killed" when the saver
    // had to be stopped, and "exit=N". The saver's window is $window; an
    // action may start one helper program with its pid in $helper; it is
    // ended at the close.
    std::string run(const std::string& actions, double waitSeconds = 60.0, const std::string& boxTitle = "")
    {
        writeSettings();
        std::string wait = boxTitle.empty()
            ? "window=$(timeout 60 xdotool search --sync --onlyvisible --name '^Vellamir$' 2>/dev/null | head -1)\n"
              "[ -n \"$window\" ] && echo window\n"
              "until_ok '[ \"$(xdotool getwindowfocus 2>/dev/null)\" = \"$window\" ]' || echo no-focus\n"
              "until_ok '[ \"$(import -window root png:- 2>/dev/null | convert png:- -gravity center -crop 32x32+0+0 "
              "-format \"%[fx:mean>0.01]\" info: 2>/dev/null)\" = 1 ]' || echo no-frame\n"
            : "box=$(timeout 60 xdotool search --sync --onlyvisible --name '^" + boxTitle + "$' 2>/dev/null | head -1)\n"
              "echo box=$box\n"
              "xdotool search --onlyvisible --name '^Vellamir$' >/dev/null 2>&1 && echo saver-window-up\n";
        std::string script = kUntilOk + ("cd '" + dir.path() + "'\n") +
            (display.empty() ? std::string() : "export DISPLAY=" + display + "\n") +
            "cd '" + (startDirectory.empty() ? dir.path() : startDirectory) + "' && " + std::string(boxTitle.empty() ? "" : "VELLAMIR_ATTENDED=1 ") + "WINDIR='" +
            (windir.empty() ? dir.path() : windir) + "' '" + binaryDir() + "/bin/vellamir' /s >'" +
            dir.file("stderr") + "' 2>&1 &\n"
            "pid=$!\n" + wait + actions + "\n"
            "i=0; while kill -0 $pid 2>/dev/null && [ $i -lt " + std::to_string(static_cast<int>(waitSeconds * 20)) +
            " ]; do sleep 0.05; i=$((i+1)); done\n"
            "if kill -0 $pid 2>/dev/null; then echo killed; kill $pid; fi\n"
            "wait $pid; echo exit=$?\n"
            "if [ -n \"$helper\" ]; then kill $helper; fi\n";
        writeBytes(dir.file("run.sh"), script);
        std::string output;
        runCommand("sh '" + dir.file("run.sh") + "' 2>&1", &output);
        return output + readBytes(dir.file("stderr"));
    }

    // A valid 2 x 2 24-bit BMP, enough for the password-picture check.
    void writePicture(const std::string& name)
    {
        std::string bmp = std::string("BM") + le32(14 + 40 + 16) + le32(0) + le32(54);
        bmp += le32(40) + le32(2) + le32(2) + std::string("\x01\x00\x18\x00", 4) + le32(0) + le32(16) + le32(2835) +
               le32(2835) + le32(0) + le32(0);
        bmp += std::string(16, '\x7f');
        writeBytes(dir.file("Brevane/" + name), bmp);
    }

    static std::string le32(uint32_t v)
    {
        std::string bytes(4, '\0');
        for (int i = 0; i < 4; ++i) bytes[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
        return bytes;
    }

    static bool has(const std::string& output, const std::string& word)
    {
        return output.find(word) != std::string::npos;
    }

    TempDir dir;
    Settings record;
    std::optional<std::string> settingsBytes;  // the settings file's bytes, when not the record's
    std::string windir;          // WINDIR when not the directory's absolute path
    std::string startDirectory;  // where the saver starts, when not in the directory
    std::string display;   // another X server to run on, when set
};

TEST_F(SaverProcess, KeyPressEndsTheRunAndTheMuseumShowsInItsWindow)
{
    // Mode 49 on the 1280 x 1024 screen: the frame is 1280 x 960 from row 32,
    // the half-size display window 640 x 480 in its middle.
    std::string shot = dir.file("screen.png");
    std::string output = run("until_ok \"import -window root '" + shot + "' && [ \\$(convert '" + shot +
                             "' -crop 600x440+340+292 -format '%[fx:mean>0]' info:) = 1 ]\"\n"
                             "convert '" + shot + "' -crop 600x440+340+292 -format 'inside=%[fx:mean]\\n' info:\n"
                             "convert '" + shot + "' -crop 300x1024+0+0 -format 'left=%[fx:mean]\\n' info:\n"
                             "convert '" + shot + "' -crop 1280x250+0+0 -format 'top=%[fx:mean]\\n' info:\n"
                             "xdotool key space\n");
    EXPECT_TRUE(has(output, "window")) << output;
    EXPECT_FALSE(has(output, "inside=0\n")) << "the museum is drawn: " << output;
    EXPECT_TRUE(has(output, "left=0\n")) << "black around the display window: " << output;
    EXPECT_TRUE(has(output, "top=0\n")) << output;
    EXPECT_TRUE(has(output, "exit=0")) << output;
    EXPECT_FALSE(has(output, "killed")) << output;
}

TEST_F(SaverProcess, AnEmptySettingsFileInARelativeWindowsDirectoryRuns)
{
    // The default picture is found under the directory the relative WINDIR
    // names, and a settings file that holds nothing leaves every default.
    settingsBytes = "";
    size_t slash = dir.path().rfind('/');
    startDirectory = dir.path().substr(0, slash);
    windir = dir.path().substr(slash + 1);
    std::string output = run("xdotool key space\n");
    EXPECT_TRUE(has(output, "window")) << output;
    EXPECT_TRUE(has(output, "exit=0")) << output;
    EXPECT_FALSE(has(output, "Fatal")) << output;
}

TEST_F(SaverProcess, TheKeyboardFocusIsGivenBack)
{
    // Without a window manager the saver's window takes the focus itself; a
    // client kept connected meanwhile keeps the X server from resetting it.
    writeSettings();
    std::string script =
        "xlogo >/dev/null 2>&1 & helper=$!\n"
        "timeout 60 xdotool search --sync --onlyvisible --class '^xlogo$' >/dev/null\n"
        "echo before=$(xdotool getwindowfocus 2>&1 | head -1)\n"
        "WINDIR='" + dir.path() + "' '" + binaryDir() + "/bin/vellamir' /s >/dev/null 2>&1 &\n"
        "pid=$!\n"
        "window=$(timeout 60 xdotool search --sync --onlyvisible --name '^Vellamir$' 2>/dev/null | head -1)\n"
        "until_ok '[ \"$(xdotool getwindowfocus 2>/dev/null)\" = \"$window\" ]'\n"
        "echo during=$(xdotool getwindowfocus 2>&1 | head -1)\n"
        "xdotool key space\n"
        "wait $pid\n"
        "echo after=$(xdotool getwindowfocus 2>&1 | head -1)\n"
        "kill $helper\n";
    writeBytes(dir.file("focus.sh"), kUntilOk + script);
    std::string output;
    runCommand("timeout 180 sh '" + dir.file("focus.sh") + "' 2>&1", &output);
    size_t before = output.find("before="), during = output.find("during="), after = output.find("after=");
    ASSERT_NE(after, std::string::npos) << output;
    std::string focusBefore = output.substr(before + 7, output.find('\n', before) - before - 7);
    std::string focusDuring = output.substr(during + 7, output.find('\n', during) - during - 7);
    std::string focusAfter = output.substr(after + 6, output.find('\n', after) - after - 6);
    EXPECT_NE(focusDuring, focusBefore) << "the saver had the focus: " << output;
    EXPECT_EQ(focusAfter, focusBefore) << output;
}

TEST_F(SaverProcess, MouseButtonEndsTheRun)
{
    record.speedId = 304;   // paced runs end the same way
    std::string output = run("xdotool click 3\n");
    EXPECT_TRUE(has(output, "window")) << output;
    EXPECT_TRUE(has(output, "exit=0")) << output;
    EXPECT_FALSE(has(output, "killed")) << output;
}

TEST_F(SaverProcess, SmallMovesAreIgnoredAndFivePixelsEndTheRun)
{
    // Mode 84 is the screen's own size, so screen pixels are the run's pixels.
    // The pointer starts in the middle; the moves stay in the box 640..644 x
    // 512..516, within 4 pixels of whichever of them is reported first.
    record.videoMode = 84;
    std::string output = run("xdotool mousemove 640 512 mousemove 644 516 mousemove 644 512 mousemove 640 516"
                             " mousemove 642 514\n"
                             "frames 3 && kill -0 $pid && echo alive\n"
                             "xdotool mousemove 649 514\n");
    EXPECT_TRUE(has(output, "window")) << output;
    EXPECT_TRUE(has(output, "alive")) << "moves within 4 pixels leave the saver running: " << output;
    EXPECT_TRUE(has(output, "exit=0")) << output;
    EXPECT_FALSE(has(output, "killed")) << output;
}

TEST_F(SaverProcess, ModeOutsideTheTableEndsInTheFatalErrorBox)
{
    record.videoMode = 86;
    std::string output = run("xdotool windowfocus --sync $box key Escape\n", 3.0, "KGL Fatal Error!");
    EXPECT_FALSE(has(output, "box=\n")) << "the box is shown: " << output;
    EXPECT_FALSE(has(output, "saver-window-up")) << "no full-screen window stays behind the box: " << output;
    EXPECT_TRUE(has(output, "exit=255")) << output;
}

TEST_F(SaverProcess, SwitchingAwayEndsARunWithoutPassword)
{
    std::string output = run("xlogo -name other >/dev/null 2>&1 & helper=$!\n"
                             "other=$(timeout 60 xdotool search --sync --onlyvisible --classname '^other$' | head -1)\n"
                             "xdotool windowfocus $other\n");
    EXPECT_TRUE(has(output, "exit=0")) << output;
    EXPECT_FALSE(has(output, "killed")) << output;
}

TEST_F(SaverProcess, WithAPasswordSwitchingAwayAndInputDoNotEndTheRun)
{
    record.passwordEnabled = 1;
    snprintf(record.password, sizeof record.password, "secret");
    writePicture("pass.pag");
    writePicture("pass2x.pag");
    std::string output = run("xlogo -name other2 >/dev/null 2>&1 & helper=$!\n"
                             "other=$(timeout 60 xdotool search --sync --onlyvisible --classname '^other2$' | head -1)\n"
                             "xdotool windowfocus $other\n"
                             "xdotool key space click 1\n"
                             "frames 3 && kill -0 $pid && echo alive\n",
                             0.2);
    EXPECT_TRUE(has(output, "window")) << output;
    EXPECT_TRUE(has(output, "alive")) << "the switch is refused and the prompt is raised instead: " << output;
}

TEST_F(SaverProcess, OnlyTheRightPasswordEndsTheRun)
{
    // Mode 84 is the screen's size (1280 x 1024): the prompt is "pass2x.pag"
    // at 455, 476 with its dot line at row 514. The shots take that row across
    // the white field (x 463..816) and count its white and black pixels: each
    // dot of radius 2 is 5 pixels wide there.
    record.videoMode = 84;
    record.passwordEnabled = 1;
    snprintf(record.password, sizeof record.password, "secret");
    for (const char* name : {"pass.pag", "pass2x.pag"})
        writeBytes(dir.file(std::string("Brevane/") + name), readBytes(binaryDir() + "/data/Brevane/" + name));
    // Each step waits until the row shows what it should; a prompt raised
    // again afterwards shows the run went on.
    const std::string row = "354x1+463+514";
    std::string output = run(
        "xdotool key space; see raised " + row + " 'white=354 black=0'\n"
        "xdotool type Secret; xdotool key Return; see case " + row + " 'white=0 *'\n"
        "xdotool key space; see again " + row + " 'white=354 black=0' && kill -0 $pid && echo alive-after-case\n"
        "xdotool key BackSpace; xdotool type --delay 8 abcdefghijklmnopqrstuvwxyz0123456789abcdefghijklmn\n"
        "see fifty " + row + " 'white=139 black=215'\n"
        "xdotool key Return; see wrong " + row + " 'white=0 *'\n"
        "xdotool key space; see again " + row + " 'white=354 black=0' && kill -0 $pid && echo alive-after-wrong\n"
        "xdotool type secretx; xdotool key BackSpace Return\n");
    EXPECT_TRUE(has(output, "window")) << output;
    EXPECT_TRUE(has(output, "raised white=354 black=0")) << "a key raises the prompt, typing nothing: " << output;
    EXPECT_TRUE(has(output, "case white=0")) << "a text differing in case takes the prompt away: " << output;
    EXPECT_TRUE(has(output, "alive-after-case")) << output;
    EXPECT_TRUE(has(output, "fifty white=139 black=215")) << "50 characters leave 43 dots: " << output;
    EXPECT_TRUE(has(output, "wrong white=0")) << output;
    EXPECT_TRUE(has(output, "alive-after-wrong")) << output;
    EXPECT_TRUE(has(output, "exit=0")) << "the right password and Enter end the run: " << output;
    EXPECT_FALSE(has(output, "killed")) << output;
}

TEST_F(SaverProcess, ScreenSizeFillsWideAndSquarerScreensEdgeToEdge)
{
    record.videoMode = 100;
    record.displaySizeId = 700;
    record.displayScale = 1.0f;
    for (auto [width, height] : {std::pair{1920, 1080}, std::pair{1280, 1024}}) {
        std::string size = std::to_string(width) + "x" + std::to_string(height);
        VirtualScreens server({size});
        ASSERT_FALSE(server.name().empty());
        display = server.name();
        // Each edge line of the screen holds part of the museum: no black bars, no desktop.
        std::string edges = "edges() {\n";
        for (std::string crop : {"1x" + std::to_string(height) + "+0+0",
                                 "1x" + std::to_string(height) + "+" + std::to_string(width - 1) + "+0",
                                 std::to_string(width) + "x1+0+0",
                                 std::to_string(width) + "x1+0+" + std::to_string(height - 1)})
            edges += "import -window root -crop " + crop + " +repage png:- | "
                     "convert png:- -format 'edge=%[fx:mean>0.02 && mean<0.98] %wx%h\\n' info:\n";
        edges += "}\n";
        // Until the first frame is on the screen, every edge is black.
        std::string output = run(edges + "until_ok '! edges | grep -q edge=0'\nedges\nxdotool key space\n");
        EXPECT_FALSE(has(output, "edge=0")) << size << ": " << output;
        EXPECT_TRUE(has(output, "edge=1 1x" + std::to_string(height))) << output;
        EXPECT_EQ(std::count(output.begin(), output.end(), '='), 5) << output;   // 4 edges, exit
        EXPECT_TRUE(has(output, "exit=0")) << output;
    }
}

// Without a password, a mouse moved over the black monitor wakes the run as
// one moved over the gallery does.
TEST_F(SaverProcess, AMotionOverTheBlackMonitorEndsARunWithoutAPassword)
{
    VirtualScreens server({"1024x768", "800x600"});
    ASSERT_FALSE(server.name().empty());
    display = server.name();
    record.videoMode = 100;
    std::string output = run(
        "until_ok '[ \"$(import -display " + display + ".1 -window root png:- | convert png:- -format \"%[fx:maxima]\" "
        "info:)\" = 0 ]' && echo second-black\n"
        // A hand on the mouse: it goes to and fro until the run ends (a pass
        // takes only the last of the motions that came since the one before).
        "i=0; while kill -0 $pid 2>/dev/null && [ $i -lt 600 ]; do\n"
        "  xdotool mousemove --screen 1 $((400 + i % 2 * 40)) $((300 + i % 2 * 30)); i=$((i+1)); done\n");
    EXPECT_TRUE(has(output, "second-black")) << output;
    EXPECT_FALSE(has(output, "killed")) << output;
    EXPECT_TRUE(has(output, "exit=0")) << output;
}

// Two monitors (two screens of one X server): the gallery on the first, the
// second black, the desktop (a white root window) nowhere; with a password
// the prompt comes up on the gallery's monitor, and another client that
// unmaps the saver's window can take neither the keyboard nor the pointer.
TEST_F(SaverProcess, TwoMonitorsAreCoveredAndTheLockHoldsAgainstAnUnmap)
{
    VirtualScreens server({"1024x768", "1024x768"});
    ASSERT_FALSE(server.name().empty());
    display = server.name();
    record.videoMode = 100;
    record.passwordEnabled = 1;
    snprintf(record.password, sizeof record.password, "secret");
    for (const char* name : {"pass.pag", "pass2x.pag"})
        writeBytes(dir.file(std::string("Brevane/") + name), readBytes(binaryDir() + "/data/Brevane/" + name));
    // The prompt "pass2x.pag" sits centred: its white field crosses row 384.
    // The space after the probe raises the prompt or, when it is still up,
    // types a blank the BackSpace takes away.
    std::string output = run(
        "shots() { first=$(import -window root png:- | convert png:- -format '%[fx:mean<0.9]' info:);"
        " second=$(import -display " + display + ".1 -window root png:- | convert png:- -format '%[fx:maxima]' info:); }\n"
        "until_ok 'shots; [ \"$first $second\" = \"1 0\" ]'\n"
        "echo \"first max=$first\"; echo \"second=$second\"\n"
        "xdotool key space; see prompt 354x1+335+384 'white=354 *'\n"
        "'" + binaryDir() + "/bin/test_grab_probe' $window\n"
        "kill -0 $pid && echo alive\n"
        "xdotool key space key BackSpace; xdotool type secret; xdotool key Return\n");
    EXPECT_TRUE(has(output, "first max=1")) << "the gallery, not the white desktop: " << output;
    EXPECT_TRUE(has(output, "second=0\n")) << "the second monitor is black: " << output;
    EXPECT_TRUE(has(output, "prompt white=354")) << output;
    EXPECT_TRUE(has(output, "now=already-grabbed")) << "the keyboard stays grabbed through the unmap: " << output;
    EXPECT_TRUE(has(output, "remapped")) << output;
    EXPECT_TRUE(has(output, "keyboard=already-grabbed pointer=already-grabbed")) << output;
    EXPECT_TRUE(has(output, "alive")) << output;
    EXPECT_TRUE(has(output, "exit=0")) << "the password still ends the run: " << output;
}

} // namespace
