// The programs that Parlomat starts: the encoder, waited for, and the desktop's opener, not.
#include <gtest/gtest.h>

#include <QTest>
#include <filesystem>

#include "core/encoder.h"
#include "gui/errorreport.h"
#include "platform/process_spawner.h"
#include "tests/support/support.h"
#include "tests/support/test_platform.h"

namespace fs = std::filesystem;

TEST(Encoder, AnEncoderThatNeverEndsIsStopped) {
    TempDir dir;
    writeFile(dir.path() + "slow", "#!/bin/sh\nexec sleep 30\n");
    fs::permissions(dir.path() + "slow", fs::perms::owner_all);
    const EncoderOutcome outcome = makeProcessSpawner()->run(dir.path() + "slow", {"slow"}, {300});
    EXPECT_TRUE(outcome.started);
    EXPECT_TRUE(outcome.killed);  // it would otherwise have ended by itself, after 30 s
    EXPECT_FALSE(outcome.made());
    EXPECT_EQ(encoderFailureMessage({outcome}, 4),
              "1 of 4 phrases have no new MP3 file:\n1: the encoder did not finish within 10 "
              "minutes and was stopped.");
}

TEST(Encoder, AnEncoderThatDoesNotEndAfterAStopIsKilledAfterItsGrace) {
    TempDir dir;
    writeFile(dir.path() + "slow", "#!/bin/sh\nexec sleep 60\n");
    fs::permissions(dir.path() + "slow", fs::perms::owner_all);
    const std::atomic<bool> stop{true};
    const EncoderOutcome outcome =
        makeProcessSpawner()->run(dir.path() + "slow", {"slow"}, {kEncoderTimeoutMs, &stop, 100});
    EXPECT_TRUE(outcome.killed);
    EXPECT_TRUE(outcome.stopped);
    EXPECT_EQ(encoderFailureMessage({outcome}, 1),
              "1 of 1 phrases have no new MP3 file:\n1: the encoder did not finish within 3 "
              "seconds of the stop and was stopped.");
}

TEST(Encoder, RunsWithNothingOnItsStandardStreams) {
    TempDir dir;
    writeFile(dir.path() + "probe",
              "#!/bin/sh\nread x; echo \"[$x]\" > \"$1\"; echo noise; echo more >&2\n");
    fs::permissions(dir.path() + "probe", fs::perms::owner_all);
    const EncoderOutcome outcome =
        makeProcessSpawner()->run(dir.path() + "probe", {"probe", dir.path() + "out"}, {});
    EXPECT_TRUE(outcome.made());
    EXPECT_EQ(readFile(dir.path() + "out"), "[]\n");
}

TEST(ShellOpen, HandsTheTargetAsOneArgumentAndDoesNotWait) {
    TempDir dir;
    const std::string record = dir.path() + "arguments";
    const std::string opener = dir.path() + "opener";
    const std::string release = dir.path() + "release", ended = dir.path() + "ended";
    // The opener records its arguments, then stays, as a browser does, until the test lets it
    // go (or a minute has passed); only then does it end.
    writeFile(opener, "#!/bin/sh\nprintf '%s\\n' \"$#\" \"$@\" > '" + record + ".tmp'\nmv '" +
                          record + ".tmp' '" + record + "'\nfor i in $(seq 1200); do [ -e '" +
                          release + "' ] && break; sleep 0.05; done\ntouch '" + ended + "'\n");
    std::filesystem::permissions(opener, std::filesystem::perms::owner_all);
    const RealOpener real(opener);
    shellOpen("\"" + dir.path() + "my flash folder\"");
    EXPECT_FALSE(exists(ended));  // the request came back while the opener was still there
    writeFile(release, "");
    EXPECT_TRUE(QTest::qWaitFor([&] { return exists(ended); }, 60000));
    EXPECT_EQ(readFile(record), "1\n" + dir.path() + "my flash folder\n");
}

TEST(ShellOpen, AMissingOpenerIsNotReported) {
    const RealOpener real("/nonexistent/opener");
    ScriptedDialogs dialogs;
    EXPECT_TRUE(runReported([] { shellOpen("\"/tmp\""); }));
    EXPECT_TRUE(dialogs.shown().empty());
}
