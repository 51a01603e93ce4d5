#include "core/mp3_check.h"

#include <cstdint>

namespace {

struct FrameHeader {
    int version = 0;  // 3 MPEG-1, 2 MPEG-2, 0 MPEG-2.5
    int layer = 0;    // 1, 2, 3
    int sampleRate = 0;
    size_t length = 0;  // bytes of the whole frame, header included
};

// The frame header at `at`, or false when the four bytes there are not one.
bool readHeader(const std::string& bytes, size_t at, FrameHeader& header) {
    if (at + 4 > bytes.size()) return false;
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(bytes[at + i]); };
    if (byte(0) != 0xFF || (byte(1) & 0xE0) != 0xE0) return false;
    const int version = (byte(1) >> 3) & 3;
    const int layerBits = (byte(1) >> 1) & 3;
    const int bitrateIndex = byte(2) >> 4;
    const int rateIndex = (byte(2) >> 2) & 3;
    const int padding = (byte(2) >> 1) & 1;
    if (version == 1 || layerBits == 0 || bitrateIndex == 0 || bitrateIndex == 15 || rateIndex == 3)
        return false;
    const int layer = 4 - layerBits;
    // Kilobits per second by version group (MPEG-1, MPEG-2 and 2.5), layer and index.
    static constexpr int bitrates[2][3][15] = {
        {{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},
         {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},
         {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320}},
        {{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},
         {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
         {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160}}};
    static constexpr int rates[3] = {44100, 48000, 32000};
    const bool mpeg1 = version == 3;
    const int bitrate = 1000 * bitrates[mpeg1 ? 0 : 1][layer - 1][bitrateIndex];
    const int sampleRate = rates[rateIndex] >> (mpeg1 ? 0 : version == 2 ? 1 : 2);
    size_t length = 0;
    if (layer == 1)
        length = static_cast<size_t>((12 * bitrate / sampleRate + padding) * 4);
    else if (layer == 3 && !mpeg1)
        length = static_cast<size_t>(72 * bitrate / sampleRate + padding);
    else
        length = static_cast<size_t>(144 * bitrate / sampleRate + padding);
    if (length < 4) return false;
    header = {version, layer, sampleRate, length};
    return true;
}

// The bytes an ID3v2 tag at the start takes (0 without one).
size_t id3v2Length(const std::string& bytes) {
    if (bytes.size() < 10 || bytes.compare(0, 3, "ID3") != 0) return 0;
    size_t size = 0;
    for (size_t i = 6; i < 10; ++i)
        size = size << 7 | (static_cast<unsigned char>(bytes[i]) & 0x7F);
    const bool footer = static_cast<unsigned char>(bytes[5]) & 0x10;
    return 10 + size + (footer ? 10 : 0);
}

}  // namespace

std::string mp3Problem(const std::string& bytes) {
    if (bytes.empty()) return "it is empty";
    size_t at = id3v2Length(bytes);
    size_t end = bytes.size();
    if (end >= at + 128 && bytes.compare(end - 128, 3, "TAG") == 0) end -= 128;
    FrameHeader first;
    if (at >= end || !readHeader(bytes, at, first)) {
        // Nothing that starts like a frame: not audio at all, or not where a player looks.
        return "it holds no MPEG audio frame";
    }
    for (FrameHeader frame = first;;) {
        if (frame.version != first.version || frame.layer != first.layer ||
            frame.sampleRate != first.sampleRate)
            return "it holds bytes that are not MPEG audio";
        if (at + frame.length > end) return "its frames end in the middle of a frame";
        at += frame.length;
        if (at == end) return {};
        if (!readHeader(bytes, at, frame)) return "it holds bytes that are not MPEG audio";
    }
}
