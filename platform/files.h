// Files and directories of the host system: the Windows directory, the current
// directory and path translation. The program names its files the way the
// settings file and setup scripts store them ("Brevane\Vellamir.INI"); every
// operation here translates such a name before it touches the file system.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

// ---- The Windows directory --------------------------------------------------

// Longest Windows directory the program accepts, in bytes (its buffers are 256).
constexpr int kMaxWindowsDirectory = 255;

// Fills out (size bytes) with the Windows directory: $WINDIR when set, else
// $XDG_DATA_HOME/vellamir, else $HOME/.local/share/vellamir, always made
// absolute (a relative value counts from the current directory); the default
// directory is created when missing. Returns 0, or 1 when the directory is
// longer than 255 bytes, cannot be created, or does not fit out. On failure
// out holds an empty text and *reason (when given) says why.
int queryWindowsDirectory(char* out, int size, std::string* reason = nullptr);

// ---- Path translation -------------------------------------------------------

// Turns a stored name into a host path: every "\" becomes "/", and a path
// component that does not exist with its exact case takes the name of an
// existing entry that matches it ignoring ASCII case. Components that match
// nothing are kept as given, so new files are created with the given name.
std::string translatePath(const char* path);

// ---- File and directory operations (names are translated) ------------------

// fopen on the translated name; binary and text modes are the same here.
FILE* openFile(const char* path, const char* mode);
// Makes path the current directory. Returns 0, or 1 on failure.
int setCurrentDirectory(const char* path);
// Current directory into out (size bytes). Returns 0, or 1 when it does not fit.
int getCurrentDirectory(char* out, int size);
// Creates one directory level (mode 0755). Returns 0, or 1 on failure
// (an existing directory is a failure too; see isDirectory).
int makeDirectory(const char* path);
// 1 when path names an existing directory, else 0.
int isDirectory(const char* path);
// 1 when path names an existing regular file, else 0.
int fileExists(const char* path);
// Removes a file. Returns 0, or 1 on failure.
int removeFile(const char* path);
// Puts from over to, replacing to in one step. Returns 0, or 1 on failure.
int replaceFile(const char* from, const char* to);
// Gives the open regular file to the permission bits (rwx) of the open file
// from, so an installed program stays executable. Returns 0, or 1 on failure
// or when to is no regular file.
int copyFileMode(FILE* from, FILE* to);
// Opens an existing regular file for reading ("rb") without ever blocking:
// a FIFO, a device or a directory at the path gives null, as a missing file does.
FILE* openRegularFile(const char* path);
// Reads a whole regular file of at most maxBytes into bytes. Returns 0, or 1
// when it cannot be opened or read, is no regular file (a FIFO, a device, a
// directory) or is longer than maxBytes; bytes is then empty and *why (when
// given) says which ("no such file", "not a regular file", "larger than
// 256 MB", ...). Never blocks on a FIFO.
int readWholeFile(const char* path, std::string& bytes, size_t maxBytes, std::string* why = nullptr);

// Writes bytes to path so that path holds either its old content or all of the
// new one: a temporary file beside it (created with mode 0600 when private is
// set), every write and the close checked, flushed to disk, then renamed over
// path, whose directory is then synced. Temporary files that earlier saves of
// path left behind (killed before their rename) are removed. Returns 0, or 1
// with path unchanged.
int writeFileSafely(const char* path, const void* bytes, size_t size, bool isPrivate);

// ---- Walking a folder (the name is translated) -------------------------------

// Appends to files the path of every regular file in folder and its
// sub-folders down to maxDepth levels, looking at no more than maxEntries
// directory entries in all. Hidden entries (names starting with ".") are
// skipped, and a symbolic link is followed only when it leads to a place
// inside folder that the walk has not been to (no loops, nothing outside).
// Returns 0, or 1 when folder cannot be read.
int listFolderFiles(const char* folder, int maxEntries, int maxDepth, std::vector<std::string>& files);
