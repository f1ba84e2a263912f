// The installer: copies the screen saver from its medium into the Windows directory.
#include "setup/installer.h"

int main()
{
    return runInstaller();
}
