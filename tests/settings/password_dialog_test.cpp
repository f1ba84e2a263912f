// The change-password dialog on the real FLTK widgets: its controls, its
// three checks and their messages, and what reaches the password.
#include "tests/settings/dialog_harness.h"

namespace {

struct Expected {
    int id;
    ControlKind kind;
    const char* text;
    int x, y, width, height;
};

const Expected kDialog2[] = {
    {103, ControlKind::Label, "Enter old password", 5, 3, 100, 8},
    {100, ControlKind::Edit, "", 5, 12, 119, 12},
    {104, ControlKind::Label, "Enter new password", 5, 29, 108, 8},
    {101, ControlKind::Edit, "", 5, 38, 119, 12},
    {105, ControlKind::Label, "Confirm new password", 5, 54, 89, 8},
    {102, ControlKind::Edit, "", 5, 63, 119, 12},
    {2, ControlKind::PushButton, "Cancel", 5, 80, 40, 14},
    {1, ControlKind::PushButton, "Ok", 83, 80, 40, 14},
};

void setStored(const char* password)
{
    memset(settings.password, 0, sizeof settings.password);
    strcpy(settings.password, password);
}

} // namespace

TEST(ChangePassword, ControlsAreWhereTheTableSaysAndTheOldFieldIsOffWithNothingStored)
{
    DialogHarness harness;
    harness.runChangePassword([](Dialog* d) {
        EXPECT_EQ(dialogText(d), "Change password");
        int x, y, w, h;
        dialogScreenRect(d, &x, &y, &w, &h);
        EXPECT_EQ(w, dialogUnitsToPixelsX(129));
        EXPECT_EQ(h, dialogUnitsToPixelsY(97));
        ASSERT_EQ(controlCount(d), 8);
        for (int i = 0; i < 8; ++i) {
            const Expected& e = kDialog2[i];
            ControlView view = viewControl(d, i);
            SCOPED_TRACE(e.text);
            EXPECT_EQ(view.id, e.id);
            EXPECT_EQ(view.kind, e.kind);
            EXPECT_EQ(view.text, e.text);
            EXPECT_EQ(view.x, dialogUnitsToPixelsX(e.x));
            EXPECT_EQ(view.y, dialogUnitsToPixelsY(e.y));
            EXPECT_EQ(view.width, dialogUnitsToPixelsX(e.width));
            EXPECT_EQ(view.height, dialogUnitsToPixelsY(e.height));
        }
        EXPECT_EQ(isControlEnabled(d, kIdOldPassword), 0);
        EXPECT_EQ(typeControlText(d, kIdOldPassword, "x"), 0) << "a disabled field takes no typing";
        typeControlText(d, kIdNewPassword, "first");
        typeControlText(d, kIdConfirmPassword, "first");
        clickControl(d, kIdOk);
    });
    EXPECT_EQ(std::string(settings.password), "first");
    ASSERT_EQ(harness.boxes.size(), 1u);
    EXPECT_EQ(harness.boxes[0].text, "Your password has been changed.");
    EXPECT_EQ(harness.boxes[0].caption, "Password");
    EXPECT_EQ(harness.boxes[0].icon, MessageIcon::Exclamation);
}

TEST(ChangePassword, AnOldPasswordInAnotherCaseIsNotValidAndCancelKeepsTheStoredOne)
{
    DialogHarness harness;
    setStored("Secret");
    harness.runChangePassword([](Dialog* d) {
        EXPECT_EQ(isControlEnabled(d, kIdOldPassword), 1);
        typeControlText(d, kIdOldPassword, "secret");
        typeControlText(d, kIdNewPassword, "new");
        typeControlText(d, kIdConfirmPassword, "new");
        clickControl(d, kIdOk);
        EXPECT_EQ(controlText(d, kIdNewPassword), "new") << "the dialog stays open with its fields";
        clickControl(d, kIdCancel);
    });
    EXPECT_EQ(harness.boxTexts(), std::vector<std::string>{"Error: Your old password is not valid!"});
    EXPECT_EQ(harness.boxes[0].caption, "Error");
    EXPECT_EQ(harness.boxes[0].icon, MessageIcon::Stop);
    EXPECT_EQ(std::string(settings.password), "Secret");
}

TEST(ChangePassword, UnequalNewEntriesAreNotConfirmedUntilTheyMatch)
{
    DialogHarness harness;
    setStored("old");
    harness.runChangePassword([](Dialog* d) {
        typeControlText(d, kIdOldPassword, "old");
        typeControlText(d, kIdNewPassword, "alpha");
        typeControlText(d, kIdConfirmPassword, "alphA");
        clickControl(d, kIdOk);
        EXPECT_EQ(std::string(settings.password), "old");
        typeControlText(d, kIdConfirmPassword, "alpha");
        clickControl(d, kIdOk);
    });
    EXPECT_EQ(harness.boxTexts(), (std::vector<std::string>{"Error: Your new password was not confirmed!",
                                                            "Your password has been changed."}));
    EXPECT_EQ(std::string(settings.password), "alpha");
}

TEST(ChangePassword, CharactersThePromptCannotTypeAreRefused)
{
    DialogHarness harness;
    setStored("old");
    harness.runChangePassword([](Dialog* d) {
        typeControlText(d, kIdOldPassword, "old");
        setControlText(d, kIdNewPassword, "caf\xC3\xA9");   // "café" as the field gives it, UTF-8
        setControlText(d, kIdConfirmPassword, "caf\xC3\xA9");
        clickControl(d, kIdOk);
        EXPECT_EQ(std::string(settings.password), "old") << "the dialog stays open, nothing changed";
        clickControl(d, kIdCancel);
    });
    ASSERT_EQ(harness.boxes.size(), 1u);
    EXPECT_EQ(harness.boxes[0].caption, "Error");
    EXPECT_EQ(harness.boxes[0].icon, MessageIcon::Stop);
    EXPECT_NE(harness.boxes[0].text.find("cannot be typed at the password prompt"), std::string::npos);
    EXPECT_EQ(std::string(settings.password), "old");
}

TEST(ChangePassword, TwoEmptyEntriesClearThePassword)
{
    DialogHarness harness;
    setStored("old");
    harness.runChangePassword([](Dialog* d) {
        typeControlText(d, kIdOldPassword, "old");
        clickControl(d, kIdOk);
    });
    EXPECT_EQ(std::string(settings.password), "");
    EXPECT_EQ(harness.boxTexts(), std::vector<std::string>{"Your password has been changed."});
}

TEST(ChangePassword, OnlyTheFirst43CharactersAreKept)
{
    DialogHarness harness;
    std::string longer(50, 'k');
    longer[42] = 'Z';
    harness.runChangePassword([&](Dialog* d) {
        // Typing stops at the field's width, well before 43 bullets.
        int typed = typeControlText(d, kIdNewPassword, longer.c_str());
        EXPECT_GT(typed, 10);
        EXPECT_LT(typed, 43);
        // Put in by the program, the fields hold all 50; the dialog takes 43.
        setControlText(d, kIdNewPassword, longer.c_str());
        setControlText(d, kIdConfirmPassword, (longer.substr(0, 43) + "different").c_str());
        clickControl(d, kIdOk);
    });
    EXPECT_EQ(std::string(settings.password), longer.substr(0, 43));
    EXPECT_EQ(settings.password[43], '\0');
    EXPECT_EQ(harness.boxTexts(), std::vector<std::string>{"Your password has been changed."});
}
