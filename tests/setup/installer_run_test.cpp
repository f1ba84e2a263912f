// The real installer from the build's distribution folder, driven with
// xdotool as a user drives it (on the tests' own X server, tests/support/private_display.cpp).
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "tests/support/test_support.h"

namespace {

using namespace std::chrono_literals;

std::string quoted(const std::string& text)
{
    return "'" + text + "'";
}

// A program started in the background with its own current directory and WINDIR.
class Program {
public:
    Program(const std::string& path, const std::string& directory, const std::string& windir,
            const std::vector<std::string>& arguments = {})
    {
        pid_ = fork();
        if (pid_ == 0) {
            if (chdir(directory.c_str()) != 0) _exit(120);
            setenv("WINDIR", windir.c_str(), 1);
            std::vector<char*> argv{const_cast<char*>(path.c_str())};
            for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            execv(path.c_str(), argv.data());
            _exit(121);
        }
    }
    ~Program()
    {
        if (pid_ > 0 && running()) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }
    bool running()
    {
        if (exited_) return false;
        int status;
        if (waitpid(pid_, &status, WNOHANG) != pid_) return true;
        exited_ = true;
        code_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return false;
    }
    // The exit code, waiting up to limit (only a program that hangs takes
    // that long); -2 when it is still running.
    int exitCode(std::chrono::milliseconds limit = 60s)
    {
        auto end = std::chrono::steady_clock::now() + limit;
        while (running() && std::chrono::steady_clock::now() < end) std::this_thread::sleep_for(20ms);
        return running() ? -2 : code_;
    }

private:
    pid_t pid_ = -1;
    bool exited_ = false;
    int code_ = -1;
};

// The first visible window named exactly name, waiting up to limit; "" when none shows.
std::string waitForWindow(const std::string& name, std::chrono::milliseconds limit = 60s)
{
    auto end = std::chrono::steady_clock::now() + limit;
    do {
        std::string found;
        runCommand("xdotool search --onlyvisible --name " + quoted("^" + name + "$") + " 2>/dev/null", &found);
        if (!found.empty()) return found.substr(0, found.find('\n'));
        std::this_thread::sleep_for(30ms);
    } while (std::chrono::steady_clock::now() < end);
    return "";
}

struct Geometry {
    int x = 0, y = 0, width = 0, height = 0;
};

Geometry geometryOf(const std::string& window)
{
    std::string shell;
    runCommand("xdotool getwindowgeometry --shell " + window, &shell);
    Geometry g;
    auto value = [&](const char* key) {
        size_t at = shell.find(std::string(key) + "=");
        return at == std::string::npos ? 0 : atoi(shell.c_str() + at + strlen(key) + 1);
    };
    g.x = value("X"), g.y = value("Y"), g.width = value("WIDTH"), g.height = value("HEIGHT");
    return g;
}

// Clicks at a point of the window given in dialog units (x * 6 / 4, y * 13 / 8).
void clickDialogUnits(const std::string& window, int x, int y)
{
    runCommand("xdotool mousemove --window " + window + " " + std::to_string((x * 6 + 2) / 4) + " " +
               std::to_string((y * 13 + 4) / 8) + " click 1");
}

// Gives the window the keyboard and presses a key there.
void pressKey(const std::string& window, const std::string& key)
{
    runCommand("xdotool windowfocus --sync " + window + " key " + key);
}

// Answers a message box titled caption with a key ("Return": its first button, OK or Yes).
bool answerBox(const std::string& caption, const std::string& key)
{
    std::string box = waitForWindow(caption);
    if (box.empty()) return false;
    pressKey(box, key);
    return true;
}

// The PATH dialog's buttons, at their centres in dialog units.
void clickOk(const std::string& dialog) { clickDialogUnits(dialog, 59 + 20, 27 + 7); }
void clickCancelSetup(const std::string& dialog) { clickDialogUnits(dialog, 106 + 29, 27 + 7); }

std::string distribution()
{
    char* absolute = realpath((binaryDir() + "/dist").c_str(), nullptr);
    std::string path = absolute ? absolute : binaryDir() + "/dist";
    free(absolute);
    return path;
}

std::string listing(const std::string& directory)
{
    std::string out;
    runCommand("cd " + quoted(directory) + " && find . | sort", &out);
    return out;
}

} // namespace

TEST(InstallerRun, AcceptThePathCopyAndConfirmBothClosingMessages)
{
    TempDir windows;
    Program setup(distribution() + "/setup", distribution(), windows.path());

    std::string backdrop = waitForWindow("Tarvello Software Setup");
    ASSERT_FALSE(backdrop.empty());
    std::string path = waitForWindow("Install path");
    ASSERT_FALSE(path.empty());
    Geometry screen = geometryOf(backdrop);
    EXPECT_GE(screen.width, 1000) << "the backdrop fills the screen";
    EXPECT_GE(screen.height, 700);

    clickOk(path); // the Windows directory as offered: $WINDIR
    ASSERT_TRUE(answerBox("Finished setup", "Return")) << "the completion message";
    ASSERT_TRUE(answerBox("Information", "Return")) << "the advice to read setup.wri";
    EXPECT_EQ(setup.exitCode(), 0);

    // Every file of the script is in place, byte for byte.
    std::string script = readBytes(distribution() + "/setup.xdt");
    int files = 0;
    for (size_t at = script.find("%R"); at != std::string::npos; at = script.find("%R", at + 2)) {
        std::string source = script.substr(at + 2, script.find('\n', at) - at - 2);
        size_t write = script.find("%W", at);
        std::string destination = script.substr(write + 2, script.find('\n', write) - write - 2);
        for (char& c : source) c = c == '\\' ? '/' : c;
        for (char& c : destination) c = c == '\\' ? '/' : c;
        EXPECT_EQ(readBytes(windows.path() + destination), readBytes(distribution() + "/" + source)) << destination;
        ++files;
    }
    EXPECT_GE(files, 2);
    for (const char* name : {"/Brevane/graphics/Default1.bmp", "/Brevane/pass.pag", "/Brevane/pass2x.pag",
                             "/Brevane/setup.wri"})
        EXPECT_EQ(runCommand("test -s " + quoted(windows.path() + name)), 0) << name;
    struct stat info;
    ASSERT_EQ(stat((windows.path() + "/vellamir").c_str(), &info), 0);
    EXPECT_NE(info.st_mode & 0100, 0u) << "the saver is executable";

    // The installed saver runs from the Windows directory; input ends its run.
    Program saver(windows.path() + "/vellamir", windows.path(), windows.path(), {"/s"});
    ASSERT_FALSE(waitForWindow("Vellamir").empty()) << "the saver's window";
    runCommand("xdotool mousemove 100 100 mousemove 400 400 click 1");
    EXPECT_EQ(saver.exitCode(), 0);
}

// (The answer No to both abort questions is shown in-process, installer_dialogs_test.cpp.)
TEST(InstallerRun, CancelSetupAnsweredYesEndsWithNothingCreated)
{
    TempDir windows;
    Program setup(distribution() + "/setup", distribution(), windows.path());
    std::string path = waitForWindow("Install path");
    ASSERT_FALSE(path.empty());

    clickCancelSetup(path);
    ASSERT_TRUE(answerBox("Abort", "Return")) << "the abort question";
    EXPECT_EQ(setup.exitCode(), 1);
    EXPECT_EQ(listing(windows.path()), ".\n") << "nothing is created";
}

TEST(InstallerRun, EscapeLeavesTheBackdropAndCancelWhileCopyingEndsEarly)
{
    // A medium whose one file never ends keeps the progress dialog copying.
    TempDir medium, windows;
    writeBytes(medium.file("setup.xdt"), "Endless\n1000000\n%R\\dev\\zero\n%W\\dev\\null\n");
    Program setup(distribution() + "/setup", medium.path(), windows.path());
    std::string path = waitForWindow("Install path");
    ASSERT_FALSE(path.empty());
    runCommand("xdotool windowfocus --sync " + path + " key ctrl+a BackSpace"); // an empty install path
    clickOk(path);

    std::string progress = waitForWindow("Tarvello software screen saver install");
    ASSERT_FALSE(progress.empty());
    pressKey(waitForWindow("Tarvello Software Setup"), "Escape");
    // Setup takes its input in order: a question after the Escape shows it still ran.
    clickDialogUnits(progress, 115 + 20, 72 + 7); // "Cancel"
    ASSERT_TRUE(answerBox("Abort", "Return")) << "Escape on the backdrop is no close request";
    EXPECT_EQ(setup.exitCode(), 1);
}

TEST(InstallerRun, MissingScriptIsAFatalError)
{
    TempDir medium, windows;
    Program setup(distribution() + "/setup", medium.path(), windows.path());
    std::string path = waitForWindow("Install path");
    ASSERT_FALSE(path.empty());
    clickOk(path);
    ASSERT_TRUE(answerBox("Fatal error", "Return"));
    EXPECT_EQ(setup.exitCode(), 1);
    EXPECT_EQ(listing(windows.path()), ".\n");
}

TEST(Distribution, WithoutADisplaySetupSaysWhyAndEndsEarly)
{
    TempDir windows;
    std::string output;
    int code = runCommand("cd " + quoted(distribution()) + " && env -u DISPLAY WINDIR=" + quoted(windows.path()) +
                              " ./setup 2>&1",
                          &output);
    EXPECT_EQ(code, 1);
    EXPECT_EQ(output, "Fatal error: Setup needs a display for its dialogs.\n");
    EXPECT_EQ(listing(windows.path()), ".\n");
}

TEST(Distribution, ScriptListsEveryFileWithTheRealTotal)
{
    std::string script = readBytes(distribution() + "/setup.xdt");
    ASSERT_FALSE(script.empty());
    size_t line2 = script.find('\n') + 1;
    long total = atol(script.c_str() + line2);

    std::vector<std::string> listed;
    long sum = 0;
    for (size_t at = script.find("%R"); at != std::string::npos; at = script.find("%R", at + 2)) {
        std::string source = script.substr(at + 2, script.find('\n', at) - at - 2);
        for (char& c : source) c = c == '\\' ? '/' : c;
        listed.push_back("./" + source);
        struct stat info;
        ASSERT_EQ(stat((distribution() + "/" + source).c_str(), &info), 0) << source;
        sum += static_cast<long>(info.st_size);
    }
    EXPECT_EQ(total, sum);

    // Every file of the medium but the installer and its script is installed.
    std::string found;
    runCommand("cd " + quoted(distribution()) + " && find . -type f ! -name setup ! -name setup.xdt | sort", &found);
    std::sort(listed.begin(), listed.end());
    std::string expected;
    for (const std::string& name : listed) expected += name + "\n";
    EXPECT_EQ(found, expected);
    EXPECT_NE(found.find("./Brevane/graphics/Default1.bmp\n"), std::string::npos);
    EXPECT_NE(found.find("./Brevane/pass2x.pag\n"), std::string::npos);
}
