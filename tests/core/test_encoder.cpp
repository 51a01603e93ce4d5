// The encoder's command line and the warning about phrases without their MP3 file.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/encoder.h"
#include "core/installed.h"
#include "tests/support/files.h"

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

namespace {
// Writes a frame of MPEG audio at the MP3 path, as the encoder would, whatever its input.
class FrameWriter final : public EncoderSpawner {
public:
    EncoderOutcome run(const std::string&, const std::vector<std::string>& arguments,
                       const EncoderLimits&) override {
        std::string frame(417, '\0');
        frame.replace(0, 4, "\xFF\xFB\x90\x64", 4);
        writeFile(arguments[2], frame);
        EncoderOutcome outcome;
        outcome.started = true;
        return outcome;
    }
};
}  // namespace

TEST(Encoder, AnMp3OfASilentWaveIsNoSpeechAndALinkAtItsPathIsNotWrittenThrough) {
    TempDir dir;
    FrameWriter writer;
    const Install<EncoderSpawner> install(&writer);
    const std::string wav = dir.path() + "0.wav", mp3 = dir.path() + "0.mp3";
    const auto encode = [&] {
        return encodeMp3File("lame.exe", encoderArguments(dir.path(), wav, mp3), mp3, {});
    };
    writeFile(wav, std::string(44, 'h'));  // the header, no samples: a phrase of blanks
    EncoderOutcome outcome = encode();
    EXPECT_EQ(outcome.invalid, "it holds no sound: the phrase gave no speech");
    EXPECT_FALSE(outcome.made());
    EXPECT_FALSE(std::filesystem::exists(mp3));

    writeFile(wav, std::string(46, 'h'));
    writeFile(dir.path() + "elsewhere", "kept");
    std::filesystem::create_symlink(dir.path() + "elsewhere", mp3);
    outcome = encode();
    EXPECT_TRUE(outcome.made());
    EXPECT_FALSE(std::filesystem::is_symlink(mp3));
    EXPECT_EQ(readFile(dir.path() + "elsewhere"), "kept");
}
