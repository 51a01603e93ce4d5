#pragma once

#include <SDL2/SDL.h>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "visemes.h"

// SDL's audio, started once for the whole program: the system's driver, or SDL's "dummy"
// driver when none starts. False when not even that one starts.
bool ensureSdlAudio();
// Changes to the "dummy" driver after a device of the system's driver could not be opened.
bool fallBackToDummyAudio();

// Plays utterances one after another through SDL audio, and tells when each viseme and the end
// of each utterance are heard. When no sound device opens, SDL's "dummy" driver plays instead, in
// real time and without sound.
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

    // Queues an utterance behind those already queued. Raises an engine error when no audio
    // device, not even the dummy one, can be opened.
    void enqueue(int stream, std::vector<int16_t> samples, std::vector<VisemeMark> visemes);
    // Waits until every queued utterance has been played; -1: no time limit.
    bool waitUntilDone(int msTimeout);
    // Stops the device while nothing is queued, so that it costs nothing while idle.
    void pauseIfIdle();
    // The notices that have come since the last call, in order.
    std::vector<Notice> takeNotices();
    // The name of the SDL audio driver in use (empty before the first utterance).
    std::string driver() const;

    static double nowMs();

private:
    struct Utterance {
        int stream;
        std::vector<int16_t> samples;
        std::vector<VisemeMark> visemes;
        size_t played = 0;
        double startedAt = 0;  // when its first sample is heard
    };
    void open();
    static void callback(void* self, Uint8* out, int length);
    void fill(int16_t* out, size_t count);

    const int sampleRate_;
    const std::function<void()> wake_;
    SDL_AudioDeviceID device_ = 0;
    double latencyMs_ = 0;
    mutable std::mutex mutex_;
    std::condition_variable idle_;
    std::deque<Utterance> queue_;
    std::vector<Notice> notices_;
};
