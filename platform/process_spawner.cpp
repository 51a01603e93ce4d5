#include "platform/process_spawner.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

extern char** environ;

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
