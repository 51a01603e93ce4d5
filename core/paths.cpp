#include "core/paths.h"

#include <unistd.h>

#include <cctype>
#include <climits>
#include <vector>

namespace {
std::string& programFolderOverride() {
    static std::string folder;
    return folder;
}
}  // namespace

std::string executablePath() {
    std::vector<char> buffer(PATH_MAX + 1);
    for (;;) {
        const ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (n < 0) return {};
        if (static_cast<size_t>(n) < buffer.size()) return std::string(buffer.data(), n);
        buffer.resize(buffer.size() * 2);
    }
}

std::string programFolder() {
    if (!programFolderOverride().empty()) return programFolderOverride();
    return folderOf(executablePath());
}

void setProgramFolderForTests(const std::string& folder) {
    programFolderOverride() = folder;
}

std::string workingFolder() {
    std::vector<char> buffer(PATH_MAX + 1);
    while (getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE) return "/";
        buffer.resize(buffer.size() * 2);
    }
    std::string folder(buffer.data());
    if (folder.empty() || folder.back() != '/') folder += '/';
    return folder;
}

std::string absolutePath(const std::string& name) {
    if (!name.empty() && name.front() == '/') return name;
    return workingFolder() + name;
}

std::string folderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string fileNameOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string applicationTitle(const std::string& executablePath) {
    std::string title = fileNameOf(executablePath);
    title = title.substr(0, title.find('.'));
    for (size_t i = 0; i < title.size(); ++i) {
        const auto c = static_cast<unsigned char>(title[i]);
        title[i] = static_cast<char>(i == 0 ? std::toupper(c) : std::tolower(c));
    }
    return title;
}
