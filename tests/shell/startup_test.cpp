// Start-up of the real program: the Windows directory and what start-up leaves on disk.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "settings/settings.h"
#include "tests/support/test_support.h"

namespace {

std::string vellamir()
{
    return binaryDir() + "/bin/vellamir";
}

} // namespace

TEST(Startup, CreatesTheDefaultWindowsDirectoryAndWritesNothing)
{
    TempDir dir;
    std::string output;
    int code = runCommand("env -u WINDIR -u DISPLAY XDG_DATA_DIRS=/nowhere XDG_DATA_HOME='" + dir.path() + "' " +
                              vellamir() + " /s 2>&1",
                          &output);
    // Without a display the saver run itself ends in the library's fatal
    // error, and says what is missing.
    EXPECT_EQ(code, 255) << output;
    EXPECT_NE(output.find("KGL Fatal Error!: Graphics hardware not detected"), std::string::npos) << output;
    EXPECT_NE(output.find("No X11 display: DISPLAY is not set."), std::string::npos) << output;
    struct stat info;
    EXPECT_EQ(stat(dir.file("vellamir").c_str(), &info), 0);
    EXPECT_TRUE(S_ISDIR(info.st_mode));
    std::string listing;
    runCommand("find '" + dir.path() + "' -type f", &listing);
    EXPECT_EQ(listing, "") << "loading the settings never creates the file";
}

TEST(Startup, TooLongWindowsDirectoryIsAFatalError)
{
    std::string output;
    int code = runCommand("env -u DISPLAY WINDIR=/" + std::string(300, 'w') + " " + vellamir() + " /s 2>&1", &output);
    EXPECT_EQ(code, 255);
    EXPECT_NE(output.find("Error: Fatal Error: The Windows directory"), std::string::npos) << output;
    EXPECT_NE(output.find("longer than 255 bytes"), std::string::npos) << output;

    // Started by a screen-saver daemon, with a display but nobody to answer a
    // box: the error goes to standard error and the run ends at once.
    output.clear();
    code = runCommand("XSCREENSAVER_WINDOW=0x1234 WINDIR=/" + std::string(300, 'w') + " timeout 60 " + vellamir() +
                          " /s 2>&1",
                      &output);
    EXPECT_EQ(code, 255) << output;
    EXPECT_NE(output.find("Error: Fatal Error: The Windows directory"), std::string::npos) << output;
}

TEST(Startup, MissingPromptPicturesStopBeforeAnyModeSwitch)
{
    // Without a display, a mode switch would end in the library's fatal error
    // (255); the check comes first and ends with 0. "pass2x.pag" is checked
    // also on 640 x 480, which would only use "pass.pag".
    const struct { int mode; bool smallThere; const char* text; } cases[] = {
        {49, false, "Error: Fatal Error: Unable to find file pass.pag.\n"},
        {49, true, "Error: Fatal Error: Unable to find file pass2x.pag.\n"},
        {50, true, "Error: Fatal Error: Unable to find file pass2x.pag.\n"},
    };
    for (const auto& c : cases) {
        TempDir dir;
        mkdir(dir.file("Brevane").c_str(), 0700);
        Settings record;
        record.videoMode = c.mode;
        record.passwordEnabled = 1;
        snprintf(record.password, sizeof record.password, "secret");
        writeBytes(dir.file("Brevane/Vellamir.INI"), serializeSettings(record));
        if (c.smallThere) writeBytes(dir.file("Brevane/pass.pag"), readBytes(binaryDir() + "/data/Brevane/pass.pag"));
        std::string output;
        int code = runCommand("env -u DISPLAY XDG_DATA_DIRS=/nowhere WINDIR='" + dir.path() + "' " + vellamir() +
                                  " /s 2>&1",
                              &output);
        EXPECT_EQ(code, 0) << c.mode << ": " << output;
        EXPECT_EQ(output.rfind(c.text, 0), 0u) << c.mode << ": " << output;
        EXPECT_NE(output.find("looked for in the Windows directory " + dir.path() + ".\n"), std::string::npos) << output;
    }

    // A stored password no key can type (saved by an older version) is reported first.
    {
        TempDir dir;
        mkdir(dir.file("Brevane").c_str(), 0700);
        Settings record;
        record.passwordEnabled = 1;
        snprintf(record.password, sizeof record.password, "caf\xE9");
        writeBytes(dir.file("Brevane/Vellamir.INI"), serializeSettings(record));
        std::string output;
        runCommand("env -u DISPLAY XDG_DATA_DIRS=/nowhere WINDIR='" + dir.path() + "' " + vellamir() + " /s 2>&1", &output);
        EXPECT_EQ(output.rfind("Vellamir: the stored password holds characters the password prompt cannot type", 0), 0u)
            << output;
    }

    // A device, a FIFO or a 1 GB file in its place is no picture either: the
    // same message at once, in little memory.
    for (const char* kind : kHostileKinds) {
        TempDir dir;
        mkdir(dir.file("Brevane").c_str(), 0700);
        Settings record;
        record.passwordEnabled = 1;
        snprintf(record.password, sizeof record.password, "secret");
        writeBytes(dir.file("Brevane/Vellamir.INI"), serializeSettings(record));
        ASSERT_TRUE(makeHostileFile(dir.file("Brevane/pass.pag"), kind, "BM"));
        std::string output;
        int code = runCommand("ulimit -v 1000000; env -u DISPLAY XDG_DATA_DIRS=/nowhere WINDIR='" + dir.path() + "' timeout 60 " +
                                  vellamir() + " /s 2>&1",
                              &output);
        EXPECT_EQ(code, 0) << kind << ": " << output;
        EXPECT_EQ(output.rfind("Error: Fatal Error: Unable to find file pass.pag.\n", 0), 0u) << kind << ": " << output;
    }
}

TEST(Startup, OnAVirtualXServerFatalErrorsGoToStandardErrorAndEndTheRun)
{
    // Nobody answers a box on the test's Xvfb: each start ends at once with
    // the box's exit code (timeout would give 124) and its text on standard error.
    TempDir empty, data;
    ASSERT_TRUE(installSaverData(data.path()));
    Settings record;
    record.videoMode = 86;  // no mode of the table
    writeBytes(data.file("Brevane/Vellamir.INI"), serializeSettings(record));
    const struct { std::string windir, expected; } cases[] = {
        {empty.path(), "KGL Fatal Error!: Fatal Error: Could not load Bitmap named Brevane\\graphics\\"},
        {empty.path(), "looked for in the Windows directory " + empty.path() + "."},
        {data.path(), "KGL Fatal Error!: Invalid mode for selected driver\n"},
    };
    for (const auto& c : cases) {
        std::string output;
        int code = runCommand("XDG_DATA_DIRS=/nowhere WINDIR='" + c.windir + "' timeout 60 " + vellamir() + " /s 2>&1",
                              &output);
        EXPECT_EQ(code, 255) << output;
        EXPECT_NE(output.find(c.expected), std::string::npos) << output;
    }

    // The screenshot script, on the same display, fails within its limit and
    // prints why (its minute before the screenshot ends with the saver).
    std::string output;
    int code = runCommand("VELLAMIR_USE_DISPLAY=1 XDG_DATA_DIRS=/nowhere WINDIR='" + empty.path() + "' timeout 180 '" +
                              sourceDir() + "/scripts/screenshot' '" + empty.file("shot.png") + "' 60 2>&1",
                          &output);
    EXPECT_EQ(code, 1) << output;
    EXPECT_NE(output.find("the saver ended before the screenshot (exit code 255)"), std::string::npos) << output;
    EXPECT_NE(output.find("Could not load Bitmap named"), std::string::npos) << output;
}

TEST(Startup, FirstStartCopiesTheInstalledDataOnceAndRuns)
{
    // A system-wide install's data folder, with a settings file that must stay there.
    TempDir system, home;
    ASSERT_EQ(mkdir(system.file("vellamir").c_str(), 0755), 0);
    ASSERT_TRUE(installSaverData(system.file("vellamir")));
    writeBytes(system.file("vellamir/Brevane/Vellamir.INI"), "not for users");
    ASSERT_EQ(mkdir(home.file("brevane").c_str(), 0700), 0);
    writeBytes(home.file("brevane/pass.pag"), "mine");   // never overwritten
    const std::string start = "XDG_DATA_DIRS='relative:/nowhere:" + system.path() + "' WINDIR='" + home.path() + "' ";
    std::string output;
    int code = runCommand(start + vellamir() + " /s 2>&1 & pid=$!\n"
                          "timeout 60 xdotool search --sync --onlyvisible --name '^Vellamir$' >/dev/null 2>&1 && echo window\n"
                          "xdotool click 1; wait $pid",
                          &output);
    EXPECT_EQ(code, 0) << output;
    EXPECT_NE(output.find("window"), std::string::npos) << output;
    EXPECT_NE(output.find("copied the saver's data from " + system.path() + "/vellamir/Brevane into " + home.path()),
              std::string::npos)
        << output;
    EXPECT_TRUE(readBytes(home.file("brevane/graphics/marble1.bmp")) ==
                readBytes(binaryDir() + "/data/Brevane/graphics/marble1.bmp"));
    EXPECT_EQ(readBytes(home.file("brevane/pass.pag")), "mine");
    EXPECT_TRUE(readBytes(home.file("brevane/pass2x.pag")) == readBytes(binaryDir() + "/data/Brevane/pass2x.pag"));
    struct stat info;
    EXPECT_NE(stat(home.file("brevane/Vellamir.INI").c_str(), &info), 0) << "the settings file is never copied";

    // Told once: the next start finds the data in place.
    output.clear();
    runCommand("env -u DISPLAY " + start + vellamir() + " /s 2>&1", &output);
    EXPECT_EQ(output.find("copied"), std::string::npos) << output;

    // Data of an older version lacks the detailed textures: they come, and nothing else changes.
    ASSERT_EQ(unlink(home.file("brevane/graphics/marble1.jpg").c_str()), 0);
    output.clear();
    runCommand("env -u DISPLAY " + start + vellamir() + " /s 2>&1", &output);
    EXPECT_NE(output.find("copied 1 new data file of this version"), std::string::npos) << output;
    EXPECT_TRUE(readBytes(home.file("brevane/graphics/marble1.jpg")) ==
                readBytes(binaryDir() + "/data/Brevane/graphics/marble1.jpg"));
    EXPECT_EQ(readBytes(home.file("brevane/pass.pag")), "mine");
}

TEST(Startup, HelpAndVersionPrintAndEndWithoutADialog)
{
    for (const char* option : {"--help", "--version"}) {
        TempDir dir;
        std::string output;
        int code = runCommand("WINDIR='" + dir.path() + "' timeout 60 " + vellamir() + " " + option + " 2>" +
                                  dir.file("stderr"),
                              &output);
        EXPECT_EQ(code, 0) << option;
        EXPECT_EQ(readBytes(dir.file("stderr")), "") << option;
        if (std::string(option) == "--version") {
            // The version of the newest entry of debian/changelog, "vellamir (1.0) unstable; ...".
            std::string changelog = readBytes(sourceDir() + "/debian/changelog");
            size_t open = changelog.find('('), close = changelog.find(')');
            ASSERT_TRUE(changelog.compare(0, 10, "vellamir (") == 0 && close != std::string::npos) << changelog;
            EXPECT_EQ(output, "vellamir " + changelog.substr(open + 1, close - open - 1) + "\n");
        } else {
            for (const char* part : {"vellamir /s", "vellamir /c", "Windows directory", "Brevane/Vellamir.INI",
                                     "GL: vellamir /s"})
                EXPECT_NE(output.find(part), std::string::npos) << part << " in " << output;
        }
    }

}
