#pragma once

#include <QObject>
#include <string>
#include <vector>

#include "engine/SpeechLib_TLB.h"

// A voice token with the texts a test gives it.
class ScriptedToken final : public ISpeechObjectToken {
public:
    ScriptedToken(std::u16string description, std::u16string name, std::u16string vendor,
                  std::u16string gender, std::u16string language)
        : description_(std::move(description)),
          name_(std::move(name)),
          vendor_(std::move(vendor)),
          gender_(std::move(gender)),
          language_(std::move(language)) {}
    std::u16string GetDescription(int) const override { return description_; }
    std::u16string GetAttribute(const std::u16string& a) const override;

private:
    std::u16string description_, name_, vendor_, gender_, language_;
};

// An engine whose voices, values and events a test scripts. It records every request. Speech
// for the audio output is not delivered by itself: the test sends the events it wants.
class ScriptedEngine final : public SpeechEngineVoice {
public:
    struct Request {
        std::u16string text;
        ISpeechBaseStream* output;
        int rate, volume;
        ISpeechObjectToken* voice;
    };

    void setSink(Sink sink) override { sink_ = std::move(sink); }
    Ref<ISpeechObjectTokens> voices() override;
    void setVoice(ISpeechObjectToken* token) override;
    Ref<ISpeechObjectToken> voice() const override { return voice_; }
    int rate() const override { return rate_; }
    void setRate(int rate) override;
    int volume() const override { return volume_; }
    void setVolume(int volume) override;
    int speak(const std::u16string& text, ISpeechBaseStream* output) override;
    bool waitUntilDone(int) override;
    std::vector<SpeechViseme> fileVisemes() const override { return fileVisemes_; }

    // Sends an event as the engine would, on the GUI thread.
    void endStream(int stream = 1) const;
    void viseme(uint32_t id, int duration, int stream = 1) const;

    std::vector<Ref<ISpeechObjectToken>> tokens;
    Ref<ISpeechObjectToken> voice_;
    int rate_ = 0;
    int volume_ = 100;
    std::vector<Request> requests;
    // Every value set, in order: "voice <description>", "rate <n>", "volume <n>".
    std::vector<std::string> calls;
    // When true, every audible request ends at once (its end of stream is queued on the GUI
    // thread); when false the test sends the end itself.
    bool endAudibleAtOnce = true;
    // When true, waiting for the speech delivers an end of stream for every file request at
    // once, as an engine that reports the end of the file pass would.
    bool endFilePassInWait = false;
    // When not empty, setting the rate fails with this engine error.
    std::string rateError;
    // The visemes a file pass gives (fileVisemes).
    std::vector<SpeechViseme> fileVisemes_;
    // Samples written into a file output per request.
    size_t fileSamples = 2205;

private:
    Sink sink_;
    std::vector<int> unendedFileStreams_;
    QObject context_;  // queued ends are dropped with the engine
};

// The speech engine installed during its life: every voice that connects gets a new
// ScriptedEngine; `engine` is the last one connected.
class ScriptedEngineScope final : public SpeechEngine {
public:
    ScriptedEngineScope() : install_(this) {}
    std::unique_ptr<SpeechEngineVoice> connect() override;

    ScriptedEngine* engine = nullptr;
    // Voices that the next engines list, and their rate and volume.
    std::vector<Ref<ISpeechObjectToken>> tokens;
    int rate = 0;
    int volume = 100;
    bool failToConnect = false;

private:
    Install<SpeechEngine> install_;
};

Ref<ISpeechObjectToken> scriptedVoice(const std::u16string& description,
                                      const std::u16string& language = u"en");
