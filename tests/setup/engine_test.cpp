// The copy engine on real files: scripts and sources written into a temporary
// start directory, installed into a temporary Windows directory, pass by pass.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "setup/engine.h"
#include "tests/support/test_support.h"

namespace {

// What the engine showed, in order: "message <caption>: <text>", "pair <read> | <write>", "progress <copied>".
std::vector<std::string> shown;

MessageAnswer recordMessage(const char* text, const char* caption, MessageIcon)
{
    shown.push_back(std::string("message ") + caption + ": " + text);
    return MessageAnswer::Ok;
}
void recordPair(const char* source, const char* destination)
{
    shown.push_back(std::string("pair ") + source + " | " + destination);
}
void recordProgress()
{
    shown.push_back("progress " + std::to_string(installer.copiedBytes));
}
const SetupFace recorder{recordMessage, recordPair, recordProgress};

// A start directory holding the script and the sources, and a Windows directory.
class CopyEngine : public ::testing::Test {
protected:
    TempDir temp;
    std::string start = temp.file("medium");
    std::string windows = temp.file("windows");
    char oldDirectory[4096] = {};

    void SetUp() override
    {
        ASSERT_EQ(runCommand("mkdir '" + start + "' '" + windows + "'"), 0);
        ASSERT_NE(getcwd(oldDirectory, sizeof oldDirectory), nullptr);
        ASSERT_EQ(chdir(start.c_str()), 0);
        restart();
    }
    // A fresh engine installing into the Windows directory.
    void restart()
    {
        shown.clear();
        resetSetup();
        snprintf(installer.installDirectory, sizeof installer.installDirectory, "%s", windows.c_str());
    }
    void TearDown() override
    {
        closeCopyStreams();
        EXPECT_EQ(chdir(oldDirectory), 0);
    }

    void writeScript(const std::string& commands, int total = 1000)
    {
        writeBytes(start + "/setup.xdt", "Test saver\r\n" + std::to_string(total) + "\r\n" + commands);
    }

    // Reads the script and runs copy passes until the end; returns 0 when
    // setupFinished, 1 on a fatal message. *passes counts the copy passes.
    int install(int* passes = nullptr)
    {
        if (readSetupScript(recorder) != 0) return 1;
        for (int pass = 0; pass < 100000; ++pass) {
            if (copyPass(recorder) != 0) return 1;
            if (passes) *passes = pass + 1;
            if (installer.setupFinished) return 0;
        }
        ADD_FAILURE() << "the copy never finished";
        return 1;
    }
};

} // namespace

TEST_F(CopyEngine, InstallsDirectoriesAndFilesInScriptOrder)
{
    writeBytes(start + "/vellamir", "saver bytes");
    ASSERT_EQ(chmod((start + "/vellamir").c_str(), 0755), 0);
    ASSERT_EQ(runCommand("mkdir -p '" + start + "/Brevane/graphics'"), 0);
    writeBytes(start + "/Brevane/graphics/Marble.bmp", std::string(30000, 'm'));
    writeScript("%D\\Brevane\n%D\\Brevane\\graphics\n"
                "%Rvellamir\n%W\\Brevane\\vellamir\n"
                "%RBrevane\\graphics\\Marble.bmp\n%W\\Brevane\\graphics\\Marble.bmp\n",
                30011);
    ASSERT_EQ(install(), 0);
    EXPECT_EQ(readBytes(windows + "/Brevane/vellamir"), "saver bytes");
    EXPECT_EQ(readBytes(windows + "/Brevane/graphics/Marble.bmp"), std::string(30000, 'm'));
    EXPECT_EQ(installer.copiedBytes, 30011);
    // The saver stays executable; the data does not become so.
    struct stat info;
    ASSERT_EQ(stat((windows + "/Brevane/vellamir").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0755u);
    ASSERT_EQ(stat((windows + "/Brevane/graphics/Marble.bmp").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0111, 0u);
    std::vector<std::string> expected = {
        "pair vellamir | " + windows + "\\Brevane\\vellamir",
        "progress 11",
        "pair Brevane\\graphics\\Marble.bmp | " + windows + "\\Brevane\\graphics\\Marble.bmp",
        "progress 25011",
        "progress 30011",
    };
    EXPECT_EQ(shown, expected);
}

TEST_F(CopyEngine, CommentLinesInstallTheSame)
{
    writeBytes(start + "/a", "A");
    writeScript("this line is a comment\n%D\\dir\n\n  comment with D and W\n%Ra\nanother\n%W\\dir\\a\n");
    ASSERT_EQ(install(), 0);
    EXPECT_EQ(readBytes(windows + "/dir/a"), "A");
    EXPECT_EQ(shown.size(), 2u);
}

TEST_F(CopyEngine, SixtyThousandBytesTakeThreeCopyPasses)
{
    writeBytes(start + "/big", std::string(60000, 'b'));
    writeScript("%Rbig\n%W\\big\n", 60000);
    int passes = 0;
    ASSERT_EQ(install(&passes), 0);
    EXPECT_EQ(passes, 4) << "one open pass and three copy passes";
    std::vector<std::string> expected = {"pair big | " + windows + "\\big",
                                         "progress 25000", "progress 50000", "progress 60000"};
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(readBytes(windows + "/big"), std::string(60000, 'b'));
}

TEST_F(CopyEngine, EmptyFileTakesOnePassAndMovesOn)
{
    writeBytes(start + "/empty", "");
    writeBytes(start + "/next", "n");
    writeScript("%Rempty\n%W\\empty\n%Rnext\n%W\\next\n");
    int passes = 0;
    ASSERT_EQ(install(&passes), 0);
    EXPECT_EQ(passes, 4);
    EXPECT_EQ(runCommand("test -f '" + windows + "/empty' && test ! -s '" + windows + "/empty'"), 0);
    EXPECT_EQ(readBytes(windows + "/next"), "n");
}

TEST_F(CopyEngine, DiskChangePromptsBeforeItsFileAndNeverAfterTheLast)
{
    writeBytes(start + "/one", "1");
    writeBytes(start + "/two", "2");
    writeScript("%CDisk 1\n%Rone\n%W\\one\n%CDisk 2\n%Rtwo\n%W\\two\n%CNever\n");
    ASSERT_EQ(install(), 0);
    std::vector<std::string> expected = {
        "message Disk Change: Please insert disk number Disk 1\nPress OK to continue installation",
        "pair one | " + windows + "\\one",
        "progress 1",
        "message Disk Change: Please insert disk number Disk 2\nPress OK to continue installation",
        "pair two | " + windows + "\\two",
        "progress 2",
    };
    EXPECT_EQ(shown, expected);
}

TEST_F(CopyEngine, TwoDiskChangesBeforeOneFileAreBothAnnounced)
{
    writeBytes(start + "/one", "1");
    writeBytes(start + "/two", "2");
    writeScript("%CA\n%CB\n%Rone\n%W\\one\n%CC\n%Rtwo\n%W\\two\n");
    ASSERT_EQ(install(), 0);
    std::vector<std::string> prompts;
    for (const std::string& line : shown)
        if (line.rfind("message", 0) == 0) prompts.push_back(line.substr(line.find("number ") + 7, 1));
    EXPECT_EQ(prompts, (std::vector<std::string>{"A", "B", "C"}));
}

TEST_F(CopyEngine, ExistingDirectoriesAreKeptAndFilesOverwritten)
{
    ASSERT_EQ(runCommand("mkdir '" + windows + "/Brevane'"), 0);
    writeBytes(windows + "/Brevane/keep", "untouched");
    writeBytes(windows + "/Brevane/file", "a much longer old content");
    writeBytes(start + "/file", "new");
    writeScript("%D\\Brevane\n%Rfile\n%W\\Brevane\\file\n");
    ASSERT_EQ(install(), 0);
    EXPECT_EQ(readBytes(windows + "/Brevane/file"), "new");
    EXPECT_EQ(readBytes(windows + "/Brevane/keep"), "untouched");
}

TEST_F(CopyEngine, TrailingBackslashInThePathDoublesTheBackslash)
{
    snprintf(installer.installDirectory, sizeof installer.installDirectory, "%s\\", windows.c_str());
    writeBytes(start + "/f", "x");
    writeScript("%D\\Brevane\n%Rf\n%W\\Brevane\\f\n");
    ASSERT_EQ(install(), 0);
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown[0], "pair f | " + windows + "\\\\Brevane\\f");
    EXPECT_EQ(readBytes(windows + "/Brevane/f"), "x");
}

TEST_F(CopyEngine, ScriptWithoutFilesFailsWhenCopyingStarts)
{
    writeScript("%D\\only a directory\n");
    ASSERT_EQ(install(), 1);
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.back(), "message Fatal error: Source file could not be opened!\nAborting setup!");
    EXPECT_EQ(runCommand("test -d '" + windows + "/only a directory'"), 0);
}

TEST_F(CopyEngine, FatalMessagesOfTheScriptAndTheFiles)
{
    // No script at all.
    EXPECT_EQ(install(), 1);
    EXPECT_EQ(shown.back(), "message Fatal error: Could not open setup file!\nSetup not complete!");
    // Nor is a device, a FIFO or a 1 GB file a script: each ends at once.
    for (const char* kind : kHostileKinds) {
        restart();
        ASSERT_TRUE(makeHostileFile(start + "/setup.xdt", kind, "Test saver\r\n1\r\n")) << kind;
        EXPECT_EQ(install(), 1) << kind;
        EXPECT_EQ(shown.back(), "message Fatal error: Could not open setup file!\nSetup not complete!") << kind;
    }

    // A script too big for the tables creates nothing.
    restart();
    writeScript("%D\\first\n%C" + std::string(15, 'x') + "\n");
    EXPECT_EQ(install(), 1);
    EXPECT_EQ(shown.back(), "message Fatal error: Setup file, line 4: disk label longer than 14 characters!\nSetup not complete!");
    EXPECT_EQ(runCommand("test -d '" + windows + "/first'"), 1);

    // A directory whose parent is missing.
    restart();
    writeScript("%D\\missing\\child\n");
    EXPECT_EQ(install(), 1);
    EXPECT_EQ(shown.back(), "message Fatal error: Directory could not be created!\nAborting setup!");

    // A source that is not there; the file before it stays.
    restart();
    writeBytes(start + "/here", "h");
    writeScript("%Rhere\n%W\\here\n%Rgone\n%W\\gone\n");
    EXPECT_EQ(install(), 1);
    EXPECT_EQ(shown.back(), "message Fatal error: Source file could not be opened!\nAborting setup!");
    EXPECT_EQ(readBytes(windows + "/here"), "h");
    EXPECT_FALSE(installer.setupFinished);

    // A destination in a directory that does not exist.
    restart();
    writeScript("%Rhere\n%W\\nowhere\\here\n");
    EXPECT_EQ(install(), 1);
    EXPECT_EQ(shown.back(), "message Fatal error: Destination file could not be created!\nAborting setup!");
}

TEST_F(CopyEngine, FullDiskStopsWithAFatalMessageNamingTheDestination)
{
    // /dev/full takes the open and fails every write: a big file fails in the
    // copy pass, a small one only when its buffered bytes are written at close.
    struct stat device;
    ASSERT_EQ(stat("/dev/full", &device), 0);
    for (int size : {60000, 10}) {
        shown.clear();
        resetSetup(); // no install directory: the destination is the device itself
        writeBytes(start + "/file", std::string(static_cast<size_t>(size), 'f'));
        writeScript("%Rfile\n%W\\dev\\full\n");
        EXPECT_EQ(install(), 1) << size;
        ASSERT_FALSE(shown.empty());
        EXPECT_EQ(shown.back(), "message Fatal error: Destination file could not be written!\n\\dev\\full\nAborting setup!") << size;
        EXPECT_FALSE(installer.setupFinished) << size;
        EXPECT_EQ(installer.source, nullptr);
        EXPECT_EQ(installer.destination, nullptr);
    }
    struct stat after;
    ASSERT_EQ(stat("/dev/full", &after), 0);
    EXPECT_EQ(after.st_mode, device.st_mode) << "a device keeps its own permissions";
}
