// A test program that links this file runs on an X server of its own, started
// before the first test: the real pointer and keyboard such tests use must not
// reach other test programs' windows (the suite runs two at a time), nor theirs
// these; and windows that raise themselves stay on their own screen.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "tests/support/test_support.h"

namespace {

class PrivateDisplay : public ::testing::Environment {
public:
    void SetUp() override
    {
        server_ = new VirtualScreens(std::vector<std::string>{"1280x1024"},
                                                  std::vector<std::string>{"-noreset"});
        ASSERT_FALSE(server_->name().empty()) << "Xvfb did not start";
        setenv("DISPLAY", server_->name().c_str(), 1);
        unsetenv("XAUTHORITY"); // the server of our own has no cookie
    }
    // Only here, never in a destructor: a death test's child leaves through
    // exit(), which destroys the environments, and must not end the server.
    void TearDown() override
    {
        delete server_;
        server_ = nullptr;
    }

private:
    VirtualScreens* server_ = nullptr;
};

const ::testing::Environment* const privateDisplay = ::testing::AddGlobalTestEnvironment(new PrivateDisplay);

} // namespace
