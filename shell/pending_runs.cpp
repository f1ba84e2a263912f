// Stand-ins for the two run modes until the settings dialog and the saver run
// are built; each says so and returns.
#include <cstdio>

#include "shell/shell.h"

void runSettingsDialog()
{
    fprintf(stderr, "vellamir: the settings dialog is not built yet.\n");
}

int runSaver()
{
    fprintf(stderr, "vellamir: the saver run is not built yet.\n");
    return 0;
}
