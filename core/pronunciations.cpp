#include "core/pronunciations.h"

#include <sys/stat.h>

#include <QChar>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <unordered_map>

#include "core/errors.h"
#include "core/fileio.h"
#include "core/paths.h"
#include "core/phrase_file.h"

namespace {

constexpr const char* kFileName = "pronunciations.txt";
constexpr const char* kByteOrderMark = "\xEF\xBB\xBF";

// One character of UTF-8 text at a byte offset. A byte that does not start a standard sequence
// (a following byte out of place, an overlong form, a surrogate, a sequence cut off by the end,
// anything beyond U+10FFFF) is one character U+FFFD, and not valid.
struct Character {
    char32_t code;
    size_t length;
    bool valid;
};

Character characterAt(const std::string& text, size_t i) {
    const auto at = [&text](size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned lead = at(i);
    if (lead < 0x80) return {lead, 1, true};
    const Character invalid{0xFFFD, 1, false};
    const size_t length = lead >= 0xC2 && lead <= 0xDF   ? 2
                          : lead >= 0xE0 && lead <= 0xEF ? 3
                          : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                         : 0;
    if (length == 0 || text.size() - i < length) return invalid;
    for (size_t k = 1; k < length; ++k)
        if ((at(i + k) & 0xC0) != 0x80) return invalid;
    const unsigned second = at(i + 1);
    if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second >= 0xA0) ||
        (lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second >= 0x90))
        return invalid;
    char32_t code = lead & (0x7Fu >> length);
    for (size_t k = 1; k < length; ++k) code = code << 6 | (at(i + k) & 0x3Fu);
    return {code, length, true};
}

std::u32string charactersOf(const std::string& text) {
    std::u32string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        const Character c = characterAt(text, i);
        out += c.code;
        i += c.length;
    }
    return out;
}

// The offset of the first byte that is not standard UTF-8, or npos.
size_t firstInvalidByte(const std::string& text) {
    for (size_t i = 0; i < text.size();) {
        const Character c = characterAt(text, i);
        if (!c.valid) return i;
        i += c.length;
    }
    return std::string::npos;
}

// The number of the line (from 1) that the byte at `offset` stands on.
int lineAt(const std::string& text, size_t offset) {
    int line = 1;
    for (size_t i = 0; i < offset; ++i) {
        if (text[i] == '\n' || (text[i] == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n')))
            ++line;
    }
    return line;
}

// A part of a word: a letter, a digit, or a mark that combines with the character before it.
bool isWordCharacter(char32_t c) {
    return QChar::isLetterOrNumber(c) || QChar::isMark(c);
}

bool isLow(char c) {
    return static_cast<unsigned char>(c) <= 32;
}

// A text as a message quotes it: control characters as blanks, at most 40 characters.
std::string excerpt(const std::string& text) {
    std::string out;
    size_t characters = 0;
    for (size_t i = 0; i < text.size();) {
        if (characters == 40) return out + "...";
        const size_t length = characterAt(text, i).length;
        if (static_cast<unsigned char>(text[i]) < 32)
            out += ' ';
        else
            out.append(text, i, length);
        i += length;
        ++characters;
    }
    return out;
}

// What is wrong with one form of an entry, `name` saying which ("the written form "GmbH"").
std::string formProblem(const std::string& text, const std::string& name) {
    if (text.find_first_of("\r\n") != std::string::npos)
        return name + " may not contain a line break";
    if (text.find('\0') != std::string::npos) return name + " may not contain a NUL character";
    // A byte-order mark (a zero-width blank) at the start of a written form would be taken for
    // the file's own when the entry is the first.
    if (isLow(text.front()) || isLow(text.back()) || text.compare(0, 3, kByteOrderMark) == 0)
        return name + " may not begin or end with a blank";
    return {};
}

// The problem of an entry, starting in lower case so that it can follow "Line 3 was left out: ".
std::string problemOf(const std::string& written, const std::string& spoken) {
    const std::string w = excerpt(written);
    if (trimmed(written).empty()) return "the written form is empty";
    if (written.find('=') != std::string::npos)
        return format("the written form \"%s\" may not contain an equals sign (\"=\")", w.c_str());
    if (std::string problem = formProblem(written, format("the written form \"%s\"", w.c_str()));
        !problem.empty())
        return problem;
    const std::string spokenName = format("the spoken form of \"%s\"", w.c_str());
    if (trimmed(spoken).empty()) return spokenName + " is empty";
    return formProblem(spoken, spokenName);
}

AppError unreadable(const std::string& path, const std::string& why) {
    return AppError(errkind::kFileOpen,
                    format("Cannot open file \"%s\". %s", absolutePath(path).c_str(), why.c_str()));
}

AppError tooLarge(const std::string& path, long long size) {
    return unreadable(path, format("The file holds %lld bytes, more than the 1 MiB that a list of "
                                   "pronunciations may hold",
                                   size));
}

// Whether the bot's file reads as a list with nothing left out.
bool readsWhole(const std::string& botFolder) {
    try {
        std::vector<std::string> problems;
        readPronunciations(botFolder, &problems);
        return problems.empty();
    } catch (const AppError&) {
        return false;
    }
}

// A written form made ready for matching.
struct Candidate {
    std::u32string written;  // case-folded unless the case must match
    bool exactCase;
    bool wordAtStart, wordAtEnd;  // whether it begins, ends with a part of a word
    const std::string* spoken;
};

// Whether the written form has a capital after its first letter: then its case must match.
bool keepsCase(const std::u32string& written) {
    bool letterSeen = false;
    for (const char32_t c : written) {
        if (!QChar::isLetter(c)) continue;
        if (letterSeen && (QChar::isUpper(c) || QChar::isTitleCase(c))) return true;
        letterSeen = true;
    }
    return false;
}

}  // namespace

std::string pronunciationProblem(const std::string& written, const std::string& spoken) {
    std::string problem = problemOf(written, spoken);
    if (!problem.empty()) problem[0] = 'T';  // every problem begins with "the"
    return problem;
}

std::string encodePronunciations(const PronunciationList& list) {
    size_t size = 0;
    for (const Pronunciation& p : list) size += p.written.size() + p.spoken.size() + 3;
    std::string bytes;
    bytes.reserve(size);
    for (const Pronunciation& p : list) {
        const std::string problem = pronunciationProblem(p.written, p.spoken);
        if (!problem.empty()) throw AppError(errkind::kEdit, problem);
        bytes += p.written;
        bytes += '=';
        bytes += p.spoken;
        bytes += "\r\n";
    }
    return bytes;
}

PronunciationList decodePronunciations(const std::string& bytes,
                                       std::vector<std::string>* problems) {
    if (problems) problems->clear();
    PronunciationList list;
    size_t start = bytes.compare(0, 3, kByteOrderMark) == 0 ? 3 : 0;
    for (int number = 1; start < bytes.size(); ++number) {
        const size_t end = std::min(bytes.find_first_of("\r\n", start), bytes.size());
        const std::string line = bytes.substr(start, end - start);
        start = end + (bytes.compare(end, 2, "\r\n") == 0 ? 2 : 1);

        if (trimmed(line).empty()) continue;
        const size_t eq = line.find('=');
        std::string problem;
        if (eq == std::string::npos) {
            problem =
                format("it has no equals sign (\"=\") between a written and a spoken form: %s",
                       ("\"" + excerpt(trimmed(line)) + "\"").c_str());
        } else {
            Pronunciation p{trimmed(line.substr(0, eq)), trimmed(line.substr(eq + 1))};
            problem = problemOf(p.written, p.spoken);
            if (problem.empty()) {
                list.push_back(std::move(p));
                continue;
            }
            if (p.written.empty()) problem += ": \"" + excerpt(trimmed(line)) + "\"";
        }
        if (problems)
            problems->push_back(format("Line %d was left out: %s", number, problem.c_str()));
    }
    return list;
}

std::string pronunciationsPath(const std::string& botFolder) {
    return botFolder + (botFolder.empty() || botFolder.back() == '/' ? "" : "/") + kFileName;
}

PronunciationList readPronunciations(const std::string& botFolder,
                                     std::vector<std::string>* problems) {
    if (problems) problems->clear();
    const std::string path = pronunciationsPath(botFolder);
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) {
        if (errno == ENOENT) return {};
        throw fileOpenError(path, errno);
    }
    if (S_ISDIR(st.st_mode)) throw fileOpenError(path, EISDIR);
    // A symbolic link is refused by ReadFileText, which does not follow it.
    if (!S_ISREG(st.st_mode) && !S_ISLNK(st.st_mode))
        throw unreadable(path, "The entry is not a regular file");
    if (st.st_size > kLargestPronunciationsFile) throw tooLarge(path, st.st_size);

    const std::string bytes = ReadFileText(path);
    if (static_cast<long long>(bytes.size()) > kLargestPronunciationsFile)
        throw tooLarge(path, static_cast<long long>(bytes.size()));
    if (const size_t bad = firstInvalidByte(bytes); bad != std::string::npos)
        throw unreadable(path, format("The file is not UTF-8 text (line %d)", lineAt(bytes, bad)));
    return decodePronunciations(bytes, problems);
}

std::string writePronunciations(const std::string& botFolder, const PronunciationList& list) {
    const std::string bytes = encodePronunciations(list);
    const std::string path = pronunciationsPath(botFolder);
    std::string backup;
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0) {
        const auto refused = [&path](const char* why) {
            return AppError(errkind::kFileCreate, format("Cannot create file \"%s\". %s",
                                                         absolutePath(path).c_str(), why));
        };
        if (S_ISLNK(st.st_mode))
            throw refused("The file is a symbolic link, which is not written through");
        if (S_ISDIR(st.st_mode)) throw fileCreateError(path, EISDIR);
        if (!S_ISREG(st.st_mode)) throw refused("The entry is not a regular file");
        if (!readsWhole(botFolder)) {
            backup = freeBackupName(path);
            if (::rename(path.c_str(), backup.c_str()) != 0) {
                if (errno != ENOENT)
                    throw AppError(errkind::kFileWrite,
                                   format("Cannot write file \"%s\". Its content could not be "
                                          "kept in \"%s\": %s",
                                          absolutePath(path).c_str(), absolutePath(backup).c_str(),
                                          systemErrorText(errno).c_str()));
                backup.clear();  // gone in the meantime: nothing to keep
            }
        }
    }
    WriteFileText(path, bytes);
    return backup;
}

std::string spokenText(const std::string& phrase, const PronunciationList& list) {
    // The written forms by their first character, case-folded; each group in the order of
    // preference: the longest first, then one whose case must match, then the list's order.
    std::unordered_map<char32_t, std::vector<Candidate>> byFirst;
    for (const Pronunciation& p : list) {
        std::u32string written = charactersOf(p.written);
        if (written.empty()) continue;
        const bool exactCase = keepsCase(written);
        if (!exactCase)
            for (char32_t& c : written) c = QChar::toCaseFolded(c);
        const Candidate candidate{written, exactCase, isWordCharacter(written.front()),
                                  isWordCharacter(written.back()), &p.spoken};
        byFirst[QChar::toCaseFolded(written.front())].push_back(candidate);
    }
    if (byFirst.empty()) return phrase;
    for (auto& [first, group] : byFirst) {
        std::stable_sort(group.begin(), group.end(), [](const Candidate& a, const Candidate& b) {
            if (a.written.size() != b.written.size()) return a.written.size() > b.written.size();
            return a.exactCase && !b.exactCase;
        });
    }

    // The phrase's characters, their case-folded forms and where each begins.
    std::u32string text, folded;
    std::vector<size_t> offsets;
    text.reserve(phrase.size());
    offsets.reserve(phrase.size() + 1);
    for (size_t i = 0; i < phrase.size();) {
        const Character c = characterAt(phrase, i);
        text += c.code;
        offsets.push_back(i);
        i += c.length;
    }
    offsets.push_back(phrase.size());
    folded.reserve(text.size());
    for (const char32_t c : text) folded += QChar::toCaseFolded(c);

    const auto matches = [&](const Candidate& c, size_t at) {
        const size_t length = c.written.size();
        if (text.size() - at < length) return false;
        if (c.wordAtStart && at > 0 && isWordCharacter(text[at - 1])) return false;
        if (c.wordAtEnd && at + length < text.size() && isWordCharacter(text[at + length]))
            return false;
        const std::u32string& against = c.exactCase ? text : folded;
        return against.compare(at, length, c.written) == 0;
    };

    std::string out;
    size_t copied = 0;  // the bytes of the phrase up to here are in `out`
    for (size_t at = 0; at < text.size();) {
        const auto group = byFirst.find(folded[at]);
        const Candidate* found = nullptr;
        if (group != byFirst.end()) {
            for (const Candidate& c : group->second) {
                if (matches(c, at)) {
                    found = &c;
                    break;
                }
            }
        }
        if (!found) {
            ++at;
            continue;
        }
        out.append(phrase, copied, offsets[at] - copied);
        out += *found->spoken;
        at += found->written.size();
        copied = offsets[at];
    }
    out.append(phrase, copied, std::string::npos);
    return out;
}
