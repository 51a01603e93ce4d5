// The mouth shapes of phonemes and phones, and the visemes of an utterance.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "core/visemes.h"

TEST(Visemes, PhonemesMapOntoTheTwentyTwoShapes) {
    // The shape set of the engine, phoneme by phoneme (IPA for the ARPAbet names of the set).
    const std::pair<const char*, int> table[] = {
        {"", 0},
        {"_", 0},
        {"æ", 1},
        {"ə", 1},
        {"ʌ", 1},
        {"ɑː", 2},
        {"ɔː", 3},
        {"eɪ", 4},
        {"ɛ", 4},
        {"ʊ", 4},
        {"ɜː", 5},
        {"ɚ", 5},
        {"j", 6},
        {"iː", 6},
        {"ɪ", 6},
        {"ᵻ", 6},
        {"w", 7},
        {"uː", 7},
        {"əʊ", 8},
        {"oʊ", 8},
        {"aʊ", 9},
        {"ɔɪ", 10},
        {"aɪ", 11},
        {"h", 12},
        {"ɹ", 13},
        {"r", 13},
        {"l", 14},
        {"s", 15},
        {"z", 15},
        {"ʃ", 16},
        {"tʃ", 16},
        {"dʒ", 16},
        {"ʒ", 16},
        {"θ", 17},
        {"ð", 17},
        {"f", 18},
        {"v", 18},
        {"d", 19},
        {"t", 19},
        {"n", 19},
        {"k", 20},
        {"ɡ", 20},
        {"g", 20},
        {"ŋ", 20},
        {"p", 21},
        {"b", 21},
        {"m", 21},
        // Stress and length marks do not count; German sounds find their nearest shape.
        {"ˈaɪ", 11},
        {"ˌoː", 8},
        {"ç", 12},
        {"x", 12},
        {"ts", 15},
        {"pf", 21},
        {"yː", 7},
        {"øː", 8},
        {"ɔø", 10},
        {"ʁ", 13},
        {"(en)", 0},
        {"ǂ", -1},
    };
    for (const auto& [ipa, viseme] : table) EXPECT_EQ(visemeOfPhoneme(ipa), viseme) << ipa;
}

TEST(Visemes, CmuPhonesMapOntoTheTwentyTwoShapes) {
    // Every phone of the set, with Flite's names for silence and h, and the dictionary's
    // upper-case names with stress digits.
    const std::pair<const char*, int> table[] = {
        {"pau", 0}, {"ae", 1},  {"ax", 1},  {"ah", 1},  {"AH0", 1}, {"aa", 2},  {"ao", 3},
        {"ey", 4},  {"eh", 4},  {"uh", 4},  {"er", 5},  {"ER1", 5}, {"axr", 5}, {"y", 6},
        {"iy", 6},  {"ih", 6},  {"ix", 6},  {"w", 7},   {"uw", 7},  {"ow", 8},  {"aw", 9},
        {"oy", 10}, {"ay", 11}, {"hh", 12}, {"HH", 12}, {"r", 13},  {"l", 14},  {"s", 15},
        {"z", 15},  {"sh", 16}, {"ch", 16}, {"jh", 16}, {"zh", 16}, {"th", 17}, {"dh", 17},
        {"f", 18},  {"v", 18},  {"d", 19},  {"t", 19},  {"n", 19},  {"dx", 19}, {"k", 20},
        {"g", 20},  {"ng", 20}, {"p", 21},  {"b", 21},  {"m", 21},  {"", -1},   {"q", -1},
        {"ʃ", -1},
    };
    for (const auto& [phone, viseme] : table) EXPECT_EQ(visemeOfCmuPhone(phone), viseme) << phone;
}

TEST(Visemes, CoverTheUtteranceAndShareTheTimeOfPhonemesThatStartTogether) {
    struct Mark {
        int64_t sample;
        uint32_t viseme;
        int durationMs;
    };
    const struct {
        const char* what;
        std::vector<PhonemeMark> phonemes;
        int64_t total;
        int rate;
        std::vector<Mark> marks;
    } cases[] = {
        {"silence first; the unknown ǂ is silence",
         {{"h", 220}, {"ˈəʊ", 4410}, {"ǂ", 8820}},
         11025,
         22050,
         {{0, 0, 10}, {220, 12, 190}, {4410, 8, 200}, {8820, 0, 100}}},
        {"l, z and a pause at the same moment share the time to the end",
         {{"s", 0}, {"ɛ", 1000}, {"l", 3000}, {"z", 3000}, {"", 3000}},
         4500,
         10000,
         {{0, 15, 100}, {1000, 4, 200}, {3000, 14, 50}, {3500, 15, 50}, {4000, 0, 50}}},
        {"two phonemes at once, then the next one",
         {{"ə", 1100}, {"", 1100}, {"l", 2205}},
         4410,
         22050,
         {{0, 0, 50}, {1100, 1, 25}, {1652, 0, 25}, {2205, 14, 100}}},
        {"two samples for three: the last gets none",
         {{"p", 0}, {"b", 100}, {"t", 100}, {"f", 100}, {"s", 102}},
         200,
         1000,
         {{0, 21, 100}, {100, 21, 1}, {101, 19, 1}, {102, 15, 98}}},
        {"a start before the one ahead counts from there; beyond the audio, nothing",
         {{"t", 0}, {"ɪ", 50}, {"k", 30}, {"s", 300}},
         200,
         1000,
         {{0, 19, 50}, {50, 6, 75}, {125, 20, 75}}},
        {"a vowel with its r, and the l that takes a vowel with it: two shapes each",
         {{"k", 0}, {"ˈɑːɹ", 100}, {"əl", 300}, {"", 400}},
         500,
         1000,
         {{0, 20, 100}, {100, 2, 100}, {200, 13, 100}, {300, 1, 50}, {350, 14, 50}, {400, 0, 100}}},
        {"nothing", {}, 0, 22050, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto marks = visemesOf(c.phonemes, c.total, c.rate);
        ASSERT_EQ(marks.size(), c.marks.size());
        int sum = 0;
        for (size_t i = 0; i < marks.size(); ++i) {
            EXPECT_EQ(marks[i].sample, c.marks[i].sample) << i;
            EXPECT_EQ(marks[i].viseme, c.marks[i].viseme) << i;
            EXPECT_EQ(marks[i].durationMs, c.marks[i].durationMs) << i;
            EXPECT_EQ(marks[i].nextViseme, i + 1 < marks.size() ? c.marks[i + 1].viseme : 0u);
            sum += marks[i].durationMs;
        }
        EXPECT_EQ(sum, (c.total * 1000 + c.rate / 2) / c.rate);  // the length of the audio
    }
    // A stressed phoneme carries the feature.
    const auto stressed = visemesOf(std::vector<PhonemeMark>{{"ˈaɪ", 0}, {"ə", 10}}, 20, 1000);
    EXPECT_EQ(stressed[0].feature, 1u);
    EXPECT_EQ(stressed[1].feature, 0u);
}
