#include <gtest/gtest.h>

#include "core/mp3_check.h"

namespace {
// One frame: MPEG-1 layer III at 128 kbit/s, 44.1 kHz (417 bytes), or MPEG-2 layer III at
// 64 kbit/s, 22.05 kHz (208 bytes), or MPEG-1 at 48 kHz (384 bytes).
std::string frame(const char* header, size_t length) {
    std::string f(length, '\0');
    f.replace(0, 4, header, 4);
    return f;
}
const std::string kMpeg1 = frame("\xFF\xFB\x90\x64", 417);
const std::string kMpeg2 = frame("\xFF\xF3\x80\x64", 208);
const std::string kMpeg1At48k = frame("\xFF\xFB\x94\x64", 384);
}  // namespace

TEST(Mp3Check, FramesThatChainToTheEndAreAudioAndAnythingElseIsNot) {
    const std::string id3v2 = std::string("ID3\x04\x00\x00\x00\x00\x00\x05", 10) + "12345";
    const std::string id3v1 = "TAG" + std::string(125, ' ');
    const std::pair<std::string, std::string> cases[] = {
        {kMpeg1, ""},
        {kMpeg1 + kMpeg1 + kMpeg1, ""},
        {kMpeg2 + kMpeg2, ""},
        {id3v2 + kMpeg1 + id3v1, ""},
        {"", "it is empty"},
        {"RIFF....WAVEfmt ", "it holds no MPEG audio frame"},
        {std::string(100, '\xFF'), "it holds no MPEG audio frame"},  // bitrate index 15
        {id3v2, "it holds no MPEG audio frame"},
        {kMpeg1 + kMpeg1.substr(0, 100), "its frames end in the middle of a frame"},
        {kMpeg1 + "garbage after the first frame", "it holds bytes that are not MPEG audio"},
        {kMpeg1 + kMpeg1At48k, "it holds bytes that are not MPEG audio"},  // another rate
        {"x" + kMpeg1, "it holds no MPEG audio frame"},
    };
    for (const auto& [bytes, problem] : cases)
        EXPECT_EQ(mp3Problem(bytes), problem) << bytes.size();
}
