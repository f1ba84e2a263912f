// The saver on a real Wayland compositor: Debian's sway, headless, run as an
// unprivileged user (sway refuses root), with swaybg painting its desktop
// magenta so any of it left showing is seen. Screenshots come from grim,
// keys from wtype, pointer motion from a virtual pointer. Skipped, with a
// note, where sway is not installed.
#include <gtest/gtest.h>
#include <glob.h>
#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <GL/gl.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "kgl/modes.h"
#include "platform/clock.h"
#include "platform/display.h"
#include "settings/settings.h"
#include "tests/support/test_support.h"

namespace {

constexpr const char* kTestUser = "vellamir-test";
constexpr int kStateWaitSeconds = 60;   // an upper bound for failure only

bool swayInstalled()
{
    return runCommand("command -v sway >/dev/null && command -v grim >/dev/null && command -v wtype >/dev/null") == 0;
}

// Waits for a state, at most kStateWaitSeconds.
template <typename F>
bool waitFor(F done)
{
    for (uint64_t until = monotonicMicroseconds() + kStateWaitSeconds * 1000000ull; monotonicMicroseconds() < until;) {
        if (done()) return true;
        usleep(50000);
    }
    return false;
}

// A headless sway with its own runtime directory, ended with the scope.
class SwaySession {
public:
    explicit SwaySession(const std::string& outputsConfig, int outputs)
    {
        runtime_ = dir_.file("run");
        mkdir(runtime_.c_str(), 0700);
        chmod(dir_.path().c_str(), 0755);
        std::string config = "default_border none\n" + outputsConfig;
        writeBytes(dir_.file("sway.conf"), config);
        chmod(dir_.file("sway.conf").c_str(), 0644);
        std::vector<std::string> words;
        if (geteuid() == 0) {
            // sway refuses root: the session belongs to a user of its own, made once.
            if (!getpwnam(kTestUser)) runCommand(std::string("useradd --system --no-create-home ") + kTestUser);
            passwd* user = getpwnam(kTestUser);
            if (!user || chown(runtime_.c_str(), user->pw_uid, user->pw_gid) != 0) return;
            words = {"setpriv", "--reuid=" + std::to_string(user->pw_uid), "--regid=" + std::to_string(user->pw_gid),
                     "--clear-groups", "--"};
        }
        for (const char* word : {"env", "-i"}) words.push_back(word);
        words.push_back("PATH=/usr/local/bin:/usr/bin:/bin");
        words.push_back("XDG_RUNTIME_DIR=" + runtime_);
        words.push_back("WLR_BACKENDS=headless");
        words.push_back("WLR_LIBINPUT_NO_DEVICES=1");
        words.push_back("WLR_RENDERER=pixman");
        words.push_back("WLR_HEADLESS_OUTPUTS=" + std::to_string(outputs));
        for (const char* word : {"sway", "-c"}) words.push_back(word);
        words.push_back(dir_.file("sway.conf"));
        pid_ = fork();
        if (pid_ == 0) {
            freopen(dir_.file("sway.log").c_str(), "w", stderr);
            freopen("/dev/null", "w", stdout);
            std::vector<char*> argv;
            for (std::string& word : words) argv.push_back(word.data());
            argv.push_back(nullptr);
            execvp(argv[0], argv.data());
            _exit(127);
        }
        // Ready once its socket answers IPC with every output and swaybg has painted the desktop.
        for (uint64_t until = monotonicMicroseconds() + kStateWaitSeconds * 1000000ull; monotonicMicroseconds() < until;) {
            if (findSockets() && runCommand(env() + " swaymsg -t get_outputs 2>/dev/null | grep -c '\"name\": \"HEADLESS' | grep -qx " +
                                            std::to_string(outputs)) == 0 &&
                magentaFraction("HEADLESS-1") > 0.99) {
                keepKeyboard();
                return;
            }
            if (waitpid(pid_, nullptr, WNOHANG) == pid_) break;
            usleep(50000);
        }
        ADD_FAILURE() << "sway did not start: " << readBytes(dir_.file("sway.log"));
        waylandDisplay_.clear();
    }

    ~SwaySession()
    {
        if (keyboardPid_ > 0) {
            kill(keyboardPid_, SIGTERM);
            waitpid(keyboardPid_, nullptr, 0);
        }
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }

    bool ready() const { return !waylandDisplay_.empty(); }
    // The environment that reaches the compositor: a prefix for shell commands.
    std::string env() const
    {
        return "XDG_RUNTIME_DIR='" + runtime_ + "' WAYLAND_DISPLAY='" + waylandDisplay_ + "' SWAYSOCK='" + ipc_ + "'";
    }
    const std::string& runtime() const { return runtime_; }
    const std::string& waylandDisplay() const { return waylandDisplay_; }

    // A screenshot of one output in its own pixels; its width and height, or 0 when grim failed.
    bool shot(const std::string& output, const std::string& file, int* width = nullptr, int* height = nullptr) const
    {
        std::string size;
        if (runCommand(env() + " grim -o " + output + " '" + file + "' && identify -format '%w %h' '" + file + "'",
                       &size) != 0)
            return false;
        int w = 0, h = 0;
        sscanf(size.c_str(), "%d %d", &w, &h);
        if (width) *width = w;
        if (height) *height = h;
        return w > 0;
    }
    // The share of an output's pixels that are the desktop's magenta; -1 when no screenshot could be had.
    double magentaFraction(const std::string& output) const
    {
        std::string file = dir_.file("magenta.png"), count;
        int width = 0, height = 0;
        if (!shot(output, file, &width, &height)) return -1;
        runCommand("compare -metric AE -fuzz 3% '" + file + "' -size " + std::to_string(width) + "x" +
                       std::to_string(height) + " xc:'#FF00FF' null: 2>&1",
                   &count);
        return 1.0 - atof(count.c_str()) / (static_cast<double>(width) * height);
    }
    // The mean brightness of an output, 0 for black; -1 when no screenshot could be had.
    double mean(const std::string& output) const
    {
        std::string file = dir_.file("mean.png"), value;
        if (!shot(output, file)) return -1;
        runCommand("convert '" + file + "' -format '%[fx:mean]' info:", &value);
        return atof(value.c_str());
    }

private:
    // A headless seat has no keyboard: each wtype brings one and takes it
    // away, and a client only binds a keyboard once the seat has one, so the
    // first key would go nowhere and the keyboard's leave would end the run.
    // A virtual keyboard that stays (a wtype that only waits) keeps the seat's
    // keyboard in place, as a real one is.
    void keepKeyboard()
    {
        keyboardPid_ = fork();
        if (keyboardPid_ == 0) {
            std::string command = env() + " exec wtype -s 3600000";
            execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        waitFor([&] { return runCommand(env() + " swaymsg -t get_seats | grep -q '\"capabilities\": [1-9]'") == 0; });
    }

    bool findSockets()
    {
        glob_t found = {};
        bool both = glob((runtime_ + "/wayland-*[0-9]").c_str(), 0, nullptr, &found) == 0;
        if (both) waylandDisplay_ = found.gl_pathv[0] + runtime_.size() + 1;
        globfree(&found);
        both = both && glob((runtime_ + "/sway-ipc.*.sock").c_str(), 0, nullptr, &found) == 0;
        if (both) ipc_ = found.gl_pathv[0];
        globfree(&found);
        return both;
    }

    TempDir dir_;
    std::string runtime_, waylandDisplay_, ipc_;
    pid_t pid_ = -1;
    pid_t keyboardPid_ = -1;
};

// The museum goes on the first output in the layout's reading order: HEADLESS-1, on the left.
const char* const kDesktop =
    "output * bg #FF00FF solid_color\noutput HEADLESS-1 position 0 0\noutput HEADLESS-2 position 1920 0\n";

// The saver started in the background in a Windows directory with the saver's data.
class WaylandSaver : public testing::Test {
protected:
    void SetUp() override
    {
        if (!swayInstalled()) GTEST_SKIP() << "sway, grim or wtype is not installed: the Wayland runs are not tried";
        ASSERT_TRUE(installSaverData(dir.path()));
        record.videoMode = 49;
        record.pictures[0] = dir.file("Brevane/graphics/Default1.bmp");
    }

    void TearDown() override
    {
        if (pid > 0) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
    }

    // Starts "vellamir /s" on the session; its standard error goes to a file.
    void start(const SwaySession& sway, const std::string& environment = "")
    {
        writeBytes(dir.file("Brevane/Vellamir.INI"), serializeSettings(record));
        std::string command = "cd '" + dir.path() + "' && " + sway.env() + " WINDIR='" + dir.path() + "' " +
                              environment + " exec '" + binaryDir() + "/bin/vellamir' /s 2>'" + dir.file("stderr") + "'";
        pid = fork();
        if (pid == 0) {
            execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
    }

    // The saver's exit code once it has ended, or -1 when it has not ended in time.
    int exitCode()
    {
        int status = 0;
        bool ended = waitFor([&] { return waitpid(pid, &status, WNOHANG) == pid; });
        if (!ended) return -1;
        pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    std::string stderrText() { return readBytes(dir.file("stderr")); }

    TempDir dir;
    Settings record;
    pid_t pid = -1;
};

TEST_F(WaylandSaver, OneOutputIsFilledAndAKeyEndsTheRun)
{
    SwaySession sway(kDesktop, 1);
    ASSERT_TRUE(sway.ready());
    start(sway);
    EXPECT_TRUE(waitFor([&] { return sway.magentaFraction("HEADLESS-1") == 0.0; })) << "the desktop is covered";
    EXPECT_GT(sway.mean("HEADLESS-1"), 0.02) << "the museum shows";
    ASSERT_EQ(runCommand(sway.env() + " wtype a"), 0);
    EXPECT_EQ(exitCode(), 0) << stderrText();
}

TEST_F(WaylandSaver, TwoOutputsAreCoveredAndAPointerMotionOverTheBlackOneEndsTheRun)
{
    SwaySession sway(kDesktop, 2);
    ASSERT_TRUE(sway.ready());
    start(sway);
    EXPECT_TRUE(waitFor([&] {
        return sway.magentaFraction("HEADLESS-1") == 0.0 && sway.magentaFraction("HEADLESS-2") == 0.0;
    }));
    EXPECT_GT(sway.mean("HEADLESS-1"), 0.02) << "the museum on the first output";
    EXPECT_EQ(sway.mean("HEADLESS-2"), 0.0) << "black on the other";
    // The pointer goes to the black output first (sway 1.10 starts it there anyway; 1.7 on the museum's).
    ASSERT_EQ(runCommand(sway.env() + " swaymsg seat - cursor set 2500 300 >/dev/null"), 0);
    runCommand(sway.env() + " '" + binaryDir() + "/bin/test_wayland_pointer' 40 30 >/dev/null 2>&1 & echo $! >'" +
               dir.file("pointer.pid") + "'");
    int code = exitCode();
    runCommand("kill $(cat '" + dir.file("pointer.pid") + "') 2>/dev/null");
    EXPECT_EQ(code, 0) << stderrText();
}

TEST_F(WaylandSaver, SwayidleStartsTheSaverAfterItsTimeout)
{
    SwaySession sway(kDesktop, 1);
    ASSERT_TRUE(sway.ready());
    if (runCommand("command -v swayidle >/dev/null") != 0) GTEST_SKIP() << "swayidle is not installed";
    writeBytes(dir.file("Brevane/Vellamir.INI"), serializeSettings(record));
    // The idle command is the README's, with a short timeout; it notes the saver's exit code.
    std::string saver = "cd " + dir.path() + " && WINDIR=" + dir.path() + " " + binaryDir() +
                        "/bin/vellamir /s; echo $? >" + dir.file("exit");
    runCommand("cd '" + dir.path() + "' && " + sway.env() + " swayidle -w timeout 1 '" + saver +
               "' >/dev/null 2>&1 & echo $! >'" + dir.file("swayidle.pid") + "'");
    EXPECT_TRUE(waitFor([&] { return sway.magentaFraction("HEADLESS-1") == 0.0; })) << "the saver came up";
    ASSERT_EQ(runCommand(sway.env() + " wtype a"), 0);
    EXPECT_TRUE(waitFor([&] { return !readBytes(dir.file("exit")).empty(); }));
    runCommand("kill $(cat '" + dir.file("swayidle.pid") + "') 2>/dev/null");
    EXPECT_EQ(readBytes(dir.file("exit")), "0\n");
}

TEST_F(WaylandSaver, APasswordRunWithoutTheLockProtocolRefusesAndOpensNothing)
{
    // Debian 12's sway offers no ext-session-lock-v1.
    SwaySession sway(kDesktop, 1);
    ASSERT_TRUE(sway.ready());
    record.passwordEnabled = 1;
    snprintf(record.password, sizeof record.password, "%s", "secret");
    // sway offers the session lock from 1.8 on (Debian 13); there the lock's own proof takes over.
    std::string version;
    runCommand("sway --version", &version);
    int major = 0, minor = 0;
    if (sscanf(version.c_str(), "sway version %d.%d", &major, &minor) == 2 && major * 100 + minor >= 108)
        GTEST_SKIP() << "this sway offers the session lock";
    start(sway);
    EXPECT_EQ(exitCode(), 1);
    EXPECT_NE(stderrText().find("offers other programs no way to lock the session"), std::string::npos) << stderrText();
    EXPECT_GT(sway.magentaFraction("HEADLESS-1"), 0.99) << "no window was opened";

    // Forced onto X11 inside the Wayland session, it refuses too: X grabs would not hold there.
    VirtualScreens x11({"640x480"});
    ASSERT_FALSE(x11.name().empty());
    start(sway, "DISPLAY=" + x11.name() + " VELLAMIR_DISPLAY=x11");
    EXPECT_EQ(exitCode(), 1);
    EXPECT_NE(stderrText().find("X grabs keep the keyboard and the pointer from X programs only"), std::string::npos)
        << stderrText();
}

TEST(WaylandHost, AScaledOutputGetsAFrameOfItsFullPixelSize)
{
    if (!swayInstalled()) GTEST_SKIP() << "sway is not installed";
    // 1280 x 720 pixels shown at scale 2: the surface is 640 x 360 units.
    SwaySession sway("output HEADLESS-1 mode 1280x720 scale 2 bg #FF00FF solid_color\n", 1);
    ASSERT_TRUE(sway.ready());
    ScopedEnv runtime("XDG_RUNTIME_DIR", sway.runtime().c_str());
    ScopedEnv wayland("WAYLAND_DISPLAY", sway.waylandDisplay().c_str());
    ScopedEnv host("VELLAMIR_DISPLAY", "wayland");
    int width = 0, height = 0;
    ASSERT_EQ(displayDesktopSize(&width, &height), 1);
    EXPECT_EQ(width, 1280);
    EXPECT_EQ(height, 720);

    // Columns one pixel wide, white and black by turns, drawn at the screen's
    // size: an upscaled buffer could not show them in the screenshot.
    ASSERT_EQ(displayOpenFullscreen("Vellamir", width, height, 24, 1), 1);
    ASSERT_EQ(displayCreateGLContext(DisplayGLVisual{0, 1, 16, 0, 0, 0}), 1);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_SCISSOR_TEST);
    glClearColor(1, 1, 1, 1);
    for (int x = 0; x < width; x += 2) {
        glScissor(x, 0, 1, height);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    glDisable(GL_SCISSOR_TEST);
    displaySwapGL(1);
    std::string shot = std::string(getenv("TMPDIR") ? getenv("TMPDIR") : "/tmp") + "/vellamir-scale-" +
                       std::to_string(getpid()) + ".png";
    std::string row;
    EXPECT_TRUE(waitFor([&] {
        // The columns of one row as text: "1010..." when every pixel is its own.
        row.clear();
        int w = 0, h = 0;
        return sway.shot("HEADLESS-1", shot, &w, &h) && w == 1280 && h == 720 &&
               runCommand("convert '" + shot + "' -crop 16x1+600+300 -threshold 50% -depth 8 gray:- | od -An -tu1 -w16",
                          &row) == 0 &&
               row.find("255   0 255   0 255   0 255   0 255   0 255   0 255   0 255   0") != std::string::npos;
    })) << row;
    unlink(shot.c_str());
    displayDestroyGLContext();
    displayClose();
}

} // namespace
