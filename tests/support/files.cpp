#include "tests/support/files.h"

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "core/errors.h"
#include "core/paths.h"

namespace fs = std::filesystem;

TempDir::TempDir() {
    std::string pattern = (fs::temp_directory_path() / "parlomat-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern + "/";
}

TempDir::~TempDir() {
    std::error_code ignored;
    // Give back write permission that a test took away, so that everything can be removed.
    for (auto it = fs::recursive_directory_iterator(path_, ignored);
         it != fs::recursive_directory_iterator(); it.increment(ignored)) {
        if (it->is_directory(ignored) && !it->is_symlink(ignored))
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    }
    fs::remove_all(path_, ignored);
}

TempWorkspace::TempWorkspace(const std::string& inner)
    : folder_(TempDir::path() + inner), previousWorkingFolder_(workingFolder()) {
    for (const char* folder : {"flash/bots", "flash/chars", "flash/backs", "flash/music"})
        fs::create_directories(path() + folder);
    fs::copy(STAGED_WORKSPACE "/res", path() + "res", fs::copy_options::recursive);
    setProgramFolderForTests(path());
    if (::chdir(path().c_str()) != 0) throw std::runtime_error("chdir failed");
}

TempWorkspace::~TempWorkspace() {
    setProgramFolderForTests({});
    if (::chdir(previousWorkingFolder_.c_str()) != 0) {
        // Nothing sensible to do in a destructor; the next test sets its own folder.
    }
}

void TempWorkspace::addBot(const std::string& name) const {
    fs::create_directories(bot(name));
}

void TempWorkspace::linkEncoder() const {
    fs::remove(path() + "lame.exe");
    fs::create_symlink("/usr/bin/lame", path() + "lame.exe");
}

void TempWorkspace::fakeEncoder(const std::string& script) const {
    fs::remove(path() + "lame.exe");
    writeFile(path() + "lame.exe", "#!/bin/sh\n" + script + "\n");
    fs::permissions(path() + "lame.exe", fs::perms::owner_all);
}

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

bool exists(const std::string& path) {
    std::error_code ignored;
    return fs::exists(fs::symlink_status(path, ignored));
}

std::vector<std::string> listFolder(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string errorMessageOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const AppError& e) {
        return e.what();
    }
    return "(no error)";
}

FileSizeLimit::FileSizeLimit(rlim_t bytes) : previous_(std::signal(SIGXFSZ, SIG_IGN)) {
    ::getrlimit(RLIMIT_FSIZE, &saved_);
    struct rlimit limited = saved_;
    limited.rlim_cur = std::min(bytes, saved_.rlim_cur);
    set_ = ::setrlimit(RLIMIT_FSIZE, &limited) == 0;
}

FileSizeLimit::~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, previous_);
}
