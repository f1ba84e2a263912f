// The setup script reader on bytes: commands, comments, the total, and
// scripts that do not fit the tables.
#include <gtest/gtest.h>

#include <memory>

#include "setup/script.h"

namespace {

// The tables are large; one record serves every test.
SetupScript& tables()
{
    static std::unique_ptr<SetupScript> script(new SetupScript());
    return *script;
}

int parse(const std::string& bytes, std::string* failure = nullptr)
{
    return parseSetupScript(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), tables(), failure);
}

// The tables as one text, to compare two parses.
std::string describe(const SetupScript& s)
{
    std::string out = "total " + std::to_string(s.totalBytes) + "\n";
    for (int i = 0; i < s.directoryCount; ++i) out += std::string("D[") + s.directoryNames[i] + "]\n";
    for (int i = 0; i < s.fileCount; ++i)
        out += std::string("F[") + s.sourceNames[i] + "][" + s.destinationNames[i] + "]\n";
    for (int i = 0; i < s.diskChangeCount; ++i)
        out += "C" + std::to_string(s.diskChanges[i].beforeFile) + "[" + s.diskChanges[i].label + "]\n";
    return out;
}

std::string repeated(const std::string& line, int count)
{
    std::string out;
    for (int i = 0; i < count; ++i) out += line;
    return out;
}

} // namespace

TEST(SetupScript, ReadsEveryCommandInOrder)
{
    ASSERT_EQ(parse("Vellamir screen saver\n1234\n%D\\Brevane\n%D\\Brevane\\graphics\n%Cdisk 2\n"
                    "%Rvellamir\n%W\\vellamir\n%Rpass.pag\n%W\\Brevane\\pass.pag\n%CLast\n"), 0);
    EXPECT_EQ(describe(tables()), "total 1234\n"
                                  "D[\\Brevane]\nD[\\Brevane\\graphics]\n"
                                  "F[vellamir][\\vellamir]\nF[pass.pag][\\Brevane\\pass.pag]\n"
                                  "C0[disk 2]\nC2[Last]\n");
}

TEST(SetupScript, CommentLinesChangeNothing)
{
    std::string plain = "name\n100\n%D\\a\n%Rx\n%W\\a\\x\n%Ry\n%W\\a\\y\n";
    ASSERT_EQ(parse(plain), 0);
    std::string expected = describe(tables());
    ASSERT_EQ(parse("name\n100\nfirst the directory\n%D\\a\n\nRDWC letters alone do nothing\n"
                    "%Rx\n  then the files: R W\n%W\\a\\x\n%Ry\n%W\\a\\y\ntrailing comment\n"), 0);
    EXPECT_EQ(describe(tables()), expected);
}

TEST(SetupScript, EntriesAreCompletedByTheirWrite)
{
    // The "%R" of an entry may come lines before its "%W"; a second "%R" replaces the first.
    ASSERT_EQ(parse("n\n0\n%Rfirst\n%D\\d\n%Cdisk\n%W\\one\n%Rold\n%Rnew\n%W\\two\n%Rdangling\n"), 0);
    EXPECT_EQ(describe(tables()), "total 0\nD[\\d]\nF[first][\\one]\nF[new][\\two]\nC0[disk]\n");
    // A "%W" without its own "%R" gets no source (its copy then fails).
    ASSERT_EQ(parse("n\n0\n%Ra\n%W\\a\n%W\\b\n"), 0);
    ASSERT_EQ(tables().fileCount, 2);
    EXPECT_STREQ(tables().sourceNames[1], "");
}

TEST(SetupScript, ArgumentsAreTakenExactly)
{
    ASSERT_EQ(parse("n\n0\n%R my file %D.txt \r\n%W\\dir with blank\\x\r\n%C\r\n"), 0);
    EXPECT_STREQ(tables().sourceNames[0], " my file %D.txt ");
    EXPECT_STREQ(tables().destinationNames[0], "\\dir with blank\\x");
    EXPECT_EQ(tables().diskChangeCount, 1);
    EXPECT_STREQ(tables().diskChanges[0].label, "");
    EXPECT_EQ(tables().directoryCount, 0) << "a percent sign inside an argument is no command";
}

TEST(SetupScript, PercentSignStaysArmedUntilACommandLetter)
{
    // Lower-case letters are no commands; anything between the sign and the
    // letter, line ends included, is passed over.
    ASSERT_EQ(parse("n\n0\n%d\\lower\n%xyz D\\armed\n%\n\nD\\next line\n"), 0);
    ASSERT_EQ(tables().directoryCount, 2);
    EXPECT_STREQ(tables().directoryNames[0], "\\armed") << "the sign before \"d\" is still armed";
    EXPECT_STREQ(tables().directoryNames[1], "\\next line");
}

TEST(SetupScript, TotalIsReadAsADecimalNumber)
{
    const struct { const char* line; int32_t total; } cases[] = {
        {"  42", 42},           {"+17", 17},      {"-5", -5},         {"123abc", 123},
        {"abc", 0},             {"", 0},          {"\t 9\r", 9},      {"99999999999999", INT32_MAX},
        {"-99999999999999", INT32_MIN},
        // Only the first 39 characters of the line are the number.
        {"                                      7", 7}, {"                                       8", 0},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(parse(std::string("name\n") + c.line + "\n%D\\x\n"), 0);
        EXPECT_EQ(tables().totalBytes, c.total) << '"' << c.line << '"';
        EXPECT_EQ(tables().directoryCount, 1) << '"' << c.line << '"';
    }
}

TEST(SetupScript, ShortAndEmptyScripts)
{
    EXPECT_EQ(parse(""), 0);
    EXPECT_EQ(describe(tables()), "total 0\n");
    EXPECT_EQ(parse("only a name"), 0);
    EXPECT_EQ(parse("name\n500"), 0);
    EXPECT_EQ(tables().totalBytes, 500);
    // The name line is not read for commands.
    EXPECT_EQ(parse("%D\\not\n1\n"), 0);
    EXPECT_EQ(tables().directoryCount, 0);
}

TEST(SetupScript, LastLineWithoutLineEndEndsAtTheEndOfTheFile)
{
    ASSERT_EQ(parse("n\n10\n%Rsource\n%W\\destination"), 0);
    ASSERT_EQ(tables().fileCount, 1);
    EXPECT_STREQ(tables().destinationNames[0], "\\destination");
    ASSERT_EQ(parse("n\n10\n%Ddir\r"), 0);
    EXPECT_STREQ(tables().directoryNames[0], "dir\r") << "a lone carriage return is no line end";
    ASSERT_EQ(parse("n\n10\n%"), 0);
    ASSERT_EQ(parse("n\n10\n%C"), 0);
    EXPECT_EQ(tables().diskChangeCount, 1);
}

TEST(SetupScript, NamesAndLabelsAtTheirLimitsFit)
{
    std::string name255(255, 'n'), label14(14, 'l');
    ASSERT_EQ(parse("n\n0\n%D" + name255 + "\n%R" + name255 + "\n%W" + name255 + "\n%C" + label14 + "\n"), 0);
    EXPECT_EQ(std::string(tables().directoryNames[0]), name255);
    EXPECT_EQ(std::string(tables().sourceNames[0]), name255);
    EXPECT_EQ(std::string(tables().destinationNames[0]), name255);
    EXPECT_EQ(std::string(tables().diskChanges[0].label), label14);
}

TEST(SetupScript, OverlongNamesAndLabelsAreRefused)
{
    std::string failure;
    for (const char* command : {"%D", "%R", "%W"}) {
        EXPECT_EQ(parse("n\n0\n%D\\ok\n" + std::string(command) + std::string(256, 'n') + "\n", &failure), 1) << command;
        EXPECT_EQ(failure, "Setup file, line 4: name longer than 255 characters!\nSetup not complete!");
    }
    // A name running to the end of a file without a line end is measured too.
    EXPECT_EQ(parse("n\n0\n%R" + std::string(100000, 'x'), &failure), 1);
    EXPECT_EQ(parse("n\n0\n%C" + std::string(15, 'l') + "\n", &failure), 1);
    EXPECT_EQ(failure, "Setup file, line 3: disk label longer than 14 characters!\nSetup not complete!");
}

TEST(SetupScript, TablesAreNeverOverrun)
{
    std::string failure;
    std::string directories = repeated("%D\\d\n", kMaxScriptEntries);
    ASSERT_EQ(parse("n\n0\n" + directories), 0);
    EXPECT_EQ(tables().directoryCount, kMaxScriptEntries);
    EXPECT_EQ(parse("n\n0\n" + directories + "%D\\one too many\n", &failure), 1);
    EXPECT_EQ(failure, "Setup file, line 10003: more than 10000 directories!\nSetup not complete!");
    EXPECT_EQ(tables().directoryCount, kMaxScriptEntries);

    std::string files = repeated("%Rs\n%W\\d\n", kMaxScriptEntries);
    ASSERT_EQ(parse("n\n0\n" + files), 0);
    EXPECT_EQ(tables().fileCount, kMaxScriptEntries);
    EXPECT_EQ(parse("n\n0\n" + files + "%Rs\n", &failure), 1);
    EXPECT_EQ(failure, "Setup file, line 20003: more than 10000 files!\nSetup not complete!");
    EXPECT_EQ(parse("n\n0\n" + files + "%W\\d\n", &failure), 1);
    EXPECT_EQ(tables().fileCount, kMaxScriptEntries);

    std::string changes = repeated("%Cdisk\n", kMaxDiskChanges);
    ASSERT_EQ(parse("n\n0\n" + changes), 0);
    EXPECT_EQ(tables().diskChangeCount, kMaxDiskChanges);
    EXPECT_EQ(parse("n\n0\n" + changes + "%Cdisk\n", &failure), 1);
    EXPECT_EQ(failure, "Setup file, line 1003: more than 1000 disk changes!\nSetup not complete!");
}
