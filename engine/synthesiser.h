#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/visemes.h"
#include "engine/SpeechLib_TLB.h"

// Speech rendered by a synthesiser: 16-bit mono samples at its own rate, and the visemes along
// them from the first sample to the last.
struct RenderedSpeech {
    std::vector<int16_t> samples;
    int sampleRate = 0;
    std::vector<VisemeMark> visemes;
};

// A synthesiser behind the speech engine: its voices, and text rendered by one of them.
class Synthesiser {
public:
    virtual ~Synthesiser() = default;
    // The voices that can speak here, in the order the voice list shows them.
    virtual std::vector<Ref<ISpeechObjectToken>> voices() = 0;
    // Renders `text` (UTF-8, no markup) with `voice`, one of this synthesiser's voices, at `rate`
    // -10..10 and `volume` 0..100. Raises an engine error with the synthesiser's own text.
    virtual RenderedSpeech render(const ISpeechObjectToken& voice, int rate, int volume,
                                  const std::string& text) = 0;
};
