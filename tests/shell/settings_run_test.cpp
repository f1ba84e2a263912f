// The configuration run end to end: "vellamir /c" on the test run's X server,
// driven by the real pointer and keyboard through xdotool.
#include <gtest/gtest.h>

#include <cstdio>

#include "platform/dialogs.h"
#include "settings/settings.h"
#include "settings/settings_dialog.h"
#include "tests/support/test_support.h"

namespace {

// Offset from the dialog's top-left corner to the centre of one of its controls, from its template.
std::string centreOf(int id)
{
    for (int i = 0; i < settingsDialogTemplate.controlCount; ++i) {
        const ControlTemplate& c = settingsDialogTemplate.controls[i];
        if (c.id != id) continue;
        int x = dialogUnitsToPixelsX(c.x) + dialogUnitsToPixelsX(c.width) / 2;
        int y = dialogUnitsToPixelsY(c.y) + dialogUnitsToPixelsY(c.height) / 2;
        return std::to_string(x) + " " + std::to_string(y);
    }
    return "0 0";
}

} // namespace

// The run has an X server of its own, so that no other test's window or
// pointer gets in the way of its clicks.
TEST(ConfigurationRun, ClicksAndTypingReachTheFileAndSlashCEndsWithCode1)
{
    TempDir dir;
    runCommand("mkdir '" + dir.file("Brevane") + "'");
    std::string ini = dir.file("Brevane/Vellamir.INI");
    std::string script = dir.file("drive.sh");
    writeBytes(script,
               "WINDIR='" + dir.path() + "' '" + binaryDir() + "/bin/vellamir' /c >/dev/null 2>&1 &\n"
               "pid=$!\n"
               "window=$(timeout 60 xdotool search --sync --onlyvisible --name '^Vellamir$' | head -n 1)\n"
               "eval $(xdotool getwindowgeometry --shell $window)\n"
               "xprop -id $window WM_CLASS\n"   // docks match it to vellamir.desktop
               "click() { xdotool mousemove $((X + $1)) $((Y + $2)) click 1; }\n"
               "click " + centreOf(303) + "\n"  // speed "Slow"
               "click " + centreOf(kIdMoveSeconds) + "\n"
               "xdotool key End BackSpace BackSpace type 15\n"
               "click " + centreOf(kIdApply) + "\n"
               "for i in $(seq 600); do [ -s '" + ini + "' ] && break; sleep 0.1; done\n"
               "click " + centreOf(kIdOk) + "\n"
               "wait $pid\n"
               "echo exit=$?\n");
    std::string output;
    runCommand("timeout 180 xvfb-run -a -s '-screen 0 1024x768x24 -noreset' sh '" + script + "' 2>&1", &output);
    EXPECT_EQ(output, "WM_CLASS(STRING) = \"vellamir\", \"Vellamir\"\nexit=1\n");

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
