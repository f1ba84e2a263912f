// The saver's data installed for every user: "cmake --install" puts a copy
// of "Brevane" into <prefix>/share/vellamir, and a user's first run copies it
// into that user's Windows directory, where the saver reads its data and
// writes its settings.
#pragma once

#include <string>

// 1 when the Windows directory holds the saver's data (its "Brevane\graphics"
// folder, in any case of letters), else 0.
int hasSaverData(const char* windowsDirectory);
// The installed data folder: the first "<dir>/vellamir" of $XDG_DATA_DIRS
// (/usr/local/share:/usr/share when unset) that holds "Brevane/graphics";
// relative entries are skipped. "" when there is none.
std::string findInstalledData();
// Copies the "Brevane" folder of the installed data into the Windows
// directory: missing folders are created, files are copied with their
// permission bits, an existing file is never overwritten, and the settings
// files "Vellamir.INI" and "Vellamir.conf" are never copied. Returns 0, or 1 with *reason saying
// what failed (files copied until then stay). *copied (when given) counts the files copied.
int copyInstalledData(const char* installed, const char* windowsDirectory, std::string* reason,
                      int* copied = nullptr);
// Tells on standard error where the data was looked for and how to install it.
void explainMissingData(const char* windowsDirectory);
