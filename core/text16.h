#pragma once

#include <cstdint>
#include <string>

// The window's 8-bit text is UTF-8; the speech engine speaks 16-bit text (UTF-16).
std::u16string toUtf16(const std::string& text);
std::string toUtf8(const std::u16string& text);

// Appends the UTF-8 bytes of one code point (or of a single 16-bit unit) to `out`.
void appendUtf8(std::string& out, uint32_t codePoint);
