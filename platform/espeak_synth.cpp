#include "platform/espeak_synth.h"

#include <espeak-ng/espeak_ng.h>
#include <espeak-ng/speak_lib.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <locale>

#include "core/errors.h"
#include "core/text16.h"

namespace {

// ------------------------------------------------------------------ libespeak-ng

// libespeak-ng keeps global state: it is initialised once and used from the GUI thread only.
struct Espeak {
    int sampleRate = 0;
    std::string currentVoice;
    Rendering* target = nullptr;  // where the synthesis callback puts what it gets
};

Espeak& espeak() {
    static Espeak* engine = [] {
        const int rate =
            espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 200, nullptr,
                              espeakINITIALIZE_PHONEME_EVENTS | espeakINITIALIZE_PHONEME_IPA |
                                  espeakINITIALIZE_DONT_EXIT);
        if (rate <= 0)
            raiseEngineError("The speech engine cannot start: the libespeak-ng data is missing.");
        espeak_SetSynthCallback([](short* wav, int count, espeak_EVENT* events) -> int {
            Rendering* out = espeak().target;
            if (!out) return 1;
            if (wav && count > 0) out->samples.insert(out->samples.end(), wav, wav + count);
            for (; events && events->type != espeakEVENT_LIST_TERMINATED; ++events) {
                if (events->type == espeakEVENT_PHONEME)
                    out->phonemes.push_back(PhonemeMark{events->id.string, events->sample});
            }
            return 0;
        });
        auto* e = new Espeak;  // lives as long as the process, like the library's own state
        e->sampleRate = rate;
        return e;
    }();
    return *engine;
}

std::string statusText(espeak_ng_STATUS status) {
    char buffer[512] = {};
    espeak_ng_GetStatusCodeMessage(status, buffer, sizeof buffer);
    return buffer;
}

// ------------------------------------------------------------------ voices

class EspeakToken final : public ISpeechObjectToken {
public:
    EspeakToken(std::string id, std::string name, std::string gender, std::string language)
        : id_(std::move(id)),
          name_(std::move(name)),
          gender_(std::move(gender)),
          language_(std::move(language)) {}
    std::u16string GetDescription(int) const override { return toUtf16(name_); }
    std::u16string GetAttribute(const std::u16string& attribute) const override {
        const std::string a = toUtf8(attribute);
        if (a == "Name") return toUtf16(name_);
        if (a == "Vendor") return u"eSpeak NG";
        if (a == "Gender") return toUtf16(gender_);
        if (a == "Language") return toUtf16(language_);
        return {};
    }
    const std::string& id() const { return id_; }

private:
    std::string id_, name_, gender_, language_;
};

// The language of the user's locale as a tag ("de-de" for de_DE.UTF-8); English (America)
// when the locale names none (C, POSIX, unset).
std::string localeLanguage() {
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(variable);
        if (!value || !*value) continue;
        std::string tag(value);
        tag = tag.substr(0, tag.find_first_of(".@"));
        if (tag == "C" || tag == "POSIX") break;
        for (char& c : tag)
            c = c == '_' ? '-' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return tag;
    }
    return "en-us";
}

// An MBROLA voice ("mb/mb-de1") speaks only when its data (/usr/share/mbrola/de1/de1) is there.
bool mbrolaDataInstalled(const std::string& id) {
    const auto dash = id.find("mb-");
    if (dash == std::string::npos) return false;
    const std::string voice = id.substr(dash + 3);
    struct stat st {};
    return ::stat(("/usr/share/mbrola/" + voice + "/" + voice).c_str(), &st) == 0;
}

// libespeak-ng gives a voice the gender of its file; a voice whose file names none speaks with
// the library's own formants, which are a man's.
const char* genderText(int gender) {
    return gender == 2 ? "Female" : "Male";
}

// The female voices offered beside the voices they are made from: the base voice spoken with
// the variant "f5" (a woman's pitch and formants, a little breath, no roughness).
constexpr const char* kFemaleVariant = "f5";
constexpr const char* kWithFemaleTwin[] = {"gmw/en", "gmw/en-US", "gmw/de"};

// "German" -> "German (female)", "English (America)" -> "English (America, female)".
std::string femaleName(const std::string& name) {
    if (!name.empty() && name.back() == ')') return name.substr(0, name.size() - 1) + ", female)";
    return name + " (female)";
}

// The gender that the file of a voice variant names (0 when there is no such variant).
int variantGender(const std::string& variant) {
    espeak_VOICE wanted{};
    wanted.languages = "variant";
    for (const espeak_VOICE** v = espeak_ListVoices(&wanted); v && *v; ++v) {
        const std::string id = (*v)->identifier ? (*v)->identifier : "";
        if (id == "!v/" + variant) return (*v)->gender;
    }
    return 0;
}

// Every voice that can speak here, once; the one of the user's language first.
const std::vector<Ref<ISpeechObjectToken>>& installedVoices() {
    static const std::vector<Ref<ISpeechObjectToken>> voices = [] {
        espeak();
        std::vector<Ref<ISpeechObjectToken>> list;
        const std::string mine = localeLanguage();
        // Asked first: each listing of libespeak-ng reuses the array of the one before.
        const int femaleGender = variantGender(kFemaleVariant);
        for (const espeak_VOICE** v = espeak_ListVoices(nullptr); v && *v; ++v) {
            const std::string id = (*v)->identifier ? (*v)->identifier : "";
            const std::string language = (*v)->languages ? (*v)->languages + 1 : "";
            if (id.empty() || language == "variant") continue;
            if (id.rfind("mb/", 0) == 0 && !mbrolaDataInstalled(id)) continue;
            const std::string name = (*v)->name ? (*v)->name : id;
            list.emplace_back(new EspeakToken(id, name, genderText((*v)->gender), language));
            if (femaleGender && std::find(std::begin(kWithFemaleTwin), std::end(kWithFemaleTwin),
                                          id) != std::end(kWithFemaleTwin))
                list.emplace_back(new EspeakToken(id + "+" + kFemaleVariant, femaleName(name),
                                                  genderText(femaleGender), language));
        }
        // The voice of the user's language goes to the top: the one of the same region, or
        // else the first of the language. Its female voice, if it has one, goes with it.
        const std::string primary = mine.substr(0, mine.find('-'));
        const auto languageOf = [](const Ref<ISpeechObjectToken>& token) {
            return toUtf8(token->GetAttribute(u"Language"));
        };
        auto top = std::find_if(list.begin(), list.end(),
                                [&](const auto& token) { return languageOf(token) == mine; });
        if (top == list.end())
            top = std::find_if(list.begin(), list.end(), [&](const auto& token) {
                const std::string language = languageOf(token);
                return language == primary || language.rfind(primary + "-", 0) == 0;
            });
        const auto idOf = [](const Ref<ISpeechObjectToken>& token) {
            return static_cast<const EspeakToken&>(*token).id();
        };
        auto end = top == list.end() ? top : top + 1;
        while (end != list.end() && idOf(*end).rfind(idOf(*top) + "+", 0) == 0) ++end;
        std::rotate(list.begin(), top, end);
        return list;
    }();
    return voices;
}

// The synthesiser: its voices, and a rendering with the visemes of its phonemes.
class EspeakSynthesiser final : public Synthesiser {
public:
    std::vector<Ref<ISpeechObjectToken>> voices() override { return installedVoices(); }
    RenderedSpeech render(const ISpeechObjectToken& voice, int rate, int volume,
                          const std::string& text) override {
        const auto* token = dynamic_cast<const EspeakToken*>(&voice);
        if (!token) raiseEngineError("The voice is not one of this engine's.");
        Rendering r = renderSpeech(token->id(), wordsPerMinute(rate), volume, text);
        RenderedSpeech speech;
        speech.visemes =
            visemesOf(r.phonemes, static_cast<int64_t>(r.samples.size()), r.sampleRate);
        speech.samples = std::move(r.samples);
        speech.sampleRate = r.sampleRate;
        return speech;
    }
};

}  // namespace

Rendering renderSpeech(const std::string& voiceId, int wordsPerMinute, int volume,
                       const std::string& text) {
    Espeak& engine = espeak();
    if (engine.currentVoice != voiceId) {
        const espeak_ng_STATUS status = espeak_ng_SetVoiceByName(voiceId.c_str());
        if (status != ENS_OK) raiseEngineError(statusText(status));
        engine.currentVoice = voiceId;
    }
    espeak_SetParameter(espeakRATE, wordsPerMinute, 0);
    espeak_SetParameter(espeakVOLUME, 100, 0);

    Rendering rendering;
    rendering.sampleRate = engine.sampleRate;
    const std::string plain = text.substr(0, text.find('\0'));
    engine.target = &rendering;
    const espeak_ng_STATUS status = espeak_ng_Synthesize(
        plain.c_str(), plain.size() + 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8, nullptr, nullptr);
    engine.target = nullptr;
    if (status != ENS_OK) raiseEngineError(statusText(status));

    if (volume != 100) {
        for (int16_t& s : rendering.samples) s = static_cast<int16_t>(s * volume / 100);
    }
    return rendering;
}

std::unique_ptr<Synthesiser> makeEspeakSynthesiser() {
    return std::make_unique<EspeakSynthesiser>();
}
