// Helpers shared by the tests.
#pragma once

#include <string>

// A fresh directory under $TMPDIR, removed with everything in it at the end of the scope.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// Whole content of a file as bytes ("" when it cannot be read).
std::string readBytes(const std::string& path);
// Writes bytes to a file, creating or truncating it.
void writeBytes(const std::string& path, const std::string& bytes);
// Runs a shell command, returns its exit status (or -1); its standard output into *output when given.
int runCommand(const std::string& command, std::string* output = nullptr);
// Copies the saver's data painted by the build (Brevane: textures, default
// picture, prompt pictures) into a Windows directory; true when it is there.
bool installSaverData(const std::string& windowsDirectory);
// The build directory ($VELLAMIR_BINARY_DIR, set by CTest) and the source directory.
std::string binaryDir();
std::string sourceDir();
