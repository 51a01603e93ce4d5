#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <ctime>
#include <filesystem>

#include "core/errors.h"
#include "core/fileio.h"
#include "tests/support/files.h"

namespace {

void setModificationYear(const std::string& path, int year) {
    struct tm local {};
    local.tm_year = year - 1900;
    local.tm_mon = 5;
    local.tm_mday = 15;
    local.tm_hour = 12;
    local.tm_isdst = -1;
    const time_t when = mktime(&local);
    const struct timespec times[2] = {{when, 0}, {when, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

}  // namespace

TEST(ReadFileText, GivesTheBytesUnchanged) {
    TempDir dir;
    const std::string bytes("a\r\nb\0c\xFF", 7);
    writeFile(dir.path() + "f", bytes);
    EXPECT_EQ(ReadFileText(dir.path() + "f"), bytes);
    writeFile(dir.path() + "empty", "");
    EXPECT_EQ(ReadFileText(dir.path() + "empty"), "");
}

TEST(ReadFileText, OpenErrorNamesTheAbsolutePathAndTheReason) {
    TempWorkspace workspace;
    EXPECT_EQ(errorMessageOf([] { ReadFileText("flash/missing.txt"); }),
              "Cannot open file \"" + workspace.path() +
                  "flash/missing.txt\". No such file or directory");
    EXPECT_EQ(errorMessageOf([] { ReadFileText("flash"); }),
              "Cannot open file \"" + workspace.path() + "flash\". Is a directory");
}

TEST(ReadFileText, SomethingOtherThanARegularFileReadsAsEmpty) {
    TempDir dir;
    const std::string fifo = dir.path() + "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(ReadFileText(fifo), "");  // and does not wait for a writer
}

TEST(WriteFileText, EmptyTextLeavesAnEmptyFileCreatedIfMissing) {
    TempDir dir;
    WriteFileText(dir.path() + "new", "");
    EXPECT_TRUE(exists(dir.path() + "new"));
    EXPECT_EQ(readFile(dir.path() + "new"), "");
    writeFile(dir.path() + "old", "old content");
    WriteFileText(dir.path() + "old", "");
    EXPECT_EQ(readFile(dir.path() + "old"), "");
}

TEST(WriteFileText, OverALongerFileLeavesExactlyTheNewBytesAndNoTemporaryFile) {
    TempDir dir;
    writeFile(dir.path() + "f", std::string(1000, 'x'));
    // A temporary that an earlier run left when it was stopped half-way goes with the next
    // write; a user's files stay, and so does a fresh one (another copy may be writing it).
    const auto old = std::filesystem::file_time_type::clock::now() - std::chrono::hours(1);
    writeFile(dir.path() + ".f.part-x1Y2z3", "partial");
    std::filesystem::last_write_time(dir.path() + ".f.part-x1Y2z3", old);
    writeFile(dir.path() + ".f.part-Fresh1", "being written");
    for (const char* name : {".f.backup", ".f.Ab12Cd", ".g.part-x1Y2z3", ".f.part-x1Y2z"}) {
        writeFile(dir.path() + name, "keep");
        std::filesystem::last_write_time(dir.path() + name, old);
    }
    WriteFileText(dir.path() + "f", std::string("new\0", 4));
    EXPECT_EQ(readFile(dir.path() + "f"), std::string("new\0", 4));
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir.path()))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{".f.Ab12Cd", ".f.backup", ".f.part-Fresh1",
                                               ".f.part-x1Y2z", ".g.part-x1Y2z3", "f"}));
}

TEST(WriteFileText, KeepsThePermissionsOfTheFileAndNeverWritesThroughALinkOrAnotherName) {
    TempDir dir;
    writeFile(dir.path() + "f", "a");
    ::chmod((dir.path() + "f").c_str(), 0640);
    WriteFileText(dir.path() + "f", "b");
    struct stat st {};
    ::stat((dir.path() + "f").c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0640u);

    // A link to a file elsewhere, and a second name of a file: each becomes a file of its own.
    ASSERT_EQ(::symlink("f", (dir.path() + "link").c_str()), 0);
    ASSERT_EQ(::link((dir.path() + "f").c_str(), (dir.path() + "hard").c_str()), 0);
    ASSERT_EQ(::symlink("f", (dir.path() + "cleared").c_str()), 0);
    WriteFileText(dir.path() + "link", "link");
    WriteFileText(dir.path() + "hard", "hard");
    clearForNewFile(dir.path() + "cleared");
    EXPECT_EQ(readFile(dir.path() + "f"), "b");
    EXPECT_FALSE(std::filesystem::is_symlink(dir.path() + "link"));
    EXPECT_EQ(readFile(dir.path() + "link"), "link");
    EXPECT_EQ(readFile(dir.path() + "hard"), "hard");
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(dir.path() + "cleared")));

    // Reading does not follow a link either, unless asked to.
    ASSERT_EQ(::symlink("f", (dir.path() + "secret").c_str()), 0);
    EXPECT_EQ(errorMessageOf([&] { ReadFileText(dir.path() + "secret"); }),
              "Cannot open file \"" + dir.path() +
                  "secret\". The file is a symbolic link, which is not followed");
    EXPECT_EQ(ReadFileText(dir.path() + "secret", true), "b");
}

TEST(WriteFileText, CreateErrorNamesTheAbsolutePathAndLeavesNothing) {
    TempWorkspace workspace;
    EXPECT_EQ(errorMessageOf([] { WriteFileText("flash/nofolder/tts.html", "x"); }),
              "Cannot create file \"" + workspace.path() +
                  "flash/nofolder/tts.html\". No such file or directory");
    EXPECT_EQ(errorMessageOf([] { WriteFileText("flash/bots", "x"); }),
              "Cannot create file \"" + workspace.path() + "flash/bots\". Is a directory");
}

TEST(WriteFileText, AFullDiskRaisesAnErrorAndKeepsTheOldFileWhole) {
    TempDir dir;
    const std::string file = dir.path() + "phrases.txt";
    writeFile(file, "old complete content\r\n");

    // The file size limit makes every write past 16 bytes fail, as a full disk would.
    std::string message;
    {
        const FileSizeLimit limit(16);
        ASSERT_TRUE(limit.set());
        message = errorMessageOf([&] { WriteFileText(file, std::string(100, 'n')); });
    }

    EXPECT_EQ(message, "Cannot write file \"" + file + "\". File too large");
    EXPECT_EQ(readFile(file), "old complete content\r\n");
    int entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path()))
        ++entries;
    EXPECT_EQ(entries, 1);
}

TEST(WriteFileText, AShortWriteToADeviceIsReported) {
    EXPECT_EQ(errorMessageOf([] { WriteFileText("/dev/full", "x"); }),
              "Cannot write file \"/dev/full\". No space left on device");
}

TEST(FilePresent, OnlyFilesWithADosDateAreThere) {
    TempDir dir;
    const std::string file = dir.path() + "phrases.txt";
    EXPECT_FALSE(filePresent(file));
    writeFile(file, "x");
    EXPECT_TRUE(filePresent(file));
    EXPECT_FALSE(filePresent(dir.path()));

    setModificationYear(file, 1979);
    EXPECT_FALSE(filePresent(file));
    setModificationYear(file, 1980);
    EXPECT_TRUE(filePresent(file));
    setModificationYear(file, 2107);
    EXPECT_TRUE(filePresent(file));
    setModificationYear(file, 2108);
    EXPECT_FALSE(filePresent(file));

    ASSERT_EQ(::symlink("nowhere", (dir.path() + "dangling").c_str()), 0);
    EXPECT_FALSE(filePresent(dir.path() + "dangling"));
}
