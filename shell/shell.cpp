#include "shell/shell.h"

#include <cstdio>
#include <string>

#include "kgl/modes.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/installed_data.h"
#include "platform/msgbox.h"
#include "settings/settings.h"
#include "shell/random.h"

namespace {

// A start-up error ends the program: on standard error always, in a box
// only where a person can answer it (not behind a screen-saver daemon's lock,
// not on a virtual X server).
void startupError(const std::string& text)
{
    fatalMessageBox(text.c_str(), "Error", MessageIcon::Stop);
}

// A user's first start after a system-wide install: the data comes from the
// installed copy, and the user is told where it went. Later starts take the
// files a newer version brought (the textures for the screen's own size came
// after the first ones), never touching what is there.
void takeInstalledData()
{
    std::string installed = findInstalledData();
    if (installed.empty()) return;
    const bool first = !hasSaverData(windowsDirectory);
    std::string reason;
    int copied = 0;
    if (copyInstalledData(installed.c_str(), windowsDirectory, &reason, &copied) != 0)
        fprintf(stderr, "Vellamir: could not copy the saver's data from %s/Brevane: %s\n", installed.c_str(),
                reason.c_str());
    else if (first)
        fprintf(stderr, "Vellamir: first start: copied the saver's data from %s/Brevane into %s/Brevane.\n",
                installed.c_str(), windowsDirectory);
    else if (copied > 0)
        fprintf(stderr, "Vellamir: copied %d new data file%s of this version from %s/Brevane into %s/Brevane.\n",
                copied, copied == 1 ? "" : "s", installed.c_str(), windowsDirectory);
}

const char kUsage[] =
    "Usage: vellamir [/s | /c | --help | --version]\n"
    "A 3-D screen saver that walks you through an art gallery.\n"
    "\n"
    "  vellamir /s         run the saver (also -s or s); inside the window that\n"
    "                      XSCREENSAVER_WINDOW names, when set\n"
    "  vellamir /c         open the settings dialog; exit code 1\n"
    "  vellamir            open the settings dialog (so does any other argument)\n"
    "  vellamir --help     show this text\n"
    "  vellamir --version  show the version\n"
    "\n"
    "Windows directory: $WINDIR, else $XDG_DATA_HOME/vellamir (~/.local/share/vellamir).\n"
    "  The saver's data is in Brevane there; after a system-wide install the first\n"
    "  start copies it from $XDG_DATA_DIRS/vellamir (/usr/local/share, /usr/share).\n"
    "Settings files: Brevane/Vellamir.INI and Brevane/Vellamir.conf in the Windows directory.\n"
    "Display: Wayland when WAYLAND_DISPLAY is set, else X11; VELLAMIR_DISPLAY=wayland\n"
    "  or =x11 chooses. A password run on Wayland locks the session where the\n"
    "  compositor offers ext-session-lock-v1, and refuses to start where it does not.\n"
    "XScreenSaver: add \"GL: vellamir /s\" to the programs list in ~/.xscreensaver.\n"
    "swayidle: swayidle -w timeout 600 'vellamir /s'\n"
    "See also: man vellamir\n";

} // namespace

int enterWindowsDirectory(std::string* reason)
{
    reason->clear();
    if (queryWindowsDirectory(windowsDirectory, sizeof windowsDirectory, reason) == 0 &&
        setCurrentDirectory(windowsDirectory) == 0)
        return 0;
    if (reason->empty()) *reason = std::string("Cannot enter the Windows directory ") + windowsDirectory + ".";
    return 1;
}

void useScreenSizeSettings()
{
    settings = Settings();
    setDefaultPicture(settings);
    settings.videoMode = kScreenSizeMode;
    settings.displaySizeId = kDisplayFullScreen;
    settings.displayScale = displayScaleFor(kDisplayFullScreen);
}

int saverMain(const char* argumentText)
{
    // The Linux conventions come first and touch nothing: no directory, no dialog.
    RunMode mode = classifyCommandLine(argumentText);
    if (mode == RunMode::Help || mode == RunMode::Version) {
        fputs(mode == RunMode::Help ? kUsage : "vellamir " VELLAMIR_VERSION "\n", stdout);
        return fflush(stdout) == 0 ? 0 : 1;
    }
    seedRandom(calendarSeconds());

    std::string reason;
    if (enterWindowsDirectory(&reason) != 0) {
        startupError("Fatal Error: " + reason);
        return 255;
    }

    takeInstalledData();
    setDefaultPicture(settings);
    LoadSettings("Brevane\\Vellamir.INI");
    LoadLookSettings("Brevane\\Vellamir.conf");

    switch (mode) {
    case RunMode::Saver:
        return runSaver();
    case RunMode::ConfigureDialog:
        runSettingsDialog();
        return 1;
    case RunMode::Dialog:
        runSettingsDialog();
        return 0;
    case RunMode::Help:
    case RunMode::Version:
        break;
    }
    return 0;
}
