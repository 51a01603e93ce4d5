#include "core/folder_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

FolderLock::~FolderLock() {
    release();
}

bool FolderLock::take(const std::string& folder) {
    release();
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return true;
    int result = 0;
    do {
        result = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    if (result != 0) {
        const bool held = errno == EWOULDBLOCK;
        ::close(fd);
        return !held;
    }
    fd_ = fd;
    return true;
}

void FolderLock::release() {
    if (fd_ >= 0) ::close(fd_);  // closing the last descriptor releases the lock
    fd_ = -1;
}
