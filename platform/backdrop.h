// A plain top-level window filling the screen behind a program's dialogs
// (the installer's backdrop). It draws only its background colour.
#pragma once

struct BackdropWindow;

// Opens the window maximised with caption, in the colour of the desktop's
// application workspace, and shows it at once. onClose runs when the user
// closes it with the title bar (the window is already gone then; Escape does
// not close it). Null without a display.
BackdropWindow* openBackdropWindow(const char* caption, void (*onClose)());
// Closes and frees the window without calling onClose.
void closeBackdropWindow(BackdropWindow* window);
