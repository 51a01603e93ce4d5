#include "core/catalogue.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <QString>
#include <cerrno>
#include <memory>

namespace {

// The attribute word of the entry `name` of the folder open as `folder` (a descriptor, or
// AT_FDCWD with a whole path), `hidden` when its name begins with ".": looked up from the open
// folder, not from the root, at every entry.
uint32_t attributeWordAt(int folder, const char* name, bool hidden) {
    struct stat st {};
    if (::fstatat(folder, name, &st, AT_SYMLINK_NOFOLLOW) != 0) return attr::kSystem;

    uint32_t word = 0;
    if (S_ISLNK(st.st_mode)) {
        struct stat target {};
        const bool toFolder = ::fstatat(folder, name, &target, 0) == 0 && S_ISDIR(target.st_mode);
        word = attr::kReparsePoint | (toFolder ? attr::kDirectory : attr::kArchive);
    } else if (S_ISDIR(st.st_mode)) {
        word = attr::kDirectory;
    } else if (S_ISREG(st.st_mode)) {
        word = attr::kArchive;
    } else {
        word = attr::kSystem;
    }
    if (hidden) word |= attr::kHidden;
    if (!S_ISLNK(st.st_mode) && (st.st_mode & S_IWUSR) == 0) word |= attr::kReadOnly;
    return word;
}

}  // namespace

uint32_t attributeWord(const std::string& folder, const std::string& name) {
    return attributeWordAt(AT_FDCWD, (folder + "/" + name).c_str(),
                           !name.empty() && name.front() == '.');
}

std::vector<std::string> listCatalogue(const std::string& folder, uint32_t mask) {
    std::vector<std::string> names;
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), &::closedir);
    if (!dir) return names;
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(dir.get());
        if (entry == nullptr) break;  // No more entries, or an error: keep what was taken.
        const std::string name = entry->d_name;
        if (name == "." || name == "..") continue;
        // A file or a folder with a mask that takes the hidden and read-only bits is taken
        // without its own lookup: those are the only other bits it can carry.
        const uint32_t known = entry->d_type == DT_REG   ? attr::kArchive
                               : entry->d_type == DT_DIR ? attr::kDirectory
                                                         : 0;
        const uint32_t loose = attr::kHidden | attr::kReadOnly;
        if (known && (mask & (known | loose)) == (known | loose)) {
            names.push_back(name);
            continue;
        }
        const uint32_t word = attributeWordAt(::dirfd(dir.get()), name.c_str(), name[0] == '.');
        if ((word & mask) == word) names.push_back(name);
    }
    return names;
}

int catalogueIndexOf(const std::vector<std::string>& entries, const std::string& name) {
    const QString wanted = QString::fromStdString(name);
    for (size_t i = 0; i < entries.size(); ++i) {
        if (QString::compare(QString::fromStdString(entries[i]), wanted, Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    }
    return -1;
}

bool isSafeFolderName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
           name.find('\0') == std::string::npos;
}
