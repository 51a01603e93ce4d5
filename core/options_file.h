#pragma once

#include <optional>
#include <string>

// The workspace's options file: one "key=value" a line, each ending with LF. Lines this version
// does not know are kept byte for byte.

// The value of the first line with `key` (a CR before its LF does not count); nothing when no
// line has it.
std::optional<std::string> optionValue(const std::string& text, const std::string& key);
// The text with `key` set to `value`: its first line replaced (later lines of the same key
// dropped), or a line appended; every other line as it stood, each ending with LF.
std::string withOption(const std::string& text, const std::string& key, const std::string& value);

// The option `key` of the workspace's options file; nothing when the file or the key is missing
// or the file cannot be read.
std::optional<std::string> readOption(const std::string& key);
// Sets the option `key` in the workspace's options file, keeping its other lines; raises the
// errors of WriteFileText.
void writeOption(const std::string& key, const std::string& value);
