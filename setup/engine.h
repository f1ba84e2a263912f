// The copy engine: reads the setup script, creates its directories, and copies
// its files a step at a time, one step per pass of the installer's message
// loop, so the progress dialog stays responsive without a second thread.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/msgbox.h"
#include "setup/script.h"

// ---- Limits ------------------------------------------------------------------

constexpr int kCopyStepBytes = 25000; // bytes copied in one pass of the loop
constexpr int kMaxInstallDirectory = 255;

// ---- What the engine asks of the installer's face ----------------------------

// Filled by the progress dialog; tests fill it with recorders.
struct SetupFace {
    // A modal message box (fatal errors, disk changes); the loop waits for it.
    MessageAnswer (*message)(const char* text, const char* caption, MessageIcon icon);
    // The "Read:" and "Write:" fields: the source as the script names it, the full destination.
    void (*showFilePair)(const char* source, const char* destination);
    // Redraws the progress panel after a copy pass.
    void (*drawProgress)();
};

// ---- The installer's state ---------------------------------------------------

// The installer's one process-wide record, owned by setup/engine.cpp: filled by
// the path dialog and the script, advanced by copyPass; reset by resetSetup.
struct SetupState {
    char installDirectory[kMaxInstallDirectory + 1]; // prefix of every directory and destination
    char setupScript[256];                            // the script's file name
    int64_t copiedBytes;                              // over all files so far
    int32_t currentFile;                              // the entry being copied
    int32_t nextDiskChange;                           // the next disk change to announce
    bool openNextFile;                                // the next pass opens the next file pair
    bool copyActive;                                  // copying has started
    bool setupFinished;                               // all copied, or the path dialog cancelled
    FILE* source;
    FILE* destination;
    SetupScript script;
};
extern SetupState installer;

// Start state: "setup.xdt", no install directory, openNextFile set, the other flags clear.
void resetSetup();

// ---- Steps -------------------------------------------------------------------

// Reads setup.setupScript from the current directory, fills the tables, creates
// every directory it names under the install directory (one level each, existing
// ones left alone) and sets copyActive. Returns 0, or 1 after a "Fatal error" message.
int readSetupScript(const SetupFace& face);

// One pass of copying while copyActive: either opens the next file pair (after
// any disk-change prompt; copies nothing) or copies up to kCopyStepBytes and
// redraws the progress; the pass that finishes the last file sets
// setupFinished. Every write and close is checked. Returns 0, or 1 after a
// "Fatal error" message; the installer then ends.
int copyPass(const SetupFace& face);

// Closes the file pair being copied, if any (when the installer ends early).
void closeCopyStreams();

// The destination as written: the install directory followed by the entry's
// name, no separator added (the names carry their own leading backslash).
std::string destinationPath(int entry);
