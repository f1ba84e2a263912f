// The command-line table, and the generator every random choice draws from.
#include <gtest/gtest.h>

#include "shell/random.h"
#include "shell/shell.h"

TEST(CommandLine, SaverConfigureAndDialogRows)
{
    for (const char* text : {"/s", "/S", "/saver", "/s 1234", "/S:5", "s", "S", "-s", "-S", "   /s"})
        EXPECT_EQ(classifyCommandLine(text), RunMode::Saver) << text;
    for (const char* text : {"/c", "/C", "-c", "-C", "c", "C", "  /c"})
        EXPECT_EQ(classifyCommandLine(text), RunMode::ConfigureDialog) << text;
    for (const char* text : {"", "-s 1", "s1", "/c:1234", "/c 1", "/p 1234", "/a", "c1", "--s", "/", "x", "-", "ss"})
        EXPECT_EQ(classifyCommandLine(text), RunMode::Dialog) << '"' << text << '"';
    EXPECT_EQ(classifyCommandLine(nullptr), RunMode::Dialog);
}

TEST(Random, LinearCongruentialSequence)
{
    // Worked by hand: 42 * 1103515245 + 12345 = 0xCA890E1B (mod 2^32), bits 16..30 = 19081.
    seedRandom(42);
    EXPECT_EQ(nextRandom(), 19081);
    EXPECT_EQ(nextRandom(), 17033);
    EXPECT_EQ(nextRandom(), 15269);
    seedRandom(0);
    EXPECT_EQ(nextRandom(), 0);
    EXPECT_EQ(nextRandom(), 21468);
}
