#pragma once

#include <memory>
#include <vector>

#include "core/audio_output.h"
#include "engine/SpeechLib_TLB.h"
#include "engine/synthesiser.h"

// The speech engine made of synthesisers: the voices of all of them in one list, in the order
// given; speech for the audio output is heard through `audio`, and its events are delivered on
// the GUI thread at the moment they are heard.
class SynthEngine final : public SpeechEngine {
public:
    SynthEngine(std::vector<Synthesiser*> synthesisers, AudioOutput& audio);
    std::unique_ptr<SpeechEngineVoice> connect() override;

private:
    std::vector<Synthesiser*> synthesisers_;
    AudioOutput& audio_;
};
