#include "tests/support/test_support.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

TempDir::TempDir()
{
    const char* base = getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/vellamir-test.XXXXXX";
    if (!mkdtemp(pattern.data())) abort();
    path_ = pattern;
}

TempDir::~TempDir()
{
    runCommand("rm -rf '" + path_ + "'");
}

std::string readBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void writeBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

int runCommand(const std::string& command, std::string* output)
{
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return -1;
    char chunk[4096];
    size_t got;
    while ((got = fread(chunk, 1, sizeof chunk, pipe)) > 0)
        if (output) output->append(chunk, got);
    int status = pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string binaryDir()
{
    const char* dir = getenv("VELLAMIR_BINARY_DIR");
    return dir ? dir : ".";
}

std::string sourceDir()
{
    const char* dir = getenv("VELLAMIR_SOURCE_DIR");
    return dir ? dir : "..";
}

bool installSaverData(const std::string& windowsDirectory)
{
    return runCommand("cp -r '" + binaryDir() + "/data/Brevane' '" + windowsDirectory + "/'") == 0;
}

const char* const kHostileKinds[3] = {"zero", "fifo", "sparse"};

bool makeHostileFile(const std::string& path, const std::string& kind, const std::string& head)
{
    unlink(path.c_str());
    if (kind == "zero") return symlink("/dev/zero", path.c_str()) == 0;
    if (kind == "fifo") return mkfifo(path.c_str(), 0600) == 0;
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (fd < 0) return false;
    bool made = write(fd, head.data(), head.size()) == static_cast<ssize_t>(head.size()) &&
                ftruncate(fd, off_t(1) << 30) == 0;
    close(fd);
    return made;
}

int runLimited(int (*body)(const std::string&), const std::string& argument, size_t memoryBytes, int seconds)
{
    fflush(nullptr);
    pid_t child = fork();
    if (child == 0) {
        rlimit memory{memoryBytes, memoryBytes};
        setrlimit(RLIMIT_AS, &memory);
        alarm(static_cast<unsigned>(seconds));
        _exit(body(argument));
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

namespace {

// Starts Xvfb with the given screens and options; its pid in *pid and its display name
// (":N"), or "" when it did not start.
std::string startXvfb(const std::vector<std::string>& screens, const std::vector<std::string>& options, int* pid)
{
    *pid = -1;
    int ready[2];
    if (pipe(ready) != 0) return "";
    *pid = fork();
    if (*pid == 0) {
        close(ready[0]);
        std::vector<std::string> words = {"Xvfb", "-displayfd", std::to_string(ready[1]), "-nolisten", "tcp"};
        words.insert(words.end(), options.begin(), options.end());
        for (size_t i = 0; i < screens.size(); ++i) {
            words.push_back("-screen");
            words.push_back(std::to_string(i));
            words.push_back(screens[i] + "x24");
        }
        std::vector<char*> arguments;
        for (std::string& word : words) arguments.push_back(word.data());
        arguments.push_back(nullptr);
        execvp("Xvfb", arguments.data());
        _exit(121);
    }
    close(ready[1]);
    // Xvfb writes the number it picked, with a line end, once it takes
    // connections; the pipe stays open until that is read too, or the
    // server's second write fails and it ends.
    std::string number;
    char c;
    while (*pid > 0 && number.size() < 16 && read(ready[0], &c, 1) == 1 && c != '\n') number += c;
    close(ready[0]);
    if (!number.empty()) return ":" + number;
    if (*pid > 0) waitpid(*pid, nullptr, 0);
    *pid = -1;
    return "";
}

} // namespace

VirtualScreens::VirtualScreens(const std::vector<std::string>& screens, const std::vector<std::string>& options)
{
    // Two servers starting at once (the suite runs two programs at a time)
    // may pick the same free number; the one that loses ends at once, and is
    // started again.
    for (int attempt = 0; attempt < 5 && name_.empty(); ++attempt) {
        if (attempt > 0) usleep(100000 * attempt);
        name_ = startXvfb(screens, options, &pid_);
    }
}

VirtualScreens::~VirtualScreens()
{
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
}
