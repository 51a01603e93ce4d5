#include "core/encoder_pool.h"

EncoderPool::EncoderPool(int workers, std::function<void()> finished)
    : finished_(std::move(finished)) {
    for (int i = 0; i < std::max(workers, 1); ++i) threads_.emplace_back([this] { work(); });
}

EncoderPool::~EncoderPool() {
    {
        const std::lock_guard lock(mutex_);
        closing_ = true;
    }
    wanted_.notify_all();
    for (std::thread& t : threads_) t.join();
}

void EncoderPool::submit(Job job) {
    {
        const std::lock_guard lock(mutex_);
        queue_.push_back(std::move(job));
        ++pending_;
    }
    wanted_.notify_one();
}

std::vector<EncoderPool::Done> EncoderPool::takeFinished() {
    const std::lock_guard lock(mutex_);
    pending_ -= static_cast<int>(done_.size());
    return std::exchange(done_, {});
}

int EncoderPool::pending() const {
    const std::lock_guard lock(mutex_);
    return pending_;
}

int EncoderPool::coreCount() {
    return std::max(1u, std::thread::hardware_concurrency());
}

void EncoderPool::work() {
    for (;;) {
        Job job;
        {
            std::unique_lock lock(mutex_);
            wanted_.wait(lock, [this] { return closing_ || !queue_.empty(); });
            if (queue_.empty()) return;  // closing, and nothing left to do
            job = std::move(queue_.front());
            queue_.pop_front();
        }
        Done done{job.row, {}};
        try {
            done.outcome = encodeMp3File(job.program, job.arguments, job.mp3, job.limits);
        } catch (...) {
            done.outcome.started = false;
        }
        {
            const std::lock_guard lock(mutex_);
            done_.push_back(std::move(done));
        }
        if (finished_) finished_();
    }
}
