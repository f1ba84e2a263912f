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
    int code = runCommand("env -u WINDIR -u DISPLAY XDG_DATA_HOME='" + dir.path() + "' " + vellamir() + " /s 2>&1", &output);
    // Without a display the saver run itself ends in the library's fatal error.
    EXPECT_EQ(code, 255) << output;
    EXPECT_NE(output.find("KGL Fatal Error!: Graphics hardware not detected"), std::string::npos) << output;
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
    code = runCommand("XSCREENSAVER_WINDOW=0x1234 WINDIR=/" + std::string(300, 'w') + " timeout 5 " + vellamir() +
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
        int code = runCommand("env -u DISPLAY WINDIR='" + dir.path() + "' " + vellamir() + " /s 2>&1", &output);
        EXPECT_EQ(code, 0) << c.mode << ": " << output;
        EXPECT_EQ(output, c.text) << c.mode;
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
        runCommand("env -u DISPLAY WINDIR='" + dir.path() + "' " + vellamir() + " /s 2>&1", &output);
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
        int code = runCommand("ulimit -v 1000000; env -u DISPLAY WINDIR='" + dir.path() + "' timeout 10 " +
                                  vellamir() + " /s 2>&1",
                              &output);
        EXPECT_EQ(code, 0) << kind << ": " << output;
        EXPECT_EQ(output, "Error: Fatal Error: Unable to find file pass.pag.\n") << kind;
    }
}
