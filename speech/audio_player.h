#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "visemes.h"

// The program's one audio output: SDL2_mixer on the sound device, or on SDL's "dummy" driver
// (real time, no sound) when no device opens. The music preview plays through it, and speech is
// mixed into it. Returns false, with SDL's error text in `error`, when not even that opens.
bool openAudioOutput(std::string* error = nullptr);

// Plays utterances one after another on the audio output, and tells when each viseme and the
// end of each utterance are heard.
class AudioPlayer {
public:
    // Something heard: a viseme of an utterance, or its end. `due` is the steady-clock time, in
    // milliseconds, at which it is heard.
    struct Notice {
        double due = 0;
        bool end = false;
        int stream = 0;
        int64_t sample = 0;  // within the utterance
        VisemeMark viseme;
    };

    // `wake` is called from the audio thread whenever notices are waiting.
    AudioPlayer(int sampleRate, std::function<void()> wake);
    ~AudioPlayer();
    AudioPlayer(const AudioPlayer&) = delete;
    AudioPlayer& operator=(const AudioPlayer&) = delete;

    // Queues an utterance behind those already queued. Raises an engine error when the audio
    // output cannot be opened.
    void enqueue(int stream, std::vector<int16_t> samples, std::vector<VisemeMark> visemes);
    // Waits until every queued utterance has been played; -1: no time limit.
    bool waitUntilDone(int msTimeout);
    // The notices that have come since the last call, in order.
    std::vector<Notice> takeNotices();

    // Called on the audio thread: the next `count` samples to be heard, `latencyMs` from now.
    void fill(int16_t* out, size_t count, double latencyMs);

    static double nowMs();

private:
    struct Utterance {
        int stream;
        std::vector<int16_t> samples;
        std::vector<VisemeMark> visemes;
        size_t played = 0;
        double startedAt = 0;  // when its first sample is heard
    };

    const int sampleRate_;
    const std::function<void()> wake_;
    bool registered_ = false;
    mutable std::mutex mutex_;
    std::condition_variable idle_;
    std::deque<Utterance> queue_;
    std::vector<Notice> notices_;
};
