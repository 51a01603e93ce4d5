#include "audio_player.h"

#include <chrono>
#include <cstring>

#include "SpeechLib_TLB.h"
#include "errors.h"

namespace {

// 441 samples at 22050 Hz are exactly 20 ms, which the dummy driver waits between buffers.
constexpr int kBufferSamples = 441;

}  // namespace

bool ensureSdlAudio() {
    if (SDL_GetCurrentAudioDriver() != nullptr) return true;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) return true;
    return SDL_AudioInit("dummy") == 0;
}

bool fallBackToDummyAudio() {
    const char* current = SDL_GetCurrentAudioDriver();
    if (current && std::strcmp(current, "dummy") == 0) return false;  // nothing left to try
    SDL_AudioQuit();
    return SDL_AudioInit("dummy") == 0;
}

double AudioPlayer::nowMs() {
    return std::chrono::duration<double, std::milli>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

AudioPlayer::AudioPlayer(int sampleRate, std::function<void()> wake)
    : sampleRate_(sampleRate), wake_(std::move(wake)) {}

AudioPlayer::~AudioPlayer() {
    if (device_) SDL_CloseAudioDevice(device_);  // waits for the audio thread to leave
}

void AudioPlayer::open() {
    ensureSdlAudio();
    SDL_AudioSpec want{};
    want.freq = sampleRate_;
    want.format = AUDIO_S16SYS;
    want.channels = 1;
    want.samples = kBufferSamples;
    want.callback = &AudioPlayer::callback;
    want.userdata = this;
    SDL_AudioSpec have{};
    device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    // No sound device here (a server, a test run): play on the dummy driver.
    if (device_ == 0 && fallBackToDummyAudio())
        device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (device_ == 0)
        raiseEngineError(std::string("No audio output can be opened: ") + SDL_GetError());
    const bool dummy = std::strcmp(SDL_GetCurrentAudioDriver(), "dummy") == 0;
    // A real device plays a buffer after the one it is playing; the dummy one at once.
    latencyMs_ = dummy ? 0.0 : 1000.0 * have.samples / sampleRate_;
}

std::string AudioPlayer::driver() const {
    const char* name = device_ ? SDL_GetCurrentAudioDriver() : nullptr;
    return name ? name : "";
}

void AudioPlayer::enqueue(int stream, std::vector<int16_t> samples,
                          std::vector<VisemeMark> visemes) {
    if (!device_) open();
    {
        const std::lock_guard lock(mutex_);
        queue_.push_back(Utterance{stream, std::move(samples), std::move(visemes)});
    }
    SDL_PauseAudioDevice(device_, 0);
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

void AudioPlayer::pauseIfIdle() {
    bool idle = false;
    {
        const std::lock_guard lock(mutex_);
        idle = queue_.empty();
    }
    if (idle && device_) SDL_PauseAudioDevice(device_, 1);
}

std::vector<AudioPlayer::Notice> AudioPlayer::takeNotices() {
    const std::lock_guard lock(mutex_);
    return std::exchange(notices_, {});
}

void AudioPlayer::callback(void* self, Uint8* out, int length) {
    static_cast<AudioPlayer*>(self)->fill(reinterpret_cast<int16_t*>(out),
                                          static_cast<size_t>(length) / sizeof(int16_t));
}

void AudioPlayer::fill(int16_t* out, size_t count) {
    const double start = nowMs() + latencyMs_;
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
    std::memset(out + done, 0, (count - done) * sizeof(int16_t));
    if (noticed) wake_();
}
