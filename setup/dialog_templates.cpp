// The installer's dialogs in dialog units, font 8 "Helv".
#include "setup/installer.h"

namespace {

const ControlTemplate kPathControls[] = {
    {100, ControlKind::Label, kStyleNone,
     "Please enter the full path to your windows directory including the drive.", 3, 2, 223, 8},
    {kIdPathEdit, ControlKind::Edit, kStyleBorder | kStyleAutoHScroll | kStyleTabStop, "", 3, 12, 223, 12},
    {kIdOk, ControlKind::PushButton, kStyleTabStop, "Ok", 59, 27, 40, 14},
    {kIdCancel, ControlKind::PushButton, kStyleTabStop, "Cancel Setup", 106, 27, 58, 14},
};

const ControlTemplate kProgressControls[] = {
    {102, ControlKind::Label, kStyleNone, "Read:", 3, 2, 22, 8},
    {kIdReadField, ControlKind::Label, kStyleSunken, "", 11, 12, 253, 9},
    {104, ControlKind::Label, kStyleNone, "Write:", 3, 23, 23, 8},
    {kIdWriteField, ControlKind::Label, kStyleSunken, "", 11, 33, 253, 9},
    {kIdProgressPanel, ControlKind::Label, kStyleHidden, "", 5, 50, 258, 18},
    {kIdCancel, ControlKind::PushButton, kStyleTabStop, "Cancel", 115, 72, 40, 14},
};

} // namespace

const DialogTemplate kPathDialog = {
    "PATH", "Install path", kDialogCentred | kDialogModalFrame, "Helv", 8, 0, 0, 230, 44,
    kPathControls, static_cast<int>(sizeof kPathControls / sizeof kPathControls[0]),
};

// No system menu: the dialog is left only through "Cancel".
const DialogTemplate kProgressDialog = {
    "DLG", "Tarvello software screen saver install", kDialogCentred | kDialogForeground, "Helv", 8, 0, 0, 269, 90,
    kProgressControls, static_cast<int>(sizeof kProgressControls / sizeof kProgressControls[0]),
};
