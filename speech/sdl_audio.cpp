#include "sdl_audio.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_mixer.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "SpeechLib_TLB.h"
#include "errors.h"

namespace {

constexpr int kOutputRate = 44100;
constexpr int kOutputChannels = 2;
constexpr int kOutputFrames = 1024;

class SdlAudioImpl final : public SdlAudio {
public:
    SdlAudioImpl() = default;
    ~SdlAudioImpl() override {
        close();
        if (open_) {
            Mix_SetPostMix(nullptr, nullptr);
            Mix_CloseAudio();
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
        }
    }

    // ------------------------------------------------------------ the speech

    void addSource(AudioSource* source) override {
        std::string error;
        if (!openDevice(&error)) raiseEngineError("No audio output can be opened: " + error);
        const std::lock_guard lock(mutex_);
        sources_.push_back(source);
    }
    void removeSource(AudioSource* source) override {
        const std::lock_guard lock(mutex_);
        sources_.erase(std::remove(sources_.begin(), sources_.end(), source), sources_.end());
    }
    void wake() override {}

    // ------------------------------------------------------------ the music preview

    void open(const std::string& path) override {
        close();
        std::string error;
        if (!openDevice(&error))
            throw AppError(errkind::kMedia,
                           error.empty() ? std::string("Unknown error code") : error);
        Mix_ClearError();
        music_ = Mix_LoadMUS(path.c_str());
        if (!music_) {
            const std::string text = Mix_GetError();
            throw AppError(errkind::kMedia,
                           text.empty() ? std::string("Unknown error code") : text);
        }
    }
    void close() override {
        if (!music_) return;
        Mix_HaltMusic();
        Mix_FreeMusic(music_);
        music_ = nullptr;
    }
    bool isOpen() const override { return music_ != nullptr; }
    void play() override {
        if (music_) Mix_PlayMusic(music_, 1);
    }
    void stop() override {
        if (music_) Mix_HaltMusic();
    }
    bool isPlaying() const override { return music_ && Mix_PlayingMusic(); }

private:
    bool openDevice(std::string* error) {
        if (open_) return true;
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
        int frequency = kOutputRate, channels = kOutputChannels;
        Uint16 format = AUDIO_S16SYS;
        Mix_QuerySpec(&frequency, &format, &channels);
        rate_ = frequency;
        channels_ = channels;
        const char* driver = SDL_GetCurrentAudioDriver();
        // A real device plays a buffer after the one it is playing; the dummy one at once.
        latencyMs_ = driver && std::strcmp(driver, "dummy") == 0
                         ? 0.0
                         : 1000.0 * kOutputFrames / std::max(rate_, 1);
        Mix_SetPostMix(&SdlAudioImpl::mixSpeech, this);
        open_ = true;
        return true;
    }

    static bool openMixer() {
        return Mix_OpenAudioDevice(kOutputRate, AUDIO_S16SYS, kOutputChannels, kOutputFrames,
                                   nullptr, 0) == 0;
    }

    // Mixes the speech of every source into what the mixer plays, on the audio thread.
    static void mixSpeech(void* self, Uint8* stream, int length) {
        static_cast<SdlAudioImpl*>(self)->mix(reinterpret_cast<int16_t*>(stream),
                                              static_cast<size_t>(length) / sizeof(int16_t));
    }
    void mix(int16_t* out, size_t samples) {
        const size_t channels = static_cast<size_t>(std::max(channels_, 1));
        const size_t frames = samples / channels;
        const std::lock_guard lock(mutex_);
        if (sources_.empty()) return;
        speech_.assign(frames, 0);
        for (AudioSource* source : sources_)
            source->mixInto(speech_.data(), frames, rate_, latencyMs_);
        for (size_t f = 0; f < frames; ++f) {
            for (size_t c = 0; c < channels; ++c) {
                const int32_t mixed = out[f * channels + c] + speech_[f];
                out[f * channels + c] = static_cast<int16_t>(std::clamp(mixed, -32768, 32767));
            }
        }
    }

    bool open_ = false;
    int rate_ = kOutputRate;
    int channels_ = kOutputChannels;
    double latencyMs_ = 0;
    Mix_Music* music_ = nullptr;
    std::mutex mutex_;
    std::vector<AudioSource*> sources_;
    std::vector<int32_t> speech_;  // kept between calls: the audio thread allocates nothing
};

}  // namespace

std::unique_ptr<SdlAudio> SdlAudio::make() {
    return std::make_unique<SdlAudioImpl>();
}
