#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "core/catalogue.h"
#include "tests/support/files.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::string> sorted(std::vector<std::string> names) {
    std::sort(names.begin(), names.end());
    return names;
}

// A folder with one entry of every kind the listing can meet.
struct Mixed : TempDir {
    Mixed() {
        fs::create_directory(path() + "plain");
        fs::create_directory(path() + "readonly");
        ::chmod((path() + "readonly").c_str(), 0555);
        fs::create_directory(path() + ".hiddendir");
        writeFile(path() + "file.jpg", "x");
        writeFile(path() + ".hidden.jpg", "x");
        writeFile(path() + "noext", "x");
        writeFile(path() + "locked.jpg", "x");
        ::chmod((path() + "locked.jpg").c_str(), 0444);
        fs::create_directory_symlink(path() + "plain", path() + "linkdir");
        fs::create_symlink(path() + "file.jpg", path() + "link.jpg");
        ::mkfifo((path() + "fifo").c_str(), 0600);
    }
};

}  // namespace

TEST(AttributeWord, FollowsTheEntrysKind) {
    Mixed dir;
    const std::string f = dir.path().substr(0, dir.path().size() - 1);
    EXPECT_EQ(attributeWord(f, "plain"), 0x10u);
    EXPECT_EQ(attributeWord(f, "readonly"), 0x11u);
    EXPECT_EQ(attributeWord(f, ".hiddendir"), 0x12u);
    EXPECT_EQ(attributeWord(f, "file.jpg"), 0x20u);
    EXPECT_EQ(attributeWord(f, ".hidden.jpg"), 0x22u);
    EXPECT_EQ(attributeWord(f, "locked.jpg"), 0x21u);
    EXPECT_EQ(attributeWord(f, "linkdir"), 0x410u);
    EXPECT_EQ(attributeWord(f, "link.jpg"), 0x420u);
    EXPECT_EQ(attributeWord(f, "fifo"), 0x04u);
}

TEST(Catalogue, BotsAndCharactersArePlainFoldersOnly) {
    Mixed dir;
    // Read-only, hidden and linked folders, files, "." and ".." are not listed.
    EXPECT_EQ(listCatalogue(dir.path(), kFolderMask), std::vector<std::string>{"plain"});
}

TEST(Catalogue, BackgroundsAndMusicTakeFilesAndFoldersWithinTheLowAttributes) {
    Mixed dir;
    EXPECT_EQ(sorted(listCatalogue(dir.path(), kFileMask)),
              (std::vector<std::string>{".hidden.jpg", ".hiddendir", "fifo", "file.jpg",
                                        "locked.jpg", "noext", "plain", "readonly"}));
}

TEST(Catalogue, KeepsTheFileSystemsOrder) {
    TempDir dir;
    for (int i = 0; i < 50; ++i) fs::create_directory(dir.path() + "bot" + std::to_string(i));
    std::vector<std::string> order;
    for (const auto& e : fs::directory_iterator(dir.path())) order.push_back(e.path().filename());
    EXPECT_EQ(listCatalogue(dir.path(), kFolderMask), order);
}

TEST(Catalogue, AMissingFolderOrAFileInItsPlaceListsNothing) {
    TempDir dir;
    EXPECT_TRUE(listCatalogue(dir.path() + "missing", kFileMask).empty());
    writeFile(dir.path() + "file", "x");
    EXPECT_TRUE(listCatalogue(dir.path() + "file", kFileMask).empty());
}

TEST(CatalogueLookup, IgnoresLetterCaseAndGivesTheUpperOfTwo) {
    const std::vector<std::string> entries = {"Silence", "Anna", "anna", "Ärger", "x.mp3"};
    EXPECT_EQ(catalogueIndexOf(entries, "ANNA"), 1);
    EXPECT_EQ(catalogueIndexOf(entries, "anna"), 1);
    EXPECT_EQ(catalogueIndexOf(entries, "silence"), 0);
    EXPECT_EQ(catalogueIndexOf(entries, "ärger"), 3);
    EXPECT_EQ(catalogueIndexOf(entries, "X.MP3"), 4);
    EXPECT_EQ(catalogueIndexOf(entries, "Ann"), -1);
    EXPECT_EQ(catalogueIndexOf(entries, ""), -1);
    EXPECT_EQ(catalogueIndexOf({}, "x"), -1);
}
