#include "engine/synth_engine.h"

#include <QObject>
#include <QTimer>
#include <deque>
#include <map>

#include "core/text16.h"
#include "engine/audio_player.h"

namespace {

// A voice of the engine: the voice chosen, rate and volume, and the speech queued for the audio
// output.
class SynthVoice final : public SpeechEngineVoice {
public:
    SynthVoice(std::vector<Ref<ISpeechObjectToken>> voices,
               std::map<const ISpeechObjectToken*, Synthesiser*> owners, AudioOutput& audio)
        : voices_(std::move(voices)), owners_(std::move(owners)), audio_(audio) {
        if (voices_.empty()) raiseEngineError("The speech engine has no voices installed.");
        voice_ = voices_.front();
        timer_.setSingleShot(true);
        timer_.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer_, &QTimer::timeout, &receiver_, [this] { deliver(); });
    }
    ~SynthVoice() override {
        player_.reset();  // the audio thread lets go of it before the receiver of its wake-ups goes
    }

    void setSink(Sink sink) override { sink_ = std::move(sink); }
    Ref<ISpeechObjectTokens> voices() override { return Ref(new ISpeechObjectTokens(voices_)); }
    void setVoice(ISpeechObjectToken* token) override {
        if (!owners_.count(token)) raiseEngineError("The voice is not one of this engine's.");
        voice_ = token;
    }
    Ref<ISpeechObjectToken> voice() const override { return voice_; }
    int rate() const override { return rate_; }
    void setRate(int rate) override { rate_ = rate; }
    int volume() const override { return volume_; }
    void setVolume(int volume) override { volume_ = volume; }

    int speak(const std::u16string& text, ISpeechBaseStream* output) override {
        const int stream = ++streams_;
        RenderedSpeech speech =
            owners_.at(voice_.get())->render(*voice_, rate_, volume_, toUtf8(text));
        if (output) {
            output->writeSamples(speech.samples.data(), speech.samples.size(), speech.sampleRate);
            fileVisemes_.clear();
            for (const VisemeMark& v : speech.visemes)
                fileVisemes_.push_back({v.viseme, v.durationMs});
            return stream;
        }
        if (!player_)
            player_ = std::make_unique<AudioPlayer>(audio_, [this] {
                QMetaObject::invokeMethod(
                    &receiver_, [this] { deliver(); }, Qt::QueuedConnection);
            });
        player_->enqueue(stream, std::move(speech.samples), speech.sampleRate,
                         std::move(speech.visemes));
        return stream;
    }

    bool waitUntilDone(int msTimeout) override {
        return !player_ || player_->waitUntilDone(msTimeout);
    }
    std::vector<SpeechViseme> fileVisemes() const override { return fileVisemes_; }

private:
    // Hands every notice whose time has come to the sink, in order, and sets the timer for the
    // next one.
    void deliver() {
        if (!player_) return;
        for (auto& notice : player_->takeNotices()) pending_.push_back(notice);
        while (!pending_.empty()) {
            const AudioPlayer::Notice notice = pending_.front();
            const double wait = notice.due - AudioPlayer::nowMs();
            if (wait > 0.5) {
                timer_.start(static_cast<int>(wait + 0.5));
                return;
            }
            pending_.pop_front();
            const int64_t position = notice.sample * 2;  // bytes of 16-bit audio
            if (notice.end) {
                if (!player_->busy()) audio_.rest();
                if (sink_.endStream) sink_.endStream(notice.stream, position);
            } else if (sink_.viseme) {
                const VisemeMark& v = notice.viseme;
                sink_.viseme(notice.stream, position, v.durationMs, v.nextViseme, v.feature,
                             v.viseme);
            }
        }
    }

    const std::vector<Ref<ISpeechObjectToken>> voices_;
    const std::map<const ISpeechObjectToken*, Synthesiser*> owners_;
    AudioOutput& audio_;
    Ref<ISpeechObjectToken> voice_;
    int rate_ = 0;
    int volume_ = 100;
    int streams_ = 0;
    Sink sink_;
    QObject receiver_;
    QTimer timer_;
    std::deque<AudioPlayer::Notice> pending_;
    std::unique_ptr<AudioPlayer> player_;
    std::vector<SpeechViseme> fileVisemes_;
};

}  // namespace

SynthEngine::SynthEngine(std::vector<Synthesiser*> synthesisers, AudioOutput& audio)
    : synthesisers_(std::move(synthesisers)), audio_(audio) {}

std::unique_ptr<SpeechEngineVoice> SynthEngine::connect() {
    std::vector<Ref<ISpeechObjectToken>> voices;
    std::map<const ISpeechObjectToken*, Synthesiser*> owners;
    for (Synthesiser* synthesiser : synthesisers_) {
        for (Ref<ISpeechObjectToken>& token : synthesiser->voices()) {
            owners[token.get()] = synthesiser;
            voices.push_back(std::move(token));
        }
    }
    return std::make_unique<SynthVoice>(std::move(voices), std::move(owners), audio_);
}
