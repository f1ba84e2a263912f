// Picture folders: the walk over real directories in a temporary folder.
#include <gtest/gtest.h>

#include <set>
#include <sys/stat.h>
#include <unistd.h>

#include "gallery/gallery.h"
#include "tests/support/test_support.h"

TEST(PictureFolders, ListedFoldersGiveTheirPicturesAndNinetyAreARandomChoice)
{
    TempDir dir;
    const std::string photos = dir.file("photos"), outside = dir.file("outside");
    for (const std::string& folder : {photos, photos + "/2024", photos + "/2024/summer", photos + "/.thumbnails",
                                      outside})
        ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
    // 120 pictures in three levels, every extension in either case.
    const char* const extensions[] = {"jpg", "JPEG", "png", "WebP", "gif", "TIF", "tiff", "bmp"};
    for (int i = 0; i < 120; ++i) {
        const char* folder[] = {"", "/2024", "/2024/summer"};
        writeBytes(photos + folder[i % 3] + "/p" + std::to_string(i) + "." + extensions[i % 8], "x");
    }
    // None of these hang: not pictures, hidden, or reached through links
    // leading out of the folder or back into it.
    writeBytes(photos + "/notes.txt", "x");
    writeBytes(photos + "/.hidden.jpg", "x");
    writeBytes(photos + "/.thumbnails/t.jpg", "x");
    writeBytes(outside + "/elsewhere.jpg", "x");
    ASSERT_EQ(symlink(outside.c_str(), (photos + "/out").c_str()), 0);
    ASSERT_EQ(symlink((outside + "/elsewhere.jpg").c_str(), (photos + "/elsewhere.jpg").c_str()), 0);
    ASSERT_EQ(symlink(photos.c_str(), (photos + "/2024/loop").c_str()), 0);

    EXPECT_EQ(isPictureFolder(photos), 1);
    EXPECT_EQ(isPictureFolder(photos + "/p0.jpg"), 0);
    EXPECT_EQ(isPictureFolder(dir.file("missing")), 0);

    const std::string missing = dir.file("missing.jpg");
    const std::vector<std::string> all = listGalleryPictures({missing, photos}, 1000);
    ASSERT_EQ(all.size(), 121u);
    EXPECT_EQ(all[0], missing) << "a listed file stays, even when missing";
    for (size_t i = 1; i < all.size(); ++i) {
        EXPECT_EQ(all[i].compare(0, photos.size() + 2, photos + "/p") == 0 ||
                      all[i].compare(0, photos.size() + 6, photos + "/2024/") == 0,
                  true)
            << all[i];
        EXPECT_EQ(all[i].find("/."), std::string::npos) << all[i];
        EXPECT_EQ(all[i].find("loop"), std::string::npos) << all[i];
    }

    const std::vector<std::string> first = listGalleryPictures({missing, photos}, 90);
    const std::vector<std::string> second = listGalleryPictures({missing, photos}, 90);
    EXPECT_EQ(first.size(), 90u);
    EXPECT_EQ(std::set<std::string>(first.begin(), first.end()).size(), 90u) << "90 distinct pictures";
    EXPECT_NE(std::set<std::string>(first.begin(), first.end()), std::set<std::string>(second.begin(), second.end()))
        << "each run makes its own choice";
}
