#include <gtest/gtest.h>

#include <filesystem>

#include "core/mouths_manifest.h"
#include "tests/support/files.h"

namespace fs = std::filesystem;

namespace {
const std::string kHead =
    "/* The mouth pictures of each character, for the HTML5 player; written by Parlomat. */\n"
    "window.ParlomatMouths = ";
}  // namespace

TEST(MouthsManifest, IsOneAsciiObjectOfNamesAndShapes) {
    const struct {
        CharacterMouths characters;
        std::string object;
    } cases[] = {
        {{}, "{}"},
        {{{"Anna", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}}, {"Clara", {}}},
         R"({"Anna":[0,1,2,3,4,5,6,7,8,9,10,11,12],"Clara":[]})"},
        {{{"Jürgen \"J\"", {0, 7}}, {"</script>\\", {12}}, {"日本 🙂", {}}},
         R"({"J\u00FCrgen \"J\"":[0,7],"\u003C/script>\\":[12],"\u65E5\u672C \uD83D\uDE42":[]})"},
    };
    for (const auto& c : cases) EXPECT_EQ(mouthsManifest(c.characters), kHead + c.object + ";\n");
}

TEST(MouthsManifest, ListsEveryPlainCharacterFolderWithTheMouthPicturesItHas) {
    TempDir flash;
    const std::string chars = flash.path() + "chars/";
    const auto picture = [&](const std::string& character, const std::string& name) {
        fs::create_directories(chars + character + "/mouth");
        writeFile(chars + character + "/mouth/" + name, "png");
    };
    for (int n = 0; n <= 13; ++n) picture("Anna", std::to_string(n) + ".png");
    picture("Bert", "3.png");
    picture("Bert", "10.png");
    picture("Bert", "1.jpg");
    picture("Bert", "01.png");
    fs::create_directories(chars + "Bert/mouth/5.png");  // a folder, not a picture
    fs::create_symlink(chars + "Anna/mouth/0.png", chars + "Bert/mouth/0.png");
    fs::create_directories(chars + "Clara");
    writeFile(chars + "Clara/preview.jpg", "jpg");
    fs::create_directories(chars + ".hidden/mouth");
    fs::create_directory_symlink(chars + "Anna", chars + "Linked");
    writeFile(chars + "mouths.js", "old");

    const std::vector<int> all = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    EXPECT_EQ(scanMouths(flash.path()),
              (CharacterMouths{{"Anna", all}, {"Bert", {0, 3, 10}}, {"Clara", {}}}));
    EXPECT_TRUE(scanMouths(flash.path() + "missing").empty());
}

TEST(MouthsManifest, IsWrittenOnlyWhenItsBytesChange) {
    TempDir flash;
    EXPECT_FALSE(writeMouthsManifest(flash.path()));  // no chars folder: nothing to describe
    EXPECT_FALSE(exists(flash.path() + "chars"));

    const std::string path = flash.path() + "chars/mouths.js";
    fs::create_directories(flash.path() + "chars/Clara");
    EXPECT_TRUE(writeMouthsManifest(flash.path()));
    EXPECT_EQ(readFile(path), kHead + R"({"Clara":[]})" + ";\n");
    const auto written = fs::last_write_time(path);
    fs::last_write_time(path, written - std::chrono::hours(1));
    EXPECT_FALSE(writeMouthsManifest(flash.path()));
    EXPECT_EQ(fs::last_write_time(path), written - std::chrono::hours(1));

    fs::create_directories(flash.path() + "chars/Clara/mouth");
    writeFile(flash.path() + "chars/Clara/mouth/0.png", "png");
    EXPECT_TRUE(writeMouthsManifest(flash.path()));
    EXPECT_EQ(readFile(path), kHead + R"({"Clara":[0]})" + ";\n");

    fs::create_directories(flash.path() + "chars/Clara/mouth/1.png");  // still no picture
    EXPECT_FALSE(writeMouthsManifest(flash.path()));

    fs::remove(path);
    fs::create_directories(path);  // cannot be written
    EXPECT_NE(errorMessageOf([&] { writeMouthsManifest(flash.path()); }).find("mouths.js"),
              std::string::npos);
}
