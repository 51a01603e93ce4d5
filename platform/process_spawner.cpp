#include "platform/process_spawner.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <thread>

extern char** environ;

namespace {

// Waits for the child's end within the limits; false when they passed first. `stopped` tells
// that it was the stop's grace that ran out.
bool waitForEnd(pid_t pid, const EncoderLimits& limits, int* status, bool* stopped) {
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    auto deadline = start + std::chrono::milliseconds(limits.timeoutMs);
    bool stopSeen = false;
    const int pidfd = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
    for (;;) {
        if (!stopSeen && limits.stop && limits.stop->load()) {
            stopSeen = true;
            deadline = std::min(deadline, Clock::now() + std::chrono::milliseconds(limits.graceMs));
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            if (pidfd >= 0) ::close(pidfd);
            *stopped = stopSeen && deadline < start + std::chrono::milliseconds(limits.timeoutMs);
            return false;
        }
        // A stop is looked for every 50 ms; the child's end is seen at once.
        const int slice = static_cast<int>(
            std::min<long long>(left.count(), limits.stop && !stopSeen ? 50 : left.count()));
        if (pidfd >= 0) {
            pollfd p{pidfd, POLLIN, 0};
            const int ready = ::poll(&p, 1, slice);
            if (ready < 0 && errno != EINTR) {
                ::close(pidfd);
                break;
            }
            if (ready > 0) {
                ::close(pidfd);
                break;
            }
        } else {
            // Without process descriptors: look every few milliseconds.
            const pid_t done = ::waitpid(pid, status, WNOHANG);
            if (done == pid || (done < 0 && errno != EINTR)) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(std::min(slice, 5)));
        }
    }
    while (::waitpid(pid, status, 0) < 0 && errno == EINTR) {
    }
    return true;
}

EncoderOutcome spawnAndWait(const std::string& program, const std::vector<std::string>& arguments,
                            const EncoderLimits& limits) {
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
    bool stopped = false;
    if (!waitForEnd(pid, limits, &status, &stopped)) {
        ::kill(pid, SIGKILL);
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        outcome.killed = true;
        outcome.stopped = stopped;
        return outcome;
    }
    outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return outcome;
}

class ProcessSpawner final : public EncoderSpawner {
public:
    EncoderOutcome run(const std::string& program, const std::vector<std::string>& arguments,
                       const EncoderLimits& limits) override {
        return spawnAndWait(program, arguments, limits);
    }
};

}  // namespace

std::unique_ptr<EncoderSpawner> makeProcessSpawner() {
    return std::make_unique<ProcessSpawner>();
}
