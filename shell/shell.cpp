#include "shell/shell.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/clock.h"
#include "platform/files.h"
#include "platform/msgbox.h"
#include "platform/saver_host.h"
#include "settings/settings.h"
#include "shell/random.h"

namespace {

// A saver run started by a screen-saver daemon (XSCREENSAVER_WINDOW names its
// window) has nobody to answer a box, which would wait unseen behind the
// daemon's lock: its start-up errors go to standard error, which the daemon
// collects, as the library's fatal errors then do.
void startupError(const char* argumentText, const std::string& text)
{
    uint64_t window = 0;
    if (classifyCommandLine(argumentText) == RunMode::Saver && parseWindowId(getenv("XSCREENSAVER_WINDOW"), &window))
        fprintf(stderr, "Error: %s\n", text.c_str());
    else
        messageBox(text.c_str(), "Error", MessageIcon::Stop);
}

} // namespace

int saverMain(const char* argumentText)
{
    seedRandom(calendarSeconds());

    std::string reason;
    if (queryWindowsDirectory(windowsDirectory, sizeof windowsDirectory, &reason) != 0 ||
        setCurrentDirectory(windowsDirectory) != 0) {
        if (reason.empty()) reason = std::string("Cannot enter the Windows directory ") + windowsDirectory + ".";
        startupError(argumentText, "Fatal Error: " + reason);
        return 255;
    }

    setDefaultPicture(settings);
    LoadSettings("Brevane\\Vellamir.INI");

    switch (classifyCommandLine(argumentText)) {
    case RunMode::Saver:
        return runSaver();
    case RunMode::ConfigureDialog:
        runSettingsDialog();
        return 1;
    case RunMode::Dialog:
        runSettingsDialog();
        return 0;
    }
    return 0;
}
