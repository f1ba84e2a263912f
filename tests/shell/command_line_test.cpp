// The command-line table: which argument texts start the saver and which open the dialog.
#include <gtest/gtest.h>

#include "shell/random.h"
#include "shell/shell.h"

TEST(CommandLine, SaverRows)
{
    for (const char* text : {"/s", "/S", "/saver", "/s 1234", "/S:5", "s", "S", "-s", "-S", "   /s"})
        EXPECT_EQ(classifyCommandLine(text), RunMode::Saver) << text;
}

TEST(CommandLine, ConfigureRowsReturnOne)
{
    for (const char* text : {"/c", "/C", "-c", "-C", "c", "C", "  /c"})
        EXPECT_EQ(classifyCommandLine(text), RunMode::ConfigureDialog) << text;
}

TEST(CommandLine, EverythingElseOpensTheDialog)
{
    for (const char* text : {"", "-s 1", "s1", "/c:1234", "/c 1", "/p 1234", "/a", "c1", "--s", "/", "x", "-", "ss"})
        EXPECT_EQ(classifyCommandLine(text), RunMode::Dialog) << '"' << text << '"';
    EXPECT_EQ(classifyCommandLine(nullptr), RunMode::Dialog);
}

TEST(Random, LinearCongruentialSequence)
{
    seedRandom(0);
    uint32_t state = 0;
    for (int i = 0; i < 1000; ++i) {
        state = state * 1103515245u + 12345u;
        ASSERT_EQ(nextRandom(), static_cast<int>((state >> 16) & 0x7FFF)) << i;
    }
    seedRandom(42);
    int first = nextRandom();
    seedRandom(42);
    EXPECT_EQ(nextRandom(), first);
    EXPECT_EQ(first, 19081) << "42 * 1103515245 + 12345 = 0xCA890E1B (mod 2^32), bits 16..30";
}
