// The pronunciations file: any bytes read as a list give entries that the editor would accept;
// the list written and read again is the same list, with nothing left out, and writes the same
// bytes again. The spoken text of every line of the input with that list: where each spoken form
// is its own written form, it is the line again, letter for letter but for case.

#include <QChar>
#include <QList>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/pronunciations.h"
#include "require.h"

namespace {

bool isUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).toStdString() ==
           text;
}

std::u32string folded(const std::string& text) {
    std::u32string out;
    for (const uint c : QString::fromStdString(text).toUcs4()) out += QChar::toCaseFolded(c);
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> problems;
    const PronunciationList list = decodePronunciations(bytes, &problems);
    for (const Pronunciation& p : list)
        require(pronunciationProblem(p.written, p.spoken).empty(), "a read entry has no problem");

    const std::string written = encodePronunciations(list);
    const PronunciationList again = decodePronunciations(written, &problems);
    require(again == list, "the written list reads as the same list");
    require(problems.empty(), "the written list reads with nothing left out");
    require(encodePronunciations(again) == written, "the list read back writes the same bytes");

    PronunciationList same = list;
    for (Pronunciation& p : same) p.spoken = p.written;
    const bool utf8 = isUtf8(bytes);
    size_t start = 0;
    while (start <= bytes.size()) {
        const size_t end = std::min(bytes.find('\n', start), bytes.size());
        const std::string line = bytes.substr(start, end - start);
        start = end + 1;
        require(spokenText(line, {}) == line, "without a list a phrase is spoken as it stands");
        const std::string spoken = spokenText(line, list);
        if (list.empty()) require(spoken == line, "an empty list changes nothing");
        if (utf8)
            require(folded(spokenText(line, same)) == folded(line),
                    "written forms spoken as written give the phrase back");
    }
    return 0;
}
