// The saver's two dialog resources, "DIALOG_1" (settings) and "DIALOG_2"
// (change password), as data: id, kind, style, text and rectangle in dialog
// units, grouped as they appear on screen.
#include "settings/settings_dialog.h"

namespace {

constexpr int kNone = kNoControlId;
constexpr ControlKind Label = ControlKind::Label, Group = ControlKind::GroupBox,
                      Button = ControlKind::PushButton, Check = ControlKind::CheckBox,
                      AutoCheck = ControlKind::AutoCheckBox, Radio = ControlKind::RadioButton,
                      Edit = ControlKind::Edit, List = ControlKind::ListBox, DropDown = ControlKind::DropDownList,
                      HBar = ControlKind::HorizontalScrollBar, VBar = ControlKind::VerticalScrollBar;

const ControlTemplate settingsControls[] = {
    // Password
    {kNone, Group, 0, "Password", 194, 1, 175, 25},
    {105, Check, kStyleTabStop, "Password enabled", 200, 11, 72, 10},
    {103, Button, kStyleDisabled, "Change password", 289, 9, 69, 12},

    // Video mode options
    {kNone, Group, 0, "Video mode options", 1, 1, 191, 90},
    {kNone, Label, 0, "Availiable modes", 5, 13, 58, 8},
    {107, List, kStyleBorder | kStyleVScroll | kStyleNotify, "", 5, 22, 182, 37},
    {kNone, Label, 0, "Current Mode", 5, 64, 47, 8},
    {119, Label, 0, "No mode selected", 59, 64, 128, 8},
    {kNone, Label, 0, "Color", 5, 76, 19, 8},
    {110, Radio, 0, "8 bit", 26, 76, 28, 10},
    {111, Radio, 0, "15 bit", 55, 76, 32, 10},
    {112, Radio, 0, "16 bit", 89, 76, 32, 10},
    {113, Radio, 0, "24 bit", 124, 76, 32, 10},
    {114, Radio, 0, "32 bit", 157, 76, 32, 10},

    // Speed
    {kNone, Group, 0, "Speed", 194, 28, 55, 63},
    {300, Radio, 0, "Max speed", 197, 37, 48, 10},
    {301, Radio, 0, "Fast", 197, 47, 48, 10},
    {302, Radio, 0, "Medium", 197, 58, 48, 10},
    {303, Radio, 0, "Slow", 197, 69, 48, 10},
    {304, Radio, 0, "Very slow", 197, 79, 48, 10},

    // Display Size
    {kNone, Group, 0, "Display Size", 251, 28, 119, 63},
    {700, Radio, 0, "Full Screen", 253, 37, 50, 10},
    {701, Radio, 0, "90%", 253, 46, 50, 10},
    {702, Radio, 0, "80%", 253, 55, 50, 10},
    {703, Radio, 0, "70%", 253, 65, 50, 10},
    {704, Radio, 0, "60%", 305, 37, 28, 10},
    {705, Radio, 0, "50%", 305, 46, 28, 10},
    {706, Radio, 0, "40%", 305, 55, 28, 10},
    {707, Radio, 0, "30%", 335, 37, 28, 10},
    {708, Radio, 0, "20%", 335, 46, 28, 10},
    {709, Radio, 0, "10%", 335, 55, 28, 10},
    {kNone, Label, 0, "Move Display Window", 254, 78, 74, 8},
    {kNone, Label, 0, "Seconds", 333, 67, 29, 8},
    {710, Edit, kStyleBorder | kStyleAutoHScroll, "", 338, 76, 17, 12},

    // Museum
    {kNone, Group, 0, "Museum", 1, 91, 334, 106},
    {kNone, Label, 0, "Gallery pictures", 7, 99, 49, 8},
    {400, List, kStyleBorder | kStyleVScroll | kStyleHScroll | kStyleNotify, "", 59, 98, 197, 37},
    {401, Button, 0, "Open picture", 6, 108, 49, 12},
    {402, Button, 0, "Delete picture", 6, 122, 49, 12},
    {403, Button, 0, "Add folder", 6, 136, 49, 12},
    {kNone, Label, 0, "Museum type", 59, 137, 48, 8},
    {500, DropDown, 0, "", 59, 146, 133, 65},

    // Objects
    {kNone, Group, 0, "Objects", 194, 144, 64, 51},
    {600, AutoCheck, 0, "Furniture", 197, 152, 58, 10},
    {601, AutoCheck, 0, "Cube ponds", 197, 162, 58, 10},
    {602, AutoCheck, 0, "Sculptures", 197, 172, 58, 10},
    {604, AutoCheck, 0, "Showcases", 197, 182, 58, 10},

    // Fog/Haze
    {kNone, Group, 0, "Fog/Haze", 259, 96, 73, 98},
    {800, Check, 0, "Enable fog/haze", 261, 105, 65, 10},
    {810, Label, 0, "Fog Density", 263, 115, 40, 8},
    {801, HBar, 0, "", 263, 124, 47, 11},
    {802, Label, 0, "100", 313, 126, 14, 8},
    {811, Label, 0, " R      G      B    Color", 263, 137, 67, 8},
    {803, VBar, 0, "", 261, 146, 13, 38},
    {804, VBar, 0, "", 279, 146, 13, 38},
    {805, VBar, 0, "", 295, 146, 13, 38},
    {806, Label, kStyleCentred, "255", 261, 184, 14, 8},
    {807, Label, kStyleCentred, "255", 279, 184, 14, 8},
    {808, Label, kStyleCentred, "255", 295, 184, 14, 8},
    {809, Label, kStyleHidden, "", 313, 148, 15, 38},

    // Walking Speed
    {kNone, Group, 0, "Walking Speed", 6, 161, 186, 34},
    {900, Radio, 0, "Fast", 9, 172, 30, 10},
    {901, Radio, 0, "Medium", 41, 172, 42, 10},
    {902, Radio, 0, "Slow", 85, 172, 34, 10},
    {903, Radio, 0, "Very Slow", 121, 172, 50, 10},

    // The look at the screen's own size
    {kNone, Group, 0, "At screen size", 1, 197, 368, 22},
    {620, AutoCheck, 0, "Classic textures", 7, 206, 80, 10},
    {621, AutoCheck, 0, "Plaques beside the photos", 100, 206, 110, 10},

    // The buttons
    {1, Button, 0, "Ok", 337, 94, 32, 12},
    {2, Button, 0, "Cancel", 337, 108, 32, 12},
    {116, Button, 0, "Apply", 337, 123, 32, 12},
    {117, Button, 0, "Default", 337, 137, 32, 12},
};

const ControlTemplate changePasswordControls[] = {
    {103, Label, 0, "Enter old password", 5, 3, 100, 8},
    {100, Edit, kStylePassword | kStyleBorder | kStyleTabStop, "", 5, 12, 119, 12},
    {104, Label, 0, "Enter new password", 5, 29, 108, 8},
    {101, Edit, kStylePassword | kStyleBorder | kStyleTabStop, "", 5, 38, 119, 12},
    {105, Label, 0, "Confirm new password", 5, 54, 89, 8},
    {102, Edit, kStylePassword | kStyleBorder | kStyleTabStop, "", 5, 63, 119, 12},
    {2, Button, 0, "Cancel", 5, 80, 40, 14},
    {1, Button, 0, "Ok", 83, 80, 40, 14},
};

} // namespace

const DialogTemplate settingsDialogTemplate = {
    "DIALOG_1", "Vellamir", kDialogCentred | kDialogSystemMenu | kDialogMinimiseBox | kDialogModalFrame,
    "Helv", 8, 0, 0, 370, 221,
    settingsControls, static_cast<int>(sizeof settingsControls / sizeof settingsControls[0]),
};

const DialogTemplate changePasswordDialogTemplate = {
    "DIALOG_2", "Change password", kDialogModalFrame,
    "Helv", 8, 147, 31, 129, 97,
    changePasswordControls, static_cast<int>(sizeof changePasswordControls / sizeof changePasswordControls[0]),
};
