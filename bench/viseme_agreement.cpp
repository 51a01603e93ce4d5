// How well the visemes of generated speech agree with a pronouncing dictionary, per English
// voice of every synthesiser.
//
// Each phrase (a word of bench/viseme_words.txt, or one of the sentences below) is rendered by
// the voice as the audible pass renders it; its visemes are the lines its viseme log gets. The
// ids, with silence (0) dropped and repeats collapsed, are set against the first pronunciation of
// each word in the CMU dictionary (read from `cmudict-en-us.dict`) mapped through the same
// 22-shape table and treated the same way. A phrase scores 1 - edit distance / length of the
// dictionary's sequence; the figures are the averages per voice.
//
// Usage: viseme_agreement [--why] [dictionary] [word list]
//   --why  for libespeak-ng's voices, also the phonemes most often behind a disagreement.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "core/text16.h"
#include "core/visemes.h"
#include "platform/espeak_synth.h"
#include "platform/flite_synth.h"

namespace {

const char* const kSentences[] = {
    "Hello, how can I help you today?",
    "You will find our prices on the offers page.",
    "We are open from nine to five, Monday to Friday.",
    "Just send us an email, and we will answer quickly.",
    "Delivery usually takes two to three working days.",
    "Thank you for your visit, and have a nice day!",
    "You can pay by invoice, direct debit or credit card.",
    "Our support team is happy to help with every product.",
    "She sells sea shells by the sea shore.",
    "The quick brown fox jumps over the lazy dog.",
    "Please call me back when you have a moment.",
    "All of our shops are closed on public holidays.",
    "Your order has been shipped and will arrive soon.",
    "Would you like to speak to one of our staff?",
    "Click the button below to start again.",
    "I am sorry, but I did not understand your question.",
    "The weather will be warm and sunny all week.",
    "Tell me what you are looking for, and I will show you the way.",
    "Every room has a view of the garden and the river.",
    "We will be glad to see you again next time.",
};

// Silence dropped, repeats collapsed.
std::vector<int> condensed(const std::vector<int>& ids) {
    std::vector<int> out;
    for (const int id : ids)
        if (id > 0 && (out.empty() || out.back() != id)) out.push_back(id);
    return out;
}

size_t editDistance(const std::vector<int>& a, const std::vector<int>& b) {
    std::vector<size_t> row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            const size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1])});
            diagonal = above;
        }
    }
    return row[b.size()];
}

// The words of a phrase, in lower case, as the dictionary writes them.
std::vector<std::string> wordsOf(const std::string& phrase) {
    std::vector<std::string> words;
    std::string word;
    for (const char c : phrase + " ") {
        if (std::isalpha(static_cast<unsigned char>(c)) || (c == '\'' && !word.empty())) {
            word += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        } else if (!word.empty()) {
            words.push_back(word);
            word.clear();
        }
    }
    return words;
}

struct Dictionary {
    std::map<std::string, std::vector<std::string>> phones;  // the first pronunciation

    bool load(const std::string& path) {
        std::ifstream in(path);
        std::string line;
        while (std::getline(in, line)) {
            std::istringstream fields(line);
            std::string word, phone;
            fields >> word;
            if (word.empty() || word.find('(') != std::string::npos) continue;
            std::vector<std::string>& out = phones[word];
            if (!out.empty()) continue;
            while (fields >> phone) out.push_back(phone);
        }
        return !phones.empty();
    }

    // The dictionary's phones of a phrase; false when a word is not in it.
    bool phonesOf(const std::string& phrase, std::vector<std::string>& out) const {
        out.clear();
        for (const std::string& word : wordsOf(phrase)) {
            const auto it = phones.find(word);
            if (it == phones.end()) return false;
            out.insert(out.end(), it->second.begin(), it->second.end());
        }
        return true;
    }
};

std::vector<int> idsOfPhones(const std::vector<std::string>& phones) {
    std::vector<int> ids;
    for (const std::string& phone : phones) ids.push_back(visemeOfCmuPhone(phone));
    return ids;
}

struct Score {
    double sum = 0;
    int count = 0;
    void add(double s) { sum += s, ++count; }
    double percent() const { return count ? 100.0 * sum / count : 0; }
};

double scoreOf(const std::vector<int>& heard, const std::vector<int>& expected) {
    const std::vector<int> a = condensed(heard), b = condensed(expected);
    if (b.empty()) return a.empty() ? 1 : 0;
    return 1.0 - double(editDistance(a, b)) / double(b.size());
}

// For libespeak-ng: which of its phonemes stand where the dictionary wants another shape.
// Aligns the dictionary's phones with the phonemes (by their shapes, treated as the score treats
// them) and
// counts "dictionary phone -> phoneme" for every substitution, "- -> phoneme" for every phoneme
// too many and "phone -> -" for every phone missing.
void tallyDisagreements(const std::vector<std::string>& phones, const std::vector<PhonemeMark>& ph,
                        std::map<std::string, int>& tally) {
    std::vector<std::pair<std::string, int>> a, b;  // name, shape
    const auto keep = [](std::vector<std::pair<std::string, int>>& out, const std::string& name,
                         int shape) {
        if (shape != 0 && (out.empty() || out.back().second != shape))
            out.emplace_back(name, shape);
    };
    for (const std::string& p : phones) keep(b, p, visemeOfCmuPhone(p));
    for (const PhonemeMark& p : ph)
        for (const int v : visemesOfPhoneme(p.ipa)) keep(a, p.ipa, v);
    const size_t n = a.size(), m = b.size();
    std::vector<std::vector<size_t>> d(n + 1, std::vector<size_t>(m + 1));
    for (size_t i = 0; i <= n; ++i) d[i][0] = i;
    for (size_t j = 0; j <= m; ++j) d[0][j] = j;
    for (size_t i = 1; i <= n; ++i)
        for (size_t j = 1; j <= m; ++j)
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1,
                                d[i - 1][j - 1] + (a[i - 1].second != b[j - 1].second)});
    for (size_t i = n, j = m; i > 0 || j > 0;) {
        if (i > 0 && j > 0 && d[i][j] == d[i - 1][j - 1] + (a[i - 1].second != b[j - 1].second)) {
            if (a[i - 1].second != b[j - 1].second)
                ++tally[b[j - 1].first + " -> " + a[i - 1].first];
            --i, --j;
        } else if (i > 0 && d[i][j] == d[i - 1][j] + 1) {
            ++tally["- -> " + a[i - 1].first];
            --i;
        } else {
            ++tally[b[j - 1].first + " -> -"];
            --j;
        }
    }
}

std::string espeakId(const std::string& description) {
    // The voices whose disagreements are explained: libespeak-ng's English ones by their ids.
    static const std::map<std::string, std::string> ids = {
        {"English (America)", "gmw/en-US"},
        {"English (America, female)", "gmw/en-US+f5"},
        {"English (Great Britain)", "gmw/en"},
        {"English (Great Britain, female)", "gmw/en+f5"},
    };
    const auto it = ids.find(description);
    return it == ids.end() ? "" : it->second;
}

}  // namespace

int main(int argc, char** argv) {
    bool why = false;
    std::vector<std::string> paths;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--why") == 0)
            why = true;
        else
            paths.push_back(argv[i]);
    }
    const std::string dictionaryPath =
        paths.size() > 0 ? paths[0] : "/usr/share/pocketsphinx/model/en-us/cmudict-en-us.dict";
    const std::string wordsPath = paths.size() > 1 ? paths[1] : VISEME_WORDS;

    Dictionary dictionary;
    if (!dictionary.load(dictionaryPath)) {
        std::fprintf(stderr,
                     "The pronouncing dictionary %s cannot be read (Debian's pocketsphinx-en-us "
                     "has it).\n",
                     dictionaryPath.c_str());
        return 1;
    }
    std::vector<std::string> words;
    {
        std::ifstream in(wordsPath);
        std::string line, word;
        while (std::getline(in, line)) {
            if (line.empty() || line[0] == '#') continue;
            std::istringstream fields(line);
            while (fields >> word) words.push_back(word);
        }
    }
    // The phrases with the dictionary's shapes; those with a word it lacks are left out.
    struct Phrase {
        std::string text;
        std::vector<std::string> phones;
        bool sentence;
    };
    std::vector<Phrase> phrases;
    int missing = 0;
    for (const std::string& word : words) {
        Phrase p{word, {}, false};
        if (dictionary.phonesOf(word, p.phones))
            phrases.push_back(p);
        else
            ++missing;
    }
    for (const char* sentence : kSentences) {
        Phrase p{sentence, {}, true};
        if (dictionary.phonesOf(sentence, p.phones))
            phrases.push_back(p);
        else
            ++missing;
    }
    const auto sentences =
        std::count_if(phrases.begin(), phrases.end(), [](const Phrase& p) { return p.sentence; });
    std::printf(
        "Viseme agreement with %s\n%zu words, %ld sentences (%d phrases not in the "
        "dictionary left out)\n\n",
        dictionaryPath.c_str(), phrases.size() - static_cast<size_t>(sentences), sentences,
        missing);
    std::printf("%-34s %-10s %8s %10s %8s\n", "voice", "vendor", "words", "sentences", "all");

    const std::unique_ptr<Synthesiser> synthesisers[] = {makeEspeakSynthesiser(),
                                                         makeFliteSynthesiser()};
    std::map<std::string, std::map<std::string, int>> reasons;
    for (const auto& synthesiser : synthesisers) {
        for (const Ref<ISpeechObjectToken>& voice : synthesiser->voices()) {
            const std::string language = toUtf8(voice->GetAttribute(u"Language"));
            if (language.rfind("en", 0) != 0) continue;
            const std::string name = toUtf8(voice->GetDescription(0));
            Score wordScore, sentenceScore, all;
            for (const Phrase& p : phrases) {
                const RenderedSpeech speech = synthesiser->render(*voice, 0, 100, p.text);
                std::vector<int> heard;
                for (const VisemeMark& v : speech.visemes) heard.push_back(int(v.viseme));
                const double s = scoreOf(heard, idsOfPhones(p.phones));
                (p.sentence ? sentenceScore : wordScore).add(s);
                all.add(s);
                if (why && !espeakId(name).empty() && s < 1)
                    tallyDisagreements(p.phones,
                                       renderSpeech(espeakId(name), 175, 100, p.text).phonemes,
                                       reasons[name]);
            }
            std::printf("%-34s %-10s %7.1f%% %9.1f%% %7.1f%%\n", name.c_str(),
                        toUtf8(voice->GetAttribute(u"Vendor")).c_str(), wordScore.percent(),
                        sentenceScore.percent(), all.percent());
            std::fflush(stdout);
        }
    }
    for (const auto& [name, tally] : reasons) {
        std::vector<std::pair<int, std::string>> top;
        for (const auto& [pair, count] : tally) top.emplace_back(count, pair);
        std::sort(top.rbegin(), top.rend());
        std::printf("\n%s: dictionary phone -> phoneme, most frequent disagreements\n",
                    name.c_str());
        for (size_t i = 0; i < top.size() && i < 25; ++i)
            std::printf("  %5d  %s\n", top[i].first, top[i].second.c_str());
    }
    return 0;
}
