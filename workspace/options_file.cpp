#include "options_file.h"

#include <vector>

#include "fileio.h"
#include "phrase_file.h"
#include "workspace_paths.h"

namespace {
std::string keyOf(const std::string& line) {
    const size_t eq = line.find('=');
    return eq == std::string::npos ? std::string() : line.substr(0, eq);
}
}  // namespace

std::optional<std::string> optionValue(const std::string& text, const std::string& key) {
    for (const std::string& line : splitLines(text))
        if (line.find('=') != std::string::npos && keyOf(line) == key)
            return line.substr(key.size() + 1);
    return std::nullopt;
}

std::string withOption(const std::string& text, const std::string& key, const std::string& value) {
    std::string out;
    bool set = false;
    for (const std::string& line : splitLines(text)) {
        if (!set && line.find('=') != std::string::npos && keyOf(line) == key) {
            out += key + "=" + value + "\n";
            set = true;
        } else {
            out += line + "\n";
        }
    }
    if (!set) out += key + "=" + value + "\n";
    return out;
}

std::optional<std::string> readOption(const std::string& key) {
    try {
        const std::string path = optionsPath();
        if (!filePresent(path)) return std::nullopt;
        return optionValue(ReadFileText(path), key);
    } catch (const std::exception&) {
        return std::nullopt;  // an unreadable options file leaves the defaults
    }
}

void writeOption(const std::string& key, const std::string& value) {
    const std::string path = optionsPath();
    std::string text;
    try {
        if (filePresent(path)) text = ReadFileText(path);
    } catch (const std::exception&) {
        // What cannot be read is written anew.
    }
    WriteFileText(path, withOption(text, key, value));
}
