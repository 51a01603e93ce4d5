// The encoder's command line and the warning about phrases without their MP3 file.
#include <gtest/gtest.h>

#include "core/encoder.h"

TEST(Encoder, ItsArgumentsAreItsOwnNameAndTheTwoPaths) {
    const auto args = encoderArguments("/opt/my bots/", "/opt/my bots/flash/bots/b/0.wav",
                                       "/opt/my bots/flash/bots/b/0.mp3");
    EXPECT_EQ(args,
              (std::vector<std::string>{"/opt/my bots/lame.exe", "/opt/my bots/flash/bots/b/0.wav",
                                        "/opt/my bots/flash/bots/b/0.mp3"}));
    const std::string longFolder = "/" + std::string(300, 'x') + "/";
    EXPECT_EQ(encoderArguments(longFolder, "a", "b")[0], longFolder.substr(0, 255) + "lame.exe");
}

TEST(Encoder, TheWarningNotesPhrasesMadeDespiteTheirExitCode) {
    EncoderOutcome made, failed;
    made.started = failed.started = true;
    made.exitCode = 1;
    failed.wroteFile = false;
    EXPECT_EQ(encoderFailureMessage({made, failed, made}, 3),
              "1 of 3 phrases have no new MP3 file:\n1: the encoder wrote no MP3 file.\nNote: 2 "
              "phrases have their new MP3 file, although the encoder ended with exit code 1.");
}
