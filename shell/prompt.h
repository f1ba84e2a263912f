// The run-time password prompt, shown while saverState is 1: its picture, its
// dots, its editing and its 20-second timeout. The prompt state lives in
// saverRun (typedPassword, typedLength, promptTimer, promptStart).
#pragma once

// ---- The picture ----------------------------------------------------------------

// Loads "Brevane\pass2x.pag" when the mode is wider than 640 and taller than
// 480, else "Brevane\pass.pag", into saverRun.passwordPicture (password
// enabled only). A failure is fatal with the library's message.
void loadPasswordPicture();

// ---- On every pass while the prompt is up ----------------------------------------

// Draws the picture centred on the draw target with one black dot per typed
// character, then runs the timeout: 20 seconds (runClock) after the last input
// the prompt goes and the typed text is wiped.
void drawPasswordPrompt();

// ---- Typing -------------------------------------------------------------------------

// One character code typed while the prompt is up: Enter (13) compares the
// text with the password exactly (equal: saverState 0; else the prompt goes,
// the text is wiped); Backspace (8) removes the last character; 31..126 are
// appended up to 43 characters; every other code is ignored.
void promptKey(int character);
// Empties the typed text, wiping all 44 bytes.
void wipeTypedPassword();
