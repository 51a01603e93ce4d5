#include "engine/audio_player.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <utility>

double AudioPlayer::nowMs() {
    return std::chrono::duration<double, std::milli>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

AudioPlayer::AudioPlayer(AudioOutput& output, std::function<void()> wake)
    : output_(output), wake_(std::move(wake)) {}

AudioPlayer::~AudioPlayer() {
    // Once removed, the audio thread no longer calls this player.
    if (registered_) output_.removeSource(this);
}

void AudioPlayer::enqueue(int stream, std::vector<int16_t> samples, int sampleRate,
                          std::vector<VisemeMark> visemes) {
    if (!registered_) {
        output_.addSource(this);
        registered_ = true;
    }
    {
        const std::lock_guard lock(mutex_);
        queue_.push_back(
            Utterance{stream, std::move(samples), std::max(sampleRate, 1), std::move(visemes)});
    }
    output_.wake();
}

bool AudioPlayer::waitUntilDone(int msTimeout) {
    std::unique_lock lock(mutex_);
    const auto done = [this] { return queue_.empty(); };
    if (msTimeout < 0) {
        idle_.wait(lock, done);
        return true;
    }
    return idle_.wait_for(lock, std::chrono::milliseconds(msTimeout), done);
}

std::vector<AudioPlayer::Notice> AudioPlayer::takeNotices() {
    const std::lock_guard lock(mutex_);
    return std::exchange(notices_, {});
}

bool AudioPlayer::busy() const {
    const std::lock_guard lock(mutex_);
    return !queue_.empty();
}

void AudioPlayer::mixInto(int32_t* out, size_t frames, int outputRate, double latencyMs) {
    const double start = nowMs() + latencyMs;
    const auto heardAt = [&](size_t frame) { return start + 1000.0 * frame / outputRate; };
    bool noticed = false;
    size_t done = 0;
    {
        const std::lock_guard lock(mutex_);
        while (done < frames && !queue_.empty()) {
            Utterance& u = queue_.front();
            // When its first sample is heard, all its visemes are announced, each due on the
            // sample clock from that moment: they keep in step with the speech even when the
            // device takes its buffers a little late.
            if (!u.started) {
                u.started = true;
                const double startedAt = heardAt(done);
                for (const VisemeMark& v : u.visemes) {
                    const double due =
                        startedAt + 1000.0 * static_cast<double>(v.sample) / u.sampleRate;
                    notices_.push_back(Notice{due, false, u.stream, v.sample, v});
                }
                noticed = noticed || !u.visemes.empty();
            }
            // Each output frame takes the utterance's sample at its place on the utterance's own
            // clock, between two samples in proportion.
            const double step = static_cast<double>(u.sampleRate) / outputRate;
            const size_t count = u.samples.size();
            while (done < frames && u.position < static_cast<double>(count)) {
                const auto i = static_cast<size_t>(u.position);
                const double fraction = u.position - static_cast<double>(i);
                const int a = u.samples[i];
                const int b = i + 1 < count ? u.samples[i + 1] : a;
                out[done++] += static_cast<int32_t>(std::lround(a + (b - a) * fraction));
                u.position += step;
            }
            if (u.position >= static_cast<double>(count)) {
                notices_.push_back(
                    Notice{heardAt(done), true, u.stream, static_cast<int64_t>(count), {}});
                noticed = true;
                queue_.pop_front();
            }
        }
        if (queue_.empty()) idle_.notify_all();
    }
    if (noticed) wake_();
}
