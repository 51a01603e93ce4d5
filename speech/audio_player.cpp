#include "audio_player.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_mixer.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>

#include "SpeechLib_TLB.h"

namespace {

// The output runs at twice the speech's 22050 Hz, in stereo; SDL converts for the device.
constexpr int kOutputRate = 44100;
constexpr int kOutputFrames = 1024;

std::mutex playersMutex;
std::vector<AudioPlayer*> players;
double outputLatencyMs = 0;

// Mixes the speech of every player into what the mixer plays.
void mixSpeech(void*, Uint8* stream, int length) {
    const size_t frames = static_cast<size_t>(length) / (2 * sizeof(int16_t));
    auto* out = reinterpret_cast<int16_t*>(stream);
    std::vector<int16_t> speech((frames + 1) / 2);
    const std::lock_guard lock(playersMutex);
    for (AudioPlayer* player : players) {
        std::fill(speech.begin(), speech.end(), 0);
        player->fill(speech.data(), speech.size(), outputLatencyMs);
        for (size_t f = 0; f < frames; ++f) {
            const int sample = speech[f / 2];
            for (int c = 0; c < 2; ++c) {
                const int mixed = out[2 * f + c] + sample;
                out[2 * f + c] = static_cast<int16_t>(std::clamp(mixed, -32768, 32767));
            }
        }
    }
}

bool openMixer() {
    return Mix_OpenAudioDevice(kOutputRate, AUDIO_S16SYS, 2, kOutputFrames, nullptr, 0) == 0;
}

}  // namespace

bool openAudioOutput(std::string* error) {
    static bool open = false;
    if (open) return true;
    // Termination signals stay the program's: SDL would otherwise turn them into events.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    bool ready = SDL_WasInit(SDL_INIT_AUDIO) != 0 || SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    if (!ready || !openMixer()) {
        // No sound device here (a server, a test run): the dummy driver plays in real time.
        if (SDL_WasInit(SDL_INIT_AUDIO)) SDL_QuitSubSystem(SDL_INIT_AUDIO);
        SDL_SetHint(SDL_HINT_AUDIODRIVER, "dummy");
        ready = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0 && openMixer();
    }
    if (!ready) {
        if (error) *error = SDL_GetError();
        return false;
    }
    const char* driver = SDL_GetCurrentAudioDriver();
    // A real device plays a buffer after the one it is playing; the dummy one at once.
    outputLatencyMs =
        driver && std::strcmp(driver, "dummy") == 0 ? 0.0 : 1000.0 * kOutputFrames / kOutputRate;
    Mix_SetPostMix(&mixSpeech, nullptr);
    // The audio thread stops before the program's static data goes at exit.
    std::atexit([] {
        Mix_CloseAudio();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    });
    open = true;
    return true;
}

double AudioPlayer::nowMs() {
    return std::chrono::duration<double, std::milli>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

AudioPlayer::AudioPlayer(int sampleRate, std::function<void()> wake)
    : sampleRate_(sampleRate), wake_(std::move(wake)) {}

AudioPlayer::~AudioPlayer() {
    // Once out of the list, the audio thread no longer calls this player.
    const std::lock_guard lock(playersMutex);
    players.erase(std::remove(players.begin(), players.end(), this), players.end());
}

void AudioPlayer::enqueue(int stream, std::vector<int16_t> samples,
                          std::vector<VisemeMark> visemes) {
    if (!registered_) {
        std::string error;
        if (!openAudioOutput(&error)) raiseEngineError("No audio output can be opened: " + error);
        const std::lock_guard lock(playersMutex);
        players.push_back(this);
        registered_ = true;
    }
    const std::lock_guard lock(mutex_);
    queue_.push_back(Utterance{stream, std::move(samples), std::move(visemes)});
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

void AudioPlayer::fill(int16_t* out, size_t count, double latencyMs) {
    const double start = nowMs() + latencyMs;
    const auto heardAt = [&](size_t offset) { return start + 1000.0 * offset / sampleRate_; };
    bool noticed = false;
    size_t done = 0;
    {
        const std::lock_guard lock(mutex_);
        while (done < count && !queue_.empty()) {
            Utterance& u = queue_.front();
            // When its first sample is heard, all its visemes are announced, each due on the
            // sample clock from that moment: they keep in step with the speech even when the
            // device takes its buffers a little late.
            if (u.played == 0) {
                u.startedAt = heardAt(done);
                for (const VisemeMark& v : u.visemes) {
                    const double due =
                        u.startedAt + 1000.0 * static_cast<double>(v.sample) / sampleRate_;
                    notices_.push_back(Notice{due, false, u.stream, v.sample, v});
                }
                noticed = noticed || !u.visemes.empty();
            }
            const size_t n = std::min(count - done, u.samples.size() - u.played);
            std::memcpy(out + done, u.samples.data() + u.played, n * sizeof(int16_t));
            u.played += n;
            done += n;
            if (u.played == u.samples.size()) {
                notices_.push_back(Notice{
                    heardAt(done), true, u.stream, static_cast<int64_t>(u.samples.size()), {}});
                noticed = true;
                queue_.pop_front();
            }
        }
        if (queue_.empty()) idle_.notify_all();
    }
    if (noticed) wake_();
}
