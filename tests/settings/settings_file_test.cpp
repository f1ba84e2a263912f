// The settings file: its byte layout, round trips, damaged files and safe saving.
#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "settings/settings.h"
#include "tests/support/test_support.h"

namespace {

std::string bytesOf(std::initializer_list<int> values)
{
    std::string out;
    for (int v : values) out += static_cast<char>(v);
    return out;
}

Settings parsed(const std::string& bytes, const Settings& start = Settings{})
{
    Settings record = start;
    parseSettings(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), record);
    return record;
}

Settings withDefaultPicture()
{
    Settings record;
    record.pictures[0] = "C:\\WINDOWS\\brevane\\graphics\\Default1.bmp";
    return record;
}

// Every value the rest of the program indexes or switches on lies in its group.
void expectSane(const Settings& r)
{
    EXPECT_TRUE(r.passwordEnabled == 0 || r.passwordEnabled == 1);
    EXPECT_LT(strnlen(r.password, sizeof r.password), sizeof r.password);
    EXPECT_GE(r.pictureCount, 0);
    EXPECT_LE(r.pictureCount, kMaxPictures);
    EXPECT_GE(r.colourDepthId, 110);
    EXPECT_LE(r.colourDepthId, 114);
    EXPECT_GE(r.speedId, 300);
    EXPECT_LE(r.speedId, 304);
    EXPECT_GE(r.museumType, 0);
    EXPECT_LT(r.museumType, kMuseumTypeCount);
    EXPECT_GE(r.fogDensity, 0);
    EXPECT_LE(r.fogDensity, 100);
    for (int16_t c : {r.fogRed, r.fogGreen, r.fogBlue}) {
        EXPECT_GE(c, 0);
        EXPECT_LE(c, 255);
    }
    EXPECT_GE(r.displaySizeId, 700);
    EXPECT_LE(r.displaySizeId, 709);
    EXPECT_EQ(r.displayScale, displayScaleFor(r.displaySizeId));
    EXPECT_GE(r.walkingSpeedId, 900);
    EXPECT_LE(r.walkingSpeedId, 903);
}

} // namespace

TEST(SettingsFile, DefaultRecordLayout)
{
    Settings record = withDefaultPicture();
    const std::string& path = record.pictures[0];
    std::string bytes = serializeSettings(record);
    ASSERT_EQ(bytes.size(), 47 + path.size());
    // 16 bytes before the pictures: password switch, mode 49, depth 110, speed 300, one picture.
    EXPECT_EQ(bytes.substr(0, 16), bytesOf({0, 0, 49, 0, 0, 0, 110, 0, 0, 0, 0x2C, 1, 1, 0, 0, 0}));
    EXPECT_EQ(bytes.substr(16, path.size() + 1), path + '\0');
    // 30 bytes after: the eleven shorts, the scale 0.5f, 60 seconds, walking speed 901.
    EXPECT_EQ(bytes.substr(17 + path.size()),
              bytesOf({0, 0, 0, 0, 1, 0, 1, 0, 1, 0, 0, 0, 45, 0, 0, 0, 0, 0, 255, 0, 0xC1, 2,
                       0, 0, 0, 0x3F, 60, 0, 0x85, 3}));
}

TEST(SettingsFile, PasswordBytesOnlyWhileEnabled)
{
    Settings record = withDefaultPicture();
    strcpy(record.password, "abc");
    record.passwordEnabled = 1;
    std::string on = serializeSettings(record);
    EXPECT_EQ(on.substr(0, 7), bytesOf({1, 0, 3, 0, 'a', 'b', 'c'}));
    EXPECT_EQ(on.size(), 47 + 2 + 3 + record.pictures[0].size());
    EXPECT_STREQ(parsed(on).password, "abc");

    record.passwordEnabled = 0;
    std::string off = serializeSettings(record);
    EXPECT_EQ(off.size(), 47 + record.pictures[0].size());
    EXPECT_EQ(off.substr(0, 6), bytesOf({0, 0, 49, 0, 0, 0}));
    EXPECT_STREQ(parsed(off).password, "") << "a switched-off password is gone at the next start";
}

TEST(SettingsFile, RoundTripsEveryField)
{
    Settings record;
    record.passwordEnabled = 1;
    strcpy(record.password, "Secret word");
    record.videoMode = 71;
    record.colourDepthId = 114;
    record.speedId = 303;
    record.pictureCount = 3;
    record.pictures[0] = "/home/ann/My Pictures/sunset at sea.bmp";
    record.pictures[1] = "/home/ann/\xC3\xA9t\xC3\xA9 \xFF\x01.bmp";
    record.pictures[2] = " ";
    record.museumType = 21;
    record.furniture = 1;
    record.cubePonds = 0;
    record.sculptures = 0;
    record.showcases = 1;
    record.fogEnabled = 1;
    record.fogDensity = 100;
    record.fogRed = 12;
    record.fogGreen = 34;
    record.fogBlue = 56;
    record.displaySizeId = 703;
    record.displayScale = displayScaleFor(703);
    record.moveSeconds = -5;
    record.walkingSpeedId = 903;

    Settings back = parsed(serializeSettings(record), Settings{});
    EXPECT_EQ(serializeSettings(back), serializeSettings(record));
    EXPECT_EQ(back.pictures[1], record.pictures[1]);
    EXPECT_EQ(back.pictures[2], " ");
    uint32_t want, got;
    memcpy(&want, &record.displayScale, 4);
    memcpy(&got, &back.displayScale, 4);
    EXPECT_EQ(got, want) << "the scale comes back bit for bit";
    EXPECT_EQ(back.moveSeconds, -5) << "the seconds are kept as typed";
}

TEST(SettingsFile, ZeroPicturesWritesNoPaths)
{
    Settings record = withDefaultPicture();
    record.pictureCount = 0;
    std::string bytes = serializeSettings(record);
    EXPECT_EQ(bytes.size(), 46u);
    EXPECT_EQ(bytes.substr(12, 4), bytesOf({0, 0, 0, 0}));
    Settings back = parsed(bytes, withDefaultPicture());
    EXPECT_EQ(back.pictureCount, 0);
    EXPECT_EQ(back.pictures[0], "") << "loading frees the picture that was held";
}

TEST(SettingsFile, EveryTruncationKeepsEarlierValuesAndStaysSane)
{
    Settings record = withDefaultPicture();
    record.passwordEnabled = 1;
    strcpy(record.password, "pw");
    record.pictureCount = 2;
    record.pictures[1] = "second.bmp";
    record.fogBlue = 7;
    record.pictures[0] = "first.bmp";
    std::string full = serializeSettings(record);
    const Settings start = withDefaultPicture();
    for (size_t cut = 0; cut <= full.size(); ++cut) {
        SCOPED_TRACE(cut);
        Settings back = parsed(full.substr(0, cut), start);
        expectSane(back);
        // The saver can run on what was read: at least one picture, each a
        // whole path of the file or the default picture.
        ASSERT_GE(back.pictureCount, 1);
        for (int i = 0; i < back.pictureCount; ++i)
            EXPECT_TRUE(back.pictures[i] == record.pictures[i] || (i == 0 && back.pictures[0] == start.pictures[0]))
                << back.pictures[i];
        // A password is the stored one or none, never a part of it.
        EXPECT_TRUE(strcmp(back.password, "") == 0 || strcmp(back.password, "pw") == 0);
        if (cut == full.size()) {
            EXPECT_EQ(serializeSettings(back), full);
        }
    }
    // Cut inside the second path: the first is whole and the only picture,
    // and the fields after the break keep their defaults.
    size_t second = full.find("second.bmp");
    Settings back = parsed(full.substr(0, second + 3), start);
    EXPECT_EQ(back.pictureCount, 1);
    EXPECT_EQ(back.pictures[0], "first.bmp");
    EXPECT_EQ(back.pictures[1], "");
    EXPECT_EQ(back.fogBlue, 255);
    // Cut inside the first path, or right after the count: the default picture stays.
    back = parsed(full.substr(0, full.find("first.bmp") + 2), start);
    EXPECT_EQ(back.pictureCount, 1);
    EXPECT_EQ(back.pictures[0], start.pictures[0]);
    // An empty path names no picture either.
    std::string header = bytesOf({0, 0, 49, 0, 0, 0, 110, 0, 0, 0, 0x2C, 1});
    back = parsed(header + bytesOf({1, 0, 0, 0, 0}), start);
    EXPECT_EQ(back.pictures[0], start.pictures[0]);
    back = parsed(header + bytesOf({2, 0, 0, 0, 0, 'b', 0}), start);
    EXPECT_EQ(back.pictureCount, 1);
    EXPECT_EQ(back.pictures[0], "b");
}

// Cut anywhere, a file gives each field wholly inside the cut its own value,
// and every other field keeps the record's earlier one: the leftover bytes
// of a cut field are never taken for the next field.
TEST(SettingsFile, EveryCutReadsWholeFieldsAndKeepsTheRest)
{
    Settings before;
    before.passwordEnabled = 0;
    strcpy(before.password, "old");
    before.videoMode = 20;
    before.colourDepthId = 111;
    before.speedId = 301;
    before.pictureCount = 1;
    before.pictures[0] = "/old/picture.bmp";
    before.museumType = 3;
    before.furniture = before.cubePonds = before.sculptures = before.showcases = 1;
    before.fogEnabled = 1;
    before.fogDensity = 5;
    before.fogRed = before.fogGreen = before.fogBlue = 9;
    before.displaySizeId = 701;
    before.moveSeconds = 11;
    before.walkingSpeedId = 902;
    for (int passwordOn = 0; passwordOn <= 1; ++passwordOn) {
        Settings file;
        file.passwordEnabled = static_cast<int16_t>(passwordOn);
        strcpy(file.password, "new word");
        file.videoMode = 71;
        file.colourDepthId = 114;
        file.speedId = 303;
        file.pictureCount = 1;
        file.pictures[0] = "/" + std::string(600, 'p') + ".bmp";
        file.museumType = 7;
        file.furniture = file.cubePonds = file.sculptures = file.showcases = 0;
        file.fogEnabled = 0;
        file.fogDensity = 77;
        file.fogRed = 1;
        file.fogGreen = 2;
        file.fogBlue = 3;
        file.displaySizeId = 706;
        file.displayScale = displayScaleFor(706);
        file.moveSeconds = 44;
        file.walkingSpeedId = 903;
        const std::string full = serializeSettings(file);

        // Where each field ends in the file, in the file's order.
        size_t at = 0;
        auto endAfter = [&at](size_t bytes) { return at += bytes; };
        const size_t switchEnd = endAfter(2);
        const size_t passwordEnd = passwordOn ? endAfter(2 + strlen(file.password)) : switchEnd;
        const size_t modeEnd = endAfter(4), depthEnd = endAfter(4), speedEnd = endAfter(2);
        const size_t picturesEnd = endAfter(4 + file.pictures[0].size() + 1);
        size_t shortEnds[11];
        for (size_t& end : shortEnds) end = endAfter(2);
        endAfter(4);
        const size_t moveEnd = endAfter(2), walkEnd = endAfter(2);
        ASSERT_EQ(walkEnd, full.size());

        for (size_t cut = 0; cut <= full.size(); ++cut) {
            SCOPED_TRACE("password " + std::to_string(passwordOn) + ", cut at " + std::to_string(cut));
            const Settings back = parsed(full.substr(0, cut), before);
            auto from = [cut](size_t end, const Settings& whole, const Settings& earlier) {
                return end <= cut ? &whole : &earlier;
            };
            EXPECT_EQ(back.passwordEnabled, from(switchEnd, file, before)->passwordEnabled);
            if (passwordOn) {
                EXPECT_STREQ(back.password, from(passwordEnd, file, before)->password);
            }
            EXPECT_EQ(back.videoMode, from(modeEnd, file, before)->videoMode);
            EXPECT_EQ(back.colourDepthId, from(depthEnd, file, before)->colourDepthId);
            EXPECT_EQ(back.speedId, from(speedEnd, file, before)->speedId);
            EXPECT_EQ(back.pictureCount, from(picturesEnd, file, before)->pictureCount);
            EXPECT_EQ(back.pictures[0], from(picturesEnd, file, before)->pictures[0]);
            const int16_t Settings::*shorts[11] = {
                &Settings::museumType, &Settings::furniture, &Settings::cubePonds, &Settings::sculptures,
                &Settings::showcases, &Settings::fogEnabled, &Settings::fogDensity, &Settings::fogRed,
                &Settings::fogGreen, &Settings::fogBlue, &Settings::displaySizeId};
            for (int i = 0; i < 11; ++i) EXPECT_EQ(back.*shorts[i], from(shortEnds[i], file, before)->*shorts[i]) << i;
            EXPECT_EQ(back.moveSeconds, from(moveEnd, file, before)->moveSeconds);
            EXPECT_EQ(back.walkingSpeedId, from(walkEnd, file, before)->walkingSpeedId);
        }
    }
}

TEST(SettingsFile, OversizedAndNegativeLengthsKeepLaterFieldsInPlace)
{
    // A password of 60 characters keeps its first 43; the video mode after it is still read.
    std::string longPassword(60, 'p');
    std::string bytes = bytesOf({1, 0, 60, 0}) + longPassword + bytesOf({50, 0, 0, 0, 112, 0, 0, 0, 0x2D, 1}) +
                        bytesOf({0, 0, 0, 0});
    Settings back = parsed(bytes);
    EXPECT_EQ(std::string(back.password), std::string(43, 'p'));
    EXPECT_EQ(back.videoMode, 50);
    EXPECT_EQ(back.colourDepthId, 112);
    EXPECT_EQ(back.speedId, 301);

    // A negative password length reads as empty.
    back = parsed(bytesOf({1, 0, 0xFF, 0xFF, 51, 0, 0, 0}));
    EXPECT_STREQ(back.password, "");
    EXPECT_EQ(back.videoMode, 51);

    // 95 pictures: the first 90 are kept, the other five skipped, the museum type after them read.
    std::string many = bytesOf({0, 0, 49, 0, 0, 0, 110, 0, 0, 0, 0x2C, 1, 95, 0, 0, 0});
    for (int i = 0; i < 95; ++i) many += "p" + std::to_string(i) + '\0';
    many += bytesOf({5, 0});
    back = parsed(many);
    EXPECT_EQ(back.pictureCount, 90);
    EXPECT_EQ(back.pictures[89], "p89");
    EXPECT_EQ(back.museumType, 5);

    // A negative count is no pictures; a huge one with few paths stops at the end of the file.
    back = parsed(bytesOf({0, 0, 49, 0, 0, 0, 110, 0, 0, 0, 0x2C, 1, 0xFF, 0xFF, 0xFF, 0xFF, 3, 0}));
    EXPECT_EQ(back.pictureCount, 0);
    EXPECT_EQ(back.museumType, 3);
    back = parsed(bytesOf({0, 0, 49, 0, 0, 0, 110, 0, 0, 0, 0x2C, 1, 0xFF, 0xFF, 0xFF, 0x7F, 'a', 0}));
    EXPECT_EQ(back.pictureCount, 1);
    EXPECT_EQ(back.pictures[0], "a");
}

TEST(SettingsFile, OutOfGroupValuesFallBackToDefaults)
{
    Settings record = withDefaultPicture();
    record.passwordEnabled = 1;
    strcpy(record.password, "x");
    std::string bytes = serializeSettings(record);
    // Patch the fields as a foreign writer might have left them.
    auto patchShort = [&](size_t at, int16_t v) { bytes[at] = static_cast<char>(v & 0xFF); bytes[at + 1] = static_cast<char>((v >> 8) & 0xFF); };
    bytes[0] = 7;                                   // passwordEnabled 7 means on
    size_t afterPictures = 19 + record.pictures[0].size() + 1;
    patchShort(9, 120);                             // colourDepthId low half: 120 (not 110..114)
    patchShort(13, 299);                            // speedId
    patchShort(afterPictures + 0, 40);              // museumType
    patchShort(afterPictures + 12, 500);            // fogDensity
    patchShort(afterPictures + 14, -3);             // fogRed
    patchShort(afterPictures + 20, 702);            // displaySizeId 80%, scale stays 0.5 in the file
    patchShort(afterPictures + 28, 42);             // walkingSpeedId
    Settings back = parsed(bytes);
    expectSane(back);
    EXPECT_EQ(back.passwordEnabled, 1);
    EXPECT_EQ(back.colourDepthId, 110);
    EXPECT_EQ(back.speedId, 300);
    EXPECT_EQ(back.museumType, 0);
    EXPECT_EQ(back.fogDensity, 100);
    EXPECT_EQ(back.fogRed, 0);
    EXPECT_FLOAT_EQ(back.displayScale, 0.8f);
    EXPECT_EQ(back.walkingSpeedId, 901);
    EXPECT_EQ(back.videoMode, 49);
}

TEST(SettingsFile, LoadAndSaveThroughTheFileSystem)
{
    TempDir dir;
    std::string path = dir.file("Vellamir.INI");
    Settings before = settings;

    settings = withDefaultPicture();
    EXPECT_EQ(LoadSettings(path.c_str()), 1) << "a missing file is not created by loading";
    EXPECT_EQ(access(path.c_str(), F_OK), -1);
    EXPECT_EQ(serializeSettings(settings), serializeSettings(withDefaultPicture()));

    settings.fogRed = 99;
    ASSERT_EQ(SaveSettings(path.c_str()), 0);
    struct stat info;
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u) << "the file may hold a password";
    settings = Settings{};
    EXPECT_EQ(LoadSettings(path.c_str()), 0);
    EXPECT_EQ(settings.fogRed, 99);

    EXPECT_EQ(SaveSettings(dir.file("missing/Vellamir.INI").c_str()), 1);
    settings = before;
}

TEST(SettingsFile, FailedSaveLeavesTheOldFile)
{
    TempDir dir;
    std::string path = dir.file("Vellamir.INI");
    std::string old = "old settings bytes";
    writeBytes(path, old);

    // A child process whose file-size limit makes every write fail as a full disk would.
    pid_t child = fork();
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        rlimit limit{4, 4};
        setrlimit(RLIMIT_FSIZE, &limit);
        settings = withDefaultPicture();
        _exit(SaveSettings(path.c_str()));
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1) << "the failure is reported";
    EXPECT_EQ(readBytes(path), old) << "the previous file is untouched";
    std::string listing;
    runCommand("ls -A '" + dir.path() + "'", &listing);
    EXPECT_EQ(listing, "Vellamir.INI\n") << "no temporary file is left behind";
}

namespace {

// In a child process: 0 when loading path is refused and leaves the defaults.
int loadIsRefused(const std::string& path)
{
    settings = withDefaultPicture();
    int result = LoadSettings(path.c_str());
    return result == 1 && serializeSettings(settings) == serializeSettings(withDefaultPicture()) ? 0 : 1;
}

} // namespace

TEST(SettingsFile, OnlyARegularFileWithinTheBoundIsRead)
{
    // Each ends at once with the defaults, in little memory, as a missing file does.
    TempDir dir;
    std::string path = dir.file("Vellamir.INI");
    for (const char* kind : kHostileKinds) {
        ASSERT_TRUE(makeHostileFile(path, kind, std::string(6, '\0'))) << kind;
        EXPECT_EQ(runLimited(loadIsRefused, path, size_t(64) << 20, 10), 0) << kind;
    }
    writeBytes(path, std::string(kMaxSettingsFileBytes + 1, '\0'));
    EXPECT_EQ(runLimited(loadIsRefused, path, size_t(64) << 20, 10), 0) << "one byte over the longest file";
}

TEST(SettingsFile, ASaveRemovesWhatAKilledSaveLeftBehind)
{
    // A save killed before its rename leaves its temporary file with the
    // password of that time; the next save takes it away, and only it.
    TempDir dir;
    std::string path = dir.file("Vellamir.INI");
    writeBytes(dir.file("Vellamir.INI.saving-q7Rt0z"), "old password");
    writeBytes(dir.file("Vellamir.INI.aB3xY9"), "old password, from an earlier version");
    chmod(dir.file("Vellamir.INI.aB3xY9").c_str(), 0600);
    writeBytes(dir.file("Vellamir.INI.bak"), "not ours");
    writeBytes(dir.file("Vellamir.INI.backup"), "not ours");
    writeBytes(dir.file("Other.INI.aB3xY9"), "not ours either");
    Settings before = settings;
    settings = withDefaultPicture();
    ASSERT_EQ(SaveSettings(path.c_str()), 0);
    settings = before;
    std::string listing;
    runCommand("ls -A '" + dir.path() + "'", &listing);
    EXPECT_EQ(listing, "Other.INI.aB3xY9\nVellamir.INI\nVellamir.INI.backup\nVellamir.INI.bak\n");
}

// The look file: 0/1 choices by name, bad lines named and skipped, and a save
// that keeps the comments and a newer version's lines.
TEST(LookFile, ReadsItsChoicesAndKeepsWhatItDoesNotKnow)
{
    Settings record;
    std::string problems;
    parseLookSettings("# mine\r\n plaques = 0 \r\nclassic_textures=yes\nfuture_choice=3\ngarbage\n", record, &problems);
    EXPECT_EQ(record.plaques, 0);
    EXPECT_EQ(record.classicTextures, 0) << "a bad value keeps the earlier one";
    EXPECT_EQ(problems, "line 3: classic_textures takes 0 or 1, not \"yes\"\nline 5: not name=value\n");

    record.classicTextures = 1;
    std::string saved = serializeLookSettings(record, "# mine\nplaques=1\nfuture_choice=3\n");
    EXPECT_EQ(saved, "# mine\nfuture_choice=3\nclassic_textures=1\nplaques=0\n");
    Settings back;
    parseLookSettings(saved, back, nullptr);
    EXPECT_EQ(back.classicTextures, 1);
    EXPECT_EQ(back.plaques, 0);

    TempDir dir;
    const std::string path = dir.path() + "/Vellamir.conf";
    settings = Settings{};
    EXPECT_EQ(LoadLookSettings(path.c_str()), 1) << "no file: the defaults stay";
    EXPECT_EQ(settings.plaques, 1);
    settings.plaques = 0;
    ASSERT_EQ(SaveLookSettings(path.c_str()), 0);
    settings = Settings{};
    ASSERT_EQ(LoadLookSettings(path.c_str()), 0);
    EXPECT_EQ(settings.plaques, 0);
    settings = Settings{};
}
