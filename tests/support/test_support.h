// Helpers shared by the tests.
#pragma once

#include <cstdlib>
#include <string>
#include <vector>

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

// What may sit at a path the program reads instead of a file of its own:
// "zero" a link to /dev/zero, "fifo" a FIFO nobody writes, "sparse" a 1 GB
// sparse regular file beginning with head. True when it was made.
extern const char* const kHostileKinds[3];
bool makeHostileFile(const std::string& path, const std::string& kind, const std::string& head = "");
// Runs body in a child process limited to memoryBytes of address space and
// seconds of time; its result (0..255), or -1 when the child was killed
// (out of time, a crash) or ended otherwise.
int runLimited(int (*body)(const std::string&), const std::string& argument, size_t memoryBytes, int seconds);

// A virtual X server of its own with the given screens, e.g. {"1024x768",
// "1024x768"} for two monitors, and Xvfb options (by default a white root
// window, so any of the desktop left showing is seen); ended with the scope.
class VirtualScreens {
public:
    explicit VirtualScreens(const std::vector<std::string>& screens,
                            const std::vector<std::string>& options = {"-wr"});
    ~VirtualScreens();
    VirtualScreens(const VirtualScreens&) = delete;
    VirtualScreens& operator=(const VirtualScreens&) = delete;
    // ":N", or "" when the server did not start.
    const std::string& name() const { return name_; }

private:
    std::string name_;
    int pid_ = -1;
};

// Sets (or, with null, removes) an environment variable for one scope and puts the old value back.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name)
    {
        if (const char* old = getenv(name)) old_ = old, had_ = true;
        if (value) setenv(name, value, 1); else unsetenv(name);
    }
    ~ScopedEnv()
    {
        if (had_) setenv(name_.c_str(), old_.c_str(), 1); else unsetenv(name_.c_str());
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string name_, old_;
    bool had_ = false;
};
