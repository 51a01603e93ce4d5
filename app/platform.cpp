#include "platform.h"

#include "SpeechLib_TLB.h"
#include "dialogs.h"
#include "encoder.h"
#include "espeak_synth.h"
#include "flite_synth.h"
#include "music_preview.h"
#include "sdl_audio.h"
#include "shell.h"
#include "synth_engine.h"

struct RealPlatform::Parts {
    std::unique_ptr<SdlAudio> audio = SdlAudio::make();
    std::unique_ptr<Synthesiser> espeak = makeEspeakSynthesiser();
    std::unique_ptr<Synthesiser> flite = makeFliteSynthesiser();
    SynthEngine speech{{espeak.get(), flite.get()}, *audio};
    std::unique_ptr<ShellOpener> opener = makeDetachedOpener("xdg-open");
    std::unique_ptr<EncoderSpawner> encoder = makeProcessSpawner();
    std::unique_ptr<Dialogs> dialogs = makeQtDialogs();

    // Installed in this order, and taken back in the reverse order: the audio output last.
    Install<MusicPreview> installMusic{audio.get()};
    Install<SpeechEngine> installSpeech{&speech};
    Install<ShellOpener> installOpener{opener.get()};
    Install<EncoderSpawner> installEncoder{encoder.get()};
    Install<Dialogs> installDialogs{dialogs.get()};
};

RealPlatform::RealPlatform() : parts_(std::make_unique<Parts>()) {}

RealPlatform::~RealPlatform() = default;
