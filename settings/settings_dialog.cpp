// The settings dialog: shows every field of the settings record, lets the
// user change it, and writes the file on "Apply". The radio groups, the colour
// depth, the password switch, the fog controls and the picture list change the
// record at once; the video mode waits in pendingVideoMode, and the museum
// type, the object check boxes and the seconds are read only by "Apply".
#include "settings/settings_dialog.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "gallery/gallery.h"
#include "kgl/drivers.h"
#include "kgl/modes.h"
#include "platform/files.h"
#include "platform/msgbox.h"
#include "settings/settings.h"

int pendingVideoMode = 49;

namespace {

// The modes listed in 107: detection's list, compacted so that list entry i
// is the mode at position i. Refilled with the list.
uint8_t listedModes[kModeRecords + 1];
int listedModeCount = 0;
// Cleared by every fill that lists a mode: the first notification after a
// fill is the list box taking the focus, not the user picking a mode.
bool modeListPrimed = false;
// The name chosen last in the open-file dialog and the folder chosen last,
// kept for the next time.
std::string pictureFileName;
std::string pictureFolderName;

constexpr int kMuseumTextLimit = 199;   // characters of the museum type read by "Apply"
constexpr int kSecondsTextLimit = 9;    // characters of the seconds read by "Apply"

void showError(Dialog* dialog, const char* text)
{
    messageBox(text, "Error", MessageIcon::Stop, MessageButtons::Ok, dialog);
}

// A picture folder reads as one in the list: its path and a closing "/".
std::string pictureListEntry(const std::string& picture)
{
    return isPictureFolder(picture) ? picture + "/" : picture;
}

// Something changed that "Apply" can save, and "Cancel" can drop again.
void markChanged(Dialog* dialog)
{
    enableControl(dialog, kIdApply, 1);
    enableControl(dialog, kIdCancel, 1);
}

int bitsForColourDepth(int id)
{
    switch (id) {
    case 110: return 8;
    case 111: return 15;
    case 112: return 16;
    case 113: return 24;
    case 114: return 32;
    default: return 0;
    }
}

void fillModeList(Dialog* dialog)
{
    listReset(dialog, kIdModeList);

    unregisterAllDrivers();
    registerAllDrivers(1, 1, 1, 1, 1, 1, 1, 1);
    int driver = -1, mode = -1;
    detectModes(&driver, &mode);
    int found = 0;
    for (const uint8_t* m = availableModeList(); m && *m != kModeListEnd && found < kModeRecords; ++m)
        listedModes[found++] = *m;
    listedModes[found] = kModeListEnd;
    unregisterAllDrivers();

    int depth = 0;
    for (int id = kIdColourDepthFirst; id <= kIdColourDepthLast; ++id)
        if (isChecked(dialog, id)) depth = bitsForColourDepth(id);

    // The screen's own size comes first, in every colour depth: listed first,
    // and put in front of the compacted modes afterwards (detection lists it last).
    bool screenSize = found > 0 && listedModes[found - 1] == kScreenSizeMode;
    if (screenSize) found--;
    listedModeCount = 0;
    if (screenSize) listAdd(dialog, kIdModeList, modeName(kScreenSizeMode));
    for (int i = 0; i < found; ++i) {
        int x, y, bits;
        int number = listedModes[i];
        if (!getModeResolution(number, &x, &y, &bits) || bits != depth) continue;
        listedModes[listedModeCount++] = static_cast<uint8_t>(number);
        std::string entry = std::string(modeName(number)) + "  " + std::to_string(modePageCount(number)) + " Page(s)";
        listAdd(dialog, kIdModeList, entry.c_str());
    }
    if (screenSize) {
        memmove(listedModes + 1, listedModes, listedModeCount);
        listedModes[0] = kScreenSizeMode;
        listedModeCount++;
    }
    listedModes[listedModeCount] = kModeListEnd;

    if (listedModeCount == 0) {
        listAdd(dialog, kIdModeList, "No available modes");
        enableControl(dialog, kIdModeList, 0);
    } else {
        modeListPrimed = false;
        enableControl(dialog, kIdModeList, 1);
    }
}

void enableFogControls(Dialog* dialog, int enabled)
{
    for (int id = kIdFogDensity; id <= kIdFogBlueValue; ++id) enableControl(dialog, id, enabled);
    enableControl(dialog, kIdFogDensityTitle, enabled);
    enableControl(dialog, kIdFogColourTitle, enabled);
}

void showFogColour(Dialog* dialog)
{
    setControlText(dialog, kIdFogRedValue, std::to_string(settings.fogRed).c_str());
    setControlText(dialog, kIdFogGreenValue, std::to_string(settings.fogGreen).c_str());
    setControlText(dialog, kIdFogBlueValue, std::to_string(settings.fogBlue).c_str());
}

void initialise(Dialog* dialog)
{
    checkRadioButton(dialog, kIdColourDepthFirst, kIdColourDepthLast, settings.colourDepthId);
    fillModeList(dialog);
    setControlText(dialog, kIdCurrentMode, modeName(settings.videoMode));
    pendingVideoMode = settings.videoMode;
    if (settings.videoMode == kScreenSizeMode && listedModeCount > 0 && listedModes[0] == kScreenSizeMode)
        listSelect(dialog, kIdModeList, 0);
    if (settings.passwordEnabled != 0) {
        setCheck(dialog, kIdPasswordEnabled, 1);
        enableControl(dialog, kIdChangePassword, 1);
    }
    enableControl(dialog, kIdApply, 0);
    checkRadioButton(dialog, kIdSpeedFirst, kIdSpeedLast, settings.speedId);

    listSetRedraw(dialog, kIdPictureList, 0);
    listReset(dialog, kIdPictureList);
    for (int i = 0; i < settings.pictureCount && i < kMaxPictures; ++i)
        listAdd(dialog, kIdPictureList, pictureListEntry(settings.pictures[i]).c_str());
    listSetRedraw(dialog, kIdPictureList, 1);
    listSelect(dialog, kIdPictureList, 0);

    listReset(dialog, kIdMuseumType);
    for (const char* name : museumTypeNames) listAdd(dialog, kIdMuseumType, name);
    if (settings.museumType >= 0 && settings.museumType < kMuseumTypeCount)
        listSelectString(dialog, kIdMuseumType, -1, museumTypeNames[settings.museumType]);

    setCheck(dialog, kIdFurniture, settings.furniture);
    setCheck(dialog, kIdCubePonds, settings.cubePonds);
    setCheck(dialog, kIdSculptures, settings.sculptures);
    setCheck(dialog, kIdShowcases, settings.showcases);
    setCheck(dialog, kIdClassicTextures, settings.classicTextures);
    setCheck(dialog, kIdPlaques, settings.plaques);
    checkRadioButton(dialog, kIdDisplaySizeFirst, kIdDisplaySizeLast, settings.displaySizeId);
    setControlText(dialog, kIdMoveSeconds, std::to_string(settings.moveSeconds).c_str());

    setCheck(dialog, kIdFogEnabled, settings.fogEnabled);
    enableFogControls(dialog, settings.fogEnabled);
    setScrollRange(dialog, kIdFogDensity, 0, 100);
    setScrollPosition(dialog, kIdFogDensity, settings.fogDensity);
    for (int id = kIdFogRed; id <= kIdFogBlue; ++id) setScrollRange(dialog, id, 0, 255);
    setScrollPosition(dialog, kIdFogRed, settings.fogRed);
    setScrollPosition(dialog, kIdFogGreen, settings.fogGreen);
    setScrollPosition(dialog, kIdFogBlue, settings.fogBlue);
    setControlText(dialog, kIdFogDensityValue, std::to_string(settings.fogDensity).c_str());
    showFogColour(dialog);
    checkRadioButton(dialog, kIdWalkingSpeedFirst, kIdWalkingSpeedLast, settings.walkingSpeedId);
}

void modeListNotified(Dialog* dialog)
{
    if (!modeListPrimed) {
        modeListPrimed = true;
        return;
    }
    int selected = listSelection(dialog, kIdModeList);
    if (listCount(dialog, kIdModeList) > 0 && selected >= 0 && selected < listedModeCount)
        pendingVideoMode = listedModes[selected];
    setControlText(dialog, kIdCurrentMode, modeName(pendingVideoMode));
    markChanged(dialog);
}

// Adds pictures (files or folders) to the record and the list, as many as the
// record has room for; 1 when some had to stay out.
int addPictures(Dialog* dialog, const std::vector<std::string>& pictures)
{
    int entry = -1;
    size_t added = 0;
    listSetRedraw(dialog, kIdPictureList, 0);
    for (; added < pictures.size() && settings.pictureCount < kMaxPictures; ++added) {
        settings.pictures[settings.pictureCount++] = pictures[added];
        entry = listAdd(dialog, kIdPictureList, pictureListEntry(pictures[added]).c_str());
    }
    listSetRedraw(dialog, kIdPictureList, 1);
    if (entry >= 0) listSelect(dialog, kIdPictureList, entry);
    return added < pictures.size() ? 1 : 0;
}

void openPicture(Dialog* dialog, bool folder)
{
    // The record holds 90 pictures; a 91st would have nowhere to go. A picture
    // folder takes one place, however many pictures it holds.
    if (settings.pictureCount >= kMaxPictures) {
        showError(dialog, "Error: The gallery can hold no more than 90 pictures.");
        return;
    }
    std::vector<std::string> chosen;
    if (folder) {
        if (!openFolderDialog(dialog, pictureFolderName)) return;
        chosen.push_back(pictureFolderName);
    } else {
        const char* pattern = "*.jpg;*.jpeg;*.png;*.webp;*.gif;*.tif;*.tiff;*.bmp";
        OpenFileRequest request{"Pictures (*.jpg;*.jpeg;*.png;*.webp;*.gif;*.tif;*.tiff;*.bmp)", pattern, nullptr};
        if (!openFilesDialog(dialog, request, pictureFileName, chosen)) return;
    }
    if (addPictures(dialog, chosen) != 0) showError(dialog, "Error: The gallery can hold no more than 90 pictures.");
}

void deletePicture(Dialog* dialog)
{
    int selected = listSelection(dialog, kIdPictureList);
    // A list with entries but none selected is refused like an empty one:
    // there is no picture to take out.
    if (listCount(dialog, kIdPictureList) == 0 || selected < 0 || selected >= settings.pictureCount) {
        showError(dialog, "You must select a picture to delete.");
        return;
    }
    for (int i = selected; i + 1 < settings.pictureCount; ++i) settings.pictures[i] = std::move(settings.pictures[i + 1]);
    settings.pictures[--settings.pictureCount].clear();
    listSetRedraw(dialog, kIdPictureList, 0);
    listDelete(dialog, kIdPictureList, selected);
    listSetRedraw(dialog, kIdPictureList, 1);
    listSelect(dialog, kIdPictureList, selected > 0 ? selected - 1 : 0);
}

void apply(Dialog* dialog)
{
    if (settings.passwordEnabled == 1 && settings.password[0] == '\0') {
        showError(dialog, "Error: Password enabled but no password set.");
        return;
    }
    std::string museum = controlText(dialog, kIdMuseumType).substr(0, kMuseumTextLimit);
    for (int i = 0; i < kMuseumTypeCount; ++i)
        if (museum == museumTypeNames[i]) {
            settings.museumType = static_cast<int16_t>(i);
            break;
        }
    settings.furniture = static_cast<int16_t>(isChecked(dialog, kIdFurniture));
    settings.cubePonds = static_cast<int16_t>(isChecked(dialog, kIdCubePonds));
    settings.sculptures = static_cast<int16_t>(isChecked(dialog, kIdSculptures));
    settings.showcases = static_cast<int16_t>(isChecked(dialog, kIdShowcases));
    settings.classicTextures = static_cast<int16_t>(isChecked(dialog, kIdClassicTextures));
    settings.plaques = static_cast<int16_t>(isChecked(dialog, kIdPlaques));
    settings.moveSeconds = parseMoveSeconds(controlText(dialog, kIdMoveSeconds).substr(0, kSecondsTextLimit).c_str());
    settings.videoMode = pendingVideoMode;

    // The open-file dialog may have moved the current directory.
    if (setCurrentDirectory(windowsDirectory) != 0 || SaveSettings("Brevane\\Vellamir.INI") != 0) {
        // The box keeps its short text; the file and the system's reason go to standard error.
        fprintf(stderr, "Vellamir: could not save the settings to %s/Brevane/Vellamir.INI: %s\n", windowsDirectory,
                strerror(errno));
        showError(dialog, "Error: Could not save settings to INI file.");
    } else if (SaveLookSettings("Brevane\\Vellamir.conf") != 0) {
        fprintf(stderr, "Vellamir: could not save the settings to %s/Brevane/Vellamir.conf: %s\n", windowsDirectory,
                strerror(errno));
        showError(dialog, "Error: Could not save settings to INI file.");
    }
    enableControl(dialog, kIdApply, 0);
    enableControl(dialog, kIdCancel, 0);
}

void restoreDefaults(Dialog* dialog)
{
    Settings defaults;
    settings.speedId = defaults.speedId;
    setDefaultPicture(settings);
    settings.museumType = defaults.museumType;
    settings.furniture = defaults.furniture;
    settings.cubePonds = defaults.cubePonds;
    settings.sculptures = defaults.sculptures;
    settings.showcases = defaults.showcases;
    settings.fogEnabled = defaults.fogEnabled;
    settings.fogDensity = defaults.fogDensity;
    settings.fogRed = defaults.fogRed;
    settings.fogGreen = defaults.fogGreen;
    settings.fogBlue = defaults.fogBlue;
    settings.displaySizeId = defaults.displaySizeId;
    settings.displayScale = defaults.displayScale;
    settings.moveSeconds = defaults.moveSeconds;
    settings.walkingSpeedId = defaults.walkingSpeedId;
    settings.classicTextures = defaults.classicTextures;
    settings.plaques = defaults.plaques;
    sendInitialise(dialog);
    // The reload disables "Apply"; the defaults are a change that can be saved.
    markChanged(dialog);
}

void command(Dialog* dialog, const DialogMessage& message)
{
    int id = message.controlId;
    if (id >= kIdDefault && id <= 999) markChanged(dialog);
    if (id == kIdModeList) {
        modeListNotified(dialog);
        return;
    }
    if (message.notification != Notification::Clicked) return;

    if (id >= kIdColourDepthFirst && id <= kIdColourDepthLast) {
        settings.colourDepthId = id;
        checkRadioButton(dialog, kIdColourDepthFirst, kIdColourDepthLast, id);
        fillModeList(dialog);
    } else if (id >= kIdSpeedFirst && id <= kIdSpeedLast) {
        settings.speedId = static_cast<int16_t>(id);
        checkRadioButton(dialog, kIdSpeedFirst, kIdSpeedLast, id);
    } else if (id >= kIdDisplaySizeFirst && id <= kIdDisplaySizeLast) {
        settings.displaySizeId = static_cast<int16_t>(id);
        settings.displayScale = displayScaleFor(id);
        checkRadioButton(dialog, kIdDisplaySizeFirst, kIdDisplaySizeLast, id);
    } else if (id >= kIdWalkingSpeedFirst && id <= kIdWalkingSpeedLast) {
        settings.walkingSpeedId = static_cast<int16_t>(id);
        checkRadioButton(dialog, kIdWalkingSpeedFirst, kIdWalkingSpeedLast, id);
    } else {
        switch (id) {
        case kIdPasswordEnabled: {
            int enabled = isChecked(dialog, kIdPasswordEnabled) ? 0 : 1;
            setCheck(dialog, kIdPasswordEnabled, enabled);
            settings.passwordEnabled = static_cast<int16_t>(enabled);
            enableControl(dialog, kIdChangePassword, enabled);
            // Switching the password off after an "Apply" must be savable on its own.
            markChanged(dialog);
            break;
        }
        case kIdChangePassword:
            runChangePasswordDialog(dialog);
            markChanged(dialog);
            break;
        case kIdOpenPicture: openPicture(dialog, false); break;
        case kIdAddFolder: openPicture(dialog, true); break;
        case kIdDeletePicture: deletePicture(dialog); break;
        case kIdFogEnabled:
            settings.fogEnabled = settings.fogEnabled == 1 ? 0 : 1;
            setCheck(dialog, kIdFogEnabled, settings.fogEnabled);
            enableFogControls(dialog, settings.fogEnabled);
            break;
        case kIdApply: apply(dialog); break;
        case kIdDefault: restoreDefaults(dialog); break;
        case kIdOk:
        case kIdCancel: endDialog(dialog, 0); break;
        default: break;
        }
    }
}

// The new value of a scroll-bar setting, or -1 when the code does not move it.
int scrolledValue(const DialogMessage& message, int value, int maximum)
{
    switch (message.scrollCode) {
    case ScrollCode::LineUp: value -= 1; break;
    case ScrollCode::LineDown: value += 1; break;
    case ScrollCode::ThumbPosition:
    case ScrollCode::ThumbTrack: value = message.thumbPosition; break;
    default: return -1;
    }
    return value < 0 ? 0 : value > maximum ? maximum : value;
}

void fogDensityScrolled(Dialog* dialog, const DialogMessage& message)
{
    if (message.controlId != kIdFogDensity) return;
    int value = scrolledValue(message, settings.fogDensity, 100);
    if (value < 0) return;
    settings.fogDensity = static_cast<int16_t>(value);
    setScrollPosition(dialog, kIdFogDensity, value);
    setControlText(dialog, kIdFogDensityValue, std::to_string(value).c_str());
    markChanged(dialog);
}

void fogColourScrolled(Dialog* dialog, const DialogMessage& message)
{
    int16_t* channels[] = {&settings.fogRed, &settings.fogGreen, &settings.fogBlue};
    int channel = message.controlId - kIdFogRed;
    if (channel < 0 || channel > 2) return;
    int value = scrolledValue(message, *channels[channel], 255);
    if (value < 0) return;
    *channels[channel] = static_cast<int16_t>(value);
    setScrollPosition(dialog, message.controlId, value);
    showFogColour(dialog);
    markChanged(dialog);
    repaintDialog(dialog);
}

uint8_t channel(int16_t value)
{
    return static_cast<uint8_t>(value < 0 ? 0 : value > 255 ? 255 : value);
}

void paintSwatch(Dialog* dialog)
{
    int x, y, width, height;
    if (!controlRect(dialog, kIdColourSwatch, &x, &y, &width, &height)) return;
    drawRectangle(dialog, kSwatchX, kSwatchY, width, height,
                  Rgb{channel(settings.fogRed), channel(settings.fogGreen), channel(settings.fogBlue)}, Rgb{0, 0, 0});
}

} // namespace

int16_t parseMoveSeconds(const char* text)
{
    const char* p = text;
    while (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r' || *p == '\f' || *p == '\v') ++p;
    bool negative = *p == '-';
    if (*p == '-' || *p == '+') ++p;
    long value = 0;
    for (; isdigit(static_cast<unsigned char>(*p)); ++p) {
        value = value * 10 + (*p - '0');
        if (value > 32767) value = 32768;  // saturates; the clamp below finishes it
    }
    // Seconds are a 16-bit field: a larger number would wrap to a negative one.
    if (negative || value < 0) return 0;
    return static_cast<int16_t>(value > 32767 ? 32767 : value);
}

int settingsDialogProcedure(Dialog* dialog, const DialogMessage& message)
{
    switch (message.kind) {
    case DialogMessageKind::Initialise:
        initialise(dialog);
        return 1;
    case DialogMessageKind::Command:
        command(dialog, message);
        return 1;
    case DialogMessageKind::HorizontalScroll:
        fogDensityScrolled(dialog, message);
        return 1;
    case DialogMessageKind::VerticalScroll:
        fogColourScrolled(dialog, message);
        return 1;
    case DialogMessageKind::Paint:
        paintSwatch(dialog);
        return 0;
    default:
        return 0;
    }
}
