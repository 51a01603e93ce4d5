#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <vector>

#include "core/audio_output.h"
#include "core/visemes.h"

// Plays utterances one after another on an audio output, each at its own sample rate, and
// tells when each viseme and the end of each utterance are heard.
class AudioPlayer final : public AudioSource {
public:
    // Something heard: a viseme of an utterance, or its end. `due` is the steady-clock time, in
    // milliseconds, at which it is heard.
    struct Notice {
        double due = 0;
        bool end = false;
        int stream = 0;
        int64_t sample = 0;  // within the utterance, at its own rate
        VisemeMark viseme;
    };

    // `wake` is called from the audio thread whenever notices are waiting.
    AudioPlayer(AudioOutput& output, std::function<void()> wake);
    ~AudioPlayer() override;
    AudioPlayer(const AudioPlayer&) = delete;
    AudioPlayer& operator=(const AudioPlayer&) = delete;

    // Queues an utterance behind those already queued. Raises an engine error when the audio
    // output cannot be opened.
    void enqueue(int stream, std::vector<int16_t> samples, int sampleRate,
                 std::vector<VisemeMark> visemes);
    // Waits until every queued utterance has been played; -1: no time limit.
    bool waitUntilDone(int msTimeout);
    // The notices that have come since the last call, in order.
    std::vector<Notice> takeNotices();

    void mixInto(int32_t* out, size_t frames, int outputRate, double latencyMs) override;
    bool busy() const override;

    static double nowMs();

private:
    struct Utterance {
        int stream;
        std::vector<int16_t> samples;
        int sampleRate;
        std::vector<VisemeMark> visemes;
        double position = 0;  // in samples of its own rate
        bool started = false;
    };

    AudioOutput& output_;
    const std::function<void()> wake_;
    bool registered_ = false;
    mutable std::mutex mutex_;
    std::condition_variable idle_;
    std::deque<Utterance> queue_;
    std::vector<Notice> notices_;
};
