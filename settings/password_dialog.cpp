// The change-password dialog: the old password must match the stored one
// exactly, the new one must be typed twice the same and be typeable at the
// password prompt, and an empty new password clears it. Only memory changes; "Apply" writes the file.
#include <cstring>
#include <string>

#include "platform/msgbox.h"
#include "settings/settings.h"
#include "settings/settings_dialog.h"

namespace {

// At most as many characters as the password buffer holds.
std::string passwordField(Dialog* dialog, int id)
{
    return controlText(dialog, id).substr(0, kMaxPasswordLength);
}

void changePassword(Dialog* dialog)
{
    if (passwordField(dialog, kIdOldPassword) != std::string(settings.password)) {
        messageBox("Error: Your old password is not valid!", "Error", MessageIcon::Stop, MessageButtons::Ok, dialog);
        return;
    }
    std::string first = passwordField(dialog, kIdNewPassword);
    if (first != passwordField(dialog, kIdConfirmPassword)) {
        messageBox("Error: Your new password was not confirmed!", "Error", MessageIcon::Stop, MessageButtons::Ok,
                   dialog);
        return;
    }
    // The prompt takes plain ASCII only: a password with any other character
    // ("é" arrives here as UTF-8) could never be typed to end the saver.
    if (!passwordCanBeTyped(first.c_str())) {
        messageBox("Error: Your new password may hold only letters, digits, blanks and the punctuation of plain "
                   "ASCII: other characters cannot be typed at the password prompt!",
                   "Error", MessageIcon::Stop, MessageButtons::Ok, dialog);
        return;
    }
    memset(settings.password, 0, sizeof settings.password);
    memcpy(settings.password, first.data(), first.size());
    messageBox("Your password has been changed.", "Password", MessageIcon::Exclamation, MessageButtons::Ok, dialog);
    endDialog(dialog, 0);
}

} // namespace

void runChangePasswordDialog(Dialog* owner)
{
    runModalDialog(changePasswordDialogTemplate, owner, changePasswordDialogProcedure);
}

int changePasswordDialogProcedure(Dialog* dialog, const DialogMessage& message)
{
    if (message.kind == DialogMessageKind::Initialise) {
        // With nothing stored there is no old password to type.
        if (settings.password[0] == '\0') enableControl(dialog, kIdOldPassword, 0);
        return 1;
    }
    if (message.kind != DialogMessageKind::Command || message.notification != Notification::Clicked) return 0;
    if (message.controlId == kIdOk) changePassword(dialog);
    else if (message.controlId == kIdCancel) endDialog(dialog, 0);
    return 1;
}
