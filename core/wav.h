#pragma once

#include <cstdint>
#include <string>

// The 44-byte header of a 16-bit mono PCM WAV file holding `dataBytes` bytes of samples.
std::string wavHeader(int sampleRate, uint32_t dataBytes);
