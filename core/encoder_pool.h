#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/encoder.h"

// Encoder runs of several phrases at once, each on a thread of its own that waits for its
// process (encodeMp3File with the spawner installed); one a core. Jobs are taken in the order
// they were given.
class EncoderPool {
public:
    // `finished` is called on a worker thread whenever a job has finished.
    EncoderPool(int workers, std::function<void()> finished);
    // Waits for the jobs given.
    ~EncoderPool();
    EncoderPool(const EncoderPool&) = delete;
    EncoderPool& operator=(const EncoderPool&) = delete;

    struct Job {
        int row = 0;
        std::string program;
        std::vector<std::string> arguments;
        std::string mp3;
        EncoderLimits limits;
    };
    struct Done {
        int row = 0;
        EncoderOutcome outcome;
    };

    void submit(Job job);
    // The jobs that have finished since the last call, in the order they finished.
    std::vector<Done> takeFinished();
    // Jobs given and not yet taken back with takeFinished.
    int pending() const;
    int workers() const { return static_cast<int>(threads_.size()); }

    // One a core of the machine (at least one).
    static int coreCount();

private:
    void work();
    const std::function<void()> finished_;
    mutable std::mutex mutex_;
    std::condition_variable wanted_;
    std::deque<Job> queue_;
    std::vector<Done> done_;
    int pending_ = 0;
    bool closing_ = false;
    std::vector<std::thread> threads_;
};
