#include "tests/support/scripted_engine.h"

#include <QCoreApplication>
#include <QMetaObject>

#include "core/text16.h"

std::u16string ScriptedToken::GetAttribute(const std::u16string& a) const {
    if (a == u"Name") return name_;
    if (a == u"Vendor") return vendor_;
    if (a == u"Gender") return gender_;
    if (a == u"Language") return language_;
    return {};
}

Ref<ISpeechObjectTokens> ScriptedEngine::voices() {
    return Ref(new ISpeechObjectTokens(tokens));
}

void ScriptedEngine::setVoice(ISpeechObjectToken* token) {
    voice_ = token;
    calls.push_back("voice " + toUtf8(token->GetDescription(0)));
}

void ScriptedEngine::setRate(int rate) {
    if (!rateError.empty()) raiseEngineError(rateError);
    rate_ = rate;
    calls.push_back("rate " + std::to_string(rate));
}

void ScriptedEngine::setVolume(int volume) {
    volume_ = volume;
    calls.push_back("volume " + std::to_string(volume));
}

int ScriptedEngine::speak(const std::u16string& text, ISpeechBaseStream* output) {
    requests.push_back({text, output, rate_, volume_, voice_.get()});
    const int stream = static_cast<int>(requests.size());
    if (output) {
        const std::vector<int16_t> silence(fileSamples, 0);
        output->writeSamples(silence.data(), silence.size(), 22050);
        unendedFileStreams_.push_back(stream);
    } else if (endAudibleAtOnce) {
        QMetaObject::invokeMethod(
            &context_, [this, stream] { endStream(stream); }, Qt::QueuedConnection);
    }
    return stream;
}

bool ScriptedEngine::waitUntilDone(int) {
    if (endFilePassInWait)
        for (const int stream : std::exchange(unendedFileStreams_, {})) endStream(stream);
    return true;
}

void ScriptedEngine::endStream(int stream) const {
    if (sink_.endStream) sink_.endStream(stream, 0);
}

void ScriptedEngine::viseme(uint32_t id, int duration, int stream) const {
    if (sink_.viseme) sink_.viseme(stream, 0, duration, 0, 0, id);
}

std::unique_ptr<SpeechEngineVoice> ScriptedEngineScope::connect() {
    if (failToConnect) raiseEngineError("The speech engine is not installed.");
    auto made = std::make_unique<ScriptedEngine>();
    made->tokens = tokens;
    made->rate_ = rate;
    made->volume_ = volume;
    engine = made.get();
    return made;
}

Ref<ISpeechObjectToken> scriptedVoice(const std::u16string& description,
                                      const std::u16string& language) {
    return Ref<ISpeechObjectToken>(
        new ScriptedToken(description, description, u"Test vendor", u"Female", language));
}
