#include "core/wav.h"

namespace {
void put16(std::string& out, uint16_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>(v >> 8);
}
void put32(std::string& out, uint32_t v) {
    put16(out, static_cast<uint16_t>(v & 0xFFFF));
    put16(out, static_cast<uint16_t>(v >> 16));
}
}  // namespace

std::string wavHeader(int sampleRate, uint32_t dataBytes) {
    std::string h = "RIFF";
    put32(h, 36 + dataBytes);
    h += "WAVEfmt ";
    put32(h, 16);                                     // size of the format chunk
    put16(h, 1);                                      // PCM
    put16(h, 1);                                      // mono
    put32(h, static_cast<uint32_t>(sampleRate));      // samples per second
    put32(h, static_cast<uint32_t>(sampleRate) * 2);  // bytes per second
    put16(h, 2);                                      // bytes per sample frame
    put16(h, 16);                                     // bits per sample
    h += "data";
    put32(h, dataBytes);
    return h;
}
