// The configuration run: the settings dialog, modal and without an owner.
#include "settings/settings_dialog.h"
#include "shell/shell.h"

void runSettingsDialog()
{
    runModalDialog(settingsDialogTemplate, nullptr, settingsDialogProcedure);
}
