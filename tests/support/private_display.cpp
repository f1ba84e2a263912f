// A test program that links this file runs on an X server of its own, started
// before the first test: the real pointer and keyboard such tests use must not
// reach other test programs' windows (the suite runs two at a time), nor theirs
// these; and windows that raise themselves stay on their own screen.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

class PrivateDisplay : public ::testing::Environment {
public:
    void SetUp() override
    {
        // Two servers starting at once may pick the same free number; the
        // one that loses ends at once, and is started again.
        std::string name;
        for (int attempt = 0; attempt < 5 && name.empty(); ++attempt) {
            if (attempt > 0) usleep(100000 * attempt);
            name = start();
        }
        ASSERT_FALSE(name.empty()) << "Xvfb did not start";
        setenv("DISPLAY", name.c_str(), 1);
        unsetenv("XAUTHORITY"); // the server of our own has no cookie
    }
    void TearDown() override
    {
        if (pid_ <= 0) return;
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }

private:
    // Starts Xvfb; its display name (":N"), or "" when it did not start.
    std::string start()
    {
        int ready[2];
        if (pipe(ready) != 0) return "";
        pid_ = fork();
        if (pid_ == 0) {
            close(ready[0]);
            std::string fd = std::to_string(ready[1]);
            // Xvfb picks a free display number and writes it once it takes connections.
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24", "-nolisten", "tcp",
                   "-noreset", static_cast<char*>(nullptr));
            _exit(121);
        }
        close(ready[1]);
        // The number comes with a line end; the pipe stays open until that is
        // read too, or the server's second write fails and it ends.
        std::string number;
        char c;
        while (pid_ > 0 && number.size() < 16 && read(ready[0], &c, 1) == 1 && c != '\n') number += c;
        close(ready[0]);
        if (!number.empty()) return ":" + number;
        if (pid_ > 0) waitpid(pid_, nullptr, 0);
        pid_ = -1;
        return "";
    }

    pid_t pid_ = -1;
};

const ::testing::Environment* const privateDisplay = ::testing::AddGlobalTestEnvironment(new PrivateDisplay);

} // namespace
