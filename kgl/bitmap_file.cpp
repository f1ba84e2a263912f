// File lookup and BMP files: reading a file's bytes into a Bitmap, the header
// check, and tightly packed rows for consumers.
#include "kgl/bitmap.h"

#include <cstdlib>
#include <string>

#include "kgl/errors.h"
#include "platform/files.h"

// The root path of file lookup: set by KGL_init, kept until the next KGL_init.
static std::string rootPath;

void setFileRootPath(const char* path)
{
    rootPath = path ? path : "";
}

const char* fileRootPath()
{
    return rootPath.c_str();
}

// A directory followed by the separator the stored names use.
static std::string withSeparator(const std::string& directory)
{
    if (directory.empty() || directory.back() == '\\' || directory.back() == '/') return directory;
    return directory + "\\";
}

FILE* findFile(const char* subdirectory, const char* name, const char* mode)
{
    if (!name || !mode) return nullptr;
    std::string subdir = subdirectory ? subdirectory : "";
    std::string candidates[3];
    int count = 0;
    candidates[count++] = name;
    candidates[count++] = withSeparator(rootPath) + subdir + name;
    if (const char* kglRoot = getenv("KGL_ROOT")) candidates[count++] = withSeparator(kglRoot) + subdir + name;
    for (int i = 0; i < count; i++) {
        // A probe for reading, so that a writing mode never creates a file
        // under a candidate that is not the one found.
        FILE* probe = openFile(candidates[i].c_str(), "rb");
        if (!probe) continue;
        fclose(probe);
        return openFile(candidates[i].c_str(), mode);
    }
    return nullptr;
}
