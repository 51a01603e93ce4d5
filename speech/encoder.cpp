#include "encoder.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <map>
#include <thread>

#include "errors.h"
#include "fileio.h"
#include "mp3_check.h"

extern char** environ;

std::string encoderProgram(const std::string& programFolder) {
    return programFolder + "lame.exe";
}

std::vector<std::string> encoderArguments(const std::string& programFolder, const std::string& wav,
                                          const std::string& mp3) {
    // The program folder enters the encoder's own name with at most 255 characters.
    return {programFolder.substr(0, 255) + "lame.exe", wav, mp3};
}

namespace {

// Waits for the child's end; false when `timeoutMs` passed first.
bool waitForEnd(pid_t pid, int timeoutMs, int* status) {
    const int pidfd = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
    if (pidfd >= 0) {
        pollfd p{pidfd, POLLIN, 0};
        int ready = 0;
        do {
            ready = ::poll(&p, 1, timeoutMs);
        } while (ready < 0 && errno == EINTR);
        ::close(pidfd);
        if (ready == 0) return false;
        while (::waitpid(pid, status, 0) < 0 && errno == EINTR) {
        }
        return true;
    }
    // Without process descriptors: look every few milliseconds.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const pid_t done = ::waitpid(pid, status, WNOHANG);
        if (done == pid) return true;
        if (done < 0 && errno != EINTR) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

EncoderOutcome spawnAndWait(const std::string& program, const std::vector<std::string>& arguments,
                            int timeoutMs) {
    EncoderOutcome outcome;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    for (const int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO})
        posix_spawn_file_actions_addopen(&actions, fd, "/dev/null",
                                         fd == STDIN_FILENO ? O_RDONLY : O_WRONLY, 0);
    std::vector<char*> argv;
    for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    pid_t pid = 0;
    const int err = ::posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (err != 0) {
        outcome.startError = err;
        return outcome;
    }
    outcome.started = true;
    int status = 0;
    if (!waitForEnd(pid, timeoutMs, &status)) {
        ::kill(pid, SIGKILL);
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        outcome.killed = true;
        return outcome;
    }
    outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return outcome;
}

class ProcessSpawner final : public EncoderSpawner {
public:
    EncoderOutcome run(const std::string& program, const std::vector<std::string>& arguments,
                       int timeoutMs) override {
        return spawnAndWait(program, arguments, timeoutMs);
    }
};

}  // namespace

std::unique_ptr<EncoderSpawner> makeProcessSpawner() {
    return std::make_unique<ProcessSpawner>();
}

namespace {
struct timespec modifiedTime(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return {0, 0};
    return st.st_mtim;
}
}  // namespace

EncoderOutcome encodeMp3File(const std::string& program, const std::vector<std::string>& arguments,
                             const std::string& mp3, int timeoutMs) {
    const struct timespec before = modifiedTime(mp3);
    EncoderSpawner* spawner = Installed<EncoderSpawner>::get();
    EncoderOutcome outcome;
    if (spawner)
        outcome = spawner->run(program, arguments, timeoutMs);
    else
        outcome.startError = ENOSYS;
    outcome.program = program;
    if (!outcome.started) return outcome;
    const struct timespec after = modifiedTime(mp3);
    outcome.wroteFile =
        after.tv_sec != 0 && (after.tv_sec != before.tv_sec || after.tv_nsec != before.tv_nsec);
    if (!outcome.wroteFile) return outcome;
    if (!outcome.killed) {
        std::string bytes;
        try {
            bytes = ReadFileText(mp3);
            outcome.invalid = mp3Problem(bytes);
        } catch (const std::exception& error) {
            outcome.invalid = error.what();
        }
    }
    if (outcome.killed || !outcome.invalid.empty()) ::unlink(mp3.c_str());
    return outcome;
}

std::string encoderFailureMessage(const std::vector<EncoderOutcome>& outcomes, int phrases) {
    std::map<std::string, int> reasons;
    std::map<int, int> notes;  // made although the exit code was not 0: count by exit code
    size_t failed = 0;
    for (const EncoderOutcome& o : outcomes) {
        if (o.made()) {
            if (o.exitCode != 0) ++notes[o.exitCode];
            continue;
        }
        ++failed;
        const std::string ended =
            o.exitCode == 0 ? std::string("the encoder")
                            : format("the encoder ended with exit code %d and", o.exitCode);
        std::string reason;
        if (!o.started && o.startError == ENOENT)
            reason = format("the encoder \"%s\" was not found", o.program.c_str());
        else if (!o.started)
            reason = format("the encoder \"%s\" could not be started (%s)", o.program.c_str(),
                            systemErrorText(o.startError).c_str());
        else if (o.killed)
            reason = "the encoder did not finish within 10 minutes and was stopped";
        else if (!o.wroteFile)
            reason = ended + " wrote no MP3 file";
        else
            reason = format("%s wrote a file that is not MP3 audio (%s); it was removed",
                            ended.c_str(), o.invalid.c_str());
        ++reasons[reason];
    }
    std::string message = format("%zu of %d phrases have no new MP3 file:", failed, phrases);
    for (const auto& [reason, count] : reasons)
        message += format("\n%d: %s.", count, reason.c_str());
    for (const auto& [code, count] : notes)
        message += format(
            "\nNote: %d phrases have their new MP3 file, although the encoder ended "
            "with exit code %d.",
            count, code);
    return message;
}
