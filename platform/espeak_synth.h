#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/visemes.h"
#include "engine/synthesiser.h"

// Speech rendered by libespeak-ng: 16-bit mono samples and the phonemes with their starts.
struct Rendering {
    std::vector<int16_t> samples;
    std::vector<PhonemeMark> phonemes;
    int sampleRate = 0;
};

// Renders `text` (UTF-8) with the voice `voiceId` at `wordsPerMinute`, the samples scaled to
// `volume` percent. Markup is not interpreted. Raises an engine error with libespeak-ng's text.
Rendering renderSpeech(const std::string& voiceId, int wordsPerMinute, int volume,
                       const std::string& text);

// The voices of libespeak-ng (the one of the user's language first), rendered in the calling
// thread (the GUI thread: the library keeps global state).
std::unique_ptr<Synthesiser> makeEspeakSynthesiser();
