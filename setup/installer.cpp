#include "setup/installer.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/backdrop.h"
#include "platform/files.h"
#include "platform/msgbox.h"
#include "setup/engine.h"
#include "setup/progress.h"

Dialog* progressDialog = nullptr;

namespace {

// The run's own state, owned here and reset by runInstaller.
BackdropWindow* mainWindow = nullptr;
bool installerFailed = false;   // a fatal message was shown
bool installerAborted = false;  // the user confirmed the abort while copying
bool installerComplete = false; // the completion sequence has run

bool confirmAbort(Dialog* owner)
{
    return messageBox("Installation is not complete!\nAre you sure you want to abort?", "Abort",
                      MessageIcon::Question, MessageButtons::YesNo, owner) == MessageAnswer::Yes;
}

// The engine's boxes belong to the progress dialog. A fatal one is also
// written to standard error, where a log of the installation keeps it.
MessageAnswer showMessage(const char* text, const char* caption, MessageIcon icon)
{
    if (caption && strcmp(caption, "Fatal error") == 0 && displayAvailable()) fprintf(stderr, "%s: %s\n", caption, text);
    return messageBox(text, caption, icon, MessageButtons::Ok, progressDialog);
}

void showFilePair(const char* source, const char* destination)
{
    if (!progressDialog) return;
    setControlText(progressDialog, kIdReadField, source);
    setControlText(progressDialog, kIdWriteField, destination);
}

void redrawProgress()
{
    if (progressDialog) repaintDialog(progressDialog);
}


// The user closed the backdrop: the installer ends at once. Only a finished
// installation ends with 0; closing it early is no success.
void mainWindowClosed()
{
    mainWindow = nullptr;
    closeCopyStreams();
    std::exit(installerComplete ? 0 : 1);
}

int endInstaller(int code)
{
    closeCopyStreams();
    if (progressDialog) destroyDialog(progressDialog);
    progressDialog = nullptr;
    closeBackdropWindow(mainWindow);
    mainWindow = nullptr;
    dispatchPendingMessages();
    return code;
}

void completionSequence()
{
    messageBox("Setup complete!", "Finished setup", MessageIcon::Exclamation, MessageButtons::Ok, progressDialog);
    installer.copyActive = false;
    messageBox("It is highly suggested that you configure the\nscreen saver before you use it. Please read\n"
               "setup.wri for information on configuring the\nscreen saver.",
               "Information", MessageIcon::Information, MessageButtons::Ok, progressDialog);
    installerComplete = true;
}

} // namespace

const SetupFace installerFace{showMessage, showFilePair, redrawProgress};

int pathDialogProcedure(Dialog* dialog, const DialogMessage& message)
{
    switch (message.kind) {
    case DialogMessageKind::Initialise:
        if (queryWindowsDirectory(installer.installDirectory, sizeof installer.installDirectory) != 0)
            installer.installDirectory[0] = '\0';
        setControlText(dialog, kIdPathEdit, installer.installDirectory);
        return 1;
    case DialogMessageKind::Command:
        if (message.controlId == kIdOk) {
            // Taken as typed: whether it exists shows when the directories are made.
            std::string path = controlText(dialog, kIdPathEdit);
            size_t length = path.size() < sizeof installer.installDirectory ? path.size()
                                                                            : sizeof installer.installDirectory - 1;
            memcpy(installer.installDirectory, path.data(), length);
            installer.installDirectory[length] = '\0';
            endDialog(dialog, kIdOk);
            return 1;
        }
        if (message.controlId == kIdCancel) {
            if (confirmAbort(dialog)) {
                installer.setupFinished = true;
                endDialog(dialog, kIdCancel);
            }
            return 1;
        }
        return 0;
    default:
        return 0;
    }
}

int progressDialogProcedure(Dialog* dialog, const DialogMessage& message)
{
    switch (message.kind) {
    case DialogMessageKind::Initialise:
        if (readSetupScript(installerFace) != 0) installerFailed = true;
        return 1;
    case DialogMessageKind::Paint:
        DrawProgress(dialog);
        return 0;
    case DialogMessageKind::Command:
    case DialogMessageKind::Close:
        if (message.kind == DialogMessageKind::Command && message.controlId != kIdCancel) return 0;
        if (installer.setupFinished) {
            // Only the closing messages are left: nothing to ask.
            destroyDialog(dialog);
            if (dialog == progressDialog) progressDialog = nullptr;
        } else if (confirmAbort(dialog)) {
            installerAborted = true;
            closeCopyStreams();
        }
        return 1;
    default:
        return 0;
    }
}

void DrawProgress(Dialog* dialog)
{
    if (!installer.copyActive || installer.script.fileCount <= 0) return;
    int x, y, width, height;
    if (!controlRect(dialog, kIdProgressPanel, &x, &y, &width, &height)) return;
    PanelImage panel;
    drawProgressPanel(width, height, installer.copiedBytes, installer.script.totalBytes, panel);
    // The hidden control gives only the size; the panel's place is fixed.
    drawRgbImage(dialog, kPanelLeft, kPanelTop, panel.width, panel.height, panel.rgb.data());
}

int runInstaller()
{
    resetSetup();
    progressDialog = nullptr;
    installerFailed = installerAborted = installerComplete = false;
    if (!displayAvailable()) {
        messageBox("Setup needs a display for its dialogs.", "Fatal error", MessageIcon::Stop);
        return 1;
    }

    mainWindow = openBackdropWindow("Tarvello Software Setup", mainWindowClosed);
    int answer = runModalDialog(kPathDialog, nullptr, pathDialogProcedure);
    if (answer < 0 || installer.setupFinished) return endInstaller(1); // nothing changed on disk

    // Linux always installs from "setup.xdt", the name resetSetup gave.
    progressDialog = createModelessDialog(kProgressDialog, nullptr, progressDialogProcedure);
    if (!progressDialog || installerFailed) return endInstaller(1);

    for (;;) {
        dispatchPendingMessages();
        if (installerAborted) return endInstaller(1);
        if (copyPass(installerFace) != 0) return endInstaller(1);
        if (installer.setupFinished) {
            completionSequence();
            return endInstaller(0);
        }
    }
}
