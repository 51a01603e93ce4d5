#pragma once

// The speech engine boundary: the voice, the file stream, the voice tokens and the engine's
// events, as the rest of the program uses them. The engine behind it is a platform part
// (SpeechEngine), installed at program start; the boundary itself knows no synthesiser and no
// audio device.

#include <QObject>
#include <QVariant>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/installed.h"
#include "core/visemes.h"

// ------------------------------------------------------------------ constants

enum SpeechVoiceSpeakFlags : int { SVSFDefault = 0, SVSFlagsAsync = 1 };
enum SpeechStreamFileMode : int {
    SSFMOpenForRead = 0,
    SSFMOpenReadWrite = 1,
    SSFMCreate = 2,
    SSFMCreateForWrite = 3,
};
enum SpeechVoiceEvents : int {
    SVEStartInputStream = 2,
    SVEEndInputStream = 4,
    SVEVoiceChange = 8,
    SVEBookmark = 16,
    SVEWordBoundary = 32,
    SVEPhoneme = 64,
    SVESentenceBoundary = 128,
    SVEViseme = 256,
    SVEAudioLevel = 512,
    SVEPrivate = 32768,
    SVEAllEvents = 33790,
};
using SpeechVisemeType = uint32_t;
using SpeechVisemeFeature = uint32_t;

// ------------------------------------------------------------------ reference counting

// An engine object shared by counted references; it is deleted when the last one is released.
class RefCounted {
public:
    void AddRef() const { count_.fetch_add(1, std::memory_order_relaxed); }
    void Release() const {
        if (count_.fetch_sub(1, std::memory_order_acq_rel) == 1) delete this;
    }
    int references() const { return count_.load(); }

protected:
    RefCounted() = default;
    virtual ~RefCounted() = default;
    RefCounted(const RefCounted&) = delete;
    RefCounted& operator=(const RefCounted&) = delete;

private:
    mutable std::atomic<int> count_{0};
};

// A counted reference: takes one reference while it holds an object, releases it at the end.
template <class T>
class Ref {
public:
    Ref() = default;
    Ref(T* object) : p_(object) {  // NOLINT: implicit, like a raw interface pointer
        if (p_) p_->AddRef();
    }
    Ref(const Ref& other) : Ref(other.p_) {}
    Ref(Ref&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    Ref& operator=(Ref other) noexcept {
        std::swap(p_, other.p_);
        return *this;
    }
    ~Ref() {
        if (p_) p_->Release();
    }
    T* get() const { return p_; }
    T* operator->() const { return p_; }
    T& operator*() const { return *p_; }
    explicit operator bool() const { return p_ != nullptr; }

private:
    T* p_ = nullptr;
};

// ------------------------------------------------------------------ tokens

// A voice token: one installed voice.
class ISpeechObjectToken : public RefCounted {
public:
    // The voice's display name.
    virtual std::u16string GetDescription(int Locale) const = 0;
    // "Name", "Vendor", "Gender" or "Language"; empty for an attribute the voice does not have.
    virtual std::u16string GetAttribute(const std::u16string& AttributeName) const = 0;
};

// The collection of tokens that GetVoices returns.
class ISpeechObjectTokens : public RefCounted {
public:
    explicit ISpeechObjectTokens(std::vector<Ref<ISpeechObjectToken>> tokens)
        : tokens_(std::move(tokens)) {}
    int Count() const { return static_cast<int>(tokens_.size()); }
    // Raises an engine error for an index outside 0..Count - 1.
    Ref<ISpeechObjectToken> Item(int Index) const;

private:
    std::vector<Ref<ISpeechObjectToken>> tokens_;
};

// ------------------------------------------------------------------ streams

// Where a voice's speech goes: the audio output (the default) or a stream such as a file.
class ISpeechBaseStream {
public:
    virtual ~ISpeechBaseStream() = default;
    // Takes rendered speech: 16-bit mono samples at `sampleRate`.
    virtual void writeSamples(const int16_t* samples, size_t count, int sampleRate) = 0;
};

// A WAV file that speech is rendered into.
class TSpFileStream : public QObject, public ISpeechBaseStream {
public:
    explicit TSpFileStream(QObject* owner);
    ~TSpFileStream() override;

    // Creates the file (mode SSFMCreateForWrite) and keeps it open for the speech to come.
    // Raises an engine error when it cannot be created.
    void Open(const std::u16string& FileName, SpeechStreamFileMode FileMode = SSFMOpenForRead,
              bool DoEvents = false);
    // Completes the WAV file and closes it. Does nothing when it is not open.
    void Close();
    bool isOpen() const { return fd_ >= 0; }

    void writeSamples(const int16_t* samples, size_t count, int sampleRate) override;

private:
    void finishHeader();
    int fd_ = -1;
    std::string path_;
    int sampleRate_ = 0;
    uint64_t dataBytes_ = 0;
    int error_ = 0;
};

// ------------------------------------------------------------------ the engine behind a voice

// What a voice asks of the engine.
class SpeechEngineVoice {
public:
    struct Sink {
        std::function<void(int stream, int64_t position)> endStream;
        std::function<void(int stream, int64_t position, int duration, SpeechVisemeType next,
                           SpeechVisemeFeature feature, SpeechVisemeType current)>
            viseme;
    };
    virtual ~SpeechEngineVoice() = default;
    // Where the engine delivers its events, on the GUI thread.
    virtual void setSink(Sink sink) = 0;
    virtual Ref<ISpeechObjectTokens> voices() = 0;
    virtual void setVoice(ISpeechObjectToken* token) = 0;
    virtual Ref<ISpeechObjectToken> voice() const = 0;
    virtual int rate() const = 0;
    virtual void setRate(int rate) = 0;
    virtual int volume() const = 0;
    virtual void setVolume(int volume) = 0;
    // Renders `text` into `output`, or queues it for the audio output when `output` is null.
    // Returns the request's stream number.
    virtual int speak(const std::u16string& text, ISpeechBaseStream* output) = 0;
    // Waits until all queued speech has been rendered; false when `msTimeout` (-1: none) ran out.
    virtual bool waitUntilDone(int msTimeout) = 0;
    // The visemes of the speech last rendered into an output stream.
    virtual std::vector<SpeechViseme> fileVisemes() const = 0;
};

// The speech engine, a platform part: what a voice connects to.
class SpeechEngine {
public:
    virtual ~SpeechEngine() = default;
    // A new voice of the engine; raises an engine error when it cannot connect.
    virtual std::unique_ptr<SpeechEngineVoice> connect() = 0;
};

// ------------------------------------------------------------------ the voice

class TSpVoice : public QObject {
public:
    // Connects to the speech engine installed; raises an engine error when it cannot, and "The
    // speech engine is not available." when there is none.
    explicit TSpVoice(QObject* owner);
    ~TSpVoice() override;

    int EventInterests() const { return eventInterests_; }
    void setEventInterests(int interests) { eventInterests_ = interests; }

    // The installed voices; both attribute strings are ignored.
    Ref<ISpeechObjectTokens> GetVoices(const std::u16string& RequiredAttributes = {},
                                       const std::u16string& OptionalAttributes = {});
    Ref<ISpeechObjectToken> Voice() const;
    void setVoice(ISpeechObjectToken* token);
    int Rate() const;
    void setRate(int rate);  // -10..10; clamped
    int Volume() const;
    void setVolume(int volume);  // 0..100; clamped
    // The output: nullptr is the audio output.
    ISpeechBaseStream* AudioOutputStream() const { return output_; }
    void setAudioOutputStream(ISpeechBaseStream* stream) { output_ = stream; }
    bool AllowAudioOutputFormatChangesOnNextSet() const { return allowFormatChanges_; }
    void setAllowAudioOutputFormatChangesOnNextSet(bool allow) { allowFormatChanges_ = allow; }

    // Speaks `Text` into the current output. With SVSFlagsAsync it returns at once; otherwise
    // when the speech has been rendered. Returns the stream number.
    int Speak(const std::u16string& Text, int Flags = SVSFDefault);
    // Waits until everything queued has been rendered; -1: no time limit.
    bool WaitUntilDone(int msTimeout);
    // The visemes of the speech last rendered into a file stream, in order: the timing of a file
    // pass, which delivers no events, in the ids and durations its viseme events would have
    // when the same speech is heard aloud.
    std::vector<SpeechViseme> FileStreamVisemes() const;

    // Events, delivered on the GUI thread while it processes its messages.
    std::function<void(QObject* ASender, int StreamNumber, const QVariant& StreamPosition)>
        OnEndStream;
    std::function<void(QObject* ASender, int StreamNumber, const QVariant& StreamPosition,
                       int Duration, SpeechVisemeType NextVisemeId, SpeechVisemeFeature Feature,
                       SpeechVisemeType CurrentVisemeId)>
        OnViseme;

private:
    std::unique_ptr<SpeechEngineVoice> engine_;
    int eventInterests_ = SVEAllEvents;
    ISpeechBaseStream* output_ = nullptr;
    bool allowFormatChanges_ = true;
};

// Maps a rate of -10..10 onto words per minute: 0 is 175, each step a factor of 3^(1/10),
// clamped to 80..450.
int wordsPerMinute(int rate);

// Raises the engine's error with its text.
[[noreturn]] void raiseEngineError(const std::string& text);
