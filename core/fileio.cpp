#include "core/fileio.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <ctime>
#include <memory>

#include "core/errors.h"
#include "core/paths.h"

namespace {

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }
    // Closes now and reports the result; the destructor then does nothing.
    int close() {
        const int result = ::close(fd_);
        fd_ = -1;
        return result;
    }

private:
    int fd_;
};

AppError fileWriteError(const std::string& fileName, int err) {
    return AppError(errkind::kFileWrite,
                    format("Cannot write file \"%s\". %s", absolutePath(fileName).c_str(),
                           systemErrorText(err).c_str()));
}

// Writes every byte; returns 0 or the errno of the failure (ENOSPC for a short write).
int writeAll(int fd, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (n == 0) return ENOSPC;
        done += static_cast<size_t>(n);
    }
    return 0;
}

void writeInPlace(const std::string& fileName, const std::string& text) {
    FileDescriptor fd(
        ::open(fileName.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0666));
    if (fd.get() < 0) throw fileCreateError(fileName, errno);
    if (const int err = writeAll(fd.get(), text)) throw fileWriteError(fileName, err);
    if (fd.close() != 0) throw fileWriteError(fileName, errno);
}

// The temporary name a new version of `fileName` is written under, as a pattern for mkostemp.
std::string temporaryPattern(const std::string& fileName) {
    return folderOf(fileName) + "." + fileNameOf(fileName) + ".part-XXXXXX";
}

// Whether `name` is a temporary of the file `base` that a write left behind when the program
// was stopped half-way: ".base.part-XXXXXX".
bool isLeftoverTemporary(const std::string& name, const std::string& base) {
    const std::string prefix = "." + base + ".part-";
    return name.size() == prefix.size() + 6 && name.compare(0, prefix.size(), prefix) == 0 &&
           std::all_of(name.begin() + static_cast<std::ptrdiff_t>(prefix.size()), name.end(),
                       [](char c) { return std::isalnum(static_cast<unsigned char>(c)); });
}

// Removes the leftover temporaries of a file. One written in the last minutes may belong to a
// write of another copy of the program still going on, and stays.
void removeLeftoverTemporaries(const std::string& fileName) {
    const std::string folder = folderOf(fileName);
    const std::string base = fileNameOf(fileName);
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.empty() ? "." : folder.c_str()),
                                            &::closedir);
    if (!dir) return;
    const time_t settled = ::time(nullptr) - 10 * 60;
    for (const dirent* e = ::readdir(dir.get()); e; e = ::readdir(dir.get())) {
        if (!isLeftoverTemporary(e->d_name, base)) continue;
        struct stat st {};
        if (::fstatat(::dirfd(dir.get()), e->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(st.st_mode) && st.st_mtime < settled)
            ::unlink((folder + e->d_name).c_str());
    }
}

}  // namespace

std::string ReadFileText(const std::string& FileName, bool followLinks) {
    FileDescriptor fd(::open(FileName.c_str(),
                             O_RDONLY | O_CLOEXEC | O_NONBLOCK | (followLinks ? 0 : O_NOFOLLOW)));
    if (fd.get() < 0) {
        const int err = errno;
        struct stat st {};
        if (err == ELOOP && ::lstat(FileName.c_str(), &st) == 0 && S_ISLNK(st.st_mode))
            throw AppError(errkind::kFileOpen,
                           format("Cannot open file \"%s\". The file is a symbolic link, which is "
                                  "not followed",
                                  absolutePath(FileName).c_str()));
        throw fileOpenError(FileName, err);
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) throw fileOpenError(FileName, errno);
    if (S_ISDIR(st.st_mode)) throw fileOpenError(FileName, EISDIR);

    // Only a regular file has a size; anything else (a fifo, a device) reads as empty.
    std::string result(S_ISREG(st.st_mode) ? static_cast<size_t>(st.st_size) : 0, '\0');
    size_t done = 0;
    while (done < result.size()) {
        const ssize_t n = ::read(fd.get(), result.data() + done, result.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0)
            throw AppError(errkind::kFileOpen,
                           format("Cannot read file \"%s\". %s", absolutePath(FileName).c_str(),
                                  systemErrorText(errno).c_str()));
        if (n == 0) break;  // The file became shorter: keep what was read, nothing undefined.
        done += static_cast<size_t>(n);
    }
    result.resize(done);
    return result;
}

void WriteFileText(const std::string& FileName, const std::string& Text) {
    struct stat st {};
    const bool exists = ::lstat(FileName.c_str(), &st) == 0;
    if (exists && S_ISDIR(st.st_mode)) throw fileCreateError(FileName, EISDIR);

    // A device or a pipe is written as such: it is no file to replace.
    if (exists && !S_ISREG(st.st_mode) && !S_ISLNK(st.st_mode)) return writeInPlace(FileName, Text);

    mode_t mode = 0;
    const bool replaced = exists && (S_ISLNK(st.st_mode) || st.st_nlink != 1);
    if (replaced) {
        // A link or another name of a file: the new file takes its place, with the permissions
        // a new file gets.
        mode = ::umask(0);
        ::umask(mode);
        mode = 0666 & ~mode;
    } else {
        // The file must be creatable and writable where it stands, as a create-or-truncate
        // would.
        FileDescriptor probe(
            ::open(FileName.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0666));
        if (probe.get() < 0) throw fileCreateError(FileName, errno);
        struct stat created {};
        if (::fstat(probe.get(), &created) != 0) throw fileCreateError(FileName, errno);
        mode = created.st_mode & 07777;
    }

    // The new bytes go to a temporary file beside it, which then replaces it whole: a write that
    // fails half-way leaves the old file untouched.
    removeLeftoverTemporaries(FileName);
    std::string tempName = temporaryPattern(FileName);
    FileDescriptor temp(::mkostemp(tempName.data(), O_CLOEXEC));
    if (temp.get() < 0) {
        // The folder refuses new names: a plain file of its own is written where it stands; a
        // link or another name is never written through.
        if (replaced) throw fileCreateError(FileName, errno);
        return writeInPlace(FileName, Text);
    }

    int err = ::fchmod(temp.get(), mode) != 0 ? errno : 0;
    if (!err) err = writeAll(temp.get(), Text);
    if (!err && temp.close() != 0) err = errno;
    if (!err && ::rename(tempName.c_str(), FileName.c_str()) != 0) err = errno;
    if (err) {
        ::unlink(tempName.c_str());
        throw fileWriteError(FileName, err);
    }
}

void clearForNewFile(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return;
    // A device or a pipe in the file's place is written as such (it is no file to replace).
    if (S_ISLNK(st.st_mode) || (S_ISREG(st.st_mode) && st.st_nlink != 1)) ::unlink(path.c_str());
}

std::string freeBackupName(const std::string& file) {
    std::string name = file + ".bak";
    for (int i = 2; ::access(name.c_str(), F_OK) == 0; ++i)
        name = file + ".bak." + std::to_string(i);
    return name;
}

bool filePresent(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
    struct tm local {};
    if (::localtime_r(&st.st_mtime, &local) == nullptr) return false;
    const int year = local.tm_year + 1900;
    return year >= 1980 && year <= 2107;
}
