#include "core/options_file.h"

#include <sys/stat.h>

#include <vector>

#include "core/fileio.h"
#include "core/workspace_paths.h"

namespace {

// The lines of the text, each without its LF (a CR before it stays part of the line).
std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    for (size_t at = 0; at < text.size();) {
        const size_t end = std::min(text.find('\n', at), text.size());
        lines.push_back(text.substr(at, end - at));
        at = end + 1;
    }
    return lines;
}

bool regularFileExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool hasKey(const std::string& line, const std::string& key) {
    return line.size() > key.size() && line.compare(0, key.size(), key) == 0 &&
           line[key.size()] == '=';
}

}  // namespace

std::optional<std::string> optionValue(const std::string& text, const std::string& key) {
    for (std::string line : linesOf(text)) {
        if (!hasKey(line, key)) continue;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        return line.substr(key.size() + 1);
    }
    return std::nullopt;
}

std::string withOption(const std::string& text, const std::string& key, const std::string& value) {
    std::string out;
    bool set = false;
    for (const std::string& line : linesOf(text)) {
        if (!hasKey(line, key)) {
            out += line + "\n";
        } else if (!set) {  // the first line of the key takes the value, later ones go
            out += key + "=" + value + "\n";
            set = true;
        }
    }
    if (!set) out += key + "=" + value + "\n";
    return out;
}

std::optional<std::string> readOption(const std::string& key) {
    try {
        const std::string path = optionsPath();
        if (!regularFileExists(path)) return std::nullopt;
        return optionValue(ReadFileText(path), key);
    } catch (const std::exception&) {
        return std::nullopt;  // an unreadable options file leaves the defaults
    }
}

void writeOption(const std::string& key, const std::string& value) {
    const std::string path = optionsPath();
    // The other lines are kept: a file that exists and cannot be read is not written over (its
    // error is raised).
    const std::string text = regularFileExists(path) ? ReadFileText(path) : std::string();
    WriteFileText(path, withOption(text, key, value));
}
