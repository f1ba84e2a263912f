#include "tests/support/test_support.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/wait.h>

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
