#include "core/visemes.h"

#include <algorithm>
#include <cctype>
#include <string_view>
#include <unordered_map>

namespace {

// The shapes of a phoneme: one, or two that share its time.
struct Shapes {
    int first = -1;
    int second = -1;
};

// IPA phonemes of the languages the synthesiser speaks, by mouth shape. Diphthongs and
// affricates are listed whole; anything else is looked up by its first letter.
const std::unordered_map<std::string_view, Shapes>& phonemeTable() {
    static const std::unordered_map<std::string_view, Shapes> table = [] {
        // Each group lists its phonemes separated by blanks.
        static constexpr std::pair<int, std::string_view> groups[] = {
            {0, "ʔ _ | ||"},
            {1, "æ ə ʌ ɐ a ɜ̃"},
            {2, "ɑ ä ɑ̃"},
            {3, "ɔ ɒ ɔ̃"},
            {4, "e ɛ ʊ eɪ eə ɛə ɛ̃ ẽ"},
            {5, "ɜ ɝ ɚ əɹ ɜɹ"},
            {6, "j i ɪ ɨ ᵻ iə ɪə ĩ"},
            {7, "w u y ʏ ɯ ʉ ʊə ʍ ɥ ũ"},
            {8, "o oʊ əʊ ø œ ɵ õ œ̃"},
            {9, "aʊ"},
            {10, "ɔɪ ɔø ɔʏ oɪ ɔy"},
            {11, "aɪ ʌɪ ɑɪ ae"},
            {12, "h ɦ ç x χ ħ"},
            {13, "r ɹ ʁ ʀ ɻ ɽ ɐ̯"},
            {14, "l ɫ ɬ ʎ l̩"},
            {15, "s z ts dz"},
            {16, "ʃ ʒ tʃ dʒ ɕ ʑ tɕ dʑ ʂ ʐ"},
            {17, "θ ð"},
            {18, "f v ɸ β ʋ"},
            {19, "d t n ɾ ɲ ɳ ɗ ʈ ɖ n̩"},
            {20, "k g ɡ ŋ q ɣ ɢ kh"},
            {21, "p b m ɱ pf m̩"},
        };
        // Phonemes that are two sounds with shapes of their own: a vowel with the r it colours
        // (the American "car", "for", "more", "there", "here", "sure", "fire", "flower"), a
        // vowel that ends in a second syllable ("quiet", "hour"), and the l that takes a
        // vowel with it ("little").
        static constexpr std::pair<std::string_view, Shapes> pairs[] = {
            {"ɑɹ", {2, 13}},  {"ɔɹ", {3, 13}}, {"oɹ", {3, 13}},  {"ɛɹ", {4, 13}},
            {"ʊɹ", {4, 13}},  {"ɪɹ", {6, 13}}, {"aɪɚ", {11, 5}}, {"aʊɚ", {9, 5}},
            {"aɪə", {11, 1}}, {"aʊə", {9, 1}}, {"əl", {1, 14}},
        };
        std::unordered_map<std::string_view, Shapes> t;
        for (const auto& [viseme, names] : groups) {
            for (size_t at = 0; at < names.size();) {
                const size_t blank = std::min(names.find(' ', at), names.size());
                t.emplace(names.substr(at, blank - at), Shapes{viseme});
                at = blank + 1;
            }
        }
        for (const auto& [name, shapes] : pairs) t.emplace(name, shapes);
        return t;
    }();
    return table;
}

// Removes the stress marks (ˈ ˌ) and length marks (ː ˑ), and the synthesiser's language switch
// markers such as "(en)".
std::string stripMarks(const std::string& ipa, bool* stressed) {
    static const std::string_view marks[] = {"ˈ", "ˌ", "ː", "ˑ", "'", ",", ":"};
    std::string out;
    for (size_t i = 0; i < ipa.size();) {
        bool skipped = false;
        for (std::string_view mark : marks) {
            if (ipa.compare(i, mark.size(), mark) == 0) {
                if (stressed && (mark == "ˈ" || mark == "'")) *stressed = true;
                i += mark.size();
                skipped = true;
                break;
            }
        }
        if (!skipped) out += ipa[i++];
    }
    if (out.size() >= 2 && out.front() == '(' && out.back() == ')') return {};
    return out;
}

size_t firstCodePointLength(const std::string& s) {
    if (s.empty()) return 0;
    const auto lead = static_cast<unsigned char>(s[0]);
    const size_t n = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    return std::min(n, s.size());
}

Shapes shapesOf(const std::string& ipa) {
    const std::string name = stripMarks(ipa, nullptr);
    if (name.empty()) return {0};
    const auto& table = phonemeTable();
    if (const auto it = table.find(name); it != table.end()) return it->second;
    // A combining mark or a second letter the table does not list: the first letter decides.
    if (const auto it = table.find(name.substr(0, firstCodePointLength(name))); it != table.end())
        return {it->second.first};
    return {};
}

}  // namespace

int visemeOfPhoneme(const std::string& ipa) {
    return shapesOf(ipa).first;
}

std::vector<int> visemesOfPhoneme(const std::string& ipa) {
    const Shapes shapes = shapesOf(ipa);
    if (shapes.second < 0) return {shapes.first};
    return {shapes.first, shapes.second};
}

int visemeOfCmuPhone(const std::string& phone) {
    // The shapes by the phones of the CMU set, with the names Flite gives its own phones: "pau"
    // for silence, "hh" (and "hv") for h, "ax" and "axr" for the reduced vowels, "dx" for the
    // flap, "el", "em", "en" and "nx" for the syllabic and nasal variants.
    static const std::unordered_map<std::string_view, int> table = {
        {"pau", 0}, {"h#", 0},  {"ae", 1},  {"ax", 1},  {"ah", 1},  {"aa", 2},  {"ao", 3},
        {"ey", 4},  {"eh", 4},  {"uh", 4},  {"er", 5},  {"axr", 5}, {"y", 6},   {"iy", 6},
        {"ih", 6},  {"ix", 6},  {"w", 7},   {"uw", 7},  {"ow", 8},  {"aw", 9},  {"oy", 10},
        {"ay", 11}, {"h", 12},  {"hh", 12}, {"hv", 12}, {"r", 13},  {"l", 14},  {"el", 14},
        {"s", 15},  {"z", 15},  {"sh", 16}, {"ch", 16}, {"jh", 16}, {"zh", 16}, {"th", 17},
        {"dh", 17}, {"f", 18},  {"v", 18},  {"d", 19},  {"t", 19},  {"n", 19},  {"dx", 19},
        {"nx", 19}, {"en", 19}, {"k", 20},  {"g", 20},  {"ng", 20}, {"p", 21},  {"b", 21},
        {"m", 21},  {"em", 21},
    };
    std::string name;
    for (const char c : phone) {
        if (c >= '0' && c <= '9') continue;
        name += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    const auto it = table.find(name);
    return it == table.end() ? -1 : it->second;
}

std::vector<VisemeMark> visemesOf(const std::vector<ShapeMark>& phones, int64_t totalSamples,
                                  int sampleRate) {
    // Each phone starts where it says, but never before the phone ahead of it, and within the
    // audio.
    std::vector<int64_t> starts(phones.size());
    for (size_t i = 0; i < phones.size(); ++i)
        starts[i] =
            std::clamp<int64_t>(std::max(phones[i].sample, i ? starts[i - 1] : 0), 0, totalSamples);
    std::vector<VisemeMark> marks;
    for (size_t first = 0; first < phones.size();) {
        // The phones that start together share the time until the next later start evenly,
        // in their order; when it is too short for all of them, the first take a sample each.
        size_t last = first + 1;
        while (last < phones.size() && starts[last] == starts[first]) ++last;
        const int64_t start = starts[first];
        const int64_t span = (last < phones.size() ? starts[last] : totalSamples) - start;
        const int64_t sharing = std::min<int64_t>(static_cast<int64_t>(last - first), span);
        for (int64_t k = 0; k < sharing; ++k) {
            const ShapeMark& phone = phones[first + static_cast<size_t>(k)];
            VisemeMark mark;
            mark.sample = start + span * k / sharing;
            mark.viseme = static_cast<uint32_t>(std::max(phone.viseme, 0));
            mark.feature = phone.stressed ? 1 : 0;
            marks.push_back(mark);
        }
        first = last;
    }
    // The audio before the first phone is silence; it is a viseme of its own, so that the
    // visemes cover the utterance from its first sample.
    if (!marks.empty() && marks.front().sample > 0) marks.insert(marks.begin(), VisemeMark{});
    // Durations in whole milliseconds that add up to the length of the audio: each viseme lasts
    // from its own start to the next one's, measured on the same rounded clock.
    const auto ms = [sampleRate](int64_t sample) {
        return static_cast<int>((sample * 1000 + sampleRate / 2) / sampleRate);
    };
    for (size_t i = 0; i < marks.size(); ++i) {
        const int64_t end = i + 1 < marks.size() ? marks[i + 1].sample : totalSamples;
        marks[i].durationMs = ms(end) - ms(marks[i].sample);
        marks[i].nextViseme = i + 1 < marks.size() ? marks[i + 1].viseme : 0;
    }
    return marks;
}

std::vector<VisemeMark> visemesOf(const std::vector<PhonemeMark>& phonemes, int64_t totalSamples,
                                  int sampleRate) {
    std::vector<ShapeMark> phones;
    phones.reserve(phonemes.size());
    for (const PhonemeMark& p : phonemes) {
        ShapeMark phone;
        phone.sample = p.sample;
        stripMarks(p.ipa, &phone.stressed);
        const Shapes shapes = shapesOf(p.ipa);
        phone.viseme = shapes.first;
        phones.push_back(phone);
        // The second shape starts with the first, so that they share the phoneme's time.
        if (shapes.second >= 0) {
            phone.viseme = shapes.second;
            phones.push_back(phone);
        }
    }
    return visemesOf(phones, totalSamples, sampleRate);
}
