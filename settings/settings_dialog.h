// The settings dialog ("DIALOG_1") that edits the settings record, and the
// change-password dialog ("DIALOG_2") it opens.
#pragma once

#include <cstdint>

#include "platform/dialogs.h"

// ---- Templates -----------------------------------------------------------------

extern const DialogTemplate settingsDialogTemplate;        // "DIALOG_1"
extern const DialogTemplate changePasswordDialogTemplate;  // "DIALOG_2"

// Control ids of the settings dialog.
enum SettingsControlId : int {
    kIdChangePassword = 103, kIdPasswordEnabled = 105, kIdModeList = 107,
    kIdColourDepthFirst = 110, kIdColourDepthLast = 114,
    kIdApply = 116, kIdDefault = 117, kIdCurrentMode = 119,
    kIdSpeedFirst = 300, kIdSpeedLast = 304,
    kIdPictureList = 400, kIdOpenPicture = 401, kIdDeletePicture = 402, kIdAddFolder = 403, kIdMuseumType = 500,
    kIdFurniture = 600, kIdCubePonds = 601, kIdSculptures = 602, kIdShowcases = 604,
    kIdClassicTextures = 620, kIdPlaques = 621,
    kIdDisplaySizeFirst = 700, kIdDisplaySizeLast = 709, kIdMoveSeconds = 710,
    kIdFogEnabled = 800, kIdFogDensity = 801, kIdFogDensityValue = 802,
    kIdFogRed = 803, kIdFogGreen = 804, kIdFogBlue = 805,
    kIdFogRedValue = 806, kIdFogGreenValue = 807, kIdFogBlueValue = 808,
    kIdColourSwatch = 809, kIdFogDensityTitle = 810, kIdFogColourTitle = 811,
    kIdWalkingSpeedFirst = 900, kIdWalkingSpeedLast = 903,
};

// Control ids of the change-password dialog.
enum PasswordControlId : int {
    kIdOldPassword = 100, kIdNewPassword = 101, kIdConfirmPassword = 102,
};

// Where the colour swatch is drawn, in pixels of the dialog's client area
// (the hidden control 809 gives only its size).
constexpr int kSwatchX = 470, kSwatchY = 240;

// ---- The settings dialog -----------------------------------------------------------

// The mode picked in the mode list; "Apply" makes it videoMode. Owned by the
// settings dialog, set from videoMode at every initialisation.
extern int pendingVideoMode;

// The procedure of "DIALOG_1", run modally with no owner by the configuration run.
int settingsDialogProcedure(Dialog* dialog, const DialogMessage& message);

// The seconds edit's text as a number: leading blanks and a sign skipped,
// digits up to the first other character, none giving 0; kept within 0..32767.
int16_t parseMoveSeconds(const char* text);

// ---- The change-password dialog ---------------------------------------------------

// Runs "DIALOG_2" modally over owner; its effect is the new password.
void runChangePasswordDialog(Dialog* owner);
// The procedure of "DIALOG_2".
int changePasswordDialogProcedure(Dialog* dialog, const DialogMessage& message);
