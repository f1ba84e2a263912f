// The installer's face and control flow: the backdrop window, the install-path
// dialog "PATH", the progress dialog "DLG" with its panel, the abort question
// and the closing messages, around the copy engine.
#pragma once

#include "platform/dialogs.h"
#include "setup/engine.h"

// ---- Dialog templates (setup/dialog_templates.cpp) ----------------------------

extern const DialogTemplate kPathDialog;     // "PATH": asks for the Windows directory
extern const DialogTemplate kProgressDialog; // "DLG": the file pair, the panel, "Cancel"

// Control ids.
constexpr int kIdPathEdit = 102;
constexpr int kIdReadField = 200;
constexpr int kIdWriteField = 201;
constexpr int kIdProgressPanel = 202; // hidden: its size is the panel's size

// ---- The installer -------------------------------------------------------------

// Runs the whole installation: backdrop, path question, script, copying with
// progress, closing messages. Returns the exit code: 0 when complete, 1 when
// it ended early (path dialog cancelled, abort confirmed, a fatal message).
int runInstaller();

// The progress dialog while it is open (null before and after); owned by the dialog manager.
extern Dialog* progressDialog;

// Draws the percentage and the bar on the progress dialog; does nothing unless
// copying is active and the script has files. Call only during its Paint message.
void DrawProgress(Dialog* dialog);

// What the progress dialog gives the copy engine: boxes owned by the dialog,
// the "Read:" and "Write:" fields, the panel's redraw.
extern const SetupFace installerFace;

// The dialog procedures, for tests that drive the dialogs themselves.
int pathDialogProcedure(Dialog* dialog, const DialogMessage& message);
int progressDialogProcedure(Dialog* dialog, const DialogMessage& message);
