// The files layer: the Windows directory and the translation of stored names.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/files.h"
#include "tests/support/test_support.h"

TEST(WindowsDirectory, ComesFromWindirThenXdgThenHome)
{
    TempDir dir;
    char out[256];
    {
        ScopedEnv windir("WINDIR", dir.path().c_str());
        ASSERT_EQ(queryWindowsDirectory(out, sizeof out), 0);
        EXPECT_EQ(std::string(out), dir.path());
    }
    {
        // A relative value counts from the current directory, once.
        char old[4096];
        ASSERT_TRUE(getcwd(old, sizeof old));
        ASSERT_EQ(chdir(dir.path().c_str()), 0);
        ScopedEnv windir("WINDIR", "./gallery/");
        int result = queryWindowsDirectory(out, sizeof out);
        ASSERT_EQ(chdir(old), 0);
        ASSERT_EQ(result, 0);
        EXPECT_EQ(std::string(out), dir.file("gallery"));
    }
    {
        ScopedEnv windir("WINDIR", nullptr);
        ScopedEnv xdg("XDG_DATA_HOME", dir.file("data").c_str());
        ASSERT_EQ(queryWindowsDirectory(out, sizeof out), 0);
        EXPECT_EQ(std::string(out), dir.file("data/vellamir"));
        EXPECT_TRUE(isDirectory(out)) << "the default directory is created with its parents";
    }
    {
        ScopedEnv windir("WINDIR", nullptr);
        ScopedEnv xdg("XDG_DATA_HOME", nullptr);
        ScopedEnv home("HOME", dir.file("home").c_str());
        ASSERT_EQ(queryWindowsDirectory(out, sizeof out), 0);
        EXPECT_EQ(std::string(out), dir.file("home/.local/share/vellamir"));
        EXPECT_TRUE(isDirectory(out));
    }
}

TEST(WindowsDirectory, LongerThan255BytesIsAnError)
{
    char out[256] = "stale";
    std::string reason;
    std::string exact = "/" + std::string(254, 'w');
    {
        ScopedEnv windir("WINDIR", exact.c_str());
        EXPECT_EQ(queryWindowsDirectory(out, sizeof out, &reason), 0);
        EXPECT_EQ(std::string(out), exact);
    }
    std::string tooLong = exact + "w";
    ScopedEnv windir("WINDIR", tooLong.c_str());
    EXPECT_EQ(queryWindowsDirectory(out, sizeof out, &reason), 1);
    EXPECT_STREQ(out, "");
    EXPECT_NE(reason.find("longer than 255 bytes"), std::string::npos);
}

TEST(PathTranslation, BackslashesAndCaseInsensitiveComponents)
{
    TempDir dir;
    ASSERT_EQ(mkdir(dir.file("Brevane").c_str(), 0755), 0);
    ASSERT_EQ(mkdir(dir.file("Brevane/graphics").c_str(), 0755), 0);
    writeBytes(dir.file("Brevane/graphics/Default1.bmp"), "BM");

    EXPECT_EQ(translatePath((dir.path() + "\\brevane\\GRAPHICS\\default1.BMP").c_str()),
              dir.file("Brevane/graphics/Default1.bmp"));
    // A missing last component keeps its given name (a file about to be created).
    EXPECT_EQ(translatePath((dir.path() + "\\BREVANE\\Vellamir.INI").c_str()), dir.file("Brevane/Vellamir.INI"));
    // Below a missing directory nothing is searched.
    EXPECT_EQ(translatePath((dir.path() + "\\nothing\\brevane").c_str()), dir.file("nothing/brevane"));
    // Relative names are looked up from the current directory.
    char old[4096];
    ASSERT_TRUE(getcwd(old, sizeof old));
    ASSERT_EQ(setCurrentDirectory(dir.path().c_str()), 0);
    EXPECT_EQ(translatePath("brevane\\graphics\\DEFAULT1.bmp"), "Brevane/graphics/Default1.bmp");
    FILE* file = openFile("BREVANE\\Graphics\\default1.bmp", "rb");
    EXPECT_NE(file, nullptr);
    if (file) fclose(file);
    EXPECT_EQ(fileExists("brevane\\graphics\\default1.bmp"), 1);
    EXPECT_EQ(isDirectory("BREVANE"), 1);
    EXPECT_EQ(makeDirectory("brevane\\New"), 0);
    EXPECT_EQ(isDirectory(dir.file("Brevane/New").c_str()), 1) << "a new directory keeps the given name";
    ASSERT_EQ(chdir(old), 0);
}

TEST(SafeWrite, ReplacesWholeFileOrNothing)
{
    TempDir dir;
    std::string path = dir.file("data.bin");
    writeBytes(path, "old");
    ASSERT_EQ(writeFileSafely(path.c_str(), "new bytes", 9, false), 0);
    EXPECT_EQ(readBytes(path), "new bytes");
    struct stat info;
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0644u);
    EXPECT_EQ(writeFileSafely(dir.file("no/such/dir.bin").c_str(), "x", 1, true), 1);
}
