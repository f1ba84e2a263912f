// The dialog manager on real FLTK windows: templates, controls by id, the
// messages a procedure receives, modal and modeless running, drawing during
// paint, and real mouse and keyboard input through xdotool.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/dialogs.h"
#include "platform/msgbox.h"
#include "tests/support/test_support.h"

namespace {

constexpr int kLabelId = 200, kSunkenId = 201, kHiddenId = 202, kButtonId = 10, kManualId = 11,
              kAutoId = 12, kRadio1 = 13, kRadio2 = 14, kEditId = 20, kNarrowEditId = 21, kPasswordId = 22,
              kListId = 30, kQuietListId = 32, kDropId = 31, kHBarId = 40, kVBarId = 41, kDisabledId = 15;

const ControlTemplate kControls[] = {
    {kNoControlId, ControlKind::GroupBox, 0, "Group", 2, 2, 150, 96},
    {kNoControlId, ControlKind::Label, 0, "Plain @label", 6, 12, 60, 8},
    {kSunkenId, ControlKind::Label, kStyleSunken, "sunken", 6, 22, 80, 9},
    {kLabelId, ControlKind::Label, kStyleCentred, "centred", 6, 34, 80, 8},
    {kHiddenId, ControlKind::Label, kStyleHidden, "", 313, 148, 15, 38},
    {kButtonId, ControlKind::PushButton, 0, "Push", 100, 12, 40, 14},
    {kDisabledId, ControlKind::PushButton, kStyleDisabled, "Off", 100, 30, 40, 14},
    {kManualId, ControlKind::CheckBox, kStyleTabStop, "Manual", 6, 50, 70, 10},
    {kAutoId, ControlKind::AutoCheckBox, 0, "Auto", 6, 62, 70, 10},
    {kRadio1, ControlKind::RadioButton, 0, "One", 80, 50, 50, 10},
    {kRadio2, ControlKind::RadioButton, 0, "Two", 80, 62, 50, 10},
    {kEditId, ControlKind::Edit, kStyleBorder | kStyleAutoHScroll, "start", 6, 74, 60, 12},
    {kNarrowEditId, ControlKind::Edit, kStyleBorder, "", 70, 74, 30, 12},
    {kPasswordId, ControlKind::Edit, kStyleBorder | kStylePassword, "", 6, 86, 119, 12},
    {kListId, ControlKind::ListBox, kStyleBorder | kStyleVScroll | kStyleNotify, "", 160, 4, 100, 40},
    {kQuietListId, ControlKind::ListBox, kStyleBorder, "", 160, 100, 100, 30},
    {kDropId, ControlKind::DropDownList, 0, "", 160, 50, 100, 60},
    {kHBarId, ControlKind::HorizontalScrollBar, 0, "", 160, 70, 47, 11},
    {kVBarId, ControlKind::VerticalScrollBar, 0, "", 270, 4, 13, 38},
    {kIdOk, ControlKind::PushButton, 0, "Ok", 250, 120, 32, 12},
};
const DialogTemplate kTemplate = {"TEST", "Test dialog", kDialogCentred | kDialogSystemMenu, "Helv", 8,
                                  0, 0, 290, 140, kControls, sizeof kControls / sizeof kControls[0]};

const ControlTemplate kChildControls[] = {
    {kIdOk, ControlKind::PushButton, 0, "Ok", 5, 5, 40, 14},
};
const DialogTemplate kChildTemplate = {"CHILD", "Child", kDialogModalFrame, "Helv", 8,
                                       147, 31, 60, 30, kChildControls, 1};

// Every message but Paint, in order, and how many Paint messages came.
std::vector<DialogMessage> received;
int paints = 0;
// What the procedure does besides recording; set by each test.
std::function<int(Dialog*, const DialogMessage&)> behaviour;

int recordingProcedure(Dialog* dialog, const DialogMessage& message)
{
    if (message.kind == DialogMessageKind::Paint) ++paints;
    else received.push_back(message);
    return behaviour ? behaviour(dialog, message) : 0;
}

struct Fresh {
    Fresh()
    {
        received.clear();
        paints = 0;
        behaviour = nullptr;
        setDialogWatcher(nullptr);
        setMessageBoxWatcher(nullptr);
    }
    ~Fresh()
    {
        behaviour = nullptr;
        setDialogWatcher(nullptr);
        setMessageBoxWatcher(nullptr);
    }
};

// Commands received from one control, as notifications in order.
std::vector<Notification> commandsFrom(int id)
{
    std::vector<Notification> out;
    for (const DialogMessage& m : received)
        if (m.kind == DialogMessageKind::Command && m.controlId == id) out.push_back(m.notification);
    return out;
}

// Keeps events flowing until done() holds, or for a minute (only a lost event takes that long).
bool pumpUntil(const std::function<bool()>& done)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (std::chrono::steady_clock::now() < deadline) {
        dispatchPendingMessages();
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return done();
}

// A click with the real pointer at a pixel of the dialog's client area.
void realClick(Dialog* dialog, int x, int y)
{
    int dx, dy, dw, dh;
    dialogScreenRect(dialog, &dx, &dy, &dw, &dh);
    runCommand("xdotool mousemove " + std::to_string(dx + x) + " " + std::to_string(dy + y) + " click 1");
}

void realClickControl(Dialog* dialog, int id, int offsetX = -1, int offsetY = -1)
{
    int x, y, w, h;
    ASSERT_TRUE(controlRect(dialog, id, &x, &y, &w, &h));
    realClick(dialog, x + (offsetX < 0 ? w / 2 : offsetX), y + (offsetY < 0 ? h / 2 : offsetY));
}

} // namespace

TEST(DialogUnits, ConvertWithTheFontsBaseUnitsRoundedToNearest)
{
    EXPECT_EQ(dialogUnitsToPixelsX(313), 470);  // 469.5: the colour swatch's column
    EXPECT_EQ(dialogUnitsToPixelsX(5), 8);      // 7.5: the progress panel's column
    EXPECT_EQ(dialogUnitsToPixelsY(148), 241);  // 240.5
    EXPECT_EQ(dialogUnitsToPixelsY(50), 81);    // 81.25
    EXPECT_EQ(dialogUnitsToPixelsY(3), 5);      // 4.875
}

TEST(Dialogs, BuildEveryControlOfTheTemplateWhereItSays)
{
    Fresh fresh;
    Dialog* dialog = createModelessDialog(kTemplate, nullptr, recordingProcedure);
    ASSERT_NE(dialog, nullptr);
    ASSERT_EQ(controlCount(dialog), static_cast<int>(std::size(kControls)));
    for (int i = 0; i < controlCount(dialog); ++i) {
        const ControlTemplate& c = kControls[i];
        ControlView view = viewControl(dialog, i);
        SCOPED_TRACE(c.text);
        EXPECT_EQ(view.id, c.id);
        EXPECT_EQ(view.kind, c.kind);
        EXPECT_EQ(view.x, dialogUnitsToPixelsX(c.x));
        EXPECT_EQ(view.y, dialogUnitsToPixelsY(c.y));
        EXPECT_EQ(view.width, dialogUnitsToPixelsX(c.width));
        // A closed drop-down list is one line high.
        int height = c.kind == ControlKind::DropDownList ? 20 : dialogUnitsToPixelsY(c.height);
        EXPECT_EQ(view.height, height);
        bool hasText = c.kind != ControlKind::ListBox && c.kind != ControlKind::DropDownList &&
                       c.kind != ControlKind::HorizontalScrollBar && c.kind != ControlKind::VerticalScrollBar;
        EXPECT_EQ(view.text, hasText ? c.text : "");
        EXPECT_EQ(view.visible, !(c.style & kStyleHidden));
        EXPECT_EQ(view.enabled, !(c.style & kStyleDisabled));
    }
    int x, y, w, h;
    dialogScreenRect(dialog, &x, &y, &w, &h);
    EXPECT_EQ(w, 435);
    EXPECT_EQ(h, 228);
    EXPECT_EQ(dialogText(dialog), "Test dialog");
    EXPECT_EQ(dialogTemplateName(dialog), std::string("TEST"));
    EXPECT_EQ(controlText(dialog, 9999), "") << "an unknown id answers empty";
    destroyDialog(dialog);
}

TEST(Dialogs, InitialiseComesFirstAndSettingControlsNotifiesNothing)
{
    Fresh fresh;
    behaviour = [](Dialog* d, const DialogMessage& m) {
        if (m.kind != DialogMessageKind::Initialise) return 0;
        setControlText(d, kEditId, "60");
        setCheck(d, kManualId, 1);
        checkRadioButton(d, kRadio1, kRadio2, kRadio2);
        listAdd(d, kListId, "one");
        listSelect(d, kListId, 0);
        listAdd(d, kDropId, "first");
        listSelect(d, kDropId, 0);
        setScrollPosition(d, kHBarId, 30);
        return 1;
    };
    Dialog* dialog = createModelessDialog(kTemplate, nullptr, recordingProcedure);
    ASSERT_NE(dialog, nullptr);
    ASSERT_EQ(received.size(), 1u) << "only Initialise: the program's own changes are not reported";
    EXPECT_EQ(received[0].kind, DialogMessageKind::Initialise);
    EXPECT_GT(paints, 0) << "the dialog has been drawn before it is handed over";
    EXPECT_EQ(controlText(dialog, kEditId), "60");
    EXPECT_EQ(isChecked(dialog, kManualId), 1);
    EXPECT_EQ(isChecked(dialog, kRadio1), 0);
    EXPECT_EQ(isChecked(dialog, kRadio2), 1);
    EXPECT_EQ(controlText(dialog, kDropId), "first");

    sendInitialise(dialog);
    EXPECT_EQ(received.size(), 2u);
    EXPECT_EQ(received[1].kind, DialogMessageKind::Initialise);
    destroyDialog(dialog);
}

TEST(Dialogs, ButtonsReportClicksAndOnlyAutoCheckBoxesCheckThemselves)
{
    Fresh fresh;
    Dialog* dialog = createModelessDialog(kTemplate, nullptr, recordingProcedure);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(clickControl(dialog, kButtonId), 1);
    EXPECT_EQ(commandsFrom(kButtonId), std::vector<Notification>{Notification::Clicked});

    clickControl(dialog, kManualId);
    EXPECT_EQ(commandsFrom(kManualId).size(), 1u);
    EXPECT_EQ(isChecked(dialog, kManualId), 0) << "a manual check box waits for the procedure";
    clickControl(dialog, kAutoId);
    EXPECT_EQ(isChecked(dialog, kAutoId), 1);
    clickControl(dialog, kAutoId);
    EXPECT_EQ(isChecked(dialog, kAutoId), 0);
    clickControl(dialog, kRadio1);
    EXPECT_EQ(isChecked(dialog, kRadio1), 0) << "a manual radio button waits for the procedure";
    EXPECT_EQ(commandsFrom(kRadio1).size(), 1u);

    EXPECT_EQ(clickControl(dialog, kDisabledId), 0);
    enableControl(dialog, kButtonId, 0);
    EXPECT_EQ(isControlEnabled(dialog, kButtonId), 0);
    EXPECT_EQ(clickControl(dialog, kButtonId), 0);
    EXPECT_EQ(commandsFrom(kDisabledId).size(), 0u);
    EXPECT_EQ(commandsFrom(kButtonId).size(), 1u) << "disabled buttons ignore clicks";
    destroyDialog(dialog);
}

TEST(Dialogs, EditsReportFocusAndTypingAndStopAtTheirWidthWithoutScrolling)
{
    Fresh fresh;
    Dialog* dialog = createModelessDialog(kTemplate, nullptr, recordingProcedure);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(typeControlText(dialog, kEditId, "12xy"), 4);
    EXPECT_EQ(controlText(dialog, kEditId), "12xy");
    EXPECT_EQ(commandsFrom(kEditId), (std::vector<Notification>{Notification::GotFocus, Notification::TextChanged}));

    std::string longText(200, 'W');
    int taken = typeControlText(dialog, kNarrowEditId, longText.c_str());
    EXPECT_GT(taken, 0);
    EXPECT_LT(taken, 10) << "a 45-pixel field without scrolling holds only a few letters";
    EXPECT_EQ(controlText(dialog, kNarrowEditId), std::string(static_cast<size_t>(taken), 'W'));
    EXPECT_EQ(commandsFrom(kEditId).back(), Notification::LostFocus) << "the focus moved on";

    EXPECT_EQ(typeControlText(dialog, kEditId, longText.c_str()), 200) << "an auto-scrolling edit takes everything";

    std::string password(60, 'p');
    int kept = typeControlText(dialog, kPasswordId, password.c_str());
    EXPECT_GT(kept, 10);
    EXPECT_LT(kept, 60);
    // The program may still put more in than fits.
    setControlText(dialog, kPasswordId, password.c_str());
    EXPECT_EQ(controlText(dialog, kPasswordId), password);
    destroyDialog(dialog);
}

TEST(Dialogs, ListBoxesKeepEntriesVerbatimAndReportSelection)
{
    Fresh fresh;
    Dialog* dialog = createModelessDialog(kTemplate, nullptr, recordingProcedure);
    ASSERT_NE(dialog, nullptr);
    listSetRedraw(dialog, kListId, 0);
    EXPECT_EQ(listAdd(dialog, kListId, "@b not bold"), 0);
    EXPECT_EQ(listAdd(dialog, kListId, "tab\there"), 1);
    EXPECT_EQ(listAdd(dialog, kListId, "Brevane"), 2);
    EXPECT_EQ(listAdd(dialog, kListId, "brick"), 3);
    listSetRedraw(dialog, kListId, 1);
    EXPECT_EQ(listCount(dialog, kListId), 4);
    EXPECT_EQ(listEntry(dialog, kListId, 0), "@b not bold");
    EXPECT_EQ(listEntry(dialog, kListId, 1), "tab\there");
    EXPECT_EQ(listSelection(dialog, kListId), -1);

    EXPECT_EQ(listSelectString(dialog, kListId, -1, "BR"), 2);
    EXPECT_EQ(listSelectString(dialog, kListId, 2, "br"), 3) << "the search starts after start";
    EXPECT_EQ(listSelectString(dialog, kListId, 3, "br"), 2) << "and goes round the list";
    EXPECT_EQ(listSelectString(dialog, kListId, -1, "zz"), -1);
    listSelect(dialog, kListId, 7);
    EXPECT_EQ(listSelection(dialog, kListId), -1);

    EXPECT_EQ(chooseListEntry(dialog, kListId, 1), 1);
    EXPECT_EQ(commandsFrom(kListId), (std::vector<Notification>{Notification::GotFocus, Notification::SelectionChanged}));
    chooseListEntry(dialog, kListId, 1);
    EXPECT_EQ(commandsFrom(kListId).size(), 2u) << "the same entry again changes nothing";

    EXPECT_EQ(listDelete(dialog, kListId, 0), 3);
    EXPECT_EQ(listDelete(dialog, kListId, 5), -1);
    EXPECT_EQ(listEntry(dialog, kListId, 0), "tab\there");
    listReset(dialog, kListId);
    EXPECT_EQ(listCount(dialog, kListId), 0);
    EXPECT_EQ(listEntry(dialog, kListId, 0), "");

    listAdd(dialog, kQuietListId, "a");
    listAdd(dialog, kQuietListId, "b");
    chooseListEntry(dialog, kQuietListId, 1);
    EXPECT_EQ(listSelection(dialog, kQuietListId), 1);
    EXPECT_EQ(commandsFrom(kQuietListId), std::vector<Notification>{Notification::GotFocus})
        << "without notify a list reports only its focus";
    EXPECT_EQ(commandsFrom(kListId).back(), Notification::LostFocus);
    destroyDialog(dialog);
}

TEST(Dialogs, AFocusedControlThatGoesGreyHandsTheFocusToNoOtherControl)
{
    Fresh fresh;
    behaviour = [](Dialog* d, const DialogMessage& m) {
        if (m.kind == DialogMessageKind::Command && m.controlId == kButtonId) enableControl(d, kButtonId, 0);
        return 0;
    };
    Dialog* dialog = createModelessDialog(kTemplate, nullptr, recordingProcedure);
    ASSERT_NE(dialog, nullptr);
    typeControlText(dialog, kEditId, "x");
    clickControl(dialog, kButtonId);
    dispatchPendingMessages();
    EXPECT_EQ(commandsFrom(kEditId),
              (std::vector<Notification>{Notification::GotFocus, Notification::TextChanged, Notification::LostFocus}))
        << "the edit does not get the focus back behind the user's back";
    EXPECT_EQ(isControlEnabled(dialog, kButtonId), 0);
    destroyDialog(dialog);
}

TEST(Dialogs, DropDownListsReportOpeningPickingAndClosing)
{
    Fresh fresh;
    Dialog* dialog = createModelessDialog(kTemplate, nullptr, recordingProcedure);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(controlText(dialog, kDropId), "");
    listAdd(dialog, kDropId, "Random Museum");
    listAdd(dialog, kDropId, "Brick & Tile");
    listAdd(dialog, kDropId, "Spots");
    EXPECT_EQ(listSelection(dialog, kDropId), -1);
    setControlText(dialog, kDropId, "Spots");
    EXPECT_EQ(listSelection(dialog, kDropId), 2);

    chooseListEntry(dialog, kDropId, 1);
    EXPECT_EQ(controlText(dialog, kDropId), "Brick & Tile");
    EXPECT_EQ(commandsFrom(kDropId), (std::vector<Notification>{Notification::GotFocus, Notification::DroppedDown,
                                                                Notification::SelectionChanged, Notification::ClosedUp}));
    EXPECT_EQ(listDelete(dialog, kDropId, 0), 2);
    EXPECT_EQ(listSelection(dialog, kDropId), 0) << "the selection follows its entry";
    listReset(dialog, kDropId);
    listReset(dialog, kDropId);
    EXPECT_EQ(listCount(dialog, kDropId), 0);
    EXPECT_EQ(listSelection(dialog, kDropId), -1);
    destroyDialog(dialog);
}

TEST(Dialogs, ScrollBarsReportTheirCodesAndMoveOnlyWhenSet)
{
    Fresh fresh;
    Dialog* dialog = createModelessDialog(kTemplate, nullptr, recordingProcedure);
    ASSERT_NE(dialog, nullptr);
    setScrollRange(dialog, kVBarId, 0, 255);
    setScrollPosition(dialog, kVBarId, 300);
    EXPECT_EQ(scrollPosition(dialog, kVBarId), 255) << "positions stay in the range";
    setScrollRange(dialog, kVBarId, 0, 100);
    EXPECT_EQ(scrollPosition(dialog, kVBarId), 100);

    scrollControl(dialog, kVBarId, ScrollCode::LineDown);
    scrollControl(dialog, kHBarId, ScrollCode::ThumbTrack, 17);
    ASSERT_EQ(received.size(), 4u);
    EXPECT_EQ(received[1].kind, DialogMessageKind::VerticalScroll);
    EXPECT_EQ(received[1].controlId, kVBarId);
    EXPECT_EQ(received[1].scrollCode, ScrollCode::LineDown);
    EXPECT_EQ(received[2].scrollCode, ScrollCode::EndScroll);
    EXPECT_EQ(received[3].kind, DialogMessageKind::HorizontalScroll);
    EXPECT_EQ(received[3].scrollCode, ScrollCode::ThumbTrack);
    EXPECT_EQ(received[3].thumbPosition, 17);
    EXPECT_EQ(scrollPosition(dialog, kHBarId), 0) << "the thumb waits for the program";
    destroyDialog(dialog);
}

TEST(Dialogs, RealMouseAndKeyboardReachTheProcedure)
{
    Fresh fresh;
    Dialog* dialog = createModelessDialog(kTemplate, nullptr, recordingProcedure);
    ASSERT_NE(dialog, nullptr);
    listAdd(dialog, kListId, "first");
    listAdd(dialog, kListId, "second");
    setScrollRange(dialog, kHBarId, 0, 100);
    setScrollPosition(dialog, kHBarId, 50);

    realClickControl(dialog, kButtonId);
    EXPECT_TRUE(pumpUntil([] { return !commandsFrom(kButtonId).empty(); }));
    realClickControl(dialog, kManualId);
    EXPECT_TRUE(pumpUntil([] { return !commandsFrom(kManualId).empty(); }));
    EXPECT_EQ(isChecked(dialog, kManualId), 0);

    realClickControl(dialog, kEditId);
    runCommand("xdotool key End type 42");
    EXPECT_TRUE(pumpUntil([&] { return controlText(dialog, kEditId) == "start42"; })) << controlText(dialog, kEditId);
    EXPECT_EQ(commandsFrom(kEditId).front(), Notification::GotFocus);
    // Enter that the edit does not take is the "Ok" command.
    runCommand("xdotool key Return");
    EXPECT_TRUE(pumpUntil([] { return !commandsFrom(kIdOk).empty(); }));

    // The second line of the list: below the first, whatever the font's line height.
    realClickControl(dialog, kListId, 20, 22);
    EXPECT_TRUE(pumpUntil([&] { return listSelection(dialog, kListId) == 1; }));
    std::vector<Notification> list = commandsFrom(kListId);
    ASSERT_GE(list.size(), 2u);
    EXPECT_EQ(list[0], Notification::GotFocus);
    EXPECT_EQ(list[1], Notification::SelectionChanged);

    // The right arrow of the horizontal bar, then the trough left of the thumb.
    int x, y, w, h;
    controlRect(dialog, kHBarId, &x, &y, &w, &h);
    realClick(dialog, x + w - 3, y + h / 2);
    realClick(dialog, x + h + 2, y + h / 2);
    auto scrolls = [] {
        std::vector<ScrollCode> codes;
        for (const DialogMessage& m : received)
            if (m.kind == DialogMessageKind::HorizontalScroll) codes.push_back(m.scrollCode);
        return codes;
    };
    EXPECT_TRUE(pumpUntil([&] { return scrolls().size() >= 4; }));
    EXPECT_EQ(scrolls(), (std::vector<ScrollCode>{ScrollCode::LineDown, ScrollCode::EndScroll, ScrollCode::PageUp,
                                                  ScrollCode::EndScroll}));

    // Enter on a push button that has the focus presses that button, not "Ok".
    size_t oks = commandsFrom(kIdOk).size();
    realClickControl(dialog, kButtonId);
    EXPECT_TRUE(pumpUntil([] { return commandsFrom(kButtonId).size() == 2; }));
    runCommand("xdotool key Return");
    EXPECT_TRUE(pumpUntil([] { return commandsFrom(kButtonId).size() == 3; }));
    EXPECT_EQ(commandsFrom(kIdOk).size(), oks);
    destroyDialog(dialog);
}

TEST(Dialogs, PaintDrawsRectanglesAndImagesOverTheControls)
{
    Fresh fresh;
    static uint8_t image[4 * 2 * 3];
    for (int i = 0; i < 8; ++i) {
        image[i * 3] = 10;
        image[i * 3 + 1] = 200;
        image[i * 3 + 2] = 30;
    }
    static Rgb fill{255, 0, 0};
    behaviour = [](Dialog* d, const DialogMessage& m) {
        if (m.kind != DialogMessageKind::Paint) return 0;
        int x, y, w, h;
        controlRect(d, kHiddenId, &x, &y, &w, &h);
        drawRectangle(d, 380, 150, w, h, fill, Rgb{0, 0, 0});
        drawRgbImage(d, 10, 200, 4, 2, image);
        return 1;
    };
    Dialog* dialog = createModelessDialog(kTemplate, nullptr, recordingProcedure);
    ASSERT_NE(dialog, nullptr);
    std::vector<uint8_t> pixels = readDialogPixels(dialog, 380, 150, 3, 3);
    ASSERT_EQ(pixels.size(), 27u);
    EXPECT_EQ(pixels[0] + pixels[1] + pixels[2], 0) << "the border is black";
    EXPECT_EQ(pixels[12], 255) << "inside is the fill";
    EXPECT_EQ(pixels[13], 0);

    fill = Rgb{0, 0, 255};
    int before = paints;
    repaintDialog(dialog);
    EXPECT_GT(paints, before) << "the paint message arrives before repaintDialog returns";
    pixels = readDialogPixels(dialog, 381, 151, 1, 1);
    EXPECT_EQ(pixels, (std::vector<uint8_t>{0, 0, 255}));
    EXPECT_EQ(readDialogPixels(dialog, 11, 201, 1, 1), (std::vector<uint8_t>{10, 200, 30}));

    // Outside a paint message nothing is drawn.
    drawRectangle(dialog, 380, 150, 10, 10, Rgb{0, 255, 0}, Rgb{0, 255, 0});
    EXPECT_EQ(readDialogPixels(dialog, 381, 151, 1, 1), (std::vector<uint8_t>{0, 0, 255}));
    destroyDialog(dialog);
}

TEST(Dialogs, ModalDialogsReturnTheirResultAndSitOverTheirOwner)
{
    Fresh fresh;
    int childX = 0, childY = 0, ownerX = 0, ownerY = 0;
    std::vector<std::string> watched;
    setDialogWatcher([&](Dialog* d) {
        watched.push_back(dialogTemplateName(d));
        int w, h;
        if (watched.size() == 1) {
            dialogScreenRect(d, &ownerX, &ownerY, &w, &h);
            clickControl(d, kButtonId);  // opens the child
            clickControl(d, kIdOk);
        } else {
            dialogScreenRect(d, &childX, &childY, &w, &h);
            clickControl(d, kIdOk);
        }
    });
    behaviour = [](Dialog* d, const DialogMessage& m) {
        if (m.kind != DialogMessageKind::Command || m.notification != Notification::Clicked) return 0;
        if (m.controlId == kButtonId) {
            EXPECT_EQ(runModalDialog(kChildTemplate, d, recordingProcedure), 5);
        }
        if (m.controlId == kIdOk) endDialog(d, std::string(dialogTemplateName(d)) == "CHILD" ? 5 : 9);
        return 1;
    };
    EXPECT_EQ(runModalDialog(kTemplate, nullptr, recordingProcedure), 9);
    EXPECT_EQ(watched, (std::vector<std::string>{"TEST", "CHILD"}));
    EXPECT_EQ(childX - ownerX, dialogUnitsToPixelsX(147));
    EXPECT_EQ(childY - ownerY, dialogUnitsToPixelsY(31));
}

TEST(Dialogs, CloseRequestBecomesCancelUnlessTheProcedureTakesIt)
{
    Fresh fresh;
    bool takeClose = true;
    setDialogWatcher([](Dialog* d) { requestClose(d); requestClose(d); });
    behaviour = [&](Dialog* d, const DialogMessage& m) {
        if (m.kind == DialogMessageKind::Close && takeClose) {
            takeClose = false;
            return 1;
        }
        if (m.kind == DialogMessageKind::Command && m.controlId == kIdCancel) endDialog(d, 3);
        return 0;
    };
    EXPECT_EQ(runModalDialog(kTemplate, nullptr, recordingProcedure), 3);
    EXPECT_EQ(commandsFrom(kIdCancel).size(), 1u) << "the first close was taken by the procedure";
}

TEST(Dialogs, ModelessDialogsCanDestroyThemselvesWhileDispatching)
{
    Fresh fresh;
    int before = dispatchPendingMessages();
    behaviour = [](Dialog* d, const DialogMessage& m) {
        if (m.kind == DialogMessageKind::Command && m.controlId == kButtonId) destroyDialog(d);
        return 0;
    };
    Dialog* dialog = createModelessDialog(kTemplate, nullptr, recordingProcedure);
    ASSERT_NE(dialog, nullptr);
    setDialogText(dialog, "Progress");
    EXPECT_EQ(dialogText(dialog), "Progress");
    EXPECT_EQ(dispatchPendingMessages(), before + 1);
    realClickControl(dialog, kButtonId);
    EXPECT_TRUE(pumpUntil([&] { return dispatchPendingMessages() == before; }));
}

TEST(MessageBoxes, ShowCaptionTextIconAndButtonsAndTakeTheAnswer)
{
    Fresh fresh;
    std::vector<ShownMessageBox> seen;
    setMessageBoxWatcher([&](const ShownMessageBox& box) -> std::optional<MessageAnswer> {
        seen.push_back(box);
        return box.buttons.size() == 2 ? MessageAnswer::No : MessageAnswer::Ok;
    });
    EXPECT_EQ(messageBox("You must select a picture to delete.", "Error", MessageIcon::Stop), MessageAnswer::Ok);
    EXPECT_EQ(messageBox("Installation is not complete!\nAre you sure you want to abort?", "Abort",
                         MessageIcon::Question, MessageButtons::YesNo),
              MessageAnswer::No);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].caption, "Error");
    EXPECT_EQ(seen[0].text, "You must select a picture to delete.");
    EXPECT_EQ(seen[0].icon, MessageIcon::Stop);
    EXPECT_EQ(seen[0].buttons, std::vector<std::string>{"OK"});
    EXPECT_EQ(seen[1].text, "Installation is not complete!\nAre you sure you want to abort?");
    EXPECT_EQ(seen[1].buttons, (std::vector<std::string>{"Yes", "No"}));
}

TEST(MessageBoxes, RealKeysAnswerTheBoxOnScreen)
{
    Fresh fresh;
    // Leave the box to the keyboard: Return presses the first button, Yes.
    setMessageBoxWatcher([](const ShownMessageBox& box) -> std::optional<MessageAnswer> {
        EXPECT_EQ(box.caption, "Abort");
        runCommand("xdotool search --sync --name '^Abort$' windowfocus --sync key Return");
        return std::nullopt;
    });
    EXPECT_EQ(messageBox("Sure?", "Abort", MessageIcon::Question, MessageButtons::YesNo), MessageAnswer::Yes);
    // Tab moves the focus to No; Enter then presses No, the button with the focus.
    setMessageBoxWatcher([](const ShownMessageBox&) -> std::optional<MessageAnswer> {
        runCommand("xdotool search --sync --name '^Abort$' windowfocus --sync key Tab Return");
        return std::nullopt;
    });
    EXPECT_EQ(messageBox("Sure?", "Abort", MessageIcon::Question, MessageButtons::YesNo), MessageAnswer::No);
}
