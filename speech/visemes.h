#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The 22 mouth shapes (visemes) of the speech engine:
//  0 silence, 1 ae ax ah, 2 aa, 3 ao, 4 ey eh uh, 5 er, 6 y iy ih ix, 7 w uw, 8 ow, 9 aw, 10 oy,
// 11 ay, 12 h, 13 r, 14 l, 15 s z, 16 sh ch jh zh, 17 th dh, 18 f v, 19 d t n, 20 k g ng, 21 p b m.
inline constexpr int kVisemeCount = 22;

// The viseme of a phoneme written in IPA, as the synthesiser names it. Stress and length marks
// are ignored. A pause (empty name) is 0; a phoneme the table does not know gives -1.
int visemeOfPhoneme(const std::string& ipa);

// A phoneme as the synthesiser reports it: its IPA name and the sample at which it starts.
struct PhonemeMark {
    std::string ipa;
    int64_t sample = 0;
};

// A viseme of an utterance: where it starts, how long it lasts, and its shape.
struct VisemeMark {
    int64_t sample = 0;       // first sample
    int durationMs = 0;       // until the next viseme starts; the last one ends with the audio
    uint32_t viseme = 0;      // 0..21
    uint32_t nextViseme = 0;  // the shape after it (0 after the last)
    uint32_t feature = 0;     // 1 when the phoneme carries stress
};

// Turns the phonemes of an utterance of `totalSamples` samples at `sampleRate` into visemes, one
// per phoneme, from the first sample on (leading silence is viseme 0); phonemes that take no time
// (a start equal to the next one's) are left out, and an unknown phoneme counts as silence.
std::vector<VisemeMark> visemesOf(const std::vector<PhonemeMark>& phonemes, int64_t totalSamples,
                                  int sampleRate);
