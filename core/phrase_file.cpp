#include "core/phrase_file.h"

#include <cstring>

#include "core/errors.h"
#include "core/text16.h"

namespace {

bool isHigh(char16_t u) {
    return u >= 0xD800 && u <= 0xDBFF;
}
bool isLow(char16_t u) {
    return u >= 0xDC00 && u <= 0xDFFF;
}

bool isTrail(const std::string& bytes, size_t i) {
    return i < bytes.size() && (static_cast<unsigned char>(bytes[i]) & 0xC0) == 0x80;
}

}  // namespace

namespace {

// Whether the text is standard UTF-8 throughout: then the encoding below gives its bytes back
// unchanged, and the round trip through 16-bit units can be left out.
bool isStandardUtf8(const std::string& text) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const auto* end = p + text.size();
    while (p < end) {
        // Eight plain ASCII bytes at a time.
        if (end - p >= 8) {
            uint64_t word;
            std::memcpy(&word, p, 8);
            if ((word & 0x8080808080808080ull) == 0) {
                p += 8;
                continue;
            }
        }
        const unsigned lead = *p;
        if (lead < 0x80) {
            ++p;
            continue;
        }
        size_t length = lead >= 0xC2 && lead <= 0xDF   ? 2
                        : lead >= 0xE0 && lead <= 0xEF ? 3
                        : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                       : 0;
        if (length == 0 || end - p < static_cast<ptrdiff_t>(length)) return false;
        for (size_t i = 1; i < length; ++i)
            if ((p[i] & 0xC0) != 0x80) return false;
        // No overlong forms, no surrogates, nothing beyond U+10FFFF.
        if ((lead == 0xE0 && p[1] < 0xA0) || (lead == 0xED && p[1] >= 0xA0) ||
            (lead == 0xF0 && p[1] < 0x90) || (lead == 0xF4 && p[1] >= 0x90))
            return false;
        p += length;
    }
    return true;
}

}  // namespace

std::string encodeFileText(const std::string& text) {
    if (isStandardUtf8(text)) return text;
    const std::u16string units = toUtf16(text);
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < units.size(); ++i) {
        if (isHigh(units[i]) && i + 1 < units.size() && isLow(units[i + 1])) {
            appendUtf8(out, 0x10000 + ((units[i] - 0xD800u) << 10) + (units[i + 1] - 0xDC00u));
            ++i;
        } else {
            appendUtf8(out, units[i]);
        }
    }
    return out;
}

DecodedText decodeFileText(const std::string& bytes) {
    std::u16string units;
    units.reserve(bytes.size());
    const auto at = [&bytes](size_t i) { return static_cast<unsigned char>(bytes[i]); };
    for (size_t i = 0; i < bytes.size();) {
        const unsigned lead = at(i);
        if (lead < 0x80) {
            units += static_cast<char16_t>(lead);
            i += 1;
        } else if (lead >= 0xF0 && lead <= 0xF7 && isTrail(bytes, i + 1) && isTrail(bytes, i + 2) &&
                   isTrail(bytes, i + 3)) {
            const uint32_t c = (lead & 0x07u) << 18 | (at(i + 1) & 0x3Fu) << 12 |
                               (at(i + 2) & 0x3Fu) << 6 | (at(i + 3) & 0x3Fu);
            if (c >= 0x10000 && c <= 0x10FFFF) {
                units += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
                units += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
            } else {
                units += static_cast<char16_t>(c & 0xFFFF);
            }
            i += 4;
        } else if (lead & 0x20) {
            if (!isTrail(bytes, i + 1) || !isTrail(bytes, i + 2)) return {{}, false};
            units += static_cast<char16_t>(
                ((lead & 0x3F) << 12 | (at(i + 1) & 0x3F) << 6 | (at(i + 2) & 0x3F)) & 0xFFFF);
            i += 3;
        } else {
            if (!isTrail(bytes, i + 1)) return {{}, false};
            units += static_cast<char16_t>((lead & 0x3F) << 6 | (at(i + 1) & 0x3F));
            i += 2;
        }
    }
    // A lone surrogate has no character of its own: the window shows a substitute for it.
    bool complete = true;
    for (size_t i = 0; i < units.size(); ++i) {
        if (isHigh(units[i]) && i + 1 < units.size() && isLow(units[i + 1])) {
            ++i;
        } else if (isHigh(units[i]) || isLow(units[i])) {
            units[i] = u'?';
            complete = false;
        }
    }
    return {toUtf8(units), complete};
}

std::vector<std::string> splitLines(const std::string& text, bool* cutAtNul) {
    const size_t nul = text.find('\0');
    if (cutAtNul) *cutAtNul = nul != std::string::npos;
    const size_t end = nul == std::string::npos ? text.size() : nul;
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t i = 0; i < end; ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            lines.push_back(text.substr(start, i - start));
            if (text[i] == '\r' && i + 1 < end && text[i + 1] == '\n') ++i;
            start = i + 1;
        }
    }
    if (start < end) lines.push_back(text.substr(start, end - start));
    return lines;
}

std::string encodePhraseList(const std::vector<std::string>& entries) {
    size_t size = 0;
    for (const auto& e : entries) size += e.size() + 2;
    std::string text;
    text.reserve(size);
    for (const auto& e : entries) {
        text += e;
        text += "\r\n";
    }
    if (isStandardUtf8(text)) return text;
    return encodeFileText(text);
}

std::vector<std::string> decodePhraseList(const std::string& bytes, bool* complete) {
    const DecodedText decoded = decodeFileText(bytes);
    bool cut = false;
    std::vector<std::string> entries = splitLines(decoded.text, &cut);
    if (complete) *complete = decoded.complete && !cut;
    return entries;
}

std::string keywordOf(const std::string& entry) {
    const size_t eq = entry.find('=');
    return eq == std::string::npos ? std::string() : entry.substr(0, eq);
}

std::string phraseOf(const std::string& entry) {
    const size_t eq = entry.find('=');
    return eq == std::string::npos ? entry : entry.substr(eq + 1);
}

bool isEmptyEntry(const std::string& entry) {
    return entry.empty() || entry == "=";
}

std::string withoutLineBreaks(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            out += ' ';
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string withCellText(const std::string& entry, int column, const std::string& text) {
    if (column == 0) {
        if (text.find('=') != std::string::npos)
            throw AppError(errkind::kEdit, "Key may not contain equals sign (\"=\")");
        return text + "=" + phraseOf(entry);
    }
    return keywordOf(entry) + "=" + text;
}

std::string trimmed(const std::string& text) {
    const auto low = [](char c) { return static_cast<unsigned char>(c) <= 32; };
    size_t start = 0, end = text.size();
    while (start < end && low(text[start])) ++start;
    while (end > start && low(text[end - 1])) --end;
    return text.substr(start, end - start);
}
