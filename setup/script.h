// The setup script: what the installer creates and copies, read from
// "setup.xdt" in the directory the installer was started from.
//
//   line 1   a name line (not used)
//   line 2   the total number of bytes of all files, in decimal
//   then     "%D\dir"    a directory to create under the install directory
//            "%Rsource"  the source of the next file entry, relative to the start directory
//            "%W\dest"   the destination of that entry; completes it
//            "%Clabel"   a disk change before the next file entry
//
// A command's argument is the rest of its line, taken exactly. Lines without a
// percent sign are comments.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// ---- Capacities of the tables -----------------------------------------------

constexpr int kMaxScriptEntries = 10000; // directories, and file entries
constexpr int kMaxDiskChanges = 1000;
constexpr int kMaxScriptName = 255;      // characters of a directory, source or destination name
constexpr int kMaxDiskLabel = 14;        // characters of a disk label
// The longest script read: twice the fullest one's commands (every table
// full, each line "%X", a longest name and a carriage return and line feed),
// leaving as much room again for its name line and comment lines.
constexpr size_t kMaxSetupScriptBytes =
    2 * (size_t(kMaxScriptEntries) * 3 * (2 + kMaxScriptName + 2) + size_t(kMaxDiskChanges) * (2 + kMaxDiskLabel + 2));

// ---- The tables --------------------------------------------------------------

// A prompt for another disk before file entry `beforeFile` is opened.
struct DiskChange {
    int32_t beforeFile;
    char label[kMaxDiskLabel + 1];
};

// Everything a script says, in script order. Only the first `...Count`
// entries of each table are meaningful; the source of entry `fileCount` may
// hold a "%R" still waiting for its "%W".
struct SetupScript {
    int32_t totalBytes;
    int32_t directoryCount;
    int32_t fileCount;
    int32_t diskChangeCount;
    char directoryNames[kMaxScriptEntries][kMaxScriptName + 1];
    char sourceNames[kMaxScriptEntries][kMaxScriptName + 1];
    char destinationNames[kMaxScriptEntries][kMaxScriptName + 1];
    DiskChange diskChanges[kMaxDiskChanges];
};

// Empties the tables (counts 0, no source waiting); cheap, the tables are not cleared.
void resetSetupScript(SetupScript& script);

// Parses the bytes of a script into script, reset first. A carriage return
// before a line feed belongs to the line end; the end of the bytes ends the
// last line. Returns 0, or 1 when the script does not fit the tables (too many
// entries or disk changes, a name or label too long); then *failure (when
// given) holds the message for the user and the tables hold what came before.
int parseSetupScript(const uint8_t* bytes, size_t size, SetupScript& script,
                     std::string* failure = nullptr);
