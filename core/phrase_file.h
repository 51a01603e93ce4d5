#pragma once

#include <string>
#include <vector>

// The UTF-8 of the bot files (the phrase list and the settings file).
//
// Writing: the 8-bit text (the window's UTF-8) goes to 16-bit units, and each unit is written as
// one to three bytes; a surrogate pair (a character outside the Basic Multilingual Plane) is
// written as the standard four bytes.
//
// Reading: a byte below 0x80 is one unit; any other byte leads a sequence of three bytes when its
// bit 0x20 is set and of two otherwise, every following byte in 0x80..0xBF. A four-byte
// sequence (lead 0xF0..0xF7) gives a surrogate pair. A following byte out of range, or a
// sequence cut off by the end, makes the whole text empty.
std::string encodeFileText(const std::string& text);

struct DecodedText {
    std::string text;
    // False when the text does not hold everything the bytes did: they were not valid, or they
    // hold a character the window cannot show (a lone surrogate).
    bool complete = true;
};
DecodedText decodeFileText(const std::string& bytes);

// The lines of a text: a line ends at CR LF, at a lone LF or at a lone CR; a last line without a
// break is a line too; the text ends at its first NUL (what precedes it on its line is the last
// line). `cutAtNul` tells whether a NUL cut the text.
std::vector<std::string> splitLines(const std::string& text, bool* cutAtNul = nullptr);

// The bytes of a phrase list file: every entry followed by CR LF, encoded.
std::string encodePhraseList(const std::vector<std::string>& entries);

// The entries of a phrase list file; `complete` is false when the file holds more than the
// entries show (invalid bytes, a NUL, a character that cannot be shown).
std::vector<std::string> decodePhraseList(const std::string& bytes, bool* complete = nullptr);

// An entry is keyword "=" phrase; a line without "=" is a phrase with an empty keyword.
std::string keywordOf(const std::string& entry);
std::string phraseOf(const std::string& entry);
bool isEmptyEntry(const std::string& entry);

// A cell's text without line breaks: each CR LF, CR or LF becomes one blank, so that an entry
// stays one line of the file.
std::string withoutLineBreaks(const std::string& text);

// The entry after a cell of it was given `text`: column 0 sets the keyword, column 1 the phrase,
// the other part kept. A keyword with "=" is refused with "Key may not contain equals sign ("=")".
std::string withCellText(const std::string& entry, int column, const std::string& text);

// The text without the characters of code 32 or less (blanks, control characters, line breaks)
// at its start and its end; bytes of 128 and above stay.
std::string trimmed(const std::string& text);
