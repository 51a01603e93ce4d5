#include "visemes.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>

namespace {

// IPA phonemes of the languages the synthesiser speaks, by mouth shape. Diphthongs and
// affricates are listed whole; anything else is looked up by its first letter.
const std::unordered_map<std::string_view, int>& phonemeTable() {
    static const std::unordered_map<std::string_view, int> table = [] {
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
            {9, "aʊ aʊə"},
            {10, "ɔɪ ɔø ɔʏ oɪ ɔy"},
            {11, "aɪ aɪə ʌɪ ɑɪ ae"},
            {12, "h ɦ ç x χ ħ"},
            {13, "r ɹ ʁ ʀ ɻ ɽ ɐ̯"},
            {14, "l ɫ ɬ ʎ əl l̩"},
            {15, "s z ts dz"},
            {16, "ʃ ʒ tʃ dʒ ɕ ʑ tɕ dʑ ʂ ʐ"},
            {17, "θ ð"},
            {18, "f v ɸ β ʋ"},
            {19, "d t n ɾ ɲ ɳ ɗ ʈ ɖ n̩"},
            {20, "k g ɡ ŋ q ɣ ɢ kh"},
            {21, "p b m ɱ pf m̩"},
        };
        std::unordered_map<std::string_view, int> t;
        for (const auto& [viseme, names] : groups) {
            for (size_t at = 0; at < names.size();) {
                const size_t blank = std::min(names.find(' ', at), names.size());
                t.emplace(names.substr(at, blank - at), viseme);
                at = blank + 1;
            }
        }
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

}  // namespace

int visemeOfPhoneme(const std::string& ipa) {
    const std::string name = stripMarks(ipa, nullptr);
    if (name.empty()) return 0;
    const auto& table = phonemeTable();
    if (const auto it = table.find(name); it != table.end()) return it->second;
    // A combining mark or a second letter the table does not list: the first letter decides.
    if (const auto it = table.find(name.substr(0, firstCodePointLength(name))); it != table.end())
        return it->second;
    return -1;
}

std::vector<VisemeMark> visemesOf(const std::vector<PhonemeMark>& phonemes, int64_t totalSamples,
                                  int sampleRate) {
    std::vector<VisemeMark> marks;
    for (size_t i = 0; i < phonemes.size(); ++i) {
        const int64_t start = std::clamp<int64_t>(phonemes[i].sample, 0, totalSamples);
        const int64_t end = i + 1 < phonemes.size()
                                ? std::clamp<int64_t>(phonemes[i + 1].sample, start, totalSamples)
                                : totalSamples;
        if (end <= start) continue;
        bool stressed = false;
        stripMarks(phonemes[i].ipa, &stressed);
        const int viseme = visemeOfPhoneme(phonemes[i].ipa);
        VisemeMark mark;
        mark.sample = start;
        mark.viseme = static_cast<uint32_t>(std::max(viseme, 0));
        mark.feature = stressed ? 1 : 0;
        marks.push_back(mark);
    }
    // The audio before the first phoneme is silence; it is a viseme of its own, so that the
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
