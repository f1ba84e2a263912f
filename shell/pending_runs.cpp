// Stand-ins for the run-time password prompt until it is built: nothing is
// drawn and typed characters are ignored.
#include "shell/prompt.h"

void drawPasswordPrompt() {}

void promptKey(int) {}
