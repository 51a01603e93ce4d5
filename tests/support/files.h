#pragma once

#include <sys/resource.h>

#include <csignal>
#include <functional>
#include <string>
#include <vector>

// Window-free helpers of the tests: temporary folders and workspaces, whole files, errors.

// A temporary folder, removed with everything in it at the end.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    // The folder, ending with "/".
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// A temporary workspace with flash/bots, flash/chars, flash/backs, flash/music and the
// microphone pictures in res/, made the program folder and the working folder for the life of
// the object.
class TempWorkspace : public TempDir {
public:
    // `inner`: a sub-folder of the temporary folder to hold the workspace (for names with
    // blanks, say), ending with "/".
    explicit TempWorkspace(const std::string& inner = "");
    ~TempWorkspace();
    // The workspace folder, ending with "/".
    const std::string& path() const { return folder_; }
    std::string bot(const std::string& name) const { return path() + "flash/bots/" + name + "/"; }
    // Creates a bot folder, optionally with a phrase list and a settings file.
    void addBot(const std::string& name) const;

    // Makes the workspace's lame.exe a link to the system's encoder.
    void linkEncoder() const;
    // Makes the workspace's lame.exe a shell script with this body (for the tests that start
    // the encoder as a process, with ProcessEncoder).
    void fakeEncoder(const std::string& script) const;
    // The body of an encoder script that writes one silent MPEG audio frame to its output.
    static constexpr const char* kWritesMp3 =
        "printf '\\377\\373\\220\\144' > \"$2\"; head -c 413 /dev/zero >> \"$2\"";

private:
    std::string folder_;
    std::string previousWorkingFolder_;
};

void writeFile(const std::string& path, const std::string& bytes);
std::string readFile(const std::string& path);
bool exists(const std::string& path);
// The names in a folder, sorted.
std::vector<std::string> listFolder(const std::string& folder);

// The message of the error that `f` raises, or "(no error)".
std::string errorMessageOf(const std::function<void()>& f);

// Every write past `bytes` bytes of a file fails while the object lives (SIGXFSZ ignored), as
// on a full disk. RLIM_INFINITY sets no limit.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    bool set() const { return set_; }

private:
    struct rlimit saved_ {};
    void (*previous_)(int);
    bool set_;
};
