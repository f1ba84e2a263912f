// The settings dialog on the real FLTK widgets: its controls, what it shows
// on opening, the mode list, "Apply", "Ok", "Default", the pictures, the fog
// controls and the seconds, with the file checked byte for byte.
#include "tests/settings/dialog_harness.h"

#include "kgl/modes.h"

namespace {

// One control as the settings dialog's table gives it (dialog units; -1 where
// the table gives no width and height).
struct Expected {
    int id;
    const char* text;
    int x, y, width, height;
};

const Expected kDialog1[] = {
    {kNoControlId, "Password", 194, 1, 175, 25},
    {105, "Password enabled", 200, 11, 72, 10},
    {103, "Change password", 289, 9, 69, 12},
    {kNoControlId, "Video mode options", 1, 1, 191, 90},
    {kNoControlId, "Availiable modes", 5, 13, 58, 8},
    {107, "", 5, 22, 182, 37},
    {kNoControlId, "Current Mode", 5, 64, 47, 8},
    {119, "640 x 480 SVGA 64k color", 59, 64, 128, 8},
    {kNoControlId, "Color", 5, 76, 19, 8},
    {110, "8 bit", 26, 76, 28, 10}, {111, "15 bit", 55, 76, 32, 10}, {112, "16 bit", 89, 76, 32, 10},
    {113, "24 bit", 124, 76, 32, 10}, {114, "32 bit", 157, 76, 32, 10},
    {kNoControlId, "Speed", 194, 28, 55, 63},
    {300, "Max speed", 197, 37, -1, -1}, {301, "Fast", 197, 47, -1, -1}, {302, "Medium", 197, 58, -1, -1},
    {303, "Slow", 197, 69, -1, -1}, {304, "Very slow", 197, 79, -1, -1},
    {kNoControlId, "Display Size", 251, 28, 119, 63},
    {700, "Full Screen", 253, 37, -1, -1}, {701, "90%", 253, 46, -1, -1}, {702, "80%", 253, 55, -1, -1},
    {703, "70%", 253, 65, -1, -1}, {704, "60%", 305, 37, -1, -1}, {705, "50%", 305, 46, -1, -1},
    {706, "40%", 305, 55, -1, -1}, {707, "30%", 335, 37, -1, -1}, {708, "20%", 335, 46, -1, -1},
    {709, "10%", 335, 55, -1, -1},
    {kNoControlId, "Move Display Window", 254, 78, 74, 8},
    {kNoControlId, "Seconds", 333, 67, 29, 8},
    {710, "60", 338, 76, 17, 12},
    {kNoControlId, "Museum", 1, 91, 334, 106},
    {kNoControlId, "Gallery pictures", 7, 99, 49, 8},
    {400, "", 59, 98, 197, 37},
    {401, "Open picture", 6, 108, 49, 12},
    {402, "Delete picture", 6, 122, 49, 12},
    {403, "Add folder", 6, 136, 49, 12},
    {kNoControlId, "Museum type", 59, 137, 48, 8},
    {500, "Random Museum", 59, 146, 133, 65},
    {kNoControlId, "Objects", 194, 144, 64, 51},
    {600, "Furniture", 197, 152, -1, -1}, {601, "Cube ponds", 197, 162, -1, -1},
    {602, "Sculptures", 197, 172, -1, -1}, {604, "Showcases", 197, 182, -1, -1},
    {kNoControlId, "Fog/Haze", 259, 96, 73, 98},
    {800, "Enable fog/haze", 261, 105, 65, 10},
    {810, "Fog Density", 263, 115, 40, 8},
    {801, "", 263, 124, 47, 11},
    {802, "45", 313, 126, 14, 8},
    {811, " R      G      B    Color", 263, 137, 67, 8},
    {803, "", 261, 146, 13, 38}, {804, "", 279, 146, 13, 38}, {805, "", 295, 146, 13, 38},
    {806, "0", 261, 184, 14, 8}, {807, "0", 279, 184, 14, 8}, {808, "255", 295, 184, 14, 8},
    {809, "", 313, 148, 15, 38},
    {kNoControlId, "Walking Speed", 6, 161, 186, 34},
    {900, "Fast", 9, 172, -1, -1}, {901, "Medium", 41, 172, -1, -1}, {902, "Slow", 85, 172, -1, -1},
    {903, "Very Slow", 121, 172, -1, -1},
    {kNoControlId, "At screen size", 1, 197, 368, 22},
    {620, "Classic textures", 7, 206, -1, -1}, {621, "Plaques beside the photos", 100, 206, -1, -1},
    {1, "Ok", 337, 94, 32, 12}, {2, "Cancel", 337, 108, 32, 12}, {116, "Apply", 337, 123, 32, 12},
    {117, "Default", 337, 137, 32, 12},
};

// Finds a control by id, or an id-less one by its text.
int findControl(Dialog* dialog, const Expected& e)
{
    for (int i = 0; i < controlCount(dialog); ++i) {
        ControlView view = viewControl(dialog, i);
        if (e.id != kNoControlId ? view.id == e.id : view.id == kNoControlId && view.text == e.text) return i;
    }
    return -1;
}

// The entries of list 107 and the modes detection offers at a depth.
std::vector<std::string> listEntries(Dialog* dialog, int id)
{
    std::vector<std::string> entries;
    for (int i = 0; i < listCount(dialog, id); ++i) entries.push_back(listEntry(dialog, id, i));
    return entries;
}

std::vector<std::string> expectedModeEntries(int bits)
{
    // The screen's own size first, in every depth, named with its size.
    std::vector<std::string> entries = {modeName(kScreenSizeMode)};
    for (const uint8_t* m = availableModeList(); *m != kModeListEnd; ++m) {
        if (*m == kScreenSizeMode) continue;
        int x, y, b;
        getModeResolution(*m, &x, &y, &b);
        if (b == bits) entries.push_back(std::string(modeName(*m)) + "  " + std::to_string(modePageCount(*m)) + " Page(s)");
    }
    return entries;
}

// The pixel at x, y of the dialog as red, green, blue.
std::vector<uint8_t> pixel(Dialog* dialog, int x, int y)
{
    return readDialogPixels(dialog, x, y, 1, 1);
}

} // namespace

TEST(SettingsDialog, EveryControlIsThereWithItsIdTextAndRectangle)
{
    DialogHarness harness;
    harness.runSettings({{"DIALOG_1", [](Dialog* d) {
        EXPECT_EQ(dialogText(d), "Vellamir");
        int x, y, w, h;
        dialogScreenRect(d, &x, &y, &w, &h);
        EXPECT_EQ(w, dialogUnitsToPixelsX(370));
        EXPECT_EQ(h, dialogUnitsToPixelsY(221));
        EXPECT_EQ(controlCount(d), static_cast<int>(std::size(kDialog1)));
        for (const Expected& e : kDialog1) {
            SCOPED_TRACE(std::to_string(e.id) + " " + e.text);
            int index = findControl(d, e);
            ASSERT_GE(index, 0);
            ControlView view = viewControl(d, index);
            EXPECT_EQ(view.text, e.text);
            EXPECT_EQ(view.x, dialogUnitsToPixelsX(e.x));
            EXPECT_EQ(view.y, dialogUnitsToPixelsY(e.y));
            if (e.width >= 0) {
                EXPECT_EQ(view.width, dialogUnitsToPixelsX(e.width));
            }
            // A closed drop-down list shows one line of its 65 units.
            if (e.height >= 0 && e.id != kIdMuseumType) {
                EXPECT_EQ(view.height, dialogUnitsToPixelsY(e.height));
            }
        }
        // The swatch's size comes from the hidden 809, never shown.
        int index = findControl(d, Expected{809, "", 0, 0, 0, 0});
        ControlView swatch = viewControl(d, index);
        EXPECT_FALSE(swatch.visible);
        EXPECT_EQ(swatch.x, 470);
        EXPECT_EQ(swatch.width, 23);
        EXPECT_EQ(swatch.height, 62);
    }}});
}

TEST(SettingsDialog, OpensWithTheRecordShownAndApplyDisabled)
{
    DialogHarness harness;
    harness.runSettings({{"DIALOG_1", [](Dialog* d) {
        EXPECT_EQ(controlText(d, kIdCurrentMode), "640 x 480 SVGA 64k color");
        EXPECT_EQ(pendingVideoMode, 49);
        EXPECT_EQ(isChecked(d, 110), 1);
        for (int id = 111; id <= 114; ++id) EXPECT_EQ(isChecked(d, id), 0);
        std::vector<std::string> modes = listEntries(d, kIdModeList);
        EXPECT_FALSE(modes.empty());
        EXPECT_EQ(modes, expectedModeEntries(8)) << "only the 8-bit modes, with their pages";
        EXPECT_EQ(listSelection(d, kIdModeList), -1);
        EXPECT_EQ(isControlEnabled(d, kIdApply), 0);
        EXPECT_EQ(isControlEnabled(d, kIdCancel), 1);
        EXPECT_EQ(isChecked(d, kIdPasswordEnabled), 0);
        EXPECT_EQ(isControlEnabled(d, kIdChangePassword), 0);
        EXPECT_EQ(isChecked(d, 300), 1);
        EXPECT_EQ(listEntries(d, kIdPictureList), std::vector<std::string>{defaultPicturePath()});
        EXPECT_EQ(listSelection(d, kIdPictureList), 0);
        EXPECT_EQ(listCount(d, kIdMuseumType), 22);
        EXPECT_EQ(controlText(d, kIdMuseumType), "Random Museum");
        EXPECT_EQ(isChecked(d, kIdFurniture), 0);
        EXPECT_EQ(isChecked(d, kIdCubePonds) + isChecked(d, kIdSculptures) + isChecked(d, kIdShowcases), 3);
        EXPECT_EQ(isChecked(d, 705), 1);
        EXPECT_EQ(controlText(d, kIdMoveSeconds), "60");
        EXPECT_EQ(isChecked(d, kIdFogEnabled), 0);
        for (int id : {801, 802, 803, 804, 805, 806, 807, 808, 810, 811}) EXPECT_EQ(isControlEnabled(d, id), 0) << id;
        EXPECT_EQ(scrollPosition(d, kIdFogDensity), 45);
        EXPECT_EQ(scrollPosition(d, kIdFogBlue), 255);
        EXPECT_EQ(isChecked(d, 901), 1);
        // The swatch: black border, fog colour inside.
        EXPECT_EQ(pixel(d, kSwatchX, kSwatchY), (std::vector<uint8_t>{0, 0, 0}));
        EXPECT_EQ(pixel(d, kSwatchX + 5, kSwatchY + 5), (std::vector<uint8_t>{0, 0, 255}));
    }}});
    EXPECT_EQ(harness.iniBytes(), "") << "nothing is written without Apply";
}

TEST(SettingsDialog, ColourDepthRefillsTheListAndAPickedModeIsApplied)
{
    DialogHarness harness;
    std::string chosen;
    harness.runSettings({{"DIALOG_1", [&](Dialog* d) {
        clickControl(d, 112);
        EXPECT_EQ(isChecked(d, 112), 1);
        EXPECT_EQ(isChecked(d, 110), 0);
        EXPECT_EQ(settings.colourDepthId, 112);
        EXPECT_EQ(listEntries(d, kIdModeList), expectedModeEntries(16));
        EXPECT_EQ(controlText(d, kIdCurrentMode), "640 x 480 SVGA 64k color") << "the label waits for a pick";
        EXPECT_EQ(isControlEnabled(d, kIdApply), 0) << "the depth alone is not a change";

        // The first notification after the fill is the list taking the focus.
        ASSERT_GE(listCount(d, kIdModeList), 2);
        chooseListEntry(d, kIdModeList, 1);
        chosen = listEntry(d, kIdModeList, 1);
        EXPECT_EQ(chosen.find(controlText(d, kIdCurrentMode)), 0u);
        EXPECT_EQ(isControlEnabled(d, kIdApply), 1);
        EXPECT_NE(pendingVideoMode, 49);
        clickControl(d, kIdApply);
    }}});
    std::string bytes = harness.iniBytes();
    EXPECT_EQ(chosen.find(modeName(intAt(bytes, 2))), 0u) << "the picked mode was saved";
    EXPECT_EQ(intAt(bytes, 6), 112);
}

TEST(SettingsDialog, AStoredScreenSizeModeIsSelectedAndPickingItSavesMode100)
{
    DialogHarness harness;
    settings.videoMode = kScreenSizeMode;
    harness.runSettings({{"DIALOG_1", [&](Dialog* d) {
        EXPECT_EQ(listEntry(d, kIdModeList, 0), "Screen size (1280 x 1024)");
        EXPECT_EQ(listSelection(d, kIdModeList), 0);
        EXPECT_EQ(controlText(d, kIdCurrentMode), "Screen size (1280 x 1024)");
        clickControl(d, 114);
        chooseListEntry(d, kIdModeList, 1);
        chooseListEntry(d, kIdModeList, 0);
        EXPECT_EQ(pendingVideoMode, kScreenSizeMode);
        clickControl(d, kIdApply);
    }}});
    EXPECT_EQ(intAt(harness.iniBytes(), 2), kScreenSizeMode);
}

TEST(SettingsDialog, ApplyWritesTheFileAndDisablesApplyAndCancelUntilTheNextChange)
{
    DialogHarness harness;
    harness.runSettings({{"DIALOG_1", [&](Dialog* d) {
        clickControl(d, 302);
        clickControl(d, 707);
        clickControl(d, 903);
        clickControl(d, kIdFurniture);
        clickControl(d, kIdPlaques);
        chooseListEntry(d, kIdMuseumType, 5);
        EXPECT_EQ(isControlEnabled(d, kIdApply), 1);
        clickControl(d, kIdApply);
        EXPECT_EQ(isControlEnabled(d, kIdApply), 0);
        EXPECT_EQ(isControlEnabled(d, kIdCancel), 0);

        Settings expected;
        expected.pictures[0] = defaultPicturePath();
        expected.speedId = 302;
        expected.displaySizeId = 707;
        expected.displayScale = 0.3f;
        expected.walkingSpeedId = 903;
        expected.furniture = 1;
        expected.museumType = 5;
        EXPECT_EQ(harness.iniBytes(), serializeSettings(expected));
        EXPECT_EQ(shortAt(harness.iniBytes(), 10), 302);
        // The look at screen size goes to its own file; the INI file's layout stays.
        EXPECT_NE(readBytes(harness.directory() + "/Brevane/Vellamir.conf").find("\nplaques=0\n"), std::string::npos);

        typeControlText(d, kIdMoveSeconds, "61");
        EXPECT_EQ(isControlEnabled(d, kIdApply), 1) << "typing in the seconds is a change";
        EXPECT_EQ(isControlEnabled(d, kIdCancel), 1);
    }}});
}

TEST(SettingsDialog, OkAfterChangesLeavesTheFileAsItWas)
{
    DialogHarness harness;
    ASSERT_EQ(SaveSettings("Brevane\\Vellamir.INI"), 0);
    std::string before = harness.iniBytes();
    ASSERT_FALSE(before.empty());
    harness.runSettings({{"DIALOG_1", [](Dialog* d) {
        clickControl(d, 304);
        clickControl(d, kIdFogEnabled);
        typeControlText(d, kIdMoveSeconds, "5");
        EXPECT_EQ(isControlEnabled(d, kIdApply), 1);
    }}});
    EXPECT_EQ(harness.iniBytes(), before);
}

TEST(SettingsDialog, DefaultRestoresTheRecordButNotPasswordOrModeAndKeepsTwentyTwoTypes)
{
    DialogHarness harness;
    settings.speedId = 304;
    settings.museumType = 7;
    settings.fogEnabled = 1;
    settings.fogDensity = 3;
    settings.displaySizeId = 700;
    settings.displayScale = 1.0f;
    settings.videoMode = 52;
    settings.colourDepthId = 112;
    settings.passwordEnabled = 1;
    strcpy(settings.password, "pw");
    settings.pictures[1] = "/pictures/a.bmp";
    settings.pictures[2] = "/pictures/b.bmp";
    settings.pictureCount = 3;
    settings.classicTextures = 1;
    settings.plaques = 0;
    harness.runSettings({{"DIALOG_1", [](Dialog* d) {
        EXPECT_EQ(isChecked(d, kIdClassicTextures), 1);
        EXPECT_EQ(controlText(d, kIdMuseumType), "Color Tiles");
        EXPECT_EQ(listCount(d, kIdPictureList), 3);
        clickControl(d, kIdDefault);
        clickControl(d, kIdDefault);
        EXPECT_EQ(listCount(d, kIdMuseumType), 22);
        EXPECT_EQ(controlText(d, kIdMuseumType), "Random Museum");
        EXPECT_EQ(listEntries(d, kIdPictureList), std::vector<std::string>{defaultPicturePath()});
        EXPECT_EQ(isChecked(d, 300), 1);
        EXPECT_EQ(isChecked(d, 304), 0);
        EXPECT_EQ(isChecked(d, 705), 1);
        EXPECT_EQ(isChecked(d, kIdFogEnabled), 0);
        EXPECT_EQ(isChecked(d, kIdClassicTextures), 0);
        EXPECT_EQ(isChecked(d, kIdPlaques), 1);
        EXPECT_EQ(controlText(d, kIdFogDensityValue), "45");
        EXPECT_EQ(isControlEnabled(d, kIdApply), 1) << "the defaults can be saved";
        EXPECT_EQ(isControlEnabled(d, kIdCancel), 1);
        EXPECT_EQ(isChecked(d, 112), 1) << "the colour depth stays";
        EXPECT_EQ(isChecked(d, kIdPasswordEnabled), 1);
    }}});
    EXPECT_EQ(settings.pictureCount, 1);
    EXPECT_EQ(settings.pictures[1], "");
    EXPECT_EQ(settings.displayScale, 0.5f);
    EXPECT_EQ(settings.videoMode, 52);
    EXPECT_EQ(std::string(settings.password), "pw");
}

TEST(SettingsDialog, FogControlsStayWithinTheirLimitsAndRepaintTheSwatch)
{
    DialogHarness harness;
    settings.fogDensity = 0;
    settings.fogRed = 255;
    harness.runSettings({{"DIALOG_1", [](Dialog* d) {
        clickControl(d, kIdFogEnabled);
        EXPECT_EQ(settings.fogEnabled, 1);
        EXPECT_EQ(isChecked(d, kIdFogEnabled), 1);
        EXPECT_EQ(isControlEnabled(d, kIdFogDensity), 1);

        scrollControl(d, kIdFogDensity, ScrollCode::LineUp);
        EXPECT_EQ(settings.fogDensity, 0);
        EXPECT_EQ(controlText(d, kIdFogDensityValue), "0");
        scrollControl(d, kIdFogDensity, ScrollCode::ThumbTrack, 150);
        EXPECT_EQ(settings.fogDensity, 100);
        EXPECT_EQ(scrollPosition(d, kIdFogDensity), 100);
        scrollControl(d, kIdFogDensity, ScrollCode::PageUp);
        EXPECT_EQ(settings.fogDensity, 100) << "paging is not one of its codes";

        scrollControl(d, kIdFogRed, ScrollCode::LineDown);
        EXPECT_EQ(settings.fogRed, 255);
        EXPECT_EQ(controlText(d, kIdFogRedValue), "255");
        scrollControl(d, kIdFogGreen, ScrollCode::ThumbPosition, 128);
        scrollControl(d, kIdFogBlue, ScrollCode::LineUp);
        EXPECT_EQ(settings.fogGreen, 128);
        EXPECT_EQ(settings.fogBlue, 254);
        EXPECT_EQ(controlText(d, kIdFogGreenValue), "128");
        EXPECT_EQ(scrollPosition(d, kIdFogGreen), 128);
        EXPECT_EQ(pixel(d, kSwatchX + 5, kSwatchY + 5), (std::vector<uint8_t>{255, 128, 254}));
        EXPECT_EQ(pixel(d, kSwatchX + 22, kSwatchY + 61), (std::vector<uint8_t>{0, 0, 0})) << "bottom-right border";
        EXPECT_EQ(isControlEnabled(d, kIdApply), 1);

        clickControl(d, kIdFogEnabled);
        EXPECT_EQ(settings.fogEnabled, 0);
        EXPECT_EQ(isControlEnabled(d, kIdFogRed), 0);
    }}});
}

TEST(SettingsDialog, DeletingTheOnlyPictureEmptiesTheListAndThenAsksForOne)
{
    DialogHarness harness;
    harness.runSettings({{"DIALOG_1", [](Dialog* d) {
        clickControl(d, kIdDeletePicture);
        EXPECT_EQ(listCount(d, kIdPictureList), 0);
        EXPECT_EQ(settings.pictureCount, 0);
        clickControl(d, kIdDeletePicture);
        clickControl(d, kIdApply);
    }}});
    EXPECT_EQ(harness.boxTexts(), std::vector<std::string>{"You must select a picture to delete."});
    EXPECT_EQ(harness.boxes[0].caption, "Error");
    EXPECT_EQ(harness.boxes[0].icon, MessageIcon::Stop);
    EXPECT_EQ(intAt(harness.iniBytes(), 12), 0) << "the file lists no picture";
}

TEST(SettingsDialog, DeletingMovesTheLaterPicturesDownAndSelectsTheOneBefore)
{
    DialogHarness harness;
    settings.pictures[1] = "/p/b.bmp";
    settings.pictures[2] = "/p/c.bmp";
    settings.pictureCount = 3;
    harness.runSettings({{"DIALOG_1", [](Dialog* d) {
        chooseListEntry(d, kIdPictureList, 1);
        clickControl(d, kIdDeletePicture);
        EXPECT_EQ(listEntries(d, kIdPictureList), (std::vector<std::string>{defaultPicturePath(), "/p/c.bmp"}));
        EXPECT_EQ(listSelection(d, kIdPictureList), 0);
        // No selection, though the list has entries: nothing to delete.
        listSelect(d, kIdPictureList, -1);
        clickControl(d, kIdDeletePicture);
        EXPECT_EQ(listCount(d, kIdPictureList), 2);
    }}});
    EXPECT_EQ(settings.pictureCount, 2);
    EXPECT_EQ(settings.pictures[1], "/p/c.bmp");
    EXPECT_EQ(settings.pictures[2], "");
    EXPECT_EQ(harness.boxTexts(), std::vector<std::string>{"You must select a picture to delete."});
}

TEST(SettingsDialog, NinetyPicturesAreTheMostTheGalleryTakes)
{
    DialogHarness harness;
    for (int i = 0; i < kMaxPictures; ++i) settings.pictures[i] = "/p/" + std::to_string(i) + ".bmp";
    settings.pictureCount = kMaxPictures;
    harness.runSettings({{"DIALOG_1", [](Dialog* d) {
        clickControl(d, kIdOpenPicture);
        EXPECT_EQ(listCount(d, kIdPictureList), kMaxPictures);
    }}});
    EXPECT_EQ(settings.pictureCount, kMaxPictures);
    EXPECT_EQ(harness.boxTexts(), std::vector<std::string>{"Error: The gallery can hold no more than 90 pictures."});
}

TEST(SettingsDialog, OpenPictureAddsTheChosenFilesAsFarAsTheyFitAndAddFolderAFolder)
{
    DialogHarness harness;
    std::string picture = harness.directory() + "/gallery picture.bmp";
    writeBytes(picture, "BM");
    writeBytes(harness.directory() + "/second.JPG", "x");
    const std::string folder = harness.directory() + "/photos";
    ASSERT_EQ(runCommand("mkdir '" + folder + "'"), 0);
    for (int i = 1; i < kMaxPictures - 2; ++i) settings.pictures[i] = "/p/" + std::to_string(i) + ".bmp";
    settings.pictureCount = kMaxPictures - 2;
    harness.runSettings({{"DIALOG_1", [&](Dialog* d) {
        // A folder, shown as one. The chooser runs its own loop: the keys come
        // from a helper started before it opens in the current directory, once
        // the chooser is on the screen and holds the keyboard focus (a window
        // found before it is mapped cannot take the focus, and the keys went
        // astray); the chooser then takes them in order. The first Return
        // goes into the folder, the second takes it.
        runCommand("(xdotool search --sync --onlyvisible --name '^Add folder$' windowfocus --sync "
                   "type --delay 5 'photos'; xdotool key Return key Return) >/dev/null 2>&1 &");
        clickControl(d, kIdAddFolder);
        EXPECT_EQ(listCount(d, kIdPictureList), kMaxPictures - 1);
        EXPECT_EQ(listEntry(d, kIdPictureList, kMaxPictures - 2), folder + "/");

        // Both pictures of the Windows directory (where the chooser opens):
        // the first picked by its name, the second added to the selection in
        // the file list, then back to the name and Return. Only the first fits.
        runCommand("(xdotool search --sync --onlyvisible --name '^Open$' windowfocus --sync "
                   "type --delay 5 'gallery'; xdotool key shift+Tab shift+Tab shift+Tab shift+Down Tab Tab Tab "
                   "Return) >/dev/null 2>&1 &");
        clickControl(d, kIdOpenPicture);
        EXPECT_EQ(listCount(d, kIdPictureList), kMaxPictures);
        EXPECT_EQ(listEntry(d, kIdPictureList, kMaxPictures - 1), picture);
        EXPECT_EQ(listSelection(d, kIdPictureList), kMaxPictures - 1);
        EXPECT_EQ(isControlEnabled(d, kIdApply), 1);
    }}});
    EXPECT_EQ(settings.pictureCount, kMaxPictures);
    EXPECT_EQ(settings.pictures[kMaxPictures - 2], folder) << "stored without the closing separator";
    EXPECT_EQ(settings.pictures[kMaxPictures - 1], picture);
    EXPECT_EQ(harness.boxTexts(), std::vector<std::string>{"Error: The gallery can hold no more than 90 pictures."});
}

TEST(SettingsDialog, SecondsAreReadAsTheirLeadingDigits)
{
    DialogHarness harness;
    std::vector<int> saved;
    harness.runSettings({{"DIALOG_1", [&](Dialog* d) {
        for (const char* text : {"abc", "12xy", "99999"}) {
            typeControlText(d, kIdMoveSeconds, text);
            clickControl(d, kIdApply);
            // moveSeconds sits 4 bytes before the end.
            std::string bytes = harness.iniBytes();
            saved.push_back(shortAt(bytes, bytes.size() - 4));
        }
    }}});
    EXPECT_EQ(saved, (std::vector<int>{0, 12, 32767}));

    EXPECT_EQ(parseMoveSeconds("  +7 s"), 7);
    EXPECT_EQ(parseMoveSeconds("-5"), 0);
    EXPECT_EQ(parseMoveSeconds("32768"), 32767) << "never wraps into a negative number";
}

TEST(SettingsDialog, PasswordSwitchIsAChangeButAnEnabledEmptyPasswordIsRefused)
{
    DialogHarness harness;
    harness.runSettings({{"DIALOG_1", [](Dialog* d) {
        clickControl(d, kIdPasswordEnabled);
        EXPECT_EQ(isChecked(d, kIdPasswordEnabled), 1);
        EXPECT_EQ(isControlEnabled(d, kIdChangePassword), 1);
        EXPECT_EQ(isControlEnabled(d, kIdApply), 1) << "the switch is a change Apply can save";
        clickControl(d, kIdApply);
        EXPECT_EQ(isControlEnabled(d, kIdApply), 1) << "the buttons stay as they are";
        EXPECT_EQ(isControlEnabled(d, kIdCancel), 1);
        clickControl(d, kIdPasswordEnabled);
        EXPECT_EQ(isControlEnabled(d, kIdChangePassword), 0);
        EXPECT_EQ(settings.passwordEnabled, 0);
        clickControl(d, kIdApply);
    }}});
    EXPECT_EQ(harness.boxTexts(), std::vector<std::string>{"Error: Password enabled but no password set."});
    EXPECT_EQ(shortAt(harness.iniBytes(), 0), 0) << "saved only once switched off";
}

TEST(SettingsDialog, AFileThatCannotBeWrittenIsReportedAndTheButtonsStillGoGrey)
{
    DialogHarness harness;
    runCommand("rmdir '" + harness.directory() + "/Brevane'");
    testing::internal::CaptureStderr();
    harness.runSettings({{"DIALOG_1", [](Dialog* d) {
        clickControl(d, 303);
        clickControl(d, kIdApply);
        EXPECT_EQ(isControlEnabled(d, kIdApply), 0);
        EXPECT_EQ(isControlEnabled(d, kIdCancel), 0);
    }}});
    std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_EQ(harness.boxTexts(), std::vector<std::string>{"Error: Could not save settings to INI file."});
    EXPECT_NE(errors.find(harness.directory() + "/Brevane/Vellamir.INI: No such file or directory\n"), std::string::npos)
        << "the file and the reason on standard error: " << errors;
    EXPECT_EQ(settings.speedId, 303) << "the record keeps the new values";
}

TEST(SettingsDialog, ChangePasswordOpensOverTheDialogAndCountsAsAChange)
{
    DialogHarness harness;
    int ownerX = 0, ownerY = 0, childX = 0, childY = 0;
    harness.runSettings({
        {"DIALOG_1", [&](Dialog* d) {
             int w, h;
             dialogScreenRect(d, &ownerX, &ownerY, &w, &h);
             clickControl(d, kIdPasswordEnabled);
             clickControl(d, kIdChangePassword);
             EXPECT_EQ(isControlEnabled(d, kIdApply), 1);
             clickControl(d, kIdApply);
         }},
        {"DIALOG_2", [&](Dialog* d) {
             int w, h;
             dialogScreenRect(d, &childX, &childY, &w, &h);
             EXPECT_EQ(dialogText(d), "Change password");
             typeControlText(d, kIdNewPassword, "Pass");
             typeControlText(d, kIdConfirmPassword, "Pass");
             clickControl(d, kIdOk);
         }},
    });
    EXPECT_EQ(childX - ownerX, dialogUnitsToPixelsX(147));
    EXPECT_EQ(childY - ownerY, dialogUnitsToPixelsY(31));
    // 01 00, then 04 00 and the four characters.
    EXPECT_EQ(harness.iniBytes().substr(0, 8), std::string("\x01\x00\x04\x00Pass", 8));
}
