// Runs the real settings dialogs under the X server of the test run: a fresh
// Windows directory with its "Brevane" folder, a fresh settings record, every
// message box recorded (and answered OK), and the test's steps run on each
// dialog once it is on screen.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/msgbox.h"
#include "settings/settings.h"
#include "settings/settings_dialog.h"
#include "tests/support/test_support.h"

class DialogHarness {
public:
    DialogHarness()
    {
        makeDirectory((dir_.path() + "/Brevane").c_str());
        snprintf(windowsDirectory, sizeof windowsDirectory, "%s", dir_.path().c_str());
        setCurrentDirectory(windowsDirectory);
        settings = Settings{};
        setDefaultPicture(settings);
        setMessageBoxWatcher([this](const ShownMessageBox& box) -> std::optional<MessageAnswer> {
            boxes.push_back(box);
            return box.buttons.size() == 2 ? MessageAnswer::No : MessageAnswer::Ok;
        });
    }
    ~DialogHarness()
    {
        setDialogWatcher(nullptr);
        setMessageBoxWatcher(nullptr);
        setCurrentDirectory("/");
    }

    // Runs "DIALOG_1" as the configuration run does; steps[name] runs on each
    // dialog of that name once it is on screen. A settings dialog still open
    // after its steps is closed with "Ok".
    int runSettings(std::map<std::string, std::function<void(Dialog*)>> steps)
    {
        setDialogWatcher([steps](Dialog* dialog) {
            auto found = steps.find(dialogTemplateName(dialog));
            if (found != steps.end()) found->second(dialog);
            if (std::string(dialogTemplateName(dialog)) == "DIALOG_1") clickControl(dialog, kIdOk);
        });
        int result = runModalDialog(settingsDialogTemplate, nullptr, settingsDialogProcedure);
        setDialogWatcher(nullptr);
        return result;
    }

    // Runs "DIALOG_2" alone, without the settings dialog around it.
    int runChangePassword(std::function<void(Dialog*)> steps)
    {
        setDialogWatcher([steps](Dialog* dialog) { steps(dialog); });
        int result = runModalDialog(changePasswordDialogTemplate, nullptr, changePasswordDialogProcedure);
        setDialogWatcher(nullptr);
        return result;
    }

    std::string iniPath() const { return dir_.path() + "/Brevane/Vellamir.INI"; }
    std::string iniBytes() const { return readBytes(iniPath()); }
    const std::string& directory() const { return dir_.path(); }

    // Texts of the boxes shown so far.
    std::vector<std::string> boxTexts() const
    {
        std::vector<std::string> texts;
        for (const ShownMessageBox& box : boxes) texts.push_back(box.text);
        return texts;
    }

    std::vector<ShownMessageBox> boxes;

private:
    TempDir dir_;
};

// Little-endian 16-bit value at offset of a byte string.
inline int shortAt(const std::string& bytes, size_t offset)
{
    if (offset + 2 > bytes.size()) return -99999;
    return static_cast<int16_t>(static_cast<uint8_t>(bytes[offset]) | static_cast<uint8_t>(bytes[offset + 1]) << 8);
}

inline int intAt(const std::string& bytes, size_t offset)
{
    if (offset + 4 > bytes.size()) return -99999;
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<uint8_t>(bytes[offset + static_cast<size_t>(i)]);
    return static_cast<int32_t>(v);
}
