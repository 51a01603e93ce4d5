#include "platform/sdl_audio.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_mixer.h>
#include <dlfcn.h>

#include <QCoreApplication>
#include <QTimer>
#include <algorithm>
#include <cstring>
#include <mutex>
#include <string>
#include <type_traits>
#include <vector>

#include "core/errors.h"
#include "engine/SpeechLib_TLB.h"

namespace {

// SDL2 and SDL2_mixer, loaded when the audio output is first opened: with the many libraries
// they bring (sound servers, decoders, the display systems), they would otherwise be loaded and
// linked at every start of the program, before its window can show.
struct SdlLibrary {
    decltype(&::SDL_SetHint) SetHint = nullptr;
    decltype(&::SDL_WasInit) WasInit = nullptr;
    decltype(&::SDL_InitSubSystem) InitSubSystem = nullptr;
    decltype(&::SDL_QuitSubSystem) QuitSubSystem = nullptr;
    decltype(&::SDL_GetError) GetError = nullptr;
    decltype(&::SDL_ClearError) ClearError = nullptr;
    decltype(&::SDL_GetCurrentAudioDriver) GetCurrentAudioDriver = nullptr;
    decltype(&::Mix_OpenAudioDevice) OpenAudioDevice = nullptr;
    decltype(&::Mix_QuerySpec) QuerySpec = nullptr;
    decltype(&::Mix_SetPostMix) SetPostMix = nullptr;
    decltype(&::Mix_HookMusicFinished) HookMusicFinished = nullptr;
    decltype(&::Mix_CloseAudio) CloseAudio = nullptr;
    decltype(&::Mix_LoadMUS) LoadMUS = nullptr;
    decltype(&::Mix_FreeMusic) FreeMusic = nullptr;
    decltype(&::Mix_PlayMusic) PlayMusic = nullptr;
    decltype(&::Mix_HaltMusic) HaltMusic = nullptr;
    decltype(&::Mix_PlayingMusic) PlayingMusic = nullptr;
    std::string error;  // why the libraries cannot be used; empty when they can
};

const SdlLibrary& sdl() {
    static const SdlLibrary library = [] {
        SdlLibrary l;
        void* core = ::dlopen("libSDL2-2.0.so.0", RTLD_NOW | RTLD_GLOBAL);
        void* mixer = core ? ::dlopen("libSDL2_mixer-2.0.so.0", RTLD_NOW | RTLD_GLOBAL) : nullptr;
        if (!mixer) {
            const char* why = ::dlerror();
            l.error = why ? why : "SDL2_mixer cannot be loaded";
            return l;
        }
        const auto get = [&l](void* from, auto& function, const char* name) {
            function =
                reinterpret_cast<std::remove_reference_t<decltype(function)>>(::dlsym(from, name));
            if (!function && l.error.empty()) l.error = std::string("SDL lacks ") + name;
        };
        get(core, l.SetHint, "SDL_SetHint");
        get(core, l.WasInit, "SDL_WasInit");
        get(core, l.InitSubSystem, "SDL_InitSubSystem");
        get(core, l.QuitSubSystem, "SDL_QuitSubSystem");
        get(core, l.GetError, "SDL_GetError");
        get(core, l.ClearError, "SDL_ClearError");
        get(core, l.GetCurrentAudioDriver, "SDL_GetCurrentAudioDriver");
        get(mixer, l.OpenAudioDevice, "Mix_OpenAudioDevice");
        get(mixer, l.QuerySpec, "Mix_QuerySpec");
        get(mixer, l.SetPostMix, "Mix_SetPostMix");
        get(mixer, l.HookMusicFinished, "Mix_HookMusicFinished");
        get(mixer, l.CloseAudio, "Mix_CloseAudio");
        get(mixer, l.LoadMUS, "Mix_LoadMUS");
        get(mixer, l.FreeMusic, "Mix_FreeMusic");
        get(mixer, l.PlayMusic, "Mix_PlayMusic");
        get(mixer, l.HaltMusic, "Mix_HaltMusic");
        get(mixer, l.PlayingMusic, "Mix_PlayingMusic");
        return l;
    }();
    return library;
}

constexpr int kOutputRate = 44100;
constexpr int kOutputChannels = 2;
constexpr int kOutputFrames = 1024;
// How long the device stays open with nothing to play, so that phrase after phrase finds it
// ready; then it is closed, and its thread uses no processor time.
constexpr int kRestAfterMs = 2000;

class SdlAudioImpl;
SdlAudioImpl* hooked = nullptr;  // the output whose track's end the mixer reports

class SdlAudioImpl final : public SdlAudio {
public:
    SdlAudioImpl() {
        restTimer_.setSingleShot(true);
        restTimer_.setInterval(kRestAfterMs);
        QObject::connect(&restTimer_, &QTimer::timeout, [this] { restNow(); });
    }
    ~SdlAudioImpl() override {
        close();
        closeDevice();
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
    void wake() override {
        restTimer_.stop();
        openDevice(nullptr);
    }
    void rest() override { restTimer_.start(); }

    // ------------------------------------------------------------ the music preview

    void open(const std::string& path) override {
        close();
        std::string error;
        if (!openDevice(&error))
            throw AppError(errkind::kMedia,
                           error.empty() ? std::string("Unknown error code") : error);
        sdl().ClearError();
        music_ = sdl().LoadMUS(path.c_str());
        if (!music_) {
            const std::string text = sdl().GetError();
            throw AppError(errkind::kMedia,
                           text.empty() ? std::string("Unknown error code") : text);
        }
        musicPath_ = path;
        musicOpen_ = true;
        rest();
    }
    void close() override {
        freeMusic();
        musicOpen_ = false;
        rest();
    }
    bool isOpen() const override { return musicOpen_; }
    void play() override {
        if (!musicOpen_ || !openDevice(nullptr)) return;
        restTimer_.stop();
        // A track put aside while the device rested is loaded again.
        if (!music_) music_ = sdl().LoadMUS(musicPath_.c_str());
        if (music_) sdl().PlayMusic(music_, 1);
    }
    void stop() override {
        if (music_) sdl().HaltMusic();
        rest();
    }
    bool isPlaying() const override { return music_ && sdl().PlayingMusic(); }

private:
    bool openDevice(std::string* error) {
        if (open_) return true;
        if (!sdl().error.empty()) {
            if (error) *error = sdl().error;
            return false;
        }
        // Termination signals stay the program's: SDL would otherwise turn them into events.
        sdl().SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        bool ready = sdl().WasInit(SDL_INIT_AUDIO) != 0 || sdl().InitSubSystem(SDL_INIT_AUDIO) == 0;
        if (!ready || !openMixer()) {
            // No sound device here (a server, a test run): the dummy driver plays in real time.
            if (sdl().WasInit(SDL_INIT_AUDIO)) sdl().QuitSubSystem(SDL_INIT_AUDIO);
            sdl().SetHint(SDL_HINT_AUDIODRIVER, "dummy");
            ready = sdl().InitSubSystem(SDL_INIT_AUDIO) == 0 && openMixer();
            // The next opening (after the device rested) tries the sound device again: it may
            // have come meanwhile.
            sdl().SetHint(SDL_HINT_AUDIODRIVER, nullptr);
        }
        if (!ready) {
            if (error) *error = sdl().GetError();
            return false;
        }
        int frequency = kOutputRate, channels = kOutputChannels;
        Uint16 format = AUDIO_S16SYS;
        sdl().QuerySpec(&frequency, &format, &channels);
        rate_ = frequency;
        channels_ = channels;
        const char* driver = sdl().GetCurrentAudioDriver();
        // A real device plays a buffer after the one it is playing; the dummy one at once.
        latencyMs_ = driver && std::strcmp(driver, "dummy") == 0
                         ? 0.0
                         : 1000.0 * kOutputFrames / std::max(rate_, 1);
        sdl().SetPostMix(&SdlAudioImpl::mixSpeech, this);
        // A track that ends by itself leaves the device with nothing to play.
        hooked = this;
        sdl().HookMusicFinished([] {
            QMetaObject::invokeMethod(
                QCoreApplication::instance(),
                [] {
                    if (hooked) hooked->rest();
                },
                Qt::QueuedConnection);
        });
        open_ = true;
        return true;
    }

    void closeDevice() {
        if (!open_) return;
        freeMusic();
        sdl().HookMusicFinished(nullptr);
        hooked = nullptr;
        sdl().SetPostMix(nullptr, nullptr);
        sdl().CloseAudio();
        sdl().QuitSubSystem(SDL_INIT_AUDIO);
        open_ = false;
    }

    void freeMusic() {
        if (!music_) return;
        sdl().HaltMusic();
        sdl().FreeMusic(music_);
        music_ = nullptr;
    }

    // The device closes once nothing has played for a while; an open track is put aside.
    void restNow() {
        if (isPlaying()) return;
        {
            const std::lock_guard lock(mutex_);
            for (const AudioSource* source : sources_)
                if (source->busy()) return;
        }
        closeDevice();
    }

    static bool openMixer() {
        return sdl().OpenAudioDevice(kOutputRate, AUDIO_S16SYS, kOutputChannels, kOutputFrames,
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
    std::string musicPath_;
    bool musicOpen_ = false;
    QTimer restTimer_;
    std::mutex mutex_;
    std::vector<AudioSource*> sources_;
    std::vector<int32_t> speech_;  // kept between calls: the audio thread allocates nothing
};

}  // namespace

std::unique_ptr<SdlAudio> SdlAudio::make() {
    return std::make_unique<SdlAudioImpl>();
}
