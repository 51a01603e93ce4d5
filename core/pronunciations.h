#pragma once

#include <string>
#include <vector>

// A bot's pronunciations: how the bot says a word, a name or an abbreviation that the speech
// engine would say wrongly. The phrase list keeps what is written; what the engine is given is
// the phrase with each written form replaced by its spoken form.
//
// The list is kept in the bot folder as pronunciations.txt: one "written=spoken" a line, each
// ending with CR LF, UTF-8 without a byte-order mark. All text here is UTF-8, as the window's is.
struct Pronunciation {
    std::string written;
    std::string spoken;
    bool operator==(const Pronunciation&) const = default;
};
using PronunciationList = std::vector<Pronunciation>;

// The largest pronunciations.txt that is read: 1 MiB.
inline constexpr long long kLargestPronunciationsFile = 1LL << 20;

// What is wrong with an entry, as the user is told before it is stored; empty when nothing is.
// A written form is not empty, holds no "=" (the first "=" of a line ends it), no line break and
// no NUL; a spoken form is not empty and holds no line break and no NUL; neither begins or ends
// with a blank or another character of code 32 or less, nor begins with a byte-order mark (the
// editor trims a cell's text first).
std::string pronunciationProblem(const std::string& written, const std::string& spoken);

// The bytes of pronunciations.txt. Raises the entry's problem (an edit error) for an entry that
// has one, so that a file that would read back as another list is never made.
std::string encodePronunciations(const PronunciationList& list);

// The list of a file's bytes. Lines end at CR LF, LF or CR; a byte-order mark at the start is
// skipped; the first "=" of a line splits it; both parts are trimmed of the characters of code 32
// or less. Empty lines are skipped silently; a line that gives no entry (no "=", an empty written
// or spoken form, a NUL) is skipped, and `problems` (when given) says which and why, one message
// a line: "Line 3 was left out: it has no equals sign ("=") ...". The bytes are not checked to
// be UTF-8 (readPronunciations does that).
PronunciationList decodePronunciations(const std::string& bytes,
                                       std::vector<std::string>* problems = nullptr);

// The path of pronunciations.txt in `botFolder` (ending with "/").
std::string pronunciationsPath(const std::string& botFolder);

// The bot's list; a missing file is an empty list, `problems` as decodePronunciations tells
// them. Raises a file-open error, and gives no list, when the file cannot be read as a whole:
// a folder or a symbolic link in its place, no regular file, more than 1 MiB, not UTF-8 text.
PronunciationList readPronunciations(const std::string& botFolder,
                                     std::vector<std::string>* problems = nullptr);

// Writes the list to the bot's pronunciations.txt (an empty list as an empty file). A file there
// that does not read back whole (it has lines that were left out, or it cannot be read at all)
// is first renamed to a free backup name beside it (pronunciations.txt.bak, .bak.2, ...), so that
// nothing a user wrote is lost; the backup's path is returned, empty when none was made. Raises
// the entry's problem for a bad entry before anything is touched, a file-create error for a
// folder, a symbolic link or something other than a regular file in the file's place (left as
// it is), and the errors of WriteFileText.
std::string writePronunciations(const std::string& botFolder, const PronunciationList& list);

// The text that the engine speaks for `phrase`: each written form that stands in it as a whole
// word replaced by its spoken form, in one pass from left to right (a spoken form is not searched
// again). A written form matches only where it does not continue a word: where it begins with a
// letter or digit, the character before it is none (nor a combining mark), and where it ends with
// one, the character after it is none; so "km/h" matches in "50 km/h." and "GmbH" not in
// "GmbHs". Case is ignored, letter by letter, unless the written form has a capital after its
// first letter: "Parlomat" matches "parlomat", but "US" does not match "us" and "iOS" not "IOS".
// Where several match at one place the longest written form wins, then one that matched its case
// exactly, then the first in the list. Everything else, punctuation included, stays as it is.
std::string spokenText(const std::string& phrase, const PronunciationList& list);
