#pragma once

#include <string>

// A lock on a folder (flock on the folder itself, so that no file is added to it), held while
// the object holds it: one copy of the program edits a bot at a time. The system releases it
// when the process ends, however it ends.
class FolderLock {
public:
    FolderLock() = default;
    ~FolderLock();
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

    // Takes the lock of `folder` in place of the one held; false when another holder (another
    // copy of the program) has it. A folder that cannot be opened or locked at all is not
    // guarded, and counts as taken.
    bool take(const std::string& folder);
    void release();

private:
    int fd_ = -1;
};
