// The installer's tests run on an X server of their own, started before the
// first test: the real pointer and keyboard they use must not reach other test
// programs' windows (the suite runs two at a time), nor theirs these; and the
// progress dialog raises itself above everything on its screen.
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
        int ready[2];
        ASSERT_EQ(pipe(ready), 0);
        pid_ = fork();
        if (pid_ == 0) {
            close(ready[0]);
            std::string fd = std::to_string(ready[1]);
            // Xvfb picks a free display number and writes it once it takes connections.
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24", "-nolisten", "tcp", "-noreset",
                   static_cast<char*>(nullptr));
            _exit(121);
        }
        close(ready[1]);
        char number[16] = {};
        ssize_t got = read(ready[0], number, sizeof number - 1);
        close(ready[0]);
        ASSERT_GT(got, 0) << "Xvfb did not start";
        std::string name = ":" + std::to_string(atoi(number));
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
    pid_t pid_ = -1;
};

const ::testing::Environment* const privateDisplay = ::testing::AddGlobalTestEnvironment(new PrivateDisplay);

} // namespace
