#pragma once

#include <memory>

#include "core/audio_output.h"
#include "core/music_preview.h"

// The program's one audio output on SDL2_mixer: the sound device, or SDL's "dummy" driver (real
// time, no sound) when no device opens. Speech is mixed into what the mixer plays, and the music
// preview plays through the same device.
class SdlAudio : public AudioOutput, public MusicPreview {
public:
    static std::unique_ptr<SdlAudio> make();
    ~SdlAudio() override = default;
};
