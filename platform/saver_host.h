// What a screen-saver daemon (XScreenSaver) hands the saver it starts: the
// window to draw in, named by XSCREENSAVER_WINDOW, and the signals that stop it.
#pragma once

#include <cstdint>

// ---- The host window -------------------------------------------------------------

// Reads a window id written as "0x" + hexadecimal digits or as decimal digits,
// nothing else around them. 1 with *window set, or 0 for any other text, for
// 0 (no window) and for values past 32 bits.
int parseWindowId(const char* text, uint64_t* window);
// The window XSCREENSAVER_WINDOW names, or 0 when the variable is not set. A
// value that is no window id is noted on standard error and gives 0 too, so
// the saver runs full screen.
uint64_t hostWindowFromEnvironment();

// ---- Termination signals -----------------------------------------------------------

// From now on the first SIGTERM or SIGINT only raises a flag the run checks
// each pass, so it ends through its normal shut-down; a second one ends the
// process at once, should the run not get to check.
void catchTerminationSignals();
// 1 once SIGTERM or SIGINT has arrived after catchTerminationSignals.
int terminationRequested();
// Ends the process by the signal that arrived, with that signal's default
// action: a daemon's hack that has cleaned up dies by the signal it was sent,
// as the daemon expects. Returns only when no signal arrived.
void endByTerminationSignal();
