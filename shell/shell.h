// The saver's entry point: command line, start-up and the two run modes.
#pragma once

#include <string>

// What the command line asks for.
enum class RunMode {
    Saver,            // "/s..." or exactly "-s" / "s"
    ConfigureDialog,  // exactly "/c", "-c" or "c": the settings dialog, exit code 1
    Dialog,           // anything else: the settings dialog, exit code 0
    Help,             // exactly "--help": the usage on standard output, exit code 0
    Version,          // exactly "--version": the version on standard output, exit code 0
};

// Classifies the argument text (the command line after the program name,
// leading blanks skipped), ignoring the case of ASCII letters (but "--help"
// and "--version" are written as Linux programs write them).
RunMode classifyCommandLine(const char* argumentText);

// The program: seeds the generator, makes the Windows directory current,
// puts the default picture in the list, loads the settings and runs what the
// command line asks for. Returns the process exit code: 1 after a dialog
// opened by "/c", 255 for a saver whose host window disappeared, 0 otherwise.
int saverMain(const char* argumentText);

// Makes the Windows directory the current directory: 0, or not 0 with the
// reason ("Cannot enter the Windows directory ...") in *reason.
int enterWindowsDirectory(std::string* reason);
// For the programs that start a run of their own (the benchmarks and the
// picture tools): the default settings with the default picture, at the
// screen's own size in full screen.
void useScreenSizeSettings();

// The settings dialog of the configuration run; returns when it closes.
void runSettingsDialog();
// One saver run, from the password-picture check to the shut-down: full
// screen, or into the window XSCREENSAVER_WINDOW names. Returns 0, or 255
// when that window disappeared under the run.
int runSaver();
