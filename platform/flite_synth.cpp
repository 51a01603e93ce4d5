#include "platform/flite_synth.h"

#include <flite/flite.h>

#include <algorithm>
#include <csetjmp>
#include <memory>
#include <string>
#include <vector>

#include "core/text16.h"
#include "core/visemes.h"

extern "C" {
cst_voice* register_cmu_us_kal(const char* voxdir);
cst_voice* register_cmu_us_kal16(const char* voxdir);
cst_voice* register_cmu_us_awb(const char* voxdir);
cst_voice* register_cmu_us_rms(const char* voxdir);
cst_voice* register_cmu_us_slt(const char* voxdir);
}

namespace {

// The voices, in the order the voice list shows them. Flite's voices carry no gender; these are
// the speakers'.
struct VoiceEntry {
    cst_voice* (*registerVoice)(const char*);
    const char* description;
    const char* gender;
};
constexpr VoiceEntry kVoices[] = {
    {register_cmu_us_kal, "Flite kal (8 kHz)", "Male"},
    {register_cmu_us_kal16, "Flite kal16", "Male"},
    {register_cmu_us_awb, "Flite awb", "Male"},
    {register_cmu_us_rms, "Flite rms", "Male"},
    {register_cmu_us_slt, "Flite slt", "Female"},
};

class FliteToken final : public ISpeechObjectToken {
public:
    FliteToken(cst_voice* voice, const VoiceEntry& entry)
        : voice_(voice),
          entry_(entry),
          stretch_(flite_get_param_float(voice->features, "duration_stretch", 1.0f)) {}
    std::u16string GetDescription(int) const override { return toUtf16(entry_.description); }
    std::u16string GetAttribute(const std::u16string& attribute) const override {
        const std::string a = toUtf8(attribute);
        if (a == "Name") return toUtf16(entry_.description);
        if (a == "Vendor") return u"Flite";
        if (a == "Gender") return toUtf16(entry_.gender);
        if (a == "Language") return u"en-us";
        return {};
    }
    cst_voice* voice() const { return voice_; }
    // The voice's own pace: its duration stretch at the normal rate.
    float stretch() const { return stretch_; }

private:
    cst_voice* voice_;
    const VoiceEntry& entry_;
    float stretch_;
};

// Flite keeps global state: it is initialised once, its voices registered once, and it is used
// from the GUI thread only.
const std::vector<Ref<ISpeechObjectToken>>& installedVoices() {
    static const std::vector<Ref<ISpeechObjectToken>> voices = [] {
        flite_init();
        std::vector<Ref<ISpeechObjectToken>> list;
        for (const VoiceEntry& entry : kVoices) {
            if (cst_voice* voice = entry.registerVoice(nullptr))
                list.emplace_back(new FliteToken(voice, entry));
        }
        return list;
    }();
    return voices;
}

// Synthesises `text`; null when Flite gives up. Flite reports a fatal error by jumping back to
// the mark it is given (without one it would end the process), so the mark is set here, in a
// frame that holds no object to destroy.
cst_utterance* synthesise(const char* text, cst_voice* voice) {
    std::jmp_buf mark;
    std::jmp_buf* const outer = cst_errjmp;
    cst_errjmp = &mark;
    cst_utterance* volatile utterance = nullptr;
    if (setjmp(mark) == 0) utterance = flite_synth_text(text, voice);
    cst_errjmp = outer;
    return utterance;
}

// The phones of the utterance with their starts: each begins where the one before it ends.
std::vector<ShapeMark> phonesOf(const cst_utterance* utterance, int sampleRate) {
    std::vector<ShapeMark> phones;
    int64_t start = 0;
    for (const cst_item* s = relation_head(utt_relation(utterance, "Segment")); s;
         s = item_next(s)) {
        ShapeMark phone;
        phone.sample = start;
        phone.viseme = visemeOfCmuPhone(item_feat_string(s, "name"));
        phone.stressed = std::string(flite_ffeature_string(s, "ph_vc")) == "+" &&
                         flite_ffeature_int(s, "R:SylStructure.parent.stress") == 1;
        phones.push_back(phone);
        start = static_cast<int64_t>(item_feat_float(s, "end") * sampleRate + 0.5);
    }
    return phones;
}

class FliteSynthesiser final : public Synthesiser {
public:
    std::vector<Ref<ISpeechObjectToken>> voices() override { return installedVoices(); }

    RenderedSpeech render(const ISpeechObjectToken& voice, int rate, int volume,
                          const std::string& text) override {
        const auto* token = dynamic_cast<const FliteToken*>(&voice);
        if (!token) raiseEngineError("The voice is not one of this engine's.");
        // The rate stretches the voice's own durations: at 175 words per minute they are its own.
        flite_feat_set_float(token->voice()->features, "duration_stretch",
                             token->stretch() * 175.0f / static_cast<float>(wordsPerMinute(rate)));
        const std::string plain = text.substr(0, text.find('\0'));
        const std::unique_ptr<cst_utterance, void (*)(cst_utterance*)> utterance(
            synthesise(plain.c_str(), token->voice()), delete_utterance);
        if (!utterance) raiseEngineError("Flite cannot speak the text.");
        RenderedSpeech speech;
        if (const cst_wave* wave = utt_wave(utterance.get()); wave && wave->sample_rate > 0) {
            speech.sampleRate = wave->sample_rate;
            const int channels = std::max(wave->num_channels, 1);
            speech.samples.reserve(static_cast<size_t>(std::max(wave->num_samples, 0)));
            for (int i = 0; i < wave->num_samples; ++i) {
                const int sample = wave->samples[static_cast<size_t>(i) * channels];
                speech.samples.push_back(static_cast<int16_t>(sample * volume / 100));
            }
        }
        if (speech.sampleRate == 0) raiseEngineError("Flite cannot speak the text.");
        speech.visemes = visemesOf(phonesOf(utterance.get(), speech.sampleRate),
                                   static_cast<int64_t>(speech.samples.size()), speech.sampleRate);
        return speech;
    }
};

}  // namespace

std::unique_ptr<Synthesiser> makeFliteSynthesiser() {
    return std::make_unique<FliteSynthesiser>();
}
