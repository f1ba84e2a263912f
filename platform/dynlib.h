// Shared libraries opened at run time by file name (the system's OpenGL and
// GLU libraries).
#pragma once

// Opens a shared library by its file name ("libGL.so.1"); null when it cannot be loaded.
void* openLibrary(const char* fileName);
// The address of an exported function or object; null when the library has none of that name.
void* librarySymbol(void* library, const char* name);
// Releases a library opened by openLibrary; null is allowed.
void closeLibrary(void* library);
