// The saver as an XScreenSaver hack and as an installed program: "vellamir /s"
// drawing into a window of another program (XSCREENSAVER_WINDOW), the hack's
// XML description, and a run from a "cmake --install" prefix.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "platform/saver_host.h"
#include "settings/settings.h"
#include "tests/support/test_support.h"

namespace {

// What the helper's "look" reports of the window's pixels.
struct Look {
    int width = 0, height = 0;
    long background = -1, black = -1, other = -1;
    int firstDrawn = -1, lastDrawn = -1;   // columns holding the saver's non-black pixels
    std::string text;
};

// The test's stand-in for the daemon's window (tests/support/host_window.cpp),
// driven through its standard input and output.
class HostWindow {
public:
    HostWindow()
    {
        int in[2], out[2];
        if (pipe(in) != 0 || pipe(out) != 0) return;
        pid_ = fork();
        if (pid_ == 0) {
            dup2(in[0], 0);
            dup2(out[1], 1);
            close(in[1]);
            close(out[0]);
            std::string helper = binaryDir() + "/bin/test_host_window";
            execl(helper.c_str(), helper.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        close(in[0]);
        close(out[1]);
        to_ = fdopen(in[1], "w");
        from_ = fdopen(out[0], "r");
        id_ = line();
    }
    ~HostWindow()
    {
        if (to_) fclose(to_);
        if (from_) fclose(from_);
        if (pid_ > 0) waitpid(pid_, nullptr, 0);
    }
    const std::string& id() const { return id_; }
    std::string ask(const std::string& command)
    {
        fprintf(to_, "%s\n", command.c_str());
        fflush(to_);
        return line();
    }
    Look look()
    {
        Look l;
        l.text = ask("look");
        sscanf(l.text.c_str(), "size %dx%d background=%ld black=%ld other=%ld drawn=%d..%d", &l.width, &l.height,
               &l.background, &l.black, &l.other, &l.firstDrawn, &l.lastDrawn);
        return l;
    }
    // Looks until the window is width x height and the saver has covered it
    // all, the museum showing; gives up after a minute. The last look.
    Look lookUntilDrawn(int width, int height)
    {
        Look l;
        for (int i = 0; i < 1200; ++i) {
            l = look();
            if (l.width == width && l.height == height && l.background == 0 && l.other > 0) break;
            usleep(50000);
        }
        return l;
    }

private:
    std::string line()
    {
        char text[256] = "";
        if (!from_ || !fgets(text, sizeof text, from_)) return "";
        std::string result = text;
        if (!result.empty() && result.back() == '\n') result.pop_back();
        return result;
    }

    pid_t pid_ = -1;
    FILE* to_ = nullptr;
    FILE* from_ = nullptr;
    std::string id_;
};

// "program /s" started with the given variables set (an empty value removes
// one), its standard error in a file.
pid_t startSaver(const std::string& program, const std::vector<std::pair<std::string, std::string>>& variables,
                 const std::string& errorFile)
{
    pid_t pid = fork();
    if (pid == 0) {
        for (const auto& [name, value] : variables) {
            if (value.empty())
                unsetenv(name.c_str());
            else
                setenv(name.c_str(), value.c_str(), 1);
        }
        if (!freopen(errorFile.c_str(), "w", stderr)) _exit(126);
        execl(program.c_str(), program.c_str(), "/s", static_cast<char*>(nullptr));
        _exit(127);
    }
    return pid;
}

// The exit code once the process ends within a minute (128 + the signal's
// number when a signal ended it, as a shell reports it); -1 when it had to be killed.
int exitCode(pid_t pid)
{
    int status = 0;
    for (int i = 0; i < 1200; ++i) {
        if (waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        usleep(50000);
    }
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
    return -1;
}

bool fullScreenWindowUp()
{
    return runCommand("xdotool search --onlyvisible --name '^Vellamir$' >/dev/null 2>&1") == 0;
}

std::string vellamir()
{
    return binaryDir() + "/bin/vellamir";
}

// A Windows directory with a settings file.
class HostedRun : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(installSaverData(dir.path()));
        record.videoMode = 49;   // 640 x 480: larger than the window, and of another shape
        record.displaySizeId = kDisplayFullScreen;   // the museum fills the mode's frame
        record.pictures[0] = dir.file("Brevane/graphics/Default1.bmp");
    }
    pid_t start(const std::string& windowVariable)
    {
        writeBytes(dir.file("Brevane/Vellamir.INI"), serializeSettings(record));
        return startSaver(vellamir(), {{"WINDIR", dir.path()}, {"XSCREENSAVER_WINDOW", windowVariable}},
                          dir.file("stderr"));
    }

    TempDir dir;
    Settings record;
    HostWindow window;
};

TEST_F(HostedRun, DrawsIntoTheWindowFollowsItsSizeAndEndsCleanlyOnSIGTERM)
{
    // The daemon locks the screen itself: a password, even without its
    // prompt pictures, neither stops the run nor raises a box.
    record.passwordEnabled = 1;
    ASSERT_EQ(window.id().rfind("0x", 0), 0u) << window.id();
    pid_t saver = start(window.id());

    // The museum replaces the window's own colour, drawn at the window's own
    // size whatever mode is stored: edge to edge, no bars.
    Look small = window.lookUntilDrawn(320, 200);
    EXPECT_EQ(small.background, 0) << small.text;
    EXPECT_GT(small.other, 20000) << small.text;
    EXPECT_TRUE(small.firstDrawn >= 0 && small.firstDrawn <= 3) << small.text;
    EXPECT_TRUE(small.lastDrawn >= 316 && small.lastDrawn <= 319) << small.text;
    EXPECT_FALSE(fullScreenWindowUp()) << "no window of its own";

    // Resized, the frame of the start's size is scaled into it with its aspect kept.
    ASSERT_EQ(window.ask("resize 480 360"), "ok");
    Look grown = window.lookUntilDrawn(480, 360);
    EXPECT_EQ(grown.background, 0) << grown.text;
    EXPECT_TRUE(grown.firstDrawn >= 0 && grown.firstDrawn <= 3) << grown.text;
    EXPECT_TRUE(grown.lastDrawn >= 476 && grown.lastDrawn <= 479) << grown.text;

    // XScreenSaver takes its window away right after the signal: still a
    // clean end, by that signal, as the daemon expects of its hacks.
    kill(saver, SIGTERM);
    window.ask("destroy");
    EXPECT_EQ(exitCode(saver), 128 + SIGTERM) << readBytes(dir.file("stderr"));
    // It says so, once.
    std::string said = readBytes(dir.file("stderr"));
    const std::string line = "the screen-saver daemon's lock is in charge";
    EXPECT_NE(said.find(line), std::string::npos) << said;
    EXPECT_EQ(said.find(line), said.rfind(line)) << said;
}

TEST_F(HostedRun, TheWindowsEndEndsTheRunWith255)
{
    pid_t saver = start(std::to_string(std::stoul(window.id(), nullptr, 16)));   // decimal this time
    EXPECT_GT(window.lookUntilDrawn(320, 200).other, 0);
    ASSERT_EQ(window.ask("destroy"), "ok");
    EXPECT_EQ(exitCode(saver), 255);
    EXPECT_NE(readBytes(dir.file("stderr")).find("has gone"), std::string::npos) << readBytes(dir.file("stderr"));
}

TEST_F(HostedRun, AValueThatIsNoWindowIdGivesTheFullScreenRun)
{
    pid_t saver = start(window.id() + "g");
    int found = runCommand("timeout 60 xdotool search --sync --onlyvisible --name '^Vellamir$' >/dev/null 2>&1");
    EXPECT_EQ(found, 0) << "the full-screen window";
    kill(saver, SIGTERM);
    EXPECT_EQ(exitCode(saver), 0) << "SIGTERM ends a full-screen run cleanly too";
    EXPECT_NE(readBytes(dir.file("stderr")).find("is not a window id"), std::string::npos)
        << readBytes(dir.file("stderr"));
    EXPECT_EQ(window.look().background, 64000) << "the window is left alone";
}

TEST(WindowId, HexOrDecimalAndNothingElse)
{
    uint64_t id = 0;
    EXPECT_EQ(parseWindowId("0x2a00007", &id), 1);
    EXPECT_EQ(id, 0x2a00007u);
    EXPECT_EQ(parseWindowId("0X1F", &id), 1);
    EXPECT_EQ(id, 31u);
    EXPECT_EQ(parseWindowId("44040199", &id), 1);
    EXPECT_EQ(id, 44040199u);
    for (const char* bad : {"", "0x", "0", "0x0", " 12", "12 ", "12a", "0x1g", "-5", "0x100000000", "99999999999999999999"})
        EXPECT_EQ(parseWindowId(bad, &id), 0) << '"' << bad << '"';
    EXPECT_EQ(parseWindowId(nullptr, &id), 0);
}

TEST(XScreenSaverDescription, IsValidWithTheFieldsXScreenSaverReads)
{
    // The part of XScreenSaver's hack format the description uses.
    TempDir dir;
    writeBytes(dir.file("hack.dtd"), "<!ELEMENT screensaver (command*, _description)>\n"
                                     "<!ATTLIST screensaver name CDATA #REQUIRED _label CDATA #REQUIRED>\n"
                                     "<!ELEMENT command EMPTY>\n"
                                     "<!ATTLIST command arg CDATA #REQUIRED>\n"
                                     "<!ELEMENT _description (#PCDATA)>\n");
    std::string xml = sourceDir() + "/desktop/vellamir.xml", output;
    EXPECT_EQ(runCommand("xmllint --noout --dtdvalid '" + dir.file("hack.dtd") + "' '" + xml + "' 2>&1", &output), 0)
        << output;
    output.clear();
    runCommand("xmllint --xpath 'concat(/screensaver/@name, \"|\", /screensaver/@_label, \"|\", "
               "/screensaver/command/@arg, \"|\", string-length(/screensaver/_description) > 100, \"|\", "
               "contains(substring-before(/screensaver/_description, \"\n\n\"), \"vellamir /c\"))' '" + xml + "'",
               &output);
    // xscreensaver-settings shows the first paragraph: it says how to change the settings.
    EXPECT_EQ(output, "vellamir|Vellamir|/s|true|true\n");
}

TEST(Install, AUserPrefixGivesAWorkingSaver)
{
    TempDir prefix;
    std::string output;
    ASSERT_EQ(runCommand("cmake --install '" + binaryDir() + "' --prefix '" + prefix.path() + "' 2>&1", &output), 0)
        << output;
    output.clear();
    runCommand("cd '" + prefix.path() + "' && identify -format '%m %wx%h\\n' share/icons/hicolor/48x48/apps/vellamir.png"
               " share/icons/hicolor/128x128/apps/vellamir.png && grep -x 'Exec=vellamir /c' "
               "share/applications/vellamir.desktop && grep -x 'StartupWMClass=vellamir' share/applications/vellamir.desktop"
               " && test -f share/xscreensaver/config/vellamir.xml && echo xml"
               " && test -f share/metainfo/org.brevane.vellamir.metainfo.xml && echo metainfo"
               " && MANPATH=\"$PWD/share/man\" man -w vellamir | sed 's|.*/share/man/|man: |'",
               &output);
    EXPECT_EQ(output, "PNG 48x48\nPNG 128x128\nExec=vellamir /c\nStartupWMClass=vellamir\nxml\nmetainfo\n"
                      "man: man6/vellamir.6\n");

    // With the prefix's share folder as the data home, share/vellamir is the
    // default Windows directory, as ~/.local/share/vellamir is for --prefix ~/.local.
    HostWindow window;
    pid_t saver = startSaver(prefix.file("bin/vellamir"),
                             {{"HOME", prefix.path()}, {"XDG_DATA_HOME", prefix.file("share")}, {"WINDIR", ""},
                              {"XSCREENSAVER_WINDOW", window.id()}},
                             prefix.file("stderr"));
    EXPECT_GT(window.lookUntilDrawn(320, 200).other, 0) << "the museum from the installed data";
    kill(saver, SIGTERM);
    EXPECT_EQ(exitCode(saver), 128 + SIGTERM) << readBytes(prefix.file("stderr"));
}

} // namespace
