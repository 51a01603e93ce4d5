#include "engine/SpeechLib_TLB.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>

#include "core/errors.h"
#include "core/fileio.h"
#include "core/text16.h"
#include "core/wav.h"

[[noreturn]] void raiseEngineError(const std::string& text) {
    throw AppError(errkind::kEngine, text);
}

int wordsPerMinute(int rate) {
    const double wpm = 175.0 * std::pow(3.0, std::clamp(rate, -10, 10) / 10.0);
    return std::clamp(static_cast<int>(std::lround(wpm)), 80, 450);
}

Ref<ISpeechObjectToken> ISpeechObjectTokens::Item(int Index) const {
    if (Index < 0 || Index >= Count())
        raiseEngineError(format("The voice index %d is out of range (%d voices).", Index, Count()));
    return tokens_[static_cast<size_t>(Index)];
}

// ------------------------------------------------------------------ file stream

TSpFileStream::TSpFileStream(QObject* owner) : QObject(owner) {}

TSpFileStream::~TSpFileStream() {
    Close();
}

void TSpFileStream::Open(const std::u16string& FileName, SpeechStreamFileMode FileMode, bool) {
    if (FileMode != SSFMCreateForWrite && FileMode != SSFMCreate)
        raiseEngineError("The file stream can only be opened to create a file.");
    Close();
    path_ = toUtf8(FileName);
    clearForNewFile(path_);  // a link or another name there is not written through
    fd_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd_ < 0)
        raiseEngineError(format("The speech engine cannot create the file \"%s\". %s",
                                path_.c_str(), systemErrorText(errno).c_str()));
    sampleRate_ = 22050;
    dataBytes_ = 0;
    error_ = 0;
    // A placeholder header until Close knows the length; the samples follow it.
    const std::string header = wavHeader(sampleRate_, 0);
    if (::write(fd_, header.data(), header.size()) != static_cast<ssize_t>(header.size())) {
        const int err = errno ? errno : ENOSPC;
        ::close(fd_);
        fd_ = -1;
        raiseEngineError(format("The speech engine cannot write the file \"%s\". %s", path_.c_str(),
                                systemErrorText(err).c_str()));
    }
}

void TSpFileStream::writeSamples(const int16_t* samples, size_t count, int sampleRate) {
    if (fd_ < 0) raiseEngineError("The file stream is not open.");
    if (dataBytes_ == 0) sampleRate_ = sampleRate;
    const char* bytes = reinterpret_cast<const char*>(samples);
    size_t left = count * sizeof(int16_t);
    while (left > 0 && !error_) {
        const ssize_t n = ::write(fd_, bytes, left);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            error_ = n < 0 ? errno : ENOSPC;
            break;
        }
        bytes += n;
        left -= static_cast<size_t>(n);
        dataBytes_ += static_cast<uint64_t>(n);
    }
    if (error_)
        raiseEngineError(format("The speech engine cannot write the file \"%s\". %s", path_.c_str(),
                                systemErrorText(error_).c_str()));
}

void TSpFileStream::finishHeader() {
    const std::string header =
        wavHeader(sampleRate_, static_cast<uint32_t>(std::min<uint64_t>(dataBytes_, 0xFFFFFFD0u)));
    if (::pwrite(fd_, header.data(), header.size(), 0) != static_cast<ssize_t>(header.size()))
        error_ = errno ? errno : EIO;
}

void TSpFileStream::Close() {
    if (fd_ < 0) return;
    finishHeader();
    const int err = error_;
    ::close(fd_);
    fd_ = -1;
    if (err)
        raiseEngineError(format("The speech engine cannot write the file \"%s\". %s", path_.c_str(),
                                systemErrorText(err).c_str()));
}

// ------------------------------------------------------------------ voice

TSpVoice::TSpVoice(QObject* owner) : QObject(owner) {
    if (SpeechEngine* engine = Installed<SpeechEngine>::get()) engine_ = engine->connect();
    if (!engine_) raiseEngineError("The speech engine is not available.");
    SpeechEngineVoice::Sink sink;
    sink.endStream = [this](int stream, int64_t position) {
        if ((eventInterests_ & SVEEndInputStream) && OnEndStream)
            OnEndStream(this, stream, QVariant::fromValue<qlonglong>(position));
    };
    sink.viseme = [this](int stream, int64_t position, int duration, SpeechVisemeType next,
                         SpeechVisemeFeature feature, SpeechVisemeType current) {
        if ((eventInterests_ & SVEViseme) && OnViseme)
            OnViseme(this, stream, QVariant::fromValue<qlonglong>(position), duration, next,
                     feature, current);
    };
    engine_->setSink(std::move(sink));
}

TSpVoice::~TSpVoice() = default;

Ref<ISpeechObjectTokens> TSpVoice::GetVoices(const std::u16string&, const std::u16string&) {
    return engine_->voices();
}

Ref<ISpeechObjectToken> TSpVoice::Voice() const {
    return engine_->voice();
}

void TSpVoice::setVoice(ISpeechObjectToken* token) {
    if (!token) raiseEngineError("No voice was given.");
    engine_->setVoice(token);
}

int TSpVoice::Rate() const {
    return engine_->rate();
}
void TSpVoice::setRate(int rate) {
    engine_->setRate(std::clamp(rate, -10, 10));
}
int TSpVoice::Volume() const {
    return engine_->volume();
}
void TSpVoice::setVolume(int volume) {
    engine_->setVolume(std::clamp(volume, 0, 100));
}

int TSpVoice::Speak(const std::u16string& Text, int Flags) {
    const int stream = engine_->speak(Text, output_);
    if (!(Flags & SVSFlagsAsync)) engine_->waitUntilDone(-1);
    return stream;
}

bool TSpVoice::WaitUntilDone(int msTimeout) {
    return engine_->waitUntilDone(msTimeout);
}

std::vector<SpeechViseme> TSpVoice::FileStreamVisemes() const {
    return engine_->fileVisemes();
}
