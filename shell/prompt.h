// The run-time password prompt, shown while saverState is 1.
#pragma once

// Draws the prompt over the frame and runs its 20-second timeout.
void drawPasswordPrompt();
// One character typed while the prompt is up (Enter checks the password).
void promptKey(int character);
