// Stand-ins for what is not built yet: the settings dialog and the
// run-time password prompt. Each does nothing (the dialog says so).
#include <cstdio>

#include "shell/prompt.h"
#include "shell/shell.h"

void runSettingsDialog()
{
    fprintf(stderr, "vellamir: the settings dialog is not built yet.\n");
}

void drawPasswordPrompt() {}

void promptKey(int) {}
