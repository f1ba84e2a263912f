// The configuration run end to end: "vellamir /c" on the test run's X server,
// driven by the real pointer and keyboard through xdotool.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "platform/dialogs.h"
#include "settings/settings.h"
#include "settings/settings_dialog.h"
#include "tests/support/test_support.h"

namespace {

// Waits up to ten seconds for a file to exist with content.
bool waitForFile(const std::string& path)
{
    for (int i = 0; i < 200; ++i) {
        if (!readBytes(path).empty()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

// Screen position of the centre of a settings-dialog control, from its template.
std::string centreOf(int id, int windowX, int windowY)
{
    for (int i = 0; i < settingsDialogTemplate.controlCount; ++i) {
        const ControlTemplate& c = settingsDialogTemplate.controls[i];
        if (c.id != id) continue;
        int x = windowX + dialogUnitsToPixelsX(c.x) + dialogUnitsToPixelsX(c.width) / 2;
        int y = windowY + dialogUnitsToPixelsY(c.y) + dialogUnitsToPixelsY(c.height) / 2;
        return std::to_string(x) + " " + std::to_string(y);
    }
    return "0 0";
}

} // namespace

TEST(ConfigurationRun, ClicksAndTypingReachTheFileAndSlashCEndsWithCode1)
{
    TempDir dir;
    runCommand("mkdir '" + dir.file("Brevane") + "'");
    std::string vellamir = binaryDir() + "/bin/vellamir";
    std::string codeFile = dir.file("exit-code");
    runCommand("(WINDIR='" + dir.path() + "' '" + vellamir + "' /c >/dev/null 2>&1; echo $? > '" + codeFile +
               "') >/dev/null 2>&1 &");

    std::string window;
    ASSERT_EQ(runCommand("timeout 10 xdotool search --sync --name '^Vellamir$' | head -n 1", &window), 0);
    ASSERT_FALSE(window.empty());
    std::string geometry;
    runCommand("xdotool getwindowgeometry --shell " + window, &geometry);
    int x = -1, y = -1;
    for (size_t at = 0; at < geometry.size();) {
        size_t end = geometry.find('\n', at);
        std::string line = geometry.substr(at, end - at);
        if (line.rfind("X=", 0) == 0) x = std::stoi(line.substr(2));
        if (line.rfind("Y=", 0) == 0) y = std::stoi(line.substr(2));
        at = end == std::string::npos ? geometry.size() : end + 1;
    }
    ASSERT_GE(x, 0) << geometry;

    auto click = [&](int id) { runCommand("xdotool mousemove " + centreOf(id, x, y) + " click 1"); };
    click(303);                   // speed "Slow"
    click(kIdMoveSeconds);
    runCommand("xdotool key End BackSpace BackSpace type 15");
    click(kIdApply);
    std::string ini = dir.file("Brevane/Vellamir.INI");
    ASSERT_TRUE(waitForFile(ini));
    click(kIdOk);
    ASSERT_TRUE(waitForFile(codeFile));
    EXPECT_EQ(readBytes(codeFile), "1\n");

    snprintf(windowsDirectory, sizeof windowsDirectory, "%s", dir.path().c_str());
    Settings expected;
    expected.pictures[0] = defaultPicturePath();
    expected.speedId = 303;
    expected.moveSeconds = 15;
    EXPECT_EQ(readBytes(ini), serializeSettings(expected));
}

TEST(ConfigurationRun, WithoutADisplayItSaysWhyAndStillEndsWithItsCode)
{
    TempDir dir;
    std::string output;
    int code = runCommand("env -u DISPLAY WINDIR='" + dir.path() + "' '" + binaryDir() + "/bin/vellamir' /c 2>&1", &output);
    EXPECT_EQ(code, 1);
    EXPECT_EQ(output, "Vellamir: No display can be opened to show this dialog.\n");
}
