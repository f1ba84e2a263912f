#include "shell/shell.h"

#include <string>

#include "platform/clock.h"
#include "platform/files.h"
#include "platform/msgbox.h"
#include "settings/settings.h"
#include "shell/random.h"

int saverMain(const char* argumentText)
{
    seedRandom(calendarSeconds());

    std::string reason;
    if (queryWindowsDirectory(windowsDirectory, sizeof windowsDirectory, &reason) != 0 ||
        setCurrentDirectory(windowsDirectory) != 0) {
        if (reason.empty()) reason = std::string("Cannot enter the Windows directory ") + windowsDirectory + ".";
        messageBox(("Fatal Error: " + reason).c_str(), "Error", MessageIcon::Stop);
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
