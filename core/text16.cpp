#include "core/text16.h"

#include <cstdint>

// Standard UTF-8 and UTF-16, written out so that nothing is added or dropped on the way (a
// byte-order mark stays a character). An invalid byte, or a lone surrogate, becomes U+FFFD.

std::u16string toUtf16(const std::string& text) {
    std::u16string out;
    out.reserve(text.size());
    const auto at = [&text](size_t i) { return static_cast<unsigned char>(text[i]); };
    const auto trail = [&](size_t i) { return i < text.size() && (at(i) & 0xC0) == 0x80; };
    for (size_t i = 0; i < text.size();) {
        const unsigned lead = at(i);
        uint32_t c = 0xFFFD;
        size_t length = 1;
        if (lead < 0x80) {
            c = lead;
        } else if (lead >= 0xC2 && lead < 0xE0 && trail(i + 1)) {
            c = (lead & 0x1Fu) << 6 | (at(i + 1) & 0x3Fu);
            length = 2;
        } else if (lead >= 0xE0 && lead < 0xF0 && trail(i + 1) && trail(i + 2)) {
            c = (lead & 0x0Fu) << 12 | (at(i + 1) & 0x3Fu) << 6 | (at(i + 2) & 0x3Fu);
            length = 3;
            if (c < 0x800 || (c >= 0xD800 && c <= 0xDFFF)) c = 0xFFFD;
        } else if (lead >= 0xF0 && lead < 0xF5 && trail(i + 1) && trail(i + 2) && trail(i + 3)) {
            c = (lead & 0x07u) << 18 | (at(i + 1) & 0x3Fu) << 12 | (at(i + 2) & 0x3Fu) << 6 |
                (at(i + 3) & 0x3Fu);
            length = 4;
            if (c < 0x10000 || c > 0x10FFFF) c = 0xFFFD;
        }
        if (c >= 0x10000) {
            out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            out += static_cast<char16_t>(c);
        }
        i += length;
    }
    return out;
}

std::string toUtf8(const std::u16string& text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        uint32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00u);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        appendUtf8(out, c);
    }
    return out;
}

void appendUtf8(std::string& out, uint32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}
