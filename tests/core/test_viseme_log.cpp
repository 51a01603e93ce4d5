#include <gtest/gtest.h>

#include <cerrno>
#include <climits>
#include <filesystem>

#include "core/errors.h"
#include "core/viseme_log.h"
#include "tests/support/files.h"

TEST(VisemeLog, LinesAreIdBlankDurationCrLf) {
    EXPECT_EQ(visemeLogLine(11, 120), "11 120\r\n");
    EXPECT_EQ(visemeLogLine(11, 120).size(), 8u);
    EXPECT_EQ(visemeLogLine(0, 0), "0 0\r\n");
    EXPECT_EQ(visemeLogLine(21, -35), "21 -35\r\n");
    EXPECT_EQ(visemeLogLine(4294967295u, INT_MIN), "4294967295 -2147483648\r\n");
}

TEST(VisemeLog, EveryEventAppendsItsOwnLineToAnExistingFile) {
    TempDir dir;
    const std::string log = dir.path() + "0.txt";
    writeFile(log, "");
    appendVisemeLog(log, 11, 120);
    appendVisemeLog(log, 11, 120);
    appendVisemeLog(log, 0, -5);
    EXPECT_EQ(readFile(log), "11 120\r\n11 120\r\n0 -5\r\n");
}

TEST(VisemeLog, ALogThatCannotBeWrittenGivesTheInputOutputError) {
    TempDir dir;
    EXPECT_EQ(errorMessageOf([&] { appendVisemeLog(dir.path() + "gone.txt", 1, 2); }),
              "File not found");
    EXPECT_FALSE(exists(dir.path() + "gone.txt"));  // not created again
    EXPECT_EQ(errorMessageOf([&] { appendVisemeLog(dir.path(), 1, 2); }), "I/O error 21");
    EXPECT_EQ(errorMessageOf([] { appendVisemeLog("/dev/full", 1, 2); }), "Disk full");
    const std::pair<int, const char*> codes[] = {
        {ENOENT, "File not found"},     {EMFILE, "Too many open files"},
        {EACCES, "File access denied"}, {EPERM, "File access denied"},
        {EROFS, "File access denied"},  {ENOSPC, "Disk full"},
        {EIO, "I/O error 5"},           {EISDIR, "I/O error 21"},
    };
    for (const auto& [code, message] : codes) EXPECT_STREQ(inOutError(code).what(), message);
}

TEST(VisemeLog, IdsAboveTheTableShowTheMicrophoneAtRest) {
    EXPECT_EQ(pictureForViseme(21), 1);  // p b m: the closed lips, the table's last entry
    EXPECT_EQ(pictureForViseme(22), 0);
    EXPECT_EQ(pictureForViseme(255), 0);
    EXPECT_EQ(pictureForViseme(4294967295u), 0);
    for (int picture = 0; picture < 14; ++picture)  // the pictures the map can give
        EXPECT_EQ(eyesOverPicture(picture), picture == 2 || picture == 8 ? 14 : -1) << picture;
}
