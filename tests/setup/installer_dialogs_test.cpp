// The installer's dialogs in-process on the test's X server: the path
// dialog's answer, the progress dialog's fields and panel as they reach the
// screen, and its "Cancel" before and after the last file.
#include <gtest/gtest.h>

#include <unistd.h>

#include "platform/dialogs.h"
#include "platform/msgbox.h"
#include "setup/engine.h"
#include "setup/installer.h"
#include "setup/progress.h"
#include "tests/support/test_support.h"

namespace {

// Captions of the boxes shown, in order; each is answered with `answer`.
std::vector<std::string> boxes;
MessageAnswer answer = MessageAnswer::No;

// Runs the path dialog; act works on it once it is on screen.
int runPathDialog(std::function<void(Dialog*)> act)
{
    setDialogWatcher([&](Dialog* dialog) {
        if (std::string(dialogTemplateName(dialog)) == "PATH") act(dialog);
    });
    int result = runModalDialog(kPathDialog, nullptr, pathDialogProcedure);
    setDialogWatcher(nullptr);
    return result;
}

// A start directory holding a script, current for one test; boxes are answered.
class InstallerDialogs : public ::testing::Test {
protected:
    TempDir temp;
    char oldDirectory[4096] = {};

    void SetUp() override
    {
        ASSERT_NE(getcwd(oldDirectory, sizeof oldDirectory), nullptr);
        ASSERT_EQ(chdir(temp.path().c_str()), 0);
        resetSetup();
        boxes.clear();
        answer = MessageAnswer::No;
        setMessageBoxWatcher([](const ShownMessageBox& box) -> std::optional<MessageAnswer> {
            boxes.push_back(box.caption);
            return box.buttons.size() == 1 ? MessageAnswer::Ok : answer;
        });
    }
    void TearDown() override
    {
        if (progressDialog) destroyDialog(progressDialog);
        progressDialog = nullptr;
        closeCopyStreams();
        setMessageBoxWatcher(nullptr);
        dispatchPendingMessages();
        EXPECT_EQ(chdir(oldDirectory), 0);
    }

    // The progress dialog as the installer makes it, on a script of one file.
    Dialog* openProgressDialog(int fileBytes, int total)
    {
        writeBytes(temp.file("setup.xdt"), "n\n" + std::to_string(total) + "\n%D\\out\n%Rsource\n%W\\out\\copy\n");
        writeBytes(temp.file("source"), std::string(static_cast<size_t>(fileBytes), 's'));
        snprintf(installer.installDirectory, sizeof installer.installDirectory, "%s", temp.path().c_str());
        progressDialog = createModelessDialog(kProgressDialog, nullptr, progressDialogProcedure);
        return progressDialog;
    }
};

} // namespace

TEST_F(InstallerDialogs, PathDialogOffersTheWindowsDirectoryAndTakesTheText)
{
    setenv("WINDIR", temp.path().c_str(), 1);
    std::string offered;
    EXPECT_EQ(runPathDialog([&](Dialog* dialog) {
                  offered = controlText(dialog, kIdPathEdit);
                  clickControl(dialog, kIdOk);
              }),
              kIdOk);
    EXPECT_EQ(offered, temp.path());
    EXPECT_EQ(std::string(installer.installDirectory), temp.path());

    // Whatever is typed is taken unchanged, up to 255 characters.
    runPathDialog([&](Dialog* dialog) {
        typeControlText(dialog, kIdPathEdit, "D:\\WINDOWS\\");
        clickControl(dialog, kIdOk);
    });
    EXPECT_STREQ(installer.installDirectory, "D:\\WINDOWS\\");
    std::string longPath(300, 'p');
    runPathDialog([&](Dialog* dialog) {
        typeControlText(dialog, kIdPathEdit, longPath.c_str());
        clickControl(dialog, kIdOk);
    });
    EXPECT_EQ(std::string(installer.installDirectory), longPath.substr(0, 255));
    EXPECT_FALSE(installer.setupFinished);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(InstallerDialogs, CancelSetupAsksAndOnlyYesEnds)
{
    std::string kept;
    int result = runPathDialog([&](Dialog* dialog) {
        typeControlText(dialog, kIdPathEdit, "typed by the user");
        answer = MessageAnswer::No;
        clickControl(dialog, kIdCancel);
        kept = controlText(dialog, kIdPathEdit);
        EXPECT_FALSE(installer.setupFinished);
        answer = MessageAnswer::Yes;
        clickControl(dialog, kIdCancel);
    });
    EXPECT_EQ(result, kIdCancel);
    EXPECT_EQ(kept, "typed by the user") << "No keeps the dialog with its text";
    EXPECT_EQ(boxes, (std::vector<std::string>{"Abort", "Abort"}));
    EXPECT_TRUE(installer.setupFinished);
}

TEST_F(InstallerDialogs, ProgressDialogShowsTheFilePairAndItsPanel)
{
    Dialog* dialog = openProgressDialog(500, 1000);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialogText(dialog), "Tarvello software screen saver install");
    EXPECT_TRUE(installer.copyActive) << "its initialisation read the script";
    EXPECT_EQ(runCommand("test -d '" + temp.file("out") + "'"), 0);

    int x, y, width, height;
    ASSERT_TRUE(controlRect(dialog, kIdProgressPanel, &x, &y, &width, &height));
    EXPECT_EQ(width, 387);
    EXPECT_EQ(height, 29);

    ASSERT_EQ(copyPass(installerFace), 0); // the open pass
    EXPECT_EQ(controlText(dialog, kIdReadField), "source");
    EXPECT_EQ(controlText(dialog, kIdWriteField), temp.path() + "\\out\\copy");

    // Half of the total: the panel on screen is the one computed, at 8,82.
    ASSERT_EQ(copyPass(installerFace), 0);
    ASSERT_TRUE(installer.setupFinished);
    PanelImage expected;
    drawProgressPanel(width, height, 500, 1000, expected);
    EXPECT_EQ(readDialogPixels(dialog, kPanelLeft, kPanelTop, width, height), expected.rgb);
    EXPECT_EQ(readBytes(temp.file("out/copy")), std::string(500, 's'));
    EXPECT_TRUE(boxes.empty());
}

TEST_F(InstallerDialogs, NoPanelBeforeCopyingOrWithoutFiles)
{
    writeBytes(temp.file("setup.xdt"), "n\n1000\n%D\\only\n");
    snprintf(installer.installDirectory, sizeof installer.installDirectory, "%s", temp.path().c_str());
    progressDialog = createModelessDialog(kProgressDialog, nullptr, progressDialogProcedure);
    ASSERT_NE(progressDialog, nullptr);
    repaintDialog(progressDialog);
    std::vector<uint8_t> panel = readDialogPixels(progressDialog, kPanelLeft, kPanelTop, 3, 3);
    ASSERT_EQ(panel.size(), 27u);
    EXPECT_NE(panel[0], 0) << "no black panel border is drawn";
    EXPECT_NE(std::vector<uint8_t>(panel.begin() + 12, panel.begin() + 15), (std::vector<uint8_t>{255, 255, 255}));
}

TEST_F(InstallerDialogs, CancelWhileCopyingAsksAndAfterTheLastFileCloses)
{
    Dialog* dialog = openProgressDialog(10, 10);
    ASSERT_NE(dialog, nullptr);
    ASSERT_EQ(copyPass(installerFace), 0);

    answer = MessageAnswer::No;
    clickControl(dialog, kIdCancel);
    EXPECT_EQ(boxes, (std::vector<std::string>{"Abort"}));
    EXPECT_EQ(progressDialog, dialog) << "No leaves everything running";
    ASSERT_EQ(copyPass(installerFace), 0);
    ASSERT_TRUE(installer.setupFinished);

    // Only the closing messages are left: Cancel closes without asking.
    clickControl(dialog, kIdCancel);
    EXPECT_EQ(boxes.size(), 1u);
    EXPECT_EQ(progressDialog, nullptr);
    EXPECT_EQ(copyPass(installerFace), 0) << "a finished engine does nothing";
}
