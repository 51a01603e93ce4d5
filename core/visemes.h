#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The 22 mouth shapes (visemes) of the speech engine:
//  0 silence, 1 ae ax ah, 2 aa, 3 ao, 4 ey eh uh, 5 er, 6 y iy ih ix, 7 w uw, 8 ow, 9 aw, 10 oy,
// 11 ay, 12 h, 13 r, 14 l, 15 s z, 16 sh ch jh zh, 17 th dh, 18 f v, 19 d t n, 20 k g ng, 21 p b m.
inline constexpr int kVisemeCount = 22;

// The viseme of a phoneme written in IPA, as the synthesiser names it. Stress and length marks
// are ignored. A pause (empty name) is 0; a phoneme the table does not know gives -1. A phoneme
// that is two sounds with shapes of their own ("ɑːɹ", "əl") gives the first.
int visemeOfPhoneme(const std::string& ipa);
// All the shapes of a phoneme, in order: one, or two for a phoneme of two sounds.
std::vector<int> visemesOfPhoneme(const std::string& ipa);

// The viseme of a phone of the CMU set as a synthesiser or a pronouncing dictionary names it
// ("hh", "pau", "AH0"): letter case and stress digits are ignored; "pau" is 0, an unknown phone -1.
int visemeOfCmuPhone(const std::string& phone);

// A phoneme as the synthesiser reports it: its IPA name and the sample at which it starts.
struct PhonemeMark {
    std::string ipa;
    int64_t sample = 0;
};

// A phone whose mouth shape is known: the sample at which it starts, its viseme (-1: unknown,
// shown as silence) and whether it carries stress.
struct ShapeMark {
    int64_t sample = 0;
    int viseme = 0;
    bool stressed = false;
};

// A viseme of speech rendered into a file stream: its shape and how long it lasts, as the viseme
// event of the same speech heard aloud gives them.
struct SpeechViseme {
    uint32_t id = 0;
    int durationMs = 0;
    bool operator==(const SpeechViseme&) const = default;
};

// A viseme of an utterance: where it starts, how long it lasts, and its shape.
struct VisemeMark {
    int64_t sample = 0;       // first sample
    int durationMs = 0;       // until the next viseme starts; the last one ends with the audio
    uint32_t viseme = 0;      // 0..21
    uint32_t nextViseme = 0;  // the shape after it (0 after the last)
    uint32_t feature = 0;     // 1 when the phoneme carries stress
};

// Turns the phones of an utterance of `totalSamples` samples at `sampleRate` into visemes, one
// per phone, from the first sample on (leading silence is viseme 0); an unknown phone counts as
// silence. Phones that start at the same sample share the time until the next later start
// evenly, in their order; only when that time is shorter than one sample each do the last of
// them get none and are left out.
std::vector<VisemeMark> visemesOf(const std::vector<ShapeMark>& phones, int64_t totalSamples,
                                  int sampleRate);
// The same for phonemes named in IPA; a phoneme of two sounds gives two visemes, which share its
// time as phonemes that start together do.
std::vector<VisemeMark> visemesOf(const std::vector<PhonemeMark>& phonemes, int64_t totalSamples,
                                  int sampleRate);
